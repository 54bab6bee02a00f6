#include "player/settings/SettingsFile.h"

#include "support/ProgInfo.h"
#include "support/TextFiles.h"

#include <zlib.h>

#include <algorithm>

namespace {

constexpr std::uint32_t kChecksumBase = 2011;
constexpr std::size_t kWordSize = 4;
constexpr int kCompressionLevel = 9;
constexpr std::size_t kInflateChunk = 1024;

// Byte-order mark of UTF-16LE.
constexpr std::uint8_t kBom0 = 0xFF;
constexpr std::uint8_t kBom1 = 0xFE;
// What stands for a character outside ASCII when lines are compared.
constexpr char kOtherCharacter = '\x7f';

const char* const kExportHeaders[] = {"windows registry editor version 5.00", "regedit4"};

std::uint32_t LittleEndianWord(const std::uint8_t* bytes)
{
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

// Inflates the whole stream and nothing after it, at most kLargestSettingsText bytes.
bool InflateWhole(const std::uint8_t* data, std::size_t size, TBytes& text)
{
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return false;
    stream.next_in = const_cast<Bytef*>(data);
    stream.avail_in = static_cast<uInt>(size);
    int status = Z_OK;
    while (status == Z_OK && text.size() <= kLargestSettingsText) {
        const std::size_t done = text.size();
        text.resize(done + kInflateChunk);
        stream.next_out = text.data() + done;
        stream.avail_out = static_cast<uInt>(kInflateChunk);
        status = inflate(&stream, Z_NO_FLUSH);
        text.resize(done + kInflateChunk - stream.avail_out);
    }
    const bool whole = status == Z_STREAM_END && stream.avail_in == 0 && text.size() <= kLargestSettingsText;
    inflateEnd(&stream);
    return whole;
}

// The text's characters, one per byte or per UTF-16 unit; false when it is neither form.
bool TextCharacters(const TBytes& text, std::string& characters)
{
    const bool wide = text.size() >= 2 && text[0] == kBom0 && text[1] == kBom1;
    if (!wide) {
        characters.assign(text.begin(), text.end());
    } else {
        if (text.size() % 2 != 0)
            return false;
        for (std::size_t i = 2; i < text.size(); i += 2) {
            const unsigned unit = text[i] | text[i + 1] << 8;
            characters.push_back(unit < 0x80 ? static_cast<char>(unit) : kOtherCharacter);
        }
    }
    return characters.find('\0') == std::string::npos;
}

std::string WithoutLeadingBlanks(const std::string& line)
{
    const std::size_t first = line.find_first_not_of(" \t");
    return first == std::string::npos ? std::string() : line.substr(first);
}

}  // namespace

std::uint32_t SettingsChecksum(const std::uint8_t* data, std::size_t size)
{
    std::uint32_t sum = kChecksumBase;
    const std::size_t words = size / kWordSize;
    for (std::size_t k = 1; k <= words; ++k)
        sum += static_cast<std::uint32_t>(k) * LittleEndianWord(data + (k - 1) * kWordSize);
    return sum;
}

TBytes PackFile(const TBytes& text)
{
    uLongf packedSize = compressBound(static_cast<uLong>(text.size()));
    TBytes file(packedSize + kWordSize);
    if (compress2(file.data(), &packedSize, text.data(), static_cast<uLong>(text.size()), kCompressionLevel) != Z_OK)
        return {};
    const std::uint32_t checksum = SettingsChecksum(file.data(), packedSize);
    file.resize(packedSize);
    for (std::size_t i = 0; i < kWordSize; ++i)
        file.push_back(static_cast<std::uint8_t>(checksum >> (8 * i)));
    return file;
}

int UnpackFile(const TBytes& file, TBytes& text)
{
    text.clear();
    if (file.size() < kWordSize || file.size() > kLargestSettingsFile)
        return kUnpackCorrupt;
    const std::size_t packedSize = file.size() - kWordSize;
    if (SettingsChecksum(file.data(), packedSize) != LittleEndianWord(file.data() + packedSize))
        return kUnpackCorrupt;
    if (!InflateWhole(file.data(), packedSize, text)) {
        text.clear();
        return kUnpackCorrupt;
    }
    return 0;
}

std::string ExportFileName(const std::string& folder, const std::string& dateAndTime)
{
    std::string stamp = dateAndTime;
    std::replace(stamp.begin(), stamp.end(), '/', '.');
    std::replace(stamp.begin(), stamp.end(), ':', '-');
    return folder + stamp + ".Ovel";
}

bool ExportTextAccepted(const TBytes& text, const std::string& keyName)
{
    std::string characters;
    if (!TextCharacters(text, characters))
        return false;
    // reg import ends a line at a lone CR too.
    std::replace(characters.begin(), characters.end(), '\r', '\n');
    const std::vector<std::string> lines = SplitLines(LowerCase(characters));
    if (lines.empty())
        return false;
    const std::string header = WithoutLeadingBlanks(lines.front());
    if (std::find(std::begin(kExportHeaders), std::end(kExportHeaders), header) == std::end(kExportHeaders))
        return false;
    const std::string key = "[" + LowerCase(keyName);
    bool keyFound = false;
    for (const std::string& line : lines) {
        const std::string entry = WithoutLeadingBlanks(line);
        if (entry.empty() || entry[0] != '[')
            continue;
        if (entry == key + "]")
            keyFound = true;
        else if (entry.compare(0, key.size() + 1, key + "\\") != 0)
            return false;
    }
    return keyFound;
}
