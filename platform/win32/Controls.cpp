// The control kinds: how each is created, drawn and reacts to the pointer.
#include "platform/win32/Win32Toolkit.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <tuple>

#include "platform/win32/GdiScopes.h"
#include "platform/win32/Pictures.h"

namespace platform::win32 {

namespace {

COLORREF colourOf(const std::optional<uint32_t>& rgb) {
    if (!rgb) return GetSysColor(COLOR_BTNFACE);
    return RGB((*rgb >> 16) & 0xFF, (*rgb >> 8) & 0xFF, *rgb & 0xFF);
}

void fill(HDC dc, const RECT& area, COLORREF colour) {
    SetDCBrushColor(dc, colour);
    FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

RECT clientArea(HWND w) {
    RECT r{};
    GetClientRect(w, &r);
    return r;
}

}  // namespace

bool Win32Toolkit::createControl(Control& c) {
    const ControlDesc& d = *c.desc;
    HWND main = main_.load();
    const bool isParent = std::any_of(controls_.begin(), controls_.end(),
                                      [&](const auto& other) { return other->parent == static_cast<int>(c.slot); });
    // Every control clips its siblings, so a lower page never paints over the one above it.
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (isParent ? WS_CLIPCHILDREN : 0);
    if (d.border && !isNonVisual(d.kind)) style |= WS_BORDER;  // one pixel, the window-frame colour
    const auto id = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(c.slot + 1));
    if (d.kind == ControlKind::ProgressBar) {
        if (d.smooth) style |= PBS_SMOOTH;
        HWND w = CreateWindowExA(d.staticEdge ? WS_EX_STATICEDGE : 0, PROGRESS_CLASSA, "", style, d.left, d.top,
                                 d.width, d.height, main, id, GetModuleHandleA(nullptr), nullptr);
        if (!w) return false;
        c.hwnd = w;
        setUpProgressBar(c);
        return true;
    }
    HWND w = CreateWindowExA(0, ControlClass, d.text ? d.text : "", style, d.left, d.top, d.width, d.height, main,
                             id, GetModuleHandleA(nullptr), &c);
    if (!w) return false;
    // A timer with interval 0 is stopped: it is never started.
    if (d.kind == ControlKind::Timer && d.interval > 0) SetTimer(w, 1, static_cast<UINT>(d.interval), nullptr);
    return true;
}

void Win32Toolkit::setUpProgressBar(Control& c) {
    HWND w = c.hwnd.load();
    auto [minimum, maximum, position] = store_.readControl(c.slot, [](const ControlProperties& p) {
        return std::tuple{p.minimum, p.maximum, p.position};
    });
    // The range runs from the smaller to the larger limit; the bar keeps the position inside it.
    SendMessageA(w, PBM_SETRANGE32, static_cast<WPARAM>(std::min(minimum, maximum)), std::max(minimum, maximum));
    SendMessageA(w, PBM_SETPOS, static_cast<WPARAM>(position), 0);
    // Subclassed for the pointer shape and the left-button events every visual kind offers.
    SetWindowLongPtrA(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&c));
    c.systemProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32Toolkit::progressProc)));
}

LRESULT Win32Toolkit::onControlMessage(Control& c, UINT msg, WPARAM wp, LPARAM lp) {
    HWND hwnd = c.hwnd.load();
    LRESULT result = 0;
    if (onPointerMessage(c, msg, wp, lp, result)) return result;
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;  // the paint pass covers everything
        case WM_PAINT:
            paintBuffered(c);
            return 0;
        case WM_PRINTCLIENT:
            paint(c, reinterpret_cast<HDC>(wp));
            return 0;
        case WM_TIMER:
            return 0;  // no timer event is bound to anything
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_CAPTURECHANGED:
            if (c.desc->kind == ControlKind::PictureButton) {
                onButtonMouse(c, msg, wp, lp);
                return 0;
            }
            break;
        default:
            break;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

// Normal at rest, hot under the pointer with no button held, pressed while the left button
// is held over it. Entering captures the mouse so that leaving is seen; the click comes on
// release over the button.
void Win32Toolkit::onButtonMouse(Control& c, UINT msg, WPARAM wp, LPARAM lp) {
    HWND hwnd = c.hwnd.load();
    const POINT at{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    const RECT area = clientArea(hwnd);
    const bool over = PtInRect(&area, at) != FALSE;
    const bool held = (wp & MK_LBUTTON) != 0;
    const ButtonState before = c.state;
    bool clicked = false;
    switch (msg) {
        case WM_MOUSEMOVE:
            // Giving up the capture makes the system report the pointer where it already is;
            // after a click the button stays at rest until the pointer really moves.
            if (c.clickedAtRest && at.x == c.releasedAt.x && at.y == c.releasedAt.y) return;
            c.clickedAtRest = false;
            if (over) {
                if (GetCapture() != hwnd) SetCapture(hwnd);
                c.state = held ? ButtonState::Pressed : ButtonState::Hot;
            } else {
                c.state = ButtonState::Normal;
                if (!held && GetCapture() == hwnd) ReleaseCapture();
            }
            break;
        case WM_LBUTTONDOWN:
            c.clickedAtRest = false;
            SetCapture(hwnd);
            c.state = ButtonState::Pressed;
            break;
        case WM_LBUTTONUP:
            if (GetCapture() == hwnd) ReleaseCapture();
            c.state = ButtonState::Normal;
            if (over) {
                clicked = true;
                c.clickedAtRest = true;
                c.releasedAt = at;
            }
            break;
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(lp) != hwnd) c.state = ButtonState::Normal;
            break;
        default:
            break;
    }
    if (c.state != before || clicked) RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    if (clicked) raise(c.handlers[static_cast<size_t>(Event::Clicked)], EventArgs{});
}

// --- drawing ---------------------------------------------------------------------------

void Win32Toolkit::paintBuffered(const Control& c) {
    HWND hwnd = c.hwnd.load();
    PaintScope scope(hwnd);
    const RECT area = clientArea(hwnd);
    const int w = area.right, h = area.bottom;
    if (w <= 0 || h <= 0) return;
    // Drawn off screen first: a transparent label paints its parent and then its text, and
    // the screen should only ever see the finished result.
    UniqueMemoryDc memory(CreateCompatibleDC(scope.dc()));
    UniqueBitmap buffer(memory ? CreateCompatibleBitmap(scope.dc(), w, h) : nullptr);
    if (!buffer) {
        paint(c, scope.dc());
        return;
    }
    {
        SelectScope selected(memory.get(), buffer.get());
        paint(c, memory.get());
        BitBlt(scope.dc(), 0, 0, w, h, memory.get(), 0, 0, SRCCOPY);
    }
}

void Win32Toolkit::paint(const Control& c, HDC dc) const {
    const ControlDesc& d = *c.desc;
    const RECT area = clientArea(c.hwnd.load());
    switch (d.kind) {
        case ControlKind::PictureBox: {
            fill(dc, area, colourOf(d.background));
            auto picture = store_.readControl(c.slot, [](const ControlProperties& p) { return p.picture; });
            if (picture) picture->draw(dc, area, d.pictureMode == PictureMode::Stretch);
            break;
        }
        case ControlKind::Label:
            fill(dc, area, colourOf(d.background));
            paintText(c, dc, area);
            break;
        case ControlKind::TransparentLabel:
            paintParentBackground(c, dc);
            paintText(c, dc, area);
            break;
        case ControlKind::PictureButton: {
            auto picture = store_.readControl(c.slot, [&](const ControlProperties& p) {
                if (!IsWindowEnabled(c.hwnd.load()) && p.disabled) return p.disabled;
                if (c.state == ButtonState::Pressed && p.pressed) return p.pressed;
                if (c.state == ButtonState::Hot && p.hot) return p.hot;
                return p.normal;
            });
            // At natural size from the top-left corner; whatever it leaves uncovered is black.
            fill(dc, area, RGB(0, 0, 0));
            if (picture) picture->draw(dc, area, false);
            break;
        }
        default:
            break;
    }
}

// What lies behind a transparent label: its parent drawn into the label's own area.
void Win32Toolkit::paintParentBackground(const Control& c, HDC dc) const {
    HWND self = c.hwnd.load();
    HWND parent = GetParent(self);
    POINT origin{0, 0};
    MapWindowPoints(self, parent, &origin, 1);
    const RECT area = clientArea(self);
    // The parent is drawn whole, off screen, and the label's part copied: a stretched picture
    // drawn straight into the label's small area would be resampled slightly differently.
    const RECT whole = clientArea(parent);
    UniqueMemoryDc memory(CreateCompatibleDC(dc));
    UniqueBitmap buffer(memory ? CreateCompatibleBitmap(dc, whole.right, whole.bottom) : nullptr);
    if (!buffer) return;
    SelectScope selected(memory.get(), buffer.get());
    if (c.parent >= 0) {
        paint(*controls_[c.parent], memory.get());
    } else {
        FillRect(memory.get(), &whole, background_.get());
    }
    BitBlt(dc, 0, 0, area.right, area.bottom, memory.get(), origin.x, origin.y, SRCCOPY);
}

void Win32Toolkit::paintText(const Control& c, HDC dc, const RECT& area) const {
    std::string text = store_.readControl(c.slot, [](const ControlProperties& p) { return p.caption; });
    if (text.empty()) return;
    SavedDcScope saved(dc);
    SelectObject(dc, c.font ? static_cast<HGDIOBJ>(c.font.get()) : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB((c.desc->textColor >> 16) & 0xFF, (c.desc->textColor >> 8) & 0xFF, c.desc->textColor & 0xFF));
    RECT r = area;
    // One line, vertically centred, left-aligned, "&" as itself, cut at the edge without "...".
    DrawTextA(dc, text.data(), static_cast<int>(text.size()), &r, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
}

}  // namespace platform::win32
