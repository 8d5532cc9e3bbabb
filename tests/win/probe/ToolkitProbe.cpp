// A window of every control kind, built by the real toolkit, that writes each event it gets to
// toolkit-events.txt in its own folder (the toolkit makes that folder the current one). The
// end-to-end tests drive it with the pointer and read the file and the screen.
//
// Pictures are solid colours, so a screenshot tells which one is shown: the button is red at
// rest, green when hot, blue when pressed and yellow once the worker has replaced its pictures.
#include <windows.h>

#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/Win32Toolkit.h"
#include "tests/win/ToolkitTestSupport.h"

namespace {

using namespace platform;
using platform::win32::Win32Toolkit;

constexpr uint32_t PageBlue = 0x1683C4, LightBlue = 0x75B8EE, White = 0xFFFFFF, Yellow = 0xFFFF00;

class Probe : public EventSink {
public:
    explicit Probe(Win32Toolkit& toolkit) : toolkit_(toolkit) {}

    void log(const std::string& line) {
        std::lock_guard lock(mutex_);
        if (FILE* f = std::fopen("toolkit-events.txt", "ab")) {
            std::fprintf(f, "%s\n", line.c_str());
            std::fclose(f);
        }
    }

    std::optional<bool> handle(Handler handler, const EventArgs& a) override {
        char where[48];
        std::snprintf(where, sizeof where, " %d %d %d", a.x, a.y, a.keys);
        switch (handler) {
            case Handler::WindowCreated:
                log(std::string("created visible=") + (IsWindowVisible(toolkit_.mainWindow()) ? "1" : "0"));
                toolkit_.setWidth(250);
                toolkit_.setHeight(400);
                toolkit_.setTop(300);
                return std::nullopt;
            case Handler::OnInstallClicked:
                ++clicks_;
                log("clicked " + std::to_string(clicks_));
                toolkit_.setCaption("log", "clicked " + std::to_string(clicks_));
                return std::nullopt;
            case Handler::ChooseInstallLocation:
                log(std::string("pressed dir") + where);
                if (a.keys & 2) startProgressWorker();
                if (a.keys & 1) endFromWorkerDuringMessageBox();
                return std::nullopt;
            case Handler::OnExtractProgress:
                log("progress " + std::to_string(a.value) +
                    (GetCurrentThreadId() == mainThread_ ? " on the main thread" : " on the worker"));
                toolkit_.setProgressPosition("bar", a.value);
                toolkit_.setCaption("log", "progress " + std::to_string(a.value));
                return true;
            case Handler::OnCloseCrossReleased:
                log(std::string("released cross") + where);
                toolkit_.endInstaller();
            case Handler::OnExitButtonClicked:
                log("exit button clicked");
                return std::nullopt;
            case Handler::OnBackgroundPressed:
                log(std::string("pressed page") + where);
                return std::nullopt;
        }
        return std::nullopt;
    }

private:
    // As the install worker does: shows the bar, raises the component's progress event on its
    // own thread, and finally gives the button other pictures.
    void startProgressWorker() {
        std::thread([this] {
            toolkit_.setVisible("bar", true);
            for (int value : {0, 25, 50, 75}) toolkit_.raiseComponentEvent("zip", 1, value);
            static const auto done = toolkit_test::solidJpeg(220, 80, Yellow);
            toolkit_.setNormalPicture("button", Bytes(done.data(), done.size()));
            toolkit_.setHotPicture("button", Bytes(done.data(), done.size()));
            log("worker done");
        }).detach();
    }

    // The worker ends the installer while the main thread shows a message box.
    void endFromWorkerDuringMessageBox() {
        std::thread([this] {
            while (!FindWindowA("#32770", "probe box")) Sleep(50);
            Sleep(300);
            log("worker ends");
            toolkit_.endInstaller();
            log("the worker came back");
        }).detach();
        MessageBoxA(nullptr, "The worker ends the probe.", "probe box", MB_OK);
        log("the message box closed");
    }

    Win32Toolkit& toolkit_;
    std::mutex mutex_;
    int clicks_ = 0;
    DWORD mainThread_ = GetCurrentThreadId();
};

struct Pictures {
    std::vector<uint8_t> normal = toolkit_test::solidJpeg(220, 80, 0xE00000);
    std::vector<uint8_t> hot = toolkit_test::solidJpeg(220, 80, 0x00C000);
    std::vector<uint8_t> pressed = toolkit_test::solidJpeg(220, 80, 0x0000E0);
    std::vector<uint8_t> logo =
        toolkit_test::makeJpeg(64, 64, [](int x, int) -> uint32_t { return x < 32 ? 0xF0F000 : 0x8000A0; });
    std::vector<uint8_t> close = toolkit_test::solidJpeg(27, 22, 0xE00000);
};

Bytes bytes(const std::vector<uint8_t>& v) { return Bytes(v.data(), v.size()); }

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    Win32Toolkit toolkit;
    Probe probe(toolkit);
    const Pictures pictures;
    const ControlDesc controls[] = {
        {.name = "log", .kind = ControlKind::Label, .parent = "page", .left = 79, .top = 344, .width = 160,
         .height = 24, .background = PageBlue, .textColor = White},
        {.name = "cross", .kind = ControlKind::TransparentLabel, .parent = "page", .left = 230, .top = 14,
         .width = 12, .height = 12, .textColor = White, .text = "×", .pointer = Pointer::Hand},
        {.name = "title", .kind = ControlKind::TransparentLabel, .parent = "page", .left = 7, .top = 8, .width = 68,
         .height = 24, .textColor = Yellow, .font = FontSpec{.height = 12, .weight = 700}, .text = "安装程序"},
        {.name = "bar", .kind = ControlKind::ProgressBar, .parent = "page", .left = 21, .top = 327, .width = 205,
         .height = 8, .shown = false, .smooth = true, .staticEdge = true},
        {.name = "zip", .kind = ControlKind::ZipComponent, .parent = "logo", .left = 8, .top = 40, .width = 27,
         .height = 27, .shown = false},
        {.name = "timer", .kind = ControlKind::Timer, .parent = nullptr, .left = 0, .top = 32, .width = 26,
         .height = 26, .shown = false},
        {.name = "exit", .kind = ControlKind::PictureButton, .parent = "page2", .left = 563, .top = 0, .width = 27,
         .height = 22, .normalPicture = bytes(pictures.close)},
        {.name = "button", .kind = ControlKind::PictureButton, .parent = "page", .left = 14, .top = 255,
         .width = 220, .height = 80, .normalPicture = bytes(pictures.normal), .hotPicture = bytes(pictures.hot),
         .pressedPicture = bytes(pictures.pressed)},
        {.name = "logo", .kind = ControlKind::PictureBox, .parent = "page", .left = 12, .top = 36, .width = 211,
         .height = 211, .picture = bytes(pictures.logo), .pictureMode = PictureMode::Stretch},
        {.name = "dir", .kind = ControlKind::Label, .parent = "page", .left = 7, .top = 367, .width = 232,
         .height = 25, .background = PageBlue, .textColor = White,
         .font = FontSpec{.height = 12, .weight = 400, .underline = true},
         .text = "D:\\A&B 很长很长的路径 that is far too long for this label", .pointer = Pointer::Hand},
        {.name = "page", .kind = ControlKind::PictureBox, .parent = nullptr, .left = 0, .top = 0, .width = 250,
         .height = 400, .background = PageBlue, .border = true},
        {.name = "page2", .kind = ControlKind::PictureBox, .parent = nullptr, .left = 0, .top = 0, .width = 600,
         .height = 400, .background = LightBlue, .border = true},
    };
    const Binding bindings[] = {
        {.control = nullptr, .event = Event::Created, .handler = Handler::WindowCreated},
        {.control = "dir", .event = Event::LeftPressed, .handler = Handler::ChooseInstallLocation},
        {.control = "button", .event = Event::Clicked, .handler = Handler::OnInstallClicked},
        {.control = "zip", .event = Event::ExtractProgress, .handler = Handler::OnExtractProgress},
        {.control = "cross", .event = Event::LeftReleased, .handler = Handler::OnCloseCrossReleased},
        {.control = "exit", .event = Event::Clicked, .handler = Handler::OnExitButtonClicked},
        {.control = "page", .event = Event::LeftPressed, .handler = Handler::OnBackgroundPressed},
    };
    const WindowDesc window{.caption = "安装程序", .width = 250, .height = 400, .left = 50, .top = 50,
                            .background = LightBlue, .controls = controls, .bindings = bindings};
    toolkit.registerExitCleanup([&] { probe.log("cleanup"); });
    if (!toolkit.load(window, probe)) return 2;
    toolkit.runMessageLoop();
    return 0;
}
