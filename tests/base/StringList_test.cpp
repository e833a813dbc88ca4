#include "base/StringList.h"

#include <gtest/gtest.h>

#include "TempFolder.h"
#include "base/Streams.h"
#include "base/SysUtils.h"

namespace kv {
namespace {

std::vector<std::string> Items(const TStringList& list) {
  std::vector<std::string> out;
  for (int i = 0; i < list.Count(); ++i) out.push_back(list[i]);
  return out;
}

TEST(StringList, KeepsItemsInOrderAndRefusesBadIndexes) {
  TStringList list;
  EXPECT_EQ(list.Add("b"), 0);
  EXPECT_EQ(list.Add("a"), 1);
  list.Insert(0, "c");
  list.Insert(3, "d");
  EXPECT_EQ(Items(list), (std::vector<std::string>{"c", "b", "a", "d"}));
  list.Put(1, "B");
  list.Delete(0);
  EXPECT_EQ(Items(list), (std::vector<std::string>{"B", "a", "d"}));
  EXPECT_THROW(list[3], EStringListError);
  EXPECT_THROW(list.Delete(-1), EStringListError);
  EXPECT_THROW(list.Insert(5, "x"), EStringListError);
  try {
    list.Strings(7);
  } catch (const EStringListError& e) {
    EXPECT_EQ(e.Message(), "List index out of bounds (7)");
  }
  EXPECT_EQ(list.IndexOf("A"), 1);  // case-insensitive
  EXPECT_EQ(list.IndexOf("zz"), -1);
}

TEST(StringList, SortedListOrdersWithoutCaseAndIgnoresDuplicates) {
  TStringList ports;
  ports.SetSorted(true);
  for (const char* p : {"COM3", "COM10", "COM1", "com3"}) ports.Add(p);
  EXPECT_EQ(Items(ports), (std::vector<std::string>{"COM1", "COM10", "COM3"}));
  EXPECT_EQ(ports.Add("Com10"), 1);  // the existing index
  EXPECT_EQ(ports.IndexOf("com10"), 1);
  int at = -1;
  EXPECT_FALSE(ports.Find("COM2", at));
  EXPECT_EQ(at, 2);
  EXPECT_THROW(ports.Insert(0, "x"), EStringListError);
  EXPECT_THROW(ports.Put(0, "x"), EStringListError);

  ports.SetDuplicates(dupError);
  EXPECT_THROW(ports.Add("COM1"), EStringListError);
  ports.SetDuplicates(dupAccept);
  ports.Add("COM1");
  EXPECT_EQ(ports.Count(), 4);
}

TEST(StringList, SortingAnExistingListKeepsEqualItemsInOrder) {
  TStringList list;
  for (const char* s : {"b", "A", "a", "C"}) list.Add(s);
  list.SetSorted(true);
  EXPECT_EQ(Items(list), (std::vector<std::string>{"A", "a", "b", "C"}));
  list.SetSorted(false);
  list.CustomSort([](const TStringList& l, int i, int j) { return l[j].compare(l[i]); });
  EXPECT_EQ(Items(list), (std::vector<std::string>{"b", "a", "C", "A"}));
}

TEST(StringList, TextJoinsWithCrLfAndSplitsAnyLineEnd) {
  TStringList list;
  list.SetText("one\r\ntwo\nthree\rfour\r\n\r\nsix");
  EXPECT_EQ(Items(list), (std::vector<std::string>{"one", "two", "three", "four", "", "six"}));
  EXPECT_EQ(list.Text(), "one\r\ntwo\r\nthree\r\nfour\r\n\r\nsix\r\n");
  list.SetText("a\r\n");
  EXPECT_EQ(list.Count(), 1);
  list.SetText("");
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Text(), "");
}

TEST(StringList, ReadsNameValuePairs) {
  TStringList list;
  list.SetText("lbledt_Gprs_IP=1.2.3.4\nx=a=b\nnoequals");
  EXPECT_EQ(list.Names(1), "x");
  EXPECT_EQ(list.ValueFromIndex(1), "a=b");
  EXPECT_EQ(list.Values("LBLEDT_GPRS_IP"), "1.2.3.4");
  EXPECT_EQ(list.Values("noequals"), "");
  list.SetValue("x", "c");
  EXPECT_EQ(list[1], "x=c");
}

TEST(StringList, ObjectsAreReferencedOrOwned) {
  struct TFlag : TObject {
    explicit TFlag(bool* freed) : freed_(freed) {}
    ~TFlag() override { *freed_ = true; }
    bool* freed_;
  };
  bool ownedFreed = false;
  bool refFreed = false;
  TFlag ref(&refFreed);
  {
    TStringList list;
    list.AddObject("ref", &ref);
    list.AddObject("own", std::make_unique<TFlag>(&ownedFreed));
    EXPECT_EQ(list.Objects(0), &ref);
    EXPECT_EQ(list.IndexOfObject(&ref), 0);
    TStringList copy;
    copy.Assign(list);
    EXPECT_EQ(copy.Objects(1), list.Objects(1));
    list.Delete(1);
    EXPECT_TRUE(ownedFreed);
  }
  EXPECT_FALSE(refFreed);
}

TEST(StringList, SavesAndLoadsCodePage936AndUtf8Files) {
  test::TempFolder tmp;
  TStringList lines;
  lines.Add("26-12-06,10:00:00,温度1,25.3,√");
  lines.Add("Relay Switch,继电器1");
  lines.SaveToFile(tmp.File("h.csv"));
  EXPECT_EQ(ReadFileBytes(tmp.File("h.csv")),
            "26-12-06,10:00:00,\xCE\xC2\xB6\xC8"
            "1,25.3,\xA1\xCC\r\n"
            "Relay Switch,\xBC\xCC\xB5\xE7\xC6\xF7"
            "1\r\n");
  TStringList back;
  back.LoadFromFile(tmp.File("h.csv"));
  EXPECT_EQ(Items(back), Items(lines));

  lines.SaveToFile(tmp.File("u.txt"), TTextEncoding::Utf8);
  back.LoadFromFile(tmp.File("u.txt"), TTextEncoding::Utf8);
  EXPECT_EQ(Items(back), Items(lines));

  WriteFileBytes(tmp.File("bom.txt"), "\xEF\xBB\xBF温度\r\n");
  back.LoadFromFile(tmp.File("bom.txt"), TTextEncoding::Gbk);
  EXPECT_EQ(Items(back), std::vector<std::string>{"温度"});
}

TEST(StringList, LoadingAMissingFileNamesIt) {
  test::TempFolder tmp;
  TStringList list;
  list.Add("kept");
  try {
    list.LoadFromFile(tmp.File("missing.csv"));
    FAIL();
  } catch (const EFOpenError& e) {
    EXPECT_NE(e.Message().find("missing.csv"), std::string::npos) << e.Message();
  }
  EXPECT_EQ(list.Count(), 1);
}

}  // namespace
}  // namespace kv
