// One form holding every basic control, as a person would see it. With
// KV_SHOWCASE_MS set the form stays up that long (for a screenshot).
#include <gtest/gtest.h>

#include <cstdlib>

#include "ControlForm.h"
#include "classlib/Buttons.h"
#include "classlib/ComCtrls.h"
#include "classlib/ExtCtrls.h"
#include "classlib/StdCtrls.h"

using namespace kv;

namespace {

TBitmap Arrow() {
  TBitmap b(16, 16, pf24bit);
  for (int y = 0; y < 16; ++y) {
    uint8_t* row = b.ScanLine(y);
    for (int x = 0; x < 16; ++x) {
      const bool on = x >= 3 && x < 13 && std::abs(y - 8) <= (x - 3) / 2;
      row[x * 3] = on ? 0 : 255;  // magenta background
      row[x * 3 + 1] = on ? 128 : 0;
      row[x * 3 + 2] = on ? 0 : 255;
    }
  }
  return b;
}

void Place(TControl* c, TWinControl* parent, int left, int top, int width, int height) {
  c->SetParent(parent);
  c->SetBounds(left, top, width, height);
}

TEST(Showcase, EveryBasicControlLivesOnOneFormAndLeavesNoGdiObjectsBehind) {
  kvtest::Pump(20);
  TControlCanvas::FreeDeviceContexts();
  const TGdiCounters before = GdiCounters();
  Owned<TForm> form = CreateOwned<TForm>();
  form->SetCaption("Controls");
  form->SetBounds(40, 40, 640, 430);
  form->SetColor(clBtnFace);

  auto* label = Create<TLabel>(form.get());
  Place(label, form.get(), 10, 12, 60, 17);
  label->SetCaption("&Serial");
  auto* combo = Create<TComboBox>(form.get());
  Place(combo, form.get(), 70, 8, 110, 21);
  combo->SetStyle(csDropDownList);
  for (const char* s : {"COM1", "COM3", "COM4"}) combo->Items()->Add(s);
  combo->SetItemIndex(1);
  auto* password = Create<TLabeledEdit>(form.get());
  Place(password, form.get(), 200, 26, 110, 21);
  password->EditLabel()->SetCaption("Password");
  password->SetPasswordChar(L'*');
  password->SetText("9173");
  auto* edit = Create<TEdit>(form.get());
  Place(edit, form.get(), 330, 26, 80, 21);
  edit->SetText("12");
  auto* updown = Create<TUpDown>(form.get());
  Place(updown, form.get(), 410, 26, 17, 21);
  updown->SetPosition(12);
  updown->SetAssociate(edit);
  auto* memo = Create<TMemo>(form.get());
  Place(memo, form.get(), 10, 60, 170, 70);
  memo->Lines()->Add("memo line one");
  memo->Lines()->Add("memo line two");
  auto* list = Create<TListBox>(form.get());
  Place(list, form.get(), 190, 60, 120, 70);
  for (const char* s : {"alpha", "beta", "gamma"}) list->Items()->Add(s);
  list->SetItemIndex(1);
  auto* group = Create<TGroupBox>(form.get());
  Place(group, form.get(), 320, 56, 300, 80);
  group->SetCaption("Group box");
  auto* check = Create<TCheckBox>(form.get());
  Place(check, group, 10, 20, 120, 17);
  check->SetCaption("Check box");
  check->SetChecked(true);
  auto* radio1 = Create<TRadioButton>(form.get());
  Place(radio1, group, 150, 20, 120, 17);
  radio1->SetCaption("Radio one");
  radio1->SetChecked(true);
  auto* radio2 = Create<TRadioButton>(form.get());
  Place(radio2, group, 150, 45, 120, 17);
  radio2->SetCaption("Radio two");
  auto* grayed = Create<TCheckBox>(form.get());
  Place(grayed, group, 10, 45, 120, 17);
  grayed->SetCaption("Grayed");
  grayed->SetAllowGrayed(true);
  grayed->SetState(cbGrayed);

  auto* panel = Create<TPanel>(form.get());
  Place(panel, form.get(), 10, 140, 300, 90);
  panel->SetCaption("Panel");
  panel->SetBevelInner(bvLowered);
  panel->SetAlignment(taRightJustify);
  auto* button = Create<TButton>(form.get());
  Place(button, panel, 8, 8, 80, 25);
  button->SetCaption("Button");
  button->SetDefault(true);
  auto* bitbtn = Create<TBitBtn>(form.get());
  Place(bitbtn, panel, 8, 45, 100, 30);
  bitbtn->SetCaption("Bit button");
  bitbtn->SetGlyph(Arrow());
  auto* speed = Create<TSpeedButton>(form.get());
  Place(speed, panel, 120, 8, 60, 25);
  speed->SetCaption("Speed");
  speed->SetGroupIndex(1);
  speed->SetDown(true);
  auto* flat = Create<TSpeedButton>(form.get());
  Place(flat, panel, 120, 45, 30, 30);
  flat->SetFlat(true);
  flat->SetGlyph(Arrow());

  auto* box = Create<TScrollBox>(form.get());
  Place(box, form.get(), 320, 140, 300, 90);
  auto* inside = Create<TLabel>(form.get());
  Place(inside, box, 10, 150, 150, 17);
  inside->SetCaption("Far down in the scroll box");
  box->UpdateScrollBars();

  auto* bevel = Create<TBevel>(form.get());
  Place(bevel, form.get(), 10, 238, 610, 4);
  bevel->SetShape(bsTopLine);
  auto* progress = Create<TProgressBar>(form.get());
  Place(progress, form.get(), 10, 250, 300, 18);
  progress->SetPosition(60);
  auto* marquee = Create<TProgressBar>(form.get());
  Place(marquee, form.get(), 320, 250, 300, 18);
  marquee->SetStyle(pbstMarquee);
  auto* gauge = Create<TGauge>(form.get());
  Place(gauge, form.get(), 10, 276, 300, 22);
  gauge->SetForeColor(clNavy);
  gauge->SetProgress(42);
  auto* pie = Create<TGauge>(form.get());
  Place(pie, form.get(), 320, 276, 40, 40);
  pie->SetKind(gkPie);
  pie->SetShowText(false);
  pie->SetForeColor(clGreen);
  pie->SetProgress(70);
  auto* image = Create<TImage>(form.get());
  Place(image, form.get(), 380, 276, 64, 40);
  auto picture = std::make_unique<TBitmapImage>();
  picture->Bitmap() = Arrow();
  image->Picture().SetGraphic(std::move(picture));
  image->SetStretch(true);

  auto* status = Create<TStatusBar>(form.get());
  status->SetParent(form.get());
  status->SetHeight(22);
  status->Panels()->Add()->SetWidth(120);
  status->Panels()->Items(0)->SetText("View");
  status->Panels()->Add()->SetText("COM3  Disconnected");
  auto* auto_start = Create<TCheckBox>(form.get());
  Place(auto_start, status, 0, 2, 90, 17);
  auto_start->SetCaption("Auto");
  auto_start->SetAlign(alRight);

  form->Show();
  kvtest::Pump(50);
  for (TControl* c :
       std::initializer_list<TControl*>{combo, password, edit, updown, memo, list, group, check,
                                        radio1, panel, button, bitbtn, box, progress, status}) {
    auto* w = dynamic_cast<TWinControl*>(c);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(IsWindowVisible(w->Handle())) << w->ClassName();
  }
  EXPECT_EQ(status->Top() + status->Height(), form->ClientHeight());
  if (const char* ms = std::getenv("KV_SHOWCASE_MS")) kvtest::Pump(std::atoi(ms));

  form.reset();
  kvtest::Pump(20);
  TControlCanvas::FreeDeviceContexts();
  const TGdiCounters& after = GdiCounters();
  EXPECT_EQ(after.Fonts, before.Fonts);
  EXPECT_EQ(after.Pens, before.Pens);
  EXPECT_EQ(after.Brushes, before.Brushes);
  EXPECT_EQ(after.DCs, before.DCs);
}

}  // namespace
