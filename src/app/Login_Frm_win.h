// The login window: pick the serial port, type the device's password, and
// the main window follows once the device accepts it (or at once for the
// access code, in its view-only state).
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "app/CnWaterImage_win.h"
#include "app/KV69_Engine.h"
#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"
#include "classlib/ImgList.h"
#include "devicelink/Const_Unt.h"
#include "devicelink/PasswordProtocol_Unt.h"
#include "devicelink/SerialComm_win.h"
#include "skin/controls/sComboBox_win.h"
#include "skin/controls/sEdit_win.h"
#include "skin/controls/sLabel_win.h"
#include "skin/controls/sSpeedButton_win.h"

namespace kv {

class TsSkinManager;
class TsSkinProvider;
class TFormKV69;

// Posted to the application window (not the login window), WParam and
// LParam 0: a reply chunk arrived for the pending password request, or the
// request timed out. The main window posts the same time-out number.
constexpr UINT WM_LOGINREPLY = 1124;
constexpr UINT WM_REPLYTIMEOUT = 7147;

// The three message texts of one language.
struct TLoginErrorTexts {
  const char* DataError;
  const char* PasswordError;
  const char* TimeOut;
};

class TFormLogin : public TForm {
 public:
  explicit TFormLogin(TComponent* owner);
  ~TFormLogin() override;

  void AfterConstruction() override;
  void Dispatch(TMessage& message) override;

  TCnWaterImage* wiLogin = nullptr;
  TsLabel* lbl_CommPort = nullptr;
  TsComboBox* cbb_ComPort = nullptr;
  TsLabel* lbl_Password = nullptr;
  TsEdit* edt_Password = nullptr;
  TsSpeedButton* btn_Login = nullptr;
  TsSpeedButton* btn_LogOut = nullptr;
  TImageList* ilList = nullptr;
  TComm* ComPort = nullptr;
  TTimer* tmrOut = nullptr;
  TApplicationEvents* ApplicationEvents = nullptr;
  TsSkinManager* sknmngr = nullptr;
  TsSkinProvider* sknprvdr = nullptr;

  // True once the password was accepted or the access code typed: the main
  // block then releases this window and starts the main window.
  bool Accepted() const { return accepted_; }

  // Picks the captions and message texts of one language.
  void ApplyLanguage(bool chinese);
  // True when the user locale's language identifier is "0804".
  static bool UserLocaleIsChinese();

  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void btn_LoginClick(TObject* Sender);
  void btn_LogOutClick(TObject* Sender);
  void tmrOutTimer(TObject* Sender);
  void ComPortReceiveData(TObject* Sender, const void* Buffer, std::uint16_t BufferLength);
  void edt_PasswordKeyPress(TObject* Sender, wchar_t& Key);
  void edt_PasswordKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
  void ApplicationEventsMessage(MSG& Msg, bool& Handled);
  void cbb_ComPortChange(TObject* Sender);

  // The password request's engine: its pending tag and time-out ticks.
  TRequestEngine& Engine();

 private:
  class TEngineLink;
  std::unique_ptr<TEngineLink> engineLink_;
  void CreateControls();
  void RefreshPortList();
  void EnterMainWindow();
  void ShowError(const char* text);

  TPasswordProtocol protocol_;
  // The trimmed text that the pending request sent, and the port it went
  // through (the selection may have moved on since).
  std::string sentPassword_;
  std::string openedPort_;
  bool accepted_ = false;
};

extern TFormLogin* FormLogin;

// The main block's hand-over once the modal login run has ended: frees the
// login window (closing a port a refused attempt left open) and, when the
// login was accepted, creates the main window as the application's main
// form. The login window goes first so that its skin manager has handed the
// default role, and with it the application-window and dialog hooks, back
// before the main window's manager is made: that one becomes the default.
// Returns the main window, or nullptr when the login was not accepted.
TFormKV69* ReplaceLoginWithMainWindow();
// The latest chunk the login window received.
extern TDataPack LoginRecvBuffer;
// The message texts of the language chosen at show time.
extern const TLoginErrorTexts* LoginErrorTexts;

}  // namespace kv
