#pragma once
// Message logs in the manner of Wine's user32 message tests.
//
// TMessageLog: code under test appends text entries, a test compares them
// with an expected list (SequenceIs).
// (The recorder's functions live in the kv_test_support library; the log
// alone needs none.)
// TMessageRecorder: installed below or above the code under test (a raw
// subclass of any window, a hook on a class-library control's WindowProc,
// which Perform runs too), it records each message with its parameters; a
// test compares the record with a table of TMsgEntry, and may make the
// recorded window answer chosen toolkit commands (a spy parent).

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "classlib/Controls.h"
#include "skin/core/sMessages.h"
#include "support/Pump.h"

namespace kvtest {

using kv::pump::Pump;
using kv::pump::PumpUntil;
using kv::pump::PumpUntilIdle;

struct TMessageLog {
  std::vector<std::string> entries;
  void Add(const std::string& e) { entries.push_back(e); }
  void Clear() { entries.clear(); }
};

inline ::testing::AssertionResult SequenceIs(const TMessageLog& log,
                                             const std::vector<std::string>& expected) {
  const size_t n = std::max(log.entries.size(), expected.size());
  for (size_t i = 0; i < n; ++i) {
    const std::string got = i < log.entries.size() ? log.entries[i] : "(end)";
    const std::string want = i < expected.size() ? expected[i] : "(end)";
    if (got != want) {
      std::string all;
      for (const auto& e : log.entries) all += "\n  " + e;
      return ::testing::AssertionFailure()
             << "step " << i << ": expected " << want << ", got " << got << "; whole log:" << all;
    }
  }
  return ::testing::AssertionSuccess();
}

// Flags of an expected message: which parameters must match, and whether it
// may be missing. With `cmd` (see Command) the entry is SM_ALPHACMD and its
// wParam the command code, compared with the recorded wParam's high word.
enum TMsgFlags : unsigned {
  sent = 0,
  wparam = 1,
  lparam = 2,
  optional = 4,
  cmd = 8,
};

struct TMsgEntry {
  UINT message;
  unsigned flags = sent;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

// An expected toolkit command: SM_ALPHACMD with this code.
inline TMsgEntry Command(WORD code, unsigned flags = sent, LPARAM lParam = 0) {
  return {kv::SM_ALPHACMD, flags | cmd, code, lParam};
}

struct TRecordedMsg {
  HWND wnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

// "WM_PAINT", "SM_ALPHACMD 7 (cmdIsSkinned)" or "0x1234".
std::string MessageName(UINT message, WPARAM wParam = 0);

// A recorder may outlive the control it is attached to: a freed control lets
// the hook go after WM_NCDESTROY. Raw subclasses go with their window.
class TMessageRecorder {
 public:
  using TFilter = std::function<bool(UINT message)>;
  using TAnswer = std::function<LRESULT(WPARAM, LPARAM)>;

  TMessageRecorder();
  ~TMessageRecorder();
  TMessageRecorder(const TMessageRecorder&) = delete;
  TMessageRecorder& operator=(const TMessageRecorder&) = delete;

  // Records what reaches the window's procedure, whichever code sits below.
  void AttachWindow(HWND wnd);
  // Records what enters the control's chain (Win32 messages and Perform) on
  // top of any hooks already installed.
  void AttachControl(kv::TControl* control);
  void DetachAll();

  // Messages for which the filter returns false are not recorded. The
  // default drops the noise Wine and the pump add (WM_GETICON, WM_TIMER, ...).
  TFilter Filter;
  std::vector<TRecordedMsg> Messages;
  void Clear() { Messages.clear(); }
  int Count(UINT message) const;
  int CountCommand(WORD code) const;

  // SM_ALPHACMD with this code is answered here and goes no further down.
  void Answer(WORD code, LRESULT result);
  void Answer(WORD code, TAnswer answer);

 private:
  struct TControlHook;
  static LRESULT CALLBACK SubclassProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                       DWORD_PTR data);
  bool Take(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
  std::vector<HWND> windows_;
  std::vector<std::unique_ptr<TControlHook>> controls_;
  std::map<WORD, TAnswer> answers_;
};

// Compares what was recorded with an expected table, as Wine's ok_sequence
// does; the failure names the step, both messages and the values.
::testing::AssertionResult SequenceIs(const TMessageRecorder& recorder,
                                      const std::vector<TMsgEntry>& expected);

}  // namespace kvtest
