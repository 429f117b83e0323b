// Numbers as the reports print them. Every conversion is std::to_chars, correctly rounded, so
// that every standard library prints the same digits for the same double.
#pragma once

#include <string>

// The shortest text that reads back as the same double ("-" for NaN or infinity).
std::string ShortestNumber(double value);

// `value` with at most `significant` significant digits, trailing zeros dropped: fixed notation
// for decimal exponents from -5 to below `significant`, scientific otherwise (0.03571,
// 3.308e-08, 1.235e+06); "-" for NaN or infinity.
std::string SignificantNumber(double value, int significant = 4);

// `value` with four significant digits, trailing zeros kept: fixed notation (all digits before
// the point kept) from 0.001 on, scientific below; "0" for zero.
std::string FormatSignificant(double value);

// `value` rounded to `decimals` places, the same on every platform ("-" for NaN or infinity).
std::string FormatFixed(double value, int decimals);

// `numerator`/`denominator` = its value with four significant digits: "2/56 = 0.03571".
std::string FractionText(long long numerator, long long denominator);
