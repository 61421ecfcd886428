// Cross-checks the text-to-number conversions against each other and against strtod.
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

#include "numbers.h"

namespace {

void Fail(const char* what, std::string_view text) {
  std::fprintf(stderr, "fuzz_numbers: %s for text \"", what);
  for (unsigned char c : text) {
    if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
      std::fputc(c, stderr);
    } else {
      std::fprintf(stderr, "\\x%02X", c);
    }
  }
  std::fprintf(stderr, "\"\n");
  std::abort();
}

void Check(bool condition, const char* what, std::string_view text) {
  if (!condition) Fail(what, text);
}

// Round half to even, computed differently from the core: from the nearest whole number
// away from zero, stepping back when that is odd and exactly half-way.
double ReferenceRound(double value) {
  if (!std::isfinite(value)) return value;
  double away = std::round(value);
  if (std::fabs(away - value) == 0.5 && std::fmod(away, 2) != 0) away -= std::copysign(1.0, value);
  return away;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool SameNumber(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

void CheckRoundToByte(double value, std::string_view text) {
  const patch::Expected<std::uint8_t> byte = patch::RoundToByte(value);
  const double expected = ReferenceRound(value);
  const bool inRange = expected >= 0 && expected <= 255;  // false for NaN
  if (byte.ok()) {
    Check(inRange, "RoundToByte accepted a value outside 0..255", text);
    Check(*byte == expected, "RoundToByte is not round-half-even", text);
    Check(std::fabs(*byte - value) <= 0.5, "RoundToByte moved by more than a half", text);
  } else {
    Check(!inRange, "RoundToByte rejected a value that rounds into 0..255", text);
    Check(byte.error().number == patch::ErrorNumber::kOverflow, "RoundToByte error is not 6", text);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  const double leading = patch::LeadingNumber(text);
  Check(!std::isnan(leading), "LeadingNumber returned NaN", text);

  // A minus sign in front negates a text that starts with a decimal digit or period.
  std::string packed;
  for (char c : text) {
    if (c != ' ' && c != '\t' && c != '\n') packed.push_back(c);
  }
  if (!packed.empty() &&
      (std::isdigit(static_cast<unsigned char>(packed[0])) || packed[0] == '.')) {
    const double negated = patch::LeadingNumber("-" + std::string(text));
    Check(negated == -leading, "LeadingNumber of -text is not -LeadingNumber(text)", text);
  }

  const patch::Expected<double> whole = patch::WholeTextNumber(text);
  const std::string_view trimmed = Trimmed(text);
  if (whole.ok()) {
    Check(std::isfinite(*whole), "WholeTextNumber returned a value that is not finite", text);
    // A whole number has no inner blanks, so reading its start gives the same value.
    Check(SameNumber(leading, *whole), "LeadingNumber differs from an ok WholeTextNumber", text);
    if (!trimmed.empty() && trimmed[0] != '&') {
      // A decimal text: strtod, in the C locale, must read all of it to the same value.
      const std::string copy(trimmed);
      char* end = nullptr;
      const double reference = std::strtod(copy.c_str(), &end);
      Check(end == copy.c_str() + copy.size(), "WholeTextNumber accepted what strtod stops in",
            text);
      Check(reference == *whole, "WholeTextNumber differs from strtod", text);
    }
  } else {
    const patch::ErrorNumber number = whole.error().number;
    Check(number == patch::ErrorNumber::kTypeMismatch || number == patch::ErrorNumber::kOverflow,
          "WholeTextNumber error is neither 13 nor 6", text);
    if (number == patch::ErrorNumber::kTypeMismatch && !trimmed.empty() && trimmed[0] != '&' &&
        trimmed.find_first_not_of("+-.0123456789eE") == std::string_view::npos) {
      // Text of sign, digit, period and exponent characters only: what strtod reads to its end
      // is a plain decimal number, which the core must accept too.
      const std::string copy(trimmed);
      char* end = nullptr;
      std::strtod(copy.c_str(), &end);
      Check(end != copy.c_str() + copy.size(), "WholeTextNumber rejected a plain decimal number",
            text);
    }
  }

  const patch::Expected<std::int32_t> position = patch::TextToPosition(text);
  if (position.ok()) {
    Check(whole.ok(), "TextToPosition accepted what WholeTextNumber rejects", text);
    Check(*position == ReferenceRound(*whole), "TextToPosition is not round-half-even", text);
  } else if (!whole.ok()) {
    Check(position.error().number == whole.error().number,
          "TextToPosition error differs from WholeTextNumber's", text);
  } else {
    const double rounded = ReferenceRound(*whole);
    Check(position.error().number == patch::ErrorNumber::kOverflow,
          "TextToPosition rejected a number with an error other than 6", text);
    Check(rounded < std::numeric_limits<std::int32_t>::min() ||
              rounded > std::numeric_limits<std::int32_t>::max(),
          "TextToPosition overflowed on a value within 32 bits", text);
  }

  CheckRoundToByte(leading, text);
  if (whole.ok()) CheckRoundToByte(*whole, text);
  if (size >= sizeof(double)) {
    double raw = 0;  // any bit pattern, NaN and infinities included
    std::memcpy(&raw, data, sizeof raw);
    CheckRoundToByte(raw, text);
  }
  return 0;
}
