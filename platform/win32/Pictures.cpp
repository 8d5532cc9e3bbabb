#include "platform/win32/Pictures.h"

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/win32/GdiScopes.h"

// jpeglib.h needs FILE and, on Windows, its own `boolean` agrees with the one of rpcndr.h.
#include <jpeglib.h>

namespace platform::win32 {

namespace {

// The largest picture accepted, in bytes of pixel data: far above anything the window uses,
// and small enough that a damaged header cannot ask for gigabytes.
constexpr uint64_t MaxPixelBytes = 64u << 20;

// libjpeg reports fatal errors through error_exit, which by default ends the process. Here it
// jumps back into decodeJpegBits instead; that frame holds nothing that needs destroying.
struct JpegErrorJump {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void jpegErrorExit(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegErrorJump*>(info->err)->jump, 1);
}

void jpegQuietMessage(j_common_ptr) {}

// Decodes into a new top-down 24-bit DIB section; nullptr on any error. Plain C style on
// purpose: longjmp may leave this frame at any libjpeg call.
HBITMAP decodeJpegBits(const uint8_t* data, size_t size, int* width, int* height) {
    if (size == 0 || size > 0xFFFFFFFFu) return nullptr;
    jpeg_decompress_struct info;
    JpegErrorJump error;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = jpegErrorExit;
    error.manager.output_message = jpegQuietMessage;
    HBITMAP volatile bitmap = nullptr;
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&info);
        if (bitmap) DeleteObject(bitmap);
        return nullptr;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_EXT_BGR;  // the byte order of a 24-bit DIB
    jpeg_calc_output_dimensions(&info);
    const uint64_t stride = (uint64_t{info.output_width} * 3 + 3) & ~uint64_t{3};
    if (info.output_width == 0 || info.output_height == 0 || stride * info.output_height > MaxPixelBytes) {
        jpeg_destroy_decompress(&info);
        return nullptr;
    }
    BITMAPINFO header{};
    header.bmiHeader.biSize = sizeof header.bmiHeader;
    header.bmiHeader.biWidth = static_cast<LONG>(info.output_width);
    header.bmiHeader.biHeight = -static_cast<LONG>(info.output_height);  // top-down rows
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 24;
    header.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap = CreateDIBSection(nullptr, &header, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) {
        jpeg_destroy_decompress(&info);
        if (bitmap) DeleteObject(bitmap);
        return nullptr;
    }
    jpeg_start_decompress(&info);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = static_cast<JSAMPROW>(bits) + stride * info.output_scanline;
        if (jpeg_read_scanlines(&info, &row, 1) != 1) break;
    }
    // Damaged scan data is reported as warnings and decoded as far as it goes; only a
    // fatal error (handled above) makes the picture unusable.
    jpeg_abort_decompress(&info);
    jpeg_destroy_decompress(&info);
    *width = static_cast<int>(header.bmiHeader.biWidth);
    *height = static_cast<int>(-header.bmiHeader.biHeight);
    GdiFlush();
    return bitmap;
}

uint16_t read16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t read32(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

bool isPng(const uint8_t* p, size_t size) {
    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    return size >= sizeof signature && std::memcmp(p, signature, sizeof signature) == 0;
}

// An icon image is a PNG file or a DIB (header, colour table, colour rows, mask rows). The
// DIB's own sizes are checked against the bytes that hold it before the system reads it.
bool plausibleIconImage(const uint8_t* p, size_t size) {
    if (isPng(p, size)) return true;
    if (size < sizeof(BITMAPINFOHEADER)) return false;
    BITMAPINFOHEADER h;
    std::memcpy(&h, p, sizeof h);
    if (h.biSize < sizeof h || h.biSize > size) return false;
    if (h.biWidth <= 0 || h.biWidth > 1024 || h.biHeight <= 0 || h.biHeight > 2048 || h.biPlanes != 1) return false;
    const unsigned bpp = h.biBitCount;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return false;
    if (h.biCompression != BI_RGB) return false;
    uint64_t colours = h.biClrUsed ? h.biClrUsed : (bpp <= 8 ? 1u << bpp : 0);
    if (bpp <= 8 && colours > (1u << bpp)) return false;
    const uint64_t rows = static_cast<uint64_t>(h.biHeight) / 2;
    const uint64_t colourStride = (static_cast<uint64_t>(h.biWidth) * bpp + 31) / 32 * 4;
    const uint64_t maskStride = (static_cast<uint64_t>(h.biWidth) + 31) / 32 * 4;
    const uint64_t needed = h.biSize + colours * 4 + (colourStride + maskStride) * rows;
    return rows > 0 && needed <= size;
}

}  // namespace

Picture::Picture(UniqueBitmap bitmap, int width, int height)
    : bitmap_(std::move(bitmap)), width_(width), height_(height) {}

Picture::Picture(UniqueIcon icon, int width, int height) : icon_(std::move(icon)), width_(width), height_(height) {}

std::shared_ptr<const Picture> decodeJpeg(Bytes file) {
    int width = 0, height = 0;
    UniqueBitmap bitmap(decodeJpegBits(file.data(), file.size(), &width, &height));
    if (!bitmap) return nullptr;
    return std::make_shared<const Picture>(std::move(bitmap), width, height);
}

std::shared_ptr<const Picture> decodeIconFile(Bytes file) {
    const uint8_t* p = file.data();
    const size_t size = file.size();
    if (size < 6 || read16(p) != 0 || read16(p + 2) != 1) return nullptr;
    const size_t count = read16(p + 4);
    if (count == 0 || size < 6 + 16 * count) return nullptr;
    // The largest image, and of equal sizes the deepest colour; the box scales it.
    const uint8_t* best = nullptr;
    size_t bestSize = 0;
    unsigned bestArea = 0, bestDepth = 0;
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* entry = p + 6 + 16 * i;
        const unsigned w = entry[0] ? entry[0] : 256, h = entry[1] ? entry[1] : 256;
        const unsigned depth = read16(entry + 6);
        const uint32_t bytes = read32(entry + 8), offset = read32(entry + 12);
        if (offset > size || bytes > size - offset) continue;
        if (!plausibleIconImage(p + offset, bytes)) continue;
        if (w * h > bestArea || (w * h == bestArea && depth > bestDepth)) {
            best = p + offset;
            bestSize = bytes;
            bestArea = w * h;
            bestDepth = depth;
        }
    }
    if (!best) return nullptr;
    UniqueIcon icon(CreateIconFromResourceEx(const_cast<PBYTE>(best), static_cast<DWORD>(bestSize), TRUE,
                                             0x00030000, 0, 0, LR_DEFAULTCOLOR));
    if (!icon) return nullptr;
    ICONINFO iconInfo{};
    if (!GetIconInfo(icon.get(), &iconInfo)) return nullptr;
    UniqueBitmap colour(iconInfo.hbmColor), mask(iconInfo.hbmMask);
    BITMAP bm{};
    int width = 0, height = 0;
    if (colour && GetObject(colour.get(), sizeof bm, &bm)) {
        width = bm.bmWidth;
        height = bm.bmHeight;
    } else if (mask && GetObject(mask.get(), sizeof bm, &bm)) {
        width = bm.bmWidth;
        height = bm.bmHeight / 2;
    }
    if (width <= 0 || height <= 0) return nullptr;
    return std::make_shared<const Picture>(std::move(icon), width, height);
}

std::shared_ptr<const Picture> Picture::decode(Bytes file) {
    if (file.size() >= 2 && file[0] == 0xFF && file[1] == 0xD8) return decodeJpeg(file);
    if (file.size() >= 4 && file[0] == 0 && file[1] == 0 && file[2] == 1 && file[3] == 0) return decodeIconFile(file);
    return nullptr;
}

void Picture::draw(HDC dc, const RECT& box, bool stretch) const {
    const int boxWidth = box.right - box.left, boxHeight = box.bottom - box.top;
    const int w = stretch ? boxWidth : width_, h = stretch ? boxHeight : height_;
    if (w <= 0 || h <= 0) return;
    if (icon_) {
        DrawIconEx(dc, box.left, box.top, icon_.get(), w, h, 0, nullptr, DI_NORMAL);
        return;
    }
    UniqueMemoryDc memory(CreateCompatibleDC(dc));
    if (!memory) return;
    SelectScope selected(memory.get(), bitmap_.get());
    if (!stretch) {
        BitBlt(dc, box.left, box.top, w, h, memory.get(), 0, 0, SRCCOPY);
        return;
    }
    const int oldMode = SetStretchBltMode(dc, HALFTONE);
    POINT oldOrigin{};
    SetBrushOrgEx(dc, 0, 0, &oldOrigin);
    StretchBlt(dc, box.left, box.top, w, h, memory.get(), 0, 0, width_, height_, SRCCOPY);
    SetBrushOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
    SetStretchBltMode(dc, oldMode);
}

}  // namespace platform::win32
