// Skinned frames of three kinds of form (sizeable, dialog, tool window) in
// the default skin, for a person to look at under Xvfb. Usage:
//   scripts/wine run <build>/bench/skin_frame_demo.exe [milliseconds] [extended]
// With "extended" the manager's extended borders are on, and the sizeable
// form is deactivated, activated again and retitled before the picture.
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
  const bool extended = argc > 2 && std::string(argv[2]) == "extended";
  InstallFormServices();
  Owned<TsSkinManager> manager = ManagerWithDefaultSkin();
  manager->AnimEffects.FormShow.Active = false;
  manager->AnimEffects.DialogShow.Active = false;
  manager->SetExtendedBorders(extended);
  TForm* sizeable = Skinned(bsSizeable, "Sizeable form", 40, 40, 420, 300);
  TForm* dialog = Skinned(bsDialog, "Dialog", 500, 40, 320, 200);
  Skinned(bsToolWindow, "Tool window", 500, 290, 320, 160);
  if (extended) {
    // The system draws its own caption at each activation and new caption.
    SetActiveWindow(dialog->Handle());
    Application->ProcessMessages();
    SetActiveWindow(sizeable->Handle());
    Application->ProcessMessages();
    sizeable->SetCaption("Sizeable form, retitled");
  }
  // The sizeable one active, the other two inactive.
  SetActiveWindow(sizeable->Handle());
  const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
  while (static_cast<int>(end - GetTickCount()) > 0) {
    Application->ProcessMessages();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  return 0;
}
