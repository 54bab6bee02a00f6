#pragma once
// Texts of the language module that the board keeps for its other handlers
// and windows; ToggleLang takes them anew at every language change and scene
// switch. In the module's code page, as every text.

#include <array>
#include <cstdint>
#include <string>

extern std::string HotKeysCaption;  // the hot-key menu item, button and editor
extern std::string RainNowText;
extern std::string StopRainText;
extern std::string MeterUnit;     // the limiter labels
extern std::string NoSoundsHint;  // the labels of the missing banks
extern std::string CompOffText;   // power-off countdown and tray tip
extern std::string CompSleepText;
extern std::string FolderWord;         // the folder labels
extern std::string FolderBrowseTitle;  // the folder dialog
extern std::string DayOvelOnText;      // the alternation labels
extern std::string NightOvelOnText;
extern std::string SunriseTodayText;
extern std::string SunsetTodayText;

// The layers' titles: check-box captions, and the About window's list.
enum TLayerTitle {
    ltWaterfall,
    ltBrook,
    ltBonfire,
    ltBeasts,
    ltCuckoos,
    ltCrows,
    ltNearFlights,
    ltFrogs,
    LayerTitleCount
};
extern std::array<std::string, LayerTitleCount> LayerTitleTexts;

// Set while ToggleLang runs: the alarm-file check and the alternation
// choice it runs save nothing then.
extern std::uint8_t LanguageApplying;
