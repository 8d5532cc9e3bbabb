// The toolkit across threads: property writes from another thread reach the window while the
// main thread sits in a message box and never wait for it; the component event runs on the
// caller's thread only while the component's window exists; ending the installer from any
// thread runs the exit cleanup once and ends with code 0.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/win32/Win32Toolkit.h"
#include "tests/win/ToolkitTestSupport.h"

namespace {

using namespace platform;
using namespace toolkit_test;
using platform::win32::Win32Toolkit;

const std::vector<uint8_t>& bluePicture() {
    static const auto picture = solidJpeg(40, 20, 0x0000E0);
    return picture;
}

std::vector<ControlDesc> controls() {
    return {
        {.name = "log", .kind = ControlKind::Label, .parent = "page", .left = 10, .top = 10, .width = 120,
         .height = 20, .background = 0x1683C4, .text = ""},
        {.name = "bar", .kind = ControlKind::ProgressBar, .parent = "page", .left = 10, .top = 40, .width = 120,
         .height = 8, .shown = false, .smooth = true, .staticEdge = true},
        {.name = "button", .kind = ControlKind::PictureButton, .parent = "page", .left = 10, .top = 60, .width = 40,
         .height = 20},
        {.name = "zip", .kind = ControlKind::ZipComponent, .parent = "page", .left = 0, .top = 0, .width = 10,
         .height = 10, .shown = false},
        {.name = "page", .kind = ControlKind::PictureBox, .parent = nullptr, .left = 0, .top = 0, .width = 200,
         .height = 150, .background = 0x1683C4},
    };
}

class Loaded {
    std::vector<ControlDesc> controls_ = controls();
    std::vector<Binding> bindings_ = {
        {.control = "zip", .event = Event::ExtractProgress, .handler = Handler::OnExtractProgress}};
    WindowDesc desc_{.caption = "Threads", .width = 200, .height = 150, .background = 0x75B8EE,
                     .controls = controls_, .bindings = bindings_};

public:
    Loaded() { loaded = toolkit.load(desc_, sink); }
    HWND operator[](const char* name) const { return toolkit.controlWindow(name); }
    RecordingSink sink;
    Win32Toolkit toolkit;
    bool loaded = false;
};

class ToolkitThreads : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(canCreateWindows()) << "no display: run the Windows tests under Xvfb"; }
};

// Polls until `done` holds or 30 seconds have passed.
bool eventually(const std::function<bool()>& done) {
    const ULONGLONG deadline = GetTickCount64() + 30000;
    while (!done()) {
        if (GetTickCount64() > deadline) return false;
        Sleep(20);
    }
    return true;
}

std::string windowText(HWND w) {
    char text[128] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(w, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 1000, &copied);
    return text;
}

int barPosition(HWND bar) {
    DWORD_PTR position = 0;
    SendMessageTimeoutA(bar, PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 1000, &position);
    return static_cast<int>(position);
}

TEST_F(ToolkitThreads, WritesFromAnotherThreadTakeEffectWhileAMessageBoxIsOpen) {
    Loaded w;
    ASSERT_TRUE(w.loaded);
    const char* title = "Toolkit test: modal box";
    std::atomic<bool> boxFound = false, applied = false, readBack = false;
    std::thread worker([&] {
        HWND box = nullptr;
        boxFound = eventually([&] { return (box = FindWindowA("#32770", title)) != nullptr; });
        if (!boxFound) return;
        w.toolkit.setCaption("log", "written by the worker");
        w.toolkit.setVisible("bar", true);
        w.toolkit.setProgressPosition("bar", 42);
        w.toolkit.setNormalPicture("button", Bytes(bluePicture().data(), bluePicture().size()));
        w.toolkit.setTop(40);
        readBack = w.toolkit.caption("log") == "written by the worker" && w.toolkit.visible("bar") &&
                   w.toolkit.progressPosition("bar") == 42;
        applied = eventually([&] {
            RECT r{};
            GetWindowRect(w.toolkit.mainWindow(), &r);
            return windowText(w["log"]) == "written by the worker" && IsWindowVisible(w["bar"]) &&
                   barPosition(w["bar"]) == 42 && r.top == 40;
        });
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    MessageBoxA(nullptr, "The worker closes this box once its writes show.", title, MB_OK);
    worker.join();
    EXPECT_TRUE(boxFound);
    EXPECT_TRUE(readBack) << "reads give what was written, at once";
    EXPECT_TRUE(applied) << "the writes did not reach the window while the message box was open";
    Canvas canvas(40, 20);
    render(w["button"], canvas);
    EXPECT_TRUE(similar(canvas.pixel(20, 10), 0x0000E0)) << hex(canvas.pixel(20, 10));
}

TEST_F(ToolkitThreads, WritesFromAnotherThreadNeverWaitForTheMainThread) {
    Loaded w;
    ASSERT_TRUE(w.loaded);
    // The main thread serves no messages until the worker is done: a write that waited for
    // it would never come back.
    std::thread worker([&] {
        for (int i = 0; i <= 20000; ++i) {
            w.toolkit.setProgressPosition("bar", i % 101);
            w.toolkit.setCaption("log", "line " + std::to_string(i));
        }
        w.toolkit.setVisible("bar", true);
    });
    worker.join();
    EXPECT_EQ(w.toolkit.caption("log"), "line 20000");
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    EXPECT_EQ(windowText(w["log"]), "line 20000");
    EXPECT_EQ(barPosition(w["bar"]), 20000 % 101);
    EXPECT_TRUE(IsWindowVisible(w["bar"]));
}

// --- the component event -------------------------------------------------------------

enum class Before { Nothing, DestroyTheComponent };
enum class During { Nothing, DestroyTheComponent };

struct ComponentCase {
    const char* name;
    Before before;
    During during;
    int eventNumber;
    std::optional<bool> answer;
    bool called;
    std::optional<bool> result;
};

class ComponentEvent : public ToolkitThreads, public testing::WithParamInterface<ComponentCase> {};

TEST_P(ComponentEvent, RunsOnTheCallingThreadOnlyWhileTheComponentExists) {
    const auto& c = GetParam();
    Loaded w;
    ASSERT_TRUE(w.loaded);
    HWND zip = w["zip"];
    ASSERT_TRUE(zip);
    if (c.before == Before::DestroyTheComponent) DestroyWindow(zip);
    std::optional<bool> result;
    DWORD workerId = 0, handlerThread = 0;
    int value = -1;
    w.sink.onEvent = [&](Handler, const EventArgs& args) {
        handlerThread = GetCurrentThreadId();
        value = args.value;
        // The worker cannot destroy the main thread's window itself; it asks and waits.
        if (c.during == During::DestroyTheComponent) SendMessageA(zip, WM_CLOSE, 0, 0);
        return c.answer;
    };
    std::atomic<bool> done = false;
    std::thread worker([&] {
        workerId = GetCurrentThreadId();
        result = w.toolkit.raiseComponentEvent("zip", c.eventNumber, 37);
        done = true;
    });
    // Serve the main thread's window while the worker runs, as the real loop does.
    while (!done) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    worker.join();
    EXPECT_EQ(w.sink.count(Handler::OnExtractProgress), c.called ? 1 : 0);
    if (c.called) {
        EXPECT_EQ(handlerThread, workerId);
        EXPECT_EQ(value, 37);
    }
    EXPECT_EQ(result, c.result);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ComponentEvent,
    testing::Values(
        ComponentCase{"AnswerTrue", Before::Nothing, During::Nothing, 1, true, true, true},
        ComponentCase{"AnswerFalse", Before::Nothing, During::Nothing, 1, false, true, false},
        ComponentCase{"NoAnswer", Before::Nothing, During::Nothing, 1, std::nullopt, true, std::nullopt},
        ComponentCase{"OtherEventNumber", Before::Nothing, During::Nothing, 2, false, false, std::nullopt},
        ComponentCase{"ComponentAlreadyGone", Before::DestroyTheComponent, During::Nothing, 1, false, false,
                      std::nullopt},
        ComponentCase{"ComponentGoneDuringTheHandler", Before::Nothing, During::DestroyTheComponent, 1, false, true,
                      std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

// --- ending --------------------------------------------------------------------------

using ToolkitEndingDeathTest = ToolkitThreads;

void endFromTheWorkerDuringAMessageBox() {
    Loaded w;
    if (!w.loaded) std::exit(3);
    w.toolkit.registerExitCleanup([] { std::fputs("exit cleanup\n", stderr); });
    std::thread([&] {
        eventually([] { return FindWindowA("#32770", "Ending") != nullptr; });
        w.toolkit.endInstaller();
        std::fputs("the worker came back\n", stderr);
    }).detach();
    MessageBoxA(nullptr, "The worker ends the installer.", "Ending", MB_OK);
    std::exit(4);  // the box closed without the installer ending
}

TEST_F(ToolkitEndingDeathTest, FromAWorkerWhileTheMainThreadShowsAMessageBox) {
    EXPECT_EXIT(endFromTheWorkerDuringAMessageBox(), testing::ExitedWithCode(0), "^exit cleanup\n$");
}

void endOnTheMainThreadTwice() {
    Loaded w;
    w.toolkit.registerExitCleanup([] { std::fputs("exit cleanup\n", stderr); });
    std::thread([&] { w.toolkit.endInstaller(); }).detach();
    w.toolkit.endInstaller();
}

TEST_F(ToolkitEndingDeathTest, OnTheMainThreadRunsTheCleanupOnce) {
    EXPECT_EXIT(endOnTheMainThreadTwice(), testing::ExitedWithCode(0), "^exit cleanup\n$");
}

}  // namespace
