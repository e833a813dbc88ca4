// The main window in its view-only state: pages, list views, status bar, side
// bar and the language switch.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "SettingsSamples.h"
#include "ViewOnlyWindow.h"
#include "app/About_Frm_win.h"
#include "app/ComponentEx_win.h"
#include "app/ConstLang_Unt.h"
#include "app/FrameBar_Frms_win.h"
#include "app/Funs_Unt.h"
#include "app/KV69_Frm_win.h"
#include "app/SoftDateTime_Unt.h"
#include "app/SoftTelephone_Unt.h"
#include "app/Variable_Unt.h"
#include "base/DateTime.h"
#include "classlib/Forms.h"

namespace kv {
namespace {

class MainWindow : public ::testing::Test {
 protected:
  void SetUp() override { form_.reset(test::OpenViewOnlyMainWindow()); }
  void TearDown() override {
    form_.reset();
    LoginPassword.clear();
  }

  static std::vector<std::string> Columns(TListView* list) {
    std::vector<std::string> texts;
    for (int c = 0; c < list->Columns()->Count(); ++c)
      texts.push_back(list->Columns()->Items(c)->Caption());
    return texts;
  }
  static std::vector<std::string> RowCaptions(TListView* list) {
    std::vector<std::string> texts;
    for (int r = 0; r < list->Items()->Count(); ++r)
      texts.push_back(list->Items()->Item(r)->Caption());
    return texts;
  }

  Owned<TFormKV69> form_;
};

TEST_F(MainWindow, AccessCodeShowsViewAndTheWelcomePage) {
  EXPECT_TRUE(form_->ViewOnly());
  EXPECT_EQ("View", form_->Bar->SimpleText());
  EXPECT_EQ(form_->abSheetVerInfo, form_->PageControl->ActivePage());
  ASSERT_NE(nullptr, form_->AutoStartBox);
  EXPECT_EQ(form_->Bar, form_->AutoStartBox->Parent());
  EXPECT_EQ(IsAutoStart(), form_->AutoStartBox->Checked());
}

TEST(MainWindowAutoStart, BoxShowsAndChangesWhatTheRegistryHolds) {
  LoginPassword = std::string(AccessCode);
  SetAutoStart(true);
  {
    Owned<TFormKV69> form(Create<TFormKV69>(nullptr));
    form->Show();  // the box is made when the window is first shown
    ASSERT_NE(nullptr, form->AutoStartBox);
    EXPECT_TRUE(form->AutoStartBox->Checked()) << "a value left by an earlier run is shown";
    form->AutoStartBox->SetChecked(false);  // as a click does
    EXPECT_FALSE(IsAutoStart());
    form->AutoStartBox->SetChecked(true);
    EXPECT_TRUE(IsAutoStart());
    // A click on it sounds like every other box of the window.
    static std::vector<std::string> played;
    played.clear();
    const auto previous =
        ComponentEx::SetPlayClickSound([](const std::string& s) { played.push_back(s); });
    const HWND box = form->AutoStartBox->Handle();
    SendMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(box, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    ComponentEx::SetPlayClickSound(previous);
    EXPECT_EQ(std::vector<std::string>{"CLICK"}, played);
  }
  SetAutoStart(false);
  LoginPassword.clear();
}

TEST_F(MainWindow, PagesNestAsTheWindowShowsThem) {
  ASSERT_EQ(3, form_->PageControl->PageCount());
  EXPECT_EQ(form_->Sheet_Basic, form_->PageControl->Pages(1));
  EXPECT_EQ(form_->Sheet_History, form_->PageControl->Pages(2));
  const std::vector<TTabSheet*> main = {form_->Sheet_Common, form_->Sheet_DiDoTh,
                                        form_->Sheet_Telephone, form_->Sheet_DateTime,
                                        form_->Sheet_InfoMode};
  ASSERT_EQ(5, form_->PageControlMain->PageCount());
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(main[static_cast<size_t>(i)], form_->PageControlMain->Pages(i));
  EXPECT_EQ(tsButtons, form_->PageControlMain->Style());
  ASSERT_EQ(2, form_->PageControl_DIDOTH->PageCount());
  EXPECT_EQ(form_->Sheet_TH, form_->PageControl_DIDOTH->Pages(1));
}

TEST_F(MainWindow, ListViewsHaveTheirColumnsAndRowsWithoutAModel) {
  form_->N_ENClick(nullptr);
  EXPECT_EQ(ListColumnTexts("lvDo", LanguageEnglish), Columns(form_->lvDo));
  EXPECT_EQ(7, form_->lvDo->Columns()->Count());
  EXPECT_EQ(13, form_->lvTh->Columns()->Count());
  EXPECT_EQ(11, form_->lvTel->Columns()->Count());
  EXPECT_EQ(6, form_->lvTimer->Columns()->Count());
  EXPECT_EQ((std::vector<std::string>{"DOUT1", "DOUT2"}), RowCaptions(form_->lvDo));
  EXPECT_EQ(10, form_->lvTel->Items()->Count());
  EXPECT_EQ("  1", form_->lvTel->Items()->Item(0)->Caption());
  EXPECT_EQ("  10", form_->lvTimer->Items()->Item(9)->Caption());
  EXPECT_EQ(PhoneListColumns, form_->lvTel->Items()->Item(0)->SubItems().Count());
  // The channel rows wait for the device's model.
  EXPECT_EQ(0, form_->lvTh->Items()->Count());
}

TEST_F(MainWindow, PhoneColumnsCannotBeResized) {
  for (int c = 0; c < form_->lvTel->Columns()->Count(); ++c) {
    TListColumn* column = form_->lvTel->Columns()->Items(c);
    EXPECT_GT(column->Width(), 0) << "column " << c;
    EXPECT_EQ(column->MinWidth(), column->MaxWidth()) << "column " << c;
  }
}

TEST_F(MainWindow, LanguageSwitchRewritesCaptions) {
  form_->N_CNClick(nullptr);
  EXPECT_EQ(LanguageChinese, LanguageFlag);
  EXPECT_EQ("欢迎", form_->abSheetVerInfo->Caption());
  EXPECT_EQ("历史记录", form_->Sheet_History->Caption());
  EXPECT_EQ("语言(&W)", form_->N_Language->Caption());
  EXPECT_EQ("继电器2", form_->lvDo->Items()->Item(1)->Caption());
  EXPECT_EQ("报警号码", form_->lvTel->Columns()->Items(1)->Caption());
  EXPECT_EQ("电话管理", form_->FrameBar->Items()->GetItem(2)->Caption());
  EXPECT_EQ("自动启动", form_->AutoStartBox->Caption());
  EXPECT_EQ(MainWindowCaption(LanguageChinese), form_->Caption());
  EXPECT_EQ("鼠标右键弹出菜单", form_->lvTimer->Hint());

  form_->N_ENClick(nullptr);
  EXPECT_EQ(LanguageEnglish, LanguageFlag);
  EXPECT_EQ("Welcome", form_->abSheetVerInfo->Caption());
  EXPECT_EQ("Number Setting", form_->Sheet_Telephone->Caption());
  EXPECT_EQ("Language(&W)", form_->N_Language->Caption());
  EXPECT_EQ("DOUT2", form_->lvDo->Items()->Item(1)->Caption());
  EXPECT_EQ("Alarm Tel Number", form_->lvTel->Columns()->Items(1)->Caption());
  EXPECT_EQ("  Number   Setting", form_->FrameBar->Items()->GetItem(2)->Caption());
  EXPECT_EQ("Auto Start", form_->AutoStartBox->Caption());
  EXPECT_EQ("Successfully!", Lang_MsgSuccess);
  EXPECT_EQ("View", form_->Bar->SimpleText());
}

TEST_F(MainWindow, SideBarHasSixTitlesAndOpeningOneSelectsItsPages) {
  TsFrameBar* bar = form_->FrameBar;
  ASSERT_EQ(6, bar->Items()->Count());
  EXPECT_EQ(form_->PnlMain, bar->Parent());
  EXPECT_EQ(169, bar->Items()->GetItem(2)->ImageIndex());
  bar->TitleClick(bar->Items()->GetItem(2));
  EXPECT_EQ(form_->Sheet_Basic, form_->PageControl->ActivePage());
  EXPECT_EQ(form_->Sheet_Telephone, form_->PageControlMain->ActivePage());
  bar->TitleClick(bar->Items()->GetItem(5));
  EXPECT_EQ(form_->Sheet_History, form_->PageControl->ActivePage());
  // An item higher up still wins once it is clicked after a lower one.
  bar->TitleClick(bar->Items()->GetItem(1));
  EXPECT_EQ(form_->Sheet_Basic, form_->PageControl->ActivePage());
  EXPECT_EQ(form_->Sheet_DiDoTh, form_->PageControlMain->ActivePage());
  // Titles stack from the top, one title height apart at least.
  EXPECT_LT(bar->Items()->GetItem(0)->Button()->Top(), bar->Items()->GetItem(1)->Button()->Top());
  EXPECT_EQ(bar->TitleHeight(), bar->Items()->GetItem(0)->Button()->Height());
}

// The setting pages: the binder between the controls and the settings
// model, the enabling boxes, clearing, captions and the side-bar frames.

// Every flag and index the opposite of the full sample, so that a binder
// that ignores a control (or always writes one value) shows in one of them.
TMasterSettings FlippedSettings(int model) {
  TMasterSettings s = samples::FullSettings(model);
  s.chk_ShowPassword = !s.chk_ShowPassword;
  s.chk_AddTimeToAlarmSMS = !s.chk_AddTimeToAlarmSMS;
  s.chk_Auto_Armed = !s.chk_Auto_Armed;
  s.chk_AutoAlarmAfterDisarm = !s.chk_AutoAlarmAfterDisarm;
  s.chk_ReportTime = !s.chk_ReportTime;
  s.chk_PwrOffTime = !s.chk_PwrOffTime;
  s.chk_SaveRecordInterSec = !s.chk_SaveRecordInterSec;
  s.chk_SmsReportInterMin = !s.chk_SmsReportInterMin;
  s.dtp_RePortTime = {23, 59, 0};
  s.cbb_GPRSCommunication_Proctocol = 0;
  s.cbb_GPRS_TcpUdp = -1;
  return s;
}

// The fields one by one, so that a failure names the field.
void ExpectSameSettings(const TMasterSettings& want, const TMasterSettings& got) {
  EXPECT_EQ(want.lbledt_Main_Password, got.lbledt_Main_Password);
  EXPECT_EQ(want.chk_ShowPassword, got.chk_ShowPassword);
  EXPECT_EQ(want.lbledt_Master_DevDes, got.lbledt_Master_DevDes);
  EXPECT_EQ(want.lbledt_DeviseID, got.lbledt_DeviseID);
  EXPECT_EQ(want.chk_AddTimeToAlarmSMS, got.chk_AddTimeToAlarmSMS);
  EXPECT_EQ(want.chk_Auto_Armed, got.chk_Auto_Armed);
  EXPECT_EQ(want.chk_AutoAlarmAfterDisarm, got.chk_AutoAlarmAfterDisarm);
  EXPECT_EQ(want.lbledt_AutoMintues, got.lbledt_AutoMintues);
  EXPECT_EQ(want.lbledt_PwrOffTime, got.lbledt_PwrOffTime);
  EXPECT_EQ(want.dtp_RePortTime.Hour, got.dtp_RePortTime.Hour);
  EXPECT_EQ(want.dtp_RePortTime.Minute, got.dtp_RePortTime.Minute);
  EXPECT_EQ(want.dtp_RePortTime.Second, got.dtp_RePortTime.Second);
  EXPECT_EQ(want.lbledt_SaveRecordInterSec, got.lbledt_SaveRecordInterSec);
  EXPECT_EQ(want.lbledt_SmsReportInterMin, got.lbledt_SmsReportInterMin);
  EXPECT_EQ(want.chk_ReportTime, got.chk_ReportTime);
  EXPECT_EQ(want.chk_PwrOffTime, got.chk_PwrOffTime);
  EXPECT_EQ(want.chk_SaveRecordInterSec, got.chk_SaveRecordInterSec);
  EXPECT_EQ(want.chk_SmsReportInterMin, got.chk_SmsReportInterMin);
  EXPECT_EQ(want.lbledt_AccessPontName, got.lbledt_AccessPontName);
  EXPECT_EQ(want.lbledt_GPRS_UserName, got.lbledt_GPRS_UserName);
  EXPECT_EQ(want.lbledt_GPRS_Password, got.lbledt_GPRS_Password);
  EXPECT_EQ(want.lbledt_HeartCont, got.lbledt_HeartCont);
  EXPECT_EQ(want.lbledt_GprsBeatHeart, got.lbledt_GprsBeatHeart);
  EXPECT_EQ(want.lbledt_GprsReconnSec, got.lbledt_GprsReconnSec);
  EXPECT_EQ(want.lbledt_TcpPort, got.lbledt_TcpPort);
  EXPECT_EQ(want.cbb_GPRSCommunication_Proctocol, got.cbb_GPRSCommunication_Proctocol);
  EXPECT_EQ(want.cbb_GPRS_TcpUdp, got.cbb_GPRS_TcpUdp);
  EXPECT_EQ(want.lbledt_Gprs_IP, got.lbledt_Gprs_IP);
  EXPECT_TRUE(want.lvDo == got.lvDo);
  EXPECT_TRUE(want.lvTh == got.lvTh);
  EXPECT_TRUE(want.lvTel == got.lvTel);
  EXPECT_TRUE(want.lvTimer == got.lvTimer);
  EXPECT_TRUE(want == got) << "a field the checks above do not name differs";
}

TEST_F(MainWindow, SettingsShownInTheControlsComeBackUnchangedForEveryModel) {
  for (int model = 0; model < 3; ++model) {
    SCOPED_TRACE("model " + std::to_string(model));
    for (const TMasterSettings& sample : {samples::FullSettings(model), FlippedSettings(model)}) {
      form_->SettingsToControls(sample);
      ExpectSameSettings(sample, form_->ControlsToSettings());
    }
  }
}

TEST_F(MainWindow, SettingsReachTheNamedControls) {
  const TMasterSettings sample = samples::FullSettings(1);
  form_->SettingsToControls(sample);
  EXPECT_EQ("9173", form_->lbledt_Main_Password->Text());
  EXPECT_EQ("logger.example.com", form_->lbledt_Gprs_IP->Text());
  EXPECT_EQ(2, form_->cbb_GPRSCommunication_Proctocol->ItemIndex());
  EXPECT_EQ("UDP", form_->cbb_GPRS_TcpUdp->Items()->Strings(form_->cbb_GPRS_TcpUdp->ItemIndex()));
  int hour = 0, minute = 0, second = 0, msec = 0;
  DecodeTime(form_->dtp_RePortTime->Time(), hour, minute, second, msec);
  EXPECT_EQ(8, hour);
  EXPECT_EQ(5, minute);
  ASSERT_EQ(16, form_->lvTh->Items()->Count());
  EXPECT_EQ("Channel 16", form_->lvTh->Items()->Item(15)->SubItems()[0]);
}

TEST_F(MainWindow, EachEnablingBoxEnablesItsEditWithItsOwnState) {
  struct TPair {
    TCheckBox* Box;
    TControl* Edit;
  };
  const TPair pairs[] = {{form_->chk_ReportTime, form_->dtp_RePortTime},
                         {form_->chk_PwrOffTime, form_->lbledt_PwrOffTime},
                         {form_->chk_SaveRecordInterSec, form_->lbledt_SaveRecordInterSec},
                         {form_->chk_SmsReportInterMin, form_->lbledt_SmsReportInterMin},
                         {form_->chk_AutoAlarmAfterDisarm, form_->lbledt_AutoMintues}};
  for (const TPair& pair : pairs) {
    SCOPED_TRACE(pair.Box->Name());
    EXPECT_FALSE(pair.Edit->Enabled()) << "unticked at start";
    pair.Box->SetChecked(true);
    EXPECT_TRUE(pair.Edit->Enabled());
    for (const TPair& other : pairs) {
      if (other.Box != pair.Box) {
        EXPECT_FALSE(other.Edit->Enabled()) << other.Box->Name();
      }
    }
    pair.Box->SetChecked(false);
    EXPECT_FALSE(pair.Edit->Enabled());
  }
}

TEST_F(MainWindow, ShownSettingsFollowTheEnablingRule) {
  TMasterSettings sample = samples::FullSettings(0);
  form_->SettingsToControls(sample);
  EXPECT_TRUE(form_->dtp_RePortTime->Enabled());
  EXPECT_TRUE(form_->lbledt_AutoMintues->Enabled());
  EXPECT_EQ("13398", form_->lbledt_AutoMintues->Text()) << "the box's \"0\" must not win";
  sample = FlippedSettings(0);
  form_->SettingsToControls(sample);
  EXPECT_FALSE(form_->dtp_RePortTime->Enabled());
  EXPECT_FALSE(form_->lbledt_PwrOffTime->Enabled());
  EXPECT_FALSE(form_->lbledt_SaveRecordInterSec->Enabled());
  EXPECT_FALSE(form_->lbledt_SmsReportInterMin->Enabled());
  EXPECT_FALSE(form_->lbledt_AutoMintues->Enabled());
}

TEST_F(MainWindow, ClickingTheReArmBoxPutsZeroIntoItsEdit) {
  form_->lbledt_AutoMintues->SetText("45");
  form_->chk_AutoAlarmAfterDisarm->SetChecked(true);
  EXPECT_EQ("0", form_->lbledt_AutoMintues->Text());
  form_->lbledt_AutoMintues->SetText("45");
  form_->chk_AutoAlarmAfterDisarm->SetChecked(false);
  EXPECT_EQ("0", form_->lbledt_AutoMintues->Text());
}

TEST_F(MainWindow, ShowPasswordBoxShowsThePasswordPlainly) {
  EXPECT_EQ(L'*', form_->lbledt_Main_Password->PasswordChar());
  form_->chk_ShowPassword->SetChecked(true);
  EXPECT_EQ(L'\0', form_->lbledt_Main_Password->PasswordChar());
  form_->chk_ShowPassword->SetChecked(false);
  EXPECT_EQ(L'*', form_->lbledt_Main_Password->PasswordChar());
}

TEST_F(MainWindow, ClearingTheSevenContainersEmptiesTheirOwnControlsOnly) {
  form_->SettingsToControls(samples::FullSettings(2));
  form_->dtpHMS->SetTime(EncodeTime(3, 4, 5, 0));
  for (TWinControl* container : std::vector<TWinControl*>{
           form_->grp_BasicSeting, form_->grp_PasswordSeting, form_->Sheet_Telephone,
           form_->Sheet_DO, form_->Sheet_TH, form_->Sheet_DateTime, form_->grp_GPRS_BasicSeting})
    TFormKV69::ClearControls(container);

  const TMasterSettings s = form_->ControlsToSettings();
  EXPECT_EQ("", s.lbledt_Main_Password);
  EXPECT_EQ("", s.lbledt_Master_DevDes);
  EXPECT_EQ("", s.lbledt_SmsReportInterMin);
  EXPECT_EQ("", s.lbledt_Gprs_IP);
  EXPECT_EQ("", s.lbledt_GPRS_Password);
  EXPECT_FALSE(s.chk_ReportTime);
  EXPECT_FALSE(s.chk_AddTimeToAlarmSMS);
  EXPECT_FALSE(s.chk_AutoAlarmAfterDisarm);
  EXPECT_EQ(-1, s.cbb_GPRS_TcpUdp);
  EXPECT_EQ(-1, s.cbb_GPRSCommunication_Proctocol);
  // Rows and captions stay; every cell is empty.
  const TMasterSettings empty = samples::EmptyRows(2);
  ASSERT_EQ(empty.lvTh.size(), s.lvTh.size());
  for (const TListRows* rows : {&s.lvDo, &s.lvTh, &s.lvTel, &s.lvTimer})
    for (const TListRow& row : *rows) {
      EXPECT_FALSE(row.Caption.empty());
      for (const std::string& cell : row.SubItems) EXPECT_EQ("", cell) << row.Caption;
    }
  // The device-clock group on the timer page is a container of its own.
  int hour = 0, minute = 0, second = 0, msec = 0;
  DecodeTime(form_->dtpHMS->Time(), hour, minute, second, msec);
  EXPECT_EQ(3, hour);
  EXPECT_EQ(5, second);
  EXPECT_EQ("DO1 Close", (form_->N_ENClick(nullptr), form_->btn_DO1_Close->Caption()));
}

TEST_F(MainWindow, LanguageSwitchCaptionsTheSettingPages) {
  struct TCase {
    TControl* Control;
    const char* English;
    const char* Chinese;
  };
  const TCase cases[] = {
      {form_->chk_ReportTime, "Daily work report time", "每日工作报表时间"},
      {form_->lbledt_TcpPort->EditLabel(), "Server Port(Range:0~65535)", "端口"},
      {form_->lbledt_AutoMintues->EditLabel(),
       "Minutes(Range 0~9999 min,default 0,means it will delay 30 seconds to auto Arm after "
       "Disarmed)",
       "分钟后自动布防(取值0~9999分,0表示30秒后自动布防，默认0)"},
      {form_->grp_OpenCloseDO, "Manual Switch", "手动开关"},
      {form_->grp_Slave_Function, "Device Time", "设备时间"},
      {form_->btn_Main_Timer_Write, "Write", "写入"},
      {form_->btn_Do2_Open, "DO2 Open", "断开继电器2"},
      {form_->lbl_GPRSCommunication_Proctocol, "Communication Type", "通信类型"},
      {form_->grp_PasswordSeting, "Password Setting", "密码设置"},
      {form_->grp_GPRS_BasicSeting, "", ""},
  };
  form_->N_ENClick(nullptr);
  for (const TCase& c : cases) EXPECT_EQ(c.English, c.Control->Caption()) << c.Control->Name();
  EXPECT_EQ("default 0,means not report", form_->lbledt_SmsReportInterMin->Hint());
  EXPECT_EQ("No.", form_->SgHist->Cells(0, 0));
  EXPECT_EQ("Type", form_->SgHist->Cells(7, 0));
  EXPECT_EQ(LanguageEnglish, CommMessageLanguage);
  form_->N_CNClick(nullptr);
  for (const TCase& c : cases) EXPECT_EQ(c.Chinese, c.Control->Caption()) << c.Control->Name();
  EXPECT_EQ("序号", form_->SgHist->Cells(0, 0));
  EXPECT_EQ("类型", form_->SgHist->Cells(7, 0));
  EXPECT_EQ(LanguageChinese, CommMessageLanguage);
  // The Chinese captions leave the English-only hints as they were.
  EXPECT_EQ("default 0,means not report", form_->lbledt_SmsReportInterMin->Hint());
}

TEST_F(MainWindow, LanguageSwitchRefillsTheProtocolItemsAndKeepsTheChoice) {
  form_->N_ENClick(nullptr);
  form_->cbb_GPRSCommunication_Proctocol->SetItemIndex(2);
  form_->N_CNClick(nullptr);
  TsComboBox* combo = form_->cbb_GPRSCommunication_Proctocol;
  ASSERT_EQ(3, combo->Items()->Count());
  EXPECT_EQ("1.Modbus TCP协议", combo->Items()->Strings(1));
  EXPECT_EQ(2, combo->ItemIndex());
  form_->N_ENClick(nullptr);
  EXPECT_EQ("2.Definition Protocol", combo->Items()->Strings(2));
  EXPECT_EQ(2, combo->ItemIndex());
}

TEST_F(MainWindow, LanguageSwitchTranslatesTheTimerCellsByIndex) {
  form_->N_ENClick(nullptr);
  TListItem* row = form_->lvTimer->Items()->Item(0);
  row->SubItems().Put(TimerColEnable - 1, "√");
  row->SubItems().Put(TimerColWeek - 1, "Everyday");
  row->SubItems().Put(TimerColAction - 1, "10.DO2 Open(OFF)");
  TListItem* second = form_->lvTimer->Items()->Item(1);
  second->SubItems().Put(TimerColWeek - 1, "Monday");
  second->SubItems().Put(TimerColAction - 1, "5.Arm");

  form_->N_CNClick(nullptr);
  EXPECT_EQ("每天", row->SubItems()[TimerColWeek - 1]);
  EXPECT_EQ("10.继电器2断开", row->SubItems()[TimerColAction - 1]);
  EXPECT_EQ("一", second->SubItems()[TimerColWeek - 1]);
  EXPECT_EQ("5.布防", second->SubItems()[TimerColAction - 1]);
  EXPECT_EQ("", form_->lvTimer->Items()->Item(2)->SubItems()[TimerColWeek - 1]);

  form_->N_ENClick(nullptr);
  EXPECT_EQ("Everyday", row->SubItems()[TimerColWeek - 1]);
  EXPECT_EQ("5.Arm", second->SubItems()[TimerColAction - 1]);
  // What a write then makes of the row is the row's own timer, not Sunday.
  EXPECT_EQ(EveryDayWeekCode, TimerWeekCode(row->SubItems()[TimerColWeek - 1]));
  EXPECT_EQ(10, TimerActionCode(row->SubItems()[TimerColAction - 1]));
}

TEST_F(MainWindow, EverySideBarItemOpensItsFrameAndSelectsItsPages) {
  struct TCase {
    int Item;
    TTabSheet* Page;
    TTabSheet* MainPage;  // nullptr: not looked at
    std::vector<std::string> Buttons;
  };
  const TCase cases[] = {
      {0, form_->Sheet_Basic, form_->Sheet_Common, {"btn_Basic"}},
      {1, form_->Sheet_Basic, form_->Sheet_DiDoTh, {"btn_DO", "btn_TH"}},
      {2, form_->Sheet_Basic, form_->Sheet_Telephone, {"btn_Phone"}},
      {3, form_->Sheet_Basic, form_->Sheet_DateTime, {"btn_Time"}},
      {4, form_->Sheet_Basic, form_->Sheet_InfoMode, {"btn_GPRS", "btn_Ethnet", "btn_Debug"}},
      {5, form_->Sheet_History, nullptr, {"btn_History"}},
  };
  form_->N_ENClick(nullptr);
  TsFrameBar* bar = form_->FrameBar;
  for (const TCase& c : cases) {
    SCOPED_TRACE("item " + std::to_string(c.Item));
    // Start from another page, so that a selection that did not happen shows.
    form_->SelectPages(0, c.Item == 0 ? 4 : 0, 1);
    bar->TitleClick(bar->Items()->GetItem(c.Item));
    EXPECT_EQ(c.Page, form_->PageControl->ActivePage());
    if (c.MainPage != nullptr) {
      EXPECT_EQ(c.MainPage, form_->PageControlMain->ActivePage());
    }
    if (c.Item == 1) {
      EXPECT_EQ(form_->Sheet_DO, form_->PageControl_DIDOTH->ActivePage())
          << "the DO/TH item shows the DO page";
    }
    auto* frame = dynamic_cast<TSideBarFrame*>(bar->Items()->GetItem(c.Item)->Frame());
    ASSERT_NE(nullptr, frame);
    EXPECT_EQ(form_.get(), frame->Owner());
    ASSERT_EQ(c.Buttons.size(), frame->Buttons().size());
    for (size_t b = 0; b < c.Buttons.size(); ++b) {
      EXPECT_EQ(c.Buttons[b], frame->Buttons()[b]->Name());
      EXPECT_FALSE(frame->Buttons()[b]->Caption().empty()) << c.Buttons[b];
    }
  }
}

TEST_F(MainWindow, FrameButtonsSelectTheirPages) {
  form_->N_ENClick(nullptr);
  TsFrameBar* bar = form_->FrameBar;
  bar->TitleClick(bar->Items()->GetItem(1));
  auto* doTh = dynamic_cast<TFormDIDOTH*>(bar->Items()->GetItem(1)->Frame());
  ASSERT_NE(nullptr, doTh);
  form_->SelectPages(0, 0, 0);
  doTh->btn_TH->Click();
  EXPECT_EQ(form_->Sheet_Basic, form_->PageControl->ActivePage());
  EXPECT_EQ(form_->Sheet_DiDoTh, form_->PageControlMain->ActivePage());
  EXPECT_EQ(form_->Sheet_TH, form_->PageControl_DIDOTH->ActivePage());
  doTh->btn_DO->Click();
  EXPECT_EQ(form_->Sheet_DO, form_->PageControl_DIDOTH->ActivePage());

  bar->TitleClick(bar->Items()->GetItem(4));
  auto* sms = dynamic_cast<TFormSMSMode*>(bar->Items()->GetItem(4)->Frame());
  ASSERT_NE(nullptr, sms);
  EXPECT_TRUE(sms->btn_GPRS->Visible());
  EXPECT_FALSE(sms->btn_Ethnet->Visible());
  EXPECT_FALSE(sms->btn_Debug->Visible());
  EXPECT_EQ(171, sms->btn_GPRS->ImageIndex());
  form_->SelectPages(0, 0, -1);
  sms->btn_GPRS->Click();
  EXPECT_EQ(form_->Sheet_InfoMode, form_->PageControlMain->ActivePage());

  bar->TitleClick(bar->Items()->GetItem(5));
  auto* history = dynamic_cast<TFormHistory*>(bar->Items()->GetItem(5)->Frame());
  ASSERT_NE(nullptr, history);
  EXPECT_EQ("History", history->btn_History->Caption());
  form_->N_CNClick(nullptr);
  EXPECT_EQ("历史记录", history->btn_History->Caption()) << "an open frame follows the language";
  form_->SelectPages(0, -1, -1);
  history->btn_History->Click();
  EXPECT_EQ(form_->Sheet_History, form_->PageControl->ActivePage());
}

TEST_F(MainWindow, SettingControlsLieInsideTheirContainers) {
  // Every control of the setting groups is visible inside its group, so that
  // nothing is cut off in either language's layout.
  for (TWinControl* group : std::vector<TWinControl*>{
           form_->grp_BasicSeting, form_->grp_PasswordSeting, form_->grp_GPRS_BasicSeting,
           form_->grp_Slave_Function, form_->grp_OpenCloseDO}) {
    for (int i = 0; i < group->ControlCount(); ++i) {
      TControl* c = group->Controls(i);
      if (!c->Visible()) continue;
      SCOPED_TRACE(c->Name() + " in " + group->Name());
      EXPECT_GE(c->Left(), 0);
      EXPECT_GE(c->Top(), 0);
      EXPECT_LE(c->Left() + c->Width(), group->Width());
      EXPECT_LE(c->Top() + c->Height(), group->Height());
    }
  }
}

TEST_F(MainWindow, HiddenFindButtonListsTheHistoryHeaderInTheHiddenMemo) {
  form_->N_ENClick(nullptr);
  EXPECT_FALSE(form_->btn_Find->Visible());
  EXPECT_FALSE(form_->mmo->Visible());
  form_->btn_Find->Click();
  const std::string text = form_->mmo->Lines()->Text();
  EXPECT_NE(std::string::npos, text.find("SgHist.Cells[0,0]:= 'No.';")) << text;
  EXPECT_NE(std::string::npos, text.find("SgHist.Cells[7,0]:= 'Type';")) << text;
}

TEST_F(MainWindow, DeviceGroupsSitBesideAndUnderTheirLists) {
  form_->SelectPages(1, 3, -1);
  EXPECT_LE(form_->lvTimer->Left() + form_->lvTimer->Width(), form_->grp_Slave_Function->Left());
  EXPECT_GT(form_->lvTimer->Height(), 0);
  form_->SelectPages(1, 1, 0);
  EXPECT_LE(form_->lvDo->Top() + form_->lvDo->Height(), form_->grp_OpenCloseDO->Top());
  EXPECT_GT(form_->lvDo->Height(), 0);
  EXPECT_EQ(form_->Sheet_InfoMode, form_->grp_GPRS_BasicSeting->Parent());
}

TEST_F(MainWindow, ResizingKeepsTheAutoStartBoxAtTheRightOfTheStatusBar) {
  form_->SetWidth(form_->Width() + 120);
  EXPECT_EQ(form_->Bar->ClientWidth(), form_->AutoStartBox->Left() + form_->AutoStartBox->Width());
  form_->SetWidth(form_->Width() - 120);
  EXPECT_EQ(form_->Bar->ClientWidth(), form_->AutoStartBox->Left() + form_->AutoStartBox->Width());
}

BOOL CALLBACK TakeAboutWindow(HWND wnd, LPARAM lp) {
  wchar_t title[16] = {};
  GetWindowTextW(wnd, title, 16);
  if (std::wstring(title) != L"About") return TRUE;
  *reinterpret_cast<HWND*>(lp) = wnd;
  return FALSE;
}

// This program's about window, if one is up: test programs side by side on
// one desktop show theirs too.
HWND OwnAboutWindow() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), TakeAboutWindow, reinterpret_cast<LPARAM>(&found));
  return found;
}

// Closes the about window once it is up, as its OK button would.
void CALLBACK CloseAboutWindow(HWND, UINT, UINT_PTR, DWORD) {
  if (HWND about = OwnAboutWindow()) PostMessageW(about, WM_CLOSE, 0, 0);
}

TEST_F(MainWindow, AboutCommandShowsTheAboutWindowModallyAndFreesIt) {
  const int components = form_->ComponentCount();
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, CloseAboutWindow);
  form_->N_AboutClick(nullptr);  // returns once the window was closed
  KillTimer(nullptr, timer);
  EXPECT_EQ(components, form_->ComponentCount()) << "the about window is freed";
  EXPECT_EQ(nullptr, OwnAboutWindow());
}

TEST(AboutWindow, HasItsCaptionPictureAndAClosingButton) {
  Owned<TFormAbout> about(Create<TFormAbout>(nullptr));
  EXPECT_EQ("About", about->Caption());
  ASSERT_NE(nullptr, about->imgAbout);
  EXPECT_FALSE(about->lbl_Product->Visible());
  EXPECT_FALSE(about->lbl_Copyright->Visible());
  about->Show();
  EXPECT_TRUE(about->Visible());
  about->btn_OK->Click();
  EXPECT_FALSE(about->Visible());
}

// The side bar on its own: frames open under their titles, one at a time.
class FrameBar : public ::testing::Test {
 protected:
  void SetUp() override {
    form_ = CreateOwned<TForm>();
    form_->SetBounds(0, 0, 300, 500);
    bar_ = Create<TsFrameBar>(form_.get());
    bar_->SetParent(form_.get());
    for (int i = 0; i < 3; ++i) {
      TsTitleItem* item = bar_->Items()->Add();
      item->OnCreateFrame = [this, i](TObject*, TCustomFrame*& frame) {
        ++created_[i];
        frame = Create<TFrame>(form_.get());
        frame->SetHeight(100);
      };
    }
    form_->Show();
  }
  Owned<TForm> form_;
  TsFrameBar* bar_ = nullptr;
  int created_[3] = {};
};

TEST_F(FrameBar, OpeningAnItemPlacesItsFrameUnderTheTitleAndMovesTheOthersDown) {
  TsTitleItem* first = bar_->Items()->GetItem(0);
  TsTitleItem* second = bar_->Items()->GetItem(1);
  bar_->TitleClick(first);
  EXPECT_EQ(stOpened, first->State());
  ASSERT_NE(nullptr, first->Frame());
  EXPECT_TRUE(first->Button()->Active());
  const int titleBottom = first->Button()->Top() + first->Button()->Height();
  EXPECT_GE(first->Frame()->Top(), titleBottom);
  EXPECT_GE(second->Button()->Top(), first->Frame()->Top() + first->Frame()->Height());
}

TEST_F(FrameBar, OpeningAnotherItemClosesAndFreesTheOpenOne) {
  bar_->TitleClick(bar_->Items()->GetItem(0));
  bar_->TitleClick(bar_->Items()->GetItem(2));
  EXPECT_EQ(stClosed, bar_->Items()->GetItem(0)->State());
  EXPECT_EQ(nullptr, bar_->Items()->GetItem(0)->Frame());
  EXPECT_FALSE(bar_->Items()->GetItem(0)->Button()->Active());
  EXPECT_EQ(stOpened, bar_->Items()->GetItem(2)->State());
  // Clicking the open item again keeps it open with the same frame.
  bar_->TitleClick(bar_->Items()->GetItem(2));
  EXPECT_EQ(stOpened, bar_->Items()->GetItem(2)->State());
  EXPECT_EQ(1, created_[2]);
}

TEST_F(FrameBar, AllowAllCloseLetsTheOpenItemClose) {
  bar_->SetAllowAllClose(true);
  bar_->TitleClick(bar_->Items()->GetItem(1));
  bar_->TitleClick(bar_->Items()->GetItem(1));
  EXPECT_EQ(stClosed, bar_->Items()->GetItem(1)->State());
  EXPECT_EQ(nullptr, bar_->Items()->GetItem(1)->Frame());
}

TEST_F(FrameBar, RefusedDestructionKeepsTheFrameHiddenForTheNextOpening) {
  TsTitleItem* item = bar_->Items()->GetItem(0);
  item->OnFrameDestroy = [](TObject*, TCustomFrame*&, bool& canDestroy) { canDestroy = false; };
  bar_->TitleClick(item);
  TCustomFrame* frame = item->Frame();
  bar_->TitleClick(bar_->Items()->GetItem(1));
  EXPECT_EQ(frame, item->Frame());
  EXPECT_FALSE(frame->Visible());
  bar_->TitleClick(item);
  EXPECT_EQ(frame, item->Frame());
  EXPECT_TRUE(frame->Visible());
  EXPECT_EQ(1, created_[0]);
}

TEST_F(FrameBar, TitleButtonsTakeTheNextFreeName) {
  EXPECT_EQ("sTitleButton1", bar_->Items()->GetItem(0)->Button()->Name());
  EXPECT_EQ("sTitleButton3", bar_->Items()->GetItem(2)->Button()->Name());
}

}  // namespace
}  // namespace kv
