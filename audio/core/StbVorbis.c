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

/* stb_vorbis looks a code up one entry at a time in a codebook of up to
   eight entries (or one without a sorted table), masking the bits it holds
   with (1 << length) - 1 in an int: a 31-bit code makes that undefined. No
   encoder gives so small a codebook a code that long; a file that does is
   refused. */
int zav_stb_vorbis_codes_fit(const stb_vorbis* vorbis) {
    int book, entry;
    for (book = 0; book < vorbis->codebook_count; ++book) {
        const Codebook* codebook = &vorbis->codebooks[book];
        if (!codebook->codewords || (codebook->entries > 8 && codebook->sorted_codewords)) continue;
        for (entry = 0; entry < codebook->entries; ++entry)
            if (codebook->codeword_lengths[entry] != NO_CODE && codebook->codeword_lengths[entry] >= 31) return 0;
    }
    return 1;
}
