#pragma once
// Program folders for the language tests, made afresh in the temporary folder
// from a fixture folder under data/lang. Its default modules (english.lng,
// russian.lng) get an entry for every key they lack, so that each fixture
// shows only what it is about; further files are then written as given.

#include <string>
#include <utility>
#include <vector>

using FixtureFiles = std::vector<std::pair<std::string, std::string>>;  // name in language\, bytes

// The new program folder, ended by a backslash as ExeDir is.
std::string FixtureProgramFolder(const std::string& fixture, const FixtureFiles& moreFiles = {});
