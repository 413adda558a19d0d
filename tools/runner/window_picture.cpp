#include "window_picture.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

namespace zelo::runner {

namespace {

constexpr WORD kBitsPerPixel = 24;
constexpr DWORD kBytesPerPixel = kBitsPerPixel / 8;
constexpr DWORD kRowAlignment = 4;
constexpr WORD kBitmapMagic = 0x4D42;  // "BM"
constexpr DWORD kRepaintMs = 500;

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;  // bottom-up rows, each padded to 4 bytes
};

DWORD rowSize(int width) {
    return (static_cast<DWORD>(width) * kBytesPerPixel + kRowAlignment - 1) & ~(kRowAlignment - 1);
}

BITMAPINFOHEADER header(int width, int height) {
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = kBitsPerPixel;
    info.biCompression = BI_RGB;
    info.biSizeImage = rowSize(width) * static_cast<DWORD>(height);
    return info;
}

// Pixels of the window's rectangle from a device context of ours.
class Canvas {
public:
    Canvas(int width, int height)
        : screen_(GetDC(nullptr)), memory_(CreateCompatibleDC(screen_)),
          bitmap_(CreateCompatibleBitmap(screen_, width, height)), previous_(SelectObject(memory_, bitmap_)) {}
    ~Canvas() {
        SelectObject(memory_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(memory_);
        ReleaseDC(nullptr, screen_);
    }
    Canvas(const Canvas &) = delete;
    Canvas &operator=(const Canvas &) = delete;

    HDC screen() const { return screen_; }
    HDC memory() const { return memory_; }

    bool read(Picture &picture) const {
        BITMAPINFO info{};
        info.bmiHeader = header(picture.width, picture.height);
        picture.pixels.assign(info.bmiHeader.biSizeImage, 0);
        // GetDIBits wants the bitmap out of the device context.
        SelectObject(memory_, previous_);
        const int rows = GetDIBits(memory_, bitmap_, 0, static_cast<UINT>(picture.height), picture.pixels.data(),
                                   &info, DIB_RGB_COLORS);
        SelectObject(memory_, bitmap_);
        return rows == picture.height;
    }

private:
    HDC screen_;
    HDC memory_;
    HBITMAP bitmap_;
    HGDIOBJ previous_;
};

// A window has more than one colour; a picture of one colour is a drawing
// that never arrived.
bool drawn(const Picture &picture) {
    const DWORD row = rowSize(picture.width);
    const std::uint8_t *first = picture.pixels.data();
    for (int y = 0; y < picture.height; ++y) {
        const std::uint8_t *line = first + static_cast<std::size_t>(y) * row;
        for (DWORD x = 0; x < static_cast<DWORD>(picture.width) * kBytesPerPixel; ++x) {
            if (line[x] != first[x % kBytesPerPixel]) return true;
        }
    }
    return false;
}

// The window draws itself into our bitmap (WM_PRINT), whatever lies over
// it. Wine does not carry that drawing across processes; there the
// picture comes from the screen, with the window brought to the top first.
bool draw(HWND window, Picture &picture) {
    RECT area{};
    if (!GetWindowRect(window, &area)) return false;
    picture.width = area.right - area.left;
    picture.height = area.bottom - area.top;
    if (picture.width <= 0 || picture.height <= 0) return false;
    Canvas canvas(picture.width, picture.height);
    if (PrintWindow(window, canvas.memory(), 0) && canvas.read(picture) && drawn(picture)) return true;
    SetForegroundWindow(window);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
    // The program repaints on its own thread; give it and the display time.
    Sleep(kRepaintMs);
    return BitBlt(canvas.memory(), 0, 0, picture.width, picture.height, canvas.screen(), area.left, area.top,
                  SRCCOPY) &&
           canvas.read(picture);
}

bool write(const Picture &picture, const std::wstring &path) {
    const BITMAPINFOHEADER info = header(picture.width, picture.height);
    BITMAPFILEHEADER file{};
    file.bfType = kBitmapMagic;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + info.biSizeImage;
    std::ofstream out(std::filesystem::path(path), std::ios::binary);
    out.write(reinterpret_cast<const char *>(&file), sizeof file);
    out.write(reinterpret_cast<const char *>(&info), sizeof info);
    out.write(reinterpret_cast<const char *>(picture.pixels.data()), static_cast<std::streamsize>(picture.pixels.size()));
    return static_cast<bool>(out);
}

}  // namespace

bool saveWindowPicture(HWND window, const std::wstring &path) {
    Picture picture;
    return draw(window, picture) && write(picture, path);
}

}  // namespace zelo::runner
