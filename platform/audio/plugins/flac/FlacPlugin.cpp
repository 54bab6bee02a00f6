#include "platform/audio/plugins/flac/FlacPlugin.h"

#include "platform/audio/plugins/BlockStream.h"
#include "platform/audio/plugins/flac/FlacDecoder.h"

namespace ovelflac {

const OvelPluginTable* FlacPluginTable() { return ovelplugin::TableOf<ovelplugin::OpenDecoderStream<FlacDecoder>>(); }

}  // namespace ovelflac
