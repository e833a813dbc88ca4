// A system dialog (Find) skinned by the dialog hook with extended borders
// on, activated and retitled, beside an inactive skinned form, for a person
// to look at under Xvfb; in the default skin, or in a packed skin file (one
// that lacks sections, as skins from elsewhere do). Usage:
//   scripts/wine run <build>/bench/skin_dialog_demo.exe [milliseconds] [skin.asz]
#include <commdlg.h>
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "BenchSkin_win.h"
#include "classlib/Forms.h"
#include "skin/core/acFormServices_win.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/forms/acFormServicesInstall_win.h"
#include "skin/forms/sSkinProvider_win.h"

using namespace kv;

int main(int argc, char** argv) {
  const int ms = argc > 1 ? std::atoi(argv[1]) : 5000;
  InstallFormServices();
  Owned<TsSkinManager> manager = ManagerWithDefaultSkin(false);
  manager->AnimEffects.FormShow.Active = false;
  manager->AnimEffects.DialogShow.Active = false;
  manager->SetExtendedBorders(true);
  if (argc > 2) {
    std::ifstream file(argv[2], std::ios::binary);
    TsStoredSkin& stored = manager->InternalSkins.Add();
    stored.Name = "File";
    stored.Data.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    manager->SetSkinName(stored.Name);
  } else {
    manager->SetSkinName(BenchSkinName);
  }
  // The dialog's owner, out of sight.
  HWND back =
      CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  TForm* form = Create<TForm>(Application);
  form->SetBounds(360, 220, 360, 220);
  form->SetCaption("Form");
  Create<TsSkinProvider>(form);
  form->Show();
  static wchar_t what[80] = L"KV42";
  FINDREPLACEW find{};
  find.lStructSize = sizeof find;
  find.hwndOwner = back;
  find.lpstrFindWhat = what;
  find.wFindWhatLen = 80;
  find.Flags = FR_DOWN;
  HWND dialog = FindTextW(&find);
  bool retitled = false;
  const DWORD start = GetTickCount();
  const DWORD end = start + static_cast<DWORD>(ms);
  while (static_cast<int>(end - GetTickCount()) > 0) {
    Application->ProcessMessages();
    if (!retitled && GetTickCount() - start > static_cast<DWORD>(ms) / 3 && IsWindow(dialog)) {
      // Activated once more, then a new title.
      SetActiveWindow(form->Handle());
      SetActiveWindow(dialog);
      SetWindowTextW(dialog, L"Find in the logger's history");
      retitled = true;
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  if (IsWindow(dialog)) DestroyWindow(dialog);
  DestroyWindow(back);
  return 0;
}
