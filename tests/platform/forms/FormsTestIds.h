#pragma once
// Ids of the test dialogs, shared by the resource script and the tests.

#define IDD_BOARD 100
#define IDD_PLAIN 101
#define IDD_PLAIN_LARGE_FONT 102
#define IDD_ICONED 103
#define IDC_GROUP 200
#define IDC_CHECK 201
#define IDC_RADIO_A 202
#define IDC_RADIO_B 203
#define IDC_LABEL 204
#define IDC_TRACK 205
#define IDC_COMBO 206
#define IDC_PANEL 207
#define IDC_PANEL_CHECK 208
#define IDC_PANEL_RADIO 209
#define IDC_OUTSIDE 210
#define IDC_EDIT 211
#define IDC_PIXELS 212
#define IDC_THREE_STATE 213
