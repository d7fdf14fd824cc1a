/* The one translation unit that compiles stb_vorbis. */
#include <math.h>

/* stb_vorbis uses floor() only to count a codebook's lookup values, and
   casts the result to int: a codebook of many dimensions makes the power it
   floors larger than any int (or infinite), and the cast is undefined. The
   values it compares against are below 2^24, so a result clamped to the int
   range gives the same count (and no number, 0). */
static double ZavStbFloor(double value) {
    if (value != value) return 0.0;
    if (value >= 2147483647.0) return 2147483647.0;
    if (value <= -2147483648.0) return -2147483648.0;
    return floor(value);
}
#define floor(value) ZavStbFloor(value)

#define ZAV_STB_VORBIS_IMPLEMENTATION
#include "audio/core/StbVorbis.h"

/* A last page whose sample position lies before its packet's window makes
   stb_vorbis keep a negative overlap length: the next packet shifts it (which
   is undefined) and finds no window for it, and so does every packet after
   it, which then yield nothing. With no overlap the next packet only primes
   one, as after a seek. */
void zav_stb_vorbis_mend_overlap(stb_vorbis* vorbis) {
    if (vorbis->previous_length < 0) vorbis->previous_length = 0;
}
