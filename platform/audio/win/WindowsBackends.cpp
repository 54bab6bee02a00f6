#include "platform/audio/win/WindowsBackends.h"

#include "platform/audio/core/Backends.h"
#include "platform/audio/win/AcmMp3Decoder.h"
#include "platform/audio/win/DirectSoundOutput.h"
#include "platform/audio/win/PluginFiles.h"
#include "platform/audio/win/SharedModeOutput.h"
#include "platform/audio/win/WinInetUrlSource.h"

#include <windows.h>

#include <algorithm>
#include <mutex>
#include <string>

namespace ovelaudio {
namespace {

// Shared-mode endpoints where the system has them (Vista on), DirectSound
// before: chosen at the first use, so the numbers stay for the whole run.
class SystemOutput final : public OutputBackend {
public:
    std::vector<DeviceEntry> Devices() override { return Chosen().Devices(); }
    std::unique_ptr<OutputDriver> Open(size_t index, uint32_t rate, void* window, RenderFn render, FailFn fail,
                                       int& error) override
    {
        return Chosen().Open(index, rate, window, std::move(render), std::move(fail), error);
    }

private:
    OutputBackend& Chosen()
    {
        std::call_once(chosen_, [this] {
            if (SharedModeAvailable())
                output_ = &sharedMode_;
        });
        return *output_;
    }

    std::once_flag chosen_;
    SharedModeOutput sharedMode_;
    DirectSoundOutput directSound_;
    OutputBackend* output_ = &directSound_;
};

// Through UTF-16 into the ANSI code page that the file functions take.
std::string AnsiName(const std::string& utf8)
{
    const int wide = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    if (wide <= 0)
        return utf8;
    std::wstring text(static_cast<size_t>(wide), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), wide);
    const int ansi = WideCharToMultiByte(CP_ACP, 0, text.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string name(static_cast<size_t>(std::max(ansi, 0)), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), wide, name.data(), ansi, nullptr, nullptr);
    return name;
}

}  // namespace

void RegisterWindowsBackends()
{
    static SystemOutput output;
    SetOutputBackend(&output);
    RegisterDecoder(OpenAcmMp3Decoder);
    SetUrlOpener(OpenWinInetUrl);
    SetPluginLoader(LoadPluginFile, FreePluginFile);
    SetUtf8Namer(AnsiName);
}

}  // namespace ovelaudio
