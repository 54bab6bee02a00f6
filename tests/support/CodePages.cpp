#include "tests/support/CodePages.h"

#include <iconv.h>

namespace {

// Plain Big5 is what every code page 950 reads.
std::string IconvName(unsigned codePage) { return codePage == 950 ? "BIG5" : "CP" + std::to_string(codePage); }

std::optional<std::string> Converted(const std::string& text, const std::string& from, const std::string& to)
{
    const iconv_t converter = iconv_open(to.c_str(), from.c_str());
    if (converter == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    std::string in = text;
    std::string out(text.size() * 4 + 16, '\0');
    char* inPointer = in.data();
    char* outPointer = out.data();
    std::size_t inLeft = in.size();
    std::size_t outLeft = out.size();
    const std::size_t result = iconv(converter, &inPointer, &inLeft, &outPointer, &outLeft);
    iconv_close(converter);
    if (result == static_cast<std::size_t>(-1) || inLeft != 0)
        return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

}  // namespace

std::optional<std::string> CodePageToUtf8(const std::string& bytes, unsigned codePage)
{
    return Converted(bytes, IconvName(codePage), "UTF-8");
}

std::optional<std::string> Utf8ToCodePage(const std::string& text, unsigned codePage)
{
    return Converted(text, "UTF-8", IconvName(codePage));
}
