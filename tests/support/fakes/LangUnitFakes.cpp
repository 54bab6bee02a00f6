#include "tests/support/fakes/LangUnitFakes.h"

#include "support/LangUnit.h"

std::optional<std::string>& FakeLangFileChoice()
{
    static std::optional<std::string> choice;
    return choice;
}

std::optional<std::string> ReadLangFileChoice() { return FakeLangFileChoice(); }
