#pragma once
// The one rounding rule of the whole program: to the nearest integer, ties to even.

#include <cstdint>

// Rounds to the nearest integer, a value exactly halfway going to the even neighbour
// (22.5 -> 22, 27.5 -> 28, -0.5 -> 0). Independent of the floating-point environment's rounding
// mode. A NaN gives 0; values beyond the 64-bit range give the nearest 64-bit limit.
std::int64_t RoundHalfEven(long double value);

// Ten times the decimal number that `value` stands for, rounded as above: the number the user
// typed or the pedal set sent ("2.45" gives 24, "0.15" gives 2), read from the shortest decimal
// text that gives `value` back, not from the binary product value x 10, whose rounding depends on
// the compiler's precision. A NaN gives 0; values beyond the 64-bit range give the nearest limit.
std::int64_t RoundTenthsHalfEven(double value);
