#include "tools/bankmaker/synth/VoiceBanks.h"

#include "tools/bankmaker/synth/music/Instruments.h"
#include "tools/bankmaker/synth/voices/Flights.h"
#include "tools/bankmaker/synth/voices/Night.h"
#include "tools/bankmaker/synth/voices/Songbirds.h"
#include "tools/bankmaker/synth/voices/VoiceKit.h"
#include "tools/bankmaker/synth/voices/Woodland.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace {

constexpr int kBright = 44100;  // songbirds, insects, fly-bys: their highs matter
constexpr int kSoft = 22050;    // lower voices and the instruments
// Low Vorbis quality keeps the banks small; these sounds don't need more.
constexpr float kVorbisQuality = 0.0f;

// Some clips are stored as RIFF/WAVE rather than Vorbis, so the player's WAV
// path is used too: the shortest of each run of this many (short, as WAVE is
// large).
constexpr int kWavRun = 53;

// Far-off choruses among the day birds, heard in stereo: every 25th from the 13th.
constexpr int kChorusEvery = 25;
constexpr int kChorusFirst = 12;
// A stereo clip plays unplaced, with no distance to soften it: the far chorus
// is set below the near, placed birds.
constexpr Level kChorusLevel{kBirdLevel.rmsDb - 4.0, kBirdLevel.peakDb - 4.0};

// ovnb.3bs: owls in its first group, the other night voices in the second.
constexpr int kOwlClips = 35;

using Maker = Sound (*)(int index, int rate, Rng& rng);

struct BankPlan {
    const char* name;
    int count;
    int rate;
    Level level;
    bool rough;  // harsh voices that lose nothing in 8 bits: one clip is Wav8
    Maker make;
};

Sound Mono(int rate, Signal signal) { return MonoSound(rate, std::move(signal)); }

bool IsChorus(int index) { return index % kChorusEvery == kChorusFirst; }

Sound DayBird(int index, int rate, Rng& rng)
{
    if (IsChorus(index))
        return DistantChorus(rate, rng.Range(4.0, 6.0), rng);
    return Mono(rate, Sing(static_cast<Song>(index % static_cast<int>(Song::Count)), rate, rng));
}

Sound NightVoice(int index, int rate, Rng& rng)
{
    return Mono(rate, index < kOwlClips ? Owl(index, rate, rng) : NightCaller(index - kOwlClips, rate, rng));
}

// Adapters from the voice and instrument makers to a bank's clip maker.
template <Signal (*F)(int, int, Rng&)>
Sound Variant(int index, int rate, Rng& rng)
{
    return Mono(rate, F(index, rate, rng));
}

template <Signal (*F)(int, Rng&)>
Sound Piece(int, int rate, Rng& rng)
{
    return Mono(rate, F(rate, rng));
}

const BankPlan kPlans[] = {
    {"ovdw.cok", 191, kBright, kBirdLevel, false, DayBird},
    {"ovdc.3bs", 37, kSoft, kBirdLevel, true, Variant<Crow>},
    {"ovgh.cok", 23, kBright, kInsectLevel, false, Variant<Grasshopper>},
    {"ovwp.cok", 8, kSoft, kKnockLevel, true, Variant<Woodpecker>},
    {"ovcu.3bs", 5, kSoft, kBirdLevel, false, Variant<Cuckoo>},
    {"ovnb.3bs", kOwlClips + 59, kSoft, kBirdLevel, false, NightVoice},
    {"ovnw.3bs", 29, kSoft, kBirdLevel, true, Variant<Beast>},
    {"ovfr.cok", 24, kSoft, kBirdLevel, false, Variant<Frog>},
    {"ovng.cok", 22, kBright, kBirdLevel, false, Piece<Nightingale>},
    {"ovbf.cok", 7, kBright, kFlightLevel, false, BirdFlyBy},
    {"ovif.cok", 19, kBright, kFlightLevel, false, InsectFlyBy},
    {"ovgu.cok", 468, kSoft, kMusicLevel, false, Piece<GuitarPiece>},
    {"ovha.cok", 128, kSoft, kMusicLevel, false, Piece<AccordionPiece>},
    {"ovfl.cok", 85, kSoft, kMusicLevel, false, Piece<FlutePiece>},
};

Level LevelOf(const BankPlan& plan, int index)
{
    return plan.make == DayBird && IsChorus(index) ? kChorusLevel : plan.level;
}

const BankPlan& PlanOf(const std::string& name)
{
    for (const BankPlan& plan : kPlans) {
        if (name == plan.name)
            return plan;
    }
    throw std::invalid_argument("not a voice or music bank: " + name);
}

size_t Frames(const Sound& sound) { return sound.samples.size() / sound.channels; }

// Index of the shortest clip in first .. last-1 that is still Vorbis.
int ShortestVorbis(const std::vector<SynthClip>& clips, int first, int last)
{
    int best = -1;
    for (int i = first; i < last; ++i) {
        if (clips[i].encoding != ClipEncoding::Vorbis)
            continue;
        if (best < 0 || Frames(clips[i].sound) < Frames(clips[best].sound))
            best = i;
    }
    return best;
}

void ChooseEncodings(std::vector<SynthClip>& clips, bool rough)
{
    const int count = static_cast<int>(clips.size());
    for (int first = 0; first < count; first += kWavRun) {
        clips[ShortestVorbis(clips, first, std::min(count, first + kWavRun))].encoding = ClipEncoding::Wav16;
    }
    if (rough && count > 1)
        clips[ShortestVorbis(clips, 0, count)].encoding = ClipEncoding::Wav8;
}

}  // namespace

const std::vector<std::string>& VoiceBankNames()
{
    static const std::vector<std::string> names = [] {
        std::vector<std::string> out;
        for (const BankPlan& plan : kPlans)
            out.emplace_back(plan.name);
        return out;
    }();
    return names;
}

std::vector<SynthClip> VoiceBankClips(const std::string& bankFileName)
{
    const BankPlan& plan = PlanOf(bankFileName);
    std::vector<Sound> sounds = RenderAll(plan.count, [&](int index) {
        Rng rng(ClipSeed(plan.name, index));
        Sound sound = plan.make(index, plan.rate, rng);
        FinishClip(sound, LevelOf(plan, index));
        return sound;
    });
    std::vector<SynthClip> clips;
    for (Sound& sound : sounds)
        clips.push_back({std::move(sound), ClipEncoding::Vorbis, kVorbisQuality});
    ChooseEncodings(clips, plan.rough);
    return clips;
}
