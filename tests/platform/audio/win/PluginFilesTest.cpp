// Plug-in files are loaded only when they carry our mark.

#include "platform/audio/win/PluginFiles.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

using ovelaudio::FreePluginFile;
using ovelaudio::LoadPluginFile;

const std::string kMarked = OVEL_PLUGIN_DIR "/MarkedPlugin.dll";
const std::string kUnmarked = OVEL_PLUGIN_DIR "/UnmarkedPlugin.dll";

bool Loaded(const std::string& file) { return GetModuleHandleA(file.c_str()) != nullptr; }

TEST(PluginFilesTest, LoadsAMarkedDllAndFreesItAgain)
{
    OvelPluginInitFn init = nullptr;
    const uintptr_t plugin = LoadPluginFile(kMarked, init);
    ASSERT_NE(plugin, 0u);
    EXPECT_TRUE(Loaded(kMarked));
    ASSERT_NE(init, nullptr);
    EXPECT_EQ(init()->version, OVEL_PLUGIN_VERSION);
    FreePluginFile(plugin);
    EXPECT_FALSE(Loaded(kMarked));
}

TEST(PluginFilesTest, RefusesMissingAndUnmarkedFilesWithoutKeepingThem)
{
    OvelPluginInitFn init = nullptr;
    EXPECT_EQ(LoadPluginFile(OVEL_PLUGIN_DIR "/NoSuchPlugin.dll", init), 0u);
    EXPECT_EQ(LoadPluginFile(kUnmarked, init), 0u);
    EXPECT_FALSE(Loaded(kUnmarked));
}

}  // namespace
