// Every control of the main window reaches its own handler when a user works
// it: menu commands through the window's menu, button clicks, double-clicks,
// side-bar titles. Run through scripts/serial-test, connected to the
// simulator and in the view-only state of the access code.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "../devicelink/SerialTestSupport.h"
#include "MenuPath.h"
#include "ViewOnlyWindow.h"
#include "app/ConstLang_Unt.h"
#include "app/FrameBar_Frms_win.h"
#include "app/Message_Frm_win.h"
#include "app/SoftDiDoTh_Unt.h"
#include "app/Variable_Unt.h"
#include "base/DateTime.h"
#include "classlib/WideText.h"

namespace kv {
namespace {

using pump::PumpUntil;

// Windows that open over the main window: message boxes and file dialogs are
// answered No or Cancel, modal forms closed; each is noted by its class and,
// for a message box, its text.
class Opened {
 public:
  Opened() {
    seen_.clear();
    hook_ = SetWindowsHookExW(WH_CBT, Hook, nullptr, GetCurrentThreadId());
  }
  ~Opened() { UnhookWindowsHookEx(hook_); }
  static std::vector<std::string>& Seen() { return seen_; }

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
    if (code != HCBT_ACTIVATE) return CallNextHookEx(nullptr, code, wParam, lParam);
    HWND wnd = reinterpret_cast<HWND>(wParam);
    wchar_t cls[64] = {};
    GetClassNameW(wnd, cls, 64);
    const std::string name = Narrow(cls);
    static const std::set<std::string> kept = {"TFormKV69", "TFormBasicAnimate", "TFormMessage"};
    if (name == "#32770") {
      std::string text;
      EnumChildWindows(wnd, StaticText, reinterpret_cast<LPARAM>(&text));
      // A file dialog is known by its file-type box, a message box by its text.
      seen_.push_back(FindWindowExW(wnd, nullptr, L"ComboBox", nullptr) != nullptr ? "file dialog"
                                                                                   : text);
      PostMessageW(wnd, WM_COMMAND, IDNO, 0);
      PostMessageW(wnd, WM_COMMAND, IDCANCEL, 0);
    } else if (name.rfind("TForm", 0) == 0 && !kept.contains(name)) {
      seen_.push_back(name);
      PostMessageW(wnd, WM_CLOSE, 0, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
  static BOOL CALLBACK StaticText(HWND child, LPARAM text) {
    wchar_t cls[32] = {}, caption[256] = {};
    GetClassNameW(child, cls, 32);
    GetWindowTextW(child, caption, 256);
    if (lstrcmpiW(cls, L"Static") == 0 && caption[0] != 0)
      *reinterpret_cast<std::string*>(text) = Narrow(caption);
    return TRUE;
  }
  HHOOK hook_ = nullptr;
  static inline std::vector<std::string> seen_;
};

enum class State { Connected, ViewOnly };

class Bindings : public ::testing::TestWithParam<State> {
 protected:
  void SetUp() override {
    if (!sim_.Present()) GTEST_SKIP() << "needs scripts/serial-test";
    if (GetParam() == State::ViewOnly) {
      form_.reset(test::OpenViewOnlyMainWindow());
    } else {
      LoginPassword = "9173";
      LoginComPort = sim_.Port();
      ModelIndex = -1;
      form_.reset(Create<TFormKV69>(nullptr));
      form_->Show();
      // Connected once the version reply told the model.
      ASSERT_TRUE(PumpUntil([] { return ModelIndex >= 0; }, 10000)) << "no version reply";
    }
    form_->N_ENClick(nullptr);
    // The channel rows are built from the first version reply of a run
    // only; later windows of this test program get them here.
    if (form_->lvTh->Items()->Count() == 0) {
      TListRows rows;
      for (const std::string& caption : ThRowCaptions(std::max(ModelIndex, 0), LanguageEnglish))
        rows.push_back(TListRow{caption, std::vector<std::string>(ThListColumns - 1)});
      TFormKV69::SetListViewRows(form_->lvTh, rows);
    }
  }
  void TearDown() override {
    form_.reset();
    LoginPassword.clear();
    LoginComPort.clear();
    ModelIndex = -1;
  }
  bool Connected() const { return GetParam() == State::Connected; }

  void Menu(std::initializer_list<const char*> path) {
    const UINT id = test::MenuCommandOf(GetMenu(form_->Handle()), path);
    ASSERT_NE(0u, id) << *path.begin() << " / " << *(path.end() - 1) << " not in the menu";
    SendMessageW(form_->Handle(), WM_COMMAND, id, 0);
  }
  void Popup(TPopupMenu* menu, const char* caption) {
    const UINT id = test::MenuCommandOf(menu->Handle(), {caption});
    ASSERT_NE(0u, id) << caption;
    SendMessageW(TPopupList::Window(), WM_COMMAND, id, 0);
  }
  static void Press(TWinControl* control) { SendMessageW(control->Handle(), BM_CLICK, 0, 0); }
  static void ClickRow(TListView* list, int row, UINT message) {
    const TRect r = list->ItemRect(row);
    const LPARAM at = MAKELPARAM(r.Left + 4, (r.Top + r.Bottom) / 2);
    SendMessageW(list->Handle(), message, MK_LBUTTON, at);
    if (message == WM_LBUTTONDOWN) SendMessageW(list->Handle(), WM_LBUTTONUP, 0, at);
  }

  // Requests sent since CountFrom whose frame starts so (hex).
  int Sent(const std::string& start) const {
    int n = 0;
    for (const std::string& frame : sim_.Log("rx")) n += frame.rfind(start, 0) == 0 ? 1 : 0;
    return n - before_.at(start);
  }
  void CountFrom(std::initializer_list<std::string> starts) {
    for (const std::string& s : starts) {
      before_[s] = 0;
      before_[s] = Sent(s);
    }
  }
  // Waits for n more requests of a kind when connected; none otherwise.
  void ExpectSent(const std::string& start, int n) {
    if (Connected()) {
      EXPECT_TRUE(PumpUntil([&] { return Sent(start) >= n; }, 5000))
          << start << ": " << Sent(start);
    } else {
      EXPECT_EQ(0, Sent(start)) << start << " sent without a port";
    }
  }
  std::vector<std::string> Take() { return std::exchange(Opened::Seen(), {}); }
  static bool CellsEmpty(TListView* list, int row) {
    const TSubItems& cells = list->Items()->Item(row)->SubItems();
    for (int k = 0; k < cells.Count(); ++k)
      if (!cells[k].empty()) return false;
    return true;
  }

  test::Simulator sim_;
  Owned<TFormKV69> form_;
  std::map<std::string, int> before_;
  Opened opened_;
};

// Frame starts: command byte and address. Configuration blocks lie below
// 0x1000, history records from 0x4000 on, 64 bytes each.
const std::string ReadBlock = "238300000", HistoryBlock = "238300004000",
                  HistoryRecord2 = "238300004040", WriteBlock = "2382", Status = "2306",
                  Password = "2301", ReadTime = "2308", SetTime = "2303";

TEST_P(Bindings, SettingMenuReadsAndWritesTheConfiguration) {
  CountFrom({ReadBlock, WriteBlock, Status});
  Menu({"Setting", "Read Setting"});
  ExpectSent(ReadBlock, 14);
  ExpectSent(Status, 2);  // relay states and channel values follow the read
  EXPECT_EQ(Connected(), !form_->lbledt_Master_DevDes->Text().empty()) << "filled from the device";
  Menu({"Setting", "Write Setting"});
  ExpectSent(WriteBlock, 15);
  Menu({"Setting", "DO Current Status"});
  Menu({"Setting", "TH Current Value"});
  ExpectSent(Status, 4);
  EXPECT_EQ(nullptr, form_->FormBasicAnimate);
}

TEST_P(Bindings, DeviceButtonsSendTheirRequests) {
  const std::string relay = test::ToHex(TDataPack{'9', '1', '7', '3', 'D', 'O', 'C', '1'});
  CountFrom({relay, ReadTime, SetTime, HistoryBlock, HistoryRecord2});
  Press(form_->btn_DO1_Close);
  ExpectSent(relay, 1);
  Press(form_->btn_Main_Timer_Read);
  ExpectSent(ReadTime, 1);
  if (Connected()) {  // the clock is set without asking whether a port is open
    Press(form_->btn_Main_Timer_Write);
    ExpectSent(SetTime, 1);
  }
  form_->lbledt_ReadQty->SetText("4");
  Press(form_->btn_ReadHistroyFull);
  ExpectSent(HistoryBlock, 1);
  form_->lbledt_ReadLine->SetText("2");
  Press(form_->btn_ReadHistroy);
  ExpectSent(HistoryRecord2, 1);

  if (Connected()) {  // tmrOut gives up on a request the device leaves unanswered
    sim_.Command("drop");
    Press(form_->btn_Main_Timer_Read);
    EXPECT_TRUE(PumpUntil([&] { return form_->PendingTag() == 0; }, 5000));
  }

  form_->dtpYMD->SetDate(EncodeDate(2001, 2, 3));
  Press(form_->btn_PC_Time);
  int year = 0, month = 0, day = 0;
  DecodeDate(form_->dtpYMD->Date(), year, month, day);
  EXPECT_NE(2001, year) << "the PC's clock";
}

TEST_P(Bindings, QuestionsAndDialogsOpenFromTheirCommands) {
  struct TCase {
    std::function<void()> fire;
    std::string opens;
  };
  const TCase cases[] = {
      {[&] {
         Menu({"System(&X)", "Reset"});
       },
       "Reset Device?"},
      {[&] {
         Menu({"System(&X)", "Reboot(&Z)"});
       },
       "Reboot Device and Software?"},
      {[&] { Press(form_->btn_Clean_History_Dev); }, "Clear All?"},
      {[&] {
         Menu({"File(&R)", "Load Profile"});
       },
       "file dialog"},
      {[&] {
         Menu({"File(&R)", "Export Profile"});
       },
       "file dialog"},
      {[&] { Press(form_->btn_Hist_Save_CSV); }, "file dialog"},
      {[&] { Press(form_->btn_Hist_Open_CSV); }, "file dialog"},
      {[&] {
         Menu({"Help(&Z)", "About(&Y)"});
       },
       "TFormAbout"},
      {[&] { ClickRow(form_->lvDo, 1, WM_LBUTTONDBLCLK); }, "TFormDoSetting"},
      {[&] { ClickRow(form_->lvTel, 1, WM_LBUTTONDBLCLK); }, "TFormPhoneSetting"},
      {[&] { ClickRow(form_->lvTimer, 1, WM_LBUTTONDBLCLK); }, "TFormTimerSetting"},
      {[&] { Popup(form_->PopDo, "Setting"); }, "TFormDoSetting"},
      {[&] { Popup(form_->PopPhone, "Setting"); }, "TFormPhoneSetting"},
      {[&] { Popup(form_->PopTimer, "Setting"); }, "TFormTimerSetting"},
  };
  form_->SelectPages(1, 1, 0);
  ClickRow(form_->lvDo, 1, WM_LBUTTONDOWN);
  form_->SelectPages(1, 2, -1);
  ClickRow(form_->lvTel, 1, WM_LBUTTONDOWN);
  form_->SelectPages(1, 3, -1);
  ClickRow(form_->lvTimer, 1, WM_LBUTTONDOWN);
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.opens);
    c.fire();
    EXPECT_EQ(std::vector<std::string>{c.opens}, Take());
  }
  form_->SelectPages(1, 1, 1);
  ClickRow(form_->lvTh, 1, WM_LBUTTONDOWN);
  ClickRow(form_->lvTh, 1, WM_LBUTTONDBLCLK);
  Popup(form_->PopTh, "Setting");
  EXPECT_EQ((std::vector<std::string>{"TFormThSetting", "TFormThSetting"}), Take());
}

TEST_P(Bindings, ListMenusReadAndClearTheirRows) {
  CountFrom({Status});
  Popup(form_->PopDo, "Current Status");
  Popup(form_->PopTh, "Current Value");
  ExpectSent(Status, 2);
  struct TCase {
    TListView* list;
    TPopupMenu* menu;
  };
  for (const TCase& c : {TCase{form_->lvDo, form_->PopDo}, TCase{form_->lvTel, form_->PopPhone},
                         TCase{form_->lvTimer, form_->PopTimer}}) {
    SCOPED_TRACE(c.list->Name());
    for (int r = 0; r < 2; ++r) c.list->Items()->Item(r)->SubItems().Put(0, "x");
    c.list->SetSelected(c.list->Items()->Item(0));
    Popup(c.menu, "Clear Line");
    EXPECT_TRUE(CellsEmpty(c.list, 0));
    EXPECT_FALSE(CellsEmpty(c.list, 1));
    Popup(c.menu, "Clear Display");
    EXPECT_TRUE(CellsEmpty(c.list, 1));
  }
}

TEST_P(Bindings, CheckBoxesEnableTheirEdits) {
  struct TCase {
    TWinControl* box;
    TControl* edit;
  };
  for (const TCase& c : {TCase{form_->chk_ReportTime, form_->dtp_RePortTime},
                         TCase{form_->chk_PwrOffTime, form_->lbledt_PwrOffTime},
                         TCase{form_->chk_SaveRecordInterSec, form_->lbledt_SaveRecordInterSec},
                         TCase{form_->chk_SmsReportInterMin, form_->lbledt_SmsReportInterMin},
                         TCase{form_->chk_AutoAlarmAfterDisarm, form_->lbledt_AutoMintues}}) {
    SCOPED_TRACE(c.box->Name());
    const bool enabled = c.edit->Enabled();
    Press(c.box);
    EXPECT_NE(enabled, c.edit->Enabled());
    Press(c.box);
    EXPECT_EQ(enabled, c.edit->Enabled());
  }
  const auto mask = [&] {
    return SendMessageW(form_->lbledt_Main_Password->Handle(), EM_GETPASSWORDCHAR, 0, 0);
  };
  const LRESULT hidden = mask();
  Press(form_->chk_ShowPassword);
  EXPECT_NE(hidden, mask());
}

TEST_P(Bindings, LanguageMenuSwitchesTheCaptions) {
  const std::string english = form_->Caption();
  Menu({"Language(&W)", "Chinese"});
  EXPECT_NE(english, form_->Caption());
  EXPECT_EQ(0, LanguageFlag);
  Menu({"语言(&W)", "英文"});
  EXPECT_EQ(english, form_->Caption());
}

TEST_P(Bindings, SideBarTitlesAndFrameButtonsSelectTheirPages) {
  TsFrameBar* bar = form_->FrameBar;
  const auto clickTitle = [bar](int item) {
    TControl* title = bar->Items()->GetItem(item)->Button();
    const LPARAM at = MAKELPARAM(title->Left() + title->Width() / 2, title->Top() + 8);
    SendMessageW(bar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(bar->Handle(), WM_LBUTTONUP, 0, at);
  };
  clickTitle(5);
  EXPECT_EQ(form_->Sheet_History, form_->PageControl->ActivePage());
  clickTitle(1);
  EXPECT_EQ(form_->Sheet_DiDoTh, form_->PageControlMain->ActivePage());
  auto* frame = dynamic_cast<TFormDIDOTH*>(bar->Items()->GetItem(1)->Frame());
  ASSERT_NE(nullptr, frame);
  Press(frame->btn_TH);
  EXPECT_EQ(form_->Sheet_TH, form_->PageControl_DIDOTH->ActivePage());
}

TEST_P(Bindings, PortMenuClosesAndReopensThePort) {
  CountFrom({Password});
  Menu({"Connect", "Close the Port"});
  EXPECT_FALSE(form_->Connected());
  if (Connected()) {
    EXPECT_NE(std::string::npos, form_->Bar->SimpleText().find("Disconnected"));
    Menu({"Connect", "Open the Port"});
    EXPECT_TRUE(form_->Connected());
    ExpectSent(Password, 1);
  }
}

INSTANTIATE_TEST_SUITE_P(States, Bindings, ::testing::Values(State::Connected, State::ViewOnly),
                         [](const auto& info) {
                           return info.param == State::Connected ? "Connected" : "ViewOnly";
                         });

}  // namespace
}  // namespace kv
