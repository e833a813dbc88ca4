// The labels: the bound caption label beside a control on a plain form, and
// under Wine with the synthetic skin the skinned label's colours and
// background, and the link label's fonts and what it opens.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "classlib/Forms.h"
#include "classlib/WideText.h"
#include "skin/controls/SkinnedForm.h"
#include "skin/controls/sEdit_win.h"
#include "skin/controls/sLabel_win.h"
#include "skin/core/sCommonData_win.h"
#include "skin/forms/SkinnedFormFixture.h"
#include "support/Pixels.h"
#include "support/PlatformSeams.h"

namespace kv {
namespace {

class BoundLabel : public ::testing::Test {
 protected:
  void SetUp() override {
    form_ = CreateOwned<TForm>();
    form_->SetBounds(0, 0, 400, 300);
    edit_ = Create<TsEdit>(form_.get());
    edit_->SetName("PortEdit");
    edit_->SetParent(form_.get());
    edit_->SetBounds(150, 100, 120, 24);
    skinData_ = std::make_unique<TsCommonData>(edit_, false);
    bound_ = std::make_unique<TsBoundLabel>(skinData_.get());
  }

  Owned<TForm> form_;
  TsEdit* edit_ = nullptr;
  std::unique_ptr<TsCommonData> skinData_;
  std::unique_ptr<TsBoundLabel> bound_;
};

TEST_F(BoundLabel, ExistsOnlyWhileActiveBesideItsControl) {
  const int components = form_->ComponentCount();
  EXPECT_EQ(bound_->Label(), nullptr);
  EXPECT_TRUE(bound_->UseSkinColor());
  edit_->SetEnabled(false);
  bound_->SetActive(true);
  TsEditLabel* label = bound_->Label();
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->Owner(), form_.get());
  EXPECT_EQ(label->Parent(), form_.get());
  EXPECT_EQ(label->FocusControl(), edit_);
  EXPECT_EQ(label->BoundLabel(), bound_.get());
  EXPECT_EQ(label->Name(), "PortEditLabel");
  EXPECT_EQ(label->Caption(), "PortEdit") << "an empty caption takes the control's name";
  EXPECT_EQ(bound_->Caption(), "PortEdit");
  EXPECT_TRUE(label->Visible());
  EXPECT_FALSE(label->Enabled());
  EXPECT_EQ(label->Alignment(), taRightJustify);
  EXPECT_EQ(label->Left(), 150 - label->Width() - 4);
  EXPECT_EQ(label->Top(), 100 + (24 - label->Height()) / 2 - 1);

  bound_->SetCaption("Serial port");
  EXPECT_EQ(label->Caption(), "Serial port");
  EXPECT_EQ(label->Left(), 150 - label->Width() - 4) << "placed again for its new width";
  bound_->SetUseSkinColor(false);
  EXPECT_FALSE(label->UseSkinColor());

  bound_->SetActive(false);
  EXPECT_EQ(bound_->Label(), nullptr);
  EXPECT_EQ(form_->ComponentCount(), components);
  EXPECT_TRUE(bound_->UseSkinColor());
}

TEST_F(BoundLabel, EachLayoutPlacesAndAlignsTheLabel) {
  bound_->SetCaption("Port");
  bound_->SetActive(true);
  TsEditLabel* label = bound_->Label();
  ASSERT_NE(label, nullptr);
  const int w = label->Width(), h = label->Height();
  struct Case {
    TsCaptionLayout layout;
    TAlignment alignment;
    int left, top;
  };
  const int indent = 3, above = 100 - h - indent;
  for (const Case& c : {Case{sclLeft, taRightJustify, 150 - w - 4 - indent, 100 + (24 - h) / 2 - 1},
                        Case{sclTopLeft, taLeftJustify, 150, above},
                        Case{sclTopCenter, taCenter, 150 + (120 - w) / 2, above},
                        Case{sclTopRight, taRightJustify, 270 - w, above}}) {
    bound_->SetIndent(0);
    bound_->SetLayout(c.layout);
    bound_->SetIndent(indent);
    EXPECT_EQ(label->Alignment(), c.alignment) << "layout " << c.layout;
    EXPECT_EQ(label->BoundsRect(), Bounds(c.left, c.top, w, h)) << "layout " << c.layout;
    EXPECT_TRUE(label->AutoSize());
  }
  bound_->SetMaxWidth(40);
  EXPECT_FALSE(label->AutoSize());
  EXPECT_TRUE(label->WordWrap());
  EXPECT_EQ(label->Width(), 40);
  EXPECT_GE(label->Height(), 24) << "at least as high as the control";
}

// A control that owns its skin data and bound label, as the skinned edits do.
class TLabelledBox : public TCustomControl {
 public:
  explicit TLabelledBox(TComponent* owner) : TCustomControl(owner) {}
  TsCommonData sd{this, false};
  TsBoundLabel bound{&sd};
};

TEST_F(BoundLabel, ALabelFreedByItsOwnerFirstIsForgotten) {
  bound_->SetActive(true);
  ASSERT_NE(bound_->Label(), nullptr);
  bound_->Label()->Free();
  EXPECT_EQ(bound_->Label(), nullptr);
  EXPECT_TRUE(bound_->Active());
  bound_.reset();  // nothing left to free twice

  // The form frees the control and the label in either order.
  for (bool labelFirst : {false, true}) {
    auto form = CreateOwned<TForm>();
    auto* box = Create<TLabelledBox>(form.get());
    box->SetParent(form.get());
    box->bound.SetActive(true);
    ASSERT_NE(box->bound.Label(), nullptr);
    if (labelFirst) {
      form->RemoveComponent(box);
      form->InsertComponent(box);
    }
    form.reset();
  }
}

TEST_F(BoundLabel, AHiddenControlsLabelIsHiddenAndNotPlaced) {
  edit_->SetVisible(false);
  bound_->SetActive(true);
  TsEditLabel* label = bound_->Label();
  ASSERT_NE(label, nullptr);
  EXPECT_FALSE(label->Visible());
  const TRect before = label->BoundsRect();
  bound_->SetIndent(20);
  EXPECT_EQ(label->BoundsRect(), before);
}

// --- skinned labels --------------------------------------------------------------------

using kvtest::TPixels;
using kvtest::TSectionBox;
using pump::PumpUntil;
using pump::PumpUntilIdle;

class LabelSkinned : public kvtest::TSkinnedFormTest {
 protected:
  // A panel-like parent in the PANEL section, with a label on it.
  template <class L = TsLabel>
  L* AddLabel(const std::string& caption) {
    if (box == nullptr) {
      box = Create<TSectionBox>(form, "PANEL");
      box->SetParent(form);
      box->SetBounds(10, 10, 280, 150);
    }
    auto* label = Create<L>(form);
    label->SetParent(box);
    label->SetLeft(20);
    label->SetTop(20);
    TFont font;
    font.SetSize(20);
    font.SetStyle(fsBold);
    label->SetFont(font);
    label->SetCaption(caption);
    return label;
  }
  TPixels Under(TControl* label) {
    const TPixels all = TPixels::FromClient(box->Handle());
    return all.Crop({label->Left(), label->Top(), label->Left() + label->Width(),
                     label->Top() + label->Height()});
  }
  void TearDown() override {
    kvtest::TSkinnedFormTest::TearDown();
    box = nullptr;
  }
  TSectionBox* box = nullptr;
};

TEST_F(LabelSkinned, TheFontColourComesFromAParentGivingItsFontElseFromTheGlobalSection) {
  for (bool giveOwnFont : {true, false}) {
    SCOPED_TRACE(giveOwnFont ? "GIVEOWNFONT" : "no GIVEOWNFONT");
    kvtest::TTestSkinOptions options;
    options.GiveOwnFont = giveOwnFont;
    Load(options);
    TsLabel* label = AddLabel("Port");
    TsLabel* own = AddLabel("Own");
    own->SetTop(60);
    own->SetUseSkinColor(false);
    own->Font()->SetColor(static_cast<TColor>(0x123456));
    Show();
    const std::uint32_t expected =
        giveOwnFont ? Colour("PANEL", "FONTCOLOR") : Colour("GLOBALINFO", "FONTCOLOR");
    EXPECT_EQ(static_cast<std::uint32_t>(label->Font()->Color()), expected);
    EXPECT_GT(Under(label).CountOf(expected, Under(label).Whole()), 0) << "the text is painted";
    EXPECT_EQ(own->Font()->Color(), static_cast<TColor>(0x123456));
    manager->SetActive(false);
    // As the form passes the news on to its labels.
    for (TsLabel* l : {label, own})
      l->Perform(SM_ALPHACMD, MAKEWPARAM(0, cmdSkinRemoved),
                 reinterpret_cast<LPARAM>(manager.get()));
    EXPECT_EQ(label->Font()->Color(), clWindowText) << "without a skin";
    EXPECT_EQ(own->Font()->Color(), static_cast<TColor>(0x123456));
    TearDown();
  }
}

TEST_F(LabelSkinned, ADisabledLabelsTextMixesFortyPercentOfItsColourIntoTheBackground) {
  kvtest::TTestSkinOptions options;
  options.GiveOwnFont = true;
  Load(options);
  TsLabel* label = AddLabel("WWWW");
  label->SetEnabled(false);
  Show();
  const std::uint32_t text = Colour("PANEL", "FONTCOLOR"), back = Colour("PANEL", "COLOR");
  const auto mix = [&](int shift) {
    return static_cast<std::uint32_t>(
        (0.4 * ((text >> shift) & 0xFF) + 0.6 * ((back >> shift) & 0xFF)) + 0.5);
  };
  const std::uint32_t expected = mix(0) | mix(8) << 8 | mix(16) << 16;
  const TPixels shown = Under(label);
  EXPECT_GT(shown.CountOf(expected, shown.Whole()), 0);
  EXPECT_EQ(shown.CountOf(text, shown.Whole()), 0) << "no pixel in the full text colour";
  EXPECT_EQ(shown.CountOf(GetSysColor(COLOR_BTNSHADOW), shown.Whole()), 0) << "not embossed";
}

TEST_F(LabelSkinned, ASkinSectionPaintsTheBackgroundOnlyWhenTheSkinHasIt) {
  Load();
  struct Case {
    const char* section;
    bool painted;
  };
  for (const Case c : {Case{"BUTTON", true}, Case{"NOSUCHSECTION", false}, Case{"", false}}) {
    SCOPED_TRACE(c.section);
    TsLabel* label = AddLabel("Section");
    label->SetSkinSection(c.section);
    Show();
    const TPixels shown = Under(label);
    const std::uint32_t edge = Colour("BUTTON", "BORDERSMASK", 0);
    EXPECT_EQ(shown.At(shown.Width() / 2, 0) == edge, c.painted);
    if (!c.painted) {
      EXPECT_TRUE(kvtest::ColourAt(shown, shown.Width() / 2, 0, Colour("PANEL", "COLOR")));
    }
    box->Free();
    box = nullptr;
  }
}

// A skinned form copies its background around its windowless children: a
// see-through label without a section of its own shows the form's
// background in the corners its text leaves free.
TEST(LabelOnSkinnedForm, ATransparentLabelShowsTheFormsSkinnedBackground) {
  kvtest::TSkinnedFormFixture fixture;
  fixture.Provide();
  const std::vector<TsLabel*> labels{Create<TsLabel>(fixture.form),
                                     Create<TsWebLabel>(fixture.form)};
  for (size_t i = 0; i < labels.size(); ++i) {
    TsLabel* label = labels[i];
    label->SetParent(fixture.form);
    label->SetAutoSize(false);
    label->SetCaption("S");
    label->SetAlignment(taLeftJustify);
    label->SetBounds(20, 20 + 40 * static_cast<int>(i), 120, 30);
  }
  fixture.Show();
  RedrawWindow(fixture.Wnd(), nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  const TPixels client = TPixels::FromClient(fixture.Wnd());
  for (TsLabel* label : labels) {
    SCOPED_TRACE(label->Name());
    const int y = label->Top() + label->Height() - 2;
    const std::uint32_t outside = client.At(label->Left() + label->Width() + 2, y);
    EXPECT_EQ(fixture.SectionAt(client, label->Left() + label->Width() + 2, y), "FORM");
    EXPECT_EQ(client.At(label->Left() + label->Width() - 2, y), outside);
    EXPECT_EQ(client.At(label->Left() + label->Width() / 2, label->Top() + 1), outside);
  }
}

// The shell's calls, recorded instead of made.
struct TShellCall {
  std::wstring verb, file;
  bool params, dir;
  INT show;
};
std::vector<TShellCall> shellCalls;

HINSTANCE RecordShell(HWND, LPCWSTR verb, LPCWSTR file, LPCWSTR params, LPCWSTR dir, INT show) {
  shellCalls.push_back(
      {verb ? verb : L"", file ? file : L"", params != nullptr, dir != nullptr, show});
  return reinterpret_cast<HINSTANCE>(33);
}

// Whatever the address names, each click hands it to the shell once, with
// no parameters and no directory; an empty one opens nothing.
TEST_F(LabelSkinned, AWebLabelOpensItsAddressOncePerClickAndNothingWithoutOne) {
  Load();
  kvtest::TPlatformScope platform;
  platform.Calls().ShellExecute = RecordShell;
  auto* link = AddLabel<TsWebLabel>("www.example.com");
  link->SetShowMode(soNormal);
  Show();
  for (const std::string url :
       {"https://www.example.com/kv", "mailto:service@example.com", "www.example.com",
        "ftp://ftp.example.com/kv", "c:\\kv\\manual.pdf", ""}) {
    SCOPED_TRACE(url);
    shellCalls.clear();
    link->SetURL(url);
    kvtest::Click(box->Handle(), {link->Left() + 5, link->Top() + 5});
    ASSERT_EQ(shellCalls.size(), url.empty() ? 0u : 1u);
    if (url.empty()) continue;
    EXPECT_EQ(shellCalls[0].verb, L"open");
    EXPECT_EQ(shellCalls[0].file, Wide(url));
    EXPECT_FALSE(shellCalls[0].params);
    EXPECT_FALSE(shellCalls[0].dir);
    EXPECT_EQ(shellCalls[0].show, SW_SHOWNORMAL);
  }
  kvtest::HoverOut();
  PumpUntilIdle();
}

TEST_F(LabelSkinned, AWebLabelShowsItsHoverFontWhileTheMouseIsOverIt) {
  Load();
  auto* link = AddLabel<TsWebLabel>("www.example.com");
  link->SetUseSkinColor(false);
  TFont normal, hover;
  normal.SetColor(static_cast<TColor>(0x112233));
  hover.SetColor(static_cast<TColor>(0x445566));
  hover.SetStyle(fsUnderline);
  link->SetFont(normal);
  link->SetHoverFont(hover);
  Show();
  const auto over = [&](bool inside, TColor colour) {
    if (inside)
      kvtest::MouseMove(box->Handle(), {link->Left() + 3, link->Top() + 3});
    else
      kvtest::HoverOut();
    // The leave comes when the system notices the mouse has gone.
    EXPECT_TRUE(PumpUntil([&] { return link->Hovered() == inside; }));
    PumpUntilIdle();
    EXPECT_EQ(link->Font()->Color(), colour);
    EXPECT_GT(Under(link).CountOf(static_cast<std::uint32_t>(colour), Under(link).Whole()), 0);
  };
  over(true, hover.Color());
  over(false, normal.Color());
  // With the skin's colours: its link colours, the usual ones where it has none.
  link->SetUseSkinColor(true);
  over(true, static_cast<TColor>(0x0000FF));
  over(false, static_cast<TColor>(0xFF0000));
}

}  // namespace
}  // namespace kv
