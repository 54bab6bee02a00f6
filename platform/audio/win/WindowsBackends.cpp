#include "platform/audio/win/WindowsBackends.h"

#include "platform/audio/core/Backends.h"
#include "platform/audio/win/AcmMp3Decoder.h"
#include "platform/audio/win/DirectSoundOutput.h"
#include "platform/audio/win/PluginFiles.h"
#include "platform/audio/win/WinInetUrlSource.h"

namespace ovelaudio {

void RegisterWindowsBackends()
{
    static DirectSoundOutput directSound;
    SetOutputBackend(&directSound);
    RegisterDecoder(OpenAcmMp3Decoder);
    SetUrlOpener(OpenWinInetUrl);
    SetPluginLoader(LoadPluginFile, FreePluginFile);
}

}  // namespace ovelaudio
