#pragma once
// The chimes picker's controls; OK is the template's IDOK. The picture
// buttons of the chimes are made in code above them.

#define IDC_UserFileBitBtn 1701
#define IDC_UserFileLabel 1702
#define IDC_ChimeFileBitBtn 1703
