#pragma once

// Resource numbers of the screensaver executable.
#define IDR_CUSTOMDATA_ARCHIVE 134
#define IDR_MEDIA_ARCHIVE 227
#define IDR_SETTINGS_TEXT 239
#define IDR_UI_STRINGS 229
#define IDR_AUDIO_LIBRARY 108
#define IDD_SETTINGS 113
#define IDD_ABOUT 106
// The name the system's list of screensavers shows.
#define IDS_DISPLAY_NAME 1

// Controls of the settings dialog (IDOK and IDCANCEL are its OK and Cancel).
#define IDC_DISPLAY_MODES 1011
#define IDC_MODE_GROUP 1016
#define IDC_USE_DESKTOP 11012
#define IDC_SOUND_GROUP 11017
#define IDC_VOLUME_LABEL 11023
#define IDC_VOLUME 1020
#define IDC_MUSIC 1021
#define IDC_SFX 11022
#define IDC_GRAPHICS_GROUP 21018
#define IDC_GAMMA_LABEL 11106
#define IDC_GAMMA 1046
#define IDC_GAMMA_VALUE 11118
#define IDC_MISC_GROUP 11019
#define IDC_SHOW_FPS 1044
#define IDC_EXIT_ON_MOUSE 1045
#define IDC_SHOW_TIME 1119
#define IDC_HOUR24 1112
#define IDC_HOUR12 1111
#define IDC_PRODUCTS_GROUP 1022
#define IDC_PRODUCTS_TEXT 1025
#define IDC_VISIT 1061
#define IDC_ABOUT 1062
#define IDC_RESTORE_DEFAULTS 1063
#define IDC_SETTINGS_PICTURE 1036

// Controls of the About box (IDOK is its OK): the logo and eight lines.
#define IDC_ABOUT_LOGO 1037
#define IDC_ABOUT_LINE1 1040
#define IDC_ABOUT_LINE_COUNT 8
