#pragma once
// The mixing stage's inner loops: mixing through gain matrices and filtering
// for rate conversion. They are compiled twice, once for any x86 processor and
// once for SSE2, which the 32-bit build may not take for granted; the copy the
// processor can run is chosen once, at the first use.

#include "platform/audio/core/Limits.h"

namespace ovelaudio {

// Rate conversion's fixed point: frames in 32.32, the fraction's top bits
// picking one of the filter's phases and the rest blending it with the next.
constexpr int kFractionBits = 32;
constexpr int kPhaseBits = 7;
constexpr uint32_t kPhases = uint32_t{1} << kPhaseBits;
// The filters' taps come in whole vectors of this many samples.
constexpr size_t kLanes = 4;
// Frames past the last one it needs that a filter kernel may read: its
// buffer must have room for them, whatever they hold.
constexpr size_t kKernelSpareFrames = 32;

// What a rate-conversion kernel reads: the buffered source frames, the table of
// the filter's phases and where the first output frame stands.
struct ResampleJob {
    const float* input;  // interleaved source frames
    const float* table;  // kPhases + 1 rows of taps * channels coefficients
    float* blended;      // room for one row
    size_t taps;         // a multiple of kLanes
    uint32_t channels;
    uint64_t position;  // the first output frame's first tap, frames into input in 32.32
    uint64_t step;      // source frames per output frame, 32.32
    bool doubleRate;    // the output rate is exactly twice the source's
};

struct KernelSet {
    const char* name;
    // Adds in (inputs interleaved) into out (outputs interleaved) through gains
    // [output * kMaxChannels + input] moving linearly from `from` to `to` over
    // the frames. Inputs from `used` on have no gain at either end.
    void (*mixRamped)(const float* in, uint32_t inputs, float* out, uint32_t outputs, size_t frames, const float* from,
                      const float* to, uint32_t used);
    // mixRamped for any shape, one pair of output and input at a time: the
    // same sums in the same order, so the two agree to the bit.
    void (*mixAnyShape)(const float* in, uint32_t inputs, float* out, uint32_t outputs, size_t frames,
                        const float* from, const float* to);
    // Writes count output frames of the job.
    void (*resample)(const ResampleJob& job, float* out, size_t count);
};

extern const KernelSet kPortableKernels;
extern const KernelSet kSse2Kernels;

// The SSE2 copy where the processor has SSE2, else the portable one.
const KernelSet& ChosenKernels();

}  // namespace ovelaudio
