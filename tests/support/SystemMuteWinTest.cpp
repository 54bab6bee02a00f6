#include "support/SystemMute.h"

#include "support/WinVer.h"

#include <windows.h>
#include <endpointvolume.h>

#include <gtest/gtest.h>

#include <thread>

namespace {

constexpr BOOL kNoAnswer = -1;

// Wine keeps the mute state per interface object, so it is read back on the
// one the unit kept.
BOOL KeptEndpointMuted()
{
    BOOL muted = kNoAnswer;
    if (!EndpointVolume)
        ADD_FAILURE() << "no endpoint volume was kept";
    else
        EXPECT_HRESULT_SUCCEEDED(EndpointVolume->GetMute(&muted));
    return muted;
}

class SystemMuteWin : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_HRESULT_SUCCEEDED(CoInitialize(nullptr));
        VistaOrLater = true;
    }
    void TearDown() override
    {
        SystemMuteFinalization();
        EXPECT_EQ(EndpointVolume, nullptr);
        VistaOrLater = false;
        CoUninitialize();
    }
};

TEST_F(SystemMuteWin, MuteAndUnmuteTheDefaultEndpoint)
{
    MuteSystemSound();
    EXPECT_EQ(KeptEndpointMuted(), TRUE);
    UnmuteSystemSound();
    EXPECT_EQ(KeptEndpointMuted(), FALSE);
}

TEST_F(SystemMuteWin, EachUseFetchesTheEndpointAfresh)
{
    ASSERT_TRUE(GetEndpointVolume());
    IAudioEndpointVolume* first = EndpointVolume;
    first->AddRef();
    ASSERT_TRUE(GetEndpointVolume());
    EXPECT_NE(EndpointVolume, first);
    EXPECT_EQ(first->Release(), 0u) << "the unit let go of the previous interface";
}

TEST_F(SystemMuteWin, ThreadWithoutComStillMutes)
{
    BOOL muted = kNoAnswer;
    std::thread worker([&muted] {
        MuteSystemSound();
        muted = KeptEndpointMuted();
        UnmuteSystemSound();
        SystemMuteFinalization();
    });
    worker.join();
    EXPECT_EQ(muted, TRUE);
}

TEST_F(SystemMuteWin, BeforeVistaTheMixerIsUsed)
{
    VistaOrLater = false;
    MuteSystemSound();
    UnmuteSystemSound();
    EXPECT_EQ(EndpointVolume, nullptr) << "the endpoint volume is left alone";
}

}  // namespace
