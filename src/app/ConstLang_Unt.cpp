#include "app/ConstLang_Unt.h"

#include "app/Funs_Unt.h"

namespace kv {

unsigned char LanguageFlag = LanguageChinese;

std::string Lang_MsgPortChanged;
std::string Lang_MsgClearAll;
std::string Lang_MsgDeleteAll;
std::string Lang_MsgPasswordError;
std::string Lang_MsgSuccess;
std::string Lang_MsgSelectOption;
std::string Lang_LblModel;
std::string Lang_LblVersion;
std::string Lang_LblImei;
std::string Lang_MsgReboot;
std::string Lang_MsgReset;
std::string Lang_MsgFinish;
std::string Lang_MsgDisconnected;
std::string Lang_LblSignal;
std::string Lang_OK;
std::string Lang_DoChannelName;
std::string Lang_DoCloseTime;
std::string Lang_DoOpenDesc;
std::string Lang_DoCloseDesc;
std::string Lang_DoRecovery;
std::string Lang_Cancel;
std::string Lang_DoDefault;
std::string Lang_ThDefault;
std::string Lang_ThOK;
std::string Lang_ThRecoveryText;
std::string Lang_ThLowText;
std::string Lang_ThHighText;
std::string Lang_ThLowLimit;
std::string Lang_ThHighLimit;
std::string Lang_ThVerifyTime;
std::string Lang_ThChannelName;
std::string Lang_ThEnable;
std::string Lang_ThRecovery;
std::string Lang_ThLinkDo1;
std::string Lang_ThLinkDo2;
std::string Lang_PhoneCaption;
std::string Lang_PhoneCancel;
std::string Lang_PhoneOK;
std::string Lang_PhoneNumber;
std::string Lang_PhoneRelay;
std::string Lang_PhoneGprsFailure;
std::string Lang_PhoneAlarmRecovery;
std::string Lang_PhoneArmSms;
std::string Lang_PhoneDial;
std::string Lang_PhoneTimerReport;
std::string Lang_PhoneAlarm;
std::string Lang_PhonePower;
std::string Lang_PhoneLowSignal;
std::string Lang_PhoneAll;
std::string Lang_TimerCaption;
std::string Lang_TimerWeek;
std::string Lang_TimerHour;
std::string Lang_TimerMinute;
std::string Lang_TimerAction;
std::string Lang_TimerEnable;
std::string Lang_Action0;
std::string Lang_Action1;
std::string Lang_Action2;
std::string Lang_Action3;
std::string Lang_Action4;
std::string Lang_Action5;
std::string Lang_Action6;
std::string Lang_Action7;
std::string Lang_Action8;
std::string Lang_Action9;
std::string Lang_Action10;
std::string Lang_WeekSun;
std::string Lang_WeekMon;
std::string Lang_WeekTue;
std::string Lang_WeekWed;
std::string Lang_WeekThu;
std::string Lang_WeekFri;
std::string Lang_WeekSat;
std::string Lang_WeekEveryday;
std::string Lang_FrameBasic;
std::string Lang_FrameHistory;
std::string Lang_FrameTimer;
std::string Lang_FramePhone;
std::string Lang_HistArm;
std::string Lang_HistDisarm;
std::string Lang_HistOpen;
std::string Lang_HistClose;
std::string Lang_HistInterval;
std::string Lang_HistAlarm;
std::string Lang_HistUpload;
std::string Lang_HistRelay;
std::string Lang_HistArmDisarm;
std::string Lang_HistLowSignal;
std::string Lang_HistPower;

namespace {

constexpr TCaptionText kButtons[] = {
    {"btn_DO1_Close", "DO1 Close", "闭合继电器1"},
    {"btn_DO1_Open", "DO1 Open", "断开继电器1"},
    {"btn_Do2_Close", "DO2 Close", "闭合继电器2"},
    {"btn_Do2_Open", "DO2 Open", "断开继电器2"},
    {"btn_ChangePassword", "Update", "更新"},
    {"btn_Clean_History_Dev", "Delete All", "删除记录"},
    {"btn_Hist_Open_CSV", "Import CSV", "导入CSV"},
    {"btn_Hist_Save_CSV", "Export CSV", "导出CSV"},
    {"btn_History_Clear", "Clear", "清空显示"},
    {"btn_History_Filter", "Search", "查找"},
    {"btn_Main_Timer_Read", "Read", "读取"},
    {"btn_Main_Timer_Write", "Write", "写入"},
    {"btn_PC_Time", "PC Time", "PC时间"},
    {"btn_ReadHistroy", "Single", "单条"},
    {"btn_ReadHistroyFull", "Read", "多条"},
};

constexpr TCaptionText kCheckBoxes[] = {
    {"chk_AddTimeToAlarmSMS", "Add timestamp to alarm SMS", "报警时间添加到报警短信"},
    {"chk_Auto_Armed", "Arm automatically when power on", "开机后自动布防"},
    {"chk_AutoAlarmAfterDisarm", "Auto Arm after Disarmed", "撤防后在设定时间内自动布防,设定"},
    {"chk_PwrOffTime", "Enable", "使能"},
    {"chk_ReportTime", "Daily work report time", "每日工作报表时间"},
    {"chk_SaveRecordInterSec", "Enable", "使能"},
    {"chk_ShowPassword", "Display password", "显示密码"},
    {"chk_SmsReportInterMin", "Enable", "使能"},
};

constexpr TCaptionText kGroups[] = {
    {"grp_BasicSeting", "Basic Setting", "基本设置"},
    {"grp_GPRS_BasicSeting", "", ""},
    {"grp_HisTime", "Time Setting", "设置时间"},
    {"grp_History", "Use History", "历史操作"},
    {"grp_HistoryFiles", "File", "文件"},
    {"grp_OpenCloseDO", "Manual Switch", "手动开关"},
    {"grp_PasswordSeting", "Password Setting", "密码设置"},
    {"grp_Slave_Function", "Device Time", "设备时间"},
    {"grp_Timer_Notice", "Notice:Tick it stands for Enabling the Timer,otherwise will be invalid.",
     "注意：“使能”要勾选才有效。"},
    {"lbl_GPRS_Proctocol", "GPRS Protocol", "GPRS协议"},
    {"lbl_GPRSCommunication_Proctocol", "Communication Type", "通信类型"},
    {"lbl_HisStartTime", "Start Time", "开始时间"},
    {"lbl_HisStopTime", "Stop Time", "结束时间"},
};

constexpr TCaptionText kEditLabels[] = {
    {"lbledt_AccessPontName", "Access Point Name(Max.40)", "APN接入点"},
    {"lbledt_AutoMintues",
     "Minutes(Range 0~9999 min,default 0,means it will delay 30 seconds to auto Arm after "
     "Disarmed)",
     "分钟后自动布防(取值0~9999分,0表示30秒后自动布防，默认0)"},
    {"lbledt_DeviseID", "Device ID(0~65535)", "设备ID(0~65535)"},
    {"lbledt_Gprs_IP", "Server Domain/IP", "域名或IP"},
    {"lbledt_GPRS_Password", "GPRS Password(Max.40)", "密码"},
    {"lbledt_GPRS_UserName", "GPRS User Name(Max.40)", "用户名"},
    {"lbledt_GprsBeatHeart", "Upload Data Interval Time(Range:0~65535 min)",
     "数据上传周期(范围：0~65535分)"},
    {"lbledt_GprsReconnSec", "Reconnection Interval Time(Range:0~65535 sec)",
     "掉线重连时间(范围：0~65535秒)"},
    {"lbledt_HeartCont", "Heartbeat Content(Max.40,Default:ACK)", "心跳包内容(ACK)"},
    {"lbledt_Main_Password", "Device password(4 digits)", "新密码(4位数)"},
    {"lbledt_Master_DevDes", "Device description(Max.60 characters)", "设备描述(最多输入60个字符)"},
    {"lbledt_PwrOffTime", "How long to delay SMS alert after power off(Range:0~999 min)",
     "外部电源掉电多少分钟后发送信息给用户(范围0~999)"},
    {"lbledt_ReadLine", "Lines", "行号"},
    {"lbledt_ReadQty", "Quantity", "读取数量"},
    {"lbledt_SaveRecordInterSec", "Interval time to save historical record(Range:0~65535 sec)",
     "记录保存间隔时间(取值0~65535秒,0不保存，默认0)"},
    {"lbledt_SmsReportInterMin", "Periodically SMS report interval time(Range:0~65535 min)",
     "短信上报间隔时间(取值0~65535分,0不上报，默认0)"},
    {"lbledt_TcpPort", "Server Port(Range:0~65535)", "端口"},
};

constexpr TCaptionText kSheets[] = {
    {"abSheetVerInfo", "Welcome", "欢迎"},
    {"Sheet_Basic", "Basic Setting", "主机设备"},
    {"Sheet_Common", "Basic Setting", "常规设置"},
    {"Sheet_DateTime", "Timer Setting", "定时管理"},
    {"Sheet_DiDoTh", "DO/TH Setting", "DO/TH设置"},
    {"Sheet_DO", "DO Setting", "DO设置"},
    {"Sheet_History", "Historical Record", "历史记录"},
    {"Sheet_InfoMode", "Communication Setting", "通讯设置"},
    {"Sheet_Telephone", "Number Setting", "电话管理"},
    {"Sheet_TH", "TH Setting", "TH设置"},
};

constexpr TCaptionText kMenus[] = {
    {"N_File", "File(&R)", "文件"},
    {"N_Open", "Load Profile", "导入配置"},
    {"N_Save", "Export Profile", "导出配置"},
    {"N_Exit", "Log Out", "退出系统"},
    {"Pop_Connect", "Connect", "连接"},
    {"Pop_DisCommPort", "Close the Port", "断开连接"},
    {"Pop_RepCommPort", "Open the Port", "重新连接"},
    {"MI_SystemConfig", "Setting", "配置"},
    {"Pop_ReadMaster_Seting", "Read Setting", "读取配置"},
    {"Pop_WirteMaster", "Write Setting", "写入配置"},
    {"Menu_R_DO", "DO Current Status", "DO当前状态"},
    {"Menu_R_TH", "TH Current Value", "TH当前值"},
    {"Pop_System", "System(&X)", "系统"},
    {"Pop_RESET", "Reset", "恢复出厂"},
    {"Pop_ReBoot", "Reboot(&Z)", "重　　启"},
    {"N_Language", "Language(&W)", "语言(&W)"},
    {"N_CN", "Chinese", "中文"},
    {"N_EN", "English", "英文"},
    {"N_Skins", "Skins(&V)", "皮肤(&V)"},
    {"N_Help", "Help(&Z)", "帮助(&Z)"},
    {"N_About", "About(&Y)", "关于(&Y)"},
    {"Pop_Do_Setting", "Setting", "设　　置"},
    {"Pop_Do_ReadCurrentValue", "Current Status", "当前状态"},
    {"Pop_Do_ClearLine", "Clear Line", "清　　行"},
    {"Pop_Do_Clear", "Clear Display", "清　　屏"},
    {"Pop_Th_Setting", "Setting", "设　置"},
    {"Pop_Th_ReadCurrentValue", "Current Value", "当前值"},
    {"Pop_Th_ClearLine", "Clear Line", "清　行"},
    {"Pop_Th_Clear", "Clear Display", "清　屏"},
    {"Pop_Phone_Setting", "Setting", "设　置"},
    {"Pop_Phone_ClearLine", "Clear Line", "清　行"},
    {"Pop_Phone_Clear", "Clear Display", "清　屏"},
    {"Pop_Timer_Setting", "Setting", "设　置"},
    {"Pop_Timer_Delete", "Clear Line", "清　行"},
    {"Pop_Timer_Clear", "Clear Display", "清　屏"},
};

constexpr TCaptionText kSideBar[] = {
    {"", "Basic Setting", "常规设置"},         {"", "DO/TH Setting", "DO/TH设置"},
    {"", "  Number   Setting", "电话管理"},    {"", "Timer Setting", "定时管理"},
    {"", "Communication Setting", "通讯设置"}, {"", " Historical  Record", "历史记录"},
};

constexpr TColumnCaption kColumns[] = {
    {"lvDo", 0, "Channel", "项目"},
    {"lvDo", 1, "Channel Name(Max.40)", "通道名称"},
    {"lvDo", 2, "Close Time(Range:0~9999s)", "闭合时长"},
    {"lvDo", 3, "Current Status", "当前状态"},
    {"lvDo", 4, "Open Description(Max.40)", "断开描述"},
    {"lvDo", 5, "Close Description(Max.40)", "闭合描述"},
    {"lvDo", 6, "Enable Recovery SMS Alert", "断开提醒"},
    {"lvTh", 0, "Channel", "项目"},
    {"lvTh", 1, "Channel Name(Max.40)", "通道名称"},
    {"lvTh", 2, "Current Value", "当前值"},
    {"lvTh", 3, "Enable", "使能"},
    {"lvTh", 4, "Alarm Verify Time(Range:0~999s)", "报警确认时间"},
    {"lvTh", 5, "Threshold High", "高限值"},
    {"lvTh", 6, "Threshold Low", "低限值"},
    {"lvTh", 7, "High Alarm SMS Content(Max.40)", "高限报警信息"},
    {"lvTh", 8, "Low Alarm SMS Content(Max.40)", "低限报警信息"},
    {"lvTh", 9, "Alarm Recovery SMS Content(Max.40)", "报警恢复信息"},
    {"lvTh", 10, "Enable Recovery SMS Alert", "报警恢复通知"},
    {"lvTh", 11, "Alarm-link DO1", "联动继电器1"},
    {"lvTh", 12, "Alarm-link DO2", "联动继电器2"},
    {"lvTel", 0, "No.", "序号"},
    {"lvTel", 1, "Alarm Tel Number", "报警号码"},
    {"lvTel", 2, "Dial", "1.拨号"},
    {"lvTel", 3, "Timer-Report", "2.定时报告"},
    {"lvTel", 4, "Arm/Disarm SMS", "3.布撤防通知"},
    {"lvTel", 5, "Alarm", "4.报警"},
    {"lvTel", 6, "Alarm Recovery", "5.报警恢复"},
    {"lvTel", 7, "External Power ON/OFF", "6.外电掉电通知"},
    {"lvTel", 8, "GPRS Failure", "7.GPRS连接失败"},
    {"lvTel", 9, "Low GSM Signal", "8.GSM信号低"},
    {"lvTel", 10, "Relay Close/Open", "9.继电器变位通知"},
    {"lvTimer", 0, "No.", "序号"},
    {"lvTimer", 1, "Enable", "使能"},
    {"lvTimer", 2, "Week", "星期"},
    {"lvTimer", 3, "Hour", "时"},
    {"lvTimer", 4, "Minute", "分"},
    {"lvTimer", 5, "Action", "动作"},
};

constexpr TCaptionText kStatusBarChecks[] = {
    {"", "Debug", "调试"},
    {"", "Auto Start", "自动启动"},
};

constexpr TCaptionText kEnglishHints[] = {
    {"lbledt_AccessPontName", "APN,User Name,Password provided by your GPRS/3G/4G Operator.", ""},
    {"lbledt_PwrOffTime",
     "default 0,means SMS alert immediately once power off; 999 means not alert", ""},
    {"lbledt_SaveRecordInterSec", "default 0,means not save", ""},
    {"lbledt_SmsReportInterMin", "default 0,means not report", ""},
};

constexpr TColumnCaption kHistoryHeader[] = {
    {"SgHist", 0, "Type", "类型"},
};

constexpr TCaptionText kFrameButtons[] = {
    {"btn_DO", "DO Setting", "DO设置"}, {"btn_TH", "TH Setting", "TH设置"},
    {"btn_GPRS", "GPRS", "GPRS"},       {"btn_Ethnet", "Ethernet", "以太网"},
    {"btn_Debug", "Debug", "调试"},
};

constexpr TColumnCaption kHistoryHeaderRow[] = {
    {"SgHist", 0, "No.", "序号"},    {"SgHist", 1, "Date", "日期"},
    {"SgHist", 2, "Time", "时间"},   {"SgHist", 3, "Signal", "信号"},
    {"SgHist", 4, "Status", "状态"}, {"SgHist", 5, "DO1", "继电器1"},
    {"SgHist", 6, "DO2", "继电器2"}, {"SgHist", 7, "Type", "类型"},
};

constexpr TLangText kLangTexts[] = {
    {"Lang_MsgPortChanged", &Lang_MsgPortChanged,
     "Com port have been changed, do you want to restart the configuration?",
     "检测到电脑有硬件改动是否重新打开软件？"},
    {"Lang_MsgClearAll", &Lang_MsgClearAll, "Clear All?", "是否清空？"},
    {"Lang_MsgDeleteAll", &Lang_MsgDeleteAll, "Delete All?", "是否删除？"},
    {"Lang_MsgPasswordError", &Lang_MsgPasswordError, "Password Error!", "密码错误！"},
    {"Lang_MsgSuccess", &Lang_MsgSuccess, "Successfully!", "成功！"},
    {"Lang_MsgSelectOption", &Lang_MsgSelectOption, "Please select a setting option.",
     "请选择一个设置选项。"},
    {"Lang_LblModel", &Lang_LblModel, "Model:", "型号:"},
    {"Lang_LblVersion", &Lang_LblVersion, "Version:", "版本:"},
    {"Lang_LblImei", &Lang_LblImei, "IMEI:", "IMEI码:"},
    {"Lang_MsgReboot", &Lang_MsgReboot, "Reboot Device and Software?", "是否重启设备和软件？"},
    {"Lang_MsgReset", &Lang_MsgReset, "Reset Device?", "是否恢复出厂？"},
    {"Lang_MsgFinish", &Lang_MsgFinish, "Finish", "没有还原的记录"},
    {"Lang_MsgDisconnected", &Lang_MsgDisconnected, "Disconnected", "已经断开"},
    {"Lang_LblSignal", &Lang_LblSignal, "Signal Value:", "信号值:"},
    {"Lang_OK", &Lang_OK, "OK", "确定"},
    {"Lang_DoChannelName", &Lang_DoChannelName, "Channel Name(Max.40)", "通道名称"},
    {"Lang_DoCloseTime", &Lang_DoCloseTime, "Close Time(0~9999s)", "闭合时长(秒)"},
    {"Lang_DoOpenDesc", &Lang_DoOpenDesc, "Open Description(Max.40)", "断开描述"},
    {"Lang_DoCloseDesc", &Lang_DoCloseDesc, "Close Description(Max.40)", "闭合描述"},
    {"Lang_DoRecovery", &Lang_DoRecovery, "Enable Recovery SMS Alert", "断开提醒"},
    {"Lang_Cancel", &Lang_Cancel, "Cancel", "取消"},
    {"Lang_DoDefault", &Lang_DoDefault, "Default", "默认"},
    {"Lang_ThDefault", &Lang_ThDefault, "Default", "默认"},
    {"Lang_ThOK", &Lang_ThOK, "OK", "确定"},
    {"Lang_ThRecoveryText", &Lang_ThRecoveryText, "Alarm Recovery SMS Content(Max.40)",
     "报警恢复信息"},
    {"Lang_ThLowText", &Lang_ThLowText, "Low Alarm SMS Content(Max.40)", "低限报警信息"},
    {"Lang_ThHighText", &Lang_ThHighText, "High Alarm SMS Content(Max.40)", "高限报警信息"},
    {"Lang_ThVerifyTime", &Lang_ThVerifyTime, "Alarm Verify Time(Range:0~999s)",
     "报警确认时间(秒)"},
    {"Lang_ThChannelName", &Lang_ThChannelName, "Channel Name(Max.40)", "通道名称"},
    {"Lang_ThEnable", &Lang_ThEnable, "Enable", "使能"},
    {"Lang_ThRecovery", &Lang_ThRecovery, "Enable Recovery SMS Alert", "报警恢复通知"},
    {"Lang_ThLinkDo1", &Lang_ThLinkDo1, "Alarm-link DO1", "联动继电器1"},
    {"Lang_ThLinkDo2", &Lang_ThLinkDo2, "Alarm-link DO2", "联动继电器2"},
    {"Lang_PhoneCaption", &Lang_PhoneCaption, "Phone Number", "电话号码"},
    {"Lang_PhoneCancel", &Lang_PhoneCancel, "Cancel", "取消"},
    {"Lang_PhoneOK", &Lang_PhoneOK, "OK", "确定"},
    {"Lang_PhoneNumber", &Lang_PhoneNumber, "Alarm Tel Number(Max.21 digits)", "号码"},
    {"Lang_PhoneRelay", &Lang_PhoneRelay, "Relay Close/Open", "9.继电器变位通知"},
    {"Lang_PhoneGprsFailure", &Lang_PhoneGprsFailure, "GPRS Failure", "7.GPRS连接失败"},
    {"Lang_PhoneAlarmRecovery", &Lang_PhoneAlarmRecovery, "Alarm Recovery", "5.报警恢复"},
    {"Lang_PhoneArmSms", &Lang_PhoneArmSms, "Arm/Disarm SMS", "3.布撤防通知"},
    {"Lang_PhoneDial", &Lang_PhoneDial, "Dial", "1.拨号"},
    {"Lang_PhoneTimerReport", &Lang_PhoneTimerReport, "Timer-Report", "2.定时报告"},
    {"Lang_PhoneAlarm", &Lang_PhoneAlarm, "Alarm", "4.报警"},
    {"Lang_PhonePower", &Lang_PhonePower, "External Power ON/OFF", "6.外电掉电通知"},
    {"Lang_PhoneLowSignal", &Lang_PhoneLowSignal, "Low GSM Signal", "8.GSM信号低"},
    {"Lang_PhoneAll", &Lang_PhoneAll, "ALL", "全选"},
    {"Lang_TimerCaption", &Lang_TimerCaption, "Timer", "定时器"},
    {"Lang_TimerWeek", &Lang_TimerWeek, "Week", "星期"},
    {"Lang_TimerHour", &Lang_TimerHour, "Hour", "时"},
    {"Lang_TimerMinute", &Lang_TimerMinute, "Minute", "分"},
    {"Lang_TimerAction", &Lang_TimerAction, "Action", "动作"},
    {"Lang_TimerEnable", &Lang_TimerEnable, "Enable", "使能"},
    {"Lang_Action0", &Lang_Action0, "0.Reboot", "0.重启"},
    {"Lang_Action1", &Lang_Action1, "1.Upload Data By GPRS", "1.上传GPRS数据"},
    {"Lang_Action2", &Lang_Action2, "2.Auto Report By SMS", "2.短信上报"},
    {"Lang_Action3", &Lang_Action3, "3.Save Historical Data", "3.保存历史记录"},
    {"Lang_Action4", &Lang_Action4, "4.GPRS Online", "4.GPRS上线"},
    {"Lang_Action5", &Lang_Action5, "5.Arm", "5.布防"},
    {"Lang_Action6", &Lang_Action6, "6.Disarm", "6.撤防"},
    {"Lang_Action7", &Lang_Action7, "7.DO1 Close(ON)", "7.继电器1闭合"},
    {"Lang_Action8", &Lang_Action8, "8.DO1 Open(OFF)", "8.继电器1断开"},
    {"Lang_Action9", &Lang_Action9, "9.DO2 Close(ON)", "9.继电器2闭合"},
    {"Lang_Action10", &Lang_Action10, "10.DO2 Open(OFF)", "10.继电器2断开"},
    {"Lang_WeekSun", &Lang_WeekSun, "Sunday", "日"},
    {"Lang_WeekMon", &Lang_WeekMon, "Monday", "一"},
    {"Lang_WeekTue", &Lang_WeekTue, "Tuesday", "二"},
    {"Lang_WeekWed", &Lang_WeekWed, "Wednesday", "三"},
    {"Lang_WeekThu", &Lang_WeekThu, "Thursday", "四"},
    {"Lang_WeekFri", &Lang_WeekFri, "Friday", "五"},
    {"Lang_WeekSat", &Lang_WeekSat, "Saturday", "六"},
    {"Lang_WeekEveryday", &Lang_WeekEveryday, "Everyday", "每天"},
    {"Lang_FrameBasic", &Lang_FrameBasic, "Basic", "基本设置"},
    {"Lang_FrameHistory", &Lang_FrameHistory, "History", "历史记录"},
    {"Lang_FrameTimer", &Lang_FrameTimer, "Timer", "定时"},
    {"Lang_FramePhone", &Lang_FramePhone, "Phone", "电话"},
    {"Lang_HistArm", &Lang_HistArm, "Arm", "布防"},
    {"Lang_HistDisarm", &Lang_HistDisarm, "Disarm", "撤防"},
    {"Lang_HistOpen", &Lang_HistOpen, "Open", "断开"},
    {"Lang_HistClose", &Lang_HistClose, "Close", "闭合"},
    {"Lang_HistInterval", &Lang_HistInterval, "Interval", "定时存贮"},
    {"Lang_HistAlarm", &Lang_HistAlarm, "Alarm", "报警存贮"},
    {"Lang_HistUpload", &Lang_HistUpload, "Upload", "上报存贮"},
    {"Lang_HistRelay", &Lang_HistRelay, "Relay Switch", "继电器变化"},
    {"Lang_HistArmDisarm", &Lang_HistArmDisarm, "Arm/Disarm", "布撤防变化"},
    {"Lang_HistLowSignal", &Lang_HistLowSignal, "Low Singal", "信号低"},
    {"Lang_HistPower", &Lang_HistPower, "Power ON/OFF", "外电变化"},
};

}  // namespace

const char* const PhoneNumberHint =
    "1.Country code is needed before the telephone number,e.g.0086,0044,0065,001 etc\r\n"
    "2.Dial:Ticked it stands for when alarm occurrence,will dial the related telephone number one "
    "by one ,\r\n"
    "till answer it or call all number.Modbus Slave alarm occurrence will not dail telephone\r\n"
    "3.Except for dial item,ticked it stands for when the event occurrence will send SMS to the "
    "related number\r\n"
    "4.Low Signal: stand for GSM\\3G\\4G\\5G signal is lower than 14,full is 31.";
const char* const DoCloseTimeHint = "Range:0~65535s,stand for always close when action";

std::span<const TCaptionText> ButtonCaptions() { return kButtons; }
std::span<const TCaptionText> CheckBoxCaptions() { return kCheckBoxes; }
std::span<const TCaptionText> GroupAndLabelCaptions() { return kGroups; }
std::span<const TCaptionText> EditLabelCaptions() { return kEditLabels; }
std::span<const TCaptionText> SheetCaptions() { return kSheets; }
std::span<const TCaptionText> MenuCaptions() { return kMenus; }
std::span<const TCaptionText> SideBarCaptions() { return kSideBar; }
std::span<const TCaptionText> StatusBarCheckCaptions() { return kStatusBarChecks; }
std::span<const TColumnCaption> ListColumnCaptions() { return kColumns; }
std::span<const TCaptionText> EnglishOnlyHints() { return kEnglishHints; }
std::span<const TColumnCaption> HistoryHeaderCaptions() { return kHistoryHeader; }
std::span<const TCaptionText> FrameButtonCaptions() { return kFrameButtons; }
std::span<const TColumnCaption> HistoryHeaderRowCaptions() { return kHistoryHeaderRow; }
std::span<const TLangText> LangTexts() { return kLangTexts; }

std::string LangText(std::string_view name, int language) {
  for (const TLangText& text : kLangTexts) {
    if (name == text.Name) return language == LanguageChinese ? text.Chinese : text.English;
  }
  return {};
}

const TCaptionText* FindCaption(std::span<const TCaptionText> table, std::string_view name) {
  for (const TCaptionText& entry : table) {
    if (name == entry.Name) return &entry;
  }
  return nullptr;
}

std::vector<std::string> ListColumnTexts(std::string_view listView, int language) {
  std::vector<std::string> texts;
  for (const TColumnCaption& column : kColumns) {
    if (listView == column.ListView) texts.emplace_back(column.Text(language));
  }
  return texts;
}

std::string ListViewHint(int language) {
  return language == LanguageChinese ? "鼠标右键弹出菜单" : "Popup menu with right mouse button";
}

std::vector<std::string> ProtocolItems(int language) {
  if (language == LanguageChinese) return {"0.禁用", "1.Modbus TCP协议", "2.自定义协议"};
  return {"0.Disable", "1.Modbus TCP Protocol", "2.Definition Protocol"};
}

std::vector<std::string> TransportItems() { return {"TCP", "UDP"}; }

std::string MainWindowCaption(int language) {
  std::string title = language == LanguageChinese
                          ? "KV41/2/3 温湿度配置软件  "
                          : "KV41/2/3 Temperature Humidity Data Logger Configurator  ";
  return title + GetProgramVersion("");
}

std::string InputErrorText(int language) {
  return language == LanguageChinese ? "输入错误" : "Input Error";
}

std::string SkinLoadErrorText(int language, const std::string& skinName) {
  if (language == LanguageChinese) return "皮肤“" + skinName + "”无法加载，仍使用当前皮肤。";
  return "The skin \"" + skinName + "\" cannot be loaded; the current skin stays.";
}

std::string NothingWrittenText(int language) {
  if (language == LanguageChinese) return "没有写入任何参数：设备中的参数没有改变。";
  return "Nothing was written: the device keeps its setting as it was.";
}

std::string ChannelRowsOfAnotherDeviceText(int language, const std::string& model, bool rowsBuilt) {
  if (language == LanguageChinese) {
    return (rowsBuilt ? "通道列表是按本次运行中第一台连接的设备的型号建立的，与此设备（" + model +
                            "）不符"
                      : "本次运行中第一台连接的设备的型号不是本程序支持的型号，因此没有建立通道列表"
                        "（此设备为" +
                            model + "）") +
           "，而通道列表每次运行只建立一次。请重新启动程序后再操作此设备。";
  }
  return (rowsBuilt ? "The channel rows were set up for the model of the first device connected "
                      "in this run, which is not this device's (" +
                          model + ")"
                    : "The first device connected in this run named a model this program does "
                      "not know, so no channel rows were set up (this device is a " +
                          model + ")") +
         ", and they are set up only once a run. Restart the program to work with this device.";
}

bool ThresholdLimitTexts(int language, int modelIndex, std::string& low, std::string& high) {
  const bool chinese = language == LanguageChinese;
  if (modelIndex == 0 || modelIndex == 1) {
    low = chinese ? "低限值(温度范围:-40~80℃；湿度范围0~100RH%)"
                  : "Threshold Low(Temp range:-40~80℃; Hum range:0~100RH%)";
    high = chinese ? "高限值(温度范围:-40~80℃；湿度范围0~100RH%)"
                   : "Threshold High(Temp range:-40~80℃; Hum range:0~100RH%)";
    return true;
  }
  if (modelIndex == 2) {
    low = chinese ? "低限值(温度范围:-55~125℃)" : "Threshold Low(Temp range:-55~125℃)";
    high = chinese ? "高限值(温度范围:-55~125℃)" : "Threshold High(Temp range:-55~125℃)";
    return true;
  }
  return false;
}

void AssignLanguageTexts(int language, int modelIndex) {
  const bool chinese = language == LanguageChinese;
  for (const TLangText& text : kLangTexts) *text.Variable = chinese ? text.Chinese : text.English;
  std::string low, high;
  if (ThresholdLimitTexts(language, modelIndex, low, high)) {
    Lang_ThLowLimit = low;
    Lang_ThHighLimit = high;
  }
}

}  // namespace kv
