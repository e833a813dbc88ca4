#include "skin/graphics/sTextUtils.h"

namespace kv {

namespace {

constexpr std::string_view kEllipsis = "...";

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Bytes of the character a lead byte starts; 0 for a byte that starts none.
std::size_t SequenceLength(char c) {
  const auto b = static_cast<unsigned char>(c);
  if (b < 0x80) return 1;
  if (b >= 0xF0 && b < 0xF8) return 4;
  if (b >= 0xE0) return b < 0xF0 ? 3 : 0;
  return b >= 0xC0 ? 2 : 0;
}

// Length of the text without its last character; a byte that belongs to no
// whole character goes alone.
std::size_t WithoutLastCharacter(std::string_view text, std::size_t length) {
  std::size_t start = length - 1;
  for (int k = 0; k < 3 && start > 0 && IsContinuation(text[start]); ++k) --start;
  return SequenceLength(text[start]) == length - start ? start : length - 1;
}

}  // namespace

std::string CutTextWithEllipsis(const ITextMeasurer& measurer, std::string_view text,
                                int maxWidth) {
  if (maxWidth < 1) return {};
  if (measurer.TextWidth(text) <= maxWidth) return std::string(text);
  std::string candidate;
  for (std::size_t length = text.size(); length > 0;) {
    length = WithoutLastCharacter(text, length);
    if (length == 0) break;
    candidate.assign(text.substr(0, length)).append(kEllipsis);
    if (measurer.TextWidth(candidate) <= maxWidth) return candidate;
  }
  return {};
}

}  // namespace kv
