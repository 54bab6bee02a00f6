#include "player/engine/FlyBys.h"

#include "platform/audio/bassmix.h"
#include "player/engine/LayerStreams.h"
#include "player/engine/SoundBanks.h"
#include "player/engine/SpeakerMatrices.h"
#include "support/Random.h"

#include <optional>

namespace {

TChannelMatrix FlightMatrix{};

constexpr DWORD kMixerRate = 44100;
constexpr int kChanceSteps = 64;
constexpr int kChanceLeast = 37;
constexpr float kChanceScale = 10000.0f;

struct TFlightKind {
    TBankId Bank;
    TBoardControl Wanted;
    TBoardControl Rarity;
    TBoardControl Level;
};

constexpr TFlightKind kBirdFlight{sbOvbf, TBoardControl::Option3CheckBox, TBoardControl::NFBComboBox,
                                  TBoardControl::NFBTrackBar};
constexpr TFlightKind kInsectFlight{sbOvif, TBoardControl::Option7CheckBox, TBoardControl::NFIComboBox,
                                    TBoardControl::NFITrackBar};

bool Wanted(const TLayerBoard& board, const TFlightKind& kind)
{
    return board.Checked(kind.Wanted) && RarityChance(board.ItemIndex(kind.Rarity));
}

const TFlightKind* ChosenKind(int mode, const TLayerBoard& board)
{
    switch (mode) {
        case fmChance:
            if (Wanted(board, kBirdFlight))
                return &kBirdFlight;
            return Wanted(board, kInsectFlight) ? &kInsectFlight : nullptr;
        case fmBird:
            return &kBirdFlight;
        case fmInsect:
            return &kInsectFlight;
        default:
            return nullptr;
    }
}

template <std::size_t N>
bool ReadOlderFlight(const std::array<std::uint32_t, N>& clips)
{
    const std::uint32_t entry = clips[Random(static_cast<int>(N))];
    return ReadBankEntry(lyFlight, sbOvdf, entry);
}

bool ReadFlightClip(const TFlightKind& kind)
{
    if (const std::optional<TClipChoice> choice = ChooseBankClip(SoundBanks, kind.Bank))
        return ReadLayerClip(lyFlight, *choice);
    return &kind == &kBirdFlight ? ReadOlderFlight(FlightBirdClips) : ReadOlderFlight(FlightInsectClips);
}

}  // namespace

float FlightVolume(bool preview, int position)
{
    if (preview)
        return static_cast<float>(position) / kPercent;
    return static_cast<float>((Random(kChanceSteps) + kChanceLeast) * position) / kChanceScale;
}

void PlayFlight(int mode)
{
    TLayerBoard* board = LayerBoard();
    if (board == nullptr || LayerPlaying(lyFlight))
        return;
    // A stopped fly-by would keep its mixer waiting for it for ever.
    ReleaseLayerStream(lyFlight);
    const TFlightKind* kind = ChosenKind(mode, *board);
    if (kind == nullptr || !ReadFlightClip(*kind))
        return;
    const float volume = FlightVolume(mode != fmChance, board->Position(kind->Level));
    const TClipBuffer& clip = ClipBuffers[lyFlight];
    const HSTREAM source =
        BASS_StreamCreateFile(kFromMemory, clip.Words.data(), 0, clip.Bytes, SoftwareFlag() | BASS_STREAM_DECODE);
    if (source == 0)
        return;
    LayerChannels[lyFlight] = source;
    SetVolume(source, volume);
    const int channels = MixerChannels(SpeakerCount);
    const HSTREAM mixer = channels > 0 ? BASS_Mixer_StreamCreate(kMixerRate, static_cast<DWORD>(channels),
                                                                 StreamFlags(BASS_STREAM_AUTOFREE | BASS_MIXER_END))
                                       : 0;
    if (mixer == 0) {
        ReleaseLayerStream(lyFlight);
        return;
    }
    LayerMixers[lyFlight] = mixer;
    PickSpeakerMatrix(FlightMatrix, SpeakerCount);
    BASS_Mixer_StreamAddChannel(mixer, source, BASS_MIXER_MATRIX | BASS_STREAM_AUTOFREE);
    const std::vector<float> gains = SourceMatrix(FlightMatrix, channels, static_cast<int>(StreamChannels(source)));
    BASS_Mixer_ChannelSetMatrix(source, gains.data());
    BASS_ChannelPlay(mixer, kGoOn);
}
