#include "results/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>

namespace {

std::string FormatGeneral(double value, int significant) {
    if (!std::isfinite(value)) return "-";
    char buffer[64];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value,
                                       std::chars_format::general, significant);
    return std::string(buffer, written.ptr);
}

}  // namespace

std::string ShortestNumber(double value) {
    if (!std::isfinite(value)) return "-";
    char buffer[64];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, written.ptr);
}

std::string SignificantNumber(double value, int significant) {
    return FormatGeneral(value, significant);
}

std::string FormatSignificant(double value) {
    if (!std::isfinite(value)) return "-";
    if (value == 0) return "0";
    const double magnitude = std::fabs(value);
    if (magnitude < 1e-3 || magnitude >= 1e15) return FormatGeneral(value, 4);
    const int digitsBefore = static_cast<int>(std::floor(std::log10(magnitude))) + 1;
    return FormatFixed(value, std::max(0, 4 - digitsBefore));
}

std::string FormatFixed(double value, int decimals) {
    if (!std::isfinite(value)) return "-";
    char buffer[400];
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (written.ec != std::errc()) return FormatGeneral(value, 17);
    std::string text(buffer, written.ptr);
    // -0.00 says nothing that 0.00 does not.
    if (text.find_first_not_of("-0.") == std::string::npos && text.front() == '-') text.erase(0, 1);
    return text;
}

std::string FractionText(long long numerator, long long denominator) {
    return std::to_string(numerator) + "/" + std::to_string(denominator) + " = " +
           SignificantNumber(static_cast<double>(numerator) / static_cast<double>(denominator));
}
