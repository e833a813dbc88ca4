// Every basic control, shown in a state that paints all its parts, gives back
// the fonts, pens, brushes and device contexts it took once it is freed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

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

template <class T>
T* Put(TForm* form) {
  T* c = Create<T>(form);
  c->SetParent(form);
  c->SetBounds(10, 10, 200, 60);
  return c;
}

struct TLeakCase {
  const char* Name;
  std::function<void(TForm*)> Make;
};
void PrintTo(const TLeakCase& c, std::ostream* os) { *os << c.Name; }

const TLeakCase kCases[] = {
    {"Label", [](TForm* f) { Put<TLabel>(f)->SetCaption("&Serial"); }},
    {"ComboBox",
     [](TForm* f) {
       auto* c = Put<TComboBox>(f);
       c->SetStyle(csDropDownList);
       c->Items()->Add("COM1");
       c->SetItemIndex(0);
     }},
    {"LabeledEdit",
     [](TForm* f) {
       auto* e = Put<TLabeledEdit>(f);
       e->EditLabel()->SetCaption("Password");
       e->SetPasswordChar(L'*');
       e->SetText("9173");
     }},
    {"EditWithUpDown",
     [](TForm* f) {
       auto* e = Put<TEdit>(f);
       auto* u = Put<TUpDown>(f);
       u->SetAssociate(e);
       u->SetPosition(12);
     }},
    {"Memo", [](TForm* f) { Put<TMemo>(f)->Lines()->Add("memo line"); }},
    {"ListBox", [](TForm* f) { Put<TListBox>(f)->Items()->Add("alpha"); }},
    {"GroupBoxWithChecksAndRadios",
     [](TForm* f) {
       auto* g = Put<TGroupBox>(f);
       g->SetCaption("Group box");
       auto* grayed = Create<TCheckBox>(f);
       grayed->SetParent(g);
       grayed->SetAllowGrayed(true);
       grayed->SetState(cbGrayed);
       auto* radio = Create<TRadioButton>(f);
       radio->SetParent(g);
       radio->SetChecked(true);
     }},
    {"PanelWithDefaultButton",
     [](TForm* f) {
       auto* p = Put<TPanel>(f);
       p->SetBevelInner(bvLowered);
       auto* b = Create<TButton>(f);
       b->SetParent(p);
       b->SetDefault(true);
     }},
    {"BitBtn",
     [](TForm* f) {
       auto* b = Put<TBitBtn>(f);
       b->SetCaption("Bit button");
       b->SetGlyph(Arrow());
     }},
    {"SpeedButtons",
     [](TForm* f) {
       auto* down = Put<TSpeedButton>(f);
       down->SetGroupIndex(1);
       down->SetDown(true);
       auto* flat = Put<TSpeedButton>(f);
       flat->SetFlat(true);
       flat->SetGlyph(Arrow());
     }},
    {"ScrollBox",
     [](TForm* f) {
       auto* box = Put<TScrollBox>(f);
       auto* inside = Create<TLabel>(f);
       inside->SetParent(box);
       inside->SetBounds(10, 150, 150, 17);
       box->UpdateScrollBars();
     }},
    {"Bevel", [](TForm* f) { Put<TBevel>(f)->SetShape(bsTopLine); }},
    {"ProgressBars",
     [](TForm* f) {
       Put<TProgressBar>(f)->SetPosition(60);
       Put<TProgressBar>(f)->SetStyle(pbstMarquee);
     }},
    {"Gauges",
     [](TForm* f) {
       Put<TGauge>(f)->SetProgress(42);
       auto* pie = Put<TGauge>(f);
       pie->SetKind(gkPie);
       pie->SetProgress(70);
     }},
    {"Image",
     [](TForm* f) {
       auto picture = std::make_unique<TBitmapImage>();
       picture->Bitmap() = Arrow();
       auto* image = Put<TImage>(f);
       image->Picture().SetGraphic(std::move(picture));
       image->SetStretch(true);
     }},
    {"StatusBarWithAChild",
     [](TForm* f) {
       auto* status = Create<TStatusBar>(f);
       status->SetParent(f);
       status->Panels()->Add()->SetText("View");
       auto* check = Create<TCheckBox>(f);
       check->SetParent(status);
       check->SetAlign(alRight);
     }},
};

class ControlLeaks : public testing::TestWithParam<TLeakCase> {};

TEST_P(ControlLeaks, FreedControlGivesBackEveryGdiObject) {
  Application->ProcessMessages();
  TControlCanvas::FreeDeviceContexts();
  const TGdiCounters before = GdiCounters();
  {
    Owned<TForm> form = CreateOwned<TForm>();
    form->SetBounds(40, 40, 300, 200);
    GetParam().Make(form.get());
    form->Show();
    Application->ProcessMessages();  // paints every control
  }
  Application->ProcessMessages();
  TControlCanvas::FreeDeviceContexts();
  const TGdiCounters& after = GdiCounters();
  EXPECT_EQ(after.Fonts, before.Fonts);
  EXPECT_EQ(after.Pens, before.Pens);
  EXPECT_EQ(after.Brushes, before.Brushes);
  EXPECT_EQ(after.DCs, before.DCs);
}

INSTANTIATE_TEST_SUITE_P(BasicControls, ControlLeaks, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
