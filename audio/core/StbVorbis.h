#pragma once

// Debian's stb_vorbis header, configured the one way the library uses it:
// decoding from memory only, at most two channels (a file with more fails to
// open). StbVorbis.c compiles the implementation.
#define STB_VORBIS_NO_PUSHDATA_API
#define STB_VORBIS_NO_STDIO
#define STB_VORBIS_MAX_CHANNELS 2
#ifndef ZAV_STB_VORBIS_IMPLEMENTATION
#define STB_VORBIS_HEADER_ONLY
#endif
#include <stb_vorbis.h>

#ifdef __cplusplus
extern "C" {
#endif
// Clears an overlap length that a damaged last page left negative; call it
// before each stb_vorbis_get_frame_float (StbVorbis.c says why).
void zav_stb_vorbis_mend_overlap(stb_vorbis* vorbis);
// Whether every code of the stream's codebooks can be looked up without
// undefined arithmetic (StbVorbis.c says which cannot); 0 refuses the file.
int zav_stb_vorbis_codes_fit(const stb_vorbis* vorbis);
#ifdef __cplusplus
}
#endif
