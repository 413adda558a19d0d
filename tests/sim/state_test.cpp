// Accessories that outlive a process (state=) and accessories that arrive
// late (arrive=), through World::configure as ZELO_SIMULATOR gives them.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>

#include "sim_test_support.h"
#include "zelo_notify.h"

namespace zelo::sim::test {
namespace {

constexpr int kConfigPage = 14;
constexpr auto kArrivalDeadline = std::chrono::seconds(10);

class StateTest : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        path_ = (std::filesystem::temp_directory_path() /
                 ("zelo-sim-state-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)) + ".bin"))
                    .string();
        std::filesystem::remove(path_);
    }
    void TearDown() override {
        SimTest::TearDown();
        std::filesystem::remove(path_);
    }
    std::shared_ptr<Accessory> only() {
        auto plugged = world().accessories();
        EXPECT_EQ(plugged.size(), 1u);
        return plugged.empty() ? nullptr : plugged.front();
    }
    std::string path_;
};

TEST_F(StateTest, WrittenPagesAndModuleSurviveANewPlug) {
    std::string error;
    ASSERT_TRUE(world().configure("standard:state=" + path_, &error)) << error;
    EXPECT_TRUE(std::filesystem::exists(path_)) << "a new accessory's file is written at once";
    const auto pattern = patternPage(7);
    Link link = openLink(*only());
    Bytes write = command(0x58, {kConfigPage}, Bytes(pattern.begin(), pattern.end()));
    exchange(link, write, 2);

    ASSERT_TRUE(world().configure("standard:state=" + path_, &error)) << error;
    EXPECT_EQ(only()->page(kConfigPage), pattern);
    const auto folder = std::filesystem::path(path_).parent_path();
    // Only the claim other processes see may sit beside the state file.
    for (const auto &entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().string() == path_ + ".lock") continue;
        EXPECT_EQ(entry.path().string().find(path_ + "."), std::string::npos) << "left beside: " << entry.path();
    }
}

TEST_F(StateTest, DamagedOrForeignFilesAreRefusedAndKept) {
    std::string error;
    ASSERT_TRUE(world().configure("standard:state=" + path_, &error)) << error;
    // Another model's memory is not this accessory's.
    EXPECT_FALSE(world().configure("x:state=" + path_, &error));
    EXPECT_NE(error.find("loader"), std::string::npos) << error;
    EXPECT_TRUE(world().accessories().empty());

    const auto size = std::filesystem::file_size(path_);
    {
        std::fstream file(path_, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(static_cast<std::streamoff>(size / 2));
        file.put('\x5A');
    }
    EXPECT_FALSE(world().configure("standard:state=" + path_, &error));
    EXPECT_NE(error.find("damaged"), std::string::npos) << error;
    EXPECT_EQ(std::filesystem::file_size(path_), size) << "a refused file is never replaced";

    std::ofstream(path_, std::ios::trunc) << "not a state";
    EXPECT_FALSE(world().configure("standard:state=" + path_, &error));
    EXPECT_NE(error.find("not a simulator state file"), std::string::npos) << error;
}

TEST_F(StateTest, SettingForms) {
    std::string error;
    EXPECT_FALSE(world().configure("standard:state=", &error));
    EXPECT_FALSE(world().configure("standard:arrive=soon", &error));
    EXPECT_FALSE(world().configure("standard:arrive=600001", &error));
    // A Windows path keeps its drive letter.
    ASSERT_TRUE(world().configure("standard:arrive=600000:state=C:\\zelo\\acc.bin", &error)) << error;
    world().reset();
}

#if !defined(_WIN32)
struct Arrivals {
    std::mutex lock;
    std::condition_variable changed;
    std::vector<std::pair<int, std::string>> heard;
};

void heardEvent(void *context, std::int32_t arrived, const char *path) {
    auto *arrivals = static_cast<Arrivals *>(context);
    std::lock_guard guard(arrivals->lock);
    arrivals->heard.emplace_back(arrived, path);
    arrivals->changed.notify_all();
}

TEST_F(StateTest, LateAccessoryArrivesAndIsAnnounced) {
    Arrivals arrivals;
    ZELO_NOTIFY_TARGET target{heardEvent, &arrivals};
    backend().requestNotification(&target);
    std::string error;
    ASSERT_TRUE(world().configure("x:arrive=50", &error)) << error;
    EXPECT_TRUE(world().accessories().empty());
    std::unique_lock guard(arrivals.lock);
    ASSERT_TRUE(arrivals.changed.wait_for(guard, kArrivalDeadline, [&] { return !arrivals.heard.empty(); }));
    EXPECT_EQ(arrivals.heard.front().first, 1);
    guard.unlock();
    ASSERT_EQ(world().accessories().size(), 1u);
    EXPECT_EQ(arrivals.heard.front().second, world().accessories().front()->path());
    world().unplug(world().accessories().front());
    guard.lock();
    EXPECT_EQ(arrivals.heard.back().first, 0);
    guard.unlock();
    world().reset();  // forgets the target before it goes out of scope
}
#endif

}  // namespace
}  // namespace zelo::sim::test
