// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

namespace tesuko {

// The seconds field as a number: leading white space skipped, then the longest
// leading decimal number (optional sign, digits, optional "." and fraction,
// optional exponent), trailing text ignored; 0 when the text does not begin
// with one. The decimal point is "." in every locale, and the result is the
// double that strtod gives for the same number. "inf", "nan" and hex are not
// numbers here: the recorder never writes them.
double secondsFromText(std::string_view text);

}  // namespace tesuko
