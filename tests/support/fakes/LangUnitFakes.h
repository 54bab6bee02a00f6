#pragma once
// Stand-in for the settings read of LangUnit: the stored "LangFile" choice.

#include <optional>
#include <string>

std::optional<std::string>& FakeLangFileChoice();
