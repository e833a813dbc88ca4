// The main window's request engine: one request outstanding, its reply
// dispatched by the pending tag, the time-out and the block loops' waits;
// and the configuration read and write, the engine's two block loops.
#include <windows.h>

#include <algorithm>
#include <climits>

#include "app/BasicAnimate_Frm_win.h"
#include "app/ConstLang_Unt.h"
#include "app/Funs_Unt.h"
#include "app/KV69_Frm_win.h"
#include "app/Message_Frm_win.h"
#include "app/SoftDiDoTh_Unt.h"
#include "app/Variable_Unt.h"
#include "base/DateTime.h"
#include "devicelink/BasicProtocol_Unt.h"
#include "devicelink/PasswordProtocol_Unt.h"
#include "devicelink/SendHandle_Unt.h"
#include "devicelink/SyncTimeProtocol_Unt.h"
#include "devicelink/VersionProtocol_Unt.h"

namespace kv {

namespace {

constexpr unsigned TimerInterval = 1000;
// Ticks of tmrOut without a reply before a request counts as unanswered: two
// to three seconds, as the timer runs freely.
constexpr int TimeoutTickLimit = 3;
constexpr int ConnectWaitMs = 200;
constexpr int TimeoutSettleMs = 100;
constexpr int CloseWaitMs = 100;
constexpr int ReadFollowUpWaitMs = 200;
constexpr int BlockWaitStepMs = 10;

constexpr int BlockSize = static_cast<int>(TBasicProtocol::BlockSize);
constexpr int MasterReadBlocks = 14;
// The write sends one block past the image: 256 bytes of 0xFF at address
// 3584. It writes nothing the configuration uses, but it is the sequence the
// device's firmware has always been given, so it stays.
constexpr int MasterWriteTrailingFillBlocks = 1;
constexpr std::uint8_t BlockFill = 0xFF;

// The device answers a block request with the request's address, so a reply
// tells which block it carries; a late reply to a resent request is then
// never taken for the next block.
constexpr bool BlockRepliesCarryAddress = true;

// The version reply's data: model 8, version 8, IMEI 16, signal 1.
constexpr std::size_t VersionDataBytes = 33;
constexpr int ClearHistoryDone = 100;

std::string DataErrorText() { return LanguageFlag == LanguageChinese ? "数据异常" : "Data Error"; }

std::string ModelUnknownText() {
  return LanguageFlag == LanguageChinese ? "设备型号未知，请先连接设备并读取型号。"
                                         : "The device model is not known: connect to the "
                                           "device first.";
}

int LastIndex(const std::vector<std::uint8_t>& chunk) { return static_cast<int>(chunk.size()) - 1; }

// The address field of a frame (bytes 2 to 5, most significant first).
std::uint32_t FrameAddress(const std::vector<std::uint8_t>& frame) {
  std::uint32_t address = 0;
  for (std::size_t i = 2; i < 6 && i < frame.size(); ++i) address = (address << 8) | frame[i];
  return address;
}

}  // namespace

// ---- Creation, showing, closing ----

void TFormKV69::CreateEngine() {
  ComPort = Create<TComm>(this);
  ComPort->SetName("ComPort");
  SetUpDevicePort(*ComPort);
  ComPort->OnReceiveData = [this](TObject* sender, const void* buffer, std::uint16_t length) {
    ComPortReceiveData(sender, buffer, length);
  };
  ComPort->OnReceiveError = [this](TObject* sender, std::uint32_t mask) {
    ComPortReceiveError(sender, mask);
  };

  tmrOut = Create<TTimer>(this);
  tmrOut->SetName("tmrOut");
  tmrOut->SetInterval(TimerInterval);
  tmrOut->OnTimer = [this](TObject* sender) { tmrOutTimer(sender); };
  tmrOut->SetEnabled(true);

  ApplicationEvents = Create<TApplicationEvents>(this);
  ApplicationEvents->SetName("ApplicationEvents");
  ApplicationEvents->OnMessage = [this](MSG& msg, bool& handled) {
    ApplicationEventsMessage(msg, handled);
  };
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
  SetPending(TAG_PASSWORD);
  PasswordAtShow = true;
  SendHandle.SendPassword(*ComPort, LoginPassword);
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
  if (message.Msg == WM_DEVICECHANGE) HandleDeviceChange(message);
  TForm::WndProc(message);
}

// ---- Pending tag and time-out ----

int TFormKV69::PendingTag() const {
  return tmrOut != nullptr ? static_cast<int>(tmrOut->Tag()) : 0;
}

void TFormKV69::SetPending(int tag) {
  tmrOut->SetTag(0);
  TimeoutTicks = 0;
  tmrOut->SetTag(tag);
}

bool TFormKV69::Connected() const { return ComPort != nullptr && ComPort->Connected(); }

void TFormKV69::tmrOutTimer(TObject*) {
  const int tag = PendingTag();
  // Clearing history reports progress for as long as it takes.
  if (tag == 0 || tag == TAG_CLEARHISTORY) return;
  if (++TimeoutTicks < TimeoutTickLimit) return;
  SetPending(0);
  // The tag travels with the message: the retry rule needs it.
  PostMessageW(Application->Handle(), WM_REPLYTIMEOUT, static_cast<WPARAM>(tag), 0);
}

void TFormKV69::ApplicationEventsMessage(MSG& Msg, bool&) {
  if (Msg.hwnd != Application->Handle() || Msg.message != WM_REPLYTIMEOUT) return;
  const int tag = static_cast<int>(Msg.wParam);
  RetryStep(tag);
  Delay(TimeoutSettleMs);
  BusyFlag = false;
  SetPending(0);
  if (tag == TAG_PASSWORD) PasswordAtShow = false;
  if (tag == TAG_VERSION) RetryVersionRequest();
}

void TFormKV69::RetryStep(int tag) {
  // The loop's own advance then lands on the same block again.
  if (tag == TAG_MASTERREAD) --MasterReadStep;
  if (tag == TAG_MASTERWRITE) --MasterWriteStep;
  if (tag == TAG_HISTORYBLOCK) --HistoryReadStep;
}

void TFormKV69::ApplicationEventsException(TObject*, const std::exception&) {
  // While the main window lives, a failed operation simply stops.
}

void TFormKV69::ComPortReceiveError(TObject*, std::uint32_t) {
  // A line error (noise, an overrun) spoils at most the reply in flight,
  // which the time-out deals with; it is no reason to lose the user's edits.
}

int TFormKV69::ModelIndexOf(std::string_view text) {
  if (text == "KV41") return 0;
  if (text == "KV42") return 1;
  if (text == "KV43") return 2;
  return 0;
}

// ---- Block loops ----

bool TFormKV69::SendBlockAndWait(int tag, const std::function<void()>& send) {
  BusyFlag = true;
  SetPending(tag);
  send();
  while (BusyFlag) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, BlockWaitStepMs, QS_ALLINPUT);
    if (CancelFlag) return false;
    Application->ProcessMessages();
    if (Application->Terminated()) return false;
  }
  return !CancelFlag;
}

void TFormKV69::ShowProgressWindow(int maxValue) {
  CloseProgressWindow();
  CancelFlag = false;
  FormBasicAnimate = Create<TFormBasicAnimate>(this);
  FormBasicAnimate->OnCancel = [this](bool windowGoing) { ProgressCancelled(windowGoing); };
  FormBasicAnimate->sg->SetMinValue(0);
  FormBasicAnimate->sg->SetMaxValue(std::max(0, maxValue));
  FormBasicAnimate->sg->SetProgress(0);
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
  CancelFlag = true;
  if (windowGoing || FormBasicAnimate == nullptr) return;
  // No loop owns the clear-history window: Stop ends that operation here.
  // The window is inside its own click, so it goes once that is done.
  if (PendingTag() == TAG_CLEARHISTORY) {
    SetPending(0);
    TFormBasicAnimate* window = FormBasicAnimate;
    FormBasicAnimate = nullptr;
    window->OnCancel = nullptr;
    window->Hide();
    window->Release();
  }
}

// ---- Receiving ----

void TFormKV69::ComPortReceiveData(TObject*, const void* Buffer, std::uint16_t BufferLength) {
  const auto* bytes = static_cast<const std::uint8_t*>(Buffer);
  RecvBuffer.assign(bytes, bytes + BufferLength);
  if (PendingTag() == TAG_CLEARHISTORY) {
    ShowClearHistoryProgress();
    return;
  }
  const int ticks = TimeoutTicks;
  LastReplyTag = PendingTag();
  SetPending(0);
  switch (LastReplyTag) {
    case TAG_RESET:
      // Whatever the device says to the text command is its answer.
      ShowMessageForm(RecvBuffer.empty() ? DataErrorText() : Lang_MsgSuccess, "");
      break;
    case TAG_DOSTATUS:
      ShowDoStatusReply();
      break;
    case TAG_THVALUES:
      ShowThValuesReply();
      break;
    case TAG_HISTORYRECORD:
      ShowHistoryRecordReply();
      break;
    case TAG_MASTERREAD:
      AcceptMasterBlock(ticks);
      break;
    case TAG_MASTERWRITE:
      AcceptMasterWriteAck(ticks);
      break;
    case TAG_HISTORYBLOCK:
      AppendHistoryBlockReply();
      BusyFlag = false;
      break;
    case TAG_PASSWORD:
      HandlePasswordReply();
      break;
    case TAG_SETTIME:
      ShowSetTimeReply();
      break;
    case TAG_VERSION:
      ShowVersionReply();
      break;
    case TAG_READTIME:
      ShowReadTimeReply();
      break;
    default:
      break;
  }
}

void TFormKV69::ShowClearHistoryProgress() {
  // Each run of digits is one progress value; a chunk may hold several
  // ("45" and "100" together), and the last one counts.
  int value = -1;
  bool inRun = false;
  for (std::uint8_t byte : RecvBuffer) {
    if (byte < '0' || byte > '9') {
      inRun = false;
      continue;
    }
    if (!inRun) value = 0;
    inRun = true;
    // A run too long for a number is simply done.
    value = value > (INT_MAX - 9) / 10 ? INT_MAX : value * 10 + (byte - '0');
  }
  if (value < 0 || FormBasicAnimate == nullptr) return;
  SetProgress(value);
  if (value >= ClearHistoryDone) CloseProgressWindow();
}

void TFormKV69::HandlePasswordReply() {
  const bool atShow = PasswordAtShow;
  PasswordAtShow = false;
  TPasswordProtocol protocol;
  if (protocol.IsPasswordAccepted(RecvBuffer, LastIndex(RecvBuffer))) {
    VersionRetries = 0;
    SendVersionRequest();
    return;
  }
  if (atShow) {
    Application->MessageBox(Lang_MsgPasswordError, Application->Title(), MB_ICONERROR | MB_OK);
    ExitProcess(0);
  }
  // A later password (Reconnect) was refused: the program goes on without
  // the device, as after Disconnect.
  ComPort->ClosePort();
  Bar->SetSimpleText(LoginComPort + "  " + Lang_MsgDisconnected);
  ShowMessageForm(Lang_MsgPasswordError, Application->Title());
}

void TFormKV69::SendVersionRequest() {
  SetPending(TAG_VERSION);
  SendHandle.SendReadVersion(*ComPort);
}

void TFormKV69::RetryVersionRequest() {
  if (VersionRetries >= VersionRequestRetries || !Connected()) return;
  ++VersionRetries;
  SendVersionRequest();
}

void TFormKV69::ShowVersionReply() {
  TVersionProtocol protocol;
  const int last = LastIndex(RecvBuffer);
  TDataPack data;
  if (protocol.CheckFrame(RecvBuffer, last)) protocol.GetData(RecvBuffer, last, data);
  // A garbled reply would leave the model unknown, and the channel rows
  // unbuilt, for the whole run: ask again instead.
  if (data.size() < VersionDataBytes) {
    RetryVersionRequest();
    return;
  }
  const std::string model = protocol.GetModelText(RecvBuffer, last);
  lbl_ModelNo->SetCaption(Lang_LblModel + model);
  lbl_Verstion->SetCaption(Lang_LblVersion + protocol.GetVersionText(RecvBuffer, last));
  lbl_IMEI->SetCaption(Lang_LblImei + protocol.GetImeiText(RecvBuffer, last));
  lbl_SignalValue->SetCaption(Lang_LblSignal + protocol.GetSignalText(RecvBuffer, last));
  TListRows rows;
  BuildThRowsForModel(model, rows);
  if (!rows.empty()) SetListViewRows(lvTh, rows);
  ModelIndex = ModelIndexOf(model);
  // The grid's channel columns for the model; the language switch below puts
  // the current language's texts into them.
  SetHistoryChannelHeader(ModelIndex, LanguageChinese);
  if (LanguageFlag == LanguageChinese)
    N_CNClick(this);
  else
    N_ENClick(this);
}

void TFormKV69::ShowSetTimeReply() {
  TBasicProtocol protocol;
  if (!protocol.CheckFrame(RecvBuffer, LastIndex(RecvBuffer))) {
    ShowMessageForm(DataErrorText(), Application->Title());
    return;
  }
  ShowMessageForm(Lang_MsgSuccess, Application->Title());
}

void TFormKV69::ShowReadTimeReply() {
  TSyncTimeProtocol protocol;
  const int last = LastIndex(RecvBuffer);
  TimeReplyData.clear();
  if (protocol.CheckFrame(RecvBuffer, last)) protocol.GetData(RecvBuffer, last, TimeReplyData);
  TDateTime date, time;
  const bool valid =
      TimeReplyData.size() >= 6 &&
      TryEncodeDate(TimeReplyData[0] + 2000, TimeReplyData[1], TimeReplyData[2], date) &&
      TryEncodeTime(TimeReplyData[3], TimeReplyData[4], TimeReplyData[5], 0, time);
  if (!valid) {
    ShowMessageForm(DataErrorText(), Application->Title());
    return;
  }
  dtpYMD->SetDate(date);
  dtpHMS->SetTime(time);
  ShowMessageForm(Lang_MsgSuccess, Application->Title());
}

void TFormKV69::RejectBlockReply(int tag) {
  // Handled exactly like a time-out: the step goes back and the block is sent
  // again once the message comes round.
  PostMessageW(Application->Handle(), WM_REPLYTIMEOUT, static_cast<WPARAM>(tag), 0);
}

bool TFormKV69::KeepWaitingForBlock(int tag, int ticks, int step) {
  if (!BlockRepliesCarryAddress) return false;
  if (FrameAddress(RecvBuffer) == static_cast<std::uint32_t>(step) * BlockSize) return false;
  // A late copy of an earlier block's reply: ours is still on its way, and
  // its time-out keeps counting.
  tmrOut->SetTag(tag);
  TimeoutTicks = ticks;
  return true;
}

void TFormKV69::AcceptMasterBlock(int ticks) {
  TBasicProtocol protocol;
  const int last = LastIndex(RecvBuffer);
  TDataPack data;
  if (protocol.CheckFrame(RecvBuffer, last)) protocol.GetData(RecvBuffer, last, data);
  const std::uint32_t address = FrameAddress(RecvBuffer);
  const bool addressUsable = !BlockRepliesCarryAddress ||
                             (address % BlockSize == 0 && address / BlockSize < MasterReadBlocks);
  if (data.size() != TBasicProtocol::BlockSize || !addressUsable) {
    RejectBlockReply(TAG_MASTERREAD);
    return;
  }
  BlockData = data;
  const int block =
      BlockRepliesCarryAddress ? static_cast<int>(address / BlockSize) : MasterReadStep;
  // Every block has its own place in the image: a late or repeated reply
  // can only write the same bytes again.
  MasterChunks.resize(static_cast<std::size_t>(MasterReadBlocks) * BlockSize, BlockFill);
  std::copy(data.begin(), data.end(),
            MasterChunks.begin() + static_cast<std::ptrdiff_t>(block) * BlockSize);
  if (KeepWaitingForBlock(TAG_MASTERREAD, ticks, MasterReadStep)) return;
  BusyFlag = false;
}

void TFormKV69::AcceptMasterWriteAck(int ticks) {
  // Any answer acknowledges the block, unless it plainly names another one.
  TBasicProtocol protocol;
  if (protocol.CheckFrame(RecvBuffer, LastIndex(RecvBuffer)) &&
      KeepWaitingForBlock(TAG_MASTERWRITE, ticks, MasterWriteStep))
    return;
  BusyFlag = false;
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
  } catch (...) {
    // Half an image is worse than none: show what was there before.
    SettingsToControls(before);
    throw;
  }
}

void TFormKV69::Pop_ReadMaster_SetingClick(TObject*) {
  if (!Connected()) return;
  ShowProgressWindow(MasterReadBlocks);
  bool complete = false;
  try {
    MasterReadStep = 0;
    MasterChunks.assign(static_cast<std::size_t>(MasterReadBlocks) * BlockSize, BlockFill);
    while (MasterReadStep != MasterReadBlocks) {
      if (CancelFlag) break;
      const int block = MasterReadStep;
      const bool answered = SendBlockAndWait(TAG_MASTERREAD, [&] {
        SendHandle.SendReadMaster(*ComPort, block);
        SetProgress(block + 1);
      });
      if (!answered) break;
      ++MasterReadStep;
    }
    complete = MasterReadStep == MasterReadBlocks && !CancelFlag;
    if (complete) {
      // The controls change only now, when the whole image is here: a
      // stopped or failed read leaves the window as it was.
      const std::vector<std::uint8_t> image(MasterChunks.begin(),
                                            MasterChunks.begin() + MasterImageSize);
      ShowMasterImage(image);
      Delay(ReadFollowUpWaitMs);
      Pop_Do_ReadCurrentValueClick(this);
      Delay(ReadFollowUpWaitMs);
      Pop_Th_ReadCurrentValueClick(this);
    }
  } catch (...) {
    CloseProgressWindow();
    throw;
  }
  CloseProgressWindow();
}

void TFormKV69::Pop_WirteMasterClick(TObject*) {
  if (!Connected()) return;
  // Without the model the channel rows have no slots, and the write would
  // erase every channel setting of the device.
  if (ModelIndex < 0 || lvTh->Items()->Count() == 0) {
    ShowMessageForm(ModelUnknownText(), Application->Title());
    return;
  }
  btn_PC_TimeClick(this);
  std::vector<std::uint8_t> image;
  try {
    image = ControlsToMasterImage(ControlsToSettings(), ModelIndex);
  } catch (const EInputError& e) {
    ShowMessageForm(InputErrorText(LanguageFlag) + ": " + e.Field(), "");
    return;
  }
  const int imageBlocks = static_cast<int>(image.size()) / BlockSize + 1;
  const int lastBlock = static_cast<int>(image.size() + BlockSize - 1) / BlockSize - 1 +
                        MasterWriteTrailingFillBlocks;
  ShowProgressWindow(imageBlocks);
  try {
    TBasicProtocol protocol;
    for (MasterWriteStep = 0; MasterWriteStep <= lastBlock; ++MasterWriteStep) {
      if (CancelFlag) break;
      const int block = MasterWriteStep;
      SetProgress(block + 1);
      TDataPack slice, data;
      protocol.GetBlock(image, block, BlockSize, slice);
      protocol.PadBlock(slice, BlockFill, data);
      if (!SendBlockAndWait(TAG_MASTERWRITE,
                            [&] { SendHandle.SendWriteMaster(*ComPort, block, data); }))
        break;
    }
  } catch (...) {
    CloseProgressWindow();
    throw;
  }
  CloseProgressWindow();
}

}  // namespace kv
