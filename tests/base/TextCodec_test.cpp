#include "base/TextCodec.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(TextCodec, RoundTripsChineseAndSupplementaryText) {
  const std::string text = "温度 Temperature √ \xF0\x9F\x98\x80";
  const std::u16string wide = Utf8ToUtf16(text);
  EXPECT_EQ(wide.substr(0, 3), u"温度 ");
  EXPECT_EQ(wide[wide.size() - 2], 0xD83D);
  EXPECT_EQ(wide[wide.size() - 1], 0xDE00);
  EXPECT_EQ(Utf16ToUtf8(wide), text);
}

TEST(TextCodec, ReplacesIllFormedInputOneBadByteAtATime) {
  EXPECT_EQ(Utf8ToUtf16("a\x80" "b"), u"a\uFFFDb");
  EXPECT_EQ(Utf8ToUtf16("\xE6\xB8"), u"\uFFFD\uFFFD");     // cut at the end
  EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");     // overlong "/"
  EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");  // surrogate
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800)) + u"x"), "\xEF\xBF\xBDx");
}

}  // namespace
}  // namespace kv
