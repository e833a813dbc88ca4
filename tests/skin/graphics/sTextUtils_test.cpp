#include "skin/graphics/sTextUtils.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

// 10 pixels an ASCII character, 20 any other character; a byte that does not
// start a character costs 1000, so that a cut inside one shows.
class FakeMeasurer : public ITextMeasurer {
 public:
  int TextWidth(std::string_view text) const override {
    int w = 0;
    for (std::size_t i = 0; i < text.size();) {
      const auto c = static_cast<unsigned char>(text[i]);
      const std::size_t n = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 0;
      if (n == 0 || i + n > text.size()) return w + 1000;
      w += n == 1 ? 10 : 20;
      i += n;
    }
    return w;
  }
};

struct EllipsisCase {
  std::string_view text;
  int maxWidth;
  std::string_view expected;
};

TEST(CutTextWithEllipsis, KeepsWholeCharactersThatFitWithTheEllipsis) {
  const EllipsisCase cases[] = {
      {"Temperature", 70, "Temp..."},  // four characters and "..." in 70 pixels
      {"Temperature", 110, "Temperature"},
      {"Temperature", 0, ""},
      {"Temperature", -5, ""},
      {"Temperature", 35, ""},  // not even one character with "..."
      {"温度湿度记录仪", 95, "温度湿..."},
      {"温度湿度记录仪", 89, "温度..."},
      {"a😀bc", 49, "a..."},  // a four-byte character goes whole
      {"", 10, ""},
  };
  const FakeMeasurer m;
  for (const EllipsisCase& c : cases)
    EXPECT_EQ(CutTextWithEllipsis(m, c.text, c.maxWidth), c.expected)
        << c.text << " in " << c.maxWidth;
}

// Broken UTF-8 still ends in whole characters or single stray bytes, never
// past the text.
TEST(CutTextWithEllipsis, StepsOverStrayBytes) {
  const FakeMeasurer m;
  EXPECT_EQ(CutTextWithEllipsis(m, "ab\x80\x80\x80\x80\x80", 50), "ab...");
  EXPECT_EQ(CutTextWithEllipsis(m, "\x80\x80", 50), "");
}

}  // namespace
}  // namespace kv
