#pragma once
// Scope tokens for drawing: a paint pass, a window's DC, an object selected into a DC and a
// DC whose state is restored on leaving. Each undoes exactly what it did, once.
#include <windows.h>

namespace platform::win32 {

class PaintScope {
public:
    explicit PaintScope(HWND window) : window_(window) { dc_ = BeginPaint(window_, &paint_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    ~PaintScope() { EndPaint(window_, &paint_); }
    HDC dc() const { return dc_; }
    const RECT& area() const { return paint_.rcPaint; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_ = nullptr;
};

class WindowDcScope {
public:
    explicit WindowDcScope(HWND window) : window_(window), dc_(GetDC(window)) {}
    WindowDcScope(const WindowDcScope&) = delete;
    WindowDcScope& operator=(const WindowDcScope&) = delete;
    ~WindowDcScope() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    HDC dc() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// Selects an object into a DC and puts the previous one back.
class SelectScope {
public:
    SelectScope(HDC dc, HGDIOBJ object) : dc_(dc), previous_(object ? SelectObject(dc, object) : nullptr) {}
    SelectScope(const SelectScope&) = delete;
    SelectScope& operator=(const SelectScope&) = delete;
    ~SelectScope() {
        if (previous_) SelectObject(dc_, previous_);
    }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// Saves the DC's state (origin, clipping, modes, colours) and restores it on leaving.
class SavedDcScope {
public:
    explicit SavedDcScope(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
    SavedDcScope(const SavedDcScope&) = delete;
    SavedDcScope& operator=(const SavedDcScope&) = delete;
    ~SavedDcScope() {
        if (saved_) RestoreDC(dc_, saved_);
    }

private:
    HDC dc_;
    int saved_;
};

}  // namespace platform::win32
