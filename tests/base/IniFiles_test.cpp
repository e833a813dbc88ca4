#include "base/IniFiles.h"

#include <gtest/gtest.h>

#include "TempFolder.h"
#include "base/Streams.h"
#include "base/StringList.h"
#include "base/TextCodec.h"

namespace kv {
namespace {

std::vector<std::string> Items(const TStringList& list) {
  std::vector<std::string> out;
  for (int i = 0; i < list.Count(); ++i) out.push_back(list[i]);
  return out;
}

class IniFileTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& bytes) {
    WriteFileBytes(name_, bytes);
    return name_;
  }
  std::string Bytes() { return ReadFileBytes(name_); }

  test::TempFolder tmp_;
  std::string name_ = tmp_.File("profile.ini");
};

TEST_F(IniFileTest, WritesNewSectionsAndKeysAsCodePage936Text) {
  TIniFile ini(name_);
  ini.WriteString("Value", "lbledt_Master_DevDes", "冷库1");
  ini.WriteBool("Value", "chk_Auto_Armed", true);
  ini.WriteInteger("Value", "cbb_GPRS_TcpUdp", -1);
  ini.WriteString("lvDo", "DOUT1", "High Alarm^~^80^");
  EXPECT_EQ(Bytes(),
            "[Value]\r\nlbledt_Master_DevDes=\xC0\xE4\xBF\xE2"
            "1\r\n"
            "chk_Auto_Armed=1\r\ncbb_GPRS_TcpUdp=-1\r\n"
            "[lvDo]\r\nDOUT1=High Alarm^~^80^\r\n");
  EXPECT_EQ(ini.ReadString("value", "LBLEDT_MASTER_DEVDES", "x"), "冷库1");
  EXPECT_TRUE(ini.ReadBool("Value", "chk_Auto_Armed", false));
  EXPECT_EQ(ini.ReadInteger("Value", "cbb_GPRS_TcpUdp", 5), -1);
}

TEST_F(IniFileTest, RewritingKeepsEverythingItDoesNotWrite) {
  const std::string before =
      "; written by hand\n"
      "top=before any section\n"
      "[Value]\n"
      "Old_Key = from an older version\n"
      "chk_ShowPassword=0\n"
      "\n"
      "[Other]\r\n"
      "a=1";
  Write(before);
  TIniFile ini(name_);
  ini.WriteString("Value", "chk_ShowPassword", "1");
  ini.WriteString("Value", "lbledt_TcpPort", "5000");
  ini.WriteString("Other", "b", "2");
  EXPECT_EQ(Bytes(),
            "; written by hand\n"
            "top=before any section\n"
            "[Value]\n"
            "Old_Key = from an older version\n"
            "chk_ShowPassword=1\n"
            "lbledt_TcpPort=5000\r\n"
            "\n"
            "[Other]\r\n"
            "a=1\r\n"
            "b=2\r\n");
  EXPECT_EQ(ini.ReadString("Value", "Old_Key", ""), "from an older version");
}

TEST_F(IniFileTest, TrimsNamesAndValuesAndDropsSurroundingQuotes) {
  Write(
      "  [ Value ]  \r\n  key one  =  some text  \r\nquoted=\" padded \"\r\nhalf=\"open\r\n"
      "single='x'\r\nmixed=\"x'\r\n");
  TIniFile ini(name_);
  EXPECT_EQ(ini.ReadString(" VALUE", "KEY ONE ", ""), "some text");
  EXPECT_EQ(ini.ReadString("Value", "quoted", ""), " padded ");
  EXPECT_EQ(ini.ReadString("Value", "half", ""), "\"open");
  EXPECT_EQ(ini.ReadString("Value", "single", ""), "x");
  EXPECT_EQ(ini.ReadString("Value", "mixed", ""), "\"x'");
  EXPECT_EQ(ini.ReadString("Value", "missing", "def"), "def");
  EXPECT_EQ(ini.ReadString("Nope", "key one", "def"), "def");
  EXPECT_EQ(ini.ReadString("Value", "", "def"), "def");
  EXPECT_EQ(ini.ReadString("", "key one", "def"), "def");
}

TEST_F(IniFileTest, ReadsIntegersWithHexadecimalPrefixes) {
  Write("[V]\na=12\nb=0x1F\nc=$1f\nd=0x\ne=12abc\nf=\n");
  TIniFile ini(name_);
  EXPECT_EQ(ini.ReadInteger("V", "a", -1), 12);
  EXPECT_EQ(ini.ReadInteger("V", "b", -1), 31);
  EXPECT_EQ(ini.ReadInteger("V", "c", -1), 31);
  EXPECT_EQ(ini.ReadInteger("V", "d", -1), -1);
  EXPECT_EQ(ini.ReadInteger("V", "e", -1), -1);
  EXPECT_EQ(ini.ReadInteger("V", "f", -1), -1);
  EXPECT_FALSE(ini.ReadBool("V", "missing", false));
  EXPECT_TRUE(ini.ReadBool("V", "b", false));
}

TEST_F(IniFileTest, ListsSectionsKeysAndValuesInFileOrder) {
  Write("[lvTh]\nTemperature1=1^~^\n[Value]\nb=2\na=1\nb=3\n;c=4\nbare\n[LVTH]\nx=9\n");
  TIniFile ini(name_);
  TStringList list;
  ini.ReadSections(list);
  EXPECT_EQ(Items(list), (std::vector<std::string>{"lvTh", "Value", "LVTH"}));
  ini.ReadSection("value", list);
  EXPECT_EQ(Items(list), (std::vector<std::string>{"b", "a", "b"}));
  ini.ReadSectionValues("Value", list);
  EXPECT_EQ(Items(list), (std::vector<std::string>{"b=2", "a=1", "b=2"}));
  EXPECT_EQ(ini.ReadString("Value", ";c", ""), "4");  // comments only stay out of lists
  EXPECT_EQ(ini.ReadString("Value", "bare", "d"), "d");
  EXPECT_TRUE(ini.SectionExists("LVTH"));
  EXPECT_FALSE(ini.SectionExists("lvTel"));
  EXPECT_TRUE(ini.ValueExists("Value", "A"));
  EXPECT_FALSE(ini.ValueExists("Value", "c"));
  ini.ReadSectionValues("missing", list);
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(IniFileTest, ErasesSectionsAndDeletesKeys) {
  Write("[A]\nk=1\nj=2\n[B]\nk=3\n[a]\nk=4\n");
  TIniFile ini(name_);
  ini.DeleteKey("B", "K");
  ini.DeleteKey("B", "none");
  ini.EraseSection("a");  // every section of that name
  EXPECT_EQ(Bytes(), "[B]\n");
  ini.EraseSection("missing");
  EXPECT_EQ(Bytes(), "[B]\n");
}

TEST_F(IniFileTest, CaseFoldingNeverTouchesDoubleByteCharacters) {
  // 0xB0 0x61 and 0xB0 0x41 are two different characters; folding their
  // trail bytes would make the names equal.
  Write("[S]\n\xB0\x61=lower\n");
  TIniFile ini(name_);
  EXPECT_EQ(ini.ReadString("S", GbkToUtf8("\xB0\x41"), "none"), "none");
  EXPECT_EQ(ini.ReadString("S", GbkToUtf8("\xB0\x61"), "none"), "lower");
}

TEST_F(IniFileTest, AValueCannotAddLinesOfItsOwn) {
  TIniFile ini(name_);
  ini.WriteString("Value", "lbledt_DeviseID", "x\r\n[Value]\r\nchk_ShowPassword=1");
  TStringList keys;
  ini.ReadSection("Value", keys);
  EXPECT_EQ(Items(keys), std::vector<std::string>{"lbledt_DeviseID"});
}

TEST_F(IniFileTest, MissingFileReadsAsEmptyAndUnwritableFileRaises) {
  TIniFile missing(tmp_.File("nothing.ini"));
  EXPECT_EQ(missing.ReadString("Value", "a", "d"), "d");
  TStringList list;
  list.Add("stale");
  missing.ReadSections(list);
  EXPECT_EQ(list.Count(), 0);

  const std::string bad = tmp_.File("no-such-folder") + PathDelim() + "p.ini";
  TIniFile ini(bad);
  try {
    ini.WriteString("Value", "a", "1");
    FAIL();
  } catch (const EIniFileException& e) {
    EXPECT_EQ(e.Message(), "Unable to write to " + bad);
  }
  EXPECT_THROW(TIniFile(name_).WriteString("", "a", "1"), EWriteError);
}

TEST_F(IniFileTest, MalformedAndTruncatedTextGivesDefinedResults) {
  const std::string samples[] = {
      "[",
      "[]\n=\n==\n",
      "[Value\nkey=1\n",  // header without "]"
      "]\n[Value]]x\nkey=2\n",
      std::string("[Value]\nkey=\xB0", 13),  // cut in a double-byte character
      std::string("\0\0[Value]\0\nkey\0=3\n", 18),
      "\xFF\xFE[\x00V\x00]\x00",
      "key=outside\n[Value]\r\r\n\n\rkey\r",
  };
  for (const std::string& sample : samples) {
    Write(sample);
    TIniFile ini(name_);
    TStringList list;
    ini.ReadSections(list);
    for (int i = 0; i < list.Count(); ++i) {
      TStringList values;
      ini.ReadSectionValues(list[i], values);
    }
    ini.ReadString("Value", "key", "d");
    ini.WriteString("Value", "key", "w");
    EXPECT_EQ(ini.ReadString("Value", "key", "d"), "w") << sample;
  }
  // As Windows reads them: no "]", no section; "[" to the last "]" otherwise.
  Write("[Value\nkey=1\n[Other]]x\nkey=2\n");
  EXPECT_EQ(TIniFile(name_).ReadString("Value", "key", "d"), "d");
  EXPECT_EQ(TIniFile(name_).ReadString("Other]", "key", "d"), "2");
}

TEST_F(IniFileTest, SectionNamesMayEndInACharacterWhoseSecondByteIsABracket) {
  // 0xB0 0x5D is one character although 0x5D is "]".
  Write("[\xB0\x5D]\r\nk=1\r\n");
  TIniFile ini(name_);
  EXPECT_EQ(ini.ReadString(GbkToUtf8("\xB0\x5D"), "k", "d"), "1");
}

TEST_F(IniFileTest, AProfileCutAtAnyByteKeepsEveryCompleteLine) {
  struct Entry {
    const char* section;
    const char* key;
    const char* value;
  };
  const Entry entries[] = {{"Value", "lbledt_Master_DevDes", "冷库1"},
                           {"Value", "chk_Auto_Armed", "1"},
                           {"lvDo", "DOUT1", "High Alarm^~^80^"},
                           {"lvTel", "1", "13800138000^√^~^"}};
  {
    TIniFile ini(name_);
    for (const Entry& e : entries) ini.WriteString(e.section, e.key, e.value);
  }
  const std::string full = Bytes();
  for (size_t cut = 0; cut <= full.size(); ++cut) {
    Write(full.substr(0, cut));
    TIniFile ini(name_);
    for (const Entry& e : entries) {
      const std::string line = std::string(e.key) + "=" + Utf8ToGbk(e.value);
      const size_t end = full.find(line) + line.size();
      const std::string got = ini.ReadString(e.section, e.key, "(none)");
      if (end <= cut) {
        EXPECT_EQ(got, e.value) << "cut at " << cut;
      }
    }
    ini.WriteString("lvTimer", "1", "x");
    EXPECT_EQ(ini.ReadString("lvTimer", "1", ""), "x") << "cut at " << cut;
  }
}

TEST_F(IniFileTest, RandomBytesNeverBreakReadingOrWriting) {
  const std::string alphabet("[]=;\r\n \t\"ab\xB0\xA1\x5D\x00V", 17);
  uint32_t seed = 12345;
  const auto next = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return seed >> 16;
  };
  for (int round = 0; round < 300; ++round) {
    std::string text;
    const size_t size = next() % 200;
    for (size_t i = 0; i < size; ++i) text += alphabet[next() % alphabet.size()];
    Write(text);
    TIniFile ini(name_);
    TStringList sections;
    ini.ReadSections(sections);
    for (int i = 0; i < sections.Count(); ++i) {
      TStringList values;
      ini.ReadSectionValues(sections[i], values);
      ini.ReadSection(sections[i], values);
    }
    ini.WriteString("V", "a", "value");
    EXPECT_EQ(ini.ReadString("V", "a", ""), "value") << round;
    ini.DeleteKey("V", "a");
    ini.EraseSection("V");
    EXPECT_FALSE(ini.SectionExists("V")) << round;
  }
}

}  // namespace
}  // namespace kv
