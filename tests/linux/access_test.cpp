// The permission diagnosis: which nodes it names and what it tells the
// user to do, the accessory's nodes found in a sysfs tree, and the rule
// file that grants the access; the claims other processes hold.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "hidraw_nodes.h"
#include "zelo_backend/hid_backend.h"
#include "zelo_linux/node_claims.h"
#include "zelo_linux/access_diagnosis.h"

namespace zelo::test {
namespace {

using access::AccessProbe;
using access::deniedAccessMessage;

constexpr const char *kAccessoryHidId = "0003:00003A71:00000009";

AccessProbe probe(std::vector<std::string> nodes, std::map<std::string, int> errors, bool installed = false) {
    return {[nodes] { return nodes; },
            [errors](const std::string &node) {
                const auto it = errors.find(node);
                return it == errors.end() ? 0 : it->second;
            },
            [installed] { return installed; }};
}

bool contains(const std::string &text, const std::string &part) { return text.find(part) != std::string::npos; }

TEST(AccessDiagnosis, NamesTheRefusedNodesAndHowToInstallTheRule) {
    const auto text = deniedAccessMessage(
        probe({"/dev/hidraw1", "/dev/hidraw4", "/dev/hidraw6"}, {{"/dev/hidraw1", EACCES}, {"/dev/hidraw6", EPERM}}));
    ASSERT_TRUE(text);
    EXPECT_TRUE(contains(*text, "may not open it (permission denied): /dev/hidraw1, /dev/hidraw6.")) << *text;
    EXPECT_FALSE(contains(*text, "/dev/hidraw4")) << "a node that opens is not a problem";
    // The rule's installed path, never a path in the sources.
    const std::string rule = std::string("install the udev rule ") + access::installedRulesFile() + " (the zelo package";
    EXPECT_TRUE(contains(*text, rule)) << *text;
    EXPECT_TRUE(contains(access::installedRulesFile(), "/udev/rules.d/70-zelo.rules"));
    EXPECT_FALSE(contains(*text, "packaging/")) << *text;
    EXPECT_TRUE(contains(*text, "sudo udevadm control --reload-rules\n"));
    EXPECT_TRUE(contains(*text, "sudo udevadm trigger\nthen unplug the accessory and plug it in again.\n"));

    // Installed but still refused: no logind seat; the group is the way.
    const auto installed = deniedAccessMessage(probe({"/dev/hidraw1"}, {{"/dev/hidraw1", EACCES}}, true));
    ASSERT_TRUE(installed);
    EXPECT_TRUE(contains(*installed, std::string("The udev rule ") + access::installedRulesFile() + " is installed"));
    EXPECT_TRUE(contains(*installed, "sudo usermod -aG plugdev $USER\n")) << *installed;
    EXPECT_FALSE(contains(*installed, "install the udev rule")) << *installed;
}

TEST(AccessDiagnosis, SilentWhenPermissionIsNotTheProblem) {
    EXPECT_FALSE(deniedAccessMessage(probe({}, {}))) << "no accessory plugged in";
    EXPECT_FALSE(deniedAccessMessage(probe({"/dev/hidraw0"}, {}))) << "it opens";
    EXPECT_FALSE(deniedAccessMessage(probe({"/dev/hidraw0"}, {{"/dev/hidraw0", ENOENT}}))) << "gone meanwhile";
    EXPECT_FALSE(deniedAccessMessage(probe({"/dev/hidraw0"}, {{"/dev/hidraw0", EBUSY}})));
    EXPECT_FALSE(deniedAccessMessage(AccessProbe{})) << "an incomplete probe";
    const auto eperm = deniedAccessMessage(probe({"/dev/hidraw0"}, {{"/dev/hidraw0", EPERM}}));
    ASSERT_TRUE(eperm);
    EXPECT_TRUE(contains(*eperm, "(operation not permitted)"));
}

class HidrawClassTree : public testing::Test {
protected:
    void SetUp() override {
        root_ = std::filesystem::temp_directory_path() /
                ("zelo-hidraw-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                 std::to_string(reinterpret_cast<std::uintptr_t>(this)));
        std::filesystem::create_directories(root_);
    }
    void TearDown() override { std::filesystem::remove_all(root_); }

    void entry(const std::string &name, const std::string &uevent) {
        std::filesystem::create_directories(root_ / name / "device");
        if (!uevent.empty()) std::ofstream(root_ / name / "device" / "uevent") << uevent;
    }

    std::filesystem::path root_;
};

TEST_F(HidrawClassTree, ListsTheAccessorysNodesInNumberOrder) {
    const std::string accessory = std::string("DRIVER=hid-generic\nHID_ID=") + kAccessoryHidId + "\nHID_NAME=x\n";
    entry("hidraw10", accessory);
    entry("hidraw2", accessory);
    entry("hidraw3", "HID_ID=0003:0000046D:0000C52B\n");
    entry("hidraw4", "");  // no uevent
    entry("other0", accessory);
    EXPECT_EQ((std::vector<std::string>{"/dev/hidraw2", "/dev/hidraw10"}), access::accessoryNodesIn(root_, "/dev"));
    EXPECT_TRUE(access::accessoryNodesIn(root_ / "missing", "/dev").empty());
}

TEST(UdevRule, GrantsThisAccessoryToTheSeatAndNeverToEveryone) {
    std::ifstream file(ZELO_RULES_FILE);
    ASSERT_TRUE(file) << ZELO_RULES_FILE;
    char ids[64];
    // The HID device's name, BUS:VENDOR:PRODUCT.N, in the kernel's upper-case hex.
    std::snprintf(ids, sizeof ids, "KERNELS==\"*:%04X:%04X.*\"",
                  static_cast<unsigned>(hid::kVendorId), static_cast<unsigned>(hid::kProductId));
    std::vector<std::string> active;
    std::vector<std::string> commented;
    for (std::string line; std::getline(file, line);) {
        EXPECT_FALSE(contains(line, "0666") || contains(line, "0777")) << line;
        if (contains(line, "SUBSYSTEM")) (line[0] == '#' ? commented : active).push_back(line);
    }
    ASSERT_EQ(1u, active.size());
    EXPECT_TRUE(contains(active[0], ids)) << active[0];
    EXPECT_TRUE(contains(active[0], "TAG+=\"uaccess\""));
    EXPECT_FALSE(contains(active[0], "MODE"));
    ASSERT_EQ(1u, commented.size());
    EXPECT_TRUE(contains(commented[0], ids));
    EXPECT_TRUE(contains(commented[0], "GROUP=\"plugdev\", MODE=\"0660\""));
}

}  // namespace
}  // namespace zelo::test

namespace zelo::test {
namespace {

// Claims as /proc/locks lists them: each other holder once, by its command.
TEST(NodeClaims, NameEachOtherHolderOnceAndSeeOnlyExclusiveClaims) {
    const std::filesystem::path root = std::filesystem::temp_directory_path() / ("zelo-claims-" + std::to_string(::getpid()));
    std::filesystem::create_directories(root / "4242");
    const std::filesystem::path node = root / "node";
    std::ofstream(node) << "";
    struct stat info {};
    ASSERT_EQ(::stat(node.c_str(), &info), 0);
    char key[64];
    std::snprintf(key, sizeof key, "%02x:%02x:%llu", major(info.st_dev), minor(info.st_dev),
                  static_cast<unsigned long long>(info.st_ino));
    const std::string self = std::to_string(::getpid());
    std::ofstream(root / "locks") << "1: FLOCK  ADVISORY  WRITE 4242 " << key << " 0 EOF\n"
                                  << "1: -> FLOCK  ADVISORY  WRITE 4343 " << key << " 0 EOF\n"
                                  << "2: FLOCK  ADVISORY  READ  4242 " << key << " 0 EOF\n"
                                  << "3: POSIX  ADVISORY  WRITE 4444 " << key << " 0 EOF\n"
                                  << "4: FLOCK  ADVISORY  WRITE " << self << " " << key << " 0 EOF\n"
                                  << "5: FLOCK  ADVISORY  WRITE 4545 00:01:1 0 EOF\n";
    std::ofstream(root / "4242" / "comm") << "zelo-tool\n";
    EXPECT_EQ(access::claimHolders(node.string(), root), std::vector<std::string>{"zelo-tool (process 4242)"});

    // A connection's claim is taken; a count's shared one is not.
    const int held = ::open(node.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(flock(held, LOCK_SH), 0);
    EXPECT_FALSE(access::claimTaken(node.string()));
    ASSERT_EQ(flock(held, LOCK_EX), 0);
    EXPECT_TRUE(access::claimTaken(node.string()));
    ::close(held);
    EXPECT_FALSE(access::claimTaken(node.string()));
    std::filesystem::remove_all(root);
}

}  // namespace
}  // namespace zelo::test
