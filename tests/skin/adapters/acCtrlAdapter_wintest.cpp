// The control adapter on a skinned form of standard controls: which
// adapter each control gets, the controls it leaves alone, controls that
// come later or get a new window, and what the skin's removal gives back.
#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <map>
#include <string>
#include <typeinfo>
#include <vector>

#include "SkinnedFormFixture.h"
#include "classlib/Buttons.h"
#include "classlib/ComCtrls.h"
#include "classlib/DateTimePickers.h"
#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"
#include "classlib/Grids.h"
#include "classlib/PlatformCalls.h"
#include "classlib/StdCtrls.h"
#include "classlib/Tabs.h"
#include "classlib/TreeViews.h"
#include "skin/adapters/acButtonWnd_win.h"
#include "skin/adapters/acCtrlAdapter_win.h"
#include "skin/adapters/acDateTimeWnd_win.h"
#include "skin/adapters/acGridWnd_win.h"
#include "skin/adapters/acPanelWnd_win.h"
#include "skin/adapters/acToolBarWnd_win.h"
#include "skin/core/acFormServices_win.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/core/sVclUtils_win.h"
#include "skin/forms/sFrameAdapter_win.h"
#include "skin/forms/sSkinProvider_win.h"
#include "support/Counters.h"
#include "support/MessageLog.h"
#include "support/Pixels.h"
#include "support/PlatformSeams.h"
#include "support/Pump.h"
#include "support/TestSkin.h"

namespace kv {
namespace {

class CtrlAdapter : public SkinnedFormFixture {};

TEST_F(CtrlAdapter, EachListedControlGetsTheAdapterItsListNames) {
  struct Case {
    TWinControl* control;
    const std::type_info& adapter;
  };
  auto* labelled = Add<TLabeledEdit>(10, 20, 100, 22);
  const Case cases[] = {
      {labelled, typeid(TacEditWnd)},
      {Add<TMemo>(10, 50, 100, 60), typeid(TacEditWnd)},
      {Add<TDateTimePicker>(10, 120, 120, 22), typeid(TacDateTimeWnd)},
      {Add<TStringGrid>(150, 10, 200, 120), typeid(TacGridWnd)},
      {Add<TButton>(10, 150, 80, 25), typeid(TacBtnWnd)},
      {Add<TCheckBox>(10, 180, 120, 20), typeid(TacCheckBoxWnd)},
      {Add<TRadioButton>(10, 205, 120, 20), typeid(TacCheckBoxWnd)},
      {Add<TPanel>(150, 150, 150, 80), typeid(TacPanelWnd)},
      {Add<TGroupBox>(150, 240, 150, 80), typeid(TacGroupBoxWnd)},
      {Add<TTreeView>(320, 150, 150, 120), typeid(TacTreeViewWnd)},
  };
  auto* label = Create<TLabel>(form);
  label->SetParent(form);
  label->SetCaption("label");
  ShowSkinned();

  ASSERT_NE(Adapter(), nullptr);
  EXPECT_EQ(Adapter()->Count(), static_cast<int>(std::size(cases)));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.control->ClassName());
    TacMainWnd* a = AdapterOf(c.control);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(typeid(*a), c.adapter);
    EXPECT_NE(GetPropW(c.control->Handle(), acAdapterProperty), nullptr);
    EXPECT_EQ(Command(c.control->Handle(), cmdIsSkinned), 1);
  }
  EXPECT_TRUE(label->Transparent());
  EXPECT_EQ(label->Font()->Color(), static_cast<TColor>(manager->Skin().GetGlobalInfoFontColor()));
}

// Tag -98 keeps a control out of every walk. Tag 98 keeps a label's
// colours only in the walk over what the form owns: the walk over the
// children skins every plain label it meets, a caption beside its edit is
// met by the first walk only.
TEST_F(CtrlAdapter, TaggedControlsAreLeftAloneAndTheKeepTagHoldsOnlyForComponents) {
  auto* skipped = Add<TButton>(10, 10, 80, 25);
  skipped->SetTag(-98);
  const auto label = [this](TComponent* owner, intptr_t tag, TColor color) {
    auto* l = Create<TLabel>(owner);
    l->SetParent(form);
    l->SetTag(tag);
    l->SetTransparent(false);
    l->Font()->SetColor(color);
    return l;
  };
  const auto caption = [this](int y, intptr_t tag, TColor color) {
    auto* edit = Add<TLabeledEdit>(200, y, 100, 22);
    edit->EditLabel()->SetTag(tag);
    edit->EditLabel()->SetTransparent(false);
    edit->EditLabel()->Font()->SetColor(color);
    return edit->EditLabel();
  };
  const TColor skinned = static_cast<TColor>(manager->Skin().GetGlobalInfoFontColor());
  struct Case {
    const char* what;
    TControl* control;
    TColor color;  // what it shows once the form is skinned
  };
  // Owned by nobody: only the walk over the form's children finds them.
  const Case cases[] = {
      {"plain label kept by tag", label(form, 98, clMaroon), skinned},
      {"plain label never skinned", label(form, -98, clNavy), clNavy},
      {"unowned label kept by tag", label(nullptr, 98, clOlive), skinned},
      {"unowned label never skinned", label(nullptr, -98, clTeal), clTeal},
      {"unowned label", label(nullptr, 0, clPurple), skinned},
      {"edit caption kept by tag", caption(40, 98, clGreen), clGreen},
      {"edit caption", caption(80, 0, clFuchsia), skinned},
  };
  ShowSkinned();

  EXPECT_EQ(AdapterOf(skipped), nullptr);
  Command(form->Handle(), cmdAdaptControl, reinterpret_cast<LPARAM>(skipped));
  EXPECT_EQ(AdapterOf(skipped), nullptr) << "asked for by name it stays out too";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.control->Font()->Color(), c.color);
    EXPECT_EQ(static_cast<TCustomLabel*>(c.control)->Transparent(), c.color == skinned);
  }
}

TEST_F(CtrlAdapter, AControlMadeLaterIsAdaptedOnceOnRequest) {
  ShowSkinned();
  const int before = Adapter()->Count();
  auto* late = Add<TButton>(10, 10, 80, 25);
  late->HandleNeeded();
  Command(form->Handle(), cmdAdaptControl, reinterpret_cast<LPARAM>(late));
  ASSERT_NE(AdapterOf(late), nullptr);
  Command(form->Handle(), cmdAdaptControl, 0);
  Adapter()->AdaptAllControls(nullptr);
  EXPECT_EQ(Adapter()->Count(), before + 1) << "adapting again makes no second item";
}

// A walk over a deep nest of panels (every control owned by the form, as the
// configurator's windows are built) looks at each control a bounded number of
// times, whatever the depth: once among the form's components, once among its
// parent's children.
TEST_F(CtrlAdapter, AWalkAsksADeeplyNestedControlOnlyAFewTimes) {
  TWinControl* parent = form;
  for (int depth = 0; depth < 6; ++depth) parent = Add<TPanel>(4, 4, 400 - 40 * depth, 300, parent);
  auto* deepest = Add<TButton>(4, 4, 60, 25, parent);
  ShowSkinned();
  ASSERT_NE(AdapterOf(deepest), nullptr);
  const int items = Adapter()->Count();

  kvtest::TMessageRecorder recorder;
  recorder.AttachWindow(deepest->Handle());
  Command(form->Handle(), cmdAdaptControl, 0);
  EXPECT_LE(recorder.CountCommand(cmdIsSkinned), 2);
  EXPECT_EQ(Adapter()->Count(), items) << "a walk again adds nothing";
  EXPECT_NE(AdapterOf(deepest), nullptr);
}

TEST_F(CtrlAdapter, ARecreatedWindowIsAdaptedAgainAndDeadItemsGo) {
  auto* first = Add<TButton>(10, 10, 80, 25);
  auto* second = Add<TCheckBox>(10, 40, 80, 20);
  auto* third = Add<TButton>(10, 70, 80, 25);
  ShowSkinned();
  ASSERT_EQ(Adapter()->Count(), 3);

  first->RecreateWnd();
  pump::PumpUntilIdle();
  Command(form->Handle(), cmdAdaptControl, 0);
  EXPECT_NE(AdapterOf(first), nullptr);
  EXPECT_EQ(Adapter()->Count(), 3);

  // Two neighbours in the list lose their windows together.
  DestroyWindow(second->Handle());
  DestroyWindow(third->Handle());
  Adapter()->DropDeadItems();
  EXPECT_EQ(Adapter()->Count(), 1);
  EXPECT_EQ(Adapter()->GetItem(0)->Ctrl, first);
  EXPECT_EQ(Adapter()->GetItem(1), nullptr);
}

TEST_F(CtrlAdapter, ControlsMadeOrRemadeOnAShownFormAreAdaptedWithoutBeingAsked) {
  auto* panel = Add<TPanel>(200, 10, 200, 150);
  auto* group = Add<TGroupBox>(200, 170, 200, 150);
  auto* kept = Add<TButton>(10, 100, 80, 25);
  ShowSkinned();
  struct Case {
    const char* where;
    TWinControl* parent;
  };
  const Case cases[] = {{"form", form}, {"panel", panel}, {"group box", group}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.where);
    auto* late = Add<TCheckBox>(10, 20, 120, 22, c.parent);
    late->HandleNeeded();
    pump::PumpUntilIdle();
    EXPECT_NE(dynamic_cast<TacCheckBoxWnd*>(AdapterOf(late)), nullptr);
  }
  const HWND old = kept->Handle();
  kept->RecreateWnd();
  kept->HandleNeeded();
  pump::PumpUntilIdle();
  ASSERT_NE(kept->Handle(), old);
  EXPECT_NE(dynamic_cast<TacBtnWnd*>(AdapterOf(kept)), nullptr) << "the new window is adapted";
  EXPECT_EQ(Command(kept->Handle(), cmdIsSkinned), 1);
}

// A button class of another library, listed with the buttons, whose
// window tells its parent nothing when it is made.
class TQuietButton : public TButton {
 public:
  using TButton::TButton;

 protected:
  void CreateParams(TCreateParams& params) override {
    TButton::CreateParams(params);
    params.ExStyle |= WS_EX_NOPARENTNOTIFY;
  }
};

TEST_F(CtrlAdapter, ControlsWhoseWindowsSayNothingAreAdaptedAsTheyJoinTheForm) {
  manager->ThirdParty.SetItem(1, manager->ThirdParty.GetItem(1) + "\r\nTQuietButton");
  auto* panel = Add<TPanel>(200, 10, 200, 150);
  ShowSkinned();

  // Put on the form, its window is made as it joins the form's controls.
  auto* placed = Add<TQuietButton>(10, 10, 80, 25);
  EXPECT_NE(dynamic_cast<TacBtnWnd*>(AdapterOf(placed)), nullptr);

  // Made on a panel by someone else, then handed over to the form.
  auto* handed = Create<TQuietButton>(nullptr);
  handed->SetParent(panel);
  handed->SetBounds(10, 10, 80, 25);
  pump::PumpUntilIdle();
  ASSERT_TRUE(handed->HandleAllocated());
  ASSERT_EQ(AdapterOf(handed), nullptr) << "the form heard of no new window";
  form->InsertComponent(handed);
  EXPECT_NE(dynamic_cast<TacBtnWnd*>(AdapterOf(handed)), nullptr);
  EXPECT_EQ(Command(handed->Handle(), cmdIsSkinned), 1);

  // One tagged -98 stays plain when handed over too.
  auto* kept = Create<TQuietButton>(nullptr);
  kept->SetTag(-98);
  kept->SetParent(panel);
  kept->SetBounds(10, 40, 80, 25);
  pump::PumpUntilIdle();
  form->InsertComponent(kept);
  EXPECT_EQ(AdapterOf(kept), nullptr);
}

// Standard speed buttons are skinned through their handler: a flat one as
// a small speed button, any other as a speed button.
TEST_F(CtrlAdapter, AFlatSpeedButtonTakesTheSmallSpeedButtonsSection) {
  auto* flat = Create<TSpeedButton>(form);
  flat->SetParent(form);
  flat->SetBounds(10, 10, 23, 22);
  flat->SetFlat(true);
  auto* raised = Create<TSpeedButton>(form);
  raised->SetParent(form);
  raised->SetBounds(40, 10, 23, 22);
  ShowSkinned();
  std::map<const TSpeedButton*, std::string> sections;
  for (const auto& item : Adapter()->GraphItems)
    if (item->Alive()) sections[item->Ctrl] = item->SkinData->SkinSection();
  EXPECT_EQ(sections[flat], "SPEEDBUTTON_SMALL");
  EXPECT_EQ(sections[raised], "SPEEDBUTTON");
}

// The frame adapters a frame owns.
int FrameAdapters(TFrame* frame) {
  int count = 0;
  for (int i = 0; i < frame->ComponentCount(); ++i)
    if (dynamic_cast<TsFrameAdapter*>(frame->Components(i)) != nullptr) ++count;
  return count;
}

// A frame on the form gets a frame adapter of its own and shows as a group
// box, the controls on it are adapted, and walking again (or a new skin)
// makes no second one; a frame tagged -98 stays plain.
TEST_F(CtrlAdapter, AFrameGetsAFrameAdapterOnceAndShowsAsAGroupBox) {
  auto* frame = Add<TFrame>(10, 10, 200, 150);
  auto* button = Create<TButton>(frame);
  button->SetParent(frame);
  button->SetBounds(10, 100, 80, 25);
  auto* plain = Add<TFrame>(250, 10, 200, 150);
  plain->SetTag(-98);
  ShowSkinned();

  ASSERT_EQ(FrameAdapters(frame), 1);
  EXPECT_EQ(Command(frame->Handle(), cmdIsSkinned), 1);
  EXPECT_EQ(SectionAt(Shown(frame), 100, 50).substr(0, 8), "GROUPBOX");
  EXPECT_NE(dynamic_cast<TacBtnWnd*>(AdapterOf(button)), nullptr) << "the walk goes into it";
  EXPECT_EQ(FrameAdapters(plain), 0);
  EXPECT_EQ(Command(plain->Handle(), cmdIsSkinned), 0);

  Command(form->Handle(), cmdAdaptControl, 0);
  manager->SetActive(false);
  manager->SetActive(true);
  pump::PumpUntilIdle();
  EXPECT_EQ(FrameAdapters(frame), 1);
  EXPECT_EQ(SectionAt(Shown(frame), 100, 50).substr(0, 8), "GROUPBOX");
}

TEST_F(CtrlAdapter, TheGridTakesSkinColoursAndBarsAndGetsItsOwnBackWhenTheSkinGoes) {
  auto* grid = Add<TStringGrid>(10, 10, 200, 120);
  grid->SetRowCount(40);
  grid->SetColor(clYellow);
  grid->SetFixedColor(clLime);
  ShowSkinned();

  EXPECT_NE(grid->Color(), clYellow);
  EXPECT_EQ(grid->FixedColor(), static_cast<TColor>(manager->Skin().GetGlobalInfoColor()));
  auto* bars = dynamic_cast<TacScrollWnd*>(AdapterOf(grid));
  ASSERT_NE(bars, nullptr) << "the grid scrolls with skinned bars";

  manager->SetActive(false);
  pump::PumpUntilIdle();
  EXPECT_EQ(provider->Adapter(), nullptr);
  EXPECT_EQ(AdapterOf(grid), nullptr) << "system bars again";
  EXPECT_EQ(grid->Color(), clYellow);
  EXPECT_EQ(grid->FixedColor(), clLime);
}

TEST_F(CtrlAdapter, EachAdapterPaintsItsSectionAndCheckState) {
  auto* button = Add<TButton>(10, 10, 90, 30);
  auto* box = Add<TCheckBox>(10, 50, 120, 22);
  auto* radio = Add<TRadioButton>(10, 80, 120, 22);
  auto* panel = Add<TPanel>(150, 10, 120, 80);
  auto* group = Add<TGroupBox>(150, 100, 120, 80);
  auto* tree = Add<TTreeView>(300, 10, 120, 120);
  box->SetChecked(true);
  radio->SetChecked(true);
  panel->SetCaption("");
  ShowSkinned();

  EXPECT_EQ(SectionAt(Shown(button), 45, 15).substr(0, 6), "BUTTON");
  EXPECT_EQ(StateAt(Shown(button), 45, 15), 0);
  SendMessageW(button->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(45, 15));
  EXPECT_EQ(manager->HotWindow(), button->Handle());
  EXPECT_EQ(StateAt(Shown(button), 45, 15), 1) << "hot under the pointer";
  manager->SetHotWindow(nullptr);
  EXPECT_EQ(StateAt(Shown(button), 45, 15), 0);
  EXPECT_EQ(SectionAt(Shown(panel), 60, 40).substr(0, 5), "PANEL");
  EXPECT_EQ(SectionAt(Shown(group), 60, 60).substr(0, 8), "GROUPBOX");
  // A tree shows its section's hot colour.
  const TColor treeBack = AdapterOf(tree)->SkinData->Section()->HotColor;
  EXPECT_TRUE(kvtest::ColourAt(Shown(tree), 60, 100, ColorToRGB(treeBack)));

  struct Glyph {
    TWinControl* control;
    bool checked;
    const char* key;
  };
  const Glyph glyphs[] = {{box, true, "BOXCHECKED"},
                          {box, false, "BOXUNCHECKED"},
                          {radio, true, "RADIOCHECKED"},
                          {radio, false, "RADIOUNCHECKED"}};
  for (const Glyph& g : glyphs) {
    if (g.control == box)
      box->SetChecked(g.checked);
    else
      radio->SetChecked(g.checked);
    const kvtest::TPixels img = Shown(g.control);
    const int count =
        img.CountOf(static_cast<COLORREF>(skin().Colour("GLOBALINFO", g.key, 0)), img.Whole());
    EXPECT_GT(count, 0) << g.key;
  }
}

TEST_F(CtrlAdapter, SkinLoadRefreshAndRemovalLeaveNoObjectsBehind) {
  Add<TButton>(10, 10, 80, 25);
  Add<TCheckBox>(10, 40, 80, 20);
  Add<TStringGrid>(100, 10, 150, 100);
  Add<TGroupBox>(100, 120, 150, 80);
  // Every painting path: pushed, disabled, framed, with a glyph.
  Add<TRadioButton>(10, 70, 80, 20)->SetEnabled(false);
  Add<TButton>(10, 100, 80, 25)->SetEnabled(false);
  Add<TPanel>(260, 10, 150, 100)->SetBorderStyle(bsSingle);
  auto* bitBtn = Add<TBitBtn>(260, 120, 100, 30);
  TBitmap glyph(16, 16, pf24bit);
  bitBtn->SetGlyph(glyph);
  ShowSkinned();
  manager->SetActive(false);
  pump::PumpUntilIdle();
  const kvtest::TObjectBaseline baseline;
  for (int i = 0; i < 50; ++i) {
    manager->SetActive(true);
    SendMessageW(form->Handle(), SM_ALPHACMD, CommandWParam(cmdSkinRefresh),
                 reinterpret_cast<LPARAM>(manager.get()));
    pump::PumpUntilIdle();
    manager->SetActive(false);
    pump::PumpUntilIdle();
  }
  EXPECT_TRUE(baseline.Unchanged());
}

// Dialog children are plain windows with no control behind them.
TEST_F(CtrlAdapter, DialogButtonsAndStaticsPaintFromTheirSections) {
  HWND dialog = CreateWindowExW(0, L"#32770", L"", WS_POPUP | WS_VISIBLE, 60, 60, 300, 200, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(dialog, nullptr);
  const auto child = [&](const wchar_t* cls, DWORD style, int y) {
    return CreateWindowExW(0, cls, L"Text", WS_CHILD | WS_VISIBLE | style, 10, y, 150, 24, dialog,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
  };
  HWND check = child(L"BUTTON", BS_AUTOCHECKBOX, 10);
  HWND push = child(L"BUTTON", BS_PUSHBUTTON, 40);
  HWND text = child(L"STATIC", SS_LEFT, 70);
  HWND radio = child(L"BUTTON", BS_AUTORADIOBUTTON, 100);
  SendMessageW(check, BM_SETCHECK, BST_CHECKED, 0);
  SendMessageW(radio, BM_SETCHECK, BST_CHECKED, 0);

  struct Made {
    HWND wnd;
    TacAdapterKind kind;
    std::unique_ptr<TsCommonData> sd;
    TacMainWnd* adapter = nullptr;
  };
  Made made[] = {{check, TacAdapterKind::CheckBoxWnd, nullptr},
                 {push, TacAdapterKind::BtnWnd, nullptr},
                 {text, TacAdapterKind::StaticWnd, nullptr},
                 {radio, TacAdapterKind::CheckBoxWnd, nullptr}};
  for (Made& m : made) {
    m.sd = std::make_unique<TsCommonData>(nullptr, true);
    m.sd->SetSkinManager(manager.get());
    const TacDialogChild how =
        DialogChildAdapter(m.wnd == text ? "STATIC" : "BUTTON",
                           static_cast<std::uint32_t>(GetWindowLongW(m.wnd, GWL_STYLE)), true);
    ASSERT_EQ(how.Kind, m.kind);
    if (m.kind == TacAdapterKind::StaticWnd)
      m.adapter = CreateAdapter<TacStaticWnd>(m.wnd, true, m.sd.get(), manager.get(), how.Section);
    else
      m.adapter = AdapterFactoryOf(m.kind)(m.wnd, m.sd.get(), manager.get(), how.Section);
    ASSERT_NE(m.adapter, nullptr);
  }
  pump::PumpUntilIdle();
  const auto shown = [](HWND wnd) {
    RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    pump::PumpUntilIdle();
    return kvtest::TPixels::FromClient(wnd);
  };
  const kvtest::TPixels checkImg = shown(check);
  EXPECT_GT(checkImg.CountOf(static_cast<COLORREF>(skin().Colour("GLOBALINFO", "BOXCHECKED", 0)),
                             checkImg.Whole()),
            0);
  const kvtest::TPixels radioImg = shown(radio);
  EXPECT_GT(radioImg.CountOf(static_cast<COLORREF>(skin().Colour("GLOBALINFO", "RADIOCHECKED", 0)),
                             radioImg.Whole()),
            0)
      << "an automatic radio button is still a radio button";
  EXPECT_EQ(SectionAt(shown(push), 140, 12).substr(0, 6), "BUTTON");
  EXPECT_EQ(SectionAt(shown(text), 140, 12).substr(0, 8), "CHECKBOX");

  for (Made& m : made) FreeAdapter(m.adapter);
  DestroyWindow(dialog);
}

// A solid bitmap of a colour no skin item has.
constexpr COLORREF kPicture = RGB(0x12, 0x34, 0x56);
HBITMAP SolidBitmap(int size) {
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
  HDC dc = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  const RECT all{0, 0, size, size};
  HBRUSH brush = CreateSolidBrush(kPicture);
  FillRect(dc, &all, brush);
  DeleteObject(brush);
  SelectObject(dc, old);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return bitmap;
}

TEST_F(CtrlAdapter, DialogPicturesAreDrawnAndTheStaticKeepsItsBitmap) {
  HWND dialog = CreateWindowExW(0, L"#32770", L"", WS_POPUP | WS_VISIBLE, 60, 60, 300, 200, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(dialog, nullptr);
  HWND picture = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_BITMAP, 10, 10, 40,
                                 40, dialog, nullptr, GetModuleHandleW(nullptr), nullptr);
  HWND button =
      CreateWindowExW(0, L"BUTTON", L"Go", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON | BS_BITMAP, 10,
                      60, 160, 30, dialog, nullptr, GetModuleHandleW(nullptr), nullptr);
  HBITMAP shown = SolidBitmap(16);
  HBITMAP glyph = SolidBitmap(12);
  SendMessageW(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(shown));
  SendMessageW(button, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(glyph));
  shown = reinterpret_cast<HBITMAP>(SendMessageW(picture, STM_GETIMAGE, IMAGE_BITMAP, 0));

  TsCommonData pictureData(nullptr, true), buttonData(nullptr, true);
  pictureData.SetSkinManager(manager.get());
  buttonData.SetSkinManager(manager.get());
  auto* icon = CreateAdapter<TacIconWnd>(picture, true, &pictureData, manager.get(), "CHECKBOX");
  auto* bitBtn = CreateAdapter<TacBitBtnWnd>(button, true, &buttonData, manager.get(), "");
  const auto count = [](HWND wnd) {
    RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    pump::PumpUntilIdle();
    const kvtest::TPixels img = kvtest::TPixels::FromClient(wnd);
    return img.CountOf(kPicture, img.Whole());
  };
  EXPECT_EQ(count(picture), 16 * 16);
  EXPECT_EQ(count(button), 12 * 12) << "the glyph's size comes from the bitmap itself";
  SendMessageW(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(SolidBitmap(20)));
  shown = reinterpret_cast<HBITMAP>(SendMessageW(picture, STM_GETIMAGE, IMAGE_BITMAP, 0));
  EXPECT_EQ(count(picture), 20 * 20) << "a picture set since is shown";

  FreeAdapter(icon);
  FreeAdapter(bitBtn);
  BITMAP info{};
  EXPECT_NE(GetObjectW(shown, sizeof(info), &info), 0) << "the static's own bitmap lives on";
  EXPECT_EQ(info.bmWidth, 20);
  DestroyWindow(dialog);
  DeleteObject(glyph);
}

// Counts what reaches the control's own handling below every adapter.
struct TTextCounter {
  void Proc(TMessage& m) {
    if (m.Msg == WM_SETTEXT) ++count;
    hook.CallPrevious(m);
  }
  TWindowProcHook hook;
  int count = 0;
};

TEST_F(CtrlAdapter, AGroupBoxAnswersItsCaptionBandAndTakesANewTextOnce) {
  auto* group = Add<TGroupBox>(10, 10, 200, 100);
  group->SetCaption("Relays");
  group->HandleNeeded();
  TTextCounter below;
  below.hook = group->InstallWindowProcHook(TWndMethod([&below](TMessage& m) { below.Proc(m); }));
  ShowSkinned();
  ASSERT_NE(dynamic_cast<TacGroupBoxWnd*>(AdapterOf(group)), nullptr);

  const LRESULT band = Command(group->Handle(), cmdGetCaptionHeight);
  EXPECT_GE(band, 6);
  EXPECT_LT(band, 40);
  group->SetCaption("Channels");
  EXPECT_EQ(below.count, 1) << "the new text reaches the group box once";
  EXPECT_EQ(SectionAt(Shown(group), 100, 60).substr(0, 8), "GROUPBOX");
  EXPECT_NE(SectionAt(Shown(group), 190, 1).substr(0, 8), "GROUPBOX")
      << "above the frame's top the parent shows";
}

TEST_F(CtrlAdapter, ABitButtonShowsItsGlyphOverTheSkin) {
  auto* button = Add<TBitBtn>(10, 10, 120, 40);
  button->SetCaption("OK");
  // A 16 x 16 glyph whose bottom-left pixel, the transparent colour, differs.
  TBitmap glyph(16, 16, pf24bit);
  for (int y = 0; y < 16; ++y) {
    std::uint8_t* row = glyph.ScanLine(y);
    for (int x = 0; x < 16; ++x) {
      const COLORREF c = x == 0 && y == 15 ? RGB(255, 255, 255) : kPicture;
      row[3 * x] = GetBValue(c);
      row[3 * x + 1] = GetGValue(c);
      row[3 * x + 2] = GetRValue(c);
    }
  }
  button->SetGlyph(glyph);
  ShowSkinned();
  ASSERT_NE(dynamic_cast<TacBitBtnWnd*>(AdapterOf(button)), nullptr);
  const kvtest::TPixels img = Shown(button);
  EXPECT_EQ(img.CountOf(kPicture, img.Whole()), 16 * 16 - 1);
  EXPECT_EQ(SectionAt(img, 118, 20).substr(0, 6), "BUTTON");
}

TEST_F(CtrlAdapter, ALabelOnASkinnedPanelStillShows) {
  auto* panel = Add<TPanel>(10, 10, 200, 100);
  panel->SetCaption("");
  auto* label = Create<TLabel>(form);
  label->SetParent(panel);
  label->SetBounds(10, 10, 150, 30);
  label->Font()->SetHeight(-24);
  label->SetCaption("WWWW");
  ShowSkinned();
  ASSERT_NE(AdapterOf(panel), nullptr);
  const COLORREF text = ColorToRGB(label->Font()->Color());
  const kvtest::TPixels img = Shown(panel);
  EXPECT_GT(img.CountOf(text, {10, 10, 160, 40}), 0) << "the label's text";
  EXPECT_EQ(img.CountOf(text, {0, 60, 200, 100}), 0);
}

// A skin that lacks one section, as sparse skins do: each window that would
// paint from it shows what the system paints, as its twin that is never
// skinned does; every other window stays skinned.
class CtrlAdapterLacking : public SkinnedFormFixture,
                           public ::testing::WithParamInterface<const char*> {
 protected:
  kvtest::TTestSkinOptions SkinOptions() const override { return {.Lacks = {GetParam()}}; }

  struct Item {
    std::string section;
    TWinControl* control;
    TWinControl* twin;
    POINT probe;  // where the section shows
  };
  // The control, and a twin to its right that nothing skins (but, as the
  // adapter does, is shown without visual styles).
  template <class T>
  std::array<T*, 2> Pair(const char* section, int x, int y, int w, int h, POINT probe) {
    auto* control = Add<T>(x, y, w, h);
    auto* twin = Add<T>(x + 250, y, w, h);
    twin->SetTag(-98);
    items.push_back({section, control, twin, probe});
    return {control, twin};
  }
  std::vector<Item> items;
};

TEST_P(CtrlAdapterLacking, WindowsWithoutTheirSectionShowTheSystemsPainting) {
  for (TPanel* panel : Pair<TPanel>("PANEL", 5, 5, 110, 50, {55, 25})) panel->SetCaption("");
  Pair<TGroupBox>("GROUPBOX", 120, 5, 110, 60, {55, 40});
  Pair<TCheckBox>("CHECKBOX", 5, 70, 110, 22, {105, 11});
  // Tabs enough for a scroller, which is skinned with its tabs or not at all.
  const auto pages = Pair<TPageControl>("PAGECONTROL", 5, 100, 200, 120, {0, 80});
  for (TPageControl* control : pages)
    for (int i = 0; i < 8; ++i) {
      auto* sheet = Create<TTabSheet>(form);
      sheet->SetPageControl(control);
      sheet->SetCaption("Page");
    }
  Pair<TStatusBar>("STATUSBAR", 0, 0, 200, 22, {100, 11});
  ShowSkinned();
  // The class library has no tool bar: a system one stands for it. Its
  // adapter only hides the background and frame, which the system's own
  // procedure, below it, then does not draw.
  HWND toolBar = CreateWindowExW(0, TOOLBARCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | CCS_NORESIZE,
                                 220, 100, 20, 30, form->Handle(), nullptr, nullptr, nullptr);
  kvtest::TMessageRecorder below;
  below.AttachWindow(toolBar);
  TacMainWnd* bar = CreateToolBarVCLAdapter(toolBar, nullptr, manager.get(), "TOOLBAR", true);
  below.Clear();
  Shown(toolBar);
  const bool lacks = GetParam() == std::string("TOOLBAR");
  EXPECT_EQ(below.Count(WM_ERASEBKGND) > 0, lacks);
  EXPECT_EQ(below.Count(WM_NCPAINT) > 0, lacks);
  FreeAdapter(bar);
  for (const Item& item : items) {
    SCOPED_TRACE(item.section);
    PlatformCalls().SetWindowTheme(item.twin->Handle(), L" ", L" ");
    ASSERT_NE(AdapterOf(item.control), nullptr);
    const kvtest::TPixels shown = Shown(item.control);
    if (item.section == GetParam())
      EXPECT_TRUE(kvtest::SameImage(shown, Shown(item.twin)));
    else
      EXPECT_EQ(SectionAt(shown, item.probe.x, item.probe.y).substr(0, item.section.size()),
                item.section);
  }
  HWND scroller = FindWindowExW(pages[0]->Handle(), nullptr, UPDOWN_CLASSW, nullptr);
  ASSERT_NE(scroller, nullptr);
  EXPECT_EQ(AdapterOfWindow(scroller) != nullptr, GetParam() != std::string("PAGECONTROL"));
}

INSTANTIATE_TEST_SUITE_P(Sections, CtrlAdapterLacking,
                         ::testing::Values("PANEL", "GROUPBOX", "CHECKBOX", "PAGECONTROL",
                                           "STATUSBAR", "TOOLBAR"));

}  // namespace
}  // namespace kv
