#include "player/engine/UserSounds.h"

#include "player/engine/BassErrorText.h"
#include "player/engine/LayerStreams.h"
#include "player/engine/SoundBanks.h"
#include "player/engine/UserFolders.h"
#include "support/ProgInfo.h"
#include "player/window/Scenes.h"
#include "support/Random.h"

#include <atomic>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <system_error>
#include <thread>

int NatureAuto = 0;
int MusicAuto = 0;
int MusicKind = mkNone;

namespace {

// A bad file or entry is skipped for another, up to this many tries a sound.
constexpr int kSoundTries = 5;
constexpr float kMusicHeight = 1.5f;
constexpr DWORD kPlaced = BASS_STREAM_AUTOFREE | BASS_SAMPLE_3D;
constexpr int kMonoShift = 1;

// The board's controls of one user-file layer.
struct TUserLayer {
    TLayerId Layer;
    TBoardControl Box;
    TBoardControl AutoBox;
    TBoardControl AutoLabel;
    TBoardControl Level;
    TBoardControl FolderLabel;
    const int& Auto;
};

const TUserLayer kNatureLayer{lyNature,
                              TBoardControl::NatureFolderCheckBox,
                              TBoardControl::NatureAutoAllocCheckBox,
                              TBoardControl::AutoNatureLabel,
                              TBoardControl::NatureFolderTrackBar,
                              TBoardControl::NatureFolderLabel,
                              NatureAuto};
const TUserLayer kMusicLayer{lyMusic,
                             TBoardControl::MusicFolderCheckBox,
                             TBoardControl::MusicAutoAllocCheckBox,
                             TBoardControl::AutoMusicLabel,
                             TBoardControl::MusicFolderTrackBar,
                             TBoardControl::MusicFolderLabel,
                             MusicAuto};

const TUserLayer& UserLayerOf(TLayerId layer) { return layer == lyMusic ? kMusicLayer : kNatureLayer; }

void RestoreFolderControls(const TUserLayer& user)
{
    TLayerBoard* board = LayerBoard();
    if (board == nullptr || !board->Checked(user.Box))
        return;
    board->HideControl(user.AutoLabel);
    board->ShowControl(user.AutoBox);
    board->EnableControl(user.Level);
    board->ShowControl(user.Level, !board->Checked(user.AutoBox));
}

void RestoreControlsOf(TLayerId layer)
{
    if (layer == lyMusic)
        RestoreMusicFolderControls();
    else
        RestoreNatureFolderControls();
}

struct TOpenResult {
    HSTREAM Handle = 0;
    bool Placed = false;
    std::string FailedName;  // the last that did not open
    int Error = BASS_OK;
};

// What the workers hand over, by request. Never destroyed: a worker still
// waiting for an address may finish while the program ends.
struct TOpenResults {
    std::mutex Mutex;
    std::map<DWORD, TOpenResult> ByRequest;
};
TOpenResults& Results()
{
    static auto* results = new TOpenResults;
    return *results;
}
std::atomic<int> RunningOpens{0};
std::atomic<DWORD> LastRequest{0};
// The request each layer waits for; 0 for none. GUI thread only.
std::array<DWORD, LayerSlotCount> PendingRequest{};

// On the worker: the first candidate that opens, as a mono stream placed in
// the space or a stereo one unplaced. With "Auto" every file is mono.
TOpenResult OpenFirst(const std::vector<TSoundSource>& candidates, DWORD flags, bool mono)
{
    TOpenResult result;
    for (const TSoundSource& candidate : candidates) {
        HSTREAM handle = OpenSoundSource(candidate, mono ? flags | BASS_SAMPLE_3D : flags);
        bool placed = mono;
        if (handle != 0 && !mono && StreamChannels(handle) == 1) {
            BASS_StreamFree(handle);
            handle = OpenSoundSource(candidate, flags | BASS_SAMPLE_3D);
            placed = true;
        }
        if (handle != 0) {
            result.Handle = handle;
            result.Placed = placed;
            return result;
        }
        result.FailedName = candidate.Name;
        result.Error = BASS_ErrorGetCode();
    }
    return result;
}

void StartOpen(TLayerId layer, std::vector<TSoundSource> candidates, DWORD flags, bool mono)
{
    const DWORD request = ++LastRequest;
    PendingRequest[layer] = request;
    ++RunningOpens;
    try {
        std::thread([layer, request, candidates = std::move(candidates), flags, mono] {
            TOpenResult result = OpenFirst(candidates, flags, mono);
            {
                std::lock_guard<std::mutex> lock(Results().Mutex);
                Results().ByRequest[request] = std::move(result);
            }
            PostLayerEvent(TLayerEvent::Opened, layer, request);
            --RunningOpens;
        }).detach();
    } catch (const std::system_error&) {
        // No worker: this sound is skipped, the layer is asked again later.
        --RunningOpens;
        PendingRequest[layer] = 0;
        RestoreControlsOf(layer);
    }
}

std::optional<TOpenResult> TakeResult(DWORD request)
{
    TOpenResults& results = Results();
    std::lock_guard<std::mutex> lock(results.Mutex);
    const auto found = results.ByRequest.find(request);
    if (found == results.ByRequest.end())
        return std::nullopt;
    TOpenResult result = std::move(found->second);
    results.ByRequest.erase(found);
    return result;
}

// The layer plays, waits for its bytes or for a worker.
bool UserLayerBusy(TLayerId layer) { return PendingRequest[layer] != 0 || LayerSounding(layer); }

bool DayScene() { return LayerBoard()->ItemIndex(TBoardControl::OvelComboBox) == kDayScene; }

// Up to five tries, each a listed file or an untried playlist entry; a
// playlist that names nothing (more) gives none.
std::vector<TSoundSource> DrawCandidates(std::string name, std::string (*pick)(int), int slot)
{
    std::vector<TSoundSource> candidates;
    std::set<std::string> tried;
    for (int attempt = 0; attempt < kSoundTries; ++attempt) {
        if (attempt > 0)
            name = pick(slot);
        if (name.empty())
            break;
        const std::optional<TSoundSource> source = PickPlaylistEntry(name, tried);
        if (source && tried.insert(source->Name).second)
            candidates.push_back(*source);
    }
    return candidates;
}

void PlayUserFile(const TUserLayer& user, std::string (*pick)(int), int slot)
{
    const std::string name = pick(slot);
    if (name.empty())
        return;
    LayerBoard()->HideControl(user.AutoBox);
    std::vector<TSoundSource> candidates = DrawCandidates(name, pick, slot);
    if (candidates.empty()) {
        RestoreControlsOf(user.Layer);
        return;
    }
    const DWORD flags = StreamFlags(BASS_STREAM_AUTOFREE | (static_cast<DWORD>(user.Auto) << kMonoShift));
    StartOpen(user.Layer, std::move(candidates), flags, user.Auto != 0);
}

TClipPosition MusicPosition()
{
    TClipPosition position = DrawPosition(prMusic);
    position.y = kMusicHeight;
    return position;
}

// The folder's label names the last file that did not open, until the folder
// plays without one.
void ShowFailure(const TUserLayer& user, const TOpenResult& result)
{
    const std::string hint =
        result.FailedName.empty() ? std::string() : result.FailedName + ": " + BassErrorText(result.Error, RussianUI);
    LayerBoard()->SetControlHint(user.FolderLabel, hint);
}

void PlayOpened(const TUserLayer& user, const TOpenResult& result)
{
    TLayerBoard* board = LayerBoard();
    const HSTREAM handle = result.Handle;
    LayerChannels[user.Layer] = handle;
    if (result.Placed) {
        board->HideControl(user.Level);
        board->ShowControl(user.AutoLabel);
        // Nature files stand where the day backgrounds do.
        PlaceStream(handle, user.Layer == lyMusic ? MusicPosition() : DrawPosition(prDayBackground));
        SetLayerEndSync(user.Layer, handle);
    } else {
        RestoreControlsOf(user.Layer);
        SetVolume(handle, PercentVolume(user.Level));
    }
    BASS_ChannelPlay(handle, kGoOn);
}

// Of the banks' music: the instrument's own bank, else its share of the older one.
std::optional<TClipChoice> OlderMusicClip(TBankId bank, bool second)
{
    const TSoundBank& older = SoundBanks[bank];
    if (!older.Present)
        return std::nullopt;
    const int first = second ? older.GroupCount2 : 0;
    const int count = second ? older.GroupCount3 : older.GroupCount2;
    if (count < 1)
        return std::nullopt;
    return TClipChoice{TVoiceGroup::Default, bank, static_cast<std::uint32_t>(first + Random(count))};
}

std::optional<TClipChoice> MusicClip(int kind)
{
    const TBankId own = kind == mkGuitar ? sbOvgu : kind == mkAccordion ? sbOvha : sbOvfl;
    if (std::optional<TClipChoice> clip = ChooseBankClip(SoundBanks, own))
        return clip;
    if (kind == mkFlute)
        return OlderMusicClip(sbOvmd, false);
    return OlderMusicClip(sbOvmn, kind == mkAccordion);
}

void PlayBankMusic(int kind)
{
    const std::optional<TClipChoice> clip = MusicClip(kind);
    if (!clip || clip->Entry >= SoundBanks[clip->Bank].TableEntries || !ReadLayerClip(lyMusic, *clip))
        return;
    HSTREAM handle = CreateClipStream(lyMusic, BASS_STREAM_AUTOFREE);
    if (StreamChannels(handle) == 1) {
        BASS_StreamFree(handle);
        handle = CreateClipStream(lyMusic, kPlaced);
        PlaceStream(handle, MusicPosition());
    }
    LayerChannels[lyMusic] = handle;
    BASS_ChannelPlay(handle, kGoOn);
}

struct TMusicSource {
    TBoardControl Box;
    TBoardControl Rarity;
};

int ChosenMusicKind()
{
    const TMusicSource sources[] = {
        {TBoardControl::GuitarCheckBox, TBoardControl::GuitarComboBox},
        {TBoardControl::HaCheckBox, TBoardControl::HaComboBox},
        {TBoardControl::FluteCheckBox, TBoardControl::FluteComboBox},
        {TBoardControl::MusicFolderCheckBox, TBoardControl::MusicFolderComboBox},
    };
    const TLayerBoard& board = *LayerBoard();
    for (int kind = mkGuitar; kind <= mkMusicFolder; ++kind) {
        const TMusicSource& source = sources[kind - mkGuitar];
        if (board.Checked(source.Box) && RarityChance(board.ItemIndex(source.Rarity)))
            return kind;
    }
    return mkNone;
}

void StopUserLayer(TLayerId layer)
{
    PendingRequest[layer] = 0;
    FreeLayer(layer);
}

}  // namespace

HSTREAM OpenSoundSource(const TSoundSource& source, DWORD flags)
{
    if (source.Url)
        return BASS_StreamCreateURL(source.Name.c_str(), 0, flags, nullptr, nullptr);
    return BASS_StreamCreateFile(0, source.Name.c_str(), 0, 0, flags);
}

void PlayNatureFolder(bool preview)
{
    TLayerBoard* board = LayerBoard();
    if (board == nullptr || NatureListBusy || UserLayerBusy(lyNature))
        return;
    if (!preview && !RarityChance(board->ItemIndex(TBoardControl::NatureFolderComboBox)))
        return;
    PlayUserFile(kNatureLayer, PickFileNameNature, DayScene() ? ufDayNature : ufNightNature);
}

void PlayMusic(int mode)
{
    if (LayerBoard() == nullptr || UserLayerBusy(lyMusic))
        return;
    const int kind = mode == 0 ? ChosenMusicKind() : mode;
    if (kind < mkGuitar || kind > mkMusicFolder)
        return;
    MusicKind = kind;
    if (kind == mkMusicFolder)
        PlayUserFile(kMusicLayer, PickFileNameMusic, DayScene() ? ufDayMusic : ufNightMusic);
    else
        PlayBankMusic(kind);
}

void RestoreMusicFolderControls() { RestoreFolderControls(kMusicLayer); }
void RestoreNatureFolderControls() { RestoreFolderControls(kNatureLayer); }

void StopNatureFolder() { StopUserLayer(lyNature); }

void StopMusicKind(int kind)
{
    if (MusicKind == kind)
        StopUserLayer(lyMusic);
}

void ForgetSoundOpens() { PendingRequest.fill(0); }

void FinishSoundOpen(TLayerId layer, DWORD request)
{
    const std::optional<TOpenResult> result = TakeResult(request);
    if (!result)
        return;
    // The layer stopped or moved on while this one opened.
    if (PendingRequest[layer] != request || LayerBoard() == nullptr) {
        if (result->Handle != 0)
            BASS_StreamFree(result->Handle);
        return;
    }
    PendingRequest[layer] = 0;
    const TUserLayer& user = UserLayerOf(layer);
    ShowFailure(user, *result);
    if (result->Handle == 0) {
        RestoreControlsOf(layer);
        return;
    }
    PlayOpened(user, *result);
}

int SoundOpensRunning() { return RunningOpens.load(); }
