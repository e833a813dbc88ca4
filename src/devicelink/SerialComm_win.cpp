#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <vector>

#include "base/TextCodec.h"
#include "classlib/Forms.h"
#include "classlib/HiddenWindow.h"
#include "devicelink/SerialComm_win.h"

namespace kv {

std::uint8_t CommMessageLanguage = 1;

namespace {

constexpr DWORD kQueueSize = 4096;
constexpr DWORD kStopWait = 10000;
constexpr DWORD kCancelWait = 2000;
constexpr DWORD kStartWait = 5000;

std::atomic<long> g_buffersInFlight{0};

// Message buffers: n bytes and a terminating zero, from the local heap, owned
// by whoever holds the message that carries them.
BYTE* AllocBuffer(DWORD n) {
  auto* p = static_cast<BYTE*>(LocalAlloc(LPTR, n + 1));
  if (p != nullptr) ++g_buffersInFlight;
  return p;
}

void FreeBuffer(void* p) {
  if (p == nullptr) return;
  LocalFree(p);
  --g_buffersInFlight;
}

bool IsSignalled(HANDLE event) { return WaitForSingleObject(event, 0) == WAIT_OBJECT_0; }

void CloseIfOpen(HANDLE& h) {
  if (h != nullptr) CloseHandle(h);
  h = nullptr;
}

// Waits for an overlapped operation that was cancelled, so the system no
// longer writes into its record or buffer once we go on. False when it did
// not end: the record must then outlive us.
bool AwaitCancelled(HANDLE port, OVERLAPPED& ov) {
  if (WaitForSingleObject(ov.hEvent, kCancelWait) != WAIT_OBJECT_0) return false;
  DWORD n = 0;
  GetOverlappedResult(port, &ov, &n, FALSE);
  return true;
}

HANDLE CreateSuspendedThread(LPTHREAD_START_ROUTINE entry, LPVOID param, LPDWORD threadId) {
  return CreateThread(nullptr, 0, entry, param, CREATE_SUSPENDED, threadId);
}

DWORD WaitForStart(HANDLE started, DWORD ms) { return WaitForSingleObject(started, ms); }

constexpr TCommThreadCalls kRealCommThreadCalls{
    .CreateSuspendedThread = &CreateSuspendedThread,
    .WaitForStart = &WaitForStart,
};

}  // namespace

TCommThreadCalls& CommThreadCalls() {
  static TCommThreadCalls calls = kRealCommThreadCalls;
  return calls;
}

const TCommThreadCalls& RealCommThreadCalls() { return kRealCommThreadCalls; }

// --- threads --------------------------------------------------------------------

class TCommThread {
 public:
  TCommThread(HANDLE port, HANDLE closeEvent, HWND notifyWnd)
      : port_(port), closeEvent_(closeEvent), notifyWnd_(notifyWnd) {}
  virtual ~TCommThread() { CloseIfOpen(thread_); }
  TCommThread(const TCommThread&) = delete;
  TCommThread& operator=(const TCommThread&) = delete;

  bool CreateSuspended(int priority) {
    thread_ = CommThreadCalls().CreateSuspendedThread(&Entry, this, &threadId_);
    if (thread_ == nullptr) return false;
    SetThreadPriority(thread_, priority);
    return true;
  }
  // Also lets go a thread that was never started (it then ends at once, the
  // close event being signalled); does nothing to a running one.
  void Resume() { ResumeThread(thread_); }
  bool WaitFor(DWORD ms) { return WaitForSingleObject(thread_, ms) == WAIT_OBJECT_0; }
  DWORD ThreadID() const { return threadId_; }

  std::atomic<bool> Terminated{false};
  // False when an overlapped operation of the thread may still complete into
  // the object: then it is never freed.
  std::atomic<bool> IoSettled{true};

 protected:
  virtual void Execute() = 0;
  bool Closing() const { return Terminated || IsSignalled(closeEvent_); }
  bool Post(UINT msg, WPARAM wParam, LPARAM lParam) {
    return PostMessageW(notifyWnd_, msg, wParam, lParam) != 0;
  }
  void PostHangup() { Post(WM_COMMHANGUP, 0, 0); }

  HANDLE port_;
  HANDLE closeEvent_;
  HWND notifyWnd_;

 private:
  static DWORD WINAPI Entry(LPVOID self) {
    try {
      // A thread let go only to end, after its open failed, does nothing.
      if (!static_cast<TCommThread*>(self)->Closing()) static_cast<TCommThread*>(self)->Execute();
    } catch (...) {
      // Nothing may leave a thread entry; the component learns of it by 1027.
      static_cast<TCommThread*>(self)->PostHangup();
    }
    return 0;
  }

  HANDLE thread_ = nullptr;
  DWORD threadId_ = 0;
};

class TReadThread : public TCommThread {
 public:
  TReadThread(HANDLE port, HANDLE closeEvent, HWND notifyWnd,
              std::shared_ptr<TComm::TThreadShared> shared, TFrameLengthFunc frameLength)
      : TCommThread(port, closeEvent, notifyWnd),
        shared_(std::move(shared)),
        frameLength_(std::move(frameLength)) {
    chunk_.reserve(kQueueSize);
  }

 protected:
  void Execute() override;

 private:
  enum class Step { Ok, LineEventsLost, Finish };

  Step SetupCommEvent();
  Step SetupReadEvent();
  bool HandleCommEvent(DWORD mask);
  DWORD ReadSize();
  DWORD QuietWait() const;
  bool TakeReadBytes(DWORD n);
  std::size_t FrameLength() const;
  bool HoldsPartFrame() const;
  bool HandFramesOn(std::uint32_t writes);
  bool PostChunk(const BYTE* bytes, DWORD n);
  bool HandleReadData();
  void Finish();

  // Shared with the component, and kept alive by whichever ends last.
  std::shared_ptr<TComm::TThreadShared> shared_;
  TFrameLengthFunc frameLength_;
  // Requests queued when the gathered bytes began. A frame begun before the
  // latest request answers an earlier one, which its user has done with
  // (answered, or given up on by its time-out): it is not handed on.
  std::uint32_t chunkWrites_ = 0;
  OVERLAPPED commOv_{};
  OVERLAPPED readOv_{};
  bool commPending_ = false;
  bool readPending_ = false;
  bool lineEvents_ = false;
  int emptyReads_ = 0;
  DWORD commMask_ = 0;
  BYTE readBuf_[kQueueSize];
  std::vector<BYTE> chunk_;  // bytes of the reply being gathered
};

class TWriteThread : public TCommThread {
 public:
  TWriteThread(HANDLE port, HANDLE closeEvent, HWND notifyWnd,
               std::shared_ptr<TComm::TThreadShared> shared)
      : TCommThread(port, closeEvent, notifyWnd),
        shared_(std::move(shared)),
        queueReady_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  // The thread signals the event whenever it starts, so it lives as long as
  // the thread object, never shorter than the thread.
  ~TWriteThread() override { CloseIfOpen(queueReady_); }

  // Signalled once the thread's queue exists; null when it could not be made.
  HANDLE QueueReady() const { return queueReady_; }

  // Hands a buffer to the thread; false once the thread has stopped taking
  // work (the caller still owns the buffer then).
  bool PostData(BYTE* data, DWORD n) {
    std::lock_guard<std::mutex> lock(queueLock_);
    if (queueClosed_) return false;
    return PostThreadMessageW(ThreadID(), WM_COMMDATA, n, reinterpret_cast<LPARAM>(data)) != 0;
  }

 protected:
  void Execute() override;

 private:
  bool WriteBuffer(const BYTE* data, DWORD n);
  void DrainQueue();

  std::shared_ptr<TComm::TThreadShared> shared_;
  HANDLE queueReady_;
  OVERLAPPED ov_{};
  // A buffer posted after the last look at the queue would die with the
  // thread's queue; closing the queue and posting exclude each other.
  std::mutex queueLock_;
  bool queueClosed_ = false;
};

// Line events are a convenience: a port whose driver cannot wait for them (a
// pseudo-terminal under Wine, some USB adapters) still delivers data, so losing
// them leaves the thread reading instead of ending it.
void TReadThread::Execute() {
  commOv_.hEvent = CreateEventW(nullptr, TRUE, TRUE, nullptr);
  readOv_.hEvent = CreateEventW(nullptr, TRUE, TRUE, nullptr);
  if (commOv_.hEvent == nullptr || readOv_.hEvent == nullptr) {
    PostHangup();
    Finish();
    return;
  }
  lineEvents_ = SetCommMask(port_, EV_ERR | EV_RING | EV_RLSD) != 0;
  if (!lineEvents_ && GetLastError() == ERROR_INVALID_HANDLE) return Finish();
  if (lineEvents_) {
    const Step s = SetupCommEvent();
    if (s == Step::Finish) return Finish();
    lineEvents_ = s == Step::Ok;
  }
  if (SetupReadEvent() != Step::Ok) return Finish();

  for (;;) {
    HANDLE waits[3] = {closeEvent_, readOv_.hEvent, commOv_.hEvent};
    const DWORD count = lineEvents_ && commPending_ ? 3 : 2;
    const DWORD timeout = chunk_.empty() ? INFINITE : QuietWait();
    const DWORD w = WaitForMultipleObjects(count, waits, FALSE, timeout);
    if (w == WAIT_OBJECT_0) break;
    if (w == WAIT_OBJECT_0 + 1) {
      readPending_ = false;
      DWORD n = 0;
      if (!GetOverlappedResult(port_, &readOv_, &n, FALSE)) {
        const DWORD e = GetLastError();
        if (e == ERROR_INVALID_HANDLE || Closing()) break;
        // A total time-out with no data (ERROR_TIMEOUT under Wine) or a purge
        // is an empty read, not a broken port.
        if (e != ERROR_TIMEOUT && e != ERROR_OPERATION_ABORTED) {
          PostHangup();
          break;
        }
        n = 0;
      }
      if (!TakeReadBytes(n) || SetupReadEvent() != Step::Ok) break;
      continue;
    }
    if (w == WAIT_OBJECT_0 + 2) {
      commPending_ = false;
      DWORD n = 0;
      if (!GetOverlappedResult(port_, &commOv_, &n, FALSE)) {
        if (GetLastError() == ERROR_INVALID_HANDLE) break;
        lineEvents_ = false;
        continue;
      }
      if (!HandleCommEvent(commMask_)) {
        lineEvents_ = false;
        continue;
      }
      const Step s = SetupCommEvent();
      if (s == Step::Finish) break;
      lineEvents_ = s == Step::Ok;
      continue;
    }
    if (w == WAIT_TIMEOUT) {
      if (!HandleReadData()) break;
      continue;
    }
    PostHangup();
    break;
  }
  Finish();
}

TReadThread::Step TReadThread::SetupCommEvent() {
  for (;;) {
    if (Closing()) return Step::Finish;
    commMask_ = 0;
    if (WaitCommEvent(port_, &commMask_, &commOv_)) {
      if (!HandleCommEvent(commMask_)) return Step::LineEventsLost;
      continue;
    }
    const DWORD e = GetLastError();
    if (e == ERROR_IO_PENDING) {
      commPending_ = true;
      return Step::Ok;
    }
    if (e == ERROR_INVALID_HANDLE) return Step::Finish;
    return Step::LineEventsLost;
  }
}

TReadThread::Step TReadThread::SetupReadEvent() {
  for (;;) {
    if (Closing()) return Step::Finish;
    DWORD n = 0;
    if (ReadFile(port_, readBuf_, ReadSize(), &n, &readOv_)) {
      if (!TakeReadBytes(n)) return Step::Finish;
      continue;
    }
    const DWORD e = GetLastError();
    if (e == ERROR_IO_PENDING) {
      readPending_ = true;
      return Step::Ok;
    }
    if (e == ERROR_TIMEOUT) {
      if (!TakeReadBytes(0)) return Step::Finish;
      continue;
    }
    if (e != ERROR_INVALID_HANDLE) PostHangup();
    return Step::Finish;
  }
}

// One device reply must reach the window as one chunk, whether or not the
// driver keeps to the read interval (Wine and some USB adapters split reads).
// So the thread times the interval itself: each read asks only for the bytes
// the driver already holds (at least one), which it returns at once, and the
// chunk goes out when no byte has come for the read interval, or when 4096
// bytes are held. A driver-side interval would add its wait to ours. A frame
// is no exception: one whose bytes stopped (cut short, or its length field
// damaged) must not swallow the replies after it.
DWORD TReadThread::ReadSize() {
  const DWORD room = kQueueSize - static_cast<DWORD>(chunk_.size());
  DWORD errors = 0;
  COMSTAT stat{};
  if (!ClearCommError(port_, &errors, &stat)) return 1;
  // The call also clears the line errors; report them as the line-event
  // path would have.
  if (errors != 0) Post(WM_COMMERROR, 0, static_cast<LPARAM>(errors));
  return std::clamp<DWORD>(stat.cbInQue, 1, room);
}

// How long the line must stay quiet before a gathered chunk goes out. As with
// the driver's own setting, 0 means no interval (fill the buffer) and MAXDWORD
// means take what has come.
DWORD TReadThread::QuietWait() const {
  const DWORD interval = shared_->ReadInterval.load();
  if (interval == 0) return INFINITE;
  if (interval == MAXDWORD) return 0;
  return interval;
}

// Adds what one read brought to the reply being gathered.
bool TReadThread::TakeReadBytes(DWORD n) {
  if (n == 0) {
    // Empty reads only come from total time-outs; don't spin on a driver
    // that returns them at once.
    if (++emptyReads_ > 1) Sleep(10);
    return true;
  }
  emptyReads_ = 0;
  const std::uint32_t writes = shared_->Writes.load();
  if (chunk_.empty()) chunkWrites_ = writes;
  chunk_.insert(chunk_.end(), readBuf_, readBuf_ + n);
  if (!HandFramesOn(writes)) return false;
  if (chunk_.size() >= kQueueSize) return HandleReadData();
  return true;
}

// The length of the frame the gathered bytes begin; 0 when they begin none
// or claim more than a reply can be.
std::size_t TReadThread::FrameLength() const {
  if (!frameLength_ || chunk_.empty()) return 0;
  const std::size_t n = frameLength_(chunk_.data(), chunk_.size());
  return n <= kQueueSize ? n : 0;
}

bool TReadThread::HoldsPartFrame() const { return FrameLength() > chunk_.size(); }

// Whole frames go out at their last byte, one message each, in order; a
// copy the device sent after its reply would otherwise be taken for the
// answer to the request that followed.
bool TReadThread::HandFramesOn(std::uint32_t writes) {
  for (;;) {
    const std::size_t n = FrameLength();
    if (n == 0 || n > chunk_.size()) return true;
    if (chunkWrites_ == shared_->Writes.load() &&
        !PostChunk(chunk_.data(), static_cast<DWORD>(n)))
      return false;
    chunk_.erase(chunk_.begin(), chunk_.begin() + static_cast<std::ptrdiff_t>(n));
    chunkWrites_ = writes;
  }
}

bool TReadThread::HandleReadData() {
  if (chunk_.empty()) return true;
  // The part of a frame whose request was followed by another answers no
  // one still waiting.
  const bool stale = HoldsPartFrame() && chunkWrites_ != shared_->Writes.load();
  const bool posted = stale || PostChunk(chunk_.data(), static_cast<DWORD>(chunk_.size()));
  chunk_.clear();
  return posted;
}

bool TReadThread::PostChunk(const BYTE* bytes, DWORD n) {
  BYTE* buffer = AllocBuffer(n);
  if (buffer == nullptr) {
    chunk_.clear();
    PostHangup();
    return false;
  }
  std::memcpy(buffer, bytes, n);
  buffer[n] = 0;
  if (!Post(WM_COMMDATA, n, reinterpret_cast<LPARAM>(buffer))) {
    FreeBuffer(buffer);
    PostHangup();
    return false;
  }
  return true;
}

bool TReadThread::HandleCommEvent(DWORD mask) {
  if ((mask & (EV_ERR | EV_RLSD | EV_RING)) == 0) {
    PostHangup();
    return false;
  }
  bool posted = false;
  bool failed = false;
  if (mask & EV_ERR) {
    DWORD errors = 0;
    COMSTAT stat{};
    if (!ClearCommError(port_, &errors, &stat)) {
      if (GetLastError() != ERROR_INVALID_HANDLE) PostHangup();
      return false;
    }
    // The read path's ClearCommError may have taken (and reported) the
    // errors already: what is left to say is nothing.
    if (errors != 0)
      (Post(WM_COMMERROR, 0, static_cast<LPARAM>(errors)) ? posted : failed) = true;
    else
      posted = true;
  }
  DWORD modem = 0;
  if (mask & EV_RLSD) modem = 8;
  if (mask & EV_RING) modem += 4;
  if (modem != 0) (Post(WM_MODEMSTATE, 0, static_cast<LPARAM>(modem)) ? posted : failed) = true;
  return posted && !failed;
}

void TReadThread::Finish() {
  PurgeComm(port_, PURGE_RXABORT | PURGE_RXCLEAR);
  // Clearing the mask is how a pending line-event wait is ended (Wine's wait
  // ignores CancelIo and would write the event mask into freed memory).
  if (commPending_) SetCommMask(port_, 0);
  if (readPending_) CancelIo(port_);
  bool settled = true;
  if (commPending_) settled = AwaitCancelled(port_, commOv_) && settled;
  if (readPending_) settled = AwaitCancelled(port_, readOv_) && settled;
  commPending_ = readPending_ = false;
  IoSettled = settled;
  if (!settled) return;  // the events stay with the records
  CloseIfOpen(commOv_.hEvent);
  CloseIfOpen(readOv_.hEvent);
}

void TWriteThread::Execute() {
  bool error = false;
  ov_.hEvent = CreateEventW(nullptr, TRUE, TRUE, nullptr);
  MSG msg;
  // Make the thread's queue now, so the first WriteData after OpenPort finds it.
  PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
  SetEvent(queueReady_);
  if (ov_.hEvent == nullptr) {
    PostHangup();
  } else {
    bool reportIdle = true;
    for (;;) {
      if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.hwnd == nullptr && msg.message == WM_COMMDATA) {
          auto* data = reinterpret_cast<BYTE*>(msg.lParam);
          const bool ok = !Closing() && WriteBuffer(data, LOWORD(msg.wParam));
          FreeBuffer(data);
          if (!ok) break;
          reportIdle = true;
          continue;
        }
        if (Closing()) break;
        if (msg.hwnd != nullptr) {
          TranslateMessage(&msg);
          DispatchMessageW(&msg);
        }
        continue;
      }
      shared_->SendEmpty.store(1);
      if (reportIdle && !Post(WM_SENDEMPTY, 0, 0)) {
        error = true;
        break;
      }
      const DWORD w = MsgWaitForMultipleObjects(1, &closeEvent_, FALSE, INFINITE, QS_ALLINPUT);
      if (w == WAIT_OBJECT_0) break;
      if (w != WAIT_OBJECT_0 + 1) {
        error = true;
        break;
      }
      reportIdle = false;
    }
  }
  if (error) PostHangup();
  PurgeComm(port_, PURGE_TXABORT | PURGE_TXCLEAR);
  shared_->SendEmpty.store(1);
  {
    std::lock_guard<std::mutex> lock(queueLock_);
    queueClosed_ = true;
    DrainQueue();
  }
  if (IoSettled) CloseIfOpen(ov_.hEvent);
}

// Buffers still queued when the thread stops are freed here, not leaked.
void TWriteThread::DrainQueue() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, WM_COMMDATA, WM_COMMDATA, PM_REMOVE)) {
    if (msg.hwnd == nullptr) FreeBuffer(reinterpret_cast<void*>(msg.lParam));
  }
}

bool TWriteThread::WriteBuffer(const BYTE* data, DWORD n) {
  DWORD offset = 0;
  while (offset < n) {
    if (Closing()) return false;
    DWORD written = 0;
    if (!WriteFile(port_, data + offset, n - offset, &written, &ov_)) {
      const DWORD e = GetLastError();
      if (e == ERROR_INVALID_HANDLE) return false;
      if (e != ERROR_IO_PENDING) {
        PostHangup();
        return false;
      }
      HANDLE waits[2] = {closeEvent_, ov_.hEvent};
      const DWORD w = WaitForMultipleObjects(2, waits, FALSE, INFINITE);
      if (w == WAIT_OBJECT_0) {
        CancelIo(port_);
        IoSettled = AwaitCancelled(port_, ov_);
        return false;
      }
      if (w != WAIT_OBJECT_0 + 1) {
        PostHangup();
        return false;
      }
      if (!GetOverlappedResult(port_, &ov_, &written, TRUE)) {
        if (GetLastError() != ERROR_INVALID_HANDLE) PostHangup();
        return false;
      }
    }
    if (written == 0) {  // a driver that takes nothing would keep us here for ever
      PostHangup();
      return false;
    }
    offset += written;
  }
  return true;
}

// --- notification window ------------------------------------------------------

void TComm::DispatchNotify(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_COMMDATA: {
      // Freed after the handler, also when it raises or is not assigned.
      struct Release {
        void* p;
        ~Release() { FreeBuffer(p); }
      } buffer{reinterpret_cast<void*>(lParam)};
      if (OnReceiveData) OnReceiveData(this, buffer.p, LOWORD(wParam));
      break;
    }
    case WM_COMMERROR:
      if (OnReceiveError) OnReceiveError(this, static_cast<std::uint32_t>(lParam));
      break;
    case WM_COMMHANGUP:
      if (OnRequestHangup) OnRequestHangup(this);
      break;
    case WM_MODEMSTATE:
      if (OnModemStateChange) OnModemStateChange(this, static_cast<std::uint32_t>(lParam));
      break;
    case WM_SENDEMPTY:
      if (OnSendDataEmpty) OnSendDataEmpty(this);
      break;
  }
}

// --- component ----------------------------------------------------------------

TComm::TComm(TComponent* Owner) : TComponent(Owner) {
  CommMessageLanguage = 1;
  notifyWnd_ = CreateHiddenWindow(
      WM_COMMDATA, WM_SENDEMPTY,
      [this](UINT msg, WPARAM wParam, LPARAM lParam) { DispatchNotify(msg, wParam, lParam); },
      this);
}

TComm::~TComm() {
  ClosePort();
  DestroyNotifyWindow();
}

// Freeing an open component ends its threads first: they refer to the
// window and the port that go away with it.
void TComm::BeforeDestruction() {
  ClosePort();
  DestroyNotifyWindow();
  TComponent::BeforeDestruction();
}

void TComm::DestroyNotifyWindow() {
  if (notifyWnd_ == nullptr) return;
  // Chunks still queued for the window would otherwise never be freed.
  MSG msg;
  while (PeekMessageW(&msg, notifyWnd_, WM_COMMDATA, WM_COMMDATA, PM_REMOVE)) {
    FreeBuffer(reinterpret_cast<void*>(msg.lParam));
  }
  DestroyWindow(notifyWnd_);
  notifyWnd_ = nullptr;
}

long TComm::BuffersInFlight() { return g_buffersInFlight.load(); }

void TComm::RaiseCommsError(int which) const {
  static const char* const kEnglish[] = {
      "This serial port already opened",
      "Error opening serial port",
      "Cannot setup comm buffer",
      "Unable to create event",
  };
  static const char* const kChinese[] = {
      "此串口已经打开",
      "打开串口出错\r\n此串口不存在或被占用",
      "初始化缓冲区出错",
      "无法创建事件",
  };
  throw ECommsError(CommMessageLanguage == 0 ? kChinese[which] : kEnglish[which]);
}

void TComm::OpenPort() {
  enum { kAlreadyOpen, kOpenFailed, kBufferFailed, kEventFailed };
  if (port_ != nullptr) RaiseCommsError(kAlreadyOpen);

  const std::u16string name = Utf8ToUtf16("\\\\.\\" + commName_);
  HANDLE h =
      CreateFileW(reinterpret_cast<const wchar_t*>(name.c_str()), GENERIC_READ | GENERIC_WRITE, 0,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED, nullptr);
  if (h == INVALID_HANDLE_VALUE) RaiseCommsError(kOpenFailed);
  if (!SetupComm(h, kQueueSize, kQueueSize)) {
    CloseHandle(h);
    RaiseCommsError(kBufferFailed);
  }
  port_ = h;
  // Whatever fails from here on, raising or not, is undone by closing: the
  // threads made so far end and every handle goes.
  struct UndoOpen {
    TComm* comm;
    ~UndoOpen() {
      if (comm != nullptr) comm->ClosePort();
    }
  } undo{this};
  PurgeComm(port_, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
  shared_->SendEmpty = 1;
  ApplyCommTimeouts();
  ApplyCommState();

  closeEvent_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  // A thread that cannot start has no text of its own: it is reported as
  // the event made in the same step.
  if (closeEvent_ == nullptr || !StartThreads()) RaiseCommsError(kEventFailed);
  undo.comm = nullptr;
  connected_ = true;
}

// Both threads made suspended, then started read first; true once the write
// thread's queue exists, so that a WriteData right after opening finds it.
bool TComm::StartThreads() {
  auto read = std::make_unique<TReadThread>(port_, closeEvent_, notifyWnd_, shared_, frameLength_);
  if (!read->CreateSuspended(THREAD_PRIORITY_HIGHEST)) return false;
  readThread_ = std::move(read);
  auto write = std::make_unique<TWriteThread>(port_, closeEvent_, notifyWnd_, shared_);
  if (write->QueueReady() == nullptr || !write->CreateSuspended(THREAD_PRIORITY_ABOVE_NORMAL))
    return false;
  writeThread_ = std::move(write);
  readThread_->Resume();
  writeThread_->Resume();
  return CommThreadCalls().WaitForStart(writeThread_->QueueReady(), kStartWait) == WAIT_OBJECT_0;
}

// Waits for a thread the close event was signalled to; false when it must
// not be freed (it would not end, or its overlapped I/O may still complete
// into it).
bool TComm::AwaitThreadEnd(TCommThread& thread) {
  thread.Resume();
  if (!thread.WaitFor(kStopWait)) {
    thread.Terminated = true;
    CancelIoEx(port_, nullptr);
    if (!thread.WaitFor(kCancelWait)) {
      // Still running: it keeps the port and the close event.
      abandoned_ = true;
      return false;
    }
  }
  return thread.IoSettled;
}

void TComm::StopReadThread() {
  if (!readThread_) return;
  SetEvent(closeEvent_);
  PurgeComm(port_, PURGE_RXABORT | PURGE_RXCLEAR);
  if (!AwaitThreadEnd(*readThread_)) static_cast<void>(readThread_.release());
  readThread_.reset();
}

void TComm::StopWriteThread() {
  if (!writeThread_) return;
  SetEvent(closeEvent_);
  PurgeComm(port_, PURGE_TXABORT | PURGE_TXCLEAR);
  shared_->SendEmpty = 1;
  if (!AwaitThreadEnd(*writeThread_)) static_cast<void>(writeThread_.release());
  writeThread_.reset();
}

void TComm::ClosePort() {
  if (port_ == nullptr) return;
  StopReadThread();
  StopWriteThread();
  if (abandoned_) {
    // A thread that would not end still holds these.
    closeEvent_ = nullptr;
    port_ = nullptr;
    abandoned_ = false;
  } else {
    CloseIfOpen(closeEvent_);
    CloseIfOpen(port_);
  }
  connected_ = false;
}

bool TComm::WriteData(const void* buffer, std::uint32_t length) {
  const DWORD n = length & 0xFFFF;
  if (!writeThread_ || n == 0 || buffer == nullptr) return false;
  BYTE* copy = AllocBuffer(n);
  if (copy == nullptr) return false;
  std::memcpy(copy, buffer, n);
  if (OnSendData) {
    std::string text;
    text.reserve(n * 3);
    char cell[4];
    for (DWORD i = 0; i < n; ++i) {
      std::snprintf(cell, sizeof cell, "%02X ", copy[i]);
      text += cell;
    }
    try {
      OnSendData(this, text);
    } catch (...) {
      FreeBuffer(copy);
      throw;
    }
  }
  ++shared_->Writes;
  if (!writeThread_->PostData(copy, n)) {
    FreeBuffer(copy);
    return false;
  }
  shared_->SendEmpty = 0;
  return true;
}

void TComm::SetReadIntervalTimeout(DWORD v) {
  shared_->ReadInterval = v;
  SetLiveTimeout(readIntervalTimeout_, v);
}

bool TComm::ApplyCommTimeouts() {
  shared_->ReadInterval = readIntervalTimeout_;
  COMMTIMEOUTS t{};
  t.ReadIntervalTimeout = readIntervalTimeout_;
  t.ReadTotalTimeoutMultiplier = readTotalTimeoutMultiplier_;
  t.ReadTotalTimeoutConstant = readTotalTimeoutConstant_;
  t.WriteTotalTimeoutMultiplier = writeTotalTimeoutMultiplier_;
  t.WriteTotalTimeoutConstant = writeTotalTimeoutConstant_;
  return SetCommTimeouts(port_, &t) != 0;
}

bool TComm::ApplyCommState() {
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  if (!GetCommState(port_, &dcb)) return false;
  dcb.BaudRate = baudRate_;
  dcb.fBinary = TRUE;
  dcb.fParity = parityCheck_;
  dcb.fOutxCtsFlow = outxCtsFlow_;
  dcb.fOutxDsrFlow = outxDsrFlow_;
  switch (dtrControl_) {
    case TDtrControl::DtrEnable:
      dcb.fDtrControl = DTR_CONTROL_ENABLE;
      break;
    case TDtrControl::DtrHandshake:
      dcb.fDtrControl = DTR_CONTROL_HANDSHAKE;
      break;
    case TDtrControl::DtrDisable:
      dcb.fDtrControl = DTR_CONTROL_DISABLE;
      break;
  }
  dcb.fDsrSensitivity = dsrSensitivity_;
  dcb.fTXContinueOnXoff = txContinueOnXoff_;
  dcb.fOutX = outxXonXoffFlow_;
  dcb.fInX = inxXonXoffFlow_;
  dcb.fErrorChar = replaceWhenParityError_;
  dcb.fNull = ignoreNullChar_;
  switch (rtsControl_) {
    case TRtsControl::RtsEnable:
      dcb.fRtsControl = RTS_CONTROL_ENABLE;
      break;
    case TRtsControl::RtsHandshake:
      dcb.fRtsControl = RTS_CONTROL_HANDSHAKE;
      break;
    case TRtsControl::RtsTransmissionAvailable:
      dcb.fRtsControl = RTS_CONTROL_TOGGLE;
      break;
    case TRtsControl::RtsDisable:
      dcb.fRtsControl = RTS_CONTROL_DISABLE;
      break;
  }
  dcb.fAbortOnError = FALSE;
  dcb.XonLim = xonLimit_;
  dcb.XoffLim = xoffLimit_;
  dcb.ByteSize = static_cast<BYTE>(static_cast<int>(byteSize_) + 5);
  dcb.Parity = static_cast<BYTE>(parity_);
  dcb.StopBits = static_cast<BYTE>(stopBits_);
  dcb.XonChar = xonChar_;
  dcb.XoffChar = xoffChar_;
  dcb.ErrorChar = replacedChar_;
  return SetCommState(port_, &dcb) != 0;
}

}  // namespace kv
