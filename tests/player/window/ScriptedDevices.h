#pragma once
// Output devices as a board test scripts them: they render nothing, so every
// layer's stream plays on; the last opened one can be made to fail.

#include "platform/audio/bass.h"
#include "platform/audio/core/Backends.h"
#include "tests/player/window/BoardFixture.h"

#include <gtest/gtest.h>

#include <mutex>
#include <thread>
#include <vector>

class TScriptedDevices : public ovelaudio::OutputBackend {
public:
    std::vector<ovelaudio::DeviceEntry> Devices() override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return devices_;
    }

    std::unique_ptr<ovelaudio::OutputDriver> Open(size_t index, uint32_t rate, void*, ovelaudio::RenderFn,
                                                  ovelaudio::FailFn fail, int& error) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (refuseOpen_) {
            error = BASS_ERROR_DEVICE;
            return nullptr;
        }
        opened_.push_back(index + 1);
        fail_ = std::move(fail);
        return std::make_unique<TSilentDriver>(rate);
    }

    void Set(std::vector<ovelaudio::DeviceEntry> devices)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        devices_ = std::move(devices);
    }
    void RefuseOpen(bool refuse)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        refuseOpen_ = refuse;
    }
    size_t Opens()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return opened_.size();
    }
    size_t LastOpened()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return opened_.empty() ? 0 : opened_.back();
    }
    // The open device stops working, reported from the output's own thread.
    void FailOpenDevice()
    {
        ovelaudio::FailFn fail;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            fail = fail_;
        }
        ASSERT_TRUE(fail);
        std::thread(fail).join();
    }

private:
    std::mutex mutex_;
    std::vector<ovelaudio::DeviceEntry> devices_;
    std::vector<size_t> opened_;
    ovelaudio::FailFn fail_;
    bool refuseOpen_ = false;
};
