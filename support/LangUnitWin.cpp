#include "support/LangUnit.h"

#include "platform/forms/Registry.h"
#include "support/ProgInfo.h"

#include <windows.h>

namespace {
constexpr const char* kLangFileValue = "LangFile";

void ShowLangBox(const std::string& text, UINT style)
{
    MessageBoxExA(nullptr, text.c_str(), ProgName.c_str(), style, LangCode);
}
}  // namespace

void LangErrorBox(const std::string& text) { ShowLangBox(text, kErrorBoxStyle); }

void LangWarningBox(const std::string& text) { ShowLangBox(text, kWarningBoxStyle); }

std::optional<std::string> ReadLangFileChoice()
{
    std::optional<std::string> choice;
    if (OpenProductKey())
        choice = ProgRegistry->ReadString(kLangFileValue);
    ProgRegistry->CloseKey();
    return choice;
}
