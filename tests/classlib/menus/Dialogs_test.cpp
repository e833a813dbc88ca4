// File dialogs: filter lists, and the system dialogs opened and closed
// programmatically through a CBT hook.
#include "classlib/Dialogs.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "classlib/WideText.h"

using namespace kv;

namespace {

TEST(FileDialogs, FilterPairsBecomeTheSystemsList) {
  using namespace std::string_literals;
  struct Case {
    const char* filter;
    std::wstring list;
  };
  const Case cases[] = {
      {"*.ini|*.ini", L"*.ini\0*.ini\0\0"s},
      {"CSV File (*.csv)|*.csv", L"CSV File (*.csv)\0*.csv\0\0"s},
      {"Text|*.txt|All|*.*", L"Text\0*.txt\0All\0*.*\0\0"s},
      {"Text|*.txt|Lonely", L"Text\0*.txt\0\0"s},
      {"Empty||Text|*.txt", L"Text\0*.txt\0\0"s},
      {"", L"\0"s},
  };
  for (const Case& c : cases) EXPECT_EQ(MakeFilterList(c.filter), c.list) << c.filter;
}

// Presses a button of the next file dialog once it is up, and notes it.
struct TDialogCloser {
  static inline HHOOK hook = nullptr;
  static inline int button = IDCANCEL;
  static inline HWND dialog = nullptr;
  static LRESULT CALLBACK Proc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
      HWND wnd = reinterpret_cast<HWND>(wParam);
      wchar_t cls[16] = {};
      GetClassNameW(wnd, cls, 16);
      if (std::wstring(cls) == L"#32770" && dialog == nullptr) {
        dialog = wnd;
        PostMessageW(wnd, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(wnd, button)));
      }
    }
    return CallNextHookEx(hook, code, wParam, lParam);
  }
  explicit TDialogCloser(int b) {
    button = b;
    dialog = nullptr;
    hook = SetWindowsHookExW(WH_CBT, Proc, nullptr, GetCurrentThreadId());
  }
  ~TDialogCloser() { UnhookWindowsHookEx(hook); }
};

std::string TempDir() {
  wchar_t buf[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, buf);
  std::string dir = Narrow(buf);
  if (!dir.empty() && dir.back() == '\\') dir.pop_back();
  return dir;
}

TEST(FileDialogs, OpenDialogCancelledReturnsFalseAndKeepsTheName) {
  Owned<TOpenDialog> dlg = CreateOwned<TOpenDialog>();
  dlg->SetFilter("*.ini|*.ini");
  dlg->SetFileName("before.ini");
  HWND shown = nullptr;
  int closes = 0;
  dlg->OnShow = [&](TObject*) { shown = dlg->Handle(); };
  dlg->OnClose = [&](TObject*) { ++closes; };
  TDialogCloser closer(IDCANCEL);
  EXPECT_FALSE(dlg->Execute());
  ASSERT_NE(TDialogCloser::dialog, nullptr) << "no dialog window appeared";
  EXPECT_EQ(shown, TDialogCloser::dialog) << "Handle is the dialog window while it is shown";
  EXPECT_EQ(closes, 1);
  EXPECT_EQ(dlg->Handle(), nullptr);
  EXPECT_EQ(dlg->FileName(), "before.ini");
}

TEST(FileDialogs, OpenDialogAcceptedGivesTheFullPathOfAnExistingFile) {
  const std::string dir = TempDir();
  const std::string path = dir + "\\kvmenus-open.ini";
  FILE* f = _wfopen(Wide(path).c_str(), L"wb");
  ASSERT_NE(f, nullptr);
  fclose(f);
  Owned<TOpenDialog> dlg = CreateOwned<TOpenDialog>();
  dlg->SetFilter("Text|*.txt|*.ini|*.ini");
  dlg->SetFilterIndex(2);
  dlg->SetInitialDir(dir);
  dlg->SetFileName("kvmenus-open.ini");
  dlg->SetOptions(dlg->Options() | ofFileMustExist);
  TDialogCloser closer(IDOK);
  ASSERT_TRUE(dlg->Execute());
  EXPECT_TRUE(SameText(dlg->FileName(), path)) << dlg->FileName();
  ASSERT_EQ(dlg->Files().size(), 1u);
  EXPECT_EQ(dlg->FilterIndex(), 2);
  DeleteFileW(Wide(path).c_str());
}

TEST(FileDialogs, SaveDialogAddsTheDefaultExtension) {
  const std::string dir = TempDir();
  Owned<TSaveDialog> dlg = CreateOwned<TSaveDialog>();
  dlg->SetFilter("CSV File (*.csv)|*.csv");
  dlg->SetDefaultExt("csv");
  dlg->SetInitialDir(dir);
  dlg->SetFileName("kvmenus-history");
  dlg->SetOptions(dlg->Options() | ofOverwritePrompt);
  TDialogCloser closer(IDOK);
  ASSERT_TRUE(dlg->Execute());
  EXPECT_TRUE(SameText(dlg->FileName(), dir + "\\kvmenus-history.csv")) << dlg->FileName();
}

}  // namespace
