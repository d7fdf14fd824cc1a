#pragma once

// Resource numbers of the screensaver executable.
#define IDR_CUSTOMDATA_ARCHIVE 134
#define IDR_MEDIA_ARCHIVE 227
#define IDR_SETTINGS_TEXT 239
#define IDR_UI_STRINGS 229
#define IDR_AUDIO_LIBRARY 108
#define IDD_SETTINGS 113
#define IDD_ABOUT 106
