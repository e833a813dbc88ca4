#pragma once
// A thread object: Execute runs in a new thread; Synchronize runs code in
// the GUI thread while the worker waits. Exceptions never leave the thread
// entry: an exception from Execute is kept (FatalException) and handed to
// the application in the GUI thread.

#include <windows.h>

#include <atomic>
#include <exception>
#include <functional>

#include "base/Classes.h"
#include "classlib/Graphics.h"

namespace kv {

class TThread : public TObject {
 public:
  // The thread starts with Start(): Execute is virtual and must not run
  // before the derived object is complete.
  TThread();
  // Asks the thread to end and waits for it.
  ~TThread() override;

  // Runs in the GUI thread after Execute ends.
  TNotifyEvent OnTerminate;
  // The object frees itself when the thread ends (then never touch it after Start).
  bool FreeOnTerminate = false;

  void Start();
  void Terminate() { terminated_ = true; }
  bool Terminated() const { return terminated_; }
  bool Finished() const { return finished_; }
  // Waits for the end, handling messages sent to this thread meanwhile so
  // that a worker's Synchronize cannot dead-lock; returns ReturnValue.
  int WaitFor();
  int ReturnValue() const { return returnValue_; }
  std::exception_ptr FatalException() const { return fatal_; }
  DWORD ThreadID() const { return threadId_; }

  // Runs fn in the GUI thread and waits; its exception is raised here.
  static void Synchronize(const std::function<void()>& fn);

 protected:
  virtual void Execute() = 0;
  void SetReturnValue(int value) { returnValue_ = value; }

 private:
  static DWORD WINAPI Entry(void* self);

  HANDLE handle_ = nullptr;
  DWORD threadId_ = 0;
  std::atomic<bool> terminated_{false};
  std::atomic<bool> finished_{false};
  int returnValue_ = 0;
  std::exception_ptr fatal_;
};

}  // namespace kv
