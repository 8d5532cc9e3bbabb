#pragma once
// The window toolkit as the logic sees it: load the one window, run its loop, read and write
// control properties from any thread, and end the installer from any thread.
#include <functional>
#include <optional>
#include <string>

#include "platform/Types.h"
#include "platform/WindowDescription.h"

namespace platform {

// Control properties, addressed by control name. Every call works from any thread and
// takes effect on the window that the main thread owns, without waiting for the user.
class Window {
public:
    virtual ~Window() = default;
    virtual WindowId id() const = 0;

    virtual void setWidth(int width) = 0;
    virtual void setHeight(int height) = 0;
    virtual void setTop(int top) = 0;

    virtual std::string caption(const std::string& control) const = 0;
    virtual void setCaption(const std::string& control, const std::string& text) = 0;
    virtual bool visible(const std::string& control) const = 0;
    virtual void setVisible(const std::string& control, bool shown) = 0;

    virtual int progressMaximum(const std::string& control) const = 0;
    virtual int progressPosition(const std::string& control) const = 0;
    virtual void setProgressPosition(const std::string& control, int position) = 0;

    // A picture is a complete image file (JPEG or icon), decoded when assigned.
    virtual void setNormalPicture(const std::string& control, Bytes picture) = 0;
    virtual void setHotPicture(const std::string& control, Bytes picture) = 0;

    // Raises event number `eventNumber` of a non-visual component synchronously on the calling
    // thread, only while the component's window exists. Empty when nothing was called or the
    // handler gave no answer, or when the component's window was gone after the handler.
    virtual std::optional<bool> raiseComponentEvent(const std::string& control, int eventNumber,
                                                    int value) = 0;
};

class Toolkit {
public:
    virtual ~Toolkit() = default;
    // Builds the window hidden, raises its created event, then shows it. False when the window
    // cannot be loaded.
    virtual bool load(const WindowDesc& description, EventSink& sink) = 0;
    virtual Window& window() = 0;
    // Runs the message loop on the main thread until the window is gone.
    virtual void runMessageLoop() = 0;
    // Registered once; runs exactly once on the main thread when the installer ends.
    virtual void registerExitCleanup(std::function<void()> cleanup) = 0;
    // Ends the installer with exit code 0, from any thread: the main thread runs the exit
    // cleanup and ends the process. The real toolkit never returns from this call.
    virtual void endInstaller() = 0;
};

}  // namespace platform
