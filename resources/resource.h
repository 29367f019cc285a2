// Resource identifiers shared by the .rc file and the code that loads the images.
#pragma once

// The program icon: the exe's own icon, the About box and general options pictures.
#define IDI_PROGRAM 1
#define IDI_TD 101  // 16 x 16 applet icons (tray icon and applet options dialog window icon)
#define IDI_TE 102
#define IDI_TC 103
#define IDI_TN 104
#define IDI_TP 105
#define IDI_TA 106
#define IDI_OPTIONS 110     // window icon of the general options dialog
#define IDI_TD_PICTURE 201  // 32 x 32 pictures of the applet options dialogs
#define IDI_TE_PICTURE 202
#define IDI_TC_PICTURE 203
#define IDI_TN_PICTURE 204
