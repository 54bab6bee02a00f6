#include "support/ProgInfo.h"

#include "platform/forms/Registry.h"
#include "support/Random.h"
#include "support/WinVer.h"

#include <cstdlib>

namespace {
constexpr WORD kRussianLanguage = LANG_RUSSIAN;

int ShowBilingual(const std::string& englishText, const std::string& russianText, UINT style)
{
    if (RussianUI)
        return MessageBoxExA(nullptr, russianText.c_str(), ProgName.c_str(), style, kRussianLanguage);
    return MessageBoxA(nullptr, englishText.c_str(), EnProgName.c_str(), style);
}
}  // namespace

void ProgInfoInitialization()
{
    Randomize();
    UserLCID = GetUserDefaultLCID();
    RussianUI = IsRussianInterfaceLocale(UserLCID);

    std::string versionText;
    GetWindowsVersionText(false, versionText);

    ProgRegistry = new TRegistry(Is64Bit ? KEY_ALL_ACCESS | KEY_WOW64_64KEY : KEY_ALL_ACCESS);
    ProgRegistry->SetRootKey(HKEY_CURRENT_USER);

    SetStartSwitch(__argc > 1 ? __argv[1] : "");
}

void ProgInfoFinalization()
{
    delete ProgRegistry;
    ProgRegistry = nullptr;
}

bool OpenProductKey()
{
    ProgRegistry->SetRootKey(HKEY_CURRENT_USER);
    return ProgRegistry->OpenKey(kProductKeyBase + ProductName, true);
}

void ShowErrorBilingual(const std::string& englishText, const std::string& russianText)
{
    ShowBilingual(englishText, russianText, kErrorBoxStyle);
}

int ShowWarningBilingual(const std::string& englishText, const std::string& russianText)
{
    return ShowBilingual(englishText, russianText, kWarningBoxStyle);
}
