#pragma once
// The digit check that both text formats read their fields with: a field is
// a run of hexadecimal digits at a position of the current line.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

struct RecordPlace;

namespace hexdigits {

// Value of each character as a hexadecimal digit, -1 for anything else.
inline constexpr std::array<int8_t, 256> kValue = [] {
    std::array<int8_t, 256> v{};
    v.fill(-1);
    for (int c = '0'; c <= '9'; ++c)
        v[c] = int8_t(c - '0');
    for (int c = 'A'; c <= 'F'; ++c)
        v[c] = int8_t(c - 'A' + 10);
    for (int c = 'a'; c <= 'f'; ++c)
        v[c] = int8_t(c - 'a' + 10);
    return v;
}();

// The two upper-case digits of each byte value, as the writers put them.
inline constexpr std::array<std::array<char, 2>, 256> kPair = [] {
    constexpr char digits[] = "0123456789ABCDEF";
    std::array<std::array<char, 2>, 256> p{};
    for (int b = 0; b < 256; ++b)
        p[b] = {digits[b >> 4], digits[b & 15]};
    return p;
}();

} // namespace hexdigits

// Puts the two digits of the value's low byte at p; gives the place after them.
inline char* putHexByte(char* p, uint32_t value)
{
    const auto& pair = hexdigits::kPair[value & 0xFF];
    p[0] = pair[0];
    p[1] = pair[1];
    return p + 2;
}

// Shows the message of a field that failed (at `column`, counted from 1,
// when a character was no digit); gives nothing.
std::optional<uint32_t> hexFieldFailure(bool beyondLine, std::size_t column, const RecordPlace& place);

// The value of `digits` hexadecimal digits (1..8) at `position` of the line,
// most significant first. A field that does not lie wholly inside the line
// is an "Illegal Line found"; a character that is not a digit is an
// "Illegal Char in File". Either is shown for the line and gives nothing.
inline std::optional<uint32_t> HexFieldValue(std::string_view line, std::size_t position, int digits,
                                             const RecordPlace& place)
{
    if (position > line.size() || line.size() - position < std::size_t(digits))
        return hexFieldFailure(true, 0, place);
    uint32_t value = 0;
    for (int i = 0; i < digits; ++i) {
        const int d = hexdigits::kValue[static_cast<unsigned char>(line[position + std::size_t(i)])];
        if (d < 0)
            return hexFieldFailure(false, position + std::size_t(i) + 1, place);
        value = (value << 4) | uint32_t(d);
    }
    return value;
}
