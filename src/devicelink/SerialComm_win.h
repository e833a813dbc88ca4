// The serial port component: one port opened overlapped, a write thread fed
// with thread messages, a read thread that posts what arrives to a hidden
// notification window, and events raised from that window on the GUI thread.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "base/Classes.h"
#include "base/SysUtils.h"
#include "devicelink/CommPort.h"

namespace kv {

// Messages of the component: thread message to the write thread (1025) and
// window messages from the threads to the notification window (1025-1029).
constexpr UINT WM_COMMDATA = WM_USER + 1;
constexpr UINT WM_COMMERROR = WM_USER + 2;
constexpr UINT WM_COMMHANGUP = WM_USER + 3;
constexpr UINT WM_MODEMSTATE = WM_USER + 4;
constexpr UINT WM_SENDEMPTY = WM_USER + 5;

enum class TDtrControl { DtrEnable, DtrDisable, DtrHandshake };
enum class TRtsControl { RtsEnable, RtsDisable, RtsHandshake, RtsTransmissionAvailable };
// Data bits = ordinal + 5.
enum class TByteSize { _5, _6, _7, _8, _9 };
// Ordinals are the system's parity and stop-bit codes.
enum class TParity { None, Odd, Even, Mark, Space };
enum class TStopBits { _1, _1_5, _2 };

using TNotifyEvent = std::function<void(TObject* Sender)>;
// Buffer holds BufferLength bytes and a terminating 0; it is freed when the
// handler returns, so handlers copy it.
using TReceiveDataEvent =
    std::function<void(TObject* Sender, const void* Buffer, std::uint16_t BufferLength)>;
using TSendDataEvent = std::function<void(TObject* Sender, const std::string& Buffer)>;
using TReceiveErrorEvent = std::function<void(TObject* Sender, std::uint32_t EventMask)>;
using TModemStateChangeEvent = std::function<void(TObject* Sender, std::uint32_t ModemEvent)>;
using TSendDataEmptyEvent = TNotifyEvent;
// The length of the frame that `count` received bytes begin, as far as they
// tell: 0 when they begin none, more than count while bytes are missing.
using TFrameLengthFunc = std::function<std::size_t(const std::uint8_t* bytes, std::size_t count)>;

class ECommsError : public Exception {
  using Exception::Exception;
};

// 1 selects the English texts of ECommsError, 0 the Chinese ones. Shared by
// every TComm; each constructor sets it to 1.
extern std::uint8_t CommMessageLanguage;

// How the component starts its threads. The defaults are the system's own
// calls; a test replaces them (GUI thread only) to make a start fail or come
// late.
struct TCommThreadCalls {
  // A suspended thread that will run entry(param); null when none was made.
  HANDLE (*CreateSuspendedThread)(LPTHREAD_START_ROUTINE entry, LPVOID param, LPDWORD threadId);
  // Waits up to ms for a started thread's signal, as WaitForSingleObject.
  DWORD (*WaitForStart)(HANDLE started, DWORD ms);
};
TCommThreadCalls& CommThreadCalls();
const TCommThreadCalls& RealCommThreadCalls();

class TCommThread;
class TReadThread;
class TWriteThread;

class TComm : public TComponent, public ICommPort {
 public:
  TReceiveDataEvent OnReceiveData;
  TSendDataEvent OnSendData;
  TReceiveErrorEvent OnReceiveError;
  TModemStateChangeEvent OnModemStateChange;
  TNotifyEvent OnRequestHangup;
  TSendDataEmptyEvent OnSendDataEmpty;

  explicit TComm(TComponent* Owner);
  ~TComm() override;

  // What the component and its threads both touch. A thread that would not
  // end when the port closed holds its own reference, so it never writes
  // into a freed component.
  struct TThreadShared {
    std::atomic<std::uint8_t> SendEmpty{1};
    std::atomic<DWORD> ReadInterval{100};  // what the read thread sees of ReadIntervalTimeout
    std::atomic<std::uint32_t> Writes{0};  // requests queued so far
  };

  // Raises ECommsError; the state before the call survives a failure.
  void OpenPort();
  // Ends both threads and closes the port; nothing when closed. Chunks posted
  // before it may still arrive afterwards.
  void ClosePort();
  // Queues a copy of the first length bytes (taken as 16 bits); true when queued.
  bool WriteData(const void* buffer, std::uint32_t length) override;
  bool Connected() const override { return connected_; }

  // Properties. "Live" ones re-apply the line state (or the time-outs) at once
  // when changed while the port is open; Parity waits for the next apply.
  const std::string& Password() const { return password_; }
  void SetPassword(const std::string& v) { password_ = v; }
  const std::string& CommName() const { return commName_; }
  void SetCommName(const std::string& v) { commName_ = v; }
  DWORD BaudRate() const { return baudRate_; }
  void SetBaudRate(DWORD v) { SetLive(baudRate_, v); }
  bool ParityCheck() const { return parityCheck_; }
  void SetParityCheck(bool v) { SetLive(parityCheck_, v); }
  bool Outx_CtsFlow() const { return outxCtsFlow_; }
  void SetOutx_CtsFlow(bool v) { SetLive(outxCtsFlow_, v); }
  bool Outx_DsrFlow() const { return outxDsrFlow_; }
  void SetOutx_DsrFlow(bool v) { SetLive(outxDsrFlow_, v); }
  TDtrControl DtrControl() const { return dtrControl_; }
  void SetDtrControl(TDtrControl v) { SetLive(dtrControl_, v); }
  bool DsrSensitivity() const { return dsrSensitivity_; }
  void SetDsrSensitivity(bool v) { SetLive(dsrSensitivity_, v); }
  bool TxContinueOnXoff() const { return txContinueOnXoff_; }
  void SetTxContinueOnXoff(bool v) { SetLive(txContinueOnXoff_, v); }
  bool Outx_XonXoffFlow() const { return outxXonXoffFlow_; }
  void SetOutx_XonXoffFlow(bool v) { SetLive(outxXonXoffFlow_, v); }
  bool Inx_XonXoffFlow() const { return inxXonXoffFlow_; }
  void SetInx_XonXoffFlow(bool v) { SetLive(inxXonXoffFlow_, v); }
  bool ReplaceWhenParityError() const { return replaceWhenParityError_; }
  void SetReplaceWhenParityError(bool v) { SetLive(replaceWhenParityError_, v); }
  bool IgnoreNullChar() const { return ignoreNullChar_; }
  void SetIgnoreNullChar(bool v) { SetLive(ignoreNullChar_, v); }
  TRtsControl RtsControl() const { return rtsControl_; }
  void SetRtsControl(TRtsControl v) { SetLive(rtsControl_, v); }
  WORD XonLimit() const { return xonLimit_; }
  void SetXonLimit(WORD v) { SetLive(xonLimit_, v); }
  WORD XoffLimit() const { return xoffLimit_; }
  void SetXoffLimit(WORD v) { SetLive(xoffLimit_, v); }
  TByteSize ByteSize() const { return byteSize_; }
  void SetByteSize(TByteSize v) { SetLive(byteSize_, v); }
  TParity Parity() const { return parity_; }
  void SetParity(TParity v) { parity_ = v; }
  TStopBits StopBits() const { return stopBits_; }
  void SetStopBits(TStopBits v) { SetLive(stopBits_, v); }
  char XonChar() const { return xonChar_; }
  void SetXonChar(char v) { SetLive(xonChar_, v); }
  char XoffChar() const { return xoffChar_; }
  void SetXoffChar(char v) { SetLive(xoffChar_, v); }
  char ReplacedChar() const { return replacedChar_; }
  void SetReplacedChar(char v) { SetLive(replacedChar_, v); }
  // With a frame length, a frame is handed on as soon as its last byte is
  // in, and frames that come together go on one by one; the read interval
  // still ends anything else, a frame whose bytes stopped short included.
  // Taken by the next OpenPort.
  void SetFrameLength(TFrameLengthFunc v) { frameLength_ = std::move(v); }
  DWORD ReadIntervalTimeout() const { return readIntervalTimeout_; }
  void SetReadIntervalTimeout(DWORD v);
  DWORD ReadTotalTimeoutMultiplier() const { return readTotalTimeoutMultiplier_; }
  void SetReadTotalTimeoutMultiplier(DWORD v) { SetLiveTimeout(readTotalTimeoutMultiplier_, v); }
  DWORD ReadTotalTimeoutConstant() const { return readTotalTimeoutConstant_; }
  void SetReadTotalTimeoutConstant(DWORD v) { SetLiveTimeout(readTotalTimeoutConstant_, v); }
  DWORD WriteTotalTimeoutMultiplier() const { return writeTotalTimeoutMultiplier_; }
  void SetWriteTotalTimeoutMultiplier(DWORD v) { SetLiveTimeout(writeTotalTimeoutMultiplier_, v); }
  DWORD WriteTotalTimeoutConstant() const { return writeTotalTimeoutConstant_; }
  void SetWriteTotalTimeoutConstant(DWORD v) { SetLiveTimeout(writeTotalTimeoutConstant_, v); }

  // Receive and write buffers handed between threads and not yet freed; a
  // closed and destroyed component leaves this where it found it.
  static long BuffersInFlight();

 protected:
  void BeforeDestruction() override;

 private:
  template <class T>
  void SetLive(T& field, T value) {
    if (field == value) return;
    field = value;
    if (port_ != nullptr) ApplyCommState();
  }
  void SetLiveTimeout(DWORD& field, DWORD value) {
    if (field == value) return;
    field = value;
    if (port_ != nullptr) ApplyCommTimeouts();
  }

  bool ApplyCommState();
  bool ApplyCommTimeouts();
  bool StartThreads();
  bool AwaitThreadEnd(TCommThread& thread);
  void StopReadThread();
  void StopWriteThread();
  void DispatchNotify(UINT msg, WPARAM wParam, LPARAM lParam);
  void DestroyNotifyWindow();
  [[noreturn]] void RaiseCommsError(int which) const;

  std::unique_ptr<TReadThread> readThread_;
  std::unique_ptr<TWriteThread> writeThread_;
  HANDLE port_ = nullptr;
  HANDLE closeEvent_ = nullptr;
  HWND notifyWnd_ = nullptr;
  std::shared_ptr<TThreadShared> shared_ = std::make_shared<TThreadShared>();
  bool connected_ = false;
  // Set when a thread would not end: its port handle and close event are then
  // left open for it rather than closed under it.
  bool abandoned_ = false;

  TFrameLengthFunc frameLength_;
  std::string password_;
  std::string commName_ = "COM2";
  DWORD baudRate_ = 9600;
  bool parityCheck_ = false;
  bool outxCtsFlow_ = false;
  bool outxDsrFlow_ = false;
  TDtrControl dtrControl_ = TDtrControl::DtrEnable;
  bool dsrSensitivity_ = false;
  bool txContinueOnXoff_ = true;
  bool outxXonXoffFlow_ = true;
  bool inxXonXoffFlow_ = true;
  bool replaceWhenParityError_ = false;
  bool ignoreNullChar_ = false;
  TRtsControl rtsControl_ = TRtsControl::RtsEnable;
  WORD xonLimit_ = 500;
  WORD xoffLimit_ = 500;
  TByteSize byteSize_ = TByteSize::_8;
  TParity parity_ = TParity::None;
  TStopBits stopBits_ = TStopBits::_1;
  char xonChar_ = 17;
  char xoffChar_ = 19;
  char replacedChar_ = 0;
  DWORD readIntervalTimeout_ = 100;
  DWORD readTotalTimeoutMultiplier_ = 0;
  DWORD readTotalTimeoutConstant_ = 0;
  DWORD writeTotalTimeoutMultiplier_ = 0;
  DWORD writeTotalTimeoutConstant_ = 0;
};

}  // namespace kv
