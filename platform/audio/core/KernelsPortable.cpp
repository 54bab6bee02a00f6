// The kernels for any x86 processor: x87 arithmetic in the 32-bit build.

#include "platform/audio/core/KernelBodies.h"

namespace ovelaudio {

const KernelSet kPortableKernels = {"portable", MixRamped, MixAnyShape, Resample};

}  // namespace ovelaudio
