// Save, exit question, page refresh and Restore default settings as the
// shell runs them on the configuration copies, with pages that record what
// they are asked to do.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

#include "config_session.h"
#include "images.h"

namespace zelo::app {
namespace {

using device::CDeviceLink;
using device::DeviceVariant;

constexpr std::size_t kEditedByte = device::kStatusLedOffOffset;

// Stores its value into one byte of the working copy; remembers every call.
class RecordingPage final : public Page {
public:
    RecordingPage(std::string name, std::vector<std::string> &log) : name_(std::move(name)), log_(log) {}
    void load(device::ConfigRecord::Block &working, DeviceVariant) override {
        log_.push_back("load " + name_);
        shown = working[kEditedByte];
    }
    void store(device::ConfigRecord::Block &working, DeviceVariant) override {
        log_.push_back("store " + name_);
        if (stores) working[kEditedByte] = shown;
    }
    std::uint8_t shown = 0;
    bool stores = false;

private:
    std::string name_;
    std::vector<std::string> &log_;
};

class ConfigSession : public testing::Test {
protected:
    ConfigSession() {
        const char *names[] = {"settings", "macros", "devicecode", "buttons", "ir", "module"};
        for (std::size_t i = 0; i < kPageCount; ++i) {
            pages_.emplace_back(names[i], log_);
            set_.set(static_cast<PageIndex>(i), &pages_.back());
        }
        settings().stores = true;
    }

    // Connected as after a connect: versions read, defaults chosen.
    void connect(const char *loader) {
        link_.setLdVersion(loader);
        link_.selectDefaults();
        link_.connected = 1;
        link_.record.beginRead();
        for (std::size_t i = 0; i < device::kBlockSize; ++i) link_.record.readCopy()[i] = static_cast<std::uint8_t>(i);
        link_.record.finishRead(true);
        link_.record.acceptRead();
    }

    RecordingPage &settings() { return pages_.front(); }

    CDeviceLink link_;
    std::vector<std::string> log_;
    std::deque<RecordingPage> pages_;
    PageSet set_;
};

TEST_F(ConfigSession, PagesStoreAndLoadInTheirOrderForConfigurableVariants) {
    for (const char *loader : {"1.00", "1.01"}) {
        SCOPED_TRACE(loader);
        connect(loader);
        log_.clear();
        ASSERT_TRUE(refreshPages(&link_, set_));
        EXPECT_EQ((std::vector<std::string>{"load settings", "load macros", "load devicecode", "load buttons",
                                            "store settings", "store macros", "store devicecode"}),
                  log_);
    }
    // A read that failed part-way, or a link the failed connect closed:
    // the pages keep what they show.
    link_.record.finishRead(false);
    log_.clear();
    EXPECT_FALSE(refreshPages(&link_, set_));
    connect("1.00");
    link_.connected = 0;
    EXPECT_FALSE(refreshPages(&link_, set_));
    EXPECT_TRUE(log_.empty());
}

TEST_F(ConfigSession, OtherVariantsAndAMissingLinkTouchNoPage) {
    connect("1.02");
    EXPECT_FALSE(refreshPages(&link_, set_));
    EXPECT_FALSE(exitNeedsSaveQuestion(&link_, set_));
    prepareSave(&link_, set_);
    EXPECT_FALSE(refreshPages(nullptr, set_));
    EXPECT_FALSE(exitNeedsSaveQuestion(nullptr, set_));
    prepareSave(nullptr, set_);
    EXPECT_TRUE(finishSave(nullptr, ZELO_OK));
    EXPECT_FALSE(finishSave(nullptr, ZELO_TRANSFER_FAILED));
    EXPECT_FALSE(restoreDefaults(nullptr));
    EXPECT_TRUE(log_.empty());
}

TEST_F(ConfigSession, ExitAsksOnlyAboutRealChanges) {
    connect("1.00");
    refreshPages(&link_, set_);
    EXPECT_FALSE(exitNeedsSaveQuestion(&link_, set_));

    settings().shown ^= 1;
    EXPECT_TRUE(exitNeedsSaveQuestion(&link_, set_)) << "the page's control changed";
    settings().shown ^= 1;
    EXPECT_FALSE(exitNeedsSaveQuestion(&link_, set_)) << "changed back by hand";

    settings().shown ^= 1;
    link_.connected = 0;
    log_.clear();
    EXPECT_FALSE(exitNeedsSaveQuestion(&link_, set_)) << "nothing to save to";
    EXPECT_TRUE(log_.empty());
}

TEST_F(ConfigSession, AFailedSaveLeavesTheChangesUnsavedASuccessfulOneCommitsThem) {
    connect("1.00");
    refreshPages(&link_, set_);
    const device::ConfigRecord::Block original = link_.record.readCopy();

    settings().shown ^= 1;
    prepareSave(&link_, set_);
    EXPECT_EQ(link_.record.workingCopy(), link_.record.readCopy());
    EXPECT_FALSE(finishSave(&link_, ZELO_TRANSFER_FAILED));
    EXPECT_EQ(original, link_.record.readCopy());
    EXPECT_TRUE(exitNeedsSaveQuestion(&link_, set_));

    prepareSave(&link_, set_);
    EXPECT_TRUE(finishSave(&link_, ZELO_OK));
    EXPECT_FALSE(link_.record.revertCommit()) << "a confirmed save cannot be undone";
    EXPECT_FALSE(exitNeedsSaveQuestion(&link_, set_));
}

TEST_F(ConfigSession, RestoreDefaultsKeepsTheIdentityAndFailsBack) {
    connect("1.00");
    const device::ConfigRecord::Block before = link_.record.readCopy();
    ASSERT_TRUE(restoreDefaults(&link_));
    const auto defaults = device::defaultBlock(DeviceVariant::Standard);
    const auto &read = link_.record.readCopy();
    for (std::size_t i = 0; i < device::kBlockSize; ++i) {
        const bool kept = i < device::kDiscretePowerOnOffset ||
                          (i >= device::kDeviceValueOffset && i < device::kKeyMapFirstOffset);
        ASSERT_EQ(kept ? before[i] : defaults[i], read[i]) << "byte " << i;
    }
    EXPECT_FALSE(finishSave(&link_, ZELO_TRANSFER_FAILED));
    EXPECT_EQ(before, link_.record.readCopy());

    connect("1.02");
    EXPECT_FALSE(restoreDefaults(&link_)) << "no defaults for other variants";
}

}  // namespace
}  // namespace zelo::app
