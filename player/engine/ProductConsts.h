#pragma once
// The player's names, description and version as the start sets them.

constexpr const char* kProductName = "Ovel";
constexpr const char* kRussianProgName = "Овел";
constexpr const char* kEnglishProgName = "Ovel";
constexpr const char* kRussianProgDescr = "Звуковая атмосфера леса";
constexpr const char* kEnglishProgDescr = "Forest ambient sounds";
constexpr int kBuildNumber = 28914;
constexpr const char* kVersionText = "2.8.10d";

// Fills the program-wide names, description and version from the above.
void SetProductGlobals();

// The version text with the banks' revision sum, e.g. "2.8.10d.213".
void AppendRevisionSum(unsigned revisionSum);
