#pragma once
// A system's output devices under the numbers they first got in this run:
// every listing asks the system again; a device that is gone stays listed
// without the enabled flag, one that comes back gets its old number.

#include "platform/audio/bass.h"
#include "platform/audio/core/Backends.h"

#include <algorithm>
#include <mutex>

namespace ovelaudio {

template <typename Key>
class ListedOutput : public OutputBackend {
public:
    struct Listed {
        Key key;
        DeviceEntry entry;
    };

    std::vector<DeviceEntry> Devices() final
    {
        std::lock_guard<std::mutex> lock(mutex_);
        Refresh();
        std::vector<DeviceEntry> entries;
        for (const Listed& device : known_)
            entries.push_back(device.entry);
        return entries;
    }

    std::unique_ptr<OutputDriver> Open(size_t index, uint32_t rate, void* window, RenderFn render, FailFn fail,
                                       int& error) final
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (known_.empty())
            Refresh();
        if (index >= known_.size() || !known_[index].entry.enabled) {
            error = BASS_ERROR_DEVICE;
            return nullptr;
        }
        return OpenDevice(known_[index].key, rate, window, std::move(render), std::move(fail), error);
    }

protected:
    // What the system lists now, each enabled.
    virtual std::vector<Listed> List() = 0;
    virtual std::unique_ptr<OutputDriver> OpenDevice(const Key& key, uint32_t rate, void* window, RenderFn render,
                                                     FailFn fail, int& error) = 0;

private:
    void Refresh()
    {
        const std::vector<Listed> present = List();
        for (Listed& device : known_)
            device.entry.enabled = device.entry.isDefault = false;
        for (const Listed& device : present) {
            auto known =
                std::find_if(known_.begin(), known_.end(), [&](const Listed& k) { return k.key == device.key; });
            if (known == known_.end())
                known_.push_back(device);
            else
                known->entry = device.entry;
        }
    }

    std::mutex mutex_;
    std::vector<Listed> known_;
};

}  // namespace ovelaudio
