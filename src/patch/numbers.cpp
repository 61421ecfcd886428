#include "numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace patch {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int DigitValue(char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The decimal number at the start of text: its length in characters (0 when none).
// Sign, digits, period, then an exponent only when it has digits.
std::size_t DecimalPrefix(std::string_view text) {
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < text.size() && IsDigit(text[j])) {
      while (j < text.size() && IsDigit(text[j])) ++j;
      i = j;
    }
  }
  return i;
}

// Converts a decimal number text (as DecimalPrefix accepts it) exactly rounded; a value too
// large for a double becomes infinity.
double DecimalValue(std::string_view number) {
  bool negative = false;
  if (!number.empty() && (number.front() == '+' || number.front() == '-')) {
    negative = number.front() == '-';
    number.remove_prefix(1);
  }
  double value = 0;
  auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (ec == std::errc::result_out_of_range) {
    // Either far too large or far too small: tell which by the first significant digit's place.
    value = std::strtod(std::string(number).c_str(), nullptr);
  }
  (void)end;
  return negative ? -value : value;
}

// "&H1F" / "&O17": the radix-marked whole number at the start of text. Returns the characters
// used (0 when text does not start with a radix mark and at least one digit).
std::size_t RadixPrefix(std::string_view text, double& value) {
  if (text.size() < 3 || text[0] != '&') return 0;
  int radix = 0;
  if (text[1] == 'h' || text[1] == 'H') radix = 16;
  if (text[1] == 'o' || text[1] == 'O') radix = 8;
  if (radix == 0) return 0;
  std::size_t i = 2;
  value = 0;
  while (i < text.size() && DigitValue(text[i]) < radix) {
    value = value * radix + DigitValue(text[i]);
    ++i;
  }
  return i > 2 ? i : 0;
}

}  // namespace

double LeadingNumber(std::string_view text) {
  std::string packed;
  packed.reserve(text.size());
  for (char c : text) {
    if (c != ' ' && c != '\t' && c != '\n') packed.push_back(c);
  }
  double value = 0;
  if (RadixPrefix(packed, value) > 0) return value;
  std::size_t length = DecimalPrefix(packed);
  return length == 0 ? 0 : DecimalValue(std::string_view(packed).substr(0, length));
}

Expected<double> WholeTextNumber(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  double value = 0;
  std::size_t length = RadixPrefix(text, value);
  if (length == 0) {
    length = DecimalPrefix(text);
    if (length > 0) value = DecimalValue(text.substr(0, length));
  }
  if (length == 0 || length != text.size()) return Error{ErrorNumber::kTypeMismatch};
  if (!std::isfinite(value)) return Error{ErrorNumber::kOverflow};
  return value;
}

namespace {

// Half to even, independent of the floating-point environment's rounding mode.
double RoundHalfEven(double value) {
  double floor = std::floor(value);
  double fraction = value - floor;
  if (fraction > 0.5) return floor + 1;
  if (fraction < 0.5) return floor;
  return std::fmod(floor, 2) == 0 ? floor : floor + 1;
}

}  // namespace

Expected<std::int32_t> TextToPosition(std::string_view text) {
  Expected<double> number = WholeTextNumber(text);
  if (!number) return number.error();
  double rounded = RoundHalfEven(*number);
  if (!(rounded >= std::numeric_limits<std::int32_t>::min() &&
        rounded <= std::numeric_limits<std::int32_t>::max())) {
    return Error{ErrorNumber::kOverflow};
  }
  return static_cast<std::int32_t>(rounded);
}

Expected<std::uint8_t> RoundToByte(double value) {
  double rounded = RoundHalfEven(value);
  if (!(rounded >= 0 && rounded <= 255)) return Error{ErrorNumber::kOverflow};
  return static_cast<std::uint8_t>(rounded);
}

std::string HalfWidthStep(std::string_view text) {
  struct Alike {
    std::string_view wide;
    char half;
  };
  static constexpr Alike kAlike[] = {
      {"０", '0'}, {"１", '1'}, {"２", '2'}, {"３", '3'}, {"４", '4'},
      {"５", '5'}, {"６", '6'}, {"７", '7'}, {"８", '8'}, {"９", '9'},
      {"＋", '+'}, {"－", '-'}, {"．", '.'}, {"。", '.'}, {"\u3000", ' '},
  };
  std::string half;
  for (std::size_t at = 0; at < text.size();) {
    const auto alike = std::ranges::find_if(
        kAlike, [&](const Alike& a) { return text.substr(at).starts_with(a.wide); });
    half += alike != std::end(kAlike) ? alike->half : text[at];
    at += alike != std::end(kAlike) ? alike->wide.size() : 1;
  }
  return half;
}

std::string DecimalText(std::int64_t value) {
  char buffer[24];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

}  // namespace patch
