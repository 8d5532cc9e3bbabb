// The window toolkit on a small description of its own: how the window is built (parents,
// places, stacking, visibility, styles), the created event, the progress bar's limits, how
// the kinds draw themselves, the picture button's states and the pointer shapes.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <map>

#include "platform/win32/Win32Toolkit.h"
#include "tests/win/ToolkitTestSupport.h"

namespace {

using namespace platform;
using namespace toolkit_test;
using platform::win32::Win32Toolkit;

constexpr Rgb Page = 0x1683C4, Light = 0x75B8EE, White = 0xFFFFFF, Yellow = 0xFFFF00;
constexpr Rgb NormalColour = 0xE00000, HotColour = 0x00C000, PressedColour = 0x0000E0;

struct Art {
    std::vector<uint8_t> normal = solidJpeg(40, 20, NormalColour);
    std::vector<uint8_t> hot = solidJpeg(40, 20, HotColour);
    std::vector<uint8_t> pressed = solidJpeg(40, 20, PressedColour);
    std::vector<uint8_t> halves = makeJpeg(32, 32, [](int x, int) -> Rgb { return x < 16 ? 0xF0F000 : 0x8000A0; });
    std::vector<uint8_t> icon = makeIconFile({{48, 0x20A020}});
};

const Art& art() {
    static const Art pictures;
    return pictures;
}

Bytes bytes(const std::vector<uint8_t>& v) { return Bytes(v.data(), v.size()); }

// Every kind, with parents coming after their children as the installer's description has them.
std::vector<ControlDesc> sampleControls() {
    return {
        {.name = "label", .kind = ControlKind::Label, .parent = "pageA", .left = 10, .top = 10, .width = 60,
         .height = 20, .background = Page, .textColor = White, .text = "Label", .pointer = Pointer::Hand},
        {.name = "clear", .kind = ControlKind::TransparentLabel, .parent = "box", .left = 4, .top = 6, .width = 32,
         .height = 20, .textColor = Yellow, .font = FontSpec{.height = 12, .weight = 700}, .text = "",
         .pointer = Pointer::Hand},
        {.name = "button", .kind = ControlKind::PictureButton, .parent = "pageA", .left = 10, .top = 40, .width = 50,
         .height = 30, .normalPicture = bytes(art().normal), .hotPicture = bytes(art().hot),
         .pressedPicture = bytes(art().pressed)},
        {.name = "plain", .kind = ControlKind::PictureButton, .parent = "pageA", .left = 70, .top = 40, .width = 40,
         .height = 20, .normalPicture = bytes(art().normal), .hotPicture = bytes(art().hot)},
        {.name = "bar", .kind = ControlKind::ProgressBar, .parent = "pageA", .left = 10, .top = 80, .width = 100,
         .height = 8, .shown = false, .pointer = Pointer::Hand, .smooth = true, .staticEdge = true},
        {.name = "zip", .kind = ControlKind::ZipComponent, .parent = "box", .left = 2, .top = 2, .width = 10,
         .height = 10},
        {.name = "timer", .kind = ControlKind::Timer, .parent = nullptr, .left = 0, .top = 0, .width = 10,
         .height = 10, .interval = 0},
        {.name = "hidden", .kind = ControlKind::PictureBox, .parent = nullptr, .left = 5, .top = 5, .width = 24,
         .height = 24, .shown = false, .picture = bytes(art().icon)},
        {.name = "box", .kind = ControlKind::PictureBox, .parent = "pageA", .left = 120, .top = 40, .width = 64,
         .height = 32, .picture = bytes(art().halves), .pictureMode = PictureMode::Stretch},
        {.name = "pageA", .kind = ControlKind::PictureBox, .parent = nullptr, .left = 0, .top = 0, .width = 200,
         .height = 150, .background = Page, .border = true},
        {.name = "pageB", .kind = ControlKind::PictureBox, .parent = nullptr, .left = 0, .top = 0, .width = 300,
         .height = 150, .background = Light, .border = true},
    };
}

class Built {
    std::vector<ControlDesc> controls_;  // outlive the toolkit, which reads them to the end
    std::vector<Binding> bindings_;
    WindowDesc desc_;

public:
    explicit Built(std::vector<ControlDesc> controls = sampleControls(), std::vector<Binding> bindings = {})
        : controls_(std::move(controls)), bindings_(std::move(bindings)) {
        desc_ = WindowDesc{.caption = "Test window", .width = 200, .height = 150, .left = 50, .top = 50,
                           .background = Light, .controls = controls_, .bindings = bindings_};
        loaded = toolkit.load(desc_, sink);
    }
    HWND operator[](const char* name) const { return toolkit.controlWindow(name); }

    RecordingSink sink;
    Win32Toolkit toolkit;
    bool loaded = false;
};

Rgb fromColorRef(COLORREF c) { return GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c); }

class Toolkit : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(canCreateWindows()) << "no display: run the Windows tests under Xvfb";
        SetCursorPos(0, 0);  // out of the way of the centred window
    }
};

std::vector<HWND> childrenTopFirst(HWND parent) {
    std::vector<HWND> order;
    for (HWND w = GetWindow(parent, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) order.push_back(w);
    return order;
}

// --- building ------------------------------------------------------------------------

TEST_F(Toolkit, BuildsAFramelessCentredWindowWithItsOwnTaskbarButton) {
    Built built;
    ASSERT_TRUE(built.loaded);
    HWND w = built.toolkit.mainWindow();
    ASSERT_TRUE(IsWindow(w));
    EXPECT_TRUE(IsWindowVisible(w));
    const LONG_PTR style = GetWindowLongPtrA(w, GWL_STYLE), ex = GetWindowLongPtrA(w, GWL_EXSTYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_FALSE(style & (WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_BORDER));
    EXPECT_TRUE(ex & WS_EX_APPWINDOW);
    EXPECT_FALSE(ex & WS_EX_TOOLWINDOW);
    EXPECT_EQ(GetWindow(w, GW_OWNER), nullptr);
    char caption[64] = {};
    GetWindowTextA(w, caption, sizeof caption);
    EXPECT_STREQ(caption, "Test window");
    RECT r;
    GetWindowRect(w, &r);
    EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - 200) / 2);
    EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - 150) / 2);
    EXPECT_EQ(r.right - r.left, 200);
    EXPECT_EQ(r.bottom - r.top, 150);
    GetClientRect(w, &r);
    EXPECT_EQ(r.right, 200) << "the window has no frame, so its client area is the whole window";
    EXPECT_EQ(built.toolkit.id().value, w);
}

TEST_F(Toolkit, PutsEveryControlUnderItsParentAtItsPlace) {
    Built built;
    ASSERT_TRUE(built.loaded);
    HWND main = built.toolkit.mainWindow();
    for (const ControlDesc& c : sampleControls()) {
        SCOPED_TRACE(c.name);
        HWND w = built[c.name];
        ASSERT_TRUE(w);
        HWND parent = c.parent ? built[c.parent] : main;
        EXPECT_EQ(GetParent(w), parent);
        RECT r;
        GetWindowRect(w, &r);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r.left, c.left);
        EXPECT_EQ(r.top, c.top);
        EXPECT_EQ(r.right - r.left, c.width);
        EXPECT_EQ(r.bottom - r.top, c.height);
        const LONG_PTR style = GetWindowLongPtrA(w, GWL_STYLE);
        EXPECT_TRUE(style & WS_CLIPSIBLINGS);
        EXPECT_TRUE(style & WS_CHILD);
        EXPECT_FALSE(style & WS_TABSTOP);
    }
    for (const char* parent : {"pageA", "box"})
        EXPECT_TRUE(GetWindowLongPtrA(built[parent], GWL_STYLE) & WS_CLIPCHILDREN) << parent;
    // A single-line border: the client area starts one pixel inside.
    RECT client;
    GetClientRect(built["pageA"], &client);
    EXPECT_EQ(client.right, 198);
    EXPECT_EQ(client.bottom, 148);
    EXPECT_TRUE(GetWindowLongPtrA(built["pageA"], GWL_STYLE) & WS_BORDER);
    EXPECT_FALSE(GetWindowLongPtrA(built["box"], GWL_STYLE) & WS_BORDER);
}

TEST_F(Toolkit, StacksSiblingsInDescriptionOrder) {
    Built built;
    ASSERT_TRUE(built.loaded);
    std::map<HWND, std::vector<HWND>> expected;
    for (const ControlDesc& c : sampleControls())
        expected[c.parent ? built[c.parent] : built.toolkit.mainWindow()].push_back(built[c.name]);
    for (const auto& [parent, order] : expected) EXPECT_EQ(childrenTopFirst(parent), order);
}

TEST_F(Toolkit, ShowsOnlyShownVisualControls) {
    Built built;
    ASSERT_TRUE(built.loaded);
    const std::map<std::string, bool> shown = {{"label", true}, {"clear", true}, {"button", true}, {"plain", true},
                                               {"bar", false},  {"zip", false},  {"timer", false}, {"hidden", false},
                                               {"box", true},   {"pageA", true}, {"pageB", true}};
    for (const auto& [name, visible] : shown) {
        EXPECT_EQ(IsWindowVisible(built[name.c_str()]) != FALSE, visible) << name;
        EXPECT_EQ(built.toolkit.visible(name), visible) << name;
    }
    // A non-visual control stays hidden whatever is written.
    built.toolkit.setVisible("zip", true);
    EXPECT_FALSE(IsWindowVisible(built["zip"]));
    EXPECT_FALSE(built.toolkit.visible("zip"));
    built.toolkit.setVisible("bar", true);
    EXPECT_TRUE(IsWindowVisible(built["bar"]));
    EXPECT_TRUE(built.toolkit.visible("bar"));
}

TEST_F(Toolkit, CreatedEventRunsWhileTheWindowIsHiddenAndItsWritesHold) {
    const std::vector<Binding> bindings = {
        {.control = nullptr, .event = Event::Created, .handler = Handler::WindowCreated}};
    const std::vector<ControlDesc> controls = sampleControls();
    const WindowDesc desc{.caption = "Created", .width = 200, .height = 150, .background = Light,
                          .controls = controls, .bindings = bindings};
    RecordingSink sink;
    Win32Toolkit toolkit;
    bool windowVisible = true, controlsPlaced = false;
    sink.onEvent = [&](Handler, const EventArgs&) -> std::optional<bool> {
        windowVisible = IsWindowVisible(toolkit.mainWindow()) != FALSE;
        HWND label = toolkit.controlWindow("label");
        controlsPlaced = GetParent(label) == toolkit.controlWindow("pageA") &&
                         (GetWindowLongPtrA(label, GWL_STYLE) & WS_VISIBLE);
        toolkit.setWidth(180);
        toolkit.setHeight(140);
        toolkit.setTop(30);
        toolkit.setCaption("label", "set on creation");
        return std::nullopt;
    };
    ASSERT_TRUE(toolkit.load(desc, sink));
    ASSERT_EQ(sink.calls.size(), 1u);
    EXPECT_EQ(sink.calls[0].handler, Handler::WindowCreated);
    EXPECT_FALSE(windowVisible);
    EXPECT_TRUE(controlsPlaced) << "controls are placed and marked shown before the created event";
    RECT r;
    GetWindowRect(toolkit.mainWindow(), &r);
    EXPECT_EQ(r.top, 30);
    EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - 200) / 2) << "the left edge stays where it was";
    EXPECT_EQ(r.right - r.left, 180);
    EXPECT_EQ(r.bottom - r.top, 140);
    EXPECT_EQ(toolkit.caption("label"), "set on creation");
    char text[32] = {};
    GetWindowTextA(toolkit.controlWindow("label"), text, sizeof text);
    EXPECT_STREQ(text, "set on creation");
    EXPECT_TRUE(IsWindowVisible(toolkit.mainWindow()));
}

// --- the progress bar ----------------------------------------------------------------

struct ProgressCase {
    const char* name;
    int minimum, maximum;
    int written;
    int storedMaximum, storedPosition;
    int low, high, shown;  // the range the bar shows, and the position it shows
};

class ProgressLimits : public Toolkit, public testing::WithParamInterface<ProgressCase> {};

TEST_P(ProgressLimits, LimitsWhatIsWrittenAndShowsThePositionInsideTheRange) {
    const auto& c = GetParam();
    auto controls = sampleControls();
    for (auto& d : controls)
        if (std::string(d.name) == "bar") d.minimum = c.minimum, d.maximum = c.maximum, d.shown = true;
    Built built(controls);
    ASSERT_TRUE(built.loaded);
    built.toolkit.setProgressPosition("bar", c.written);
    EXPECT_EQ(built.toolkit.progressMaximum("bar"), c.storedMaximum);
    EXPECT_EQ(built.toolkit.progressPosition("bar"), c.storedPosition);
    HWND bar = built["bar"];
    PBRANGE range{};
    SendMessageA(bar, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(range.iLow, c.low);
    EXPECT_EQ(range.iHigh, c.high);
    EXPECT_EQ(static_cast<int>(SendMessageA(bar, PBM_GETPOS, 0, 0)), c.shown);
    EXPECT_TRUE(GetWindowLongPtrA(bar, GWL_STYLE) & PBS_SMOOTH);
    EXPECT_TRUE(GetWindowLongPtrA(bar, GWL_EXSTYLE) & WS_EX_STATICEDGE);
}

INSTANTIATE_TEST_SUITE_P(
    Writes, ProgressLimits,
    testing::Values(ProgressCase{"Inside", 0, 100, 42, 100, 42, 0, 100, 42},
                    ProgressCase{"Negative", 0, 100, -5, 100, 0, 0, 100, 0},
                    ProgressCase{"AboveTheMaximum", 0, 100, 500, 100, 500, 0, 100, 100},
                    ProgressCase{"AboveTheLimit", 0, 100, 40000, 100, 32767, 0, 100, 100},
                    ProgressCase{"LimitsOutOfBounds", -10, 50000, 40000, 32767, 32767, 0, 32767, 32767},
                    ProgressCase{"MinimumAboveMaximum", 80, 20, 50, 20, 50, 20, 80, 50},
                    ProgressCase{"BelowAReversedRange", 80, 20, 5, 20, 5, 20, 80, 20}),
    [](const auto& info) { return std::string(info.param.name); });

// --- drawing -------------------------------------------------------------------------

TEST_F(Toolkit, LabelFillsItsBackgroundAndDrawsItsTextInItsColour) {
    Built built;
    ASSERT_TRUE(built.loaded);
    Canvas canvas(60, 20);
    render(built["label"], canvas);
    EXPECT_EQ(canvas.pixel(59, 0), Page);
    EXPECT_EQ(canvas.pixel(59, 19), Page);
    EXPECT_TRUE(canvas.any(0, 0, 30, 20, [](Rgb c) { return c == White; })) << "the caption is drawn";
    EXPECT_FALSE(canvas.any(0, 0, 60, 3, [](Rgb c) { return c == White; })) << "vertically centred";
}

// Ink of the label's caption: columns holding the text colour.
int lastInkColumn(const Canvas& canvas, int width, int height) {
    for (int x = width - 1; x >= 0; --x)
        if (canvas.any(x, 0, x + 1, height, [](Rgb c) { return similar(c, White, 60); })) return x;
    return -1;
}

int textWidth(const char* text) {
    platform::win32::WindowDcScope screen(nullptr);
    platform::win32::SelectScope font(screen.dc(), GetStockObject(DEFAULT_GUI_FONT));
    SIZE size{};
    GetTextExtentPoint32A(screen.dc(), text, static_cast<int>(strlen(text)), &size);
    return size.cx;
}

TEST_F(Toolkit, CaptionShowsAmpersandsAsTheyAre) {
    Built built;
    ASSERT_TRUE(built.loaded);
    built.toolkit.setCaption("label", "&&&&");
    Canvas canvas(60, 20);
    render(built["label"], canvas);
    // As a prefix "&&&&" would read "&&": half as wide.
    const int ink = lastInkColumn(canvas, 60, 20) + 1;
    EXPECT_GT(ink, textWidth("&&&") - 1);
    EXPECT_LE(ink, textWidth("&&&&") + 1);
}

TEST_F(Toolkit, LongCaptionIsCutAtTheEdgeWithoutAnEllipsis) {
    Built built;
    ASSERT_TRUE(built.loaded);
    const std::string longText = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    // The longest start of the text that fits the 60-pixel label.
    std::string fits;
    while (textWidth((fits + longText[fits.size()]).c_str()) <= 58) fits += longText[fits.size()];
    ASSERT_GE(fits.size(), 3u);

    Canvas whole(80, 20, 0x000000), start(80, 20, 0x000000);
    built.toolkit.setCaption("label", longText);
    render(built["label"], whole);
    built.toolkit.setCaption("label", fits);
    render(built["label"], start);
    for (int x = 60; x < 80; ++x)
        for (int y = 0; y < 20; ++y) ASSERT_EQ(whole.pixel(x, y), 0u) << "drawn outside the label at " << x;
    const int fitWidth = textWidth(fits.c_str());
    for (int x = 0; x < fitWidth; ++x)
        for (int y = 0; y < 20; ++y)
            ASSERT_EQ(whole.pixel(x, y), start.pixel(x, y)) << "the text was shortened near column " << x;
}

TEST_F(Toolkit, TransparentLabelShowsItsParentThrough) {
    Built built;
    ASSERT_TRUE(built.loaded);
    Canvas parent(64, 32), label(32, 20);
    render(built["box"], parent);
    render(built["clear"], label);
    // "clear" sits at (4, 6) on "box" and spans both halves of its picture.
    EXPECT_TRUE(similar(parent.pixel(6, 16), 0xF0F000, 30)) << hex(parent.pixel(6, 16));
    EXPECT_TRUE(similar(parent.pixel(40, 16), 0x8000A0, 30)) << hex(parent.pixel(40, 16));
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 32; ++x)
            ASSERT_EQ(label.pixel(x, y), parent.pixel(x + 4, y + 6))
                << x << "," << y << ": " << hex(label.pixel(x, y)) << " over " << hex(parent.pixel(x + 4, y + 6));

    built.toolkit.setCaption("clear", "Ab");
    Canvas withText(32, 20);
    render(built["clear"], withText);
    EXPECT_TRUE(withText.any(0, 0, 32, 20, [](Rgb c) { return c == Yellow; })) << "the caption is drawn";
    EXPECT_EQ(withText.pixel(31, 0), parent.pixel(35, 6));
}

TEST_F(Toolkit, PictureBoxStretchesItsPictureOrShowsItsColour) {
    auto controls = sampleControls();
    controls.push_back({.name = "natural", .kind = ControlKind::PictureBox, .parent = "pageB", .left = 0, .top = 0,
                        .width = 48, .height = 40, .picture = bytes(art().halves), .pictureMode = PictureMode::Natural});
    Built built(controls);
    ASSERT_TRUE(built.loaded);
    Canvas stretched(64, 32);
    render(built["box"], stretched);
    EXPECT_TRUE(similar(stretched.pixel(62, 30), 0x8000A0, 30)) << "stretched over the whole box";

    Canvas natural(48, 40);
    render(built["natural"], natural);
    EXPECT_TRUE(similar(natural.pixel(4, 4), 0xF0F000, 30));
    EXPECT_TRUE(similar(natural.pixel(28, 28), 0x8000A0, 30));
    EXPECT_EQ(natural.pixel(40, 20), fromColorRef(GetSysColor(COLOR_BTNFACE)))
        << "beyond the picture: the system's button face";
    EXPECT_EQ(natural.pixel(10, 36), natural.pixel(40, 20));

    Canvas icon(24, 24);
    render(built["hidden"], icon);
    EXPECT_TRUE(similar(icon.pixel(12, 12), 0x20A020, 8)) << "an icon file, stretched to the box";

    Canvas page(198, 148);
    render(built["pageA"], page);
    EXPECT_EQ(page.pixel(190, 140), Page);
}

// --- the picture button --------------------------------------------------------------

LPARAM at(int x, int y) { return MAKELPARAM(x, y); }

enum class Step { MoveIn, MoveOut, MoveInHeld, MoveOutHeld, Press, ReleaseIn, ReleaseOut };

void send(HWND button, Step step) {
    switch (step) {
        case Step::MoveIn: SendMessageA(button, WM_MOUSEMOVE, 0, at(10, 10)); break;
        case Step::MoveOut: SendMessageA(button, WM_MOUSEMOVE, 0, at(-20, 10)); break;
        case Step::MoveInHeld: SendMessageA(button, WM_MOUSEMOVE, MK_LBUTTON, at(12, 10)); break;
        case Step::MoveOutHeld: SendMessageA(button, WM_MOUSEMOVE, MK_LBUTTON, at(-20, 10)); break;
        case Step::Press: SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, at(10, 10)); break;
        case Step::ReleaseIn: SendMessageA(button, WM_LBUTTONUP, 0, at(10, 10)); break;
        case Step::ReleaseOut: SendMessageA(button, WM_LBUTTONUP, 0, at(-20, 10)); break;
    }
}

struct ButtonCase {
    const char* name;
    const char* button;
    std::vector<Step> steps;
    Rgb shows;
    bool captured;
    int clicks;
};

class PictureButton : public Toolkit, public testing::WithParamInterface<ButtonCase> {};

TEST_P(PictureButton, ShowsThePictureOfItsStateAndClicksOnReleaseOverIt) {
    const auto& c = GetParam();
    Built built(sampleControls(), {{.control = c.button, .event = Event::Clicked, .handler = Handler::OnInstallClicked}});
    ASSERT_TRUE(built.loaded);
    HWND button = built[c.button];
    for (Step s : c.steps) send(button, s);
    Canvas canvas(40, 20);
    render(button, canvas);
    EXPECT_TRUE(similar(canvas.pixel(20, 10), c.shows)) << hex(canvas.pixel(20, 10));
    EXPECT_EQ(GetCapture() == button, c.captured);
    EXPECT_EQ(built.sink.count(Handler::OnInstallClicked), c.clicks);
    ReleaseCapture();
}

using enum Step;
INSTANTIATE_TEST_SUITE_P(
    States, PictureButton,
    testing::Values(ButtonCase{"AtRest", "button", {}, NormalColour, false, 0},
                    ButtonCase{"Hot", "button", {MoveIn}, HotColour, true, 0},
                    ButtonCase{"HotThenLeft", "button", {MoveIn, MoveOut}, NormalColour, false, 0},
                    ButtonCase{"Pressed", "button", {MoveIn, Press}, PressedColour, true, 0},
                    ButtonCase{"PressedWithoutAPressedPicture", "plain", {MoveIn, Press}, NormalColour, true, 0},
                    ButtonCase{"Clicked", "button", {MoveIn, Press, ReleaseIn}, NormalColour, false, 1},
                    ButtonCase{"StillAfterTheClick", "button", {MoveIn, Press, ReleaseIn, MoveIn}, NormalColour,
                               false, 1},
                    ButtonCase{"MovedAfterTheClick", "button", {MoveIn, Press, ReleaseIn, MoveInHeld, ReleaseIn,
                                                                MoveIn, MoveOut, MoveIn},
                               HotColour, true, 2},
                    ButtonCase{"HeldAndMovedOff", "button", {MoveIn, Press, MoveOutHeld}, NormalColour, true, 0},
                    ButtonCase{"ReleasedOff", "button", {MoveIn, Press, MoveOutHeld, ReleaseOut}, NormalColour, false,
                               0},
                    ButtonCase{"BackOnWhileHeld", "button", {MoveIn, Press, MoveOutHeld, MoveInHeld}, PressedColour,
                               true, 0},
                    ButtonCase{"BackOnAndReleased", "button", {Press, MoveOutHeld, MoveInHeld, ReleaseIn},
                               NormalColour, false, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Toolkit, PictureButtonDrawsAtNaturalSizeOnBlack) {
    Built built;
    ASSERT_TRUE(built.loaded);
    Canvas canvas(50, 30, 0xFFFFFF);
    render(built["button"], canvas);  // 50 x 30 with a 40 x 20 picture
    EXPECT_TRUE(similar(canvas.pixel(2, 2), NormalColour));
    EXPECT_TRUE(similar(canvas.pixel(37, 17), NormalColour));
    EXPECT_EQ(canvas.pixel(45, 5), 0u);
    EXPECT_EQ(canvas.pixel(5, 25), 0u);
}

TEST_F(Toolkit, WritingAPictureShowsTheOneTheStateCallsFor) {
    Built built;
    ASSERT_TRUE(built.loaded);
    HWND button = built["button"];
    const auto grey = solidJpeg(40, 20, 0x808080);
    send(button, Step::MoveIn);  // hot
    built.toolkit.setNormalPicture("button", bytes(grey));
    Canvas hot(40, 20);
    render(button, hot);
    EXPECT_TRUE(similar(hot.pixel(20, 10), HotColour)) << "still hot";
    built.toolkit.setHotPicture("button", bytes(grey));
    Canvas newHot(40, 20);
    render(button, newHot);
    EXPECT_TRUE(similar(newHot.pixel(20, 10), 0x808080)) << hex(newHot.pixel(20, 10));
    send(button, Step::MoveOut);
    Canvas rest(40, 20);
    render(button, rest);
    EXPECT_TRUE(similar(rest.pixel(20, 10), 0x808080)) << hex(rest.pixel(20, 10));
}

// --- events and pointer --------------------------------------------------------------

TEST_F(Toolkit, ButtonEventsCarryClientPointAndKeysAndOnlyFalseConsumes) {
    std::vector<Binding> bindings = {
        {.control = "button", .event = Event::LeftPressed, .handler = Handler::OnBackgroundPressed},
        {.control = "button", .event = Event::LeftReleased, .handler = Handler::OnCloseCrossReleased},
        {.control = "button", .event = Event::Clicked, .handler = Handler::OnInstallClicked},
        {.control = "label", .event = Event::LeftPressed, .handler = Handler::ChooseInstallLocation},
    };
    Built built(sampleControls(), bindings);
    ASSERT_TRUE(built.loaded);
    std::optional<bool> answer;
    built.sink.onEvent = [&](Handler h, const EventArgs&) { return h == Handler::OnInstallClicked ? std::nullopt : answer; };
    HWND button = built["button"];

    SendMessageA(built["label"], WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL | MK_SHIFT, at(7, 9));
    ASSERT_EQ(built.sink.calls.size(), 1u);
    EXPECT_EQ(built.sink.calls[0].handler, Handler::ChooseInstallLocation);
    EXPECT_EQ(built.sink.calls[0].args.x, 7);
    EXPECT_EQ(built.sink.calls[0].args.y, 9);
    EXPECT_EQ(built.sink.calls[0].args.keys, 3);

    // No answer and true let the button see the press and release: a click.
    for (std::optional<bool> a : {std::optional<bool>{}, std::optional<bool>{true}}) {
        answer = a;
        send(button, Step::Press);
        send(button, Step::ReleaseIn);
    }
    EXPECT_EQ(built.sink.count(Handler::OnInstallClicked), 2);
    // False consumes both: the button never knew it was pressed.
    answer = false;
    send(button, Step::Press);
    EXPECT_NE(GetCapture(), button);
    send(button, Step::ReleaseIn);
    EXPECT_EQ(built.sink.count(Handler::OnInstallClicked), 2);
    EXPECT_EQ(built.sink.count(Handler::OnBackgroundPressed), 3);
    EXPECT_EQ(built.sink.count(Handler::OnCloseCrossReleased), 3);
}

TEST_F(Toolkit, PointerIsAHandOnlyOverHandControls) {
    Built built;
    ASSERT_TRUE(built.loaded);
    const HCURSOR hand = LoadCursor(nullptr, IDC_HAND), arrow = LoadCursor(nullptr, IDC_ARROW);
    ASSERT_NE(hand, arrow);
    const std::map<std::string, HCURSOR> expected = {
        {"label", hand}, {"clear", hand}, {"bar", hand}, {"button", arrow}, {"box", arrow}, {"pageA", arrow}};
    for (const auto& [name, cursor] : expected) {
        HWND w = built[name.c_str()];
        SetCursor(nullptr);
        SendMessageA(w, WM_SETCURSOR, reinterpret_cast<WPARAM>(w), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(GetCursor(), cursor) << name;
    }
    HWND main = built.toolkit.mainWindow();
    SetCursor(nullptr);
    SendMessageA(main, WM_SETCURSOR, reinterpret_cast<WPARAM>(main), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), arrow);
}

TEST_F(Toolkit, CloseRequestDestroysTheWindowAndEndsTheLoopWithOneCleanup) {
    Built built;
    ASSERT_TRUE(built.loaded);
    int cleanups = 0;
    built.toolkit.registerExitCleanup([&] { ++cleanups; });
    PostMessageA(built.toolkit.mainWindow(), WM_CLOSE, 0, 0);
    built.toolkit.runMessageLoop();
    EXPECT_EQ(built.toolkit.mainWindow(), nullptr);
    EXPECT_EQ(built["label"], nullptr);
    EXPECT_EQ(cleanups, 1);
}

TEST_F(Toolkit, KeysThatDialogsUseDoNothing) {
    Built built;
    ASSERT_TRUE(built.loaded);
    HWND w = built.toolkit.mainWindow();
    for (WPARAM key : {VK_ESCAPE, VK_RETURN, VK_F1}) {
        SendMessageA(w, WM_KEYDOWN, key, 1);
        SendMessageA(w, WM_KEYUP, key, 0xC0000001);
    }
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    EXPECT_TRUE(IsWindow(w));
    EXPECT_TRUE(IsWindowVisible(w));
}

}  // namespace
