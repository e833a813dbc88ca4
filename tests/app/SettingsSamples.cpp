#include "SettingsSamples.h"

#include "app/ConstLang_Unt.h"
#include "app/SoftDateTime_Unt.h"
#include "app/SoftDiDoTh_Unt.h"
#include "app/SoftTelephone_Unt.h"

namespace kv::samples {

const std::string kTick = "\xE2\x88\x9A";

// Flag patterns that differ from row to row.
bool PhoneFlag(int row, int flag) { return (row + flag) % 3 == 0 || flag == row; }
bool ChannelEnable(int i) { return i % 2 == 0; }
bool ChannelRecovery(int i) { return i % 3 == 0; }
bool ChannelLink1(int i) { return i % 4 == 1; }
bool ChannelLink2(int i) { return i % 5 == 2; }

const TTimerCase kTimers[8] = {{"Sunday", 0, 0, 59, 10},   {"Monday", 1, 23, 0, 1},
                               {"Tuesday", 2, 7, 30, 5},   {"Wednesday", 3, 12, 1, 3},
                               {"Thursday", 4, 13, 14, 4}, {"Friday", 5, 18, 45, 6},
                               {"Saturday", 6, 6, 6, 9},   {"Everyday", 15, 21, 58, 7}};

TMasterSettings EmptyRows(int model) {
  TMasterSettings s;
  FillDoRows(s.lvDo);
  FillPhoneRows(s.lvTel);
  FillTimerRows(s.lvTimer);
  for (const std::string& caption : ThRowCaptions(model, LanguageEnglish)) {
    TListRow row;
    row.Caption = caption;
    row.SubItems.resize(ThListColumns - 1);
    s.lvTh.push_back(row);
  }
  return s;
}

TMasterSettings FullSettings(int model) {
  TMasterSettings s = EmptyRows(model);
  s.lbledt_Main_Password = "9173";
  s.lbledt_DeviseID = "4660";  // 0x1234
  s.chk_ReportTime = true;
  s.dtp_RePortTime = {8, 5, 0};
  s.chk_SmsReportInterMin = true;
  s.lbledt_SmsReportInterMin = "9029";                                // 0x2345
  s.lbledt_Master_DevDes = "Cold store \xE5\x8C\x97\xE5\x8C\xBA #1";  // "北区"
  s.chk_Auto_Armed = false;
  s.chk_AddTimeToAlarmSMS = true;
  s.chk_AutoAlarmAfterDisarm = true;
  s.lbledt_AutoMintues = "13398";  // 0x3456
  for (int k = 0; k < 10; ++k) {
    TListRow& row = s.lvTel[k];
    row.SetCell(1, "+86138000000" + std::to_string(10 + k));
    for (int f = 0; f < 9; ++f) row.SetCell(2 + f, PhoneFlag(k, f) ? kTick : "");
  }
  s.lvDo[0].SubItems = {"Pump", "1200", "", "Pump off", "Pump on", kTick, ""};
  s.lvDo[1].SubItems = {"Fan", "2571", "", "Fan stopped", "Fan running", "", ""};
  for (int t = 0; t < 8; ++t) {
    TListRow& row = s.lvTimer[t];
    row.SetCell(1, kTick);
    row.SetCell(2, kTimers[t].Week);
    row.SetCell(3, std::to_string(kTimers[t].Hour));
    row.SetCell(4, std::to_string(kTimers[t].Minute));
    row.SetCell(5, TimerActionTexts(LanguageEnglish)[kTimers[t].Action]);
  }
  s.cbb_GPRS_TcpUdp = 1;
  s.cbb_GPRSCommunication_Proctocol = 2;
  s.lbledt_Gprs_IP = "logger.example.com";
  s.lbledt_TcpPort = "17767";        // 0x4567
  s.lbledt_GprsBeatHeart = "22136";  // 0x5678
  s.lbledt_GprsReconnSec = "26505";  // 0x6789
  s.lbledt_HeartCont = "ACK";
  s.chk_PwrOffTime = true;
  s.lbledt_PwrOffTime = "30874";  // 0x789A
  for (std::size_t i = 0; i < s.lvTh.size(); ++i) {
    const std::string n = std::to_string(i + 1);
    TListRow& row = s.lvTh[i];
    row.SetCell(1, "Channel " + n);
    row.SetCell(3, ChannelEnable(i) ? kTick : "");
    row.SetCell(4, std::to_string(100 + i));
    row.SetCell(5, std::to_string(30 + i));
    row.SetCell(6, std::to_string(-10 - static_cast<int>(i)));
    row.SetCell(7, "High " + n);
    row.SetCell(8, "Low " + n);
    row.SetCell(9, "Back " + n);
    row.SetCell(10, ChannelRecovery(i) ? kTick : "");
    row.SetCell(11, ChannelLink1(i) ? kTick : "");
    row.SetCell(12, ChannelLink2(i) ? kTick : "");
  }
  s.chk_SaveRecordInterSec = true;
  s.lbledt_SaveRecordInterSec = "35243";  // 0x89AB
  s.lbledt_AccessPontName = "cmnet";
  s.lbledt_GPRS_UserName = "user1";
  s.lbledt_GPRS_Password = "secret2";
  return s;
}

}  // namespace kv::samples
