#pragma once
// The real window toolkit: one frameless top-level window built from a description, its
// controls as child windows, properties readable and writable from any thread.
//
// Threads: the thread that constructs the toolkit is the main thread; it builds the window,
// runs the loop and receives every window event. A property write from another thread goes
// into the property store and posts one apply request to the main window (a window message,
// which modal loops such as a message box or the folder browser still dispatch); the main
// thread then applies what the store holds. Reads always come from the store.
#include <windows.h>

#include <array>
#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/Toolkit.h"
#include "platform/win32/Handles.h"
#include "platform/win32/PropertyStore.h"

namespace platform::win32 {

class Win32Toolkit final : public Toolkit, public Window {
public:
    // OLE for this thread, the program's own folder as the current directory, and the
    // common controls' progress bar class.
    Win32Toolkit();
    ~Win32Toolkit() override;
    Win32Toolkit(const Win32Toolkit&) = delete;
    Win32Toolkit& operator=(const Win32Toolkit&) = delete;

    // Toolkit
    bool load(const WindowDesc& description, EventSink& sink) override;
    Window& window() override { return *this; }
    void runMessageLoop() override;
    void registerExitCleanup(std::function<void()> cleanup) override;
    [[noreturn]] void endInstaller() override;

    // Window
    WindowId id() const override { return WindowId{mainWindow()}; }
    void setWidth(int width) override;
    void setHeight(int height) override;
    void setTop(int top) override;
    std::string caption(const std::string& control) const override;
    void setCaption(const std::string& control, const std::string& text) override;
    bool visible(const std::string& control) const override;
    void setVisible(const std::string& control, bool shown) override;
    int progressMaximum(const std::string& control) const override;
    int progressPosition(const std::string& control) const override;
    void setProgressPosition(const std::string& control, int position) override;
    void setNormalPicture(const std::string& control, Bytes picture) override;
    void setHotPicture(const std::string& control, Bytes picture) override;
    std::optional<bool> raiseComponentEvent(const std::string& control, int eventNumber, int value) override;

    // For tests and the start-up code: the window of the toolkit and of a control (nullptr
    // when unknown or destroyed).
    HWND mainWindow() const { return main_.load(); }
    HWND controlWindow(const std::string& control) const;

    // How a picture button is drawn at the moment.
    enum class ButtonState { Normal, Hot, Pressed };

private:
    static constexpr const char* MainClass = "InstallerWindow";
    static constexpr const char* ControlClass = "InstallerControl";

    struct Control {
        Win32Toolkit* toolkit = nullptr;
        const ControlDesc* desc = nullptr;
        size_t slot = 0;
        std::atomic<HWND> hwnd{nullptr};
        int parent = -1;  // index of the parent control; -1: the window
        UniqueFont font;
        std::array<std::optional<Handler>, 5> handlers;  // by Event
        // main thread only:
        ButtonState state = ButtonState::Normal;
        bool clickedAtRest = false;  // released here; a move to the same point is no move
        POINT releasedAt{};
        WNDPROC systemProc = nullptr;  // progress bar: the class's own procedure
    };

    static LRESULT CALLBACK mainProc(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK controlProc(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK progressProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT onMainMessage(HWND, UINT, WPARAM, LPARAM);
    LRESULT onControlMessage(Control&, UINT, WPARAM, LPARAM);
    // Mouse and cursor messages common to every visual kind; true when handled (result set).
    bool onPointerMessage(Control&, UINT, WPARAM, LPARAM, LRESULT& result);
    void onButtonMouse(Control&, UINT, WPARAM, LPARAM);

    bool build(const WindowDesc& description);
    bool createControl(Control& control);
    void setUpProgressBar(Control& control);

    // Drawing, with the DC's origin at the control's client origin.
    void paint(const Control& control, HDC dc) const;
    void paintParentBackground(const Control& control, HDC dc) const;
    void paintText(const Control& control, HDC dc, const RECT& area) const;
    void paintBuffered(const Control& control);

    int slotOf(const std::string& control) const;  // -1 when unknown
    bool onMainThread() const { return GetCurrentThreadId() == mainThread_; }
    template <typename F>
    void writeControl(const std::string& control, unsigned what, F&& change);
    template <typename F>
    void writeWindow(unsigned what, F&& change);
    void apply(size_t slot, unsigned what);
    void applyWindow(unsigned what);
    std::optional<bool> raise(const std::optional<Handler>& handler, const EventArgs& args);
    [[noreturn]] void finish();
    void runCleanupOnce();

    DWORD mainThread_;
    bool oleInitialized_ = false;
    const WindowDesc* desc_ = nullptr;
    EventSink* sink_ = nullptr;
    std::atomic<HWND> main_{nullptr};
    std::array<std::optional<Handler>, 5> windowHandlers_;
    std::vector<std::unique_ptr<Control>> controls_;  // filled once in load
    std::map<std::string, size_t> slots_;
    PropertyStore store_;
    UniqueBrush background_;
    std::function<void()> cleanup_;
    std::once_flag cleanupOnce_;
};

}  // namespace platform::win32
