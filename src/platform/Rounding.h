// The program's rounding words: every geometric computation states which one it
// uses, because a pixel of difference is visible on a printed card.
#pragma once

#include <cmath>
#include <cstdint>

namespace platform {

// A whole number as an int: values beyond the int range (absurd sizes from a
// damaged card) stop at its ends, and NaN counts as 0, instead of being
// undefined.
inline int SaturatedInt(double whole)
{
    if (!(whole == whole))
        return 0;
    if (whole <= -2147483648.0)
        return INT32_MIN;
    if (whole >= 2147483647.0)
        return INT32_MAX;
    return static_cast<int>(whole);
}

// Round half to even (banker's rounding): 151.5 -> 152, 46.5 -> 46.
inline int Round(double v)
{
    double r = std::floor(v);
    double diff = v - r;
    if (diff > 0.5 || (diff == 0.5 && std::fmod(r, 2.0) != 0.0))
        r += 1.0;
    return SaturatedInt(r);
}

// Toward zero.
inline int Trunc(double v) { return SaturatedInt(std::trunc(v)); }

// Integer division toward zero (C++ already truncates; named for clarity).
inline int Div(int a, int b) { return b == 0 ? 0 : a / b; }

// a * b / c computed in 64 bits, rounded to nearest with halves away from zero.
// Returns -1 when c is 0: card files made elsewhere rely on that answer.
inline int MulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    const int64_t num = static_cast<int64_t>(a) * b;
    const int64_t den = c;
    const bool negative = (num < 0) != (den < 0);
    const uint64_t n = num < 0 ? static_cast<uint64_t>(-num) : static_cast<uint64_t>(num);
    const uint64_t d = den < 0 ? static_cast<uint64_t>(-den) : static_cast<uint64_t>(den);
    const uint64_t q = (n + d / 2) / d;
    // Saturated like Round: INT_MIN * 96 / 72 has no int.
    const double result = negative ? -static_cast<double>(q) : static_cast<double>(q);
    return SaturatedInt(result);
}

} // namespace platform
