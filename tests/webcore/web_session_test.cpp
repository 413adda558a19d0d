// The page's session against simulated accessories, on the paths the
// browser tests reach only at great cost: reads that fail, an accessory
// unplugged in the middle of a save, refused settings files, and every
// call without an accessory, and a Save an unplug cut short finished or
// dropped at the next connect.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <random>
#include <string>

#include "connect_sequence.h"
#include "first_format_record.h"
#include "firmware_gate.h"
#include "pending_save.h"
#include "progress.h"
#include "protocol.h"
#include "sim_fixture.h"
#include "web_session.h"

namespace zelo::web {
namespace {

using device::test::SimulatedAccessoryTest;

constexpr int kManyFaults = 1000;     // more than any retry loop tries
constexpr int kReportsIntoSave = 3;   // the save has begun writing
constexpr const char *kEditedCode = "7.42";
constexpr int kReportsIntoSecondPage = 11;  // the first page is written, the second is not

class WebSessionTest : public SimulatedAccessoryTest {
protected:
    std::shared_ptr<sim::Accessory> plug(const std::string &model = "standard") {
        sim::AccessoryConfig config;
        config.model = model;
        accessory_ = world().plug(config);
        return accessory_;
    }

    int connect() { return session_.connect(ui_, progress_); }

    // The working copy with another device code, as the page sends an edit.
    std::string editedDocument() const {
        nlohmann::json document = nlohmann::json::parse(session_.document());
        document["deviceCode"] = kEditedCode;
        return document.dump();
    }

    std::string deviceCodeShown() const {
        return nlohmann::json::parse(session_.document())["deviceCode"].get<std::string>();
    }

    app::FixedAnswerGateUi ui_{false};
    device::NoProgress progress_;
    WebSession session_;
};

TEST_F(WebSessionTest, ConnectReadsTheConfigurationAndAnEditSavesIntoTheFlash) {
    plug("x");
    ASSERT_EQ(app::CONNECT_OK, connect());
    const AccessoryInfo info = session_.info();
    EXPECT_TRUE(info.connected);
    EXPECT_TRUE(info.configurationRead);
    EXPECT_EQ("x", info.model);
    EXPECT_FALSE(session_.unsavedChanges());

    ASSERT_TRUE(session_.apply(editedDocument()).applied);
    EXPECT_TRUE(session_.unsavedChanges());
    ASSERT_EQ(ZELO_OK, session_.save(progress_));
    EXPECT_FALSE(session_.unsavedChanges());

    session_.disconnect();  // the accessory opens for one link at a time
    WebSession fresh;
    ASSERT_EQ(app::CONNECT_OK, fresh.connect(ui_, progress_));
    EXPECT_EQ(kEditedCode, nlohmann::json::parse(fresh.document())["deviceCode"].get<std::string>());
}

TEST_F(WebSessionTest, AFailedConfigurationReadLeavesNoSessionToEditOrSave) {
    plug()->injectFault({sim::Fault::CorruptCrc, 0, kManyFaults});
    setReceiveLimit(device::test::kShortReceiveLimitMs);
    EXPECT_NE(app::CONNECT_OK, connect());
    EXPECT_FALSE(session_.info().connected);
    EXPECT_TRUE(session_.document().empty());
    EXPECT_NE(ZELO_OK, session_.save(progress_));
    EXPECT_FALSE(session_.apply("{}").applied);
}

TEST_F(WebSessionTest, UnpluggedDuringSaveIsAFailureAndTheEditStaysUnsaved) {
    plug();
    ASSERT_EQ(app::CONNECT_OK, connect());
    ASSERT_TRUE(session_.apply(editedDocument()).applied);
    accessory_->injectFault({sim::Fault::UnplugMidTransfer, 0, kReportsIntoSave});

    EXPECT_NE(ZELO_OK, session_.save(progress_));
    EXPECT_TRUE(session_.unsavedChanges());
    EXPECT_FALSE(accessory_->plugged());
    EXPECT_EQ(kEditedCode, deviceCodeShown()) << "the edit is still there to export";
    EXPECT_NE(ZELO_OK, session_.save(progress_)) << "a second save does not claim success either";
}

// The page's store of Saves under way, in a folder of its own; the persist
// step notes what the accessory held when the record was made to last.
class UnfinishedSaveTest : public WebSessionTest {
protected:
    void TearDown() override {
        WebSessionTest::TearDown();
        std::filesystem::remove_all(folder_);
    }

    device::ConfigRecord::Block accessoryBlock() const {
        device::ConfigRecord::Block block{};
        for (std::size_t i = 0; i < device::kConfigurationPages.size(); ++i) {
            const auto page = accessory_->page(device::kConfigurationPages[i]);
            std::copy(page.begin(), page.end(), block.begin() + static_cast<std::ptrdiff_t>(i * device::kPageSize));
        }
        return block;
    }

    // Connected, edited, and the Save cut short in its second page; the
    // accessory plugged in again with its flash and connected by a new page.
    void saveCutShortThenReconnect() {
        plug();
        ASSERT_EQ(app::CONNECT_OK, session_.connect(ui_, progress_));
        oldBlock_ = accessoryBlock();
        ASSERT_TRUE(session_.apply(editedDocument()).applied);
        accessory_->injectFault({sim::Fault::UnplugMidTransfer, 0, kReportsIntoSecondPage});
        ASSERT_NE(ZELO_OK, session_.save(progress_));
        ASSERT_EQ(1, persisted_);
        EXPECT_EQ(oldBlock_, blockWhenPersisted_) << "a page was written before the record lasted";
        ASSERT_NE(oldBlock_, accessoryBlock()) << "the unplug came too late to leave a half-written save";

        session_.disconnect();
        accessory_ = device::test::replugWithFlash(accessory_);
        ASSERT_EQ(app::CONNECT_OK, again_.connect(ui_, progress_));
    }

    std::filesystem::path folder_ =
        std::filesystem::temp_directory_path() / ("zelo-web-saves-" + std::to_string(std::random_device{}()));
    int persisted_ = 0;
    device::ConfigRecord::Block blockWhenPersisted_{};
    device::PendingSaveStore saves_{folder_, [this] {
        ++persisted_;
        if (persisted_ == 1) blockWhenPersisted_ = accessoryBlock();
        return true;
    }};
    device::ConfigRecord::Block oldBlock_{};
    WebSession again_{&saves_};
};

TEST_F(UnfinishedSaveTest, FinishingWritesExactlyTheSettingsTheCutShortSaveWasWriting) {
    session_.useSaveRecords(&saves_);
    saveCutShortThenReconnect();
    ASSERT_EQ(device::UnfinishedSave::Differs, again_.unfinishedSave());
    again_.dismissUnfinishedSave();
    EXPECT_EQ(device::UnfinishedSave::Differs, again_.unfinishedSave()) << "only a damaged record is told once";

    ASSERT_EQ(ZELO_OK, again_.finishUnfinishedSave(progress_));
    EXPECT_EQ(device::UnfinishedSave::None, again_.unfinishedSave());
    EXPECT_FALSE(again_.unsavedChanges());
    EXPECT_EQ(kEditedCode, nlohmann::json::parse(again_.document())["deviceCode"].get<std::string>());

    again_.disconnect();
    WebSession third(&saves_);
    ASSERT_EQ(app::CONNECT_OK, third.connect(ui_, progress_));
    EXPECT_EQ(device::UnfinishedSave::None, third.unfinishedSave()) << "the record outlived a verified write";
    EXPECT_EQ(kEditedCode, nlohmann::json::parse(third.document())["deviceCode"].get<std::string>());
    EXPECT_TRUE(std::filesystem::is_empty(folder_));
}

TEST_F(UnfinishedSaveTest, UndoingWritesBackTheSettingsFromBeforeTheSaveAndTheRecordGoes) {
    session_.useSaveRecords(&saves_);
    saveCutShortThenReconnect();
    ASSERT_EQ(device::UnfinishedSave::Differs, again_.unfinishedSave());

    ASSERT_EQ(ZELO_OK, again_.undoUnfinishedSave(progress_));
    EXPECT_EQ(device::UnfinishedSave::None, again_.unfinishedSave());
    EXPECT_EQ(ZELO_NO_SUCH_DEVICE, again_.finishUnfinishedSave(progress_)) << "nothing left to finish";
    EXPECT_EQ(oldBlock_, accessoryBlock()) << "not the old settings as a whole";
    EXPECT_NE(kEditedCode, nlohmann::json::parse(again_.document())["deviceCode"].get<std::string>());
    EXPECT_FALSE(again_.lastWriteUnprotected());

    again_.disconnect();
    WebSession third(&saves_);
    ASSERT_EQ(app::CONNECT_OK, third.connect(ui_, progress_));
    EXPECT_EQ(device::UnfinishedSave::None, third.unfinishedSave());
    EXPECT_TRUE(std::filesystem::is_empty(folder_));
}

// The page asks what the program asks: a record the program before durable
// saves left holds no settings from before, so its question must not
// promise to bring them back.
TEST_F(UnfinishedSaveTest, TheQuestionPromisesGoingBackOnlyWhenTheRecordCan) {
    session_.useSaveRecords(&saves_);
    saveCutShortThenReconnect();
    ASSERT_EQ(device::UnfinishedSave::Differs, again_.unfinishedSave());
    EXPECT_EQ(i18n::Msg::UnfinishedSave, again_.unfinishedSaveQuestion());

    device::PendingSave cut;
    ASSERT_EQ(device::PendingLookup::Found, saves_.read(device::accessoryKeyOf(oldBlock_), cut));
    again_.disconnect();
    std::filesystem::remove_all(folder_);
    device::test::putFirstFormatRecord(folder_, cut);
    WebSession earlier(&saves_);
    ASSERT_EQ(app::CONNECT_OK, earlier.connect(ui_, progress_));
    ASSERT_EQ(device::UnfinishedSave::Differs, earlier.unfinishedSave());
    EXPECT_EQ(i18n::Msg::UnfinishedSaveEarlier, earlier.unfinishedSaveQuestion());
}

TEST_F(UnfinishedSaveTest, ARecordThatCannotBeKeptDoesNotStopTheSave) {
    device::PendingSaveStore failing{folder_, [] { return false; }};
    WebSession session(&failing);
    plug();
    ASSERT_EQ(app::CONNECT_OK, session.connect(ui_, progress_));
    nlohmann::json document = nlohmann::json::parse(session.document());
    document["deviceCode"] = kEditedCode;
    ASSERT_TRUE(session.apply(document.dump()).applied);
    EXPECT_EQ(ZELO_OK, session.save(progress_));
    EXPECT_FALSE(session.unsavedChanges());
    EXPECT_TRUE(session.lastWriteUnprotected()) << "the page must warn";
}

TEST_F(WebSessionTest, ARefusedSettingsFileChangesNothing) {
    plug();
    ASSERT_EQ(app::CONNECT_OK, connect());
    const std::string before = session_.document();

    const settings::ImportResult damaged = session_.apply(before.substr(0, before.size() / 2));
    EXPECT_FALSE(damaged.applied);
    EXPECT_FALSE(damaged.refusal.empty());

    nlohmann::json outOfRange = nlohmann::json::parse(before);
    outOfRange["deviceCode"] = "32.0";
    const settings::ImportResult refused = session_.apply(outOfRange.dump());
    EXPECT_FALSE(refused.applied);
    EXPECT_NE(std::string::npos, refused.refusal.find("deviceCode")) << refused.refusal;

    EXPECT_EQ(before, session_.document());
    EXPECT_FALSE(session_.unsavedChanges());
}

TEST_F(WebSessionTest, WithoutAnAccessoryEveryCallFailsWithoutClaimingSuccess) {
    bool restored = true;
    EXPECT_NE(ZELO_OK, session_.restoreDefaults(progress_, &restored));
    EXPECT_FALSE(restored);
    EXPECT_NE(ZELO_OK, session_.save(progress_));
    EXPECT_NE(ZELO_OK, session_.pair());
    EXPECT_NE(ZELO_OK, session_.transmitIr(0, true));
    EXPECT_TRUE(session_.lastIrCommand().empty());
    EXPECT_EQ("no accessory connected", session_.apply("{}").refusal);
    device::NoWaits waits;
    EXPECT_NE(ZELO_OK, session_.runModule(maintenance::ModuleOperationKind::Erase, waits).result);
}

TEST_F(WebSessionTest, IrStatusThatCannotBeReadShowsNothingAndTheStandardModelDoesNotTransmit) {
    plug();
    ASSERT_EQ(app::CONNECT_OK, connect());
    accessory_->setLastIrCode(0x79);
    accessory_->injectFault({sim::Fault::FailFeatureRead, 0, kManyFaults});
    EXPECT_TRUE(session_.lastIrCommand().empty());
    EXPECT_EQ(ZELO_NO_SUCH_DEVICE, session_.transmitIr(0, true));
}

}  // namespace
}  // namespace zelo::web
