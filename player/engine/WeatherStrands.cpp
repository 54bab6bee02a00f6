#include "player/engine/WeatherStrands.h"

#include "platform/audio/bassmix.h"
#include "player/engine/LayerStreams.h"
#include "player/engine/RainPhases.h"
#include "player/engine/SoundBanks.h"
#include "player/engine/SpeakerMatrices.h"
#include "support/Random.h"

namespace {

constexpr DWORD kMixerRate = 44100;
constexpr int kPanChoices = 3;  // from the left, the middle or the right

struct TStrand {
    TLayerId Layer;
    TBankId Bank;
    int Group;      // 1 to 3
    bool Rain;      // rain fades in and loops; thunder plays once at full volume
    bool Restarts;  // a sounding strand takes a new clip; the others are left alone
};

constexpr TStrand kRain1{lyRain1, sbOvel, 1, true, false};
constexpr TStrand kRain2{lyRain2, sbOvel, 2, true, true};
constexpr TStrand kRain3{lyRain3, sbOvel, 3, true, true};
constexpr TStrand kStorm1{lyStorm1, sbOvrs, 1, false, false};
constexpr TStrand kStorm2{lyStorm2, sbOvrs, 2, false, false};
constexpr TLayerId kStrands[] = {lyRain1, lyRain2, lyRain3, lyStorm1, lyStorm2};
constexpr TLayerId kRainStrands[] = {lyRain1, lyRain2, lyRain3};

std::array<TChannelMatrix, LayerSlotCount> StrandMatrices{};

// Clips are numbered across the bank's groups.
bool ReadStrandClip(const TStrand& strand)
{
    const TSoundBank& bank = SoundBanks[strand.Bank];
    const std::uint32_t counts[] = {bank.GroupCount1, bank.GroupCount2, bank.GroupCount3};
    std::uint32_t first = 0;
    for (int group = 1; group < strand.Group; ++group)
        first += counts[group - 1];
    const std::uint32_t count = counts[strand.Group - 1];
    if (count == 0)
        return false;
    return ReadBankEntry(strand.Layer, strand.Bank,
                         first + static_cast<std::uint32_t>(Random(static_cast<int>(count))));
}

void FadeIn(HSTREAM mixer)
{
    const float pan = static_cast<float>(Random(kPanChoices) - 1);
    BASS_ChannelSetAttribute(mixer, BASS_ATTRIB_PAN, pan);
    if (pan != 0.0f)
        BASS_ChannelSlideAttribute(mixer, BASS_ATTRIB_PAN, 0.0f, kRainFade);
    SetVolume(mixer, 0.0f);
    BASS_ChannelSlideAttribute(mixer, BASS_ATTRIB_VOL, 1.0f, kRainFade);
}

void PlayStrand(const TStrand& strand)
{
    if (LayerPlaying(strand.Layer) && !strand.Restarts)
        return;
    // The old source and its mixer go before the buffer takes the new clip.
    ReleaseLayerStream(strand.Layer);
    if (!ReadStrandClip(strand))
        return;
    const TClipBuffer& clip = ClipBuffers[strand.Layer];
    const HSTREAM source =
        BASS_StreamCreateFile(kFromMemory, clip.Words.data(), 0, clip.Bytes, StreamFlags(BASS_STREAM_DECODE));
    if (source == 0)
        return;
    LayerChannels[strand.Layer] = source;
    const int channels = MixerChannels(SpeakerCount);
    const HSTREAM mixer =
        channels > 0 ? BASS_Mixer_StreamCreate(kMixerRate, static_cast<DWORD>(channels), StreamFlags(0)) : 0;
    // A source without a mixer would count as sounding for ever.
    if (mixer == 0) {
        ReleaseLayerStream(strand.Layer);
        return;
    }
    LayerMixers[strand.Layer] = mixer;
    TChannelMatrix& matrix = StrandMatrices[strand.Layer];
    SurroundMatrix(matrix, SpeakerCount);
    BASS_Mixer_StreamAddChannel(mixer, source, BASS_MIXER_MATRIX | BASS_STREAM_AUTOFREE);
    const std::vector<float> gains = SourceMatrix(matrix, channels, static_cast<int>(StreamChannels(source)));
    BASS_Mixer_ChannelSetMatrix(source, gains.data());
    if (strand.Rain) {
        FadeIn(mixer);
        BASS_ChannelFlags(source, BASS_SAMPLE_LOOP, BASS_SAMPLE_LOOP);
        SetLayerDeviceSync(strand.Layer, source);
    }
    BASS_ChannelPlay(mixer, kGoOn);
}

}  // namespace

void PlayRain1() { PlayStrand(kRain1); }
void PlayRain2() { PlayStrand(kRain2); }
void PlayRain3() { PlayStrand(kRain3); }
void PlayStorm1() { PlayStrand(kStorm1); }
void PlayStorm2() { PlayStrand(kStorm2); }

bool RainPlays() { return LayerPlaying(lyRain1); }

void FadeRainStrand(TLayerId strand, unsigned ms)
{
    if (LayerPlaying(strand))
        BASS_ChannelSlideAttribute(LayerChannels[strand], BASS_ATTRIB_VOL, 0.0f, ms);
}

void FadeRainStrands(unsigned ms)
{
    for (TLayerId strand : kRainStrands)
        FadeRainStrand(strand, ms);
}

void FreeWeatherStrands()
{
    for (TLayerId strand : kStrands)
        FreeLayer(strand);
}
