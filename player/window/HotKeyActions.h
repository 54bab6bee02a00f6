// The seventeen board actions offered as global hot keys, in registration and
// dispatch order (also the order of the registry reads and of the editor's
// rows). Expand OVEL_HOT_KEY(Name, AtomName, RegistryValue, LabelKey,
// MenuItem) before including: AtomName names the global atom that identifies
// the registration, RegistryValue holds the shortcut in the settings key,
// LabelKey is the language key of the editor's label, and MenuItem is the
// board's tray item that shows the shortcut (a member of TOvelMainForm), or
// nullptr. The board runs <Name>Key for the action, the editor's row is
// <Name>Label and <Name>HotKey.
OVEL_HOT_KEY(ControlBoard, "OvelControlBoardHotKey", "ControlBoardSC", "controlboard", &TOvelMainForm::Customize)
OVEL_HOT_KEY(Play, "OvelPlayHotKey", "PlaySC", "soundplay", &TOvelMainForm::PlayOnOff)
OVEL_HOT_KEY(OvelLouder, "OvelLouderHotKey", "OvelLouderSC", "ovellouder", nullptr)
OVEL_HOT_KEY(OvelLower, "OvelLowerHotKey", "OvelLowerSC", "ovellower", nullptr)
OVEL_HOT_KEY(DayForest, "OvelDayForestHotKey", "DayForestSC", "dayforest", &TOvelMainForm::Forest)
OVEL_HOT_KEY(NightForest, "OvelNightForestHotKey", "NightForestSC", "nightforest", &TOvelMainForm::ForestN)
OVEL_HOT_KEY(Brook, "OvelBrookHotKey", "BrookSC", "brook", nullptr)
OVEL_HOT_KEY(BrookLouder, "BrookLouderHotKey", "BrookLouderSC", "brooklouder", nullptr)
OVEL_HOT_KEY(BrookLower, "BrookLowerHotKey", "BrookLowerSC", "brooklower", nullptr)
OVEL_HOT_KEY(Bonfire, "BonfireHotKey", "BonfireSC", "bonfire", nullptr)
OVEL_HOT_KEY(BonfireHeavier, "BonfireHeavierHotKey", "BonfireHeavierSC", "bonfireheavier", nullptr)
OVEL_HOT_KEY(BonfireWeaker, "BonfireWeakerHotKey", "BonfireWeakerSC", "bonfireweaker", nullptr)
OVEL_HOT_KEY(BonfireCloser, "BonfireCloserHotKey", "BonfireCloserSC", "bonfirecloser", nullptr)
OVEL_HOT_KEY(BonfireFarther, "BonfireFartherHotKey", "BonfireFartherSC", "bonfirefarther", nullptr)
OVEL_HOT_KEY(Rain, "OvelRainHotKey", "RainSC", "rain", &TOvelMainForm::RainNow)
OVEL_HOT_KEY(Wind, "OvelWindHotKey", "WindSC", "wind", nullptr)
OVEL_HOT_KEY(Exit, "OvelExitHotKey", "ExitSC", "exit", &TOvelMainForm::Exit)
