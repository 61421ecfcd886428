// Conversions between text and numbers, as the tool's user types and reads them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "error.h"

namespace patch {

// The number a text starts with: an optional sign, digits, the period as the only decimal
// mark, an optional exponent, or a whole number written &H (hexadecimal) or &O (octal).
// Blanks, tabs and line feeds anywhere are ignored; reading stops at the first character
// that cannot continue the number. 0 when the text does not start with a number.
double LeadingNumber(std::string_view text);

// The value of a text that is a number as a whole, blanks around it allowed; anything else is
// a type mismatch (13). The period is the only decimal mark; there are no grouping marks.
Expected<double> WholeTextNumber(std::string_view text);

// A whole text as a 32-bit position: halves round to the even neighbour; type mismatch (13),
// or overflow (6) outside the 32-bit signed range.
Expected<std::int32_t> TextToPosition(std::string_view text);

// A level value as a byte: halves round to the even neighbour; overflow (6) outside 0 to 255.
Expected<std::uint8_t> RoundToByte(double value);

// The level step as a Chinese IME may type it, in the characters the conversions read: full-width
// digits, plus, minus and full stop, the ideographic full stop (the point key in Chinese
// punctuation mode) as the point, and the ideographic space as a blank. Anything else is kept.
std::string HalfWidthStep(std::string_view text);

// Plain decimal text of a whole number.
std::string DecimalText(std::int64_t value);

}  // namespace patch
