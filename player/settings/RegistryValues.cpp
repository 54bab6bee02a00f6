#include "player/settings/RegistryValues.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr std::size_t kDwordSize = 4;
constexpr std::size_t kDoubleSize = 8;
constexpr double kOneDay = 1.0;

const TStoredValue* Typed(const TStoredKey& key, const std::string& name, std::uint32_t type, std::size_t size)
{
    const TStoredValue* value = key.Find(name);
    return value && value->Type == type && value->Data.size() == size ? value : nullptr;
}

std::optional<double> StoredDouble(const TStoredKey& key, const std::string& name)
{
    const TStoredValue* value = Typed(key, name, kStoredBinary, kDoubleSize);
    if (!value)
        return std::nullopt;
    double number = 0;
    std::memcpy(&number, value->Data.data(), sizeof number);
    if (!std::isfinite(number))
        return std::nullopt;
    return number;
}

}  // namespace

bool TStoredKey::TNameLess::operator()(const std::string& a, const std::string& b) const
{
    const auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; };
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [&lower](char x, char y) { return lower(x) < lower(y); });
}

void TStoredKey::Set(const std::string& name, TStoredValue value) { values_[name] = std::move(value); }

void TStoredKey::Remove(const std::string& name) { values_.erase(name); }

bool TStoredKey::Has(const std::string& name) const { return values_.count(name) != 0; }

const TStoredValue* TStoredKey::Find(const std::string& name) const
{
    const auto found = values_.find(name);
    return found == values_.end() ? nullptr : &found->second;
}

std::optional<std::int32_t> StoredInteger(const TStoredKey& key, const std::string& name)
{
    const TStoredValue* value = Typed(key, name, kStoredDword, kDwordSize);
    if (!value)
        return std::nullopt;
    std::uint32_t bits = 0;
    for (std::size_t i = kDwordSize; i-- > 0;)
        bits = bits << 8 | value->Data[i];
    return static_cast<std::int32_t>(bits);
}

std::optional<bool> StoredBool(const TStoredKey& key, const std::string& name)
{
    const std::optional<std::int32_t> value = StoredInteger(key, name);
    if (!value)
        return std::nullopt;
    return *value != 0;
}

std::optional<std::string> StoredText(const TStoredKey& key, const std::string& name)
{
    const TStoredValue* value = key.Find(name);
    if (!value || (value->Type != kStoredString && value->Type != kStoredExpandString))
        return std::nullopt;
    std::string text(value->Data.begin(), value->Data.end());
    text.resize(std::strlen(text.c_str()));
    return text;
}

std::optional<double> StoredTimeOfDay(const TStoredKey& key, const std::string& name)
{
    const std::optional<double> time = StoredDouble(key, name);
    if (!time)
        return std::nullopt;
    return *time - std::floor(*time);
}

std::optional<double> StoredOffset(const TStoredKey& key, const std::string& name)
{
    const std::optional<double> offset = StoredDouble(key, name);
    if (!offset || std::fabs(*offset) > kOneDay)
        return std::nullopt;
    return offset;
}

const std::vector<const char*> OlderCommonValueNames = {
    "Alternate", "AutoStart", "AsService",  "Tessil",     "CompOff",       "LoudnessDown", "SendToSleep", "TurnItOff",
    "Chime00",   "Chime30",   "Chime00Vol", "Chime30Vol", "GeneralVolume", "InnerAlarm",   "AlarmClock",  "UserAlarm",
};

const std::vector<const char*> OlderDayValueNames = {
    "BirdsActivity",
    "StreamSound",
    "StreamLevel",
    "StreamX",
    "StreamY",
    "Crows",
    "CrowsRare",
    "Guitar",
    "GuitarRare",
    "Flute",
    "FluteRare",
    "Accord",
    "AccordRare",
    "NatureFolderDF",
    "NatureFolderDFVolume",
    "NatureFolderDFRare",
    "NatureSubfolders",
    "MusicFolderDF",
    "MusicFolderDFVolume",
    "MusicFolderDFRare",
    "MusicSubfolders",
    "NearFlights",
    "NFB",
    "NFVolume",
    "NFBRare",
    "NFI",
    "NFIVolume",
    "NFIRare",
    "Cuckoo",
    "CuckooRare",
    "DFWind",
    "DFWindVolume",
    "RainStormOptional",
    "RainStorm",
    "Rain",
    "Woodpeck",
    "WoodpeckRare",
    "Crickets",
    "CrickRare",
};

const std::vector<const char*> OlderNightValueNames = {
    "StreamSoundN",
    "StreamLevelN",
    "StreamNX",
    "StreamNY",
    "FireActivity",
    "FireLevel",
    "FireSound",
    "FireX",
    "FireY",
    "Beasts",
    "BeastsRare",
    "GuitarN",
    "GuitarNRare",
    "FluteN",
    "FluteNRare",
    "AccordN",
    "AccordNRare",
    "NatureFolderNF",
    "NatureFolderNFRare",
    "NatureFolderNFVolume",
    "NatureSubfoldersNF",
    "MusicFolderNF",
    "MusicFolderNFVolume",
    "MusicFolderNFRare",
    "MusicSubfoldersNF",
    "NearFlightsN",
    "NFBN",
    "NFVolumeN",
    "NFBRareN",
    "NFIN",
    "NFIVolumeN",
    "NFIRareN",
    "NFWind",
    "NFWindVolume",
    "RainN",
    "RainStormNOptional",
    "RainStormN",
    "Owls",
    "OwlsRare",
    "Nightingales",
    "NightinRare",
};

const std::vector<TOptionValueName> OptionValueNames = {
    {TBoardItem::RainCheckBox, "Rain", "RainN"},
    {TBoardItem::StormCheckBox, "RainStorm", "RainStormN"},
    {TBoardItem::OptionCheckBox, "StreamSound", "StreamSoundN"},
    {TBoardItem::FlightsGroupBox, "NearFlights", "NearFlightsN"},
    {TBoardItem::Option3CheckBox, "NFB", "NFBN"},
    {TBoardItem::Option7CheckBox, "NFI", "NFIN"},
    {TBoardItem::Option5CheckBox, "Crows", "Beasts"},
    {TBoardItem::Option6CheckBox, "Cuckoo", nullptr},
    {TBoardItem::WindCheckBox, "DFWind", "NFWind"},
    {TBoardItem::Option2CheckBox, "Crickets", "Nightingales"},
    {TBoardItem::Option4CheckBox, "Woodpeck", "Owls"},
    {TBoardItem::NatureFolderCheckBox, "NatureFolderDF", "NatureFolderNF"},
    {TBoardItem::NatureSubfoldersCheckBox, "NatureSubfolders", "NatureSubfoldersNF"},
    {TBoardItem::GuitarCheckBox, "Guitar", "GuitarN"},
    {TBoardItem::HaCheckBox, "Accord", "AccordN"},
    {TBoardItem::FluteCheckBox, "Flute", "FluteN"},
    {TBoardItem::MusicFolderCheckBox, "MusicFolderDF", "MusicFolderNF"},
    {TBoardItem::MusicSubfoldersCheckBox, "MusicSubfolders", "MusicSubfoldersNF"},
    {TBoardItem::Option1CheckBox, nullptr, "FireSound"},
};

std::string QuotedFolderName(const std::string& path)
{
    constexpr std::size_t kShortest = 2;
    if (path.size() < kShortest)
        return "?";
    const std::size_t slash = path.rfind('\\');
    const bool folderOnly = slash == path.size() - 1 || slash == std::string::npos;
    return "\"" + (folderOnly ? path : path.substr(slash + 1)) + "\"";
}
