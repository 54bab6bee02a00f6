// The kernels for processors with SSE2: the build compiles this file alone with
// SSE2 arithmetic. Nothing here runs before the processor has been asked.

#include "platform/audio/core/KernelBodies.h"

namespace ovelaudio {

const KernelSet kSse2Kernels = {"SSE2", MixRamped, MixAnyShape, Resample};

}  // namespace ovelaudio
