#pragma once
// Whole runs of bytes to and from hexadecimal text, as the records' data
// fields hold them: sixteen characters at a time where the processor has
// SSE2 (every x86-64 has), one table look-up a digit elsewhere.

#include "buffers/HexField.h"

#include <cstddef>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace hexblocks {

inline bool decodeTail(const char* text, std::size_t count, uint8_t* out, uint32_t& sum)
{
    int bad = 0;
    uint32_t total = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const int high = hexdigits::kValue[static_cast<unsigned char>(text[2 * i])];
        const int low = hexdigits::kValue[static_cast<unsigned char>(text[2 * i + 1])];
        bad |= high | low;
        const auto byte = static_cast<uint8_t>((static_cast<unsigned>(high) << 4) | static_cast<unsigned>(low));
        out[i] = byte;
        total += byte;
    }
    sum += total;
    return bad >= 0;
}

inline char* encodeTail(char* p, const uint8_t* bytes, std::size_t count, uint32_t& sum)
{
    uint32_t total = 0;
    for (std::size_t i = 0; i < count; ++i) {
        p = putHexByte(p, bytes[i]);
        total += bytes[i];
    }
    sum += total;
    return p;
}

#if defined(__SSE2__)
inline uint32_t lanesTotal(__m128i sums)
{
    return uint32_t(_mm_cvtsi128_si32(sums)) + uint32_t(_mm_cvtsi128_si32(_mm_srli_si128(sums, 8)));
}
#endif

} // namespace hexblocks

// Decodes `count` bytes from the 2 x count characters at `text`, adding
// each to `sum`. False when a character is not a hexadecimal digit; `out`
// and `sum` then hold nothing useful.
inline bool decodeHexBytes(const char* text, std::size_t count, uint8_t* out, uint32_t& sum)
{
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i nine = _mm_set1_epi8(9);
    const __m128i five = _mm_set1_epi8(5);
    __m128i valid = _mm_set1_epi8(-1);
    __m128i sums = _mm_setzero_si128();
    for (; i + 8 <= count; i += 8) {
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + 2 * i));
        const __m128i digit = _mm_sub_epi8(c, _mm_set1_epi8('0'));
        const __m128i letter = _mm_sub_epi8(_mm_or_si128(c, _mm_set1_epi8(0x20)), _mm_set1_epi8('a'));
        const __m128i isDigit = _mm_cmpeq_epi8(_mm_min_epu8(digit, nine), digit);
        const __m128i isLetter = _mm_cmpeq_epi8(_mm_min_epu8(letter, five), letter);
        valid = _mm_and_si128(valid, _mm_or_si128(isDigit, isLetter));
        const __m128i value = _mm_or_si128(_mm_and_si128(isDigit, digit),
                                           _mm_andnot_si128(isDigit, _mm_add_epi8(letter, _mm_set1_epi8(10))));
        // Each 16-bit lane holds a high digit in its low byte and a low digit above it.
        const __m128i bytes = _mm_or_si128(_mm_slli_epi16(_mm_and_si128(value, _mm_set1_epi16(0x0F)), 4),
                                           _mm_srli_epi16(value, 8));
        sums = _mm_add_epi64(sums, _mm_sad_epu8(bytes, _mm_setzero_si128()));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(bytes, bytes));
    }
    sum += hexblocks::lanesTotal(sums);
    if (_mm_movemask_epi8(valid) != 0xFFFF)
        return false;
#endif
    return hexblocks::decodeTail(text + 2 * i, count - i, out + i, sum);
}

// Puts the two upper-case digits of each of `count` bytes at p, adding each
// byte to `sum`; gives the place after them.
inline char* encodeHexBytes(char* p, const uint8_t* bytes, std::size_t count, uint32_t& sum)
{
    std::size_t i = 0;
#if defined(__SSE2__)
    __m128i sums = _mm_setzero_si128();
    for (; i + 8 <= count; i += 8) {
        const __m128i b = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(bytes + i));
        sums = _mm_add_epi64(sums, _mm_sad_epu8(b, _mm_setzero_si128()));
        const __m128i high = _mm_and_si128(_mm_srli_epi16(b, 4), _mm_set1_epi8(0x0F));
        const __m128i low = _mm_and_si128(b, _mm_set1_epi8(0x0F));
        const __m128i nibbles = _mm_unpacklo_epi8(high, low);
        const __m128i letters = _mm_and_si128(_mm_cmpgt_epi8(nibbles, _mm_set1_epi8(9)), _mm_set1_epi8('A' - '0' - 10));
        const __m128i text = _mm_add_epi8(_mm_add_epi8(nibbles, _mm_set1_epi8('0')), letters);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), text);
        p += 16;
    }
    sum += hexblocks::lanesTotal(sums);
#endif
    return hexblocks::encodeTail(p, bytes + i, count - i, sum);
}
