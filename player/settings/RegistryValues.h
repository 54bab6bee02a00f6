#pragma once
// Values of the settings key: what the registry held for each name, how the
// loader reads it, and the names of the older layout of separate values.

#include "player/settings/BoardItems.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

// Registry value types as the key stores them.
constexpr std::uint32_t kStoredString = 1;
constexpr std::uint32_t kStoredExpandString = 2;
constexpr std::uint32_t kStoredBinary = 3;
constexpr std::uint32_t kStoredDword = 4;

struct TStoredValue {
    std::uint32_t Type = 0;
    std::vector<std::uint8_t> Data;
};

// The values of the key by name; names compare without regard to ASCII case,
// as the registry compares them.
class TStoredKey {
public:
    void Set(const std::string& name, TStoredValue value);
    void Remove(const std::string& name);
    bool Has(const std::string& name) const;
    const TStoredValue* Find(const std::string& name) const;

private:
    struct TNameLess {
        bool operator()(const std::string& a, const std::string& b) const;
    };
    std::map<std::string, TStoredValue, TNameLess> values_;
};

// Typed readers: a value of another type or size is absent.
std::optional<std::int32_t> StoredInteger(const TStoredKey& key, const std::string& name);  // 4-byte REG_DWORD
std::optional<bool> StoredBool(const TStoredKey& key, const std::string& name);             // integer, non-zero
std::optional<std::string> StoredText(const TStoredKey& key, const std::string& name);      // up to its first NUL
// 8-byte binary doubles in days. A time of day keeps only its fraction; an
// offset is absent beyond a day either way; non-finite numbers are absent.
std::optional<double> StoredTimeOfDay(const TStoredKey& key, const std::string& name);
std::optional<double> StoredOffset(const TStoredKey& key, const std::string& name);

// The older layout, which the player never writes: read once, applied and deleted.
extern const std::vector<const char*> OlderCommonValueNames;
extern const std::vector<const char*> OlderDayValueNames;
extern const std::vector<const char*> OlderNightValueNames;

// Each layer switch's older value in the day and the night scene (null: none).
// The names are also the language keys of the layers' titles.
struct TOptionValueName {
    TBoardItem Item;
    const char* Day;
    const char* Night;
};
extern const std::vector<TOptionValueName> OptionValueNames;

// A folder as the board shows it: "?" for less than 2 characters, a path that
// ends in a backslash whole, else its last part; in double quotation marks.
std::string QuotedFolderName(const std::string& path);
