// Progress events of the long pixel passes (filters, point effects, palettes, colour reduction).
// A pass raises InitProgress once, Progress after each column it has finished and Complete with the
// elapsed milliseconds. Nothing in the program listens, so the listener is a nullable pointer and a
// pass without one neither reads the clock nor calls anything.
#pragma once
#include <chrono>
#include <cstdint>

namespace plenvue {

class IProgressListener {
public:
    // lMax: byte offset of the last column the pass will process.
    virtual void InitProgress(int32_t lMax) = 0;
    // lPosition: byte offset of the column just finished.
    virtual void Progress(int32_t lPosition) = 0;
    // lTimeMs: milliseconds the pass took.
    virtual void Complete(int32_t lTimeMs) = 0;

protected:
    ~IProgressListener() = default;
};

// Millisecond counter that wraps at 32 bits, as the system's multimedia timer does.
inline uint32_t MillisecondTimer() {
    using namespace std::chrono;
    return static_cast<uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

// A class that raises progress events derives from this and passes Listener() to ProgressPass.
class ProgressEvents {
public:
    void SetProgressListener(IProgressListener* listener) { listener_ = listener; }
    IProgressListener* ProgressListener() const { return listener_; }

private:
    IProgressListener* listener_ = nullptr;
};

// One pass: InitProgress on construction, Step per finished column, Done at the successful end.
// A pass that throws never reaches Done, so no Complete is raised for it.
class ProgressPass {
public:
    ProgressPass(IProgressListener* listener, int32_t lMax) : listener_(listener) {
        if (listener_) {
            start_ = MillisecondTimer();
            listener_->InitProgress(lMax);
        }
    }
    bool Listening() const { return listener_ != nullptr; }
    void Step(int32_t lPosition) const {
        if (listener_) listener_->Progress(lPosition);
    }
    void Done() const {
        if (listener_) listener_->Complete(static_cast<int32_t>(MillisecondTimer() - start_));
    }

private:
    IProgressListener* listener_;
    uint32_t start_ = 0;
};

}  // namespace plenvue
