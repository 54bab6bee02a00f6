#include "player/engine/SystemInfoLine.h"

#include "support/WinVer.h"

std::string ShortWindowsVersionText()
{
    std::string text;
    GetWindowsVersionText(false, text);
    return ShortenWindowsVersionText(text, IsServer);
}
