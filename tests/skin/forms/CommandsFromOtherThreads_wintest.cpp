// The toolkit's commands whose LParam is an address (a record to fill, a
// control) are taken only from the toolkit's own thread: every kind of
// window that handles them answers one sent or posted by another thread
// with 0 and touches nothing, a bad address included, and still answers
// its own thread.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>

#include "DialogTemplate.h"
#include "SkinnedFormFixture.h"
#include "classlib/ExtCtrls.h"
#include "classlib/StdCtrls.h"
#include "skin/adapters/acMainWnd_win.h"
#include "skin/controls/sBitBtn_win.h"
#include "skin/controls/sPageControl_win.h"
#include "skin/controls/sPanel_win.h"
#include "skin/core/acBgInfo_win.h"
#include "skin/core/sVclUtils_win.h"
#include "skin/forms/acDialogWnd_win.h"
#include "skin/forms/acDials_win.h"
#include "skin/forms/sFrameAdapter_win.h"
#include "support/Pump.h"

namespace kv {
namespace {

struct TSendJob {
  HWND wnd;
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
  bool post;
  LRESULT result;
};

DWORD WINAPI RunSendJob(void* data) {
  auto& job = *static_cast<TSendJob*>(data);
  job.result = job.post ? (PostMessageW(job.wnd, job.msg, job.wParam, job.lParam) ? 0 : -1)
                        : SendMessageW(job.wnd, job.msg, job.wParam, job.lParam);
  return 0;
}

// Sent (or posted) by a thread of its own while this one pumps; the answer.
LRESULT FromOtherThread(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, bool post = false) {
  TSendJob job{wnd, msg, wParam, lParam, post, -1};
  HANDLE thread = CreateThread(nullptr, 0, RunSendJob, &job, 0, nullptr);
  EXPECT_TRUE(pump::PumpUntil([&] { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; }));
  CloseHandle(thread);
  pump::PumpUntilIdle();
  return job.result;
}

LRESULT CommandFromOtherThread(HWND wnd, unsigned code, LPARAM lParam, bool post) {
  return FromOtherThread(wnd, SM_ALPHACMD, CommandWParam(code), lParam, post);
}

// In the first page, which is never mapped: a handler that reads or writes
// there ends the program.
constexpr LPARAM kBadAddress = 0x10;

// A panel that does not tell the form of windows made in it: no one adapts
// a memo made there unasked.
class TQuietPanel : public TPanel {
 public:
  using TPanel::TPanel;

 protected:
  void CreateParams(TCreateParams& params) override {
    TPanel::CreateParams(params);
    params.ExStyle |= WS_EX_NOPARENTNOTIFY;
  }
};

class ForeignCommands : public ::testing::Test, public kvtest::TSkinnedFormFixture {
 protected:
  void SetUp() override {
    form->SetBounds(40, 40, 520, 400);
    panel = Add<TsPanel>(10, 10, 100, 60);
    button = Add<TsBitBtn>(10, 80, 100, 30);
    pages = Add<TsPageControl>(120, 10, 160, 120);
    sheet = Create<TsTabSheet>(form);
    sheet->SetPageControl(pages);
    memo = Add<TMemo>(10, 150, 100, 60);
    frame = Add<TFrame>(300, 10, 120, 100);
    quiet = Add<TQuietPanel>(300, 150, 120, 100);
    Create<TsFrameAdapter>(frame);
    Provide();
    Show();
    // The dialog gets its adapter here, not from the dialog hook.
    DialogAdapterFactory = nullptr;
    dialog = std::make_unique<kvtest::TTestDialog>(WS_POPUP | WS_CAPTION | WS_VISIBLE, 0, L"D");
    hookedDialog = NewDialogWnd(dialog->Handle(), manager.get());
    kvtest::PumpUntilIdle();
  }
  void TearDown() override {
    hookedDialog.reset();
    dialog.reset();
  }
  template <class T>
  T* Add(int x, int y, int w, int h) {
    auto* c = Create<T>(form);
    c->SetParent(form);
    c->SetBounds(x, y, w, h);
    return c;
  }

  TsPanel* panel = nullptr;
  TsBitBtn* button = nullptr;
  TsPageControl* pages = nullptr;
  TsTabSheet* sheet = nullptr;
  TMemo* memo = nullptr;
  TFrame* frame = nullptr;
  TQuietPanel* quiet = nullptr;
  std::unique_ptr<kvtest::TTestDialog> dialog;
  std::unique_ptr<TacHookedWindow> hookedDialog;
};

TEST_F(ForeignCommands, AreAnsweredZeroAndTouchNothingWhileTheOwnThreadIsServed) {
  ASSERT_NE(AdapterOfWindow(memo->Handle()), nullptr) << "the memo has its window adapter";
  ASSERT_NE(DialogWndOf(hookedDialog.get()), nullptr);
  const struct {
    const char* family;
    HWND wnd;
    unsigned code;
  } cases[] = {
      {"skinned control", panel->Handle(), cmdGetBackground},
      {"skinned control, common answer", button->Handle(), cmdGetBackground},
      {"tab sheet", sheet->Handle(), cmdGetBackground},
      {"window adapter", memo->Handle(), cmdGetBackground},
      {"frame adapter", frame->Handle(), cmdGetBackground},
      {"dialog adapter", dialog->Handle(), cmdGetBackground},
      {"provider", form->Handle(), cmdGetBackground},
      {"provider", form->Handle(), cmdAdaptControl},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.family);
    // A real argument, and whether the window acted on it.
    TsBgRequest request;
    TMemo* late = nullptr;
    std::function<bool()> used;
    LPARAM argument = 0;
    if (c.code == cmdGetBackground) {
      argument = reinterpret_cast<LPARAM>(&request);
      used = [&] { return request.BgType != btNoAnswer; };
    } else {
      late = Create<TMemo>(form);
      late->SetParent(quiet);
      late->SetBounds(4, 4, 80, 40);
      kvtest::PumpUntilIdle();
      ASSERT_EQ(AdapterOfWindow(late->Handle()), nullptr);
      argument = reinterpret_cast<LPARAM>(late);
      used = [&] { return AdapterOfWindow(late->Handle()) != nullptr; };
    }
    EXPECT_EQ(CommandFromOtherThread(c.wnd, c.code, argument, false), 0);
    EXPECT_FALSE(used()) << "another thread's command was carried out";
    EXPECT_EQ(CommandFromOtherThread(c.wnd, c.code, kBadAddress, false), 0);
    EXPECT_EQ(CommandFromOtherThread(c.wnd, c.code, kBadAddress, true), 0) << "posted";
    SendMessageW(c.wnd, SM_ALPHACMD, CommandWParam(c.code), argument);
    EXPECT_TRUE(used()) << "the own thread's command";
    if (late != nullptr) late->Free();
  }
}

// A window of this thread that asks the panel for its background when told
// to by another thread.
HWND askedPanel = nullptr;
LRESULT CALLBACK AskingProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg != WM_APP) return DefWindowProcW(wnd, msg, wParam, lParam);
  TsBgRequest request;
  return GetWindowBackgroundInfo(request, askedPanel, false) ? 1 : 0;
}

TEST_F(ForeignCommands, TheToolkitsOwnQuestionIsAnsweredInsideAnotherThreadsMessage) {
  askedPanel = panel->Handle();
  HWND asker = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 1, 1, form->Handle(), nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  SetWindowLongPtrW(asker, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AskingProc));
  EXPECT_EQ(FromOtherThread(asker, WM_APP, 0, 0), 1);
  DestroyWindow(asker);
}

}  // namespace
}  // namespace kv
