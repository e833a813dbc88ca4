// Not a benchmark: the skinned speed button, check box, radio button and
// up-down in every state, with the default skin, for a person to look at
// under Xvfb. Usage:
//   scripts/wine run <build>/bench/skin_buttons_demo.exe [milliseconds]
#include <windows.h>

#include <cstdlib>
#include <string>

#include "BenchSkin_win.h"
#include "classlib/Forms.h"
#include "classlib/Menus.h"
#include "skin/controls/sCheckBox_win.h"
#include "skin/controls/sSpeedButton_win.h"
#include "skin/controls/sUpDown_win.h"
#include "skin/core/sSkinManager_win.h"

using namespace kv;

namespace {

TsSpeedButton* Speed(TForm* form, const std::string& caption, int left, int top) {
  auto* b = Create<TsSpeedButton>(form);
  b->SetParent(form);
  b->SetBounds(left, top, 96, 30);
  b->SetCaption(caption);
  return b;
}

template <class T>
T* Check(TForm* form, const std::string& caption, int left, int top) {
  auto* b = Create<T>(form);
  b->SetParent(form);
  b->SetBounds(left, top, 120, 22);
  b->SetCaption(caption);
  return b;
}

TsUpDown* UpDown(TForm* form, TUDOrientation orientation, int position, int left, int top) {
  auto* u = Create<TsUpDown>(form);
  u->SetParent(form);
  u->SetOrientation(orientation);
  if (orientation == udVertical)
    u->SetBounds(left, top, 20, 40);
  else
    u->SetBounds(left, top, 40, 20);
  u->SetPosition(position);
  return u;
}

void Build(TForm* form) {
  form->SetBounds(40, 40, 660, 330);
  form->SetCaption("Skinned speed buttons, check boxes, radio buttons and up-downs");
  Speed(form, "Normal", 12, 12);
  Speed(form, "Hot", 116, 12)->SkinData()->MouseAbove = true;
  TsSpeedButton* down = Speed(form, "Down", 220, 12);
  down->SetGroupIndex(1);
  down->SetDown(true);
  Speed(form, "Disabled", 324, 12)->SetEnabled(false);
  TsSpeedButton* drop = Speed(form, "Drop", 428, 12);
  drop->SetDropdownMenu(Create<TPopupMenu>(form));
  drop->SetButtonStyle(tbsDropDown);
  Speed(form, "", 548, 12)->SetButtonStyle(tbsDivider);

  Check<TsCheckBox>(form, "Unchecked", 12, 70);
  Check<TsCheckBox>(form, "Checked", 140, 70)->SetChecked(true);
  TsCheckBox* grayed = Check<TsCheckBox>(form, "Grayed", 268, 70);
  grayed->SetAllowGrayed(true);
  grayed->SetState(cbGrayed);
  Check<TsCheckBox>(form, "Hot", 396, 70)->SkinData()->MouseAbove = true;
  TsCheckBox* disabled = Check<TsCheckBox>(form, "Disabled", 524, 70);
  disabled->SetChecked(true);
  disabled->SetEnabled(false);

  Check<TsRadioButton>(form, "Radio off", 12, 110);
  Check<TsRadioButton>(form, "Radio on", 140, 110)->SetChecked(true);
  Check<TsRadioButton>(form, "Hot", 268, 110)->SkinData()->MouseAbove = true;
  Check<TsRadioButton>(form, "Disabled", 396, 110)->SetEnabled(false);

  // Middle, at Max and at Min, in both orientations; then disabled.
  UpDown(form, udVertical, 50, 12, 160);
  UpDown(form, udVertical, 100, 52, 160);
  UpDown(form, udVertical, 0, 92, 160);
  UpDown(form, udHorizontal, 50, 140, 170);
  UpDown(form, udHorizontal, 0, 200, 170);
  UpDown(form, udHorizontal, 100, 260, 170);
  UpDown(form, udVertical, 50, 320, 160)->SetEnabled(false);
}

}  // namespace

int main(int argc, char** argv) {
  const int ms = argc > 1 ? std::atoi(argv[1]) : 5000;
  Owned<TsSkinManager> manager = ManagerWithDefaultSkin();
  TForm* form = Create<TForm>(Application);
  Build(form);
  form->Show();
  const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
  while (static_cast<int>(end - GetTickCount()) > 0) {
    Application->ProcessMessages();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  form->Free();
  return 0;
}
