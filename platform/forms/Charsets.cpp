#include "platform/forms/Charsets.h"

#include <algorithm>
#include <iterator>

namespace {

struct TCharsetPage {
    int Charset;
    unsigned CodePage;
};

// The OEM set stands for the Western page: the English module is written in it.
constexpr TCharsetPage kCharsetPages[] = {
    {kAnsiCharset, 1252}, {77, 10000}, {128, 932},  {129, 949},  {130, 1361},         {134, 936},
    {136, 950},           {161, 1253}, {162, 1254}, {163, 1258}, {177, 1255},         {178, 1256},
    {186, 1257},          {204, 1251}, {222, 874},  {238, 1250}, {kOemCharset, 1252},
};

struct TByteRange {
    unsigned char First;
    unsigned char Last;
};

struct TLeadBytes {
    unsigned CodePage;
    TByteRange Ranges[3];
};

// Lead bytes of the double-byte pages; an unused range is empty (First > Last).
constexpr TLeadBytes kLeadBytes[] = {
    {932, {{0x81, 0x9F}, {0xE0, 0xFC}, {1, 0}}},
    {936, {{0x81, 0xFE}, {1, 0}, {1, 0}}},
    {949, {{0x81, 0xFE}, {1, 0}, {1, 0}}},
    {950, {{0x81, 0xFE}, {1, 0}, {1, 0}}},
    {1361, {{0x84, 0xD3}, {0xD8, 0xDE}, {0xE0, 0xF9}}},
};

// Bytes of the character that begins at position.
std::size_t CharacterLength(const std::string& text, std::size_t position, unsigned codePage)
{
    const bool pair = IsLeadByte(codePage, static_cast<unsigned char>(text[position])) && position + 1 < text.size();
    return pair ? 2 : 1;
}

}  // namespace

unsigned CharsetCodePage(int charset, unsigned systemCodePage)
{
    const auto found = std::find_if(std::begin(kCharsetPages), std::end(kCharsetPages),
                                    [charset](const TCharsetPage& row) { return row.Charset == charset; });
    return found != std::end(kCharsetPages) ? found->CodePage : systemCodePage;
}

bool IsLeadByte(unsigned codePage, unsigned char byte)
{
    const auto found = std::find_if(std::begin(kLeadBytes), std::end(kLeadBytes),
                                    [codePage](const TLeadBytes& row) { return row.CodePage == codePage; });
    if (found == std::end(kLeadBytes))
        return false;
    return std::any_of(std::begin(found->Ranges), std::end(found->Ranges),
                       [byte](const TByteRange& range) { return byte >= range.First && byte <= range.Last; });
}

std::size_t CharacterCount(const std::string& text, unsigned codePage)
{
    std::size_t count = 0;
    for (std::size_t position = 0; position < text.size(); position += CharacterLength(text, position, codePage))
        ++count;
    return count;
}

std::string FirstCharacters(const std::string& text, std::size_t count, unsigned codePage)
{
    std::size_t position = 0;
    for (std::size_t taken = 0; taken < count && position < text.size(); ++taken)
        position += CharacterLength(text, position, codePage);
    return text.substr(0, position);
}
