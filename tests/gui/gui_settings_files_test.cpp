// File > Export settings and Import settings through the real main window
// with simulated accessories: a file exported from one accessory, imported
// into a second and saved ends up in the second one's flash; a damaged file
// changes nothing and names its fault; the backup before a firmware update.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app_state.h"
#include "catalogue.h"
#include "connection_helpers.h"
#include "gui_harness.h"
#include "resource.h"
#include "settings_file.h"
#include "settings_files_win.h"

namespace zelo::gui_test {
namespace {

using device::DeviceVariant;
using Block = std::array<std::uint8_t, device::kBlockSize>;

constexpr int kDeviceCodeTab = 2;
constexpr wchar_t kEditedCode[] = L"26.218";
constexpr device::DeviceCode kEditedDeviceCode{26, 218};
constexpr std::size_t kCustomMacro = 4;
constexpr std::uint16_t kStepHoldMs = 1234;
constexpr std::uint16_t kStepPauseMs = 4321;
constexpr std::uint8_t kReceiverRepeater = 3;  // X model only

DeviceVariant variantOf(const std::string &model) { return model == "x" ? DeviceVariant::X : DeviceVariant::Standard; }

std::size_t pagesOf(DeviceVariant variant) { return device::blockLength(variant) / device::kPageSize; }

Block flashBlock(const sim::Accessory &accessory, DeviceVariant variant) {
    Block block{};
    for (std::size_t i = 0; i < pagesOf(variant); ++i) {
        const auto page = accessory.page(device::kConfigurationPages[i]);
        std::copy(page.begin(), page.end(), block.begin() + static_cast<std::ptrdiff_t>(i * device::kPageSize));
    }
    return block;
}

void storeFlashBlock(sim::Accessory &accessory, DeviceVariant variant, const Block &block) {
    for (std::size_t i = 0; i < pagesOf(variant); ++i) {
        std::array<std::uint8_t, sim::kPageSize> page{};
        std::copy_n(block.begin() + static_cast<std::ptrdiff_t>(i * device::kPageSize), page.size(), page.begin());
        accessory.setPage(device::kConfigurationPages[i], page);
    }
}

// A macro, a key mapping and (on the X) a receiver mode of the user's own.
settings::SettingsDocument ownSettings() {
    settings::SettingsDocument document;
    settings::MacroSet macros;
    macros[kCustomMacro] = {{pages::kCommandPs, kStepHoldMs, kStepPauseMs}, {pages::kCommandUp, 0, 0}};
    document.macros = macros;
    document.keyMap = {{pages::kCommandUp, pages::kCommandDown}};
    return document;
}

std::string fileText(const std::filesystem::path &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class SettingsFiles : public testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("zelo-settings-" + std::to_string(GetCurrentProcessId()) + "-" +
                   testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        file_ = folder_ / "settings.zelo";
        app::setSettingsFileChooser([this](HWND, app::SettingsDialog) { return std::optional<std::wstring>(file_.wstring()); });
    }
    void TearDown() override {
        app::setSettingsFileChooser({});
        std::filesystem::remove_all(folder_);
    }

    static std::shared_ptr<sim::Accessory> plugOwn(const std::string &model) {
        auto accessory = SimulatedWorld::world().plug(accessoryConfig(model));
        const DeviceVariant variant = variantOf(model);
        Block block = flashBlock(*accessory, variant);
        settings::applyDocument(ownSettings(), variant, block);
        if (variant == DeviceVariant::X) block[device::kIrReceiverModeOffset] = kReceiverRepeater;
        storeFlashBlock(*accessory, variant, block);
        return accessory;
    }

    static void connect(ProgramRun &program) {
        ASSERT_TRUE(program.ready());
        ASSERT_TRUE(waitFor([&] { return connectedAndLoaded(program); }));
    }

    static device::ConfigRecord &record() { return app::deviceLink()->record; }

    static void setDeviceCodeText(const ProgramRun &program, const wchar_t *text) {
        SendMessageW(GetDlgItem(program.page(kDeviceCodeTab), IDC_DEVCODE_EDIT), WM_SETTEXT, 0,
                     reinterpret_cast<LPARAM>(text));
    }

    // Exports what the pages of a model's accessory show, with the device
    // code edited on its page, and ends the run.
    void exportFrom(const std::string &model) {
        auto accessory = plugOwn(model);
        ProgramRun program;
        connect(program);
        setDeviceCodeText(program, kEditedCode);
        program.command(IDM_FILE_EXPORT_SETTINGS);
        ASSERT_TRUE(waitFor([&] { return std::filesystem::exists(file_) && std::filesystem::file_size(file_) > 0; }));
        ASSERT_TRUE(waitFor([&] { return !fileText(file_).empty() && fileText(file_).back() == '\n'; }));
        // The edit counts as unsaved; the question is answered No.
        program.command(IDC_MAIN_EXIT);
        HWND question = program.waitForOwnedWindow(L"Save changes before exit?");
        ASSERT_NE(nullptr, question);
        clickButton(question, IDNO);
        ASSERT_TRUE(program.waitForEnd());
        SimulatedWorld::world().unplug(accessory);
    }

    // Imports the file into a fresh accessory of model, answers the message
    // and saves; answers the message's text.
    std::wstring importAndSave(const std::string &model, std::shared_ptr<sim::Accessory> &accessory) {
        accessory = SimulatedWorld::world().plug(accessoryConfig(model));
        ProgramRun program;
        connect(program);
        if (testing::Test::HasFatalFailure()) return {};
        program.command(IDM_FILE_IMPORT_SETTINGS);
        HWND box = waitForMessageBox(program.mainWindow(), kInformationCaption);
        EXPECT_NE(nullptr, box);
        if (box == nullptr) return {};
        const std::wstring text = messageBoxText(box);
        EXPECT_TRUE(answerMessageBox(box, IDOK));
        EXPECT_EQ(kEditedCode, windowText(GetDlgItem(program.page(kDeviceCodeTab), IDC_DEVCODE_EDIT)));
        EXPECT_TRUE(record().hasUnsavedChanges());
        program.command(IDC_MAIN_SAVE);
        EXPECT_TRUE(waitFor([&] { return !app::processState().saveRunning && !record().hasUnsavedChanges(); }));
        program.command(IDC_MAIN_EXIT);
        EXPECT_TRUE(program.waitForEnd());
        return text;
    }

    static void expectOwnSettingsIn(const sim::Accessory &accessory, DeviceVariant variant) {
        const Block flash = flashBlock(accessory, variant);
        const settings::SettingsDocument found = settings::documentOf(flash, variant, "", "");
        EXPECT_EQ(kEditedDeviceCode, found.deviceCode);
        ASSERT_TRUE(found.macros.has_value());
        EXPECT_EQ((*ownSettings().macros)[kCustomMacro], (*found.macros)[kCustomMacro]);
        const auto up = std::find_if(found.keyMap.begin(), found.keyMap.end(),
                                     [](const settings::KeyMapValue &v) { return v.irKey == pages::kCommandUp; });
        ASSERT_NE(found.keyMap.end(), up);
        EXPECT_EQ(pages::kCommandDown, up->command);
    }

    SimulatedWorld world_;
    std::filesystem::path folder_;
    std::filesystem::path file_;
};

TEST_F(SettingsFiles, StandardToStandard) {
    exportFrom("standard");
    const std::string text = fileText(file_);
    EXPECT_EQ(0u, text.find("{\n  \"format\": \"ZE-LO settings\",\n  \"version\": 1,\n  \"model\": \"standard\",\n"));
    EXPECT_NE(std::string::npos, text.find("\"deviceCode\": \"26.218\""));

    std::shared_ptr<sim::Accessory> second;
    EXPECT_EQ(i18n::text(i18n::Msg::SettingsImported), importAndSave("standard", second));
    ASSERT_NE(nullptr, second);
    expectOwnSettingsIn(*second, DeviceVariant::Standard);
}

TEST_F(SettingsFiles, StandardToX) {
    exportFrom("standard");
    std::shared_ptr<sim::Accessory> second;
    const std::wstring message = importAndSave("x", second);
    ASSERT_NE(nullptr, second);
    expectOwnSettingsIn(*second, DeviceVariant::X);
    // Whatever the standard file's receiver mode, nothing else is missing.
    EXPECT_EQ(std::wstring::npos, message.find(L"no such setting")) << message;
}

TEST_F(SettingsFiles, XToStandardWarnsAboutWhatTheStandardModelLacks) {
    exportFrom("x");
    std::shared_ptr<sim::Accessory> second;
    const std::wstring message = importAndSave("standard", second);
    ASSERT_NE(nullptr, second);
    expectOwnSettingsIn(*second, DeviceVariant::Standard);
    for (const wchar_t *line : {L"settings.receiverMode: the standard model has no entry \"Repeatermode\"",
                                L"settings.pairingMode: the standard model has no such setting",
                                L"settings.discretePowerOn: the standard model has no such setting"})
        EXPECT_NE(std::wstring::npos, message.find(line)) << message;
}

TEST_F(SettingsFiles, DamagedFilesChangeNothingAndNameTheirFault) {
    auto accessory = SimulatedWorld::world().plug(accessoryConfig("standard"));
    ProgramRun program;
    EXPECT_TRUE(program.menuState(IDM_FILE_IMPORT_SETTINGS) & MF_GRAYED);
    connect(program);
    EXPECT_FALSE(program.menuState(IDM_FILE_IMPORT_SETTINGS) & MF_GRAYED);
    EXPECT_FALSE(program.menuState(IDM_FILE_EXPORT_SETTINGS) & MF_GRAYED);
    const std::wstring codeShown = windowText(GetDlgItem(program.page(kDeviceCodeTab), IDC_DEVCODE_EDIT));
    accessory->clearLog();

    const std::string head = R"({"format": "ZE-LO settings", "version": 1, "model": "standard", )";
    const std::pair<std::string, std::wstring> files[] = {
        {"not json", L"file: not valid JSON"},
        {head + R"("deviceCode": "1.2", "macros": [{"steps": [{"command": "JUMP", "holdMs": 1, "pauseMs": 1}]}]})",
         L"macros: 1 macros, expected 10"},
        {head + R"("deviceCode": "40.1"})", L"deviceCode: \"40.1\" is outside D 0-31, E 0-255"},
        {head + R"("keyMap": {"UP": "JUMP"}})", L"keyMap[\"UP\"]: unknown command \"JUMP\""},
        {R"({"format": "ZE-LO settings", "version": 7, "model": "standard"})",
         L"version: version 7 is newer than this program reads (1)"},
        {std::string(settings::kMaxFileSize + 1, ' '), L"file: larger than 1 MiB"},
    };
    for (const auto &[content, reason] : files) {
        SCOPED_TRACE(reason);
        std::ofstream(file_, std::ios::binary | std::ios::trunc) << content;
        const Block workingBefore = record().workingCopy();
        program.command(IDM_FILE_IMPORT_SETTINGS);
        HWND box = waitForMessageBox(program.mainWindow(), kErrorCaption);
        ASSERT_NE(nullptr, box);
        const std::wstring text = messageBoxText(box);
        EXPECT_NE(std::wstring::npos, text.find(reason)) << text;
        EXPECT_NE(std::wstring::npos, text.find(L"Nothing was changed")) << text;
        ASSERT_TRUE(answerMessageBox(box, IDOK));
        EXPECT_EQ(workingBefore, record().workingCopy());
        EXPECT_FALSE(record().hasUnsavedChanges());
        EXPECT_EQ(codeShown, windowText(GetDlgItem(program.page(kDeviceCodeTab), IDC_DEVCODE_EDIT)));
    }
    EXPECT_TRUE(pagesWritten(*accessory).empty());
    program.command(IDC_MAIN_EXIT);
    EXPECT_TRUE(program.waitForEnd()) << "nothing changed: no question";
}

TEST_F(SettingsFiles, FirmwareUpdateLeavesABackupOfTheConfigurationItRead) {
    const std::filesystem::path appData = folder_ / "appdata";
    std::filesystem::create_directories(appData);
    ASSERT_TRUE(SetEnvironmentVariableW(L"APPDATA", appData.wstring().c_str()));
    auto accessory = SimulatedWorld::world().plug(accessoryConfig("standard", "1.18"));
    Block own = flashBlock(*accessory, DeviceVariant::Standard);
    pages::storeDeviceCode(*device::encodeDeviceCode(kEditedDeviceCode.device, kEditedDeviceCode.extension), own);
    storeFlashBlock(*accessory, DeviceVariant::Standard, own);

    ProgramRun program;
    ASSERT_TRUE(program.ready());
    HWND prompt = waitForMessageBox(program.mainWindow(), kInformationCaption);
    ASSERT_NE(nullptr, prompt);
    ASSERT_TRUE(answerMessageBox(prompt, IDYES));
    HWND done = waitForMessageBox(program.mainWindow(), kInformationCaption);
    ASSERT_NE(nullptr, done);
    ASSERT_TRUE(answerMessageBox(done, IDOK));
    ASSERT_TRUE(waitFor([&] { return connectedAndLoaded(program); }));

    const std::filesystem::path backups = appData / "ZE-LO" / "backups";
    ASSERT_TRUE(std::filesystem::is_directory(backups));
    std::vector<std::filesystem::path> found(std::filesystem::directory_iterator(backups), {});
    ASSERT_EQ(1u, found.size());
    const std::string address = record().updateCheckData("", "").address;
    EXPECT_EQ(0u, found[0].filename().string().rfind(address + "-", 0)) << found[0];
    EXPECT_EQ(".zelo", found[0].extension().string());
    const settings::ReadResult backup = settings::readSettingsFile(fileText(found[0]));
    ASSERT_TRUE(backup.document.has_value()) << backup.refusal;
    EXPECT_EQ(kEditedDeviceCode, backup.document->deviceCode);
    EXPECT_EQ("1.18", backup.document->firmwareVersion);

    program.command(IDC_MAIN_EXIT);
    EXPECT_TRUE(program.waitForEnd());
}

}  // namespace
}  // namespace zelo::gui_test
