#include "support/TextFiles.h"

#include "support/ProgInfo.h"

#include <fstream>
#include <iterator>

// Windows lists through the C runtime, which keeps ANSI names intact and
// returns them in the file system's order.
#ifdef _WIN32
#include <io.h>
#else
#include <filesystem>
#include <system_error>
#endif

namespace {
std::string HostPath(std::string path)
{
#ifndef _WIN32
    for (char& c : path)
        if (c == '\\')
            c = '/';
#endif
    return path;
}
}  // namespace

bool HasExtension(const std::string& name, const std::string& extension)
{
    return name.size() > extension.size() &&
           LowerCase(name.substr(name.size() - extension.size())) == LowerCase(extension);
}

#ifdef _WIN32
std::vector<std::string> ListFiles(const std::string& folder, const std::string& extension)
{
    std::vector<std::string> names;
    _finddata_t found;
    const intptr_t search = _findfirst((folder + "*" + extension).c_str(), &found);
    if (search == -1)
        return names;
    do {
        // The pattern also matches longer extensions through their short names.
        if (!(found.attrib & _A_SUBDIR) && HasExtension(found.name, extension))
            names.push_back(found.name);
    } while (_findnext(search, &found) == 0);
    _findclose(search);
    return names;
}
#else
std::vector<std::string> ListFiles(const std::string& folder, const std::string& extension)
{
    std::vector<std::string> names;
    std::error_code error;
    std::filesystem::directory_iterator entries(HostPath(folder), error);
    for (; !error && entries != std::filesystem::directory_iterator(); entries.increment(error)) {
        const std::string name = entries->path().filename().string();
        if (entries->is_regular_file(error) && HasExtension(name, extension))
            names.push_back(name);
    }
    return names;
}
#endif

// A narrow name opens through the C runtime's ANSI calls on Windows.
std::optional<std::string> ReadFileBytes(const std::string& path)
{
    std::ifstream file(HostPath(path), std::ios::binary);
    if (!file)
        return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad())
        return std::nullopt;
    return bytes;
}

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}
