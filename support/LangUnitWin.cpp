#include "support/LangUnit.h"

#include "platform/forms/Charsets.h"
#include "platform/forms/Registry.h"
#include "support/ProgInfo.h"

#include <windows.h>

namespace {
constexpr const char* kLangFileValue = "LangFile";

// In the module's own code page, whatever the system's is.
void ShowLangBox(const std::string& text, UINT style)
{
    const unsigned codePage = CodePageOfCharset(LangCharset);
    const std::u16string wideText = ToUtf16(text, codePage);
    const std::u16string caption = ToUtf16(ProgName, codePage);
    MessageBoxExW(nullptr, reinterpret_cast<const wchar_t*>(wideText.c_str()),
                  reinterpret_cast<const wchar_t*>(caption.c_str()), style, LangCode);
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
