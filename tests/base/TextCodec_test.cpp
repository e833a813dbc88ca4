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
  EXPECT_EQ(Utf8ToUtf16("a\x80"
                        "b"),
            u"a\uFFFDb");
  EXPECT_EQ(Utf8ToUtf16("\xE6\xB8"), u"\uFFFD\uFFFD");            // cut at the end
  EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");            // overlong "/"
  EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");  // surrogate
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800)) + u"x"), "\xEF\xBF\xBDx");
}

}  // namespace
}  // namespace kv

#include "CaptionTexts.h"

namespace kv {
namespace {

std::string Hex(std::string_view bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char b : bytes) {
    out += kDigits[b >> 4];
    out += kDigits[b & 0xF];
  }
  return out;
}

TEST(TextCodec, EncodesEveryCaptionTextToItsCodePage936BytesAndBack) {
  for (const auto& caption : test::kCaptionTexts) {
    const std::string gbk = Utf8ToGbk(caption.utf8);
    EXPECT_EQ(Hex(gbk), caption.gbkHex) << caption.utf8;
    EXPECT_EQ(GbkToUtf8(gbk), caption.utf8) << caption.gbkHex;
  }
}

TEST(TextCodec, WritesTheTickAsA1CC) {
  EXPECT_EQ(Utf8ToGbk("√"), "\xA1\xCC");
  EXPECT_EQ(GbkToUtf8("\xA1\xCC"), "√");
  EXPECT_EQ(Utf8ToGbk("a√b"),
            "a\xA1\xCC"
            "b");
}

TEST(TextCodec, ReplacesWhatCodePage936CannotHoldByQuestionMarks) {
  EXPECT_EQ(Utf8ToGbk("x\xF0\x9F\x98\x80y"), "x?y");  // outside the BMP
  EXPECT_EQ(Utf8ToGbk("\xEA\xB0\x80"), "?");          // Hangul syllable
  EXPECT_EQ(Utf8ToGbk("a\x80z"), "a?z");              // ill-formed UTF-8
  EXPECT_EQ(Utf8ToGbk("\xEF\xBF\xBD"), "?");          // U+FFFD itself
}

TEST(TextCodec, DecodesBadCodePage936BytesAsReplacementCharacters) {
  const std::string fffd = "\xEF\xBF\xBD";
  EXPECT_EQ(GbkToUtf8("ab\xC8"), "ab" + fffd);  // lead byte cut by the end
  EXPECT_EQ(GbkToUtf8("\xC8\x30"
                      "1"),
            fffd + "01");  // '0' cannot trail: kept
  EXPECT_EQ(GbkToUtf8("\xFF"), fffd);
  EXPECT_EQ(GbkToUtf8(std::string("\xB0\x00", 2)), fffd + std::string(1, '\0'));
}

TEST(TextCodec, PassesAsciiAndNulBytesThroughUnchanged) {
  const std::string ascii("A\0B\x7F~", 5);
  EXPECT_EQ(Utf8ToGbk(ascii), ascii);
  EXPECT_EQ(GbkToUtf8(ascii), ascii);
  EXPECT_EQ(Utf8ToGbk(""), "");
}

TEST(TextCodec, TruncatesWithoutSplittingADoubleByteCharacter) {
  const std::string gbk = Utf8ToGbk("温度ab");  // CE C2 B6 C8 61 62
  struct Case {
    size_t max;
    const char* expected;
  };
  const Case cases[] = {{0, ""},     {1, ""},      {2, "温"},     {3, "温"},
                        {4, "温度"}, {5, "温度a"}, {6, "温度ab"}, {100, "温度ab"}};
  for (const Case& c : cases) {
    EXPECT_EQ(GbkToUtf8(GbkTruncate(gbk, c.max)), c.expected) << c.max;
  }
  EXPECT_EQ(GbkTruncate("a\xC8", 2), "a\xC8");  // a cut lead byte counts as one byte
  EXPECT_EQ(GbkTruncate("a\xC8\xCE", 2), "a");
}

}  // namespace
}  // namespace kv
