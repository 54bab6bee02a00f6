#include "platform/forms/DialogTemplate.h"

#include <cstring>

namespace {

constexpr std::uint16_t kExtendedVersion = 1;
constexpr std::uint16_t kExtendedSignature = 0xFFFF;
constexpr std::uint16_t kOrdinalMarker = 0xFFFF;
constexpr std::uint32_t kSetFontStyle = 0x40;  // DS_SETFONT; DS_SHELLFONT includes it
constexpr int kUnitsPerBaseX = 4;
constexpr int kUnitsPerBaseY = 8;
constexpr std::uint16_t kPixelRectBytes = 8;  // four 16-bit words

// A cursor over the template's bytes that refuses to read past its end.
class TReader {
public:
    TReader(const void* data, std::size_t size) : bytes_(static_cast<const unsigned char*>(data)), size_(size) {}

    bool Ok() const { return ok_; }

    std::uint16_t Word()
    {
        std::uint16_t value = 0;
        Take(&value, sizeof value);
        return value;
    }

    std::uint32_t DWord()
    {
        std::uint32_t value = 0;
        Take(&value, sizeof value);
        return value;
    }

    int Short() { return static_cast<std::int16_t>(Word()); }

    void Skip(std::size_t count)
    {
        if (count > size_ - at_)
            ok_ = false;
        else
            at_ += count;
    }

    void AlignToDWord() { Skip((4 - at_ % 4) % 4); }

    // A name or an ordinal; gives the name, empty for an ordinal.
    std::u16string NameOrOrdinal()
    {
        const std::uint16_t first = Word();
        if (first == kOrdinalMarker) {
            Word();
            return {};
        }
        std::u16string name;
        for (std::uint16_t c = first; ok_ && c != 0; c = Word())
            name.push_back(static_cast<char16_t>(c));
        return name;
    }

    TTemplateRect Rect()
    {
        TTemplateRect rect;
        rect.Left = Short();
        rect.Top = Short();
        rect.Width = Short();
        rect.Height = Short();
        return rect;
    }

private:
    void Take(void* out, std::size_t count)
    {
        if (!ok_ || count > size_ - at_) {
            ok_ = false;
            return;
        }
        std::memcpy(out, bytes_ + at_, count);
        at_ += count;
    }

    const unsigned char* bytes_;
    std::size_t size_;
    std::size_t at_ = 0;
    bool ok_ = true;
};

TTemplateItem ReadItem(TReader& reader, bool extended)
{
    TTemplateItem item;
    reader.AlignToDWord();
    if (extended) {
        reader.Skip(3 * sizeof(std::uint32_t));  // help id, extended style, style
        item.Rect = reader.Rect();
        item.Id = reader.DWord();
    } else {
        reader.Skip(2 * sizeof(std::uint32_t));  // style, extended style
        item.Rect = reader.Rect();
        item.Id = reader.Word();
    }
    reader.NameOrOrdinal();  // window class
    reader.NameOrOrdinal();  // title
    const std::uint16_t extra = reader.Word();
    if (extended && extra == kPixelRectBytes)
        item.Pixels = reader.Rect();
    else
        reader.Skip(extra);
    return item;
}

int Scale(int units, int base, int unitsPerBase)
{
    // Rounded to the nearest pixel, as the dialog manager rounds.
    const long scaled = 2L * units * base / unitsPerBase;
    return static_cast<int>((scaled + (scaled >= 0 ? 1 : -1)) / 2);
}

}  // namespace

std::optional<TDialogTemplate> ReadDialogTemplate(const void* resource, std::size_t size)
{
    TReader reader(resource, size);
    TDialogTemplate dialog;
    const std::uint16_t version = reader.Word();
    const std::uint16_t signature = reader.Word();
    const bool extended = version == kExtendedVersion && signature == kExtendedSignature;
    std::uint32_t style = 0;
    if (extended) {
        reader.Skip(2 * sizeof(std::uint32_t));  // help id, extended style
        style = reader.DWord();
    } else {
        style = static_cast<std::uint32_t>(version) | (static_cast<std::uint32_t>(signature) << 16);
        reader.Skip(sizeof(std::uint32_t));  // extended style
    }
    const std::uint16_t count = reader.Word();
    dialog.Rect = reader.Rect();
    reader.NameOrOrdinal();  // menu
    dialog.ClassName = reader.NameOrOrdinal();
    reader.NameOrOrdinal();  // title
    if (style & kSetFontStyle) {
        reader.Skip(extended ? 3 * sizeof(std::uint16_t) : sizeof(std::uint16_t));  // size, weight, italic, charset
        reader.NameOrOrdinal();                                                     // face
    }
    for (std::uint16_t i = 0; i < count && reader.Ok(); ++i)
        dialog.Items.push_back(ReadItem(reader, extended));
    if (!reader.Ok())
        return std::nullopt;
    return dialog;
}

TTemplateRect DesignPixels(const TTemplateRect& units)
{
    TTemplateRect pixels;
    pixels.Left = Scale(units.Left, kDesignBaseUnitX, kUnitsPerBaseX);
    pixels.Top = Scale(units.Top, kDesignBaseUnitY, kUnitsPerBaseY);
    pixels.Width = Scale(units.Width, kDesignBaseUnitX, kUnitsPerBaseX);
    pixels.Height = Scale(units.Height, kDesignBaseUnitY, kUnitsPerBaseY);
    return pixels;
}

TTemplateRect ItemPixels(const TTemplateItem& item) { return item.Pixels ? *item.Pixels : DesignPixels(item.Rect); }
