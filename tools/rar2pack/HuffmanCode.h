#pragma once

#include <cstdint>

namespace zav::rar2 {

// Code lengths (1..maxLength, 0 for unused symbols) that minimise the coded
// size of symbols with these frequencies. The code is always complete: when
// fewer than two symbols occur, unused ones get codes too, so that every
// decoder accepts the table.
void BuildCodeLengths(const uint32_t* frequencies, int count, int maxLength, uint8_t* lengths);

// Canonical codes for the lengths: by increasing length, then by increasing
// symbol, as the decoder assigns them.
void BuildCanonicalCodes(const uint8_t* lengths, int count, uint16_t* codes);

}  // namespace zav::rar2
