#pragma once
// Text helpers of the skin painters that need no device context: shortening
// a caption with an ellipsis, measured by whatever draws it.

#include <string>
#include <string_view>

namespace kv {

// Width in pixels of a UTF-8 text in the font that will draw it (a canvas in
// the Windows build).
class ITextMeasurer {
 public:
  virtual ~ITextMeasurer() = default;
  virtual int TextWidth(std::string_view text) const = 0;
};

// The text when it fits MaxWidth; otherwise its longest start, cut at a whole
// character, that fits with "..." appended, followed by "...". Empty when
// MaxWidth is below 1 or not even one character fits.
std::string CutTextWithEllipsis(const ITextMeasurer& measurer, std::string_view text, int maxWidth);

}  // namespace kv
