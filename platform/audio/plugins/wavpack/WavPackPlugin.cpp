#include "platform/audio/plugins/wavpack/WavPackPlugin.h"

#include "platform/audio/plugins/BlockStream.h"
#include "platform/audio/plugins/wavpack/WavPackDecoder.h"

namespace ovelwavpack {

const OvelPluginTable* WavPackPluginTable()
{
    return ovelplugin::TableOf<ovelplugin::OpenDecoderStream<WavPackDecoder>>();
}

}  // namespace ovelwavpack
