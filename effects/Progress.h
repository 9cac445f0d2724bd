// Progress events of the long pixel passes. Nothing in the program listens; a pass holds a
// listener pointer that is null by default, so the events cost one test of a pointer.
#pragma once
#include <chrono>
#include <cstdint>

namespace plenvue {

struct ProgressListener {
    virtual void InitProgress(int32_t max) = 0;
    virtual void Progress(int32_t value) = 0;
    virtual void Complete(int32_t elapsedMs) = 0;

protected:
    ~ProgressListener() = default;
};

// Millisecond stopwatch for the Complete event; reads the clock only when someone listens.
class ProgressClock {
public:
    explicit ProgressClock(const ProgressListener* listener) {
        if (listener) start_ = std::chrono::steady_clock::now();
    }
    int32_t ElapsedMs() const {
        auto d = std::chrono::steady_clock::now() - start_;
        return static_cast<int32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(d).count());
    }

private:
    std::chrono::steady_clock::time_point start_{};
};

}  // namespace plenvue
