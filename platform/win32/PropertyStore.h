#pragma once
// The properties of the window and its controls, shared between the main thread, which owns
// the window, and any thread that reads or writes them. One lock guards everything; it is held
// only while values are copied, never while a window is touched, so no thread ever waits for
// another one's window work.
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace platform::win32 {

class Picture;

// What a write changed, so the main thread knows what to apply.
namespace prop {
inline constexpr unsigned Caption = 1u << 0;
inline constexpr unsigned Visible = 1u << 1;
inline constexpr unsigned Progress = 1u << 2;
inline constexpr unsigned Pictures = 1u << 3;
inline constexpr unsigned Width = 1u << 4;
inline constexpr unsigned Height = 1u << 5;
inline constexpr unsigned Top = 1u << 6;
}  // namespace prop

struct ControlProperties {
    std::string caption;
    bool visible = false;
    int minimum = 0, maximum = 0, position = 0;
    std::shared_ptr<const Picture> picture, normal, hot, pressed, disabled;
};

struct WindowProperties {
    int width = 0, height = 0, top = 0;
};

class PropertyStore {
public:
    // Slots 0..n-1 are the controls in description order; slot n is the window itself.
    void reset(std::vector<ControlProperties> controls, WindowProperties window) {
        std::lock_guard lock(mutex_);
        controls_ = std::move(controls);
        window_ = window;
        pending_.assign(controls_.size() + 1, 0);
    }

    size_t windowSlot() const { return controls_.size(); }

    template <typename F>
    auto readControl(size_t slot, F&& read) const {
        std::lock_guard lock(mutex_);
        return read(static_cast<const ControlProperties&>(controls_[slot]));
    }

    template <typename F>
    auto readWindow(F&& read) const {
        std::lock_guard lock(mutex_);
        return read(static_cast<const WindowProperties&>(window_));
    }

    // Changes a control and, when `pending`, records what changed. True when nothing else was
    // pending for that slot: then exactly one apply request must be sent for it.
    template <typename F>
    bool writeControl(size_t slot, unsigned what, bool pending, F&& change) {
        std::lock_guard lock(mutex_);
        change(controls_[slot]);
        return mark(slot, what, pending);
    }

    template <typename F>
    bool writeWindow(unsigned what, bool pending, F&& change) {
        std::lock_guard lock(mutex_);
        change(window_);
        return mark(windowSlot(), what, pending);
    }

    // What was written to the slot since the last take; the slot then has nothing pending.
    unsigned takePending(size_t slot) {
        std::lock_guard lock(mutex_);
        unsigned what = pending_[slot];
        pending_[slot] = 0;
        return what;
    }

private:
    bool mark(size_t slot, unsigned what, bool pending) {
        if (!pending) return false;
        bool first = pending_[slot] == 0;
        pending_[slot] |= what;
        return first;
    }

    mutable std::mutex mutex_;
    std::vector<ControlProperties> controls_;
    WindowProperties window_;
    std::vector<unsigned> pending_;
};

}  // namespace platform::win32
