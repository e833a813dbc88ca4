#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "app/ConstLang_Unt.h"
#include "app/SoftDateTime_Unt.h"
#include "app/TLanguage_Unt.h"

namespace kv {
namespace {

using TTable = std::span<const TCaptionText> (*)();

// A sample of captions as the logger's documentation writes them, a few of
// every kind, with the texts that are easiest to get wrong (blanks, ideographic
// spaces, accelerators, the one caption that is empty).
struct TSample {
  TTable Table;
  const char* Name;
  const char* English;
  const char* Chinese;
};
void PrintTo(const TSample& s, std::ostream* os) { *os << s.Name; }
const TSample kSamples[] = {
    {ButtonCaptions, "btn_DO1_Close", "DO1 Close", "闭合继电器1"},
    {ButtonCaptions, "btn_ReadHistroyFull", "Read", "多条"},
    {CheckBoxCaptions, "chk_AutoAlarmAfterDisarm", "Auto Arm after Disarmed",
     "撤防后在设定时间内自动布防,设定"},
    {GroupAndLabelCaptions, "grp_GPRS_BasicSeting", "", ""},
    {GroupAndLabelCaptions, "grp_Timer_Notice",
     "Notice:Tick it stands for Enabling the Timer,otherwise will be invalid.",
     "注意：“使能”要勾选才有效。"},
    {EditLabelCaptions, "lbledt_AutoMintues",
     "Minutes(Range 0~9999 min,default 0,means it will delay 30 seconds to auto Arm after "
     "Disarmed)",
     "分钟后自动布防(取值0~9999分,0表示30秒后自动布防，默认0)"},
    {EditLabelCaptions, "lbledt_DeviseID", "Device ID(0~65535)", "设备ID(0~65535)"},
    {SheetCaptions, "Sheet_Basic", "Basic Setting", "主机设备"},
    {MenuCaptions, "N_File", "File(&R)", "文件"},
    {MenuCaptions, "Pop_ReBoot", "Reboot(&Z)", "重　　启"},
    {MenuCaptions, "Pop_Th_Clear", "Clear Display", "清　屏"},
};

class CaptionSample : public testing::TestWithParam<TSample> {};

TEST_P(CaptionSample, ShowsTheDocumentedTextInBothLanguages) {
  const TSample& s = GetParam();
  const TCaptionText* entry = FindCaption(s.Table(), s.Name);
  ASSERT_NE(nullptr, entry) << s.Name;
  EXPECT_STREQ(s.English, entry->Text(LanguageEnglish));
  EXPECT_STREQ(s.Chinese, entry->Text(LanguageChinese));
}

INSTANTIATE_TEST_SUITE_P(Captions, CaptionSample, testing::ValuesIn(kSamples));

TEST(Captions, EveryTableNamesEachControlOnceWithBothTexts) {
  for (TTable table : {ButtonCaptions, CheckBoxCaptions, GroupAndLabelCaptions, EditLabelCaptions,
                       SheetCaptions, MenuCaptions, EnglishOnlyHints, FrameButtonCaptions}) {
    std::set<std::string> names;
    for (const TCaptionText& c : table()) {
      ASSERT_NE(nullptr, c.Name);
      EXPECT_TRUE(names.insert(c.Name).second) << c.Name << " twice";
      EXPECT_NE(nullptr, c.English) << c.Name;
      EXPECT_NE(nullptr, c.Chinese) << c.Name;
      EXPECT_EQ(&c, FindCaption(table(), c.Name));
    }
  }
  EXPECT_EQ(nullptr, FindCaption(ButtonCaptions(), "btn_None"));
}

TEST(Captions, SideBarItemsGoByOrder) {
  ASSERT_EQ(6u, SideBarCaptions().size());
  EXPECT_STREQ("  Number   Setting", SideBarCaptions()[2].English);
  EXPECT_STREQ("历史记录", SideBarCaptions()[5].Chinese);
}

TEST(Captions, ListColumnsInBothLanguages) {
  const std::pair<const char*, std::size_t> lists[] = {
      {"lvDo", 7}, {"lvTh", 13}, {"lvTel", 11}, {"lvTimer", 6}};
  for (const auto& [list, columns] : lists) {
    EXPECT_EQ(columns, ListColumnTexts(list, LanguageEnglish).size()) << list;
    EXPECT_EQ(columns, ListColumnTexts(list, LanguageChinese).size()) << list;
  }
  EXPECT_TRUE(ListColumnTexts("lvNone", LanguageEnglish).empty());
  EXPECT_EQ("Close Time(Range:0~9999s)", ListColumnTexts("lvDo", LanguageEnglish)[2]);
  EXPECT_EQ("联动继电器2", ListColumnTexts("lvTh", LanguageChinese)[12]);
  EXPECT_EQ("9.继电器变位通知", ListColumnTexts("lvTel", LanguageChinese)[10]);
  EXPECT_EQ("Action", ListColumnTexts("lvTimer", LanguageEnglish)[5]);
}

TEST(Captions, EightyNineLanguageTextsAssignedPerLanguage) {
  std::set<std::string> names;
  for (const TLangText& t : LangTexts()) names.insert(t.Name);
  names.insert("Lang_ThLowLimit");
  names.insert("Lang_ThHighLimit");
  EXPECT_EQ(89u, names.size());
  for (int language : {LanguageEnglish, LanguageChinese}) {
    AssignLanguageTexts(language, 0);
    for (const TLangText& t : LangTexts()) {
      const char* expected = language == LanguageEnglish ? t.English : t.Chinese;
      EXPECT_EQ(expected, *t.Variable) << t.Name;
      EXPECT_EQ(expected, LangText(t.Name, language)) << t.Name;
    }
  }
  EXPECT_EQ("", LangText("Lang_None", LanguageEnglish));
  AssignLanguageTexts(LanguageEnglish, 0);
  EXPECT_EQ("Reboot Device and Software?", Lang_MsgReboot);
  EXPECT_EQ("Low Singal", Lang_HistLowSignal);
  AssignLanguageTexts(LanguageChinese, 0);
  EXPECT_EQ("是否重启设备和软件？", Lang_MsgReboot);
  EXPECT_EQ("没有还原的记录", Lang_MsgFinish);
}

TEST(Captions, ThresholdLabelsFollowTheModelAndStayWhileItIsUnknown) {
  AssignLanguageTexts(LanguageEnglish, 2);
  EXPECT_EQ("Threshold Low(Temp range:-55~125℃)", Lang_ThLowLimit);
  EXPECT_EQ("Threshold High(Temp range:-55~125℃)", Lang_ThHighLimit);
  AssignLanguageTexts(LanguageChinese, 2);
  EXPECT_EQ("低限值(温度范围:-55~125℃)", Lang_ThLowLimit);
  for (int model : {0, 1}) {
    AssignLanguageTexts(LanguageChinese, model);
    EXPECT_EQ("高限值(温度范围:-40~80℃；湿度范围0~100RH%)", Lang_ThHighLimit) << model;
    AssignLanguageTexts(LanguageEnglish, model);
    EXPECT_EQ("Threshold Low(Temp range:-40~80℃; Hum range:0~100RH%)", Lang_ThLowLimit) << model;
  }
  const std::string kept = Lang_ThLowLimit;
  AssignLanguageTexts(LanguageChinese, -1);
  EXPECT_EQ(kept, Lang_ThLowLimit);
  EXPECT_EQ("确定", Lang_OK);
  std::string low, high;
  EXPECT_FALSE(ThresholdLimitTexts(LanguageEnglish, -1, low, high));
}

TEST(Captions, FixedTextsOfWindowsAndLists) {
  EXPECT_EQ("KV41/2/3 Temperature Humidity Data Logger Configurator  V2.2",
            MainWindowCaption(LanguageEnglish));
  EXPECT_EQ("KV41/2/3 温湿度配置软件  V2.2", MainWindowCaption(LanguageChinese));
  EXPECT_EQ(
      (std::vector<std::string>{"0.Disable", "1.Modbus TCP Protocol", "2.Definition Protocol"}),
      ProtocolItems(LanguageEnglish));
  EXPECT_EQ((std::vector<std::string>{"0.禁用", "1.Modbus TCP协议", "2.自定义协议"}),
            ProtocolItems(LanguageChinese));
  EXPECT_EQ("鼠标右键弹出菜单", ListViewHint(LanguageChinese));
  EXPECT_EQ("Input Error", InputErrorText(LanguageEnglish));
  EXPECT_STREQ("Auto Start", StatusBarCheckCaptions()[1].English);
  EXPECT_STREQ("调试", StatusBarCheckCaptions()[0].Chinese);
  EXPECT_STREQ("default 0,means not save",
               FindCaption(EnglishOnlyHints(), "lbledt_SaveRecordInterSec")->English);
  EXPECT_STREQ("类型", HistoryHeaderCaptions()[0].Chinese);
  const std::string hint = PhoneNumberHint;
  std::size_t lines = 0;
  for (std::size_t p = hint.find("\r\n"); p != std::string::npos; p = hint.find("\r\n", p + 1))
    ++lines;
  EXPECT_EQ(4u, lines);
  EXPECT_NE(std::string::npos, hint.find("GSM\\3G\\4G\\5G signal is lower than 14,full is 31."));
  EXPECT_STREQ("Range:0~65535s,stand for always close when action", DoCloseTimeHint);
}

// Write Setting refused for channel rows of the run's first device: the
// cause, and the restart, in both languages.
TEST(Captions, ChannelRowsOfAnotherDeviceNameTheCauseAndTheRestart) {
  const struct {
    int language;
    bool rowsBuilt;
    const char* text;
  } cases[] = {
      {LanguageEnglish, false,
       "The first device connected in this run named a model this program does not know, so "
       "no channel rows were set up (this device is a KV42), and they are set up only once a "
       "run. Restart the program to work with this device."},
      {LanguageChinese, true,
       "通道列表是按本次运行中第一台连接的设备的型号建立的，与此设备（KV42）不符，而通道列表每"
       "次运行只建立一次。请重新启动程序后再操作此设备。"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.text, ChannelRowsOfAnotherDeviceText(c.language, "KV42", c.rowsBuilt));
}

TEST(Captions, TimerListsCopyTheLanguageTexts) {
  LanguageFlag = LanguageChinese;
  RebuildTimerLists();
  EXPECT_EQ(8u, TimerWeekList.size());
  EXPECT_EQ("每天", TimerWeekList[7]);
  EXPECT_EQ("10.继电器2断开", TimerActionList[10]);
  LanguageFlag = LanguageEnglish;
  RebuildTimerLists();
  EXPECT_EQ("Sunday", TimerWeekList[0]);
  EXPECT_EQ("10.DO2 Open(OFF)", TimerActionList[10]);
  for (int i = 0; i < 11; ++i) {
    EXPECT_EQ(LangText("Lang_Action" + std::to_string(i), LanguageEnglish), TimerActionList[i]);
    EXPECT_EQ(LangText("Lang_Action" + std::to_string(i), LanguageChinese),
              TimerActionTexts(LanguageChinese)[i]);
  }
  EXPECT_EQ(24u, TimerHourList.size());
  EXPECT_EQ("23", TimerHourList[23]);
  EXPECT_EQ(60u, TimerMinuteList.size());
  EXPECT_EQ("59", TimerMinuteList[59]);
}

TEST(Captions, GridHeaderDumpQuotesEachCell) {
  TLanguage language;
  language.DumpGridHeader("SgHist", {"序号", "it's"});
  EXPECT_EQ(
      (std::vector<std::string>{"SgHist.Cells[0,0]:= '序号';", "SgHist.Cells[1,0]:= 'it''s';"}),
      language.Lines());
}

}  // namespace
}  // namespace kv
