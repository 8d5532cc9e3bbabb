#include "platform/win32/Win32Toolkit.h"

#include <ole2.h>
#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cassert>
#include <cstring>

#include "platform/win32/GdiScopes.h"
#include "platform/win32/Pictures.h"

namespace platform::win32 {

namespace {

// Apply what the property store holds for slot wParam; end the installer.
constexpr UINT ApplyMessage = WM_APP + 1;
constexpr UINT EndMessage = WM_APP + 2;

constexpr int ProgressLimit = 32767;

size_t eventIndex(Event e) { return static_cast<size_t>(e); }

COLORREF colorRef(uint32_t rgb) { return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

int limitProgress(int v) { return std::clamp(v, 0, ProgressLimit); }

void registerClass(const char* name, WNDPROC proc, HICON large, HICON small) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hIcon = large;
    wc.hIconSm = small;
    wc.lpszClassName = name;
    // No CS_DBLCLKS: a quick second press is a press like the first.
    RegisterClassExA(&wc);  // already registered by an earlier toolkit: the same class
}

}  // namespace

Win32Toolkit::Win32Toolkit() : mainThread_(GetCurrentThreadId()) {
    // OLE's single-threaded apartment: the folder browser runs on this thread.
    oleInitialized_ = SUCCEEDED(OleInitialize(nullptr));

    char path[MAX_PATH + 1] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n > 0 && n < MAX_PATH) {
        if (char* slash = std::strrchr(path, '\\')) {
            slash[slash == path + 2 && path[1] == ':' ? 1 : 0] = '\0';  // keep "C:\" for the root
            SetCurrentDirectoryA(path);
        }
    }

    INITCOMMONCONTROLSEX common{sizeof common, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&common);

    // The application icon, resource 1 of the program itself; the window goes without one
    // when the program carries none.
    HINSTANCE self = GetModuleHandleA(nullptr);
    auto icon = [&](int metricX, int metricY) {
        return static_cast<HICON>(LoadImageA(self, MAKEINTRESOURCEA(1), IMAGE_ICON, GetSystemMetrics(metricX),
                                             GetSystemMetrics(metricY), LR_SHARED));
    };
    registerClass(MainClass, mainProc, icon(SM_CXICON, SM_CYICON), icon(SM_CXSMICON, SM_CYSMICON));
    registerClass(ControlClass, controlProc, nullptr, nullptr);
}

Win32Toolkit::~Win32Toolkit() {
    if (HWND w = main_.load()) {
        DestroyWindow(w);
        // The loop that would have taken the quit request is not running.
        MSG msg;
        PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }
    if (oleInitialized_) OleUninitialize();
}

// --- building the window ---------------------------------------------------------------

bool Win32Toolkit::load(const WindowDesc& description, EventSink& sink) {
    assert(onMainThread() && !desc_);
    if (desc_ || !onMainThread()) return false;
    desc_ = &description;
    sink_ = &sink;
    if (build(description)) return true;
    if (HWND w = main_.load()) {
        DestroyWindow(w);
        MSG msg;
        PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }
    return false;
}

bool Win32Toolkit::build(const WindowDesc& d) {
    const auto& list = d.controls;
    controls_.clear();
    slots_.clear();
    for (size_t i = 0; i < list.size(); ++i) {
        auto c = std::make_unique<Control>();
        c->toolkit = this;
        c->desc = &list[i];
        c->slot = i;
        slots_.emplace(list[i].name, i);
        controls_.push_back(std::move(c));
    }
    for (auto& c : controls_) {
        if (c->desc->parent) {
            auto found = slots_.find(c->desc->parent);
            assert(found != slots_.end() && "parent not in the description");
            if (found != slots_.end() && found->second != c->slot) c->parent = static_cast<int>(found->second);
        }
        if (c->desc->font) {
            const FontSpec& f = *c->desc->font;
            c->font.reset(CreateFontA(-f.height, 0, 0, 0, f.weight, f.italic, f.underline, f.strikeOut,
                                      DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, PROOF_QUALITY,
                                      DEFAULT_PITCH, f.face));
        }
    }
    for (const Binding& b : d.bindings) {
        if (!b.control) {
            windowHandlers_[eventIndex(b.event)] = b.handler;
            continue;
        }
        auto found = slots_.find(b.control);
        assert(found != slots_.end() && "binding names no control");
        if (found != slots_.end()) controls_[found->second]->handlers[eventIndex(b.event)] = b.handler;
    }

    // The property store starts from the description; pictures are decoded once, here.
    std::vector<ControlProperties> properties(list.size());
    for (size_t i = 0; i < list.size(); ++i) {
        const ControlDesc& c = list[i];
        ControlProperties& p = properties[i];
        p.caption = c.text ? c.text : "";
        p.visible = c.shown && !isNonVisual(c.kind);
        p.minimum = limitProgress(c.minimum);
        p.maximum = limitProgress(c.maximum);
        p.position = limitProgress(c.position);
        if (c.kind == ControlKind::PictureBox) p.picture = Picture::decode(c.picture);
        if (c.kind == ControlKind::PictureButton) {
            p.normal = Picture::decode(c.normalPicture);
            p.hot = Picture::decode(c.hotPicture);
            p.pressed = Picture::decode(c.pressedPicture);
            p.disabled = Picture::decode(c.disabledPicture);
        }
    }
    const int left = (GetSystemMetrics(SM_CXSCREEN) - d.width) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - d.height) / 2;
    store_.reset(std::move(properties), WindowProperties{d.width, d.height, top});
    background_.reset(CreateSolidBrush(colorRef(d.background)));

    // 1. The window: hidden, no frame, no title bar, no system menu, centred, no owner.
    HWND w = CreateWindowExA(WS_EX_APPWINDOW, MainClass, d.caption ? d.caption : "", WS_POPUP | WS_CLIPCHILDREN,
                             left, top, d.width, d.height, nullptr, nullptr, GetModuleHandleA(nullptr), this);
    if (!w) return false;
    const LONG_PTR framed = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    if (LONG_PTR style = GetWindowLongPtrA(w, GWL_STYLE); style & framed) {
        SetWindowLongPtrA(w, GWL_STYLE, style & ~framed);
        SetWindowPos(w, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }

    // 2. Every control, hidden, as a child of the window, from the last entry to the first.
    for (size_t i = controls_.size(); i-- > 0;) {
        if (!createControl(*controls_[i])) return false;
    }
    // 3. Each control under its parent, keeping its numeric position.
    for (auto& c : controls_) {
        if (c->parent < 0) continue;
        SetParent(c->hwnd, controls_[c->parent]->hwnd);
        SetWindowPos(c->hwnd, nullptr, c->desc->left, c->desc->top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // 4. Siblings stacked in description order: the first on top, each later one below the last.
    for (int parent = -1; parent < static_cast<int>(controls_.size()); ++parent) {
        HWND above = HWND_TOP;
        for (auto& c : controls_) {
            if (c->parent != parent) continue;
            SetWindowPos(c->hwnd, above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            above = c->hwnd;
        }
    }
    // 5. Shown controls appear, without activation; the others and the non-visual ones stay hidden.
    for (auto& c : controls_) {
        const bool shown = c->desc->shown && !isNonVisual(c->desc->kind);
        ShowWindow(c->hwnd, shown ? SW_SHOWNA : SW_HIDE);
    }
    // 6. The created event, while the window is still hidden.
    raise(windowHandlers_[eventIndex(Event::Created)], EventArgs{});
    // 7. The window appears.
    if (HWND shown = main_.load()) {
        ShowWindow(shown, SW_SHOW);
        UpdateWindow(shown);
    }
    return true;
}

// --- properties ------------------------------------------------------------------------

int Win32Toolkit::slotOf(const std::string& control) const {
    auto found = slots_.find(control);
    assert(found != slots_.end() && "unknown control");
    return found == slots_.end() ? -1 : static_cast<int>(found->second);
}

HWND Win32Toolkit::controlWindow(const std::string& control) const {
    auto found = slots_.find(control);
    return found == slots_.end() ? nullptr : controls_[found->second]->hwnd.load();
}

// On the main thread a write is applied at once; from any other thread it is posted as one
// apply request per slot, however many writes arrive before the main thread gets to it.
template <typename F>
void Win32Toolkit::writeControl(const std::string& control, unsigned what, F&& change) {
    const int slot = slotOf(control);
    if (slot < 0) return;
    const bool here = onMainThread();
    const bool post = store_.writeControl(static_cast<size_t>(slot), what, !here, change);
    if (here) {
        apply(static_cast<size_t>(slot), what);
    } else if (post) {
        HWND w = main_.load();
        if (!w || !PostMessageA(w, ApplyMessage, static_cast<WPARAM>(slot), 0)) store_.takePending(slot);
    }
}

template <typename F>
void Win32Toolkit::writeWindow(unsigned what, F&& change) {
    const bool here = onMainThread();
    const bool post = store_.writeWindow(what, !here, change);
    if (here) {
        applyWindow(what);
    } else if (post) {
        HWND w = main_.load();
        if (!w || !PostMessageA(w, ApplyMessage, store_.windowSlot(), 0)) store_.takePending(store_.windowSlot());
    }
}

void Win32Toolkit::apply(size_t slot, unsigned what) {
    if (slot == store_.windowSlot()) return applyWindow(what);
    if (slot >= controls_.size()) return;
    Control& c = *controls_[slot];
    HWND w = c.hwnd.load();
    if (!w || !what) return;
    if (what & prop::Caption) {
        std::string text = store_.readControl(slot, [](const ControlProperties& p) { return p.caption; });
        SetWindowTextA(w, text.c_str());
        RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    if ((what & prop::Visible) && !isNonVisual(c.desc->kind)) {
        bool shown = store_.readControl(slot, [](const ControlProperties& p) { return p.visible; });
        ShowWindow(w, shown ? SW_SHOWNA : SW_HIDE);
    }
    if ((what & prop::Progress) && c.desc->kind == ControlKind::ProgressBar) {
        int position = store_.readControl(slot, [](const ControlProperties& p) { return p.position; });
        SendMessageA(w, PBM_SETPOS, static_cast<WPARAM>(position), 0);
    }
    if (what & prop::Pictures) RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void Win32Toolkit::applyWindow(unsigned what) {
    HWND w = main_.load();
    if (!w || !what) return;
    WindowProperties p = store_.readWindow([](const WindowProperties& p) { return p; });
    RECT r{};
    GetWindowRect(w, &r);
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (!(what & (prop::Width | prop::Height))) flags |= SWP_NOSIZE;
    if (!(what & prop::Top)) flags |= SWP_NOMOVE;
    const int width = what & prop::Width ? p.width : r.right - r.left;
    const int height = what & prop::Height ? p.height : r.bottom - r.top;
    SetWindowPos(w, nullptr, r.left, p.top, width, height, flags);
}

void Win32Toolkit::setWidth(int width) {
    writeWindow(prop::Width, [&](WindowProperties& p) { p.width = width; });
}
void Win32Toolkit::setHeight(int height) {
    writeWindow(prop::Height, [&](WindowProperties& p) { p.height = height; });
}
void Win32Toolkit::setTop(int top) {
    writeWindow(prop::Top, [&](WindowProperties& p) { p.top = top; });
}

std::string Win32Toolkit::caption(const std::string& control) const {
    const int slot = slotOf(control);
    if (slot < 0) return {};
    return store_.readControl(slot, [](const ControlProperties& p) { return p.caption; });
}

void Win32Toolkit::setCaption(const std::string& control, const std::string& text) {
    writeControl(control, prop::Caption, [&](ControlProperties& p) { p.caption = text; });
}

bool Win32Toolkit::visible(const std::string& control) const {
    const int slot = slotOf(control);
    if (slot < 0) return false;
    return store_.readControl(slot, [](const ControlProperties& p) { return p.visible; });
}

void Win32Toolkit::setVisible(const std::string& control, bool shown) {
    const int slot = slotOf(control);
    if (slot < 0 || isNonVisual(controls_[slot]->desc->kind)) return;  // never shown
    writeControl(control, prop::Visible, [&](ControlProperties& p) { p.visible = shown; });
}

int Win32Toolkit::progressMaximum(const std::string& control) const {
    const int slot = slotOf(control);
    if (slot < 0) return 0;
    return store_.readControl(slot, [](const ControlProperties& p) { return p.maximum; });
}

int Win32Toolkit::progressPosition(const std::string& control) const {
    const int slot = slotOf(control);
    if (slot < 0) return 0;
    return store_.readControl(slot, [](const ControlProperties& p) { return p.position; });
}

void Win32Toolkit::setProgressPosition(const std::string& control, int position) {
    writeControl(control, prop::Progress, [&](ControlProperties& p) { p.position = limitProgress(position); });
}

// Pictures are decoded on the writing thread, outside the lock.
void Win32Toolkit::setNormalPicture(const std::string& control, Bytes picture) {
    auto decoded = Picture::decode(picture);
    writeControl(control, prop::Pictures, [&](ControlProperties& p) { p.normal = decoded; });
}

void Win32Toolkit::setHotPicture(const std::string& control, Bytes picture) {
    auto decoded = Picture::decode(picture);
    writeControl(control, prop::Pictures, [&](ControlProperties& p) { p.hot = decoded; });
}

// --- events ----------------------------------------------------------------------------

std::optional<bool> Win32Toolkit::raise(const std::optional<Handler>& handler, const EventArgs& args) {
    if (!handler || !sink_) return std::nullopt;
    return sink_->handle(*handler, args);
}

std::optional<bool> Win32Toolkit::raiseComponentEvent(const std::string& control, int eventNumber, int value) {
    const int slot = slotOf(control);
    if (slot < 0 || eventNumber != 1) return std::nullopt;
    Control& c = *controls_[slot];
    auto alive = [&] {
        HWND w = c.hwnd.load();
        return w && IsWindow(w);
    };
    if (!alive()) return std::nullopt;
    EventArgs args;
    args.value = value;
    std::optional<bool> answer = raise(c.handlers[eventIndex(Event::ExtractProgress)], args);
    return alive() ? answer : std::nullopt;
}

// --- the loop and the end --------------------------------------------------------------

void Win32Toolkit::runMessageLoop() {
    if (main_.load()) {
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    runCleanupOnce();
}

void Win32Toolkit::registerExitCleanup(std::function<void()> cleanup) { cleanup_ = std::move(cleanup); }

void Win32Toolkit::runCleanupOnce() {
    std::call_once(cleanupOnce_, [this] {
        if (cleanup_) cleanup_();
    });
}

void Win32Toolkit::finish() {
    runCleanupOnce();
    ExitProcess(0);
}

void Win32Toolkit::endInstaller() {
    if (onMainThread()) finish();
    // The main thread does the ending; a message box or the folder browser it may be showing
    // still dispatches this window message. Without a window left, the ending is done here.
    HWND w = main_.load();
    if (!w || !PostMessageA(w, EndMessage, 0, 0)) finish();
    for (;;) Sleep(INFINITE);
}

// --- window procedures -----------------------------------------------------------------

LRESULT CALLBACK Win32Toolkit::mainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<Win32Toolkit*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->main_ = hwnd;
    }
    auto* self = reinterpret_cast<Win32Toolkit*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    return self ? self->onMainMessage(hwnd, msg, wp, lp) : DefWindowProcA(hwnd, msg, wp, lp);
}

LRESULT Win32Toolkit::onMainMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case ApplyMessage:
            if (wp <= store_.windowSlot()) apply(wp, store_.takePending(wp));
            return 0;
        case EndMessage:
            finish();
        case WM_CLOSE:  // Alt+F4 and the like: nothing refuses it
            DestroyWindow(hwnd);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY:
            main_ = nullptr;
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
            break;
        case WM_ERASEBKGND:
        case WM_PRINTCLIENT: {
            RECT r;
            GetClientRect(hwnd, &r);
            FillRect(reinterpret_cast<HDC>(wp), &r, background_.get());
            return 1;
        }
        case WM_SETCURSOR:
            if (LOWORD(lp) == HTCLIENT) {
                SetCursor(LoadCursor(nullptr, IDC_ARROW));
                return TRUE;
            }
            break;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP: {
            EventArgs args{GET_X_LPARAM(lp), GET_Y_LPARAM(lp),
                           (wp & MK_CONTROL ? 1 : 0) | (wp & MK_SHIFT ? 2 : 0) | (GetKeyState(VK_MENU) < 0 ? 4 : 0)};
            auto answer = raise(windowHandlers_[eventIndex(msg == WM_LBUTTONDOWN ? Event::LeftPressed
                                                                                   : Event::LeftReleased)],
                                args);
            if (answer == false) return 0;
            break;
        }
        default:
            break;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

LRESULT CALLBACK Win32Toolkit::controlProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* control = static_cast<Control*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control));
        control->hwnd = hwnd;
    }
    auto* control = reinterpret_cast<Control*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!control) return DefWindowProcA(hwnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        control->hwnd = nullptr;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
    return control->toolkit->onControlMessage(*control, msg, wp, lp);
}

LRESULT CALLBACK Win32Toolkit::progressProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* control = reinterpret_cast<Control*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!control) return DefWindowProcA(hwnd, msg, wp, lp);
    WNDPROC system = control->systemProc;
    if (msg == WM_NCDESTROY) {
        control->hwnd = nullptr;
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(system));
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    } else {
        LRESULT result = 0;
        if (control->toolkit->onPointerMessage(*control, msg, wp, lp, result)) return result;
    }
    return CallWindowProcA(system, hwnd, msg, wp, lp);
}

bool Win32Toolkit::onPointerMessage(Control& c, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
        case WM_SETCURSOR:
            if (LOWORD(lp) != HTCLIENT) return false;
            SetCursor(LoadCursor(nullptr, c.desc->pointer == Pointer::Hand ? IDC_HAND : IDC_ARROW));
            result = TRUE;
            return true;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP: {
            EventArgs args{GET_X_LPARAM(lp), GET_Y_LPARAM(lp),
                           (wp & MK_CONTROL ? 1 : 0) | (wp & MK_SHIFT ? 2 : 0) | (GetKeyState(VK_MENU) < 0 ? 4 : 0)};
            const Event e = msg == WM_LBUTTONDOWN ? Event::LeftPressed : Event::LeftReleased;
            if (raise(c.handlers[eventIndex(e)], args) == false) {
                result = 0;
                return true;  // the handler consumed it: the control does not see it
            }
            return false;
        }
        default:
            return false;
    }
}

}  // namespace platform::win32
