#pragma once
// Pictures of the window: complete JPEG or icon files decoded once, when they are assigned,
// into a 24-bit DIB section or an icon, and drawn stretched or at their natural size.
#include <windows.h>

#include <memory>

#include "platform/Types.h"
#include "platform/win32/Handles.h"

namespace platform::win32 {

class Picture {
public:
    // A JPEG (starting FF D8) or an icon file (00 00 01 00); nullptr when the bytes are
    // neither or cannot be decoded.
    static std::shared_ptr<const Picture> decode(Bytes file);

    int width() const { return width_; }
    int height() const { return height_; }
    bool isIcon() const { return static_cast<bool>(icon_); }

    // Stretched to fill `box`, or at natural size from its top-left corner (clipped by the DC).
    void draw(HDC dc, const RECT& box, bool stretch) const;

    Picture(UniqueBitmap bitmap, int width, int height);
    Picture(UniqueIcon icon, int width, int height);

private:
    UniqueBitmap bitmap_;
    UniqueIcon icon_;
    int width_ = 0, height_ = 0;
};

// The decoders on their own, for the tests: an empty result on damaged data.
std::shared_ptr<const Picture> decodeJpeg(Bytes file);
std::shared_ptr<const Picture> decodeIconFile(Bytes file);

}  // namespace platform::win32
