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
    const uintptr_t plugin = LoadPluginFile(kMarked);
    ASSERT_NE(plugin, 0u);
    EXPECT_TRUE(Loaded(kMarked));
    FreePluginFile(plugin);
    EXPECT_FALSE(Loaded(kMarked));
}

TEST(PluginFilesTest, RefusesMissingAndUnmarkedFilesWithoutKeepingThem)
{
    EXPECT_EQ(LoadPluginFile(OVEL_PLUGIN_DIR "/NoSuchPlugin.dll"), 0u);
    EXPECT_EQ(LoadPluginFile(kUnmarked), 0u);
    EXPECT_FALSE(Loaded(kUnmarked));
}

}  // namespace
