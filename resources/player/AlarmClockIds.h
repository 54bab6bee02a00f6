#pragma once
// The alarm window's controls; its button is the template's IDCANCEL.

#define IDC_Label1 1501
#define IDC_Animate1 1502
