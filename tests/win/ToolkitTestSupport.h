#pragma once
// Helpers for the window toolkit's tests: pictures made on the spot (JPEG through libjpeg's
// own compressor, icon files byte by byte), a canvas that a control draws itself into, and
// an event sink that records what reaches it.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "platform/WindowDescription.h"
#include "platform/win32/GdiScopes.h"
#include "platform/win32/Handles.h"

namespace toolkit_test {

using Rgb = uint32_t;  // 0xRRGGBB

inline int red(Rgb c) { return (c >> 16) & 0xFF; }
inline int green(Rgb c) { return (c >> 8) & 0xFF; }
inline int blue(Rgb c) { return c & 0xFF; }

// Within `tolerance` on every channel (JPEG is lossy).
inline bool similar(Rgb a, Rgb b, int tolerance = 12) {
    return std::abs(red(a) - red(b)) <= tolerance && std::abs(green(a) - green(b)) <= tolerance &&
           std::abs(blue(a) - blue(b)) <= tolerance;
}

inline std::string hex(Rgb c) {
    char text[8];
    std::snprintf(text, sizeof text, "#%06X", static_cast<unsigned>(c & 0xFFFFFF));
    return text;
}

// A baseline JPEG of the given size whose pixel (x, y) has colour(x, y).
inline std::vector<uint8_t> makeJpeg(int width, int height, const std::function<Rgb(int, int)>& colour,
                                     bool grey = false) {
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &out, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = grey ? 1 : 3;
    info.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<unsigned char> row(static_cast<size_t>(width) * 3);
    while (info.next_scanline < info.image_height) {
        const int y = static_cast<int>(info.next_scanline);
        for (int x = 0; x < width; ++x) {
            Rgb c = colour(x, y);
            if (grey) {
                row[x] = static_cast<unsigned char>(green(c));
            } else {
                row[3 * x] = static_cast<unsigned char>(red(c));
                row[3 * x + 1] = static_cast<unsigned char>(green(c));
                row[3 * x + 2] = static_cast<unsigned char>(blue(c));
            }
        }
        JSAMPROW p = row.data();
        jpeg_write_scanlines(&info, &p, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<uint8_t> file(out, out + size);
    jpeg_destroy_compress(&info);
    std::free(out);
    return file;
}

inline std::vector<uint8_t> solidJpeg(int width, int height, Rgb colour) {
    return makeJpeg(width, height, [colour](int, int) { return colour; });
}

// One image of an icon file: 32-bit BGRA, plus the AND mask that alpha makes unused. The left
// half has `leftAlpha`, the right half is opaque (all-zero alpha would mean no alpha at all).
struct IconImage {
    int size = 16;
    Rgb colour = 0;
    uint8_t leftAlpha = 255;
};

inline void put16(std::vector<uint8_t>& v, unsigned x) {
    v.push_back(static_cast<uint8_t>(x));
    v.push_back(static_cast<uint8_t>(x >> 8));
}
inline void put32(std::vector<uint8_t>& v, uint32_t x) {
    put16(v, x & 0xFFFF);
    put16(v, x >> 16);
}

inline std::vector<uint8_t> iconDib(const IconImage& image) {
    std::vector<uint8_t> dib;
    put32(dib, 40);
    put32(dib, static_cast<uint32_t>(image.size));
    put32(dib, static_cast<uint32_t>(image.size * 2));
    put16(dib, 1);
    put16(dib, 32);
    for (int i = 0; i < 6; ++i) put32(dib, 0);
    for (int i = 0; i < image.size * image.size; ++i) {
        const bool left = i % image.size < image.size / 2;
        const uint8_t alpha = left ? image.leftAlpha : 255;
        // Colours premultiplied by alpha, as icon images store them.
        dib.push_back(static_cast<uint8_t>(blue(image.colour) * alpha / 255));
        dib.push_back(static_cast<uint8_t>(green(image.colour) * alpha / 255));
        dib.push_back(static_cast<uint8_t>(red(image.colour) * alpha / 255));
        dib.push_back(alpha);
    }
    const int maskStride = (image.size + 31) / 32 * 4;
    dib.insert(dib.end(), static_cast<size_t>(maskStride * image.size), 0);
    return dib;
}

inline std::vector<uint8_t> makeIconFile(const std::vector<IconImage>& images) {
    std::vector<uint8_t> file;
    put16(file, 0);
    put16(file, 1);
    put16(file, static_cast<unsigned>(images.size()));
    uint32_t offset = static_cast<uint32_t>(6 + 16 * images.size());
    std::vector<std::vector<uint8_t>> dibs;
    for (const auto& image : images) dibs.push_back(iconDib(image));
    for (size_t i = 0; i < images.size(); ++i) {
        file.push_back(static_cast<uint8_t>(images[i].size >= 256 ? 0 : images[i].size));
        file.push_back(static_cast<uint8_t>(images[i].size >= 256 ? 0 : images[i].size));
        file.push_back(0);
        file.push_back(0);
        put16(file, 1);
        put16(file, 32);
        put32(file, static_cast<uint32_t>(dibs[i].size()));
        put32(file, offset);
        offset += static_cast<uint32_t>(dibs[i].size());
    }
    for (const auto& dib : dibs) file.insert(file.end(), dib.begin(), dib.end());
    return file;
}

// A 32-bit top-down DIB with a DC, filled with `background` at the start.
class Canvas {
public:
    Canvas(int width, int height, Rgb background = 0x000000) : width_(width), height_(height) {
        BITMAPINFO header{};
        header.bmiHeader.biSize = sizeof header.bmiHeader;
        header.bmiHeader.biWidth = width;
        header.bmiHeader.biHeight = -height;
        header.bmiHeader.biPlanes = 1;
        header.bmiHeader.biBitCount = 32;
        header.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_.reset(CreateDIBSection(nullptr, &header, DIB_RGB_COLORS, &bits, nullptr, 0));
        bits_ = static_cast<uint32_t*>(bits);
        dc_.reset(CreateCompatibleDC(nullptr));
        previous_ = SelectObject(dc_.get(), bitmap_.get());
        for (int i = 0; i < width * height; ++i) bits_[i] = background;
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    ~Canvas() { SelectObject(dc_.get(), previous_); }

    HDC dc() const { return dc_.get(); }
    int width() const { return width_; }
    int height() const { return height_; }
    Rgb pixel(int x, int y) const {
        GdiFlush();
        return bits_[y * width_ + x] & 0xFFFFFF;
    }
    // Columns and rows that hold `colour` (within tolerance) somewhere.
    bool any(int left, int top, int right, int bottom, const std::function<bool(Rgb)>& test) const {
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                if (test(pixel(x, y))) return true;
        return false;
    }

private:
    int width_, height_;
    platform::win32::UniqueBitmap bitmap_;
    platform::win32::UniqueMemoryDc dc_;
    HGDIOBJ previous_ = nullptr;
    uint32_t* bits_ = nullptr;
};

// The control draws its client area into the canvas, as it does on the screen.
inline void render(HWND control, Canvas& canvas) {
    SendMessageA(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
}

struct Call {
    platform::Handler handler;
    platform::EventArgs args;
};

class RecordingSink : public platform::EventSink {
public:
    std::optional<bool> handle(platform::Handler handler, const platform::EventArgs& args) override {
        calls.push_back({handler, args});
        return onEvent ? onEvent(handler, args) : std::nullopt;
    }
    int count(platform::Handler handler) const {
        int n = 0;
        for (const auto& c : calls) n += c.handler == handler;
        return n;
    }
    std::vector<Call> calls;
    std::function<std::optional<bool>(platform::Handler, const platform::EventArgs&)> onEvent;
};

// Windows cannot be created without a display (wine's X11 driver needs one).
inline bool canCreateWindows() {
    HWND probe = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    if (!probe) return false;
    DestroyWindow(probe);
    return true;
}

}  // namespace toolkit_test
