// Durable saves: the record of a configuration write under way, its file,
// and finishing a write that an unplug cut short.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "file_replace.h"
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

PendingSave sampleSave(std::uint8_t fill, std::uint8_t addressByte) {
    PendingSave save;
    save.variant = DeviceVariant::Standard;
    save.block.fill(fill);
    for (std::size_t i = 0; i < kDeviceAddressSize; ++i) save.block[kDeviceAddressOffset + i] = addressByte;
    save.address = deviceAddressOf(save.block);
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

class PendingSaveStoreTest : public ::testing::Test {
protected:
    void TearDown() override { fs::remove_all(folder_); }
    fs::path folder_ = freshFolder("zelo-pending");
    PendingSaveStore store_{folder_};
};

TEST_F(PendingSaveStoreTest, KeepsOneRecordPerAccessoryAndReplacesItWhole) {
    std::string error;
    ASSERT_TRUE(store_.write(sampleSave(1, 0xA1), error)) << error;
    ASSERT_TRUE(store_.write(sampleSave(2, 0xA2), error)) << error;
    ASSERT_TRUE(store_.write(sampleSave(3, 0xA1), error)) << error;  // replaces the first

    PendingSave found;
    ASSERT_EQ(PendingLookup::Found, store_.read(sampleSave(0, 0xA1).address, found));
    EXPECT_EQ(sampleSave(3, 0xA1).block, found.block);
    store_.remove(found.address);
    EXPECT_EQ(PendingLookup::None, store_.read(found.address, found));
    // The other accessory's record is left alone, and no temporary file stays.
    EXPECT_EQ(PendingLookup::Found, store_.read(sampleSave(0, 0xA2).address, found));
    EXPECT_EQ(1, std::distance(fs::directory_iterator(folder_), fs::directory_iterator()));
}

TEST_F(PendingSaveStoreTest, DamagedRecordsAreRecognised) {
    std::string error;
    const PendingSave save = sampleSave(7, 0xB0);
    ASSERT_TRUE(store_.write(save, error));
    const fs::path file = store_.fileOf(save.address);
    const std::string good = fileBytes(file);

    std::string flipped = good;
    flipped[flipped.size() / 2] ^= 0x01;
    std::string newer = good;
    newer[kPendingSaveMagic.size()] = static_cast<char>(kPendingSaveFormatVersion + 1);
    std::string foreign = encodePendingSave(sampleSave(7, 0xB1));  // another accessory's, under this name

    PendingSave found;
    for (const std::string &bad : {flipped, good.substr(0, good.size() - 1), newer, foreign, std::string()}) {
        putBytes(file, bad);
        EXPECT_EQ(PendingLookup::Damaged, store_.read(save.address, found));
    }
    PendingSave decoded;
    EXPECT_FALSE(decodePendingSave(newer, decoded)) << "an unknown format version is not guessed at";
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
    std::ifstream in(file, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "new");

    const fs::path occupied = folder / "a folder";
    fs::create_directories(occupied / "inside");
    EXPECT_FALSE(writeFileReplacing(occupied, "bytes", &error));
    EXPECT_NE(error.find("a folder"), std::string::npos) << error;
    EXPECT_TRUE(fs::is_directory(occupied / "inside")) << "the old one is untouched";
    fs::path leftover = occupied;
    leftover += std::string(kNewFileSuffix);
    EXPECT_FALSE(fs::exists(leftover)) << "no new file is left behind";
    EXPECT_FALSE(writeFileReplacing(folder / "missing" / "file", "bytes", &error));
}

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
}

TEST_F(DurableSaveTest, UnplugDuringEachPageThenFinishGivesExactlyTheNewSettings) {
    for (int page = 0; page < static_cast<int>(kConfigurationPages.size()); ++page) {
        SCOPED_TRACE("unplugged during page " + std::to_string(page));
        world().reset();
        setReceiveLimit(kReceiveLimitMs);
        CDeviceLink &link = editedLink();
        accessory_->injectFault({sim::Fault::UnplugMidTransfer, 0, page * kReportsPerPageWrite + 2});
        NoProgress progress;
        EXPECT_NE(ZELO_OK, writeConfiguration(link, progress));
        const ConfigRecord::Block intended = link.record.readCopy();

        const UnfinishedSaveCheck check = reconnect();
        ASSERT_EQ(UnfinishedSave::Differs, check.state);
        ASSERT_EQ(ZELO_OK, finishUnfinishedSave(*link_, check.save, progress));
        EXPECT_EQ(intended, accessoryBlock(*accessory_));
        for (std::size_t offset : kEditedOffsets) EXPECT_EQ(kEdited, accessoryBlock(*accessory_)[offset]);
        EXPECT_EQ(intended, link_->record.workingCopy()) << "the pages show what was written";
        EXPECT_FALSE(fs::exists(store_.fileOf(check.save.address)));
        EXPECT_EQ(UnfinishedSave::None, reconnect().state);
    }
}

TEST_F(DurableSaveTest, NoKeepsTheAccessorysOwnSettingsAndDropsTheRecord) {
    CDeviceLink &link = editedLink();
    accessory_->injectFault({sim::Fault::UnplugMidTransfer, 0, kReportsPerPageWrite + 2});
    NoProgress progress;
    EXPECT_NE(ZELO_OK, writeConfiguration(link, progress));

    const UnfinishedSaveCheck check = reconnect();
    ASSERT_EQ(UnfinishedSave::Differs, check.state);
    const ConfigRecord::Block own = accessoryBlock(*accessory_);
    keepAccessorySettings(store_, check.save);
    EXPECT_EQ(own, accessoryBlock(*accessory_));
    EXPECT_EQ(UnfinishedSave::None, reconnect().state);
}

TEST_F(DurableSaveTest, ADamagedRecordIsReportedOnceAndDropped) {
    CDeviceLink &link = editedLink();
    accessory_->injectFault({sim::Fault::UnplugMidTransfer, 0, 2});
    NoProgress progress;
    EXPECT_NE(ZELO_OK, writeConfiguration(link, progress));
    const fs::path file = store_.fileOf(deviceAddressOf(link.record.readCopy()));
    std::string bytes = fileBytes(file);
    bytes[bytes.size() - 1] ^= 0x40;
    putBytes(file, bytes);

    EXPECT_EQ(UnfinishedSave::Damaged, reconnect().state);
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(UnfinishedSave::None, reconnect().state);
}

}  // namespace
}  // namespace zelo::device::test
