#pragma once
// One owning-handle template: a move-only value that closes its handle exactly once.
#include <utility>

namespace platform {

// Close is a stateless callable type; Invalid is the value that means "no handle".
template <typename Handle, typename Close, Handle Invalid = Handle{}>
class Unique {
public:
    Unique() = default;
    explicit Unique(Handle h) : handle_(h) {}
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    Unique(Unique&& other) noexcept : handle_(other.release()) {}
    Unique& operator=(Unique&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~Unique() { reset(); }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != Invalid; }

    Handle release() { return std::exchange(handle_, Invalid); }
    void reset(Handle h = Invalid) {
        Handle old = std::exchange(handle_, h);
        if (old != Invalid) Close{}(old);
    }

private:
    Handle handle_ = Invalid;
};

}  // namespace platform
