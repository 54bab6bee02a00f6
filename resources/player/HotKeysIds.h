#pragma once
// Dialog ids of the hot-key editor's template.

#define IDC_OKBitBtn 1  // IDOK: Enter presses it, as the default button
#define IDC_HotKeysGroupBox 1201
#define IDC_HotKeysCheckBox 1202
#define IDC_HelpLabel 1203
#define IDC_ReportSCDenyCheckBox 1204
#define IDC_ControlBoardLabel 1205
#define IDC_ControlBoardHotKey 1206
#define IDC_PlayLabel 1207
#define IDC_PlayHotKey 1208
#define IDC_OvelLouderLabel 1209
#define IDC_OvelLouderHotKey 1210
#define IDC_OvelLowerLabel 1211
#define IDC_OvelLowerHotKey 1212
#define IDC_DayForestLabel 1213
#define IDC_DayForestHotKey 1214
#define IDC_NightForestLabel 1215
#define IDC_NightForestHotKey 1216
#define IDC_BrookLabel 1217
#define IDC_BrookHotKey 1218
#define IDC_BrookLouderLabel 1219
#define IDC_BrookLouderHotKey 1220
#define IDC_BrookLowerLabel 1221
#define IDC_BrookLowerHotKey 1222
#define IDC_BonfireLabel 1223
#define IDC_BonfireHotKey 1224
#define IDC_BonfireHeavierLabel 1225
#define IDC_BonfireHeavierHotKey 1226
#define IDC_BonfireWeakerLabel 1227
#define IDC_BonfireWeakerHotKey 1228
#define IDC_BonfireCloserLabel 1229
#define IDC_BonfireCloserHotKey 1230
#define IDC_BonfireFartherLabel 1231
#define IDC_BonfireFartherHotKey 1232
#define IDC_RainLabel 1233
#define IDC_RainHotKey 1234
#define IDC_WindLabel 1235
#define IDC_WindHotKey 1236
#define IDC_ExitLabel 1237
#define IDC_ExitHotKey 1238
