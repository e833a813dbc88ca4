// The login window against the device simulator on a pseudo-terminal mapped
// to a COM port (run through scripts/serial-test).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "../devicelink/SerialTestSupport.h"
#include "app/Login_Frm_win.h"
#include "app/Variable_Unt.h"
#include "classlib/Forms.h"
#include "classlib/WideText.h"
#include "support/MessageBoxHook.h"

namespace kv {
namespace {

using pump::PumpUntil;

const wchar_t* const SerialCommKey = L"HARDWARE\\DEVICEMAP\\SERIALCOMM";

class Login : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!sim_.Present()) GTEST_SKIP() << "needs scripts/serial-test";
    // The simulator's port, listed where the system lists serial ports.
    valueName_ = L"\\Device\\KvLoginTest" + Wide(sim_.Port());
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExW(HKEY_LOCAL_MACHINE, SerialCommKey, 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr));
    const std::wstring port = Wide(sim_.Port());
    RegSetValueExW(key, valueName_.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(port.c_str()),
                   static_cast<DWORD>((port.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    LoginPassword.clear();
    LoginComPort.clear();
    form_ = CreateOwned<TFormLogin>();
    form_->Show();
    const int index = form_->cbb_ComPort->Items()->IndexOf(sim_.Port());
    ASSERT_GE(index, 0) << sim_.Port() << " is not in the port list";
    form_->cbb_ComPort->SetItemIndex(index);
    form_->cbb_ComPortChange(form_->cbb_ComPort);
    sim_.Command("reset");
    rxBefore_ = sim_.Log("rx").size();
  }
  void TearDown() override {
    form_ = {};
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, SerialCommKey, 0, KEY_ALL_ACCESS, &key) ==
        ERROR_SUCCESS) {
      RegDeleteValueW(key, valueName_.c_str());
      RegCloseKey(key);
    }
  }

  // Types the password into the box and clicks Login; waits for the outcome.
  void LogIn(const std::string& password) {
    const std::size_t shown = boxes_.Texts().size();
    form_->edt_Password->SetText(password);
    form_->btn_Login->Click();
    PumpUntil([&] { return form_->Accepted() || boxes_.Texts().size() > shown; }, 15000);
  }

  // The requests the simulator received during this test.
  std::vector<std::string> NewRequests() const {
    std::vector<std::string> rx = sim_.Log("rx");
    rx.erase(rx.begin(), rx.begin() + static_cast<std::ptrdiff_t>(rxBefore_));
    return rx;
  }

  test::Simulator sim_;
  std::size_t rxBefore_ = 0;
  std::wstring valueName_;
  Owned<TFormLogin> form_;
  test::MessageBoxHook boxes_;
};

TEST_F(Login, RightPasswordOpensTheMainWindowWithThePortClosed) {
  LogIn("9173");
  EXPECT_TRUE(form_->Accepted());
  EXPECT_EQ(mrOk, form_->ModalResult());
  EXPECT_TRUE(boxes_.Texts().empty());
  EXPECT_EQ("9173", LoginPassword);
  EXPECT_EQ(sim_.Port(), LoginComPort);
  EXPECT_FALSE(form_->ComPort->Connected()) << "the main window opens the port itself";
  // Password request: "#", command 1, address 0, length 4, "9173", checksum.
  const std::vector<std::string> rx = NewRequests();
  ASSERT_EQ(1u, rx.size());
  EXPECT_EQ("23010000000000043931373309", rx[0]);
}

TEST_F(Login, StoresTheTrimmedPasswordThatWasSent) {
  LogIn("  9173 ");
  ASSERT_TRUE(form_->Accepted());
  EXPECT_EQ("9173", LoginPassword);
}

TEST_F(Login, EnterKeyInThePasswordBoxLogsIn) {
  form_->edt_Password->SetText("9173");
  SendMessageW(form_->edt_Password->Handle(), WM_KEYDOWN, VK_RETURN, 0);
  PumpUntil([&] { return form_->Accepted() || !boxes_.Texts().empty(); }, 15000);
  EXPECT_TRUE(form_->Accepted());
}

TEST_F(Login, WrongPasswordShowsErrorKeepsThePortAndAllowsAnotherTry) {
  LogIn("1234");
  ASSERT_EQ(1u, boxes_.Texts().size());
  EXPECT_EQ("Password error", boxes_.Texts()[0]);
  EXPECT_FALSE(form_->Accepted());
  EXPECT_TRUE(form_->ComPort->Connected());
  LogIn("9173");
  EXPECT_TRUE(form_->Accepted());
  EXPECT_EQ(2u, NewRequests().size());
}

TEST_F(Login, LowerCaseAccessCodeIsSentAsAPassword) {
  LogIn("movrelkat");
  ASSERT_EQ(1u, boxes_.Texts().size());
  EXPECT_EQ("Password error", boxes_.Texts()[0]);
  const std::vector<std::string> rx = NewRequests();
  ASSERT_EQ(1u, rx.size());
  EXPECT_NE(std::string::npos, rx[0].find("6d6f7672")) << rx[0];  // "movr"
}

TEST_F(Login, SilentDeviceTimesOutAndClosesThePort) {
  sim_.Command("drop");
  LogIn("9173");
  ASSERT_EQ(1u, boxes_.Texts().size());
  EXPECT_EQ("Time out", boxes_.Texts()[0]);
  EXPECT_FALSE(form_->Accepted());
  EXPECT_FALSE(form_->ComPort->Connected());
  EXPECT_EQ(0, form_->Engine().TimeoutTicks());
}

// The port stays open after a refusal; what the device sends then, with no
// request waiting, is kept and nothing more.
TEST_F(Login, FrameArrivingWithNothingPendingIsOnlyKept) {
  LogIn("1234");
  ASSERT_EQ(1u, boxes_.Texts().size());
  ASSERT_TRUE(form_->ComPort->Connected());
  const TDataPack refusal = LoginRecvBuffer;
  sim_.Command("unsolicited");
  ASSERT_TRUE(PumpUntil([&] { return LoginRecvBuffer != refusal; }, 5000));
  pump::PumpUntilIdle();  // a reply handed on would be taken here
  EXPECT_EQ(1u, boxes_.Texts().size());
  EXPECT_FALSE(form_->Accepted());
  EXPECT_EQ(0, form_->Engine().PendingTag());
}

TEST_F(Login, TimedOutLoginOpensThePortAgainOnTheNextTry) {
  sim_.Command("drop");
  LogIn("9173");
  ASSERT_EQ(1u, boxes_.Texts().size());
  ASSERT_FALSE(form_->ComPort->Connected());
  LogIn("9173");
  EXPECT_TRUE(form_->Accepted());
  EXPECT_EQ(1u, boxes_.Texts().size());
  EXPECT_EQ(2u, NewRequests().size());
}

TEST_F(Login, MalformedReplyShowsDataError) {
  sim_.Command("badsum");
  LogIn("9173");
  ASSERT_EQ(1u, boxes_.Texts().size());
  EXPECT_EQ("Data Error", boxes_.Texts()[0]);
  EXPECT_TRUE(form_->ComPort->Connected());
}

TEST_F(Login, EachNewLoginStartsItsOwnTimeOutCount) {
  form_->Engine().SetPending(TAG_PASSWORD);
  for (int tick = 0; tick < LoginTimeoutLimit - 1; ++tick) form_->Engine().Tick();
  form_->edt_Password->SetText("9173");
  form_->btn_Login->Click();
  EXPECT_EQ(0, form_->Engine().TimeoutTicks());
  EXPECT_EQ(TAG_PASSWORD, form_->Engine().PendingTag());
  PumpUntil([&] { return form_->Accepted() || !boxes_.Texts().empty(); }, 15000);
  EXPECT_TRUE(form_->Accepted());
}

TEST_F(Login, AccessCodeOpensViewOnlyStateWithoutSendingAnything) {
  LogIn("MOVRELKAT");
  EXPECT_TRUE(form_->Accepted());
  EXPECT_EQ("MOVRELKAT", LoginPassword);
  EXPECT_EQ("", LoginComPort);
  EXPECT_FALSE(form_->ComPort->Connected());
  Sleep(200);
  EXPECT_TRUE(NewRequests().empty());
}

TEST_F(Login, PasswordBoxTakesOnlyDigitsLettersAndEditingKeys) {
  form_->edt_Password->SetText("");
  HWND edit = form_->edt_Password->Handle();
  for (wchar_t c : std::wstring(L"1a- Z.\u00e97")) SendMessageW(edit, WM_CHAR, c, 0);
  EXPECT_EQ("1aZ7", form_->edt_Password->Text());
  SendMessageW(edit, WM_CHAR, VK_BACK, 0);
  EXPECT_EQ("1aZ", form_->edt_Password->Text());
}

TEST_F(Login, ShowsEnglishOrChineseTexts) {
  form_->ApplyLanguage(false);
  EXPECT_EQ("KV41/2/3 Temperature Humidity Data Logger Configurator  V2.2", form_->Caption());
  EXPECT_EQ("Serial", form_->lbl_CommPort->Caption());
  EXPECT_EQ("Logout", form_->btn_LogOut->Caption());
  EXPECT_STREQ("Time out", LoginErrorTexts->TimeOut);
  form_->ApplyLanguage(true);
  EXPECT_EQ("KV41/2/3 温湿度配置软件  V2.2", form_->Caption());
  EXPECT_EQ("密码", form_->lbl_Password->Caption());
  EXPECT_EQ("登陆", form_->btn_Login->Caption());
  EXPECT_STREQ("验证错误", LoginErrorTexts->PasswordError);
}

TEST_F(Login, DeviceChangeRefillsThePortListAndSelectsTheFirst) {
  form_->cbb_ComPort->Items()->Clear();
  SendMessageW(form_->Handle(), WM_DEVICECHANGE, 0x0007, 0);
  EXPECT_GE(form_->cbb_ComPort->Items()->IndexOf(sim_.Port()), 0);
  EXPECT_EQ(0, form_->cbb_ComPort->ItemIndex());
}

TEST_F(Login, NoPortSelectedSendsNothing) {
  form_->cbb_ComPort->SetItemIndex(-1);
  form_->edt_Password->SetText("9173");
  form_->btn_Login->Click();
  EXPECT_FALSE(form_->ComPort->Connected());
  EXPECT_FALSE(form_->tmrOut->Enabled());
  Sleep(200);
  EXPECT_TRUE(NewRequests().empty());
}

// Picks a port that is not there and clicks Login for real, so that the
// exception meets the window procedure's handler; waits for its box.
void LogInOnMissingPort(TFormLogin& form, const test::MessageBoxHook& boxes) {
  form.cbb_ComPort->Items()->Add("COM59");
  form.cbb_ComPort->SetItemIndex(form.cbb_ComPort->Items()->IndexOf("COM59"));
  form.cbb_ComPortChange(form.cbb_ComPort);
  form.edt_Password->SetText("9173");
  const std::size_t shown = boxes.Texts().size();
  const TPoint at{form.btn_Login->Left() + 5, form.btn_Login->Top() + 5};
  SendMessageW(form.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.X, at.Y));
  SendMessageW(form.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(at.X, at.Y));
  PumpUntil([&] { return boxes.Texts().size() > shown; }, 5000);
}

TEST_F(Login, PortThatCannotBeOpenedShowsTheErrorAndNoTimeOutFollows) {
  LogInOnMissingPort(*form_, boxes_);
  ASSERT_EQ(1u, boxes_.Texts().size());
  EXPECT_EQ("Error opening serial port.", boxes_.Texts()[0]);
  EXPECT_FALSE(form_->ComPort->Connected());
  EXPECT_FALSE(form_->tmrOut->Enabled());
  EXPECT_FALSE(form_->Accepted());
}

// The port a refused password left open is not the one chosen next: the
// password goes to the selected port, never again through the old one.
TEST_F(Login, PortChosenAfterARefusalIsTheOneTried) {
  LogIn("1234");
  ASSERT_TRUE(form_->ComPort->Connected());
  LogInOnMissingPort(*form_, boxes_);
  ASSERT_EQ(2u, boxes_.Texts().size());
  EXPECT_EQ("Error opening serial port.", boxes_.Texts()[1]);
  EXPECT_FALSE(form_->Accepted());
  EXPECT_FALSE(form_->ComPort->Connected());
  EXPECT_EQ(1u, NewRequests().size()) << "nothing more went to the old port";
}

}  // namespace
}  // namespace kv
