#pragma once
// The power-off countdown's controls; its button is the template's IDCANCEL.

#define IDC_CompOffLabel 1601
#define IDC_CountDownLabel 1602
