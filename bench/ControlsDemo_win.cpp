// One form holding every standard control of the class library, with a main
// menu and an owner-drawn pop-up menu opened over it, for a person to look
// at under Xvfb. Usage: classlib_controls_demo [milliseconds to stay up]
// [plain] (plain: the pop-up menu is drawn by the system, with item bitmaps).
#include <windows.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "classlib/Buttons.h"
#include "classlib/ComCtrls.h"
#include "classlib/DateTimePickers.h"
#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"
#include "classlib/Grids.h"
#include "classlib/ImgList.h"
#include "classlib/ListViews.h"
#include "classlib/Menus.h"
#include "classlib/StdCtrls.h"
#include "classlib/Tabs.h"
#include "classlib/TreeViews.h"

using namespace kv;

namespace {

// Four 16 x 16 discs with soft (alpha) edges: red, green, blue, orange.
TBitmap Discs() {
  const uint8_t colours[4][3] = {{40, 40, 220}, {40, 170, 40}, {220, 90, 30}, {20, 140, 240}};
  TBitmap b(64, 16, pf32bit);
  for (int y = 0; y < 16; ++y) {
    uint8_t* p = b.ScanLine(y);
    for (int x = 0; x < 64; ++x, p += 4) {
      const double d = std::hypot(x % 16 - 7.5, y - 7.5);
      const double a = std::clamp(7.5 - d, 0.0, 1.0);
      for (int c = 0; c < 3; ++c) p[c] = colours[x / 16][c];
      p[3] = static_cast<uint8_t>(a * 255);
    }
  }
  return b;
}

void Place(TControl* c, TWinControl* parent, int left, int top, int width, int height) {
  c->SetParent(parent);
  c->SetBounds(left, top, width, height);
}

TMenuItem* Item(TComponent* owner, TMenuItem* parent, const std::string& caption, int image = -1,
                TShortCut sc = 0) {
  auto* item = Create<TMenuItem>(owner);
  item->SetCaption(caption);
  item->SetImageIndex(image);
  item->SetShortCut(sc);
  parent->Add(item);
  return item;
}

TTabSheet* AddSheet(TPageControl* pages, const char* caption) {
  TTabSheet* sheet = Create<TTabSheet>(pages);
  sheet->SetCaption(caption);
  sheet->SetPageControl(pages);
  return sheet;
}

TPopupMenu* popupMenu = nullptr;
TForm* mainForm = nullptr;

void CALLBACK OpenPopup(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  const TPoint p = mainForm->ClientToScreen({700, 330});
  popupMenu->Popup(p.X, p.Y);
}

void CALLBACK ClosePopup(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  EndMenu();
}

void Build(TForm* form, TImageList* images) {
  form->SetCaption("kvconfig controls");
  form->SetBounds(10, 10, 1000, 720);
  form->SetColor(clBtnFace);

  // Main menu with images, short cuts and a sub-menu.
  auto* menu = Create<TMainMenu>(form);
  menu->SetImages(images);
  TMenuItem* file = Item(form, menu->Items(), "&File");
  Item(form, file, "&Open...", 0, ShortCut('O', ssCtrl));
  Item(form, file, "&Save...", 1, ShortCut('S', ssCtrl));
  Item(form, file, "-");
  Item(form, file, "E&xit", -1, ShortCut('Q', ssCtrl));
  TMenuItem* view = Item(form, menu->Items(), "&View");
  Item(form, view, "&Refresh", 2, ShortCut(VK_F5, 0))->SetChecked(true);
  TMenuItem* skins = Item(form, menu->Items(), "&Skins");
  for (const char* s : {"Default", "Dark", "Vista"}) Item(form, skins, s)->SetRadioItem(true);
  Item(form, menu->Items(), "&Help");
  form->SetMenu(menu);

  // Owner-drawn pop-up menu, painted by the items' default painting.
  popupMenu = Create<TPopupMenu>(form);
  popupMenu->SetImages(images);
  popupMenu->SetOwnerDraw(true);
  Item(form, popupMenu->Items(), "&Setting", 0, ShortCut(VK_RETURN, 0))->SetDefault(true);
  Item(form, popupMenu->Items(), "Clear &line", 1);
  Item(form, popupMenu->Items(), "-");
  Item(form, popupMenu->Items(), "Clear &all", 3)->SetEnabled(false);
  Item(form, popupMenu->Items(), "&Checked item")->SetChecked(true);

  // Basic controls, left half.
  auto* label = Create<TLabel>(form);
  Place(label, form, 10, 12, 60, 17);
  label->SetCaption("&Serial");
  auto* combo = Create<TComboBox>(form);
  Place(combo, form, 70, 8, 110, 21);
  combo->SetStyle(csDropDownList);
  for (const char* s : {"COM1", "COM3", "COM4"}) combo->Items()->Add(s);
  combo->SetItemIndex(1);
  auto* password = Create<TLabeledEdit>(form);
  Place(password, form, 200, 26, 110, 21);
  password->EditLabel()->SetCaption("Password");
  password->SetPasswordChar(L'*');
  password->SetText("9173");
  auto* edit = Create<TEdit>(form);
  Place(edit, form, 330, 26, 80, 21);
  edit->SetText("12");
  auto* updown = Create<TUpDown>(form);
  Place(updown, form, 410, 26, 17, 21);
  updown->SetPosition(12);
  updown->SetAssociate(edit);
  auto* memo = Create<TMemo>(form);
  Place(memo, form, 10, 60, 170, 70);
  memo->Lines()->Add("memo line one");
  memo->Lines()->Add("memo line two");
  auto* list = Create<TListBox>(form);
  Place(list, form, 190, 60, 120, 70);
  for (const char* s : {"alpha", "beta", "gamma"}) list->Items()->Add(s);
  list->SetItemIndex(1);
  auto* group = Create<TGroupBox>(form);
  Place(group, form, 320, 56, 300, 80);
  group->SetCaption("Group box");
  auto* check = Create<TCheckBox>(form);
  Place(check, group, 10, 20, 120, 17);
  check->SetCaption("Check box");
  check->SetChecked(true);
  auto* grayed = Create<TCheckBox>(form);
  Place(grayed, group, 10, 45, 120, 17);
  grayed->SetCaption("Grayed");
  grayed->SetAllowGrayed(true);
  grayed->SetState(cbGrayed);
  auto* radio1 = Create<TRadioButton>(form);
  Place(radio1, group, 150, 20, 120, 17);
  radio1->SetCaption("Radio one");
  radio1->SetChecked(true);
  auto* radio2 = Create<TRadioButton>(form);
  Place(radio2, group, 150, 45, 120, 17);
  radio2->SetCaption("Radio two");

  auto* panel = Create<TPanel>(form);
  Place(panel, form, 10, 140, 300, 90);
  panel->SetCaption("Panel");
  panel->SetBevelInner(bvLowered);
  panel->SetAlignment(taRightJustify);
  panel->SetPopupMenu(popupMenu);
  auto* button = Create<TButton>(form);
  Place(button, panel, 8, 8, 80, 25);
  button->SetCaption("Button");
  button->SetDefault(true);
  auto* bitbtn = Create<TBitBtn>(form);
  Place(bitbtn, panel, 8, 45, 100, 30);
  bitbtn->SetCaption("Bit button");
  bitbtn->SetImages(images);
  bitbtn->SetImageIndex(1);
  auto* speed = Create<TSpeedButton>(form);
  Place(speed, panel, 120, 8, 60, 25);
  speed->SetCaption("Speed");
  speed->SetGroupIndex(1);
  speed->SetDown(true);
  auto* flat = Create<TSpeedButton>(form);
  Place(flat, panel, 120, 45, 30, 30);
  flat->SetFlat(true);
  flat->SetImages(images);
  flat->SetImageIndex(2);

  auto* box = Create<TScrollBox>(form);
  Place(box, form, 320, 140, 300, 90);
  auto* inside = Create<TLabel>(form);
  Place(inside, box, 10, 150, 150, 17);
  inside->SetCaption("Far down in the scroll box");
  box->UpdateScrollBars();

  auto* bevel = Create<TBevel>(form);
  Place(bevel, form, 10, 238, 610, 4);
  bevel->SetShape(bsTopLine);
  auto* progress = Create<TProgressBar>(form);
  Place(progress, form, 10, 250, 300, 18);
  progress->SetPosition(60);
  auto* marquee = Create<TProgressBar>(form);
  Place(marquee, form, 320, 250, 300, 18);
  marquee->SetStyle(pbstMarquee);
  auto* gauge = Create<TGauge>(form);
  Place(gauge, form, 10, 276, 300, 22);
  gauge->SetForeColor(clNavy);
  gauge->SetProgress(42);
  auto* pie = Create<TGauge>(form);
  Place(pie, form, 320, 276, 40, 40);
  pie->SetKind(gkPie);
  pie->SetShowText(false);
  pie->SetForeColor(clGreen);
  pie->SetProgress(70);
  auto* image = Create<TImage>(form);
  Place(image, form, 380, 276, 64, 40);
  auto picture = std::make_unique<TBitmapImage>();
  images->GetBitmap(3, picture->Bitmap());
  image->Picture().SetGraphic(std::move(picture));
  image->SetStretch(true);

  // Pages with a report list view and a string grid, lower half.
  auto* pages = Create<TPageControl>(form);
  Place(pages, form, 10, 325, 610, 310);
  pages->SetImages(images);
  TTabSheet* doSheet = AddSheet(pages, "DO Setting");
  TTabSheet* history = AddSheet(pages, "Historical Record");
  AddSheet(pages, "Welcome");
  auto* listView = Create<TListView>(form);
  listView->SetViewStyle(vsReport);
  listView->SetGridLines(true);
  listView->SetRowSelect(true);
  listView->SetSmallImages(images);
  for (const char* caption : {"Channel", "Channel Name", "Close Time", "Current Status"}) {
    TListColumn* c = listView->Columns()->Add();
    c->SetCaption(caption);
    c->SetWidth(140);
  }
  for (int i = 1; i <= 4; ++i) {
    TListItem* item = listView->Items()->Add();
    item->SetCaption("DOUT" + std::to_string(i));
    item->SetImageIndex(i % 4);
    item->SubItems().Add("Relay " + std::to_string(i));
    item->SubItems().Add(std::to_string(i * 5));
    item->SubItems().Add(i % 2 ? "Open" : "Close");
  }
  listView->SetParent(doSheet);
  listView->SetAlign(alClient);
  listView->SetItemIndex(1);
  listView->SetPopupMenu(popupMenu);
  auto* grid = Create<TStringGrid>(form);
  grid->SetParent(history);
  grid->SetAlign(alClient);
  grid->SetColCount(24);
  grid->SetRowCount(20001);
  for (int r = 1; r <= 200; ++r) {
    grid->SetCells(0, r, std::to_string(r));
    grid->SetCells(1, r, "2026/12/06");
  }
  pages->SetActivePageIndex(0);

  // Pickers and tree, right column.
  auto* date = Create<TDateTimePicker>(form);
  Place(date, form, 640, 10, 330, 24);
  date->SetDateTime(EncodeDateTime(2026, 12, 6, 23, 59, 0, 0));
  auto* time = Create<TDateTimePicker>(form);
  Place(time, form, 640, 42, 330, 24);
  time->SetKind(dtkTime);
  time->SetDateTime(EncodeDateTime(2026, 12, 6, 23, 59, 0, 0));
  auto* tree = Create<TTreeView>(form);
  Place(tree, form, 640, 76, 330, 230);
  TTreeNode* root = tree->Items()->AddChild(nullptr, "Skins");
  tree->Items()->AddChild(root, "Default");
  tree->Items()->AddChild(root, "Dark");
  root->Expand();

  auto* status = Create<TStatusBar>(form);
  status->SetParent(form);
  status->SetHeight(22);
  status->Panels()->Add()->SetWidth(160);
  status->Panels()->Items(0)->SetText("Ready");
  status->Panels()->Add()->SetText("COM3  Disconnected");
  auto* autoStart = Create<TCheckBox>(form);
  Place(autoStart, status, 0, 2, 90, 17);
  autoStart->SetCaption("Auto");
  autoStart->SetAlign(alRight);
}

}  // namespace

int main(int argc, char** argv) {
  const int ms = argc > 1 ? std::atoi(argv[1]) : 5000;
  try {
    Owned<TImageList> images = CreateOwned<TImageList>();
    images->Add(Discs());
    Owned<TForm> form = CreateOwned<TForm>();
    mainForm = form.get();
    Build(form.get(), images.get());
    if (argc > 2 && std::string(argv[2]) == "plain") popupMenu->SetOwnerDraw(false);
    form->Show();
    // The pop-up opens after the form has painted and closes before the end.
    SetTimer(nullptr, 0, std::min(1500, ms / 3), OpenPopup);
    SetTimer(nullptr, 0, std::max(ms - 500, 0), ClosePopup);
    const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
    while (static_cast<int>(end - GetTickCount()) > 0) {
      Application->ProcessMessages();
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
  } catch (const std::exception& e) {
    MessageBoxA(nullptr, e.what(), "controls demo", MB_OK);
    return 1;
  }
  return 0;
}
