// An hour of an endless address stream (a radio sending 16-bit stereo WAVE),
// played through the no-sound device as fast as it mixes. Prints the
// process's resident memory every ten minutes of sound: a download that kept
// what it had played would grow by 635 MB an hour.

#include "platform/audio/bass.h"
#include "platform/audio/core/Backends.h"
#include "platform/audio/core/TestHooks.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kRate = 44100;
constexpr uint32_t kChannels = 2;
constexpr uint32_t kBits = 16;
constexpr uint32_t kMinutes = 60;
constexpr uint32_t kReportEvery = 10;  // minutes
constexpr uint32_t kPiece = 4096;      // frames mixed at a time
constexpr BOOL kGoOn = 0;              // play on from where the stream stands

void Put(std::vector<uint8_t>& bytes, uint32_t value, int width)
{
    for (int i = 0; i < width; ++i)
        bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// A header announcing all the data a WAVE file can hold.
std::vector<uint8_t> StreamHeader()
{
    std::vector<uint8_t> header;
    const uint32_t frameBytes = kChannels * kBits / 8;
    const auto tag = [&header](const char* text) { header.insert(header.end(), text, text + 4); };
    tag("RIFF");
    Put(header, UINT32_MAX, 4);
    tag("WAVE");
    tag("fmt ");
    Put(header, 16, 4);
    Put(header, 1, 2);
    Put(header, kChannels, 2);
    Put(header, kRate, 4);
    Put(header, kRate * frameBytes, 4);
    Put(header, frameBytes, 2);
    Put(header, kBits, 2);
    tag("data");
    Put(header, UINT32_MAX - 36, 4);
    return header;
}

// A second of a quiet 441 Hz tone, 16-bit stereo: the radio's programme.
std::vector<uint8_t> OneSecond()
{
    constexpr double kTwoPi = 6.283185307179586;
    constexpr double kLevel = 3000;
    std::vector<uint8_t> bytes;
    for (uint32_t frame = 0; frame < kRate; ++frame) {
        const auto sample = static_cast<int16_t>(kLevel * std::sin(kTwoPi * 441.0 * frame / kRate));
        for (uint32_t channel = 0; channel < kChannels; ++channel)
            Put(bytes, static_cast<uint16_t>(sample), 2);
    }
    return bytes;
}

// The radio: its header, then the same second for ever.
class Radio : public ovelaudio::ByteSource {
public:
    size_t Read(void* out, size_t bytes) override
    {
        auto* at = static_cast<uint8_t*>(out);
        for (size_t done = 0; done < bytes;) {
            const bool inHeader = sent_ < header_.size();
            const std::vector<uint8_t>& from = inHeader ? header_ : second_;
            const size_t offset = inHeader ? sent_ : (sent_ - header_.size()) % second_.size();
            const size_t take = std::min(bytes - done, from.size() - offset);
            std::memcpy(at + done, from.data() + offset, take);
            done += take;
            sent_ += take;
        }
        return bytes;
    }
    // A broadcast cannot be wound back.
    bool Seek(uint64_t position) override { return position == sent_; }
    uint64_t Size() const override { return UINT64_MAX; }
    bool Pending() const override { return true; }

private:
    const std::vector<uint8_t> header_ = StreamHeader();
    const std::vector<uint8_t> second_ = OneSecond();
    uint64_t sent_ = 0;
};

std::unique_ptr<ovelaudio::ByteSource> OpenRadio(const std::string&, uint32_t, int&)
{
    return std::make_unique<Radio>();
}

long ResidentKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return -1;
}

}  // namespace

int main()
{
    ovelaudio::testhooks::SetManualNoSound(true);
    ovelaudio::SetUrlOpener(OpenRadio);
    if (!BASS_Init(0, kRate, 0, nullptr, nullptr))
        return 1;
    const HSTREAM stream = BASS_StreamCreateURL("http://radio.test/endless", 0, 0, nullptr, nullptr);
    if (stream == 0 || !BASS_ChannelPlay(stream, kGoOn))
        return 1;
    const auto started = std::chrono::steady_clock::now();
    std::vector<float> mix(kPiece * kChannels);
    uint64_t sounding = 0;  // samples: a stalled download mixes silence
    std::printf("address stream, resident memory by minutes of sound:");
    const uint64_t framesPerReport = static_cast<uint64_t>(kRate) * 60 * kReportEvery;
    for (uint32_t minute = 0; minute <= kMinutes; minute += kReportEvery) {
        std::printf(" %u: %ld kB%s", minute, ResidentKb(), minute < kMinutes ? "," : "");
        std::fflush(stdout);
        for (uint64_t frames = 0; minute < kMinutes && frames < framesPerReport; frames += kPiece) {
            ovelaudio::testhooks::RenderNoSound(mix.data(), kPiece);
            sounding += std::count_if(mix.begin(), mix.end(), [](float sample) { return sample != 0.0f; });
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    const bool playing = BASS_ChannelIsActive(stream) == BASS_ACTIVE_PLAYING;
    const double heard = 100.0 * static_cast<double>(sounding) / (static_cast<double>(kRate) * 60 * kMinutes * kChannels);
    std::printf(" (mixed in %.0f s, %.0f %% of it sound, %s)\n", seconds, heard, playing ? "still playing" : "stopped");
    BASS_Free();
    return playing ? 0 : 1;
}
