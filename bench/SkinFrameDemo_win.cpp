// Skinned frames of three kinds of form (sizeable, dialog, tool window) in
// the default skin, for a person to look at under Xvfb. Usage:
//   scripts/wine run <build>/bench/skin_frame_demo.exe [milliseconds]
#include <windows.h>

#include <cstdlib>
#include <string>

#include "BenchSkin_win.h"
#include "classlib/Forms.h"
#include "skin/core/acFormServices_win.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/forms/acFormServicesInstall_win.h"
#include "skin/forms/sSkinProvider_win.h"

using namespace kv;

namespace {

TForm* Skinned(TFormBorderStyle style, const std::string& caption, int left, int top, int width,
               int height) {
  TForm* form = Create<TForm>(Application);
  form->SetBorderStyle(style);
  form->SetBounds(left, top, width, height);
  form->SetCaption(caption);
  Create<TsSkinProvider>(form);
  form->Show();
  return form;
}

}  // namespace

int main(int argc, char** argv) {
  const int ms = argc > 1 ? std::atoi(argv[1]) : 5000;
  InstallFormServices();
  Owned<TsSkinManager> manager = ManagerWithDefaultSkin();
  manager->AnimEffects.FormShow.Active = false;
  manager->AnimEffects.DialogShow.Active = false;
  TForm* sizeable = Skinned(bsSizeable, "Sizeable form", 20, 20, 420, 300);
  Skinned(bsDialog, "Dialog", 460, 20, 320, 200);
  Skinned(bsToolWindow, "Tool window", 460, 250, 320, 160);
  // The sizeable one active, the other two inactive.
  SetActiveWindow(sizeable->Handle());
  const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
  while (static_cast<int>(end - GetTickCount()) > 0) {
    Application->ProcessMessages();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  return 0;
}
