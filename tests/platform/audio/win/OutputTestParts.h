#pragma once
// What the tests of the system's outputs share: a tone to render, the
// default device, and a failure seen from outside.

#include "platform/audio/core/Backends.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

// Index of the device listed as the default.
size_t DefaultIndex(const std::vector<ovelaudio::DeviceEntry>& devices);

// The tests' tone on the first channel only, rendered as an output asks.
class LeftTone {
public:
    explicit LeftTone(uint32_t channels) : channels_(channels) {}
    bool Render(float* out, uint32_t ahead, uint32_t frames);
    int Calls() const { return calls_; }

private:
    uint32_t channels_;
    uint64_t frame_ = 0;
    std::atomic<int> calls_{0};
};

// Opens an output over a device that misbehaves (render and fail as given);
// playing tells whether the device still plays.
using MisbehavingOutput =
    std::function<std::unique_ptr<ovelaudio::OutputDriver>(ovelaudio::RenderFn render, ovelaudio::FailFn fail)>;

// The device was halted when the failure was reported, the failure was
// reported once, and the output does not start again.
void ExpectReportedOnceAfterHalt(const MisbehavingOutput& open, const std::function<bool()>& playing);
