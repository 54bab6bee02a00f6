#include "platform/audio/plugins/wma/WmaPluginWin.h"

#include "platform/audio/plugins/PluginStream.h"

#include <windows.h>

#include <mmreg.h>
#include <nserror.h>
#include <objidl.h>
#include <wmsdkidl.h>

#include <condition_variable>
#include <cstring>
#include <functional>
#include <mutex>
#include <thread>

namespace ovelwma {
namespace {

// Every ASF file starts with its header object's GUID.
constexpr uint8_t kAsfHeader[16] = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                    0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
constexpr GUID kAudioMajorType = {0x73647561, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
constexpr uint64_t kTimeUnitsPerSecond = 10000000;  // the runtime counts time in 100 ns
constexpr uint32_t kMaxChannels = 8;

using CreateSyncReaderFn = HRESULT(WINAPI*)(IUnknown*, DWORD, IWMSyncReader**);

template <typename T>
void Release(T*& object)
{
    if (object)
        object->Release();
    object = nullptr;
}

// The library's bytes as the COM stream the runtime reads.
class InputStream : public IStream {
public:
    explicit InputStream(const OvelPluginInput& input) : input_(input) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (iid == __uuidof(IUnknown) || iid == __uuidof(ISequentialStream) || iid == __uuidof(IStream)) {
            *out = static_cast<IStream*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }

    HRESULT STDMETHODCALLTYPE Read(void* out, ULONG bytes, ULONG* read) override
    {
        const size_t got = input_.read(input_.user, out, bytes);
        position_ += got;
        if (read)
            *read = static_cast<ULONG>(got);
        return got == bytes ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* now) override
    {
        int64_t base = 0;
        if (origin == STREAM_SEEK_CUR)
            base = static_cast<int64_t>(position_);
        else if (origin == STREAM_SEEK_END)
            base = static_cast<int64_t>(input_.size(input_.user));
        else if (origin != STREAM_SEEK_SET)
            return STG_E_INVALIDFUNCTION;
        const int64_t target = base + move.QuadPart;
        if (target < 0 || !input_.seek(input_.user, static_cast<uint64_t>(target)))
            return STG_E_INVALIDPOINTER;
        position_ = static_cast<uint64_t>(target);
        if (now)
            now->QuadPart = position_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD) override
    {
        std::memset(stat, 0, sizeof *stat);
        stat->type = STGTY_STREAM;
        stat->cbSize.QuadPart = input_.size(input_.user);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Write(const void*, ULONG, ULONG*) override { return STG_E_ACCESSDENIED; }
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return STG_E_ACCESSDENIED; }
    HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Revert() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Clone(IStream**) override { return E_NOTIMPL; }

private:
    virtual ~InputStream() = default;

    OvelPluginInput input_;
    uint64_t position_ = 0;
    LONG references_ = 1;
};

// Runs jobs one at a time on a thread of its own that joined the COM
// multithreaded apartment, so the runtime's objects live in one apartment
// whichever thread of the library calls.
class ComThread {
public:
    ComThread() : thread_([this] { Loop(); }) {}
    ~ComThread()
    {
        Run(nullptr);
        thread_.join();
    }
    ComThread(const ComThread&) = delete;
    ComThread& operator=(const ComThread&) = delete;

    // Null ends the thread.
    void Run(std::function<void()> job)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        job_ = std::move(job);
        pending_ = true;
        changed_.notify_all();
        changed_.wait(lock, [this] { return !pending_; });
    }

private:
    void Loop()
    {
        const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        for (;;) {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock, [this] { return pending_; });
            const bool last = !job_;
            if (job_)
                job_();
            pending_ = false;
            changed_.notify_all();
            if (last)
                break;
        }
        if (SUCCEEDED(com))
            CoUninitialize();
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::function<void()> job_;
    bool pending_ = false;
    std::thread thread_;
};

struct PcmFormat {
    uint32_t rate = 0;
    uint32_t channels = 0;
    uint32_t bits = 0;
    bool isFloat = false;

    uint32_t FrameBytes() const { return channels * bits / 8; }
};

float SampleAt(const uint8_t* p, const PcmFormat& format)
{
    switch (format.bits) {
        case 8:
            return (static_cast<float>(p[0]) - 128.0f) / 128.0f;
        case 16:
            return static_cast<float>(static_cast<int16_t>(p[0] | (p[1] << 8))) / 32768.0f;
        case 24:
            return static_cast<float>(static_cast<int32_t>((p[0] << 8) | (p[1] << 16) | (uint32_t{p[2]} << 24))) /
                   2147483648.0f;
        default: {
            const uint32_t word = p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t{p[3]} << 24);
            if (format.isFloat) {
                float value;
                std::memcpy(&value, &word, sizeof value);
                return value;
            }
            return static_cast<float>(static_cast<int32_t>(word)) / 2147483648.0f;
        }
    }
}

class WmaStream : public ovelplugin::Stream {
public:
    ~WmaStream() override
    {
        com_.Run([this] {
            if (reader_)
                reader_->Close();
            Release(reader_);
            Release(input_);
            if (runtime_)
                FreeLibrary(runtime_);
        });
    }

    bool Open(const OvelPluginInput& input, OvelPluginFormat& format)
    {
        bool opened = false;
        com_.Run([&] { opened = OpenHere(input, format); });
        return opened;
    }

    size_t Read(float* out, size_t frames) override
    {
        size_t done = 0;
        com_.Run([&] {
            while (done < frames) {
                if (used_ == pending_.size() && !NextSample())
                    break;
                const size_t take = std::min(frames - done, (pending_.size() - used_) / format_.FrameBytes());
                const uint32_t sampleBytes = format_.bits / 8;
                const size_t samples = take * format_.channels;
                for (size_t i = 0; i < samples; ++i)
                    out[done * format_.channels + i] = SampleAt(pending_.data() + used_ + i * sampleBytes, format_);
                used_ += take * format_.FrameBytes();
                done += take;
            }
        });
        return done;
    }

    bool Rewind() override
    {
        bool ok = false;
        com_.Run([&] {
            pending_.clear();
            used_ = 0;
            ok = SUCCEEDED(reader_->SetRange(0, 0));
        });
        return ok;
    }

private:
    bool OpenHere(const OvelPluginInput& input, OvelPluginFormat& format)
    {
        runtime_ = LoadLibraryA("wmvcore.dll");
        const auto create = runtime_ ? reinterpret_cast<CreateSyncReaderFn>(
                                           reinterpret_cast<void*>(GetProcAddress(runtime_, "WMCreateSyncReader")))
                                     : nullptr;
        if (!create || FAILED(create(nullptr, 0, &reader_)))
            return false;
        input_ = new InputStream(input);
        if (FAILED(reader_->OpenStream(input_)) || !FindAudio())
            return false;
        format.rate = format_.rate;
        format.channels = format_.channels;
        format.length_frames = LengthFrames();
        return true;
    }

    // The first audio output that the runtime gives as PCM we can take.
    bool FindAudio()
    {
        DWORD outputs = 0;
        if (FAILED(reader_->GetOutputCount(&outputs)))
            return false;
        for (DWORD output = 0; output < outputs; ++output) {
            if (AudioFormat(output) && SUCCEEDED(reader_->GetStreamNumberForOutput(output, &streamNumber_))) {
                reader_->SetReadStreamSamples(streamNumber_, FALSE);
                return true;
            }
        }
        return false;
    }

    bool AudioFormat(DWORD output)
    {
        IWMOutputMediaProps* props = nullptr;
        if (FAILED(reader_->GetOutputProps(output, &props)))
            return false;
        DWORD size = 0;
        std::vector<uint8_t> bytes;
        bool ok = SUCCEEDED(props->GetMediaType(nullptr, &size)) && size >= sizeof(WM_MEDIA_TYPE);
        if (ok) {
            bytes.resize(size);
            ok = SUCCEEDED(props->GetMediaType(reinterpret_cast<WM_MEDIA_TYPE*>(bytes.data()), &size));
        }
        Release(props);
        if (!ok)
            return false;
        const auto* type = reinterpret_cast<const WM_MEDIA_TYPE*>(bytes.data());
        if (type->majortype != kAudioMajorType || !type->pbFormat || type->cbFormat < sizeof(WAVEFORMATEX))
            return false;
        const auto* wave = reinterpret_cast<const WAVEFORMATEX*>(type->pbFormat);
        format_.rate = wave->nSamplesPerSec;
        format_.channels = wave->nChannels;
        format_.bits = wave->wBitsPerSample;
        format_.isFloat = wave->wFormatTag == WAVE_FORMAT_IEEE_FLOAT;
        const bool pcm = wave->wFormatTag == WAVE_FORMAT_PCM || wave->wFormatTag == WAVE_FORMAT_EXTENSIBLE;
        const bool width = format_.bits == 8 || format_.bits == 16 || format_.bits == 24 || format_.bits == 32;
        return (pcm || (format_.isFloat && format_.bits == 32)) && width && format_.channels >= 1 &&
               format_.channels <= kMaxChannels && format_.rate > 0;
    }

    uint64_t LengthFrames()
    {
        IWMHeaderInfo* header = nullptr;
        if (FAILED(reader_->QueryInterface(__uuidof(IWMHeaderInfo), reinterpret_cast<void**>(&header))))
            return UINT64_MAX;
        WORD stream = 0;
        WMT_ATTR_DATATYPE type{};
        QWORD duration = 0;
        WORD size = sizeof duration;
        const bool known = SUCCEEDED(header->GetAttributeByName(&stream, L"Duration", &type,
                                                                reinterpret_cast<BYTE*>(&duration), &size)) &&
                           type == WMT_TYPE_QWORD && duration > 0;
        Release(header);
        return known ? duration * format_.rate / kTimeUnitsPerSecond : UINT64_MAX;
    }

    // The next decoded sample of the stream into pending_; false at the end.
    bool NextSample()
    {
        INSSBuffer* buffer = nullptr;
        QWORD time = 0;
        QWORD duration = 0;
        DWORD flags = 0;
        DWORD output = 0;
        WORD stream = 0;
        if (FAILED(reader_->GetNextSample(streamNumber_, &buffer, &time, &duration, &flags, &output, &stream)))
            return false;
        BYTE* data = nullptr;
        DWORD length = 0;
        const bool ok = SUCCEEDED(buffer->GetBufferAndLength(&data, &length));
        const size_t whole = ok ? length - length % format_.FrameBytes() : 0;
        pending_.assign(data, data + whole);
        used_ = 0;
        Release(buffer);
        return true;
    }

    ComThread com_;
    HMODULE runtime_ = nullptr;
    IWMSyncReader* reader_ = nullptr;
    InputStream* input_ = nullptr;
    WORD streamNumber_ = 0;
    PcmFormat format_;
    std::vector<uint8_t> pending_;
    size_t used_ = 0;
};

bool IsAsf(const OvelPluginInput& input)
{
    uint8_t head[sizeof kAsfHeader];
    const bool read = input.read(input.user, head, sizeof head) == sizeof head;
    input.seek(input.user, 0);
    return read && std::memcmp(head, kAsfHeader, sizeof head) == 0;
}

std::unique_ptr<ovelplugin::Stream> OpenWma(const OvelPluginInput& input, OvelPluginFormat& format)
{
    if (!IsAsf(input))
        return nullptr;
    auto stream = std::make_unique<WmaStream>();
    if (!stream->Open(input, format))
        return nullptr;
    return stream;
}

}  // namespace

const OvelPluginTable* WmaPluginTable() { return ovelplugin::TableOf<OpenWma>(); }

}  // namespace ovelwma
