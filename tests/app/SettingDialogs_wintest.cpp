// The relay, channel, phone and timer setting dialogs, alone on a list and
// through the main window's list menus. The dialogs are modal: a thread
// timer acts on the dialog once it is up, the way a user would, and closes it.
#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "ViewOnlyWindow.h"
#include "app/ConstLang_Unt.h"
#include "app/DoSetting_Frm_win.h"
#include "app/KV69_Frm_win.h"
#include "app/Message_Frm_win.h"
#include "app/PhoneSetting_Frm_win.h"
#include "app/SoftDateTime_Unt.h"
#include "app/SoftDiDoTh_Unt.h"
#include "app/SoftTelephone_Unt.h"
#include "app/ThSetting_Frm_win.h"
#include "app/TimerSetting_Frm_win.h"
#include "app/Variable_Unt.h"
#include "base/TextCodec.h"
#include "classlib/Forms.h"
#include "skin/controls/sListView_win.h"
#include "support/Pump.h"

namespace kv {
namespace {

const std::string kTick = "\xE2\x88\x9A";
using Cells = std::vector<std::string>;

// The first n cells (rows may carry a spare sub-item past the last column).
Cells First(Cells cells, size_t n) {
  if (cells.size() > n) cells.resize(n);
  return cells;
}

// The text the message window shows, or nothing while it is hidden.
std::string ShownMessage() {
  if (FormMessage == nullptr || !FormMessage->Visible()) return {};
  return FormMessage->lbl_Info->Caption();
}

void HideMessage() {
  if (FormMessage != nullptr) FormMessage->sbtbtn_Ok->Click();
}

// ---- acting on a modal dialog ----

std::function<void(TCustomForm&)> modalAction;
int modalDialogsSeen = 0;
UINT_PTR modalTimer = 0;

TCustomForm* ShownModalForm() {
  for (int i = 0; i < Screen->FormCount(); ++i) {
    TCustomForm* form = Screen->Forms(i);
    if ((form->FormState() & fsModal) && form->Visible()) return form;
  }
  return nullptr;
}

void CALLBACK ModalTimer(HWND, UINT, UINT_PTR id, DWORD) {
  TCustomForm* form = ShownModalForm();
  if (form == nullptr) return;
  KillTimer(nullptr, id);
  modalTimer = 0;
  ++modalDialogsSeen;
  auto action = std::move(modalAction);
  modalAction = nullptr;
  if (action) action(*form);
  // A dialog left open would hang the run: close it, and say so when a
  // test's action should have.
  if (form->ModalResult() != mrNone) return;
  if (action) ADD_FAILURE() << "the dialog was left open";
  form->SetModalResult(mrCancel);
}

// Runs act on the next modal dialog of type T once it is shown; act closes
// it with OK or Cancel.
template <class T>
void WhenShown(std::function<void(T&)> act) {
  modalAction = [act](TCustomForm& form) {
    auto* dialog = dynamic_cast<T*>(&form);
    if (dialog == nullptr) {
      ADD_FAILURE() << "another dialog was shown";
      form.SetModalResult(mrCancel);
      return;
    }
    act(*dialog);
  };
  modalTimer = SetTimer(nullptr, 0, 10, ModalTimer);
}

// Ends the watch for a dialog that never came.
void StopWatching() {
  if (modalTimer != 0) KillTimer(nullptr, modalTimer);
  modalTimer = 0;
  modalAction = nullptr;
}

// Opens a dialog of type T modally on list, as the main window does.
template <class T, class... A>
TModalResult ShowDialog(A&&... args) {
  Owned<T> dialog(Create<T>(Application, std::forward<A>(args)...));
  return dialog->ShowModal();
}

// ---- a list of rows on a window of its own ----

class SettingDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    UseLanguage(LanguageEnglish, 1);
    host_.reset(Create<TForm>(nullptr));
    list_ = Create<TsListView>(host_.get());
    list_->SetParent(host_.get());
    list_->SetAlign(alClient);
    list_->SetViewStyle(vsReport);
    list_->SetRowSelect(true);
    for (int c = 0; c < ThListColumns; ++c) list_->Columns()->Add()->SetCaption("c");
    host_->Show();
  }
  void TearDown() override {
    StopWatching();
    host_.reset();
    ModelIndex = -1;
  }

  static void UseLanguage(int language, int model) {
    LanguageFlag = static_cast<unsigned char>(language);
    ModelIndex = model;
    AssignLanguageTexts(language, model);
    RebuildTimerLists();
  }
  // Rows with the captions, every one with cells sub-items.
  void AddRows(const std::vector<std::string>& captions, int cells) {
    for (const std::string& caption : captions) {
      TListItem* item = list_->Items()->Add();
      item->SetCaption(caption);
      for (int k = 0; k < cells; ++k) item->SubItems().Add("");
    }
  }
  void SetCells(int row, const Cells& cells) {
    TListItem* item = list_->Items()->Item(row);
    for (size_t k = 0; k < cells.size(); ++k) item->SubItems().Put(static_cast<int>(k), cells[k]);
  }
  Cells RowCells(int row) const {
    Cells cells;
    const TListItem* item = list_->Items()->Item(row);
    for (int k = 0; k < item->SubItems().Count(); ++k) cells.push_back(item->SubItems()[k]);
    return cells;
  }
  void Select(int row) { list_->SetSelected(list_->Items()->Item(row)); }

  Owned<TForm> host_;
  TsListView* list_ = nullptr;
};

// ---- relay dialog ----

class DoDialog : public SettingDialog {
 protected:
  void SetUp() override {
    SettingDialog::SetUp();
    AddRows({"DOUT1", "DOUT2"}, DoListColumns - 1);
    SetCells(1, {"Pump", "30", "Close", "stopped", "running", kTick});
    Select(1);
  }
};

TEST_F(DoDialog, ShowsTheSelectedRowAndOkWritesTheEditsBack) {
  WhenShown<TFormDoSetting>([](TFormDoSetting& d) {
    EXPECT_EQ("DOUT2", d.Caption());
    EXPECT_EQ("Pump", d.lbledt_DO_ChannleName->Text());
    EXPECT_EQ("30", d.lbledt_DO_CloseTime->Text());
    EXPECT_EQ("stopped", d.lbledt_DO_OpenDes->Text());
    EXPECT_EQ("running", d.lbledt_DO_CloseDes->Text());
    EXPECT_TRUE(d.chk_Enable_RecoveryAlert->Checked());
    EXPECT_EQ("Close Time(0~9999s)", d.lbledt_DO_CloseTime->EditLabel()->Caption());
    EXPECT_EQ("Enable Recovery SMS Alert", d.chk_Enable_RecoveryAlert->Caption());
    EXPECT_EQ("Default", d.btn_DO_Default->Caption());
    EXPECT_EQ("Range:0~65535s,stand for always close when action", d.lbledt_DO_CloseTime->Hint());
    d.lbledt_DO_ChannleName->SetText("Fan");
    d.lbledt_DO_CloseTime->SetText("45");
    d.chk_Enable_RecoveryAlert->SetChecked(false);
    d.btn_OK->Click();
  });
  EXPECT_EQ(mrOk, ShowDialog<TFormDoSetting>(list_, 1));
  // The current state is not the dialog's and stays.
  EXPECT_EQ((Cells{"Fan", "45", "Close", "stopped", "running", ""}), RowCells(1));
  EXPECT_EQ(600000, Application->HintHidePause());
}

TEST_F(DoDialog, CancelLeavesTheRowAsItWas) {
  const Cells before = RowCells(1);
  WhenShown<TFormDoSetting>([](TFormDoSetting& d) {
    d.lbledt_DO_ChannleName->SetText("Fan");
    d.chk_Enable_RecoveryAlert->SetChecked(false);
    d.btn_NO->Click();
  });
  EXPECT_EQ(mrCancel, ShowDialog<TFormDoSetting>(list_, 1));
  EXPECT_EQ(before, RowCells(1));
}

TEST_F(DoDialog, EmptyNameAndDefaultGiveTheRelaysOwnName) {
  SetCells(1, {"", "", "", "", "", ""});
  WhenShown<TFormDoSetting>([](TFormDoSetting& d) {
    EXPECT_EQ("DOUT2", d.lbledt_DO_ChannleName->Text());
    d.btn_DO_Default->Click();
    EXPECT_EQ((TDoDialogValues{"DOUT2", "0", "Open", "Close", true}), d.Values());
    d.btn_OK->Click();
  });
  ShowDialog<TFormDoSetting>(list_, 1);
  EXPECT_EQ((Cells{"DOUT2", "0", "", "Open", "Close", kTick}), RowCells(1));

  UseLanguage(LanguageChinese, 1);
  WhenShown<TFormDoSetting>([](TFormDoSetting& d) {
    EXPECT_EQ("继电器2", d.Caption());
    EXPECT_EQ("闭合时长(秒)", d.lbledt_DO_CloseTime->EditLabel()->Caption());
    d.btn_DO_Default->Click();
    EXPECT_EQ((TDoDialogValues{"继电器2", "0", "断开", "闭合", true}), d.Values());
    d.btn_NO->Click();
  });
  ShowDialog<TFormDoSetting>(list_, 1);
}

TEST_F(DoDialog, CloseTimeTheDeviceCannotHoldIsRefused) {
  const Cells before = RowCells(1);
  WhenShown<TFormDoSetting>([](TFormDoSetting& d) {
    d.lbledt_DO_CloseTime->SetText("70000");
    d.btn_OK->Click();
    EXPECT_EQ(mrNone, d.ModalResult()) << "the dialog stays open";
    EXPECT_EQ("Input Error", ShownMessage());
    HideMessage();
    d.btn_NO->Click();
  });
  ShowDialog<TFormDoSetting>(list_, 1);
  EXPECT_EQ(before, RowCells(1));
}

TEST_F(DoDialog, TextsAreKeptWithinTheirFieldBytes) {
  std::string long_name;
  for (int i = 0; i < 25; ++i) long_name += "泵";  // two bytes each in code page 936
  SetCells(1, {long_name, "1", "", long_name, "", ""});
  WhenShown<TFormDoSetting>([](TFormDoSetting& d) {
    const std::string name = d.lbledt_DO_ChannleName->Text();
    EXPECT_EQ(40u, Utf8ToGbk(name).size()) << "cut to the 40-byte name field";
    EXPECT_EQ(50u, Utf8ToGbk(d.lbledt_DO_OpenDes->Text()).size()) << "fits the 60-byte field";
    // Typing one more character into the full name is refused.
    d.lbledt_DO_ChannleName->SetText(name + "x");
    EXPECT_EQ(name, d.lbledt_DO_ChannleName->Text());
    d.lbledt_DO_ChannleName->SetText("ok");
    EXPECT_EQ("ok", d.lbledt_DO_ChannleName->Text());
    d.btn_OK->Click();
  });
  ShowDialog<TFormDoSetting>(list_, 1);
  EXPECT_EQ("ok", RowCells(1)[0]);
}

// ---- channel dialog ----

class ThDialog : public SettingDialog {
 protected:
  void SetUp() override {
    SettingDialog::SetUp();
    AddRows(ThRowCaptions(1, LanguageEnglish), ThListColumns - 1);
    SetCells(5,
             {"Cold room", "4.5", kTick, "10", "30", "-5", "hot", "cold", "fine", "", kTick, ""});
    Select(5);
  }
};

TEST_F(ThDialog, ShowsTheSelectedRowAndOkWritesTheEditsBack) {
  WhenShown<TFormThSetting>([](TFormThSetting& d) {
    EXPECT_EQ("Humidity3", d.Caption());
    EXPECT_EQ((TThDialogValues{"Cold room", "10", "30", "-5", "hot", "cold", "fine", true, false,
                               true, false}),
              d.Values());
    EXPECT_EQ("Threshold High(Temp range:-40~80℃; Hum range:0~100RH%)",
              d.lbledt_Th_ThresholdHigh->EditLabel()->Caption());
    EXPECT_EQ("Alarm-link DO2", d.chk_Th_AlarmLinkDO2->Caption());
    d.lbledt_Th_ThresholdHigh->SetText("35");
    d.lbledt_Th_RecoverySMS->SetText("back to normal");
    d.chk_Th_AlarmLinkDO2->SetChecked(true);
    d.btn_Th_OK->Click();
  });
  EXPECT_EQ(mrOk, ShowDialog<TFormThSetting>(list_, "Humidity3"));
  EXPECT_EQ((Cells{"Cold room", "4.5", kTick, "10", "35", "-5", "hot", "cold", "back to normal", "",
                   kTick, kTick}),
            RowCells(5));
}

TEST_F(ThDialog, CancelLeavesTheRowAsItWas) {
  const Cells before = RowCells(5);
  WhenShown<TFormThSetting>([](TFormThSetting& d) {
    d.btn_Th_Default->Click();
    d.btn_Th_NO->Click();
  });
  EXPECT_EQ(mrCancel, ShowDialog<TFormThSetting>(list_, "Humidity3"));
  EXPECT_EQ(before, RowCells(5));
}

TEST_F(ThDialog, DefaultFollowsTheModelAndTheKindOfChannel) {
  WhenShown<TFormThSetting>([](TFormThSetting& d) {
    d.btn_Th_Default->Click();
    EXPECT_EQ((TThDialogValues{"Humidity3", "2", "100", "0", "High Alarm", "Low Alarm", "Recover",
                               true, true, false, false}),
              d.Values());
    d.btn_Th_NO->Click();
  });
  ShowDialog<TFormThSetting>(list_, "Humidity3");

  UseLanguage(LanguageChinese, 2);
  Select(0);
  WhenShown<TFormThSetting>([](TFormThSetting& d) {
    EXPECT_EQ("温度1", d.Caption());
    EXPECT_EQ("高限值(温度范围:-55~125℃)", d.lbledt_Th_ThresholdHigh->EditLabel()->Caption());
    d.btn_Th_Default->Click();
    EXPECT_EQ((TThDialogValues{"温度1", "2", "125", "-55", "高限报警", "低限报警", "恢复", true,
                               true, false, false}),
              d.Values());
    d.btn_Th_OK->Click();
  });
  ShowDialog<TFormThSetting>(list_, "温度1");
  EXPECT_EQ("125", RowCells(0)[ThColHigh - 1]);
}

TEST_F(ThDialog, ThresholdTheDeviceCannotHoldIsRefused) {
  const Cells before = RowCells(5);
  WhenShown<TFormThSetting>([](TFormThSetting& d) {
    d.lbledt_Th_ThresholdLow->SetText("-9999");
    d.btn_Th_OK->Click();
    EXPECT_EQ(mrNone, d.ModalResult());
    EXPECT_EQ("Input Error", ShownMessage());
    HideMessage();
    d.lbledt_Th_ThresholdLow->SetText("-20");
    d.btn_Th_OK->Click();
  });
  EXPECT_EQ(mrOk, ShowDialog<TFormThSetting>(list_, "Humidity3"));
  Cells after = before;
  after[ThColLow - 1] = "-20";
  EXPECT_EQ(after, RowCells(5));
}

// ---- phone dialog ----

class PhoneDialog : public SettingDialog {
 protected:
  void SetUp() override {
    SettingDialog::SetUp();
    TListRows rows;
    FillPhoneRows(rows);
    for (const TListRow& row : rows) {
      TListItem* item = list_->Items()->Add();
      item->SetCaption(row.Caption);
      item->SubItems().Assign(row.SubItems);
    }
    SetCells(2, {"0086123", kTick, "", kTick, "", "", "", "", "", kTick});
    Select(2);
  }
};

TEST_F(PhoneDialog, ShowsTheSelectedRowAndOkWritesTheEditsBack) {
  WhenShown<TFormPhoneSetting>([](TFormPhoneSetting& d) {
    EXPECT_EQ("Phone Number  3", d.Caption());
    EXPECT_EQ("0086123", d.lbledt_TelNumber->Text());
    EXPECT_EQ((std::array<bool, PhoneFlagCount>{true, false, true, false, false, false, false,
                                                false, true}),
              d.Values().Flags);
    EXPECT_EQ("Alarm Tel Number(Max.21 digits)", d.lbledt_TelNumber->EditLabel()->Caption());
    EXPECT_EQ("External Power ON/OFF", d.chk_ExtendPower->Caption());
    EXPECT_EQ(PhoneNumberHint, d.lbledt_TelNumber->Hint());
    d.lbledt_TelNumber->SetText("0044777");
    d.chk_Dial->SetChecked(false);
    d.chk_GPRS->SetChecked(true);
    d.btn_Phone_OK->Click();
  });
  EXPECT_EQ(mrOk, ShowDialog<TFormPhoneSetting>(list_));
  EXPECT_EQ((Cells{"0044777", "", "", kTick, "", "", "", kTick, "", kTick}),
            First(RowCells(2), 10));
}

TEST_F(PhoneDialog, AllSetsEveryFlagAndCancelKeepsTheRow) {
  const Cells before = RowCells(2);
  WhenShown<TFormPhoneSetting>([](TFormPhoneSetting& d) {
    d.chk_TelAll->SetChecked(true);
    for (TsCheckBox* box : d.FlagBoxes()) EXPECT_TRUE(box->Checked()) << box->Name();
    d.chk_TelAll->SetChecked(false);
    for (TsCheckBox* box : d.FlagBoxes()) EXPECT_FALSE(box->Checked()) << box->Name();
    d.btn_Phone_NO->Click();
  });
  EXPECT_EQ(mrCancel, ShowDialog<TFormPhoneSetting>(list_));
  EXPECT_EQ(before, RowCells(2));
}

TEST_F(PhoneDialog, ChineseCaptions) {
  UseLanguage(LanguageChinese, 1);
  WhenShown<TFormPhoneSetting>([](TFormPhoneSetting& d) {
    EXPECT_EQ("电话号码  3", d.Caption());
    EXPECT_EQ("1.拨号", d.chk_Dial->Caption());
    EXPECT_EQ("全选", d.chk_TelAll->Caption());
    EXPECT_EQ("取消", d.btn_Phone_NO->Caption());
    d.btn_Phone_NO->Click();
  });
  ShowDialog<TFormPhoneSetting>(list_);
}

// ---- timer dialog ----

class TimerDialog : public SettingDialog {
 protected:
  void SetUp() override {
    SettingDialog::SetUp();
    TListRows rows;
    FillTimerRows(rows);
    for (const TListRow& row : rows) {
      TListItem* item = list_->Items()->Add();
      item->SetCaption(row.Caption);
      item->SubItems().Assign(row.SubItems);
    }
    Select(0);
  }
  static std::string Shown(TsComboBox* box) { return box->Items()->Strings(box->ItemIndex()); }
};

TEST_F(TimerDialog, EmptyRowShowsTheFirstEntriesAndOkWritesThem) {
  WhenShown<TFormTimerSetting>([](TFormTimerSetting& d) {
    EXPECT_EQ("Timer 1", d.Caption());
    EXPECT_FALSE(d.chk_Timer_Enable->Checked());
    EXPECT_EQ("Sunday", Shown(d.cbb_TimerWeek));
    EXPECT_EQ("0", Shown(d.cbb_TimerHour));
    EXPECT_EQ("0", Shown(d.cbb_TimerMinute));
    EXPECT_EQ("0.Reboot", Shown(d.cbb_TimerAction));
    EXPECT_EQ(8, d.cbb_TimerWeek->Items()->Count());
    EXPECT_EQ(24, d.cbb_TimerHour->Items()->Count());
    EXPECT_EQ(60, d.cbb_TimerMinute->Items()->Count());
    EXPECT_EQ(11, d.cbb_TimerAction->Items()->Count());
    EXPECT_EQ("Minute", d.lbl_TimerMinute->Caption());
    d.btn_OK->Click();
  });
  EXPECT_EQ(mrOk, ShowDialog<TFormTimerSetting>(list_));
  EXPECT_EQ((Cells{"", "Sunday", "0", "0", "0.Reboot"}), First(RowCells(0), 5));
}

TEST_F(TimerDialog, CellsSelectTheirEntriesAndOkWritesTheChoice) {
  SetCells(3, {kTick, "Friday", "7", "30", "5.Arm"});
  Select(3);
  WhenShown<TFormTimerSetting>([](TFormTimerSetting& d) {
    EXPECT_EQ("Timer 4", d.Caption());
    EXPECT_EQ((TTimerDialogValues{true, 5, 7, 30, 5}), d.Values());
    d.cbb_TimerWeek->SetItemIndex(7);
    d.cbb_TimerAction->SetItemIndex(10);
    d.btn_OK->Click();
  });
  ShowDialog<TFormTimerSetting>(list_);
  EXPECT_EQ((Cells{kTick, "Everyday", "7", "30", "10.DO2 Open(OFF)"}), First(RowCells(3), 5));
}

TEST_F(TimerDialog, CancelLeavesTheRowAsItWas) {
  SetCells(0, {kTick, "Monday", "1", "2", "3.Save Historical Data"});
  const Cells before = RowCells(0);
  WhenShown<TFormTimerSetting>([](TFormTimerSetting& d) {
    d.cbb_TimerHour->SetItemIndex(20);
    d.chk_Timer_Enable->SetChecked(false);
    d.btn_NO->Click();
  });
  EXPECT_EQ(mrCancel, ShowDialog<TFormTimerSetting>(list_));
  EXPECT_EQ(before, RowCells(0));
}

TEST_F(TimerDialog, CellsOfTheOtherLanguageSelectTheFirstWeekAndAction) {
  SetCells(0, {kTick, "Friday", "7", "30", "5.Arm"});
  UseLanguage(LanguageChinese, 1);
  WhenShown<TFormTimerSetting>([](TFormTimerSetting& d) {
    EXPECT_EQ("定时器 1", d.Caption());
    EXPECT_EQ("日", Shown(d.cbb_TimerWeek));
    EXPECT_EQ("7", Shown(d.cbb_TimerHour));
    EXPECT_EQ("0.重启", Shown(d.cbb_TimerAction));
    d.btn_NO->Click();
  });
  ShowDialog<TFormTimerSetting>(list_);
}

// ---- the main window's list menus ----

class ListMenus : public ::testing::Test {
 protected:
  void SetUp() override {
    form_.reset(test::OpenViewOnlyMainWindow());
    form_->N_ENClick(nullptr);
    // The channel rows come with the device's model; here from the test.
    ModelIndex = 1;
    AssignLanguageTexts(LanguageEnglish, ModelIndex);
    TListRows rows;
    for (const std::string& caption : ThRowCaptions(ModelIndex, LanguageEnglish))
      rows.push_back(TListRow{caption, std::vector<std::string>(ThListColumns - 1)});
    TFormKV69::SetListViewRows(form_->lvTh, rows);
    modalDialogsSeen = 0;
  }
  void TearDown() override {
    StopWatching();
    form_.reset();
    LoginPassword.clear();
    ModelIndex = -1;
  }
  void Click(const char* item) {
    auto* menuItem = dynamic_cast<TMenuItem*>(form_->FindComponent(item));
    ASSERT_NE(nullptr, menuItem) << item;
    menuItem->Click();
  }
  static void Select(TListView* list, int row) { list->SetSelected(list->Items()->Item(row)); }
  static void Fill(TListView* list, const std::string& text) {
    for (int r = 0; r < list->Items()->Count(); ++r) {
      TListItem* item = list->Items()->Item(r);
      for (int k = 0; k < item->SubItems().Count(); ++k) item->SubItems().Put(k, text);
    }
  }
  static Cells RowCells(TListView* list, int row) {
    Cells cells;
    const TListItem* item = list->Items()->Item(row);
    for (int k = 0; k < item->SubItems().Count(); ++k) cells.push_back(item->SubItems()[k]);
    return cells;
  }
  static bool RowEmpty(TListView* list, int row) {
    for (const std::string& cell : RowCells(list, row))
      if (!cell.empty()) return false;
    return true;
  }

  Owned<TFormKV69> form_;
};

TEST_F(ListMenus, SettingEditsTheSelectedRow) {
  Select(form_->lvDo, 0);
  WhenShown<TFormDoSetting>([](TFormDoSetting& d) {
    EXPECT_EQ("DOUT1", d.lbledt_DO_ChannleName->Text());
    d.lbledt_DO_ChannleName->SetText("Siren");
    d.btn_OK->Click();
  });
  Click("Pop_Do_Setting");
  EXPECT_EQ("Siren", RowCells(form_->lvDo, 0)[DoColName - 1]);

  Select(form_->lvTh, 1);
  WhenShown<TFormThSetting>([](TFormThSetting& d) {
    EXPECT_EQ("Humidity1", d.Caption());
    d.btn_Th_Default->Click();
    d.btn_Th_OK->Click();
  });
  Click("Pop_Th_Setting");
  EXPECT_EQ("100", RowCells(form_->lvTh, 1)[ThColHigh - 1]);

  Select(form_->lvTimer, 9);
  WhenShown<TFormTimerSetting>([](TFormTimerSetting& d) {
    EXPECT_EQ("Timer 10", d.Caption());
    d.chk_Timer_Enable->SetChecked(true);
    d.btn_OK->Click();
  });
  Click("Pop_Timer_Setting");
  EXPECT_EQ((Cells{kTick, "Sunday", "0", "0", "0.Reboot"}), First(RowCells(form_->lvTimer, 9), 5));
  EXPECT_EQ(3, modalDialogsSeen);
}

TEST_F(ListMenus, DoubleClickOpensTheSettingDialog) {
  Select(form_->lvTel, 4);
  WhenShown<TFormPhoneSetting>([](TFormPhoneSetting& d) {
    EXPECT_EQ("Phone Number  5", d.Caption());
    d.lbledt_TelNumber->SetText("0065999");
    d.chk_TelAll->SetChecked(true);
    d.btn_Phone_OK->Click();
  });
  const TRect row = form_->lvTel->ItemRect(4);
  SendMessageW(form_->lvTel->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON,
               MAKELPARAM(row.Left + 4, (row.Top + row.Bottom) / 2));
  Cells expected(PhoneListColumns - 1, kTick);
  expected[0] = "0065999";
  EXPECT_EQ(expected, First(RowCells(form_->lvTel, 4), expected.size()));
  EXPECT_EQ(1, modalDialogsSeen);
}

TEST_F(ListMenus, ClearLineEmptiesTheSelectedRowAndClearAllEveryRow) {
  struct TCase {
    TListView* list;
    const char* clearLine;
    const char* clearAll;
  };
  for (const TCase& c : {TCase{form_->lvDo, "Pop_Do_ClearLine", "Pop_Do_Clear"},
                         TCase{form_->lvTh, "Pop_Th_ClearLine", "Pop_Th_Clear"},
                         TCase{form_->lvTel, "Pop_Phone_ClearLine", "Pop_Phone_Clear"},
                         TCase{form_->lvTimer, "Pop_Timer_Delete", "Pop_Timer_Clear"}}) {
    SCOPED_TRACE(c.clearLine);
    Fill(c.list, "x");
    const std::string caption = c.list->Items()->Item(1)->Caption();
    Select(c.list, 1);
    Click(c.clearLine);
    EXPECT_TRUE(RowEmpty(c.list, 1));
    EXPECT_FALSE(RowEmpty(c.list, 0));
    EXPECT_EQ(caption, c.list->Items()->Item(1)->Caption()) << "the row caption stays";
    Click(c.clearAll);
    for (int r = 0; r < c.list->Items()->Count(); ++r) EXPECT_TRUE(RowEmpty(c.list, r)) << r;
  }
  EXPECT_EQ(0, modalDialogsSeen);
}

TEST_F(ListMenus, NothingSelectedOpensNoDialogAndChangesNothing) {
  Fill(form_->lvDo, "x");
  Fill(form_->lvTimer, "y");
  // Should a dialog open all the same, the timer closes it and counts it.
  modalTimer = SetTimer(nullptr, 0, 10, ModalTimer);
  for (const char* item : {"Pop_Do_Setting", "Pop_Do_ClearLine", "Pop_Th_Setting",
                           "Pop_Phone_Setting", "Pop_Timer_Setting", "Pop_Timer_Delete"}) {
    Click(item);
    EXPECT_EQ("Please select a setting option.", ShownMessage()) << item;
    HideMessage();
  }
  pump::Pump(50);
  EXPECT_EQ(0, modalDialogsSeen);
  for (int r = 0; r < DoRowCount; ++r) EXPECT_EQ("x", RowCells(form_->lvDo, r)[0]);
  for (int r = 0; r < TimerRowCount; ++r) EXPECT_EQ("y", RowCells(form_->lvTimer, r)[0]);
}

// ---- pictures for a person to look at ----

// The window as the screen shows it, as a 24-bit BMP file.
void SaveWindowPicture(HWND wnd, const std::string& path) {
  RECT r;
  GetWindowRect(wnd, &r);
  const int w = r.right - r.left;
  const int h = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  SelectObject(memory, old);
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = w;
  info.biHeight = h;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  const DWORD stride = (static_cast<DWORD>(w) * 3 + 3) & ~3u;
  std::vector<char> pixels(static_cast<size_t>(stride) * static_cast<size_t>(h));
  GetDIBits(memory, bitmap, 0, static_cast<UINT>(h), pixels.data(),
            reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
  if (FILE* out = std::fopen(path.c_str(), "wb")) {
    std::fwrite(&file, sizeof file, 1, out);
    std::fwrite(&info, sizeof info, 1, out);
    std::fwrite(pixels.data(), 1, pixels.size(), out);
    std::fclose(out);
  }
}

// Run with --gtest_also_run_disabled_tests on a real display (Wine's X11
// driver) and KV_SHOTS set to a folder: saves every dialog in both languages.
TEST_F(SettingDialog, DISABLED_SavesPicturesOfTheDialogs) {
  const char* folder = std::getenv("KV_SHOTS");
  ASSERT_NE(nullptr, folder);
  const auto picture = [folder](const std::string& name) {
    return [folder, name](TCustomForm& d) {
      pump::Pump(400);
      SaveWindowPicture(d.Handle(), std::string(folder) + "/" + name + ".bmp");
      d.SetModalResult(mrCancel);
    };
  };
  const auto showRows = [this](const TListRows& rows, int selected) {
    list_->Items()->Clear();
    for (const TListRow& row : rows) {
      TListItem* item = list_->Items()->Add();
      item->SetCaption(row.Caption);
      item->SubItems().Assign(row.SubItems);
    }
    Select(selected);
  };
  for (int language : {LanguageChinese, LanguageEnglish}) {
    UseLanguage(language, 1);
    const std::string suffix = language == LanguageChinese ? "-zh" : "-en";
    TListRows rows;
    FillDoRows(rows);
    showRows(rows, 1);
    WhenShown<TFormDoSetting>(picture("DoSetting" + suffix));
    ShowDialog<TFormDoSetting>(list_, 1);
    rows.clear();
    for (const std::string& caption : ThRowCaptions(1, language))
      rows.push_back(TListRow{caption, Cells(ThListColumns - 1)});
    showRows(rows, 1);
    WhenShown<TFormThSetting>(picture("ThSetting" + suffix));
    ShowDialog<TFormThSetting>(list_, list_->Items()->Item(1)->Caption());
    rows.clear();
    FillPhoneRows(rows);
    showRows(rows, 2);
    WhenShown<TFormPhoneSetting>(picture("PhoneSetting" + suffix));
    ShowDialog<TFormPhoneSetting>(list_);
    rows.clear();
    FillTimerRows(rows);
    showRows(rows, 2);
    WhenShown<TFormTimerSetting>(picture("TimerSetting" + suffix));
    ShowDialog<TFormTimerSetting>(list_);
  }
}

}  // namespace
}  // namespace kv
