// Durable saves: the record of a configuration write under way, its file,
// and finishing a write that an unplug cut short.
#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <thread>

#ifndef _WIN32
#include <sys/resource.h>
#endif

#include "file_replace.h"
#include "first_format_record.h"
#include "pending_save.h"
#include "sim_fixture.h"
#include "unfinished_save.h"

namespace zelo::device::test {
namespace {

namespace fs = std::filesystem;

constexpr int kReportData = 62;
constexpr int kReportsPerPageWrite = (1 + 1 + static_cast<int>(kPageSize) + kReportData - 1) / kReportData;
constexpr std::uint8_t kEdited = 0x3C;
// One byte per configuration page outside the protected ranges (1028:
// power tracking, in the page the standard model shares with its firmware).
constexpr std::array<std::size_t, 3> kEditedOffsets{100, 612, 1028};

fs::path freshFolder(const std::string &name) {
    const fs::path folder = fs::temp_directory_path() / (name + "-" + std::to_string(std::random_device{}()));
    fs::remove_all(folder);
    return folder;
}

PendingSave sampleSave(std::uint8_t fill, std::uint8_t addressByte, std::uint32_t deviceValue = 1) {
    PendingSave save;
    save.variant = DeviceVariant::Standard;
    save.block.fill(fill);
    save.before.fill(static_cast<std::uint8_t>(~fill));
    for (ConfigRecord::Block *block : {&save.block, &save.before}) {
        for (std::size_t i = 0; i < kDeviceAddressSize; ++i) (*block)[kDeviceAddressOffset + i] = addressByte;
        storeLittleEndian32(*block, kDeviceValueOffset, deviceValue);
    }
    save.key = accessoryKeyOf(save.block);
    return save;
}

std::string fileBytes(const fs::path &file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void putBytes(const fs::path &file, const std::string &bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::size_t entriesIn(const fs::path &folder) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

class PendingSaveStoreTest : public ::testing::Test {
protected:
    void TearDown() override { fs::remove_all(folder_); }
    fs::path folder_ = freshFolder("zelo-pending");
    PendingSaveStore store_{folder_};
};

// Accessories with equal (or blank) addresses are told apart by their
// device values, so one's record never replaces the other's.
TEST_F(PendingSaveStoreTest, KeepsOneRecordPerAccessoryAndReplacesItWhole) {
    std::string error;
    ASSERT_TRUE(store_.write(sampleSave(1, 0xA1), error)) << error;
    ASSERT_TRUE(store_.write(sampleSave(2, 0xA2), error)) << error;
    ASSERT_TRUE(store_.write(sampleSave(4, 0xA1, 2), error)) << error;  // same address, another accessory
    ASSERT_TRUE(store_.write(sampleSave(3, 0xA1), error)) << error;     // replaces the first

    PendingSave found;
    ASSERT_EQ(PendingLookup::Found, store_.read(sampleSave(0, 0xA1).key, found));
    EXPECT_EQ(sampleSave(3, 0xA1).block, found.block);
    EXPECT_EQ(sampleSave(3, 0xA1).before, found.before);
    store_.remove(found.key);
    EXPECT_EQ(PendingLookup::None, store_.read(found.key, found));
    // The other accessories' records are left alone, and no temporary file stays.
    ASSERT_EQ(PendingLookup::Found, store_.read(sampleSave(0, 0xA1, 2).key, found));
    EXPECT_EQ(sampleSave(4, 0xA1, 2).block, found.block);
    EXPECT_EQ(PendingLookup::Found, store_.read(sampleSave(0, 0xA2).key, found));
    EXPECT_EQ(2U, entriesIn(folder_));
}

// A record that is not one is dropped for good; one that cannot be read
// now, or that a newer program wrote, is left for later or for that program.
TEST_F(PendingSaveStoreTest, DamagedRecordsAreRecognisedAndOthersLeftAlone) {
    std::string error;
    const PendingSave save = sampleSave(7, 0xB0);
    ASSERT_TRUE(store_.write(save, error));
    const fs::path file = store_.fileOf(save.key);
    const std::string good = fileBytes(file);

    std::string flipped = good;
    flipped[flipped.size() / 2] ^= 0x01;
    std::string older = good;
    older[kPendingSaveMagic.size()] = static_cast<char>(kPendingSaveFormatVersion - 1);
    std::string foreign = encodePendingSave(sampleSave(7, 0xB1));  // another accessory's, under this name

    PendingSave found;
    for (const std::string &bad : {flipped, good.substr(0, good.size() - 1), older, foreign, std::string()}) {
        putBytes(file, bad);
        EXPECT_EQ(PendingLookup::Damaged, store_.read(save.key, found));
    }

    std::string newer = good;
    newer[kPendingSaveMagic.size()] = static_cast<char>(kPendingSaveFormatVersion + 1);
    newer += "a later layout";
    EXPECT_EQ(PendingDecode::Newer, decodePendingSave(newer, found)) << "an unknown format version is not guessed at";
    putBytes(file, newer);
    const ConfigRecord::Block asRead = save.before;
    EXPECT_EQ(UnfinishedSave::Unreadable, checkUnfinishedSave(store_, DeviceVariant::Standard, asRead).state);
    EXPECT_EQ(newer, fileBytes(file)) << "a newer program's record was touched";

    // Held by another program: not readable for the moment.
    fs::remove(file);
    fs::create_directories(file / "held");
    EXPECT_EQ(UnfinishedSave::Unreadable, checkUnfinishedSave(store_, DeviceVariant::Standard, asRead).state);
    EXPECT_TRUE(fs::exists(file / "held"));
}

// A record that could not be written must not leave an older one of the
// same accessory to be settled later as if it were this save's.
TEST_F(PendingSaveStoreTest, ARecordThatCannotBeKeptTakesTheOlderOneWithIt) {
    std::string error;
    ASSERT_TRUE(store_.write(sampleSave(1, 0xC0), error)) << error;
    PendingSaveStore unkept{folder_, [] { return false; }};
    EXPECT_FALSE(unkept.write(sampleSave(2, 0xC0), error));
    PendingSave found;
    EXPECT_EQ(PendingLookup::None, store_.read(sampleSave(0, 0xC0).key, found));
}

// A file is replaced whole or not at all: a write that cannot replace its
// target leaves the target as it was and no new file beside it.
TEST(FileReplace, ReplacesWholeOrLeavesTheOldFile) {
    const fs::path folder = freshFolder("zelo-replace");
    fs::create_directories(folder);
    const fs::path file = folder / "settings";
    std::string error;
    ASSERT_TRUE(writeFileReplacing(file, "old", &error)) << error;
    ASSERT_TRUE(writeFileReplacing(file, "new", &error)) << error;
    EXPECT_EQ(fileBytes(file), "new");

    const fs::path occupied = folder / "a folder";
    fs::create_directories(occupied / "inside");
    EXPECT_FALSE(writeFileReplacing(occupied, "bytes", &error));
    EXPECT_NE(error.find("a folder"), std::string::npos) << error;
    EXPECT_TRUE(fs::is_directory(occupied / "inside")) << "the old one is untouched";
    EXPECT_EQ(2U, entriesIn(folder)) << "no new file is left behind";
    EXPECT_FALSE(writeFileReplacing(folder / "missing" / "file", "bytes", &error));
    fs::remove_all(folder);
}

// Two processes (the program and zelo) replacing the same file at once:
// each writes a file of its own, so the result is one whole or the other.
TEST(FileReplace, ConcurrentWritersNeverMixTheirBytes) {
    const fs::path folder = freshFolder("zelo-replace-race");
    fs::create_directories(folder);
    const fs::path file = folder / "record";
    constexpr std::size_t kLength = 256 * 1024;
    constexpr int kRounds = 20;
    const std::string first(kLength, 'a');
    const std::string second(kLength / 2, 'b');
    std::atomic<int> failures{0};
    auto writer = [&](const std::string &bytes) {
        std::string error;
        for (int i = 0; i < kRounds; ++i) {
            if (!writeFileReplacing(file, bytes, &error)) ++failures;
        }
    };
    std::thread one(writer, first);
    std::thread two(writer, second);
    one.join();
    two.join();
#ifndef _WIN32
    // A rename over a file cannot fail there; Windows may refuse one while
    // the other writer's replace is under way, which is reported, not mixed.
    EXPECT_EQ(0, failures.load());
#endif
    const std::string result = fileBytes(file);
    EXPECT_TRUE(result == first || result == second) << "mixed or cut: " << result.size() << " bytes";
    EXPECT_EQ(1U, entriesIn(folder));
    fs::remove_all(folder);
}

#ifndef _WIN32
// The disk fills halfway through the new file: the old one stays whole.
TEST(FileReplace, AWriteThatFailsHalfwayLeavesTheOldFileWhole) {
    const fs::path folder = freshFolder("zelo-replace-full");
    fs::create_directories(folder);
    const fs::path file = folder / "record";
    const std::string old(1000, 'o');
    std::string error;
    ASSERT_TRUE(writeFileReplacing(file, old, &error)) << error;

    // A file-size limit stands for the full disk: the write stops part-way.
    constexpr rlim_t kRoom = 4096;
    rlimit saved{};
    ASSERT_EQ(0, getrlimit(RLIMIT_FSIZE, &saved));
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = kRoom;
    ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &limited));
    const bool written = writeFileReplacing(file, std::string(3 * kRoom, 'n'), &error);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_FALSE(written);
    EXPECT_NE(error.find("record"), std::string::npos) << error;
    EXPECT_EQ(old, fileBytes(file));
    EXPECT_EQ(1U, entriesIn(folder)) << "the part-written file stayed";
    fs::remove_all(folder);
}

TEST(PendingSaveFolder, ARelativeXdgStateHomeIsIgnored) {
    const char *override = std::getenv("ZELO_STATE_DIR");
    const std::string kept = override != nullptr ? override : "";
    const char *home = std::getenv("HOME");
    const std::string keptHome = home != nullptr ? home : "";
    unsetenv("ZELO_STATE_DIR");
    setenv("HOME", "/home/someone", 1);
    setenv("XDG_STATE_HOME", "relative/state", 1);
    EXPECT_EQ(fs::path("/home/someone/.local/state/zelo"), PendingSaveStore::userFolder());
    setenv("XDG_STATE_HOME", "/var/state", 1);
    EXPECT_EQ(fs::path("/var/state/zelo"), PendingSaveStore::userFolder());
    unsetenv("XDG_STATE_HOME");
    setenv("HOME", keptHome.c_str(), 1);
    if (!kept.empty()) setenv("ZELO_STATE_DIR", kept.c_str(), 1);
}
#endif

TEST(PendingSaveFolder, TheUsersFolderCanBeOverridden) {
    // Tests and the command-line program's users point it elsewhere.
    const fs::path folder = freshFolder("zelo-state");
#ifdef _WIN32
    _putenv_s("ZELO_STATE_DIR", folder.string().c_str());
#else
    setenv("ZELO_STATE_DIR", folder.string().c_str(), 1);
#endif
    EXPECT_EQ(folder, PendingSaveStore::userFolder());
}

// A record left by the program before durable saves is found for its
// accessory, as one that can be finished but not undone; one of another
// accessory with the same address stays; settling the save removes it.
TEST_F(PendingSaveStoreTest, FirstFormatRecordsAreReadForTheirAccessory) {
    const PendingSave save = sampleSave(0x11, 0x42, 7);
    putFirstFormatRecord(store_.folder(), save);
    PendingSave found;
    ASSERT_EQ(PendingLookup::Found, store_.read(save.key, found));
    EXPECT_FALSE(found.knowsBefore);
    EXPECT_EQ(save.block, found.block);
    EXPECT_EQ(PendingLookup::None, store_.read(sampleSave(0x11, 0x42, 8).key, found)) << "another device value";
    store_.remove(sampleSave(0x11, 0x42, 8).key);
    EXPECT_EQ(1u, entriesIn(folder_)) << "another accessory's removal took it";
    store_.remove(save.key);
    EXPECT_TRUE(fs::is_empty(folder_));
}

// A Save through the protocol with a store on the link, cut short by an
// unplug, and the accessory plugged in again.
class DurableSaveTest : public SimulatedAccessoryTest {
protected:
    void TearDown() override {
        SimulatedAccessoryTest::TearDown();
        fs::remove_all(folder_);
    }

    // Connected, the configuration read, and the user's edit committed.
    CDeviceLink &editedLink() {
        CDeviceLink &link = connectAndIdentify();
        link.pendingSaves = &store_;
        NoProgress progress;
        EXPECT_EQ(ZELO_OK, readConfiguration(link, progress));
        oldBlock_ = link.record.readCopy();
        link.record.acceptRead();
        for (std::size_t offset : kEditedOffsets) link.record.workingCopy()[offset] = kEdited;
        link.record.commitEdits();
        return link;
    }

    // The settings of a block: without the seal, which the write computes
    // over the firmware the gate read (none here).
    static ConfigRecord::Block settingsOf(ConfigRecord::Block block) {
        std::fill_n(block.begin() + kImageCrcOffset, widthOf(Field::ImageCrc), 0);
        return block;
    }

    // The accessory's configuration pages as one block.
    ConfigRecord::Block accessoryBlock(const sim::Accessory &accessory) const {
        ConfigRecord::Block block{};
        for (std::size_t i = 0; i < kConfigurationPages.size(); ++i) {
            const auto page = accessory.page(kConfigurationPages[i]);
            std::copy(page.begin(), page.end(), block.begin() + static_cast<std::ptrdiff_t>(i * kPageSize));
        }
        return block;
    }

    // Replugged and reconnected with a fresh link: the check's outcome.
    UnfinishedSaveCheck reconnect() {
        link_.reset();
        accessory_ = replugWithFlash(accessory_);
        link_ = std::make_unique<CDeviceLink>();
        EXPECT_EQ(ZELO_OK, link_->open(0));
        EXPECT_EQ(ZELO_OK, readVersions(*link_));
        link_->selectDefaults();
        link_->pendingSaves = &store_;
        NoProgress progress;
        EXPECT_EQ(ZELO_OK, readConfiguration(*link_, progress));
        return checkUnfinishedSave(store_, link_->variant(), link_->record.readCopy());
    }

    fs::path folder_ = freshFolder("zelo-durable");
    PendingSaveStore store_{folder_};
    ConfigRecord::Block oldBlock_{};
};

TEST_F(DurableSaveTest, ACompletedSaveLeavesNoRecordAndReadsLeaveNone) {
    CDeviceLink &link = editedLink();
    EXPECT_FALSE(fs::exists(folder_)) << "reading wrote a record";
    NoProgress progress;
    ASSERT_EQ(ZELO_OK, writeConfiguration(link, progress));
    EXPECT_FALSE(link.lastWriteUnprotected);
    EXPECT_TRUE(fs::is_empty(folder_));
    EXPECT_EQ(UnfinishedSave::None, reconnect().state);
}

TEST_F(DurableSaveTest, APageNotStoredKeepsTheRecordForTheNextConnect) {
    CDeviceLink &link = editedLink();
    const ConfigRecord::Block written = [&] {
        accessory_->injectFault({sim::Fault::FailPageWrite, 0, 1, {}, 1});
        NoProgress progress;
        EXPECT_EQ(kCheckFailed, writeConfiguration(link, progress));
        return link.record.readCopy();
    }();
    const UnfinishedSaveCheck check = reconnect();
    ASSERT_EQ(UnfinishedSave::Differs, check.state);
    EXPECT_EQ(written, check.save.block);
    EXPECT_EQ(oldBlock_, check.save.before) << "the record names what the pages held";
}

// Cut during each page, then settled either way: the accessory holds
// exactly one of the two configurations, never the mix.
TEST_F(DurableSaveTest, UnplugDuringEachPageThenFinishOrGoBackGivesOneWholeConfiguration) {
    for (const UnfinishedChoice choice : {UnfinishedChoice::Finish, UnfinishedChoice::GoBack}) {
        for (int page = 0; page < static_cast<int>(kConfigurationPages.size()); ++page) {
            const bool finish = choice == UnfinishedChoice::Finish;
            SCOPED_TRACE(std::string(finish ? "finish" : "go back") + ", unplugged during page " + std::to_string(page));
            world().reset();
            setReceiveLimit(kReceiveLimitMs);
            CDeviceLink &link = editedLink();
            accessory_->injectFault({sim::Fault::UnplugMidTransfer, 0, page * kReportsPerPageWrite + 2});
            NoProgress progress;
            EXPECT_NE(ZELO_OK, writeConfiguration(link, progress));
            const ConfigRecord::Block intended = link.record.readCopy();

            const UnfinishedSaveCheck check = reconnect();
            ASSERT_EQ(UnfinishedSave::Differs, check.state);
            ASSERT_EQ(ZELO_OK, settleUnfinishedSave(*link_, check.save, choice, progress));
            const ConfigRecord::Block expected = settingsOf(finish ? intended : oldBlock_);
            EXPECT_EQ(expected, settingsOf(accessoryBlock(*accessory_)));
            for (std::size_t offset : kEditedOffsets) {
                EXPECT_EQ(finish, accessoryBlock(*accessory_)[offset] == kEdited) << "offset " << offset;
            }
            EXPECT_EQ(expected, settingsOf(link_->record.workingCopy())) << "the pages show what was written";
            EXPECT_TRUE(fs::is_empty(folder_));
            EXPECT_EQ(UnfinishedSave::None, reconnect().state);
        }
    }
}

// The write that settles a cut save is cut too: its record still offers
// both of the original configurations, not the mix the first cut left.
TEST_F(DurableSaveTest, ASecondCutWhileSettlingCanStillBeSettledEitherWay) {
    CDeviceLink &link = editedLink();
    accessory_->injectFault({sim::Fault::UnplugMidTransfer, 0, kReportsPerPageWrite + 2});
    NoProgress progress;
    EXPECT_NE(ZELO_OK, writeConfiguration(link, progress));
    const ConfigRecord::Block intended = link.record.readCopy();

    UnfinishedSaveCheck check = reconnect();
    ASSERT_EQ(UnfinishedSave::Differs, check.state);
    accessory_->injectFault({sim::Fault::UnplugMidTransfer, 0, 2});
    EXPECT_NE(ZELO_OK, settleUnfinishedSave(*link_, check.save, UnfinishedChoice::GoBack, progress));

    check = reconnect();
    ASSERT_EQ(UnfinishedSave::Differs, check.state);
    ASSERT_EQ(ZELO_OK, settleUnfinishedSave(*link_, check.save, UnfinishedChoice::Finish, progress));
    EXPECT_EQ(settingsOf(oldBlock_), settingsOf(accessoryBlock(*accessory_))) << "finishing the undo gives the old settings";
    EXPECT_NE(intended, oldBlock_);
}

// A save the program before durable saves left cut, its record in that
// program's format: finishing writes what it was writing; going back,
// which it did not record enough for, keeps the pages as they are; either
// way the record goes. Its pages are not judged out of date: the old block
// to tell by is missing.
TEST_F(DurableSaveTest, AFirstFormatRecordCanBeFinishedOrKept) {
    for (const UnfinishedChoice choice : {UnfinishedChoice::Finish, UnfinishedChoice::GoBack}) {
        const bool finish = choice == UnfinishedChoice::Finish;
        SCOPED_TRACE(finish ? "finish" : "go back");
        world().reset();
        setReceiveLimit(kReceiveLimitMs);
        CDeviceLink &link = editedLink();
        // Cut in the first page's write: no page is new yet, which, without
        // the old block, cannot be told from a save made elsewhere since.
        accessory_->injectFault({sim::Fault::UnplugMidTransfer, 0, 2});
        NoProgress progress;
        EXPECT_NE(ZELO_OK, writeConfiguration(link, progress));
        PendingSave cut;
        ASSERT_EQ(PendingLookup::Found, store_.read(accessoryKeyOf(link.record.readCopy()), cut));
        fs::remove_all(folder_);
        putFirstFormatRecord(store_.folder(), cut);

        const UnfinishedSaveCheck check = reconnect();
        ASSERT_EQ(UnfinishedSave::Differs, check.state);
        EXPECT_FALSE(check.save.knowsBefore);
        const ConfigRecord::Block asFound = accessoryBlock(*accessory_);
        ASSERT_EQ(ZELO_OK, settleUnfinishedSave(*link_, check.save, choice, progress));
        EXPECT_EQ(settingsOf(finish ? cut.block : asFound), settingsOf(accessoryBlock(*accessory_)));
        EXPECT_TRUE(fs::is_empty(folder_));
        EXPECT_EQ(UnfinishedSave::None, reconnect().state);
    }
}

// The accessory was saved elsewhere after the cut (another computer, another
// user account): the record no longer fits, and must not write old
// settings over the newer ones.
TEST_F(DurableSaveTest, AStaleRecordIsDroppedAndTheAccessorysSettingsKept) {
    CDeviceLink &link = editedLink();
    accessory_->injectFault({sim::Fault::UnplugMidTransfer, 0, kReportsPerPageWrite + 2});
    NoProgress progress;
    EXPECT_NE(ZELO_OK, writeConfiguration(link, progress));

    reconnect();
    link_->pendingSaves = nullptr;  // the other computer's program
    link_->record.acceptRead();
    for (std::size_t offset : kEditedOffsets) link_->record.workingCopy()[offset] = kEdited + 1;
    link_->record.commitEdits();
    ASSERT_EQ(ZELO_OK, writeConfiguration(*link_, progress));
    const ConfigRecord::Block newer = accessoryBlock(*accessory_);

    EXPECT_EQ(UnfinishedSave::Stale, reconnect().state);
    EXPECT_EQ(newer, accessoryBlock(*accessory_));
    EXPECT_TRUE(fs::is_empty(folder_));
}

// The write went through but the record outlived it (a crash before its
// removal): the next connect finds it matching and drops it.
TEST_F(DurableSaveTest, ARecordTheAccessoryAlreadyMatchesIsRemoved) {
    CDeviceLink &link = editedLink();
    const fs::path file = [&] {
        accessory_->injectFault({sim::Fault::UnplugMidTransfer, 0, 2});
        NoProgress progress;
        EXPECT_NE(ZELO_OK, writeConfiguration(link, progress));
        return store_.fileOf(accessoryKeyOf(link.record.readCopy()));
    }();
    const std::string record = fileBytes(file);
    const UnfinishedSaveCheck check = reconnect();
    ASSERT_EQ(UnfinishedSave::Differs, check.state);
    NoProgress progress;
    ASSERT_EQ(ZELO_OK, finishUnfinishedSave(*link_, check.save, progress));
    putBytes(file, record);

    EXPECT_EQ(UnfinishedSave::None, reconnect().state);
    EXPECT_FALSE(fs::exists(file));
}

// The record could not be written: the save goes on, the caller hears it
// is unprotected, and no older record of this accessory is left to be
// settled later as if it were this save's.
TEST_F(DurableSaveTest, ASaveWhoseRecordCannotBeKeptIsToldUnprotected) {
    CDeviceLink &link = editedLink();
    PendingSave older;
    older.variant = DeviceVariant::Standard;
    older.block = oldBlock_;
    older.before = oldBlock_;
    older.block[kEditedOffsets[0]] ^= 1;
    older.key = accessoryKeyOf(older.block);
    std::string error;
    ASSERT_TRUE(store_.write(older, error)) << error;

    PendingSaveStore unkept{folder_, [] { return false; }};
    link.pendingSaves = &unkept;
    NoProgress progress;
    ASSERT_EQ(ZELO_OK, writeConfiguration(link, progress));
    EXPECT_TRUE(link.lastWriteUnprotected);
    EXPECT_FALSE(fs::exists(store_.fileOf(older.key)));
    ASSERT_EQ(ZELO_OK, writeConfiguration(link, progress));
    link.pendingSaves = &store_;
    ASSERT_EQ(ZELO_OK, writeConfiguration(link, progress));
    EXPECT_FALSE(link.lastWriteUnprotected) << "told of a save that was recorded";
}

// Real flash: the page being written when power went may read erased.
// When that is the page with the accessory's identity, the one record the
// other pages fit is found all the same.
TEST_F(DurableSaveTest, AnErasedIdentityPageStillFindsItsRecord) {
    CDeviceLink &link = editedLink();
    accessory_->injectFault({sim::Fault::UnplugMidTransfer, 0, kReportsPerPageWrite + 2});
    NoProgress progress;
    EXPECT_NE(ZELO_OK, writeConfiguration(link, progress));
    const ConfigRecord::Block intended = link.record.readCopy();
    PageBytes erased{};
    erased.fill(0xFF);
    accessory_->setPage(kConfigurationPages[1], erased);

    const UnfinishedSaveCheck check = reconnect();
    ASSERT_EQ(UnfinishedSave::Differs, check.state);
    ASSERT_EQ(ZELO_OK, finishUnfinishedSave(*link_, check.save, progress));
    EXPECT_EQ(intended, accessoryBlock(*accessory_));
    EXPECT_TRUE(fs::is_empty(folder_));
}

TEST_F(DurableSaveTest, ADamagedRecordIsReportedOnceAndDropped) {
    CDeviceLink &link = editedLink();
    accessory_->injectFault({sim::Fault::UnplugMidTransfer, 0, 2});
    NoProgress progress;
    EXPECT_NE(ZELO_OK, writeConfiguration(link, progress));
    const fs::path file = store_.fileOf(accessoryKeyOf(link.record.readCopy()));
    std::string bytes = fileBytes(file);
    bytes[bytes.size() - 1] ^= 0x40;
    putBytes(file, bytes);

    EXPECT_EQ(UnfinishedSave::Damaged, reconnect().state);
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(UnfinishedSave::None, reconnect().state);
}

}  // namespace
}  // namespace zelo::device::test
