// The module page's window-free logic: the shown path, the chosen file's
// bytes, the progress and outcome texts, one operation at a time.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "language.h"
#include "module_path.h"
#include "module_program.h"
#include "module_session.h"

namespace zelo::maintenance {
namespace {

constexpr std::uint8_t kBlank = 0xFF;

TEST(ModulePath, ShortensFromThirtyCharacters) {
    const std::wstring whole = L"C:\\modules\\abcdefgh\\mod01.bin";  // 29
    ASSERT_EQ(29u, whole.size());
    EXPECT_EQ(whole, shortenedModulePath(whole));
    const std::wstring longer = L"C:\\modules\\abcdefghi\\mod01.bin";  // 30
    ASSERT_EQ(30u, longer.size());
    EXPECT_EQ(L"C:\\...\\mod01.bin", shortenedModulePath(longer));
    EXPECT_EQ(L"mod01.bin", fileNameOf(longer));
    EXPECT_EQ(L"plain.bin", fileNameOf(L"plain.bin"));
}

TEST(ModulePath, ModulesFolderSitsBesideTheProgram) {
    EXPECT_EQ(L"C:\\Program Files\\ZE\\modules", modulesFolderBeside(L"C:\\Program Files\\ZE\\zelo-tool.exe"));
    EXPECT_EQ(L"modules", modulesFolderBeside(L"zelo-tool.exe"));
}

TEST(ModuleTexts, PercentIsClampedAndOutcomesFollowTheOperation) {
    EXPECT_EQ(L"0 %", percentText(0));
    EXPECT_EQ(L"100 %", percentText(250));
    EXPECT_EQ(L"0 %", percentText(-4));
    EXPECT_EQ(L"57 %", percentText(57));
    i18n::setLanguage(i18n::kEnglishKey);
    EXPECT_EQ(L"erasing module...", runningText(ModuleOperationKind::Erase));
    EXPECT_EQ(L"installing module...", runningText(ModuleOperationKind::InstallFile));
    EXPECT_EQ(L"Module successfully erased!", outcomeText(ModuleOperationKind::Erase, device::ModuleProgramOk));
    EXPECT_EQ(L"Module successfully installed!", outcomeText(ModuleOperationKind::RestoreBuiltIn, 0));
    EXPECT_EQ(L"Error installing module!", outcomeText(ModuleOperationKind::Erase, device::ModuleSyncFailed));
    EXPECT_EQ(L"Error installing module!", outcomeText(ModuleOperationKind::InstallFile, device::ModuleWriteFailed));
}

class ModuleSessionTest : public testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() / "zelo-maintenance-logic";
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    std::filesystem::path write(const std::string &name, const std::vector<std::uint8_t> &bytes) {
        const auto path = folder_ / name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path;
    }
    std::filesystem::path folder_;
    ModuleSession session_;
};

TEST_F(ModuleSessionTest, AShorterFileKeepsNothingOfALongerOne) {
    EXPECT_EQ(device::ModuleFileRaw, session_.chooseFile(write("long.bin", std::vector<std::uint8_t>(1000, 0x02))));
    EXPECT_EQ(device::ModuleFileRaw, session_.chooseFile(write("short.bin", std::vector<std::uint8_t>(10, 0x03))));
    EXPECT_TRUE(session_.fileChosen());
    EXPECT_EQ(0x03, session_.image()[9]);
    EXPECT_EQ(kBlank, session_.image()[10]);
    EXPECT_EQ(kBlank, session_.image()[999]);
}

TEST_F(ModuleSessionTest, RefusedFilesLeaveTheChoiceAsItWas) {
    EXPECT_FALSE(device::moduleFileInstallable(session_.chooseFile(folder_ / "missing.bin")));
    EXPECT_FALSE(session_.fileChosen());
    session_.chooseFile(write("good.bin", std::vector<std::uint8_t>(20, 0x04)));
    const std::string badHex = ":10000000ZZ\n";
    EXPECT_EQ(device::ModuleFileBadHex,
              session_.chooseFile(write("bad.hex", std::vector<std::uint8_t>(badHex.begin(), badHex.end()))));
    EXPECT_TRUE(session_.fileChosen());
    EXPECT_EQ(0x04, session_.image()[19]);
}

TEST_F(ModuleSessionTest, OneOperationAtATime) {
    ASSERT_TRUE(session_.begin(ModuleOperationKind::Erase));
    EXPECT_TRUE(session_.busy());
    EXPECT_FALSE(session_.done());
    EXPECT_FALSE(session_.begin(ModuleOperationKind::InstallFile));
    EXPECT_EQ(ModuleOperationKind::Erase, session_.kind());
    // The running operation reads the image: no new file meanwhile.
    EXPECT_EQ(kChoiceWhileBusy, session_.chooseFile(write("late.bin", std::vector<std::uint8_t>(5, 1))));
    EXPECT_NE(device::ModuleProgramOk, session_.run(nullptr));  // no device link
    EXPECT_TRUE(session_.done());
    EXPECT_FALSE(session_.busy());
    EXPECT_TRUE(session_.begin(ModuleOperationKind::InstallFile));
}

}  // namespace
}  // namespace zelo::maintenance
