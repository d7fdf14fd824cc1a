/* The one translation unit that compiles stb_vorbis. */
#define ZAV_STB_VORBIS_IMPLEMENTATION
#include "audio/core/StbVorbis.h"
