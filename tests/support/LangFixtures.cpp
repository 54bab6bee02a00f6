#include "tests/support/LangFixtures.h"

#include "support/LangUnit.h"
#include "support/ProgInfo.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#ifdef _WIN32
#include <process.h>
#define OVEL_PROCESS_ID _getpid
#else
#include <unistd.h>
#define OVEL_PROCESS_ID getpid
#endif

namespace fs = std::filesystem;

namespace {

// Each test process has a folder of its own, removed when it ends.
struct ProcessFolder {
    fs::path root = fs::temp_directory_path() / ("ovel-lang-" + std::to_string(OVEL_PROCESS_ID()));
    int made = 0;
    ~ProcessFolder()
    {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
};

ProcessFolder& Folders()
{
    static ProcessFolder folders;
    return folders;
}

std::string ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

bool IsDefaultModule(const std::string& name)
{
    const std::string lower = LowerCase(name);
    return lower == "english.lng" || lower == "russian.lng";
}

// The keys of the module's entry lines, lower-cased.
std::set<std::string> EntryKeys(const std::string& bytes)
{
    std::set<std::string> keys;
    for (std::size_t start = 0; start < bytes.size();) {
        std::size_t end = bytes.find('\n', start);
        end = end == std::string::npos ? bytes.size() : end;
        if (bytes[start] == '[')
            keys.insert(LowerCase(bytes.substr(start + 1, bytes.find(']', start) - start - 1)));
        start = end + 1;
    }
    return keys;
}

// Entries for the keys the module lacks go before its own text, which keeps
// its last entry at the end of the file.
std::string Completed(const std::string& bytes)
{
    const std::set<std::string> present = EntryKeys(bytes);
    std::string filler;
    for (const std::string& key : ModuleKeys())
        if (!present.count(LowerCase(key)))
            filler += "[" + key + "]\r\n" + key + "\r\n\r\n";
    return filler + bytes;
}

}  // namespace

std::string FixtureProgramFolder(const std::string& fixture, const FixtureFiles& moreFiles)
{
    ProcessFolder& folders = Folders();
    const fs::path program = folders.root / std::to_string(++folders.made);
    const fs::path language = program / "language";
    fs::create_directories(language);
    for (const fs::directory_entry& file :
         fs::directory_iterator(fs::path(OVEL_TEST_DATA) / "lang" / fixture / "language")) {
        const std::string name = file.path().filename().string();
        const std::string bytes = ReadBytes(file.path());
        WriteBytes(language / name, IsDefaultModule(name) ? Completed(bytes) : bytes);
    }
    for (const auto& [name, bytes] : moreFiles)
        WriteBytes(language / name, bytes);
    return program.string() + "\\";
}
