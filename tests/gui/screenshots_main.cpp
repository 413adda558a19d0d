// zelo-screenshots: runs the program in-process against the simulator's
// accessory, shows every tab and the open File menu in each language asked
// for (all seven unless told), and saves each view of the main window as a
// BMP file named by view and language code. `make screenshots` runs it under
// a virtual X display and turns the pictures into PNG files.
#include <windows.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "app_state.h"
#include "gui_harness.h"
#include "protocol.h"
#include "resource.h"
#include "texts.h"
#include "worker_tasks.h"

namespace {

using namespace zelo;
using gui_test::ProgramRun;
using gui_test::waitFor;

constexpr std::array<const char *, 6> kTabNames{"main", "macros", "devicecode", "buttons", "ir", "module"};

// The code in a picture's file name, by catalogue column.
struct LanguageCode {
    std::string_view code;
    i18n::Column column;
};
using i18n::Column;
constexpr std::array<LanguageCode, i18n::kColumnCount> kLanguageCodes{{{"en", Column::English},
                                                                      {"da", Column::Danish},
                                                                      {"de", Column::German},
                                                                      {"fr", Column::French},
                                                                      {"is", Column::Icelandic},
                                                                      {"es", Column::Spanish},
                                                                      {"it", Column::Italian}}};
constexpr std::chrono::seconds kConnectWait{20};
// Lets the X server catch up with what was drawn before the capture.
constexpr std::chrono::milliseconds kSettle{400};
constexpr WORD kBitsPerPixel = 24;
constexpr DWORD kRowAlignment = 4;
constexpr WORD kBitmapMagic = 0x4D42;  // "BM"

// The program connects by itself at start-up; the pictures wait for it.
bool waitUntilConnected(const ProgramRun &program) {
    return waitFor([&] {
        return app::deviceConnected() && IsWindowEnabled(GetDlgItem(program.mainWindow(), IDC_MAIN_SAVE));
    }, kConnectWait);
}

const LanguageCode *findCode(std::string_view code) {
    for (const LanguageCode &language : kLanguageCodes) {
        if (language.code == code) return &language;
    }
    return nullptr;
}

// Through the language dialog, as the user does.
bool switchTo(const ProgramRun &program, Column column) {
    const i18n::Language *language = nullptr;
    for (const i18n::Language &candidate : i18n::languages()) {
        if (candidate.column == column) language = &candidate;
    }
    if (language == nullptr) return false;
    const std::wstring title = i18n::text(i18n::Msg::Language);
    program.command(IDM_OPTIONS_LANGUAGE);
    HWND dialog = program.waitForOwnedWindow(title);
    if (dialog == nullptr) return false;
    for (const i18n::Language &other : i18n::languages()) CheckDlgButton(dialog, other.radioId, BST_UNCHECKED);
    CheckDlgButton(dialog, language->radioId, BST_CHECKED);
    gui_test::clickButton(dialog, IDOK);
    return waitFor([&] { return !program.ownedWindowOpen(title) && i18n::textColumn() == column; });
}

bool writeBitmap(const std::string &path, int width, int height, const std::vector<std::uint8_t> &pixels) {
    const DWORD rowSize = (static_cast<DWORD>(width) * (kBitsPerPixel / 8) + kRowAlignment - 1) & ~(kRowAlignment - 1);
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = kBitsPerPixel;
    info.biCompression = BI_RGB;
    info.biSizeImage = rowSize * static_cast<DWORD>(height);
    file.bfType = kBitmapMagic;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + info.biSizeImage;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char *>(&file), sizeof file);
    out.write(reinterpret_cast<const char *>(&info), sizeof info);
    out.write(reinterpret_cast<const char *>(pixels.data()), static_cast<std::streamsize>(info.biSizeImage));
    return static_cast<bool>(out);
}

// The window as it is on the screen, frame included.
bool capture(HWND window, const std::string &path) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME | RDW_UPDATENOW);
    std::this_thread::sleep_for(kSettle);
    RECT area{};
    GetWindowRect(window, &area);
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    SelectObject(memory, previous);

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = kBitsPerPixel;
    info.bmiHeader.biCompression = BI_RGB;
    const DWORD rowSize = (static_cast<DWORD>(width) * (kBitsPerPixel / 8) + kRowAlignment - 1) & ~(kRowAlignment - 1);
    std::vector<std::uint8_t> pixels(rowSize * static_cast<DWORD>(height));
    const int rows = GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return rows == height && writeBitmap(path, width, height, pixels);
}

bool captureTabs(const ProgramRun &program, const std::string &directory, const char *language) {
    for (std::size_t tab = 0; tab < kTabNames.size(); ++tab) {
        program.selectTab(static_cast<int>(tab));
        const std::string path = directory + "\\" + kTabNames[tab] + "-" + language + ".bmp";
        if (!capture(program.mainWindow(), path)) {
            std::fprintf(stderr, "zelo-screenshots: could not capture %s\n", path.c_str());
            return false;
        }
        std::printf("%s\n", path.c_str());
    }
    return true;
}

bool inMenuMode(const ProgramRun &program, DWORD mode) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    const DWORD thread = GetWindowThreadProcessId(program.mainWindow(), nullptr);
    return GetGUIThreadInfo(thread, &info) && (info.flags & mode) != 0;
}

// The File menu pulled down as with Alt, Down; closed again afterwards.
bool captureFileMenu(const ProgramRun &program, const std::string &directory, const char *language) {
    program.selectTab(0);
    PostMessageW(program.mainWindow(), WM_SYSCOMMAND, SC_KEYMENU, 0);
    bool ok = waitFor([&] { return inMenuMode(program, GUI_INMENUMODE); });
    PostMessageW(program.mainWindow(), WM_KEYDOWN, VK_DOWN, 0);
    ok = ok && waitFor([&] { return FindWindowW(L"#32768", nullptr) != nullptr; });
    const std::string path = directory + "\\file-menu-" + language + ".bmp";
    ok = ok && capture(program.mainWindow(), path);
    for (int i = 0; i < 2; ++i) PostMessageW(program.mainWindow(), WM_KEYDOWN, VK_ESCAPE, 0);
    waitFor([&] { return !inMenuMode(program, GUI_INMENUMODE); });
    if (!ok) std::fprintf(stderr, "zelo-screenshots: could not capture %s\n", path.c_str());
    else std::printf("%s\n", path.c_str());
    return ok;
}

}  // namespace

int main(int argc, char **argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: zelo-screenshots <output directory> [language code...]\n");
        return 2;
    }
    const std::string directory = argv[1];
    std::vector<const LanguageCode *> wanted;
    for (int i = 2; i < argc; ++i) {
        const LanguageCode *language = findCode(argv[i]);
        if (language == nullptr) {
            std::fprintf(stderr, "zelo-screenshots: no language \"%s\" (en da de fr is es it)\n", argv[i]);
            return 2;
        }
        wanted.push_back(language);
    }
    if (wanted.empty()) {
        for (const LanguageCode &language : kLanguageCodes) wanted.push_back(&language);
    }
    ProgramRun program;
    if (!program.ready()) {
        std::fprintf(stderr, "zelo-screenshots: the main window did not appear\n");
        return 1;
    }
    if (!waitUntilConnected(program)) std::fprintf(stderr, "zelo-screenshots: no accessory; showing it disconnected\n");
    SetForegroundWindow(program.mainWindow());
    bool ok = true;
    for (const LanguageCode *language : wanted) {
        const std::string code(language->code);
        if (!switchTo(program, language->column)) {
            std::fprintf(stderr, "zelo-screenshots: could not switch to %s\n", code.c_str());
            ok = false;
            break;
        }
        ok = captureTabs(program, directory, code.c_str()) && captureFileMenu(program, directory, code.c_str());
        if (!ok) break;
    }
    program.command(IDM_FILE_EXIT);
    program.waitForEnd();
    return ok ? 0 : 1;
}
