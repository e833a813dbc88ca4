#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/ConstLang_Unt.h"
#include "app/SoftDateTime_Unt.h"
#include "app/TLanguage_Unt.h"

namespace kv {
namespace {

// Every caption as the configurator must show it: kind, control (for list
// columns "list#column", counted from 1; for the side bar the item number;
// for the threshold labels "#01" models 0 and 1, "#2" model 2), English, Chinese.
struct TExpected {
  const char* Kind;
  const char* Name;
  const char* English;
  const char* Chinese;
};
const TExpected kExpected[] = {
    {"button", "btn_DO1_Close", "DO1 Close", "闭合继电器1"},
    {"button", "btn_DO1_Open", "DO1 Open", "断开继电器1"},
    {"button", "btn_Do2_Close", "DO2 Close", "闭合继电器2"},
    {"button", "btn_Do2_Open", "DO2 Open", "断开继电器2"},
    {"button", "btn_ChangePassword", "Update", "更新"},
    {"button", "btn_Clean_History_Dev", "Delete All", "删除记录"},
    {"button", "btn_Hist_Open_CSV", "Import CSV", "导入CSV"},
    {"button", "btn_Hist_Save_CSV", "Export CSV", "导出CSV"},
    {"button", "btn_History_Clear", "Clear", "清空显示"},
    {"button", "btn_History_Filter", "Search", "查找"},
    {"button", "btn_Main_Timer_Read", "Read", "读取"},
    {"button", "btn_Main_Timer_Write", "Write", "写入"},
    {"button", "btn_PC_Time", "PC Time", "PC时间"},
    {"button", "btn_ReadHistroy", "Single", "单条"},
    {"button", "btn_ReadHistroyFull", "Read", "多条"},
    {"checkbox", "chk_AddTimeToAlarmSMS", "Add timestamp to alarm SMS", "报警时间添加到报警短信"},
    {"checkbox", "chk_Auto_Armed", "Arm automatically when power on", "开机后自动布防"},
    {"checkbox", "chk_AutoAlarmAfterDisarm", "Auto Arm after Disarmed",
     "撤防后在设定时间内自动布防,设定"},
    {"checkbox", "chk_PwrOffTime", "Enable", "使能"},
    {"checkbox", "chk_ReportTime", "Daily work report time", "每日工作报表时间"},
    {"checkbox", "chk_SaveRecordInterSec", "Enable", "使能"},
    {"checkbox", "chk_ShowPassword", "Display password", "显示密码"},
    {"checkbox", "chk_SmsReportInterMin", "Enable", "使能"},
    {"group", "grp_BasicSeting", "Basic Setting", "基本设置"},
    {"group", "grp_GPRS_BasicSeting", "", ""},
    {"group", "grp_HisTime", "Time Setting", "设置时间"},
    {"group", "grp_History", "Use History", "历史操作"},
    {"group", "grp_HistoryFiles", "File", "文件"},
    {"group", "grp_OpenCloseDO", "Manual Switch", "手动开关"},
    {"group", "grp_PasswordSeting", "Password Setting", "密码设置"},
    {"group", "grp_Slave_Function", "Device Time", "设备时间"},
    {"group", "grp_Timer_Notice",
     "Notice:Tick it stands for Enabling the Timer,otherwise will be invalid.",
     "注意：“使能”要勾选才有效。"},
    {"group", "lbl_GPRS_Proctocol", "GPRS Protocol", "GPRS协议"},
    {"group", "lbl_GPRSCommunication_Proctocol", "Communication Type", "通信类型"},
    {"group", "lbl_HisStartTime", "Start Time", "开始时间"},
    {"group", "lbl_HisStopTime", "Stop Time", "结束时间"},
    {"editlabel", "lbledt_AccessPontName", "Access Point Name(Max.40)", "APN接入点"},
    {"editlabel", "lbledt_AutoMintues",
     "Minutes(Range 0~9999 min,default 0,means it will delay 30 seconds to auto Arm after "
     "Disarmed)",
     "分钟后自动布防(取值0~9999分,0表示30秒后自动布防，默认0)"},
    {"editlabel", "lbledt_DeviseID", "Device ID(0~65535)", "设备ID(0~65535)"},
    {"editlabel", "lbledt_Gprs_IP", "Server Domain/IP", "域名或IP"},
    {"editlabel", "lbledt_GPRS_Password", "GPRS Password(Max.40)", "密码"},
    {"editlabel", "lbledt_GPRS_UserName", "GPRS User Name(Max.40)", "用户名"},
    {"editlabel", "lbledt_GprsBeatHeart", "Upload Data Interval Time(Range:0~65535 min)",
     "数据上传周期(范围：0~65535分)"},
    {"editlabel", "lbledt_GprsReconnSec", "Reconnection Interval Time(Range:0~65535 sec)",
     "掉线重连时间(范围：0~65535秒)"},
    {"editlabel", "lbledt_HeartCont", "Heartbeat Content(Max.40,Default:ACK)", "心跳包内容(ACK)"},
    {"editlabel", "lbledt_Main_Password", "Device password(4 digits)", "新密码(4位数)"},
    {"editlabel", "lbledt_Master_DevDes", "Device description(Max.60 characters)",
     "设备描述(最多输入60个字符)"},
    {"editlabel", "lbledt_PwrOffTime",
     "How long to delay SMS alert after power off(Range:0~999 min)",
     "外部电源掉电多少分钟后发送信息给用户(范围0~999)"},
    {"editlabel", "lbledt_ReadLine", "Lines", "行号"},
    {"editlabel", "lbledt_ReadQty", "Quantity", "读取数量"},
    {"editlabel", "lbledt_SaveRecordInterSec",
     "Interval time to save historical record(Range:0~65535 sec)",
     "记录保存间隔时间(取值0~65535秒,0不保存，默认0)"},
    {"editlabel", "lbledt_SmsReportInterMin",
     "Periodically SMS report interval time(Range:0~65535 min)",
     "短信上报间隔时间(取值0~65535分,0不上报，默认0)"},
    {"editlabel", "lbledt_TcpPort", "Server Port(Range:0~65535)", "端口"},
    {"sheet", "abSheetVerInfo", "Welcome", "欢迎"},
    {"sheet", "Sheet_Basic", "Basic Setting", "主机设备"},
    {"sheet", "Sheet_Common", "Basic Setting", "常规设置"},
    {"sheet", "Sheet_DateTime", "Timer Setting", "定时管理"},
    {"sheet", "Sheet_DiDoTh", "DO/TH Setting", "DO/TH设置"},
    {"sheet", "Sheet_DO", "DO Setting", "DO设置"},
    {"sheet", "Sheet_History", "Historical Record", "历史记录"},
    {"sheet", "Sheet_InfoMode", "Communication Setting", "通讯设置"},
    {"sheet", "Sheet_Telephone", "Number Setting", "电话管理"},
    {"sheet", "Sheet_TH", "TH Setting", "TH设置"},
    {"menu", "N_File", "File(&R)", "文件"},
    {"menu", "N_Open", "Load Profile", "导入配置"},
    {"menu", "N_Save", "Export Profile", "导出配置"},
    {"menu", "N_Exit", "Log Out", "退出系统"},
    {"menu", "Pop_Connect", "Connect", "连接"},
    {"menu", "Pop_DisCommPort", "Close the Port", "断开连接"},
    {"menu", "Pop_RepCommPort", "Open the Port", "重新连接"},
    {"menu", "MI_SystemConfig", "Setting", "配置"},
    {"menu", "Pop_ReadMaster_Seting", "Read Setting", "读取配置"},
    {"menu", "Pop_WirteMaster", "Write Setting", "写入配置"},
    {"menu", "Menu_R_DO", "DO Current Status", "DO当前状态"},
    {"menu", "Menu_R_TH", "TH Current Value", "TH当前值"},
    {"menu", "Pop_System", "System(&X)", "系统"},
    {"menu", "Pop_RESET", "Reset", "恢复出厂"},
    {"menu", "Pop_ReBoot", "Reboot(&Z)", "重　　启"},
    {"menu", "N_Language", "Language(&W)", "语言(&W)"},
    {"menu", "N_CN", "Chinese", "中文"},
    {"menu", "N_EN", "English", "英文"},
    {"menu", "N_Skins", "Skins(&V)", "皮肤(&V)"},
    {"menu", "N_Help", "Help(&Z)", "帮助(&Z)"},
    {"menu", "N_About", "About(&Y)", "关于(&Y)"},
    {"menu", "Pop_Do_Setting", "Setting", "设　　置"},
    {"menu", "Pop_Do_ReadCurrentValue", "Current Status", "当前状态"},
    {"menu", "Pop_Do_ClearLine", "Clear Line", "清　　行"},
    {"menu", "Pop_Do_Clear", "Clear Display", "清　　屏"},
    {"menu", "Pop_Th_Setting", "Setting", "设　置"},
    {"menu", "Pop_Th_ReadCurrentValue", "Current Value", "当前值"},
    {"menu", "Pop_Th_ClearLine", "Clear Line", "清　行"},
    {"menu", "Pop_Th_Clear", "Clear Display", "清　屏"},
    {"menu", "Pop_Phone_Setting", "Setting", "设　置"},
    {"menu", "Pop_Phone_ClearLine", "Clear Line", "清　行"},
    {"menu", "Pop_Phone_Clear", "Clear Display", "清　屏"},
    {"menu", "Pop_Timer_Setting", "Setting", "设　置"},
    {"menu", "Pop_Timer_Delete", "Clear Line", "清　行"},
    {"menu", "Pop_Timer_Clear", "Clear Display", "清　屏"},
    {"column", "lvDo#1", "Channel", "项目"},
    {"column", "lvDo#2", "Channel Name(Max.40)", "通道名称"},
    {"column", "lvDo#3", "Close Time(Range:0~9999s)", "闭合时长"},
    {"column", "lvDo#4", "Current Status", "当前状态"},
    {"column", "lvDo#5", "Open Description(Max.40)", "断开描述"},
    {"column", "lvDo#6", "Close Description(Max.40)", "闭合描述"},
    {"column", "lvDo#7", "Enable Recovery SMS Alert", "断开提醒"},
    {"column", "lvTh#1", "Channel", "项目"},
    {"column", "lvTh#2", "Channel Name(Max.40)", "通道名称"},
    {"column", "lvTh#3", "Current Value", "当前值"},
    {"column", "lvTh#4", "Enable", "使能"},
    {"column", "lvTh#5", "Alarm Verify Time(Range:0~999s)", "报警确认时间"},
    {"column", "lvTh#6", "Threshold High", "高限值"},
    {"column", "lvTh#7", "Threshold Low", "低限值"},
    {"column", "lvTh#8", "High Alarm SMS Content(Max.40)", "高限报警信息"},
    {"column", "lvTh#9", "Low Alarm SMS Content(Max.40)", "低限报警信息"},
    {"column", "lvTh#10", "Alarm Recovery SMS Content(Max.40)", "报警恢复信息"},
    {"column", "lvTh#11", "Enable Recovery SMS Alert", "报警恢复通知"},
    {"column", "lvTh#12", "Alarm-link DO1", "联动继电器1"},
    {"column", "lvTh#13", "Alarm-link DO2", "联动继电器2"},
    {"column", "lvTel#1", "No.", "序号"},
    {"column", "lvTel#2", "Alarm Tel Number", "报警号码"},
    {"column", "lvTel#3", "Dial", "1.拨号"},
    {"column", "lvTel#4", "Timer-Report", "2.定时报告"},
    {"column", "lvTel#5", "Arm/Disarm SMS", "3.布撤防通知"},
    {"column", "lvTel#6", "Alarm", "4.报警"},
    {"column", "lvTel#7", "Alarm Recovery", "5.报警恢复"},
    {"column", "lvTel#8", "External Power ON/OFF", "6.外电掉电通知"},
    {"column", "lvTel#9", "GPRS Failure", "7.GPRS连接失败"},
    {"column", "lvTel#10", "Low GSM Signal", "8.GSM信号低"},
    {"column", "lvTel#11", "Relay Close/Open", "9.继电器变位通知"},
    {"column", "lvTimer#1", "No.", "序号"},
    {"column", "lvTimer#2", "Enable", "使能"},
    {"column", "lvTimer#3", "Week", "星期"},
    {"column", "lvTimer#4", "Hour", "时"},
    {"column", "lvTimer#5", "Minute", "分"},
    {"column", "lvTimer#6", "Action", "动作"},
    {"sidebar", "1", "Basic Setting", "常规设置"},
    {"sidebar", "2", "DO/TH Setting", "DO/TH设置"},
    {"sidebar", "3", "  Number   Setting", "电话管理"},
    {"sidebar", "4", "Timer Setting", "定时管理"},
    {"sidebar", "5", "Communication Setting", "通讯设置"},
    {"sidebar", "6", " Historical  Record", "历史记录"},
    {"histheader", "0", "Type", "类型"},
    {"lang", "Lang_MsgPortChanged",
     "Com port have been changed, do you want to restart the configuration?",
     "检测到电脑有硬件改动是否重新打开软件？"},
    {"lang", "Lang_MsgClearAll", "Clear All?", "是否清空？"},
    {"lang", "Lang_MsgDeleteAll", "Delete All?", "是否删除？"},
    {"lang", "Lang_MsgPasswordError", "Password Error!", "密码错误！"},
    {"lang", "Lang_MsgSuccess", "Successfully!", "成功！"},
    {"lang", "Lang_MsgSelectOption", "Please select a setting option.", "请选择一个设置选项。"},
    {"lang", "Lang_LblModel", "Model:", "型号:"},
    {"lang", "Lang_LblVersion", "Version:", "版本:"},
    {"lang", "Lang_LblImei", "IMEI:", "IMEI码:"},
    {"lang", "Lang_MsgReboot", "Reboot Device and Software?", "是否重启设备和软件？"},
    {"lang", "Lang_MsgReset", "Reset Device?", "是否恢复出厂？"},
    {"lang", "Lang_MsgFinish", "Finish", "没有还原的记录"},
    {"lang", "Lang_MsgDisconnected", "Disconnected", "已经断开"},
    {"lang", "Lang_LblSignal", "Signal Value:", "信号值:"},
    {"lang", "Lang_OK", "OK", "确定"},
    {"lang", "Lang_DoChannelName", "Channel Name(Max.40)", "通道名称"},
    {"lang", "Lang_DoCloseTime", "Close Time(0~9999s)", "闭合时长(秒)"},
    {"lang", "Lang_DoOpenDesc", "Open Description(Max.40)", "断开描述"},
    {"lang", "Lang_DoCloseDesc", "Close Description(Max.40)", "闭合描述"},
    {"lang", "Lang_DoRecovery", "Enable Recovery SMS Alert", "断开提醒"},
    {"lang", "Lang_Cancel", "Cancel", "取消"},
    {"lang", "Lang_DoDefault", "Default", "默认"},
    {"lang", "Lang_ThDefault", "Default", "默认"},
    {"lang", "Lang_ThOK", "OK", "确定"},
    {"lang", "Lang_ThRecoveryText", "Alarm Recovery SMS Content(Max.40)", "报警恢复信息"},
    {"lang", "Lang_ThLowText", "Low Alarm SMS Content(Max.40)", "低限报警信息"},
    {"lang", "Lang_ThHighText", "High Alarm SMS Content(Max.40)", "高限报警信息"},
    {"lang", "Lang_ThLowLimit#01", "Threshold Low(Temp range:-40~80℃; Hum range:0~100RH%)",
     "低限值(温度范围:-40~80℃；湿度范围0~100RH%)"},
    {"lang", "Lang_ThLowLimit#2", "Threshold Low(Temp range:-55~125℃)",
     "低限值(温度范围:-55~125℃)"},
    {"lang", "Lang_ThHighLimit#01", "Threshold High(Temp range:-40~80℃; Hum range:0~100RH%)",
     "高限值(温度范围:-40~80℃；湿度范围0~100RH%)"},
    {"lang", "Lang_ThHighLimit#2", "Threshold High(Temp range:-55~125℃)",
     "高限值(温度范围:-55~125℃)"},
    {"lang", "Lang_ThVerifyTime", "Alarm Verify Time(Range:0~999s)", "报警确认时间(秒)"},
    {"lang", "Lang_ThChannelName", "Channel Name(Max.40)", "通道名称"},
    {"lang", "Lang_ThEnable", "Enable", "使能"},
    {"lang", "Lang_ThRecovery", "Enable Recovery SMS Alert", "报警恢复通知"},
    {"lang", "Lang_ThLinkDo1", "Alarm-link DO1", "联动继电器1"},
    {"lang", "Lang_ThLinkDo2", "Alarm-link DO2", "联动继电器2"},
    {"lang", "Lang_PhoneCaption", "Phone Number", "电话号码"},
    {"lang", "Lang_PhoneCancel", "Cancel", "取消"},
    {"lang", "Lang_PhoneOK", "OK", "确定"},
    {"lang", "Lang_PhoneNumber", "Alarm Tel Number(Max.21 digits)", "号码"},
    {"lang", "Lang_PhoneRelay", "Relay Close/Open", "9.继电器变位通知"},
    {"lang", "Lang_PhoneGprsFailure", "GPRS Failure", "7.GPRS连接失败"},
    {"lang", "Lang_PhoneAlarmRecovery", "Alarm Recovery", "5.报警恢复"},
    {"lang", "Lang_PhoneArmSms", "Arm/Disarm SMS", "3.布撤防通知"},
    {"lang", "Lang_PhoneDial", "Dial", "1.拨号"},
    {"lang", "Lang_PhoneTimerReport", "Timer-Report", "2.定时报告"},
    {"lang", "Lang_PhoneAlarm", "Alarm", "4.报警"},
    {"lang", "Lang_PhonePower", "External Power ON/OFF", "6.外电掉电通知"},
    {"lang", "Lang_PhoneLowSignal", "Low GSM Signal", "8.GSM信号低"},
    {"lang", "Lang_PhoneAll", "ALL", "全选"},
    {"lang", "Lang_TimerCaption", "Timer", "定时器"},
    {"lang", "Lang_TimerWeek", "Week", "星期"},
    {"lang", "Lang_TimerHour", "Hour", "时"},
    {"lang", "Lang_TimerMinute", "Minute", "分"},
    {"lang", "Lang_TimerAction", "Action", "动作"},
    {"lang", "Lang_TimerEnable", "Enable", "使能"},
    {"lang", "Lang_Action0", "0.Reboot", "0.重启"},
    {"lang", "Lang_Action1", "1.Upload Data By GPRS", "1.上传GPRS数据"},
    {"lang", "Lang_Action2", "2.Auto Report By SMS", "2.短信上报"},
    {"lang", "Lang_Action3", "3.Save Historical Data", "3.保存历史记录"},
    {"lang", "Lang_Action4", "4.GPRS Online", "4.GPRS上线"},
    {"lang", "Lang_Action5", "5.Arm", "5.布防"},
    {"lang", "Lang_Action6", "6.Disarm", "6.撤防"},
    {"lang", "Lang_Action7", "7.DO1 Close(ON)", "7.继电器1闭合"},
    {"lang", "Lang_Action8", "8.DO1 Open(OFF)", "8.继电器1断开"},
    {"lang", "Lang_Action9", "9.DO2 Close(ON)", "9.继电器2闭合"},
    {"lang", "Lang_Action10", "10.DO2 Open(OFF)", "10.继电器2断开"},
    {"lang", "Lang_WeekSun", "Sunday", "日"},
    {"lang", "Lang_WeekMon", "Monday", "一"},
    {"lang", "Lang_WeekTue", "Tuesday", "二"},
    {"lang", "Lang_WeekWed", "Wednesday", "三"},
    {"lang", "Lang_WeekThu", "Thursday", "四"},
    {"lang", "Lang_WeekFri", "Friday", "五"},
    {"lang", "Lang_WeekSat", "Saturday", "六"},
    {"lang", "Lang_WeekEveryday", "Everyday", "每天"},
    {"lang", "Lang_FrameBasic", "Basic", "基本设置"},
    {"lang", "Lang_FrameHistory", "History", "历史记录"},
    {"lang", "Lang_FrameTimer", "Timer", "定时"},
    {"lang", "Lang_FramePhone", "Phone", "电话"},
    {"lang", "Lang_HistArm", "Arm", "布防"},
    {"lang", "Lang_HistDisarm", "Disarm", "撤防"},
    {"lang", "Lang_HistOpen", "Open", "断开"},
    {"lang", "Lang_HistClose", "Close", "闭合"},
    {"lang", "Lang_HistInterval", "Interval", "定时存贮"},
    {"lang", "Lang_HistAlarm", "Alarm", "报警存贮"},
    {"lang", "Lang_HistUpload", "Upload", "上报存贮"},
    {"lang", "Lang_HistRelay", "Relay Switch", "继电器变化"},
    {"lang", "Lang_HistArmDisarm", "Arm/Disarm", "布撤防变化"},
    {"lang", "Lang_HistLowSignal", "Low Singal", "信号低"},
    {"lang", "Lang_HistPower", "Power ON/OFF", "外电变化"},
};

std::span<const TCaptionText> TableOf(const std::string& kind) {
  if (kind == "button") return ButtonCaptions();
  if (kind == "checkbox") return CheckBoxCaptions();
  if (kind == "group") return GroupAndLabelCaptions();
  if (kind == "editlabel") return EditLabelCaptions();
  if (kind == "sheet") return SheetCaptions();
  if (kind == "menu") return MenuCaptions();
  return SideBarCaptions();
}

TEST(Captions, EveryControlCaptionInBothLanguages) {
  std::map<std::string, std::size_t> counts;
  for (const TExpected& e : kExpected) {
    const std::string kind = e.Kind;
    if (kind == "lang" || kind == "column" || kind == "histheader") continue;
    ++counts[kind];
    const std::span<const TCaptionText> table = TableOf(kind);
    const TCaptionText* entry = nullptr;
    if (kind == "sidebar") {
      const std::size_t item = std::stoul(e.Name);
      ASSERT_LE(item, table.size());
      entry = &table[item - 1];
    } else {
      entry = FindCaption(table, e.Name);
    }
    ASSERT_NE(nullptr, entry) << e.Name;
    EXPECT_STREQ(e.English, entry->Text(LanguageEnglish)) << e.Name;
    EXPECT_STREQ(e.Chinese, entry->Text(LanguageChinese)) << e.Name;
  }
  for (const auto& [kind, count] : counts) EXPECT_EQ(count, TableOf(kind).size()) << kind;
}

TEST(Captions, ListColumnsInBothLanguages) {
  std::size_t count = 0;
  for (const TExpected& e : kExpected) {
    if (std::string(e.Kind) != "column") continue;
    ++count;
    const std::string name = e.Name;
    const std::string list = name.substr(0, name.find('#'));
    const std::size_t column = std::stoul(name.substr(name.find('#') + 1)) - 1;
    const std::vector<std::string> english = ListColumnTexts(list, LanguageEnglish);
    const std::vector<std::string> chinese = ListColumnTexts(list, LanguageChinese);
    ASSERT_LT(column, english.size()) << name;
    EXPECT_EQ(e.English, english[column]) << name;
    EXPECT_EQ(e.Chinese, chinese[column]) << name;
  }
  EXPECT_EQ(count, ListColumnCaptions().size());
  EXPECT_EQ(7u, ListColumnTexts("lvDo", LanguageEnglish).size());
  EXPECT_EQ(13u, ListColumnTexts("lvTh", LanguageEnglish).size());
  EXPECT_EQ(11u, ListColumnTexts("lvTel", LanguageEnglish).size());
  EXPECT_EQ(6u, ListColumnTexts("lvTimer", LanguageEnglish).size());
  EXPECT_TRUE(ListColumnTexts("lvNone", LanguageEnglish).empty());
}

TEST(Captions, EightyNineLanguageTextsAssignedPerLanguage) {
  std::set<std::string> names;
  for (const TLangText& t : LangTexts()) names.insert(t.Name);
  names.insert("Lang_ThLowLimit");
  names.insert("Lang_ThHighLimit");
  EXPECT_EQ(89u, names.size());
  for (int language : {LanguageEnglish, LanguageChinese}) {
    AssignLanguageTexts(language, 0);
    for (const TExpected& e : kExpected) {
      if (std::string(e.Kind) != "lang") continue;
      const std::string name = e.Name;
      const char* expected = language == LanguageEnglish ? e.English : e.Chinese;
      if (name == "Lang_ThLowLimit#01") {
        EXPECT_EQ(expected, Lang_ThLowLimit);
      } else if (name == "Lang_ThHighLimit#01") {
        EXPECT_EQ(expected, Lang_ThHighLimit);
      } else if (name.find('#') == std::string::npos) {
        EXPECT_EQ(expected, LangText(name, language)) << name;
      }
    }
    EXPECT_EQ(language == LanguageEnglish ? "Reboot Device and Software?" : "是否重启设备和软件？",
              Lang_MsgReboot);
  }
}

TEST(Captions, ThresholdLabelsFollowTheModelAndStayWhileItIsUnknown) {
  for (const TExpected& e : kExpected) {
    const std::string name = e.Name;
    if (name.find("Limit#2") == std::string::npos) continue;
    AssignLanguageTexts(LanguageEnglish, 2);
    EXPECT_EQ(e.English, name.starts_with("Lang_ThLow") ? Lang_ThLowLimit : Lang_ThHighLimit);
    AssignLanguageTexts(LanguageChinese, 2);
    EXPECT_EQ(e.Chinese, name.starts_with("Lang_ThLow") ? Lang_ThLowLimit : Lang_ThHighLimit);
  }
  AssignLanguageTexts(LanguageEnglish, 1);
  const std::string kept = Lang_ThLowLimit;
  AssignLanguageTexts(LanguageChinese, -1);
  EXPECT_EQ(kept, Lang_ThLowLimit);
  EXPECT_EQ("确定", Lang_OK);
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
  EXPECT_EQ("Popup menu with right mouse button", ListViewHint(LanguageEnglish));
  EXPECT_EQ("鼠标右键弹出菜单", ListViewHint(LanguageChinese));
  EXPECT_EQ("Input Error", InputErrorText(LanguageEnglish));
  EXPECT_EQ("输入错误", InputErrorText(LanguageChinese));
  EXPECT_STREQ("Auto Start", StatusBarCheckCaptions()[1].English);
  EXPECT_STREQ("调试", StatusBarCheckCaptions()[0].Chinese);
  ASSERT_EQ(4u, EnglishOnlyHints().size());
  EXPECT_STREQ("default 0,means not save",
               FindCaption(EnglishOnlyHints(), "lbledt_SaveRecordInterSec")->English);
  EXPECT_STREQ("Type", HistoryHeaderCaptions()[0].English);
  const std::string hint = PhoneNumberHint;
  EXPECT_EQ(4u, [&] {
    std::size_t n = 0;
    for (std::size_t p = hint.find("\r\n"); p != std::string::npos; p = hint.find("\r\n", p + 1))
      ++n;
    return n;
  }());
  EXPECT_NE(std::string::npos, hint.find("GSM\\3G\\4G\\5G signal is lower than 14,full is 31."));
  EXPECT_STREQ("Range:0~65535s,stand for always close when action", DoCloseTimeHint);
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
