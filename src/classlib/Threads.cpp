#include "classlib/Threads.h"

#include <memory>

#include "classlib/Controls.h"
#include "classlib/HiddenWindow.h"

namespace kv {

namespace {

constexpr UINT kSyncMessage = WM_APP + 0x3F0;

struct TSyncCall {
  const std::function<void()>* fn;
  std::exception_ptr error;
};

// Made by the first thread object, in the GUI thread.
HWND SyncWindow() {
  static HWND wnd = CreateHiddenWindow(kSyncMessage, kSyncMessage, [](UINT, WPARAM, LPARAM lParam) {
    auto* call = reinterpret_cast<TSyncCall*>(lParam);
    try {
      (*call->fn)();
    } catch (...) {
      call->error = std::current_exception();  // raised again in the worker
    }
  });
  return wnd;
}

DWORD g_guiThread = 0;

}  // namespace

TThread::TThread() {
  SyncWindow();
  if (g_guiThread == 0) g_guiThread = GetCurrentThreadId();
}

TThread::~TThread() {
  if (handle_ == nullptr) return;
  if (GetCurrentThreadId() != threadId_) {
    Terminate();
    WaitFor();
  }
  CloseHandle(handle_);
}

void TThread::Start() {
  if (handle_ != nullptr) throw EInvalidOperation("Thread already started");
  handle_ = CreateThread(nullptr, 0, Entry, this, 0, &threadId_);
  if (handle_ == nullptr) throw EOutOfResources("Thread creation error");
}

int TThread::WaitFor() {
  if (handle_ == nullptr || GetCurrentThreadId() == threadId_) return returnValue_;
  for (;;) {
    const DWORD r = MsgWaitForMultipleObjects(1, &handle_, FALSE, INFINITE, QS_SENDMESSAGE);
    if (r != WAIT_OBJECT_0 + 1) break;
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // handles the sent messages
  }
  return returnValue_;
}

void TThread::Synchronize(const std::function<void()>& fn) {
  if (GetCurrentThreadId() == g_guiThread || g_guiThread == 0) {
    fn();
    return;
  }
  TSyncCall call{&fn, nullptr};
  SendMessageW(SyncWindow(), kSyncMessage, 0, reinterpret_cast<LPARAM>(&call));
  if (call.error) std::rethrow_exception(call.error);
}

DWORD WINAPI TThread::Entry(void* self) {
  auto* thread = static_cast<TThread*>(self);
  try {
    thread->Execute();
  } catch (...) {
    thread->fatal_ = std::current_exception();
  }
  // The end is told in the GUI thread, where the application handles the
  // exception that ended the thread, if any.
  try {
    Synchronize([thread] {
      try {
        if (thread->fatal_) std::rethrow_exception(thread->fatal_);
      } catch (...) {
        HandleEntryException(thread);
      }
      try {
        if (thread->OnTerminate) thread->OnTerminate(thread);
      } catch (...) {
        HandleEntryException(thread);
      }
    });
  } catch (...) {
  }
  thread->finished_ = true;
  const DWORD result = static_cast<DWORD>(thread->returnValue_);
  if (thread->FreeOnTerminate) std::unique_ptr<TThread> owned(thread);
  return result;
}

}  // namespace kv
