// The login window. The reply and the time-out travel from their handlers to
// ApplicationEventsMessage by messages posted to the application window, so
// that each is handled after the event that noticed it has returned.
#include "app/Login_Frm_win.h"

#include "app/Funs_Unt.h"
#include "app/KV69_Frm_win.h"
#include "app/Skins_Unt_win.h"
#include "app/Variable_Unt.h"
#include "base/SysUtils.h"
#include "classlib/Resources.h"
#include "devicelink/SendHandle_Unt.h"

namespace kv {

TFormLogin* FormLogin = nullptr;
TDataPack LoginRecvBuffer;
const TLoginErrorTexts* LoginErrorTexts = nullptr;

namespace {

constexpr TLoginErrorTexts EnglishErrors{"Data Error", "Password error", "Time out"};
constexpr TLoginErrorTexts ChineseErrors{"数据异常", "验证错误", "登陆超时"};

// The login window's port keeps the XON/XOFF limits it has always had.
constexpr std::uint16_t LoginXonXoffLimit = 500;
constexpr int FormWidth = 852;
constexpr int FormHeight = 546;
constexpr int PictureHeight = 417;

// What the password reply came to, carried by WM_LOGINREPLY.
enum TLoginOutcome : WPARAM { LoginDamaged, LoginRefused, LoginAccepted };

}  // namespace

// The login's side of the engine: the outcome of the reply travels to
// ApplicationEventsMessage as a posted message, so that it is handled after
// the receive event has returned.
class TFormLogin::TEngineLink : public IEngineView, public IEngineClock {
 public:
  explicit TEngineLink(TFormLogin& form) : form_(form), engine(*this, *this, TEngineRole::Login) {}

  void Delay(int ms) override { kv::Delay(ms); }
  bool WaitStep() override { return false; }
  void PostTimeout(int tag) override {
    PostMessageW(Application->Handle(), WM_REPLYTIMEOUT, static_cast<WPARAM>(tag), 0);
  }
  void PasswordReplyDamaged() override { Post(LoginDamaged); }
  void PasswordRefused(bool) override { Post(LoginRefused); }
  void PasswordAccepted() override { Post(LoginAccepted); }
  void TimedOut(int) override {
    form_.ShowError(LoginErrorTexts->TimeOut);
    form_.ComPort->ClosePort();
  }

 private:
  static void Post(TLoginOutcome outcome) {
    PostMessageW(Application->Handle(), WM_LOGINREPLY, outcome, 0);
  }
  TFormLogin& form_;

 public:
  TRequestEngine engine;
};

TFormLogin::TFormLogin(TComponent* owner)
    : TForm(owner), engineLink_(std::make_unique<TEngineLink>(*this)) {
  LoginErrorTexts = &EnglishErrors;
}

TFormLogin::~TFormLogin() = default;

TRequestEngine& TFormLogin::Engine() { return engineLink_->engine; }

void TFormLogin::AfterConstruction() {
  CreateControls();
  OnCreate = [this](TObject* sender) { FormCreate(sender); };
  OnShow = [this](TObject* sender) { FormShow(sender); };
  TForm::AfterConstruction();
}

void TFormLogin::CreateControls() {
  SetCaption("登陆KV57");
  SetBorderStyle(bsSingle);
  SetBorderIcons(biSystemMenu | biMinimize);
  SetPosition(poDesktopCenter);
  ApplyProgramFormLook(*this);
  SetClientWidth(FormWidth);
  SetClientHeight(FormHeight);
  // The skin first: every control made below finds it loaded.
  CreateWindowSkin(this, true, sknmngr, sknprvdr);

  wiLogin = Create<TCnWaterImage>(this);
  wiLogin->SetName("wiLogin");
  wiLogin->SetParent(this);
  wiLogin->SetBounds(0, 0, FormWidth, PictureHeight);
  wiLogin->SetAlign(alTop);
  wiLogin->SetClickBlob(300);
  wiLogin->SetTrackBlob(300);
  wiLogin->SetRadius(3);
  wiLogin->SetInterval(60);
  if (HINSTANCE module = GetModuleHandleW(nullptr); ResourceExists(module, "LOGIN", RT_BITMAP_W)) {
    auto picture = std::make_unique<TBitmapImage>();
    picture->LoadFromResourceName(module, "LOGIN");
    wiLogin->Picture().SetGraphic(std::move(picture));
    wiLogin->PictureChanged();
  }

  const int row1 = PictureHeight + 24;
  const int row2 = PictureHeight + 62;
  lbl_CommPort = Create<TsLabel>(this);
  lbl_CommPort->SetName("lbl_CommPort");
  lbl_CommPort->SetParent(this);
  lbl_CommPort->SetBounds(190, row1 + 4, 64, 16);
  lbl_CommPort->SetAutoSize(false);
  lbl_CommPort->Font()->SetStyle(fsBold);

  cbb_ComPort = Create<TsComboBox>(this);
  cbb_ComPort->SetName("cbb_ComPort");
  cbb_ComPort->SetParent(this);
  cbb_ComPort->SetStyle(csDropDownList);
  cbb_ComPort->SetBounds(262, row1, 140, 24);
  cbb_ComPort->OnChange = [this](TObject* sender) { cbb_ComPortChange(sender); };

  lbl_Password = Create<TsLabel>(this);
  lbl_Password->SetName("lbl_Password");
  lbl_Password->SetParent(this);
  lbl_Password->SetBounds(432, row1 + 4, 84, 16);
  lbl_Password->SetAutoSize(false);
  lbl_Password->Font()->SetStyle(fsBold);

  edt_Password = Create<TsEdit>(this);
  edt_Password->SetName("edt_Password");
  edt_Password->SetParent(this);
  edt_Password->SetBounds(520, row1, 140, 24);
  edt_Password->SetMaxLength(9);
  edt_Password->SetPasswordChar(L'*');
  edt_Password->SetText("9173");  // the factory-default password
  edt_Password->SetTabStop(true);
  edt_Password->OnKeyDown = [this](TObject* s, WORD& key, TShiftState shift) {
    edt_PasswordKeyDown(s, key, shift);
  };
  edt_Password->OnKeyPress = [this](TObject* s, wchar_t& key) { edt_PasswordKeyPress(s, key); };

  ilList = Create<TImageList>(this);
  ilList->SetName("ilList");
  ilList->SetSize(32, 32);
  if (HINSTANCE module = GetModuleHandleW(nullptr); ResourceExists(module, "ILLIST", RT_BITMAP_W)) {
    TBitmapImage strip;
    strip.LoadFromResourceName(module, "ILLIST");
    ilList->Add(strip.Bitmap());
  }

  btn_Login = Create<TsSpeedButton>(this);
  btn_Login->SetName("btn_Login");
  btn_Login->SetParent(this);
  btn_Login->SetBounds(300, row2, 110, 56);
  btn_Login->SetFlat(true);
  btn_Login->SetImages(ilList);
  btn_Login->SetImageIndex(0);
  btn_Login->OnClick = [this](TObject* sender) { btn_LoginClick(sender); };

  btn_LogOut = Create<TsSpeedButton>(this);
  btn_LogOut->SetName("btn_LogOut");
  btn_LogOut->SetParent(this);
  btn_LogOut->SetBounds(450, row2, 110, 56);
  btn_LogOut->SetFlat(true);
  btn_LogOut->OnClick = [this](TObject* sender) { btn_LogOutClick(sender); };

  ComPort = Create<TComm>(this);
  ComPort->SetName("ComPort");
  SetUpDevicePort(*ComPort, LoginXonXoffLimit);
  ComPort->OnReceiveData = [this](TObject* s, const void* buffer, std::uint16_t length) {
    ComPortReceiveData(s, buffer, length);
  };
  Engine().SetPort(ComPort);

  tmrOut = Create<TTimer>(this);
  tmrOut->SetName("tmrOut");
  tmrOut->SetEnabled(false);
  tmrOut->SetInterval(1000);
  tmrOut->OnTimer = [this](TObject* sender) { tmrOutTimer(sender); };

  ApplicationEvents = Create<TApplicationEvents>(this);
  ApplicationEvents->SetName("ApplicationEvents");
  ApplicationEvents->OnMessage = [this](MSG& msg, bool& handled) {
    ApplicationEventsMessage(msg, handled);
  };
}

void TFormLogin::Dispatch(TMessage& message) {
  if (message.Msg == WM_SYSCOMMAND) {
    if (message.WParam == SC_MINIMIZE) {
      Application->Minimize();
      return;
    }
    // Closing the login window ends the program at once.
    if (message.WParam == SC_CLOSE) ExitProcess(0);
  } else if (message.Msg == WM_DEVICECHANGE) {
    RefreshPortList();
  }
  TForm::Dispatch(message);
}

void TFormLogin::RefreshPortList() {
  ListSerialPorts(ComPortList);
  cbb_ComPort->Items()->Clear();
  cbb_ComPort->Items()->AddStrings(ComPortList);
  cbb_ComPort->SetItemIndex(ComPortList.Count() > 0 ? 0 : -1);
}

void TFormLogin::FormCreate(TObject*) { RefreshPortList(); }

bool TFormLogin::UserLocaleIsChinese() {
  wchar_t id[16] = {};
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_ILANGUAGE, id, 16) == 0) return false;
  return std::wstring(id) == L"0804";
}

void TFormLogin::ApplyLanguage(bool chinese) {
  const std::string version = GetProgramVersion(Application->ExeName());
  if (chinese) {
    SetCaption("KV41/2/3 温湿度配置软件  " + version);
    lbl_CommPort->SetCaption("串口");
    lbl_Password->SetCaption("密码");
    btn_Login->SetCaption("登陆");
    btn_LogOut->SetCaption("退出");
    LoginErrorTexts = &ChineseErrors;
  } else {
    SetCaption("KV41/2/3 Temperature Humidity Data Logger Configurator  " + version);
    lbl_CommPort->SetCaption("Serial");
    lbl_Password->SetCaption("Password");
    btn_Login->SetCaption("Login");
    btn_LogOut->SetCaption("Logout");
    LoginErrorTexts = &EnglishErrors;
  }
}

void TFormLogin::FormShow(TObject*) {
  const int index = cbb_ComPort->ItemIndex();
  ComPort->SetCommName(index >= 0 ? cbb_ComPort->Items()->Strings(index) : std::string());
  ApplyLanguage(UserLocaleIsChinese());
}

void TFormLogin::cbb_ComPortChange(TObject*) {
  const int index = cbb_ComPort->ItemIndex();
  ComPort->SetCommName(index >= 0 ? cbb_ComPort->Items()->Strings(index) : std::string());
}

void TFormLogin::btn_LoginClick(TObject*) {
  const std::string password = Trim(edt_Password->Text());
  if (password == AccessCode) {
    LoginPassword = password;
    LoginComPort.clear();
    EnterMainWindow();
    return;
  }
  tmrOut->SetEnabled(false);
  // A new request gets its own five seconds, whatever an earlier one left.
  Engine().SetPending(TAG_PASSWORD);
  ComPort->SetBaudRate(115200);
  const int index = cbb_ComPort->ItemIndex();
  const std::string port = index >= 0 ? cbb_ComPort->Items()->Strings(index) : std::string();
  // A port left open by a refused attempt is the old choice: the password
  // goes through the one selected now.
  if (ComPort->Connected() && openedPort_ != port) ComPort->ClosePort();
  ComPort->SetCommName(port);
  if (port.empty()) return;
  if (!ComPort->Connected()) {
    ComPort->OpenPort();
    openedPort_ = port;
    Delay(100);
  }
  sentPassword_ = password;
  Engine().SendPassword(password, true);
  tmrOut->SetEnabled(true);
}

void TFormLogin::btn_LogOutClick(TObject*) { Application->Terminate(); }

void TFormLogin::tmrOutTimer(TObject*) { Engine().Tick(); }

void TFormLogin::ComPortReceiveData(TObject*, const void* Buffer, std::uint16_t BufferLength) {
  LoginRecvBuffer = protocol_.BufferToPack(Buffer, BufferLength);
  Engine().Receive(Buffer, BufferLength);
}

void TFormLogin::edt_PasswordKeyPress(TObject*, wchar_t& Key) {
  auto key = static_cast<char16_t>(Key);
  FilterAlnumKey(key);
  Key = static_cast<wchar_t>(key);
}

void TFormLogin::edt_PasswordKeyDown(TObject* Sender, WORD& Key, TShiftState) {
  if (Key == VK_RETURN) btn_LoginClick(Sender);
}

void TFormLogin::ShowError(const char* text) {
  Application->MessageBox(text, Application->Title(), MB_ICONERROR | MB_OK);
}

void TFormLogin::ApplicationEventsMessage(MSG& Msg, bool&) {
  // Only what was posted to the application window: other windows may use
  // the same numbers for messages of their own.
  if (Msg.hwnd != Application->Handle()) return;
  if (Msg.message == WM_LOGINREPLY) {
    if (Msg.wParam == LoginDamaged) {
      ShowError(LoginErrorTexts->DataError);
    } else if (Msg.wParam == LoginRefused) {
      ShowError(LoginErrorTexts->PasswordError);
    } else {
      // The text that was sent, so that the main window's own request with
      // it is accepted too; and the port it was sent through.
      LoginPassword = sentPassword_;
      LoginComPort = openedPort_;
      ComPort->ClosePort();
      EnterMainWindow();
    }
  } else if (Msg.message == WM_REPLYTIMEOUT) {
    Engine().TimeoutMessage(static_cast<int>(Msg.wParam));
  }
}

void TFormLogin::EnterMainWindow() {
  accepted_ = true;
  SetModalResult(mrOk);
}

TFormKV69* ReplaceLoginWithMainWindow() {
  const bool accepted = FormLogin != nullptr && FormLogin->Accepted();
  if (FormLogin != nullptr) {
    // A port left open by a refused attempt closes with the window.
    FormLogin->ComPort->ClosePort();
    FormLogin->Free();
    FormLogin = nullptr;
  }
  LoginRecvBuffer.clear();
  if (!accepted || Application->Terminated()) return nullptr;
  TFormKV69* main = nullptr;
  Application->CreateForm(main);
  Application->SetMainForm(main);
  return main;
}

}  // namespace kv
