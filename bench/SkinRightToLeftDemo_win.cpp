// A right-to-left form in the default skin, for a person to look at under
// Xvfb: check box, combo box, group box with radio buttons, a main menu, and
// a pop-up menu opened over it. Wine reads left to right, so the program plays
// a system that reads right to left. Usage:
//   scripts/wine run <build>/bench/skin_rtl_demo.exe [milliseconds] [ltr]
// ("ltr": the same form left to right, to compare).
#include <windows.h>

#include <cstdlib>
#include <string>

#include "BenchSkin_win.h"
#include "classlib/Forms.h"
#include "classlib/PlatformCalls.h"
#include "skin/controls/sCheckBox_win.h"
#include "skin/controls/sComboBox_win.h"
#include "skin/controls/sGroupBox_win.h"
#include "skin/core/acFormServices_win.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/forms/acFormServicesInstall_win.h"
#include "skin/forms/sSkinProvider_win.h"

using namespace kv;

namespace {

TPopupMenu* popup = nullptr;
DWORD endTick = 0;

TMenuItem* Item(TMenu* menu, const std::string& caption, TMenuItem* parent = nullptr) {
  auto* item = Create<TMenuItem>(menu->Owner());
  item->SetCaption(caption);
  (parent != nullptr ? parent : menu->Items())->Add(item);
  return item;
}

void Build(TForm* form, TBiDiMode mode) {
  form->SetBounds(40, 40, 420, 300);
  form->SetCaption("Right to left");
  form->SetBiDiMode(mode);
  auto* menu = Create<TMainMenu>(form);
  TMenuItem* file = Item(menu, "&File");
  Item(menu, "&Edit");
  Item(menu, "&Help");
  Item(menu, "Open", file);
  form->SetMenu(menu);
  Create<TsSkinProvider>(form);  // after the menu, which it takes over

  auto* check = Create<TsCheckBox>(form);
  check->SetParent(form);
  check->SetBounds(200, 16, 200, 24);
  check->SetCaption("Arm on power-up");
  check->SetChecked(true);
  auto* combo = Create<TsComboBox>(form);
  combo->SetParent(form);
  combo->SetStyle(csDropDownList);
  combo->SetBounds(200, 52, 200, 24);
  combo->Items()->Add("COM1");
  combo->Items()->Add("COM2");
  combo->SetItemIndex(0);
  auto* group = Create<TsGroupBox>(form);
  group->SetParent(form);
  group->SetBounds(200, 92, 200, 110);
  group->SetCaption("Relay DO1");
  const char* choices[] = {"Open", "Closed"};
  for (int i = 0; i < 2; ++i) {
    auto* radio = Create<TsRadioButton>(group);
    radio->SetParent(group);
    radio->SetBounds(12, 30 + 32 * i, 176, 24);
    radio->SetCaption(choices[i]);
    radio->SetChecked(i == 0);
  }

  popup = Create<TPopupMenu>(form);
  TMenuItem* checked = Item(popup, "Show history");
  checked->SetChecked(true);
  Item(popup, "-");
  Item(popup, "Read setting")->SetShortCut(TextToShortCut("Ctrl+R"));
  Item(popup, "Write setting")->SetShortCut(TextToShortCut("Ctrl+W"));
}

// The pop-up's own loop runs until the time is up.
void CALLBACK CloseMenu(HWND, UINT, UINT_PTR, DWORD) {
  if (static_cast<int>(endTick - GetTickCount()) <= 0) EndMenu();
}

void CALLBACK OpenMenu(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  SetTimer(nullptr, 0, 50, CloseMenu);
  popup->Popup(60, 140);
}

}  // namespace

int main(int argc, char** argv) {
  const int ms = argc > 1 ? std::atoi(argv[1]) : 5000;
  PlatformCalls().IsMiddleEastLocale = [] { return true; };
  InstallFormServices();
  Owned<TsSkinManager> manager = ManagerWithDefaultSkin();
  manager->AnimEffects.FormShow.Active = false;
  TForm* form = Create<TForm>(Application);
  Build(form, argc > 2 && std::string(argv[2]) == "ltr" ? bdLeftToRight : bdRightToLeft);
  form->Show();
  endTick = GetTickCount() + static_cast<DWORD>(ms);
  SetTimer(nullptr, 0, 800, OpenMenu);
  while (static_cast<int>(endTick - GetTickCount()) > 0) {
    Application->ProcessMessages();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  form->Free();
  return 0;
}
