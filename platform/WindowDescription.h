#pragma once
// The data a window is built from: window settings, controls in description order, and the
// bindings of control events to the logic's handlers. The toolkit knows the kinds; the
// installer's own window is one value of these types (see ui/).
#include <cstdint>
#include <optional>
#include <span>

#include "platform/Types.h"

namespace platform {

enum class ControlKind {
    PictureBox,
    Label,
    TransparentLabel,
    PictureButton,
    ProgressBar,
    Timer,
    ZipComponent,  // non-visual: a hidden window that routes the extraction progress event
};

inline bool isNonVisual(ControlKind k) { return k == ControlKind::Timer || k == ControlKind::ZipComponent; }

enum class PictureMode { Stretch, Natural };
enum class Pointer { Arrow, Hand };

// A stored font; a control without one uses the system's default GUI font.
struct FontSpec {
    int height = 0;  // character height in pixels
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    const char* face = nullptr;  // nullptr: the platform's default face
};

struct ControlDesc {
    const char* name = "";
    ControlKind kind = ControlKind::PictureBox;
    const char* parent = nullptr;  // nullptr: the window itself
    int left = 0, top = 0, width = 0, height = 0;
    bool shown = true;
    std::optional<uint32_t> background = {};  // #RRGGBB; empty: the system's button face
    uint32_t textColor = 0xFFFFFF;
    std::optional<FontSpec> font = {};
    bool border = false;  // single-line border in the window-frame colour
    const char* text = "";
    Pointer pointer = Pointer::Arrow;
    // picture box
    Bytes picture = {};
    PictureMode pictureMode = PictureMode::Stretch;
    // picture button
    Bytes normalPicture = {}, hotPicture = {}, pressedPicture = {}, disabledPicture = {};
    // progress bar
    int minimum = 0, maximum = 100, position = 0;
    bool smooth = false, staticEdge = false;
    // timer
    int interval = 0;  // 0: stopped
};

enum class Event { Created, LeftPressed, LeftReleased, Clicked, ExtractProgress };

enum class Handler {
    WindowCreated,
    ChooseInstallLocation,
    OnInstallClicked,
    OnExtractProgress,
    OnCloseCrossReleased,
    OnExitButtonClicked,
    OnBackgroundPressed,
};

struct Binding {
    const char* control = nullptr;  // nullptr: the window
    Event event = Event::Created;
    Handler handler = Handler::WindowCreated;
};

struct WindowDesc {
    const char* caption = "";
    int width = 0, height = 0;
    int left = 0, top = 0;  // stored place; the window is centred instead
    uint32_t background = 0;
    std::span<const ControlDesc> controls;
    std::span<const Binding> bindings;
};

// What reaches a handler. Button events carry the pointer in client coordinates and the
// keys held (1 Ctrl, 2 Shift, 4 Alt); ExtractProgress carries its percentage in value.
struct EventArgs {
    int x = 0, y = 0, keys = 0;
    int value = 0;
};

// The logic's side of event dispatch. A result of false consumes a button message;
// an empty result (no answer) lets it through.
class EventSink {
public:
    virtual ~EventSink() = default;
    virtual std::optional<bool> handle(Handler handler, const EventArgs& args) = 0;
};

}  // namespace platform
