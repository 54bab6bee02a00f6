// Hosts without the system's tables convert through iconv, as the C library
// ships it; upper case comes from its UTF-8 locale.
#include "platform/forms/Charsets.h"

#include <iconv.h>
#include <locale.h>
#include <wctype.h>

#include <algorithm>
#include <cerrno>

namespace {

constexpr const char* kUtf16 = "UTF-16LE";
constexpr char kStandIn = '?';
constexpr char16_t kWideStandIn = u'?';

std::string PageName(unsigned codePage) { return "CP" + std::to_string(codePage); }

// One conversion, a character the target lacks or a byte sequence the source
// does not know given as the stand-in.
template <typename Out>
Out Converted(const std::string& from, const std::string& to, const char* bytes, std::size_t size, std::size_t unit,
              Out standIn)
{
    Out out;
    const iconv_t converter = iconv_open(to.c_str(), from.c_str());
    if (converter == reinterpret_cast<iconv_t>(-1))
        return out;
    auto* in = const_cast<char*>(bytes);
    std::size_t inLeft = size;
    while (inLeft > 0) {
        char buffer[256];
        char* outPointer = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t result = iconv(converter, &in, &inLeft, &outPointer, &outLeft);
        out.append(reinterpret_cast<const typename Out::value_type*>(buffer),
                   (sizeof buffer - outLeft) / sizeof(typename Out::value_type));
        if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
            out += standIn;
            const std::size_t skipped = std::min(unit, inLeft);
            in += skipped;
            inLeft -= skipped;
        }
    }
    iconv_close(converter);
    return out;
}

}  // namespace

std::u16string ToUtf16(const std::string& text, unsigned codePage)
{
    return Converted(PageName(codePage), kUtf16, text.data(), text.size(), 1, std::u16string(1, kWideStandIn));
}

std::string FromUtf16(const std::u16string& text, unsigned codePage)
{
    return Converted(kUtf16, PageName(codePage), reinterpret_cast<const char*>(text.data()),
                     text.size() * sizeof(char16_t), sizeof(char16_t), std::string(1, kStandIn));
}

std::u16string UpperCase(const std::u16string& text)
{
    static const locale_t unicode = newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr);
    std::u16string upper = text;
    for (char16_t& unit : upper)
        unit = static_cast<char16_t>(towupper_l(static_cast<wint_t>(unit), unicode));
    return upper;
}
