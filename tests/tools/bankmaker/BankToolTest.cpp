#include "tools/bankmaker/BankTool.h"

#include "tests/player/engine/BankFixtures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

namespace fs = std::filesystem;

class BankTool : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() /
               ("banktool-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Save(const std::string& name, const std::vector<std::uint8_t>& bytes)
    {
        const fs::path path = dir_ / name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path.string();
    }

    fs::path dir_;
};

BankClip ClipStartingWith(const std::string& magic, std::size_t size = 300)
{
    BankClip clip = TestClips(1, size).front();
    std::copy(magic.begin(), magic.end(), clip.bytes.begin());
    return clip;
}

std::vector<std::uint8_t> ReadFile(const fs::path& path)
{
    std::ifstream stream(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
}

TEST_F(BankTool, ExtensionsBySniffing)
{
    const struct {
        std::string bytes;
        const char* extension;
    } cases[] = {
        {"RIFF\x10\0\0\0WAVE", "wav"},
        {"OggS\0\2", "ogg"},
        {"ID3\3\0", "mp3"},
        {"\xFF\xFB\x90\x64", "mp3"},
        {"\xFF\xF3\x40", "mp3"},
        {"BM\x36\x10", "bmp"},
        {"\x89PNG\r\n", "png"},
        {"\xFF\xD8\xFF\xE0", "jpg"},
        {"GIF89a", "gif"},
        {std::string("\0\0\1\0\1\0", 6), "ico"},
        {"\xFF\x1F", "bin"},
        {"RIF", "bin"},
        {"", "bin"},
        {"hello", "bin"},
    };
    for (const auto& c : cases) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(c.bytes.data());
        EXPECT_EQ(ClipFileExtension(bytes, c.bytes.size()), c.extension) << c.bytes;
    }
}

TEST_F(BankTool, ExtractWritesEveryClipUnscrambledUnderItsType)
{
    const std::vector<BankClip> dayClips = {ClipStartingWith("OggS"), ClipStartingWith("RIFF"),
                                            ClipStartingWith("ID3", 301)};
    std::vector<BankClip> chimeClips = {ClipStartingWith("BM", 120), ClipStartingWith("RIFF", 333)};
    chimeClips[0].scrambled = false;
    const struct {
        const char* bank;
        std::vector<std::uint8_t> bytes;
        std::vector<BankClip> clips;
        std::vector<const char*> files;
    } cases[] = {
        {"ovda.3bs",
         WriteBank("ovda.3bs", 1, {0, 3, 0}, 0, dayClips),
         dayClips,
         {"ovda-000.ogg", "ovda-001.wav", "ovda-002.mp3"}},
        {"ovch.ics", WriteBank("ovch.ics", 1, {}, 1, chimeClips), chimeClips, {"ovch-000.bmp", "ovch-001.wav"}},
    };
    for (const auto& c : cases) {
        const std::string path = Save(c.bank, c.bytes);
        const fs::path out = dir_ / (std::string(c.bank) + "-clips");
        std::ostringstream said;
        std::ostringstream errors;
        ASSERT_EQ(ExtractBank(path, out.string(), said, errors), 0) << errors.str();
        ASSERT_EQ(static_cast<std::size_t>(std::distance(fs::directory_iterator(out), fs::directory_iterator())),
                  c.files.size());
        for (std::size_t i = 0; i < c.files.size(); ++i)
            EXPECT_EQ(ReadFile(out / c.files[i]), c.clips[i].bytes) << c.files[i];
    }
}

TEST_F(BankTool, ListShowsHeaderAndEntries)
{
    const std::vector<BankClip> clips = {ClipStartingWith("OggS", 200), ClipStartingWith("RIFF", 201)};
    const std::string path = Save("ovgh.cok", WriteBank("ovgh.cok", 6, {}, 2, clips));
    std::ostringstream out;
    std::ostringstream errors;
    EXPECT_EQ(ListBank(path, out, errors), 0);
    const std::string text = out.str();
    EXPECT_NE(text.find("ovgh.cok: revision 6, entry count 2, 2 entries, data start 23"), std::string::npos) << text;
    EXPECT_NE(text.find(": sound\n"), std::string::npos) << text;
    EXPECT_NE(text.find("  ogg\n"), std::string::npos) << text;
    EXPECT_NE(text.find("  wav\n"), std::string::npos) << text;
    EXPECT_EQ(errors.str(), "");
}

TEST_F(BankTool, DamagedOrUnknownBanksAreRefused)
{
    std::vector<std::uint8_t> appended = WriteBank("ovda.3bs", 1, {0, 1, 0}, 0, TestClips(1));
    appended.push_back(0);
    std::vector<std::uint8_t> otherVersion = WriteBank("ovdw.cok", 1, {}, 1, TestClips(1));
    otherVersion[BankLayout::kVersionPos] = 32;
    const struct {
        const char* name;
        std::vector<std::uint8_t> bytes;
        const char* listed;  // in the list output, or nothing for a refused name
    } cases[] = {
        {"ovda.3bs", appended, ": corrupt\n"},
        {"ovdw.cok", otherVersion, ": bad version\n"},
        {"forest.3bs", WriteBank("ovda.3bs", 1, {0, 1, 0}, 0, TestClips(1)), nullptr},
    };
    for (const auto& c : cases) {
        const std::string path = Save(c.name, c.bytes);
        std::ostringstream out;
        std::ostringstream errors;
        EXPECT_EQ(ListBank(path, out, errors), 1) << c.name;
        if (c.listed) {
            EXPECT_NE(out.str().find(c.listed), std::string::npos) << out.str();
        } else {
            EXPECT_NE(errors.str().find("not the name of a bank"), std::string::npos) << errors.str();
        }
        const fs::path target = dir_ / "never";
        EXPECT_EQ(ExtractBank(path, target.string(), out, errors), 1) << c.name;
        EXPECT_FALSE(fs::exists(target)) << c.name;
    }
    std::ostringstream out;
    std::ostringstream errors;
    EXPECT_EQ(ListBank((dir_ / "ovna.3bs").string(), out, errors), 1);
    EXPECT_NE(errors.str().find("cannot open"), std::string::npos);
}

}  // namespace
