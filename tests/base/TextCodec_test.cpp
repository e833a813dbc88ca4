#include "base/TextCodec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

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

std::string Hex(std::string_view bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char b : bytes) {
    out += kDigits[b >> 4];
    out += kDigits[b & 0xF];
  }
  return out;
}

// Every character of the program's Chinese captions and messages, in code
// point order, and its code page 936 bytes from an independent encoder.
constexpr const char* kCaptionCharacters =
    "“”℃　。一三上个中主义二于五件传位低作使保信值"
    "入全六关内写出分删到前功加动助勾包化协单厂历原取"
    "变口史右号合名后否启告周和器四围在型域基备复外多"
    "天失始字存定容密导屏工已布帮常序度开弹当录心态恢"
    "息意成或户手才打找报拨择据掉接描提撤操改效数文断"
    "新日时星是显更最有期本机束条查标检欢每没注测消添"
    "清温湿点版状理用电的皮目知短码硬确示禁秒称空端符"
    "管类系线经结统继置联肤能脑自英范菜行表要规言警认"
    "议讯记设试话语误请读调败贮跳软输迎还连述退选通道"
    "配醒重量错键长闭间防限除项高默鼠！：；？";
constexpr const char* kCaptionCharactersGbk =
    "A1B0A1B1A1E6A1A1A1A3D2BBC8FDC9CFB8F6D6D0D6F7D2E5B6FED3DACEE5BCFEB4ABCEBBB5CDD7F7CAB9B1A3D0C5D6B5"
    "C8EBC8ABC1F9B9D8C4DAD0B4B3F6B7D6C9BEB5BDC7B0B9A6BCD3B6AFD6FAB9B4B0FCBBAFD0ADB5A5B3A7C0FAD4ADC8A1"
    "B1E4BFDACAB7D3D2BAC5BACFC3FBBAF3B7F1C6F4B8E6D6DCBACDC6F7CBC4CEA7D4DAD0CDD3F2BBF9B1B8B8B4CDE2B6E0"
    "CCECCAA7CABCD7D6B4E6B6A8C8DDC3DCB5BCC6C1B9A4D2D1B2BCB0EFB3A3D0F2B6C8BFAAB5AFB5B1C2BCD0C4CCACBBD6"
    "CFA2D2E2B3C9BBF2BBA7CAD6B2C5B4F2D5D2B1A8B2A6D4F1BEDDB5F4BDD3C3E8CCE1B3B7B2D9B8C4D0A7CAFDCEC4B6CF"
    "D0C2C8D5CAB1D0C7CAC7CFD4B8FCD7EED3D0C6DAB1BEBBFACAF8CCF5B2E9B1EABCECBBB6C3BFC3BBD7A2B2E2CFFBCCED"
    "C7E5CEC2CAAAB5E3B0E6D7B4C0EDD3C3B5E7B5C4C6A4C4BFD6AAB6CCC2EBD3B2C8B7CABEBDFBC3EBB3C6BFD5B6CBB7FB"
    "B9DCC0E0CFB5CFDFBEADBDE1CDB3BCCCD6C3C1AAB7F4C4DCC4D4D7D4D3A2B7B6B2CBD0D0B1EDD2AAB9E6D1D4BEAFC8CF"
    "D2E9D1B6BCC7C9E8CAD4BBB0D3EFCEF3C7EBB6C1B5F7B0DCD6FCCCF8C8EDCAE4D3ADBBB9C1ACCAF6CDCBD1A1CDA8B5C0"
    "C5E4D0D1D6D8C1BFB4EDBCFCB3A4B1D5BCE4B7C0CFDEB3FDCFEEB8DFC4ACCAF3A3A1A3BAA3BBA3BF";

TEST(TextCodec, EncodesEveryCaptionCharacterToItsCodePage936BytesAndBack) {
  const std::u16string characters = Utf8ToUtf16(kCaptionCharacters);
  const std::string expected = kCaptionCharactersGbk;
  ASSERT_EQ(characters.size() * 4, expected.size());
  for (std::size_t i = 0; i < characters.size(); ++i) {
    const std::string utf8 = Utf16ToUtf8(characters.substr(i, 1));
    const std::string gbk = Utf8ToGbk(utf8);
    EXPECT_EQ(Hex(gbk), expected.substr(i * 4, 4)) << utf8;
    EXPECT_EQ(GbkToUtf8(gbk), utf8) << expected.substr(i * 4, 4);
  }
  // Whole captions, ASCII and double-byte characters mixed.
  EXPECT_EQ(Hex(Utf8ToGbk("1.Modbus TCP协议")), "312E4D6F6462757320544350D0ADD2E9");
  EXPECT_EQ(GbkToUtf8(Utf8ToGbk("低限值(温度范围:-55~125℃)")), "低限值(温度范围:-55~125℃)");
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

// Bytes that are no code page 936 text stand for themselves (U+F700 + b)
// and go back to the same bytes.
TEST(TextCodec, KeepsBytesThatAreNoCodePage936TextThroughTheRoundTrip) {
  const auto escape = [](unsigned b) {
    return Utf16ToUtf8(std::u16string(1, char16_t(0xF700 + b)));
  };
  struct Case {
    std::string Gbk, Utf8;
  };
  const Case cases[] = {
      {"ab\xC8", "ab" + escape(0xC8)},                    // lead byte cut by the end
      {std::string("\xC8") + "01", escape(0xC8) + "01"},  // '0' cannot trail: kept
      {"\xC8\x7F", escape(0xC8) + "\x7F"},                // nor can DEL
      {"\xC8\xFF", escape(0xC8) + escape(0xFF)},          // nor 0xFF
      {"\xFF", escape(0xFF)},
      {"\x80", Utf16ToUtf8(u"\u20AC")},  // the euro sign is text
      {std::string("\xB0\x00", 2), escape(0xB0) + std::string(1, '\0')},
      {"\xCE\xC2\xB6", "\xE6\xB8\xA9" + escape(0xB6)},  // 温 and half a character
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Hex(GbkToUtf8(c.Gbk)), Hex(c.Utf8)) << Hex(c.Gbk);
    EXPECT_EQ(Hex(Utf8ToGbk(GbkToUtf8(c.Gbk))), Hex(c.Gbk));
  }
}

// Every single byte and every lead and trail pair, decoded and encoded again,
// is the same bytes, and valid text decodes to no byte escape.
TEST(TextCodec, EveryByteSequenceComesBackAsItWas) {
  for (unsigned b = 0x80; b <= 0xFF; ++b) {
    const std::string one(1, static_cast<char>(b));
    EXPECT_EQ(Hex(Utf8ToGbk(GbkToUtf8(one))), Hex(one));
    for (unsigned trail = 0x00; trail <= 0xFF; ++trail) {
      const std::string two = one + static_cast<char>(trail) + "z";
      ASSERT_EQ(Hex(Utf8ToGbk(GbkToUtf8(two))), Hex(two));
    }
  }
  const std::u16string text = Utf8ToUtf16(GbkToUtf8(Utf8ToGbk(kCaptionCharacters)));
  EXPECT_EQ(text, Utf8ToUtf16(kCaptionCharacters));
  EXPECT_TRUE(
      std::none_of(text.begin(), text.end(), [](char16_t u) { return IsGbkByteEscape(u); }));
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
