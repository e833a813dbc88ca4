// The main window's side of the request engine: the serial port, the
// timer and the application's message hook forward to it, and what it
// reports is shown in the window's controls.
#include <windows.h>

#include <algorithm>
#include <memory>

#include "app/BasicAnimate_Frm_win.h"
#include "app/ConstLang_Unt.h"
#include "app/Funs_Unt.h"
#include "app/KV69_Frm_win.h"
#include "app/Message_Frm_win.h"
#include "app/SoftDiDoTh_Unt.h"
#include "app/Variable_Unt.h"

namespace kv {

namespace {

constexpr unsigned TimerInterval = 1000;
constexpr int ConnectWaitMs = 200;
constexpr int CloseWaitMs = 100;
constexpr int BlockWaitStepMs = 10;
// No XON/XOFF flow on the main window's port: limits of 0.
constexpr std::uint16_t MainXonXoffLimit = 0;

std::string ModelUnknownText() {
  return LanguageFlag == LanguageChinese ? "设备型号未知，请先连接设备并读取型号。"
                                         : "The device model is not known: connect to the "
                                           "device first.";
}


}  // namespace

// ---- The engine's window ----

// What the engine reports lands in the window's controls; its waits pump
// the application's messages, and its time-out travels as a posted message.
class TFormKV69::TEngineLink : public IEngineView, public IEngineClock {
 public:
  explicit TEngineLink(TFormKV69& form) : form_(form), engine(*this, *this) {}

  void Delay(int ms) override { kv::Delay(ms); }
  bool WaitStep() override {
    // Ends as soon as a message (the reply) is queued, not at the step's end.
    MsgWaitForMultipleObjectsEx(0, nullptr, BlockWaitStepMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (engine.CancelFlag()) return true;
    Application->ProcessMessages();
    return !Application->Terminated();
  }
  void PostTimeout(int tag) override {
    // To the window itself, not the application's: a menu held open or a
    // message box runs its own loop, which hands the window its messages
    // but never shows them to the application's events.
    PostMessageW(form_.Handle(), WM_REPLYTIMEOUT, static_cast<WPARAM>(tag), 0);
  }

  void ShowProgress(int maxValue) override { form_.ShowProgressWindow(maxValue); }
  void SetProgress(int value) override { form_.SetProgress(value); }
  void CloseProgress() override { form_.CloseProgressWindow(); }
  bool ProgressShown() const override { return form_.FormBasicAnimate != nullptr; }
  void ShowMessage(const std::string& text, bool titled) override {
    ShowMessageForm(text, titled ? Application->Title() : std::string());
  }
  void PasswordRefused(bool atShow) override { form_.PasswordRefused(atShow); }
  void VersionReceived(const TVersionReply& reply) override { form_.ShowVersionReply(reply); }
  void DoStatusReceived(const TDataPack& data) override { form_.ShowDoStatusReply(data); }
  void ThValuesReceived(const TDataPack& data) override { form_.ShowThValuesReply(data); }
  void TimeReceived(TDateTime date, TDateTime time) override {
    form_.dtpYMD->SetDate(date);
    form_.dtpHMS->SetTime(time);
  }
  void HistoryRowReceived(const std::vector<std::string>& cells) override {
    form_.ShowHistoryRows({{1, cells}});
  }
  void HistoryRowsReceived(const std::vector<THistoryGridRow>& rows) override {
    form_.ShowHistoryRows(rows);
  }
  void MasterImageRead(const std::vector<std::uint8_t>& image) override {
    form_.ShowMasterImage(image);
  }
  void RestartProgram() override { RestartDeviceProgram(); }

 private:
  TFormKV69& form_;

 public:
  TRequestEngine engine;
};

void TFormKV69::TEngineLinkDelete::operator()(TEngineLink* link) const {
  std::default_delete<TEngineLink>()(link);
}

TRequestEngine& TFormKV69::Engine() { return engineLink_->engine; }
const TRequestEngine& TFormKV69::Engine() const { return engineLink_->engine; }

// ---- Creation, showing, closing ----

void TFormKV69::CreateEngine() {
  engineLink_.reset(std::make_unique<TEngineLink>(*this).release());
  ComPort = Create<TComm>(this);
  ComPort->SetName("ComPort");
  SetUpDevicePort(*ComPort, MainXonXoffLimit);
  ComPort->OnReceiveData = [this](TObject* sender, const void* buffer, std::uint16_t length) {
    ComPortReceiveData(sender, buffer, length);
  };
  ComPort->OnReceiveError = [this](TObject* sender, std::uint32_t mask) {
    ComPortReceiveError(sender, mask);
  };

  Engine().SetPort(ComPort);

  tmrOut = Create<TTimer>(this);
  tmrOut->SetName("tmrOut");
  tmrOut->SetInterval(TimerInterval);
  tmrOut->OnTimer = [this](TObject* sender) { tmrOutTimer(sender); };
  tmrOut->SetEnabled(true);

  ApplicationEvents = Create<TApplicationEvents>(this);
  ApplicationEvents->SetName("ApplicationEvents");
  ApplicationEvents->OnException = [this](TObject* sender, const std::exception& e) {
    ApplicationEventsException(sender, e);
  };

  OnClose = [this](TObject* sender, TCloseAction& action) { FormClose(sender, action); };
  SetMessageFormMainWindow(this);
}

void TFormKV69::ConnectAtShow() {
  ComPort->SetBaudRate(115200);
  ComPort->SetCommName(LoginComPort);
  try {
    ComPort->OpenPort();
  } catch (const Exception&) {
    // The port went between the login and now: the window still opens,
    // disconnected, and Reconnect can try again.
    Bar->SetSimpleText(LoginComPort + "  " + Lang_MsgDisconnected);
    Application->HandleException(this);
    return;
  }
  Delay(ConnectWaitMs);
  Engine().SendPassword(LoginPassword, true);
}

void TFormKV69::FormClose(TObject*, TCloseAction&) {
  ComPort->ClosePort();
  Delay(CloseWaitMs);
}

void TFormKV69::WndProc(TMessage& message) {
  if (message.Msg == WM_SYSCOMMAND) {
    const WPARAM command = message.WParam & 0xFFF0;
    if (command == SC_MINIMIZE) {
      Application->Minimize();
      return;
    }
    if (command == SC_CLOSE) ExitProcess(0);
  }
  if (message.Msg == WM_REPLYTIMEOUT) {
    if (engineLink_) Engine().TimeoutMessage(static_cast<int>(message.WParam));
    return;
  }
  if (message.Msg == WM_DEVICECHANGE) HandleDeviceChange(message);
  if (message.Msg == WM_FOLLOWSKIN) {
    FollowSkinInFrames();
    return;
  }
  TForm::WndProc(message);
}

// ---- Pending tag and time-out ----

int TFormKV69::PendingTag() const { return engineLink_ ? Engine().PendingTag() : 0; }

void TFormKV69::SetPending(int tag) { Engine().SetPending(tag); }

bool TFormKV69::Connected() const { return ComPort != nullptr && ComPort->Connected(); }

void TFormKV69::tmrOutTimer(TObject*) { Engine().Tick(); }

void TFormKV69::ApplicationEventsException(TObject*, const std::exception&) {
  // While the main window lives, a failed operation simply stops.
}

void TFormKV69::ComPortReceiveError(TObject*, std::uint32_t) {
  // A line error (noise, an overrun) spoils at most the reply in flight,
  // which the time-out deals with; it is no reason to lose the user's edits.
}

int TFormKV69::ModelIndexOf(std::string_view text) { return kv::ModelIndexOf(text); }

// ---- Progress window ----

void TFormKV69::ShowProgressWindow(int maxValue) {
  CloseProgressWindow();
  FormBasicAnimate = Create<TFormBasicAnimate>(this);
  FormBasicAnimate->OnCancel = [this](bool windowGoing) { ProgressCancelled(windowGoing); };
  FormBasicAnimate->sg->SetMinValue(0);
  FormBasicAnimate->sg->SetMaxValue(std::max(0, maxValue));
  FormBasicAnimate->sg->SetProgress(0);
  // The Stop glyph lives in the main window's strip.
  FormBasicAnimate->btn_Close->SetImages(il16);
  FormBasicAnimate->Show();
}

void TFormKV69::SetProgress(int value) {
  if (FormBasicAnimate != nullptr) FormBasicAnimate->sg->SetProgress(value);
}

void TFormKV69::CloseProgressWindow() {
  TFormBasicAnimate* window = FormBasicAnimate;
  if (window == nullptr) return;
  FormBasicAnimate = nullptr;
  window->Free();
}

void TFormKV69::ProgressCancelled(bool windowGoing) {
  Engine().Cancel();
  if (windowGoing || FormBasicAnimate == nullptr) return;
  // No loop owns the clear-history window: Stop ends that operation here.
  // The window is inside its own click, so it goes once that is done.
  if (Engine().EndClearHistory()) {
    TFormBasicAnimate* window = FormBasicAnimate;
    FormBasicAnimate = nullptr;
    window->OnCancel = nullptr;
    window->Hide();
    window->Release();
  }
}

// ---- Receiving ----

void TFormKV69::ComPortReceiveData(TObject*, const void* Buffer, std::uint16_t BufferLength) {
  Engine().Receive(Buffer, BufferLength);
}

void TFormKV69::PasswordRefused(bool atShow) {
  if (atShow) {
    Application->MessageBox(Lang_MsgPasswordError, Application->Title(), MB_ICONERROR | MB_OK);
    ExitProcess(0);
  }
  // A later password (Reconnect) was refused: the program goes on without
  // the device, as after Disconnect.
  ComPort->ClosePort();
  Bar->SetSimpleText((LoginComPort.empty() ? ComPort->CommName() : LoginComPort) + "  " +
                     Lang_MsgDisconnected);
  ShowMessageForm(Lang_MsgPasswordError, Application->Title());
}

void TFormKV69::ShowVersionReply(const TVersionReply& reply) {
  lbl_ModelNo->SetCaption(Lang_LblModel + reply.Model);
  lbl_Verstion->SetCaption(Lang_LblVersion + reply.Version);
  lbl_IMEI->SetCaption(Lang_LblImei + reply.Imei);
  lbl_SignalValue->SetCaption(Lang_LblSignal + reply.Signal);
  TListRows rows;
  BuildThRowsForModel(reply.Model, rows);
  if (!rows.empty()) SetListViewRows(lvTh, rows);
  // The grid's channel columns for the model; the language switch below puts
  // the current language's texts into them.
  SetHistoryChannelHeader(ModelIndex, LanguageChinese);
  if (LanguageFlag == LanguageChinese)
    N_CNClick(this);
  else
    N_ENClick(this);
}

// ---- Configuration read and write ----

void TFormKV69::ShowMasterImage(const std::vector<std::uint8_t>& image) {
  const TMasterSettings before = ControlsToSettings();
  try {
    for (TWinControl* container :
         {static_cast<TWinControl*>(grp_BasicSeting), static_cast<TWinControl*>(grp_PasswordSeting),
          static_cast<TWinControl*>(Sheet_Telephone), static_cast<TWinControl*>(Sheet_DO),
          static_cast<TWinControl*>(Sheet_TH), static_cast<TWinControl*>(Sheet_DateTime),
          static_cast<TWinControl*>(grp_GPRS_BasicSeting)})
      if (container != nullptr) ClearControls(container);
    TMasterSettings settings = ControlsToSettings();
    MasterImageToControls(image, ModelIndex, settings);
    SettingsToControls(settings);
    settingShown_ = true;
    deviceImage_.assign(image.begin(), image.end());
  } catch (...) {
    // Half an image is worse than none: show what was there before.
    SettingsToControls(before);
    throw;
  }
}

void TFormKV69::Pop_ReadMaster_SetingClick(TObject*) { Engine().ReadMaster(); }

void TFormKV69::Pop_WirteMasterClick(TObject*) {
  if (!Connected()) return;
  // Without the model the channel rows have no slots, and the write would
  // erase every channel setting of the device. Nothing is sent either way.
  const std::string& unknownModel = Engine().UnknownModelReply();
  std::string refusal;
  if (!unknownModel.empty() && (ModelIndex < 0 || lvTh->Items()->Count() == 0))
    refusal = UnknownModelText(LanguageFlag, unknownModel);
  // A form no read or profile filled holds only what the window starts
  // with: written, it would wipe the device's password, id and phones.
  else if (!settingShown_)
    refusal = ReadSettingFirstText(LanguageFlag);
  else if (ModelIndex < 0 || lvTh->Items()->Count() == 0)
    refusal = ModelUnknownText();
  if (!refusal.empty()) {
    ShowMessageForm(refusal, Application->Title());
    return;
  }
  btn_PC_TimeClick(this);
  std::vector<std::uint8_t> image;
  try {
    const TMasterSettings settings = ControlsToSettings();
    image = ControlsToMasterImage(settings, ModelIndex);
    KeepDeviceValues(deviceImage_, ModelIndex, settings, image);
  } catch (const EInputError& e) {
    ShowMessageForm(InputErrorText(LanguageFlag) + ": " + e.Field(), "");
    return;
  }
  Engine().WriteMaster(image);
}

}  // namespace kv
