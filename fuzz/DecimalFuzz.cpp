// SPDX-License-Identifier: MIT
// Decimal text: parsing any text and formatting any double.
//
// The first input byte picks the separator; the rest is the text. When the
// text parses, formatting the value and parsing that again must settle:
// the second text is the first one, and the value stays within the 15
// significant digits of the format. The first eight bytes, read as a double,
// must format to text that parses back within the same 15 digits.

#include "base/DecimalText.h"
#include "base/Exception.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

// 15 significant digits: half a unit in the 15th digit (at most 5e-15 of
// the value), plus the rounding of the decimal text to the nearest double.
bool Within15Digits(double expected, double actual)
{
    if (expected == actual)
        return true;
    const double scale = std::fabs(expected);
    if (scale < 2.3e-308) // subnormal: only absolute closeness is meaningful
        return std::fabs(expected - actual) <= 5e-15 * 2.3e-308;
    const double ulp = std::nextafter(scale, HUGE_VAL) - scale;
    return std::fabs(expected - actual) <= 5e-15 * scale + 2 * ulp;
}

void CheckFormatOf(double value, std::string_view separator)
{
    if (!std::isfinite(value))
        return;
    const std::string text = FormatDecimal(value, separator);
    double back = 0;
    try {
        back = ParseDecimal(text, separator);
    } catch (const EConvertError&) {
        std::abort(); // the format of a finite double must parse
    }
    if (!Within15Digits(value, back))
        std::abort();
    // Once rounded to 15 digits the text is stable.
    if (FormatDecimal(back, separator) != text)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    static const std::string_view kSeparators[] = {".", ",", "\xD9\xAB", "."};
    const std::string_view separator = kSeparators[data[0] & 3];
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

    try {
        CheckFormatOf(ParseDecimal(text, separator), separator);
    } catch (const EConvertError&) {
    }
    try {
        (void)ParseInteger(text);
    } catch (const EConvertError&) {
    }

    if (size >= 9) {
        double value = 0;
        std::memcpy(&value, data + 1, sizeof value);
        CheckFormatOf(value, separator);
    }
    return 0;
}
