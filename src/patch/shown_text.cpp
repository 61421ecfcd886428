#include "shown_text.h"

#include <algorithm>

namespace patch {

namespace {

// The length of the UTF-8 character at the start of text; 0 when it is none.
std::size_t CharacterLength(std::string_view text) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  const std::size_t length = lead < 0x80                    ? 1
                             : lead >= 0xC2 && lead <= 0xDF ? 2
                             : lead >= 0xE0 && lead <= 0xEF ? 3
                             : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                            : 0;
  if (length > text.size()) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
  }
  // No overlong forms, surrogates or values past U+10FFFF.
  if ((lead == 0xE0 && byte(1) < 0xA0) || (lead == 0xED && byte(1) > 0x9F) ||
      (lead == 0xF0 && byte(1) < 0x90) || (lead == 0xF4 && byte(1) > 0x8F)) {
    return 0;
  }
  return length;
}

}  // namespace

std::string Shown(std::string_view text) {
  constexpr std::size_t kMaxShown = 40;
  std::string shown;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = CharacterLength(text.substr(at));
    const std::size_t taken = std::max<std::size_t>(length, 1);
    if (at + taken > kMaxShown) return shown + "…";
    const auto byte = static_cast<unsigned char>(text[at]);
    const auto next = at + 1 < text.size() ? static_cast<unsigned char>(text[at + 1]) : 0;
    // Controls (C0, DEL, C1) and bytes of no character: a NUL would end the box's text there,
    // and the others break or garble its lines.
    const bool control = byte < 0x20 || byte == 0x7F || (byte == 0xC2 && next < 0xA0);
    if (length == 0 || control) {
      static constexpr char kHex[] = "0123456789ABCDEF";
      for (std::size_t i = at; i < at + taken; ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        shown += {'\\', 'x', kHex[b >> 4], kHex[b & 0xF]};
      }
    } else {
      shown.append(text.substr(at, length));
    }
    at += taken;
  }
  return shown;
}

std::string PathText(const std::filesystem::path& path) {
  std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace patch
