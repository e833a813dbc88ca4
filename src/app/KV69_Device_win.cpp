// The main window's device commands: relays, current values, the device
// clock, reset and reboot, the port, and the profiles.
#include <windows.h>
// after windows.h
#include <dbt.h>

#include <exception>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/ConstLang_Unt.h"
#include "app/Funs_Unt.h"
#include "app/HistoryCsv_Unt.h"
#include "app/IniSeting_Unt.h"
#include "app/KV69_Frm_win.h"
#include "app/Message_Frm_win.h"
#include "app/SoftDiDoTh_Unt.h"
#include "app/Variable_Unt.h"
#include "base/SysUtils.h"
#include "classlib/Dialogs.h"

namespace kv {

namespace {

// Waits of the commands, in milliseconds.
constexpr int ReconnectWaitMs = 200;
constexpr int ProfileLoadWaitMs = 500;

// The device keeps the year as year - 2000 in one byte.
constexpr int DeviceFirstYear = 2000;
constexpr int DeviceLastYear = 2255;

constexpr const char* ProfileFilter = "*.ini|*.ini";

int ApplicationMessageBox(const std::string& text, unsigned flags) {
  return Application->MessageBox(text, Application->Title(), flags);
}

bool ExecuteProfileDialog(bool save, std::string& fileName) {
  std::unique_ptr<TOpenDialog> dialog =
      save ? std::make_unique<TSaveDialog>(nullptr) : std::make_unique<TOpenDialog>(nullptr);
  dialog->SetFilter(ProfileFilter);
  dialog->SetInitialDir(ExtractFilePath(Application->ExeName()));
  dialog->SetFileName(fileName);
  if (!dialog->Execute()) return false;
  fileName = dialog->FileName();
  return true;
}

// Sets column `column` of a row, adding empty cells up to it when the row
// (filled from a hand-edited profile, say) lacks them.
void SetCell(TListItem* item, int column, const std::string& text) {
  TSubItems& cells = item->SubItems();
  while (cells.Count() < column) cells.Add("");
  cells.Put(column - 1, text);
}

// The trimmed text of a password box, or none.
std::string TrimmedText(ComponentEx::TLabeledEdit* edit) {
  return edit != nullptr ? Trim(edit->Text()) : std::string();
}

}  // namespace

std::function<int(const std::string&, unsigned)> TFormKV69::DeviceMessageBox =
    ApplicationMessageBox;
std::function<bool(bool, std::string&)> TFormKV69::ChooseProfileFile = ExecuteProfileDialog;
std::function<void()> TFormKV69::RestartDeviceProgram = RestartProgram;

// ---- Relays and current values ----

void TFormKV69::btn_DO1_CloseClick(TObject*) {
  Engine().SwitchRelay(TRequestEngine::TRelay::DO1Close);
}
void TFormKV69::btn_DO1_OpenClick(TObject*) {
  Engine().SwitchRelay(TRequestEngine::TRelay::DO1Open);
}
void TFormKV69::btn_Do2_CloseClick(TObject*) {
  Engine().SwitchRelay(TRequestEngine::TRelay::DO2Close);
}
void TFormKV69::btn_Do2_OpenClick(TObject*) {
  Engine().SwitchRelay(TRequestEngine::TRelay::DO2Open);
}

void TFormKV69::Pop_Do_ReadCurrentValueClick(TObject*) { Engine().ReadDoStatus(); }

void TFormKV69::Menu_R_DOClick(TObject* Sender) { Pop_Do_ReadCurrentValueClick(Sender); }

void TFormKV69::Pop_Th_ReadCurrentValueClick(TObject*) { Engine().ReadThValues(); }

void TFormKV69::Menu_R_THClick(TObject* Sender) { Pop_Th_ReadCurrentValueClick(Sender); }

void TFormKV69::ShowDoStatusReply(const TDataPack& data) {
  if (lvDo == nullptr) return;
  const auto texts = DoStatusTexts(data, LanguageFlag);
  if (!texts) return;
  for (int row = 0; row < DoRowCount && row < lvDo->Items()->Count(); ++row)
    SetCell(lvDo->Items()->Item(row), DoColState, (*texts)[static_cast<size_t>(row)]);
}

void TFormKV69::ShowThValuesReply(const TDataPack& data) {
  if (lvTh == nullptr) return;
  const std::vector<std::string> texts = ThValueTexts(data, ModelIndex, lvTh->Items()->Count());
  for (size_t row = 0; row < texts.size(); ++row)
    SetCell(lvTh->Items()->Item(static_cast<int>(row)), ThColValue, texts[row]);
}

// ---- Device clock ----

void TFormKV69::btn_PC_TimeClick(TObject*) {
  const TDateTime now = Now();
  if (dtpYMD != nullptr) dtpYMD->SetDateTime(now);
  if (dtpHMS != nullptr) dtpHMS->SetDateTime(now);
}

void TFormKV69::btn_Main_Timer_WriteClick(TObject*) {
  if (ComPort == nullptr || dtpYMD == nullptr || dtpHMS == nullptr) return;
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, msec = 0;
  DecodeDate(dtpYMD->Date(), year, month, day);
  DecodeTime(dtpHMS->Time(), hour, minute, second, msec);
  // Another year would reach the device as some other year.
  if (year < DeviceFirstYear || year > DeviceLastYear) {
    ShowMessageForm(InputErrorText(LanguageFlag), "");
    return;
  }
  Engine().SetTime(year, month, day, hour, minute);
}

void TFormKV69::btn_Main_Timer_ReadClick(TObject*) { Engine().ReadTime(); }

// ---- Reset, reboot, history deletion ----

namespace {

bool AskYes(const std::string& question) {
  return TFormKV69::DeviceMessageBox(question, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

}  // namespace

void TFormKV69::Pop_RESETClick(TObject*) {
  if (AskYes(Lang_MsgReset)) Engine().Reset(TrimmedText(lbledt_Main_Password));
}

void TFormKV69::Pop_ReBootClick(TObject*) {
  if (AskYes(Lang_MsgReboot)) Engine().Reboot(TrimmedText(lbledt_Main_Password));
}

void TFormKV69::btn_Clean_History_DevClick(TObject*) {
  if (AskYes(Lang_MsgClearAll)) Engine().ClearHistory();
}

// ---- The port ----

void TFormKV69::Pop_DisCommPortClick(TObject*) {
  if (!Connected()) return;
  ComPort->ClosePort();
  Bar->SetSimpleText(LoginComPort + "  " + Lang_MsgDisconnected);
}

void TFormKV69::Pop_RepCommPortClick(TObject*) {
  if (ComPort == nullptr) return;
  // The port opens again under its current name: the login's, or in view
  // mode the component's default, which the status bar then names.
  const std::string port = LoginComPort.empty() ? ComPort->CommName() : LoginComPort;
  // The box is empty until a configuration was read: the login's password
  // then, so that an empty text is not rejected (view mode has none to give).
  std::string password = TrimmedText(lbledt_Main_Password);
  if (password.empty() && !viewOnly_) password = LoginPassword;
  ComPort->ClosePort();
  // Another device may answer now: none of the last one's values is kept.
  deviceImage_.clear();
  Delay(ReconnectWaitMs);
  try {
    ComPort->OpenPort();
  } catch (const Exception&) {
    // Not shown (the port may simply be missing), but not shown as open either.
    Bar->SetSimpleText(port + "  " + Lang_MsgDisconnected);
    return;
  }
  Delay(ReconnectWaitMs);
  Engine().SendPassword(password, false);
  Bar->SetSimpleText(port);
}

void TFormKV69::HandleDeviceChange(TMessage& message) {
  if (message.WParam != DBT_DEVICEREMOVECOMPLETE) return;
  if (AskYes(Lang_MsgPortChanged)) RestartDeviceProgram();
}

// ---- Profiles ----

std::string TFormKV69::ProposedProfileName(int modelIndex, TDateTime now) {
  return ModelWordOf(modelIndex) + "_" + FormatDateTime("yymmddhhnnss", now) + ".ini";
}

namespace {

// A file error must reach the user, who would otherwise take the profile
// for written or loaded.
void ShowProfileError(const std::exception& e) {
  TFormKV69::DeviceMessageBox(e.what(), MB_ICONERROR | MB_OK);
}

}  // namespace

void TFormKV69::N_OpenClick(TObject*) {
  std::string fileName;
  if (!ChooseProfileFile(false, fileName)) return;
  Delay(ProfileLoadWaitMs);
  try {
    TMasterSettings settings = ControlsToSettings();
    // A file that is not there raises before anything changes.
    TIniSeting().LoadProfile(fileName, settings);
    SettingsToControls(settings);
    settingShown_ = true;
  } catch (const std::exception& e) {
    ShowProfileError(e);
  }
}

void TFormKV69::N_SaveClick(TObject*) {
  std::string fileName = ProposedProfileName(ModelIndex, Now());
  if (!ChooseProfileFile(true, fileName)) return;
  try {
    TIniSeting().SaveProfile(fileName, ControlsToSettings());
  } catch (const std::exception& e) {
    ShowProfileError(e);
  }
}

}  // namespace kv
