// The skinned edit under Wine with the synthetic skin: the frame it paints
// from its cache, the colours it gives the system edit, normal and hot, and
// the cached picture of a disabled or printed edit.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "skin/controls/SkinnedForm.h"
#include "skin/controls/sBitBtn_win.h"
#include "skin/controls/sCheckBox_win.h"
#include "skin/controls/sComboBox_win.h"
#include "skin/controls/sEdit_win.h"
#include "skin/controls/sLabel_win.h"
#include "skin/controls/sListView_win.h"
#include "skin/controls/sPageControl_win.h"
#include "skin/controls/sFrameBar_win.h"
#include "skin/controls/sPanel_win.h"
#include "skin/controls/sScrollBox_win.h"
#include "skin/controls/sSpeedButton_win.h"
#include "support/FreedMemory.h"
#include "support/Mouse.h"
#include "support/Pixels.h"

namespace kv {
namespace {

using kvtest::TPixels;
using pump::PumpUntil;
using pump::PumpUntilIdle;

class EditSkinned : public kvtest::TSkinnedFormTest {
 protected:
  TsEdit* AddEdit(int left, int top, const std::string& text, wchar_t passwordChar = 0) {
    auto* edit = Create<TsEdit>(form);
    edit->SetParent(form);
    edit->SetBounds(left, top, 120, 24);
    edit->SetPasswordChar(passwordChar);
    edit->SetText(text);
    return edit;
  }
  // The state whose border mask colour the frame shows at its top edge.
  int FrameState(TsEdit* edit) {
    const TPixels shown = TPixels::FromWindow(edit->Handle());
    const kvtest::TSkinItem* item = skin->Legend(shown.At(edit->Width() / 2, 0));
    return item != nullptr && item->Section == "EDIT" && item->Key == "BORDERSMASK" ? item->State
                                                                                    : -1;
  }
};

TEST_F(EditSkinned, FrameAndColoursAreTheSectionsAndTurnHotOnHoverAndFocus) {
  Load();
  TsEdit* edit = AddEdit(20, 20, "");
  TsEdit* other = AddEdit(20, 80, "");
  Show();
  struct Step {
    const char* what;
    std::function<void()> act;
    int state;
  };
  const Step steps[] = {
      {"resting", [] {}, 0},
      {"hovered", [&] { kvtest::HoverIn(edit->Handle()); }, 1},
      {"left", [&] { kvtest::HoverOut(); }, 0},
      {"focused", [&] { edit->SetFocus(); }, 1},
      {"focus gone", [&] { other->SetFocus(); }, 0},
  };
  for (const Step& step : steps) {
    step.act();
    // A leave comes when the system notices the mouse has gone.
    EXPECT_TRUE(PumpUntil([&] { return ControlIsHot(edit->SkinData()) == (step.state == 1); }))
        << step.what;
    // Applying colours in the paint must not start another paint.
    ASSERT_TRUE(PumpUntilIdle()) << step.what << ": painting never settles";
    EXPECT_EQ(FrameState(edit), step.state) << step.what;
    const char* colour = step.state == 1 ? "HOTCOLOR" : "COLOR";
    const char* font = step.state == 1 ? "HOTFONTCOLOR" : "FONTCOLOR";
    EXPECT_EQ(static_cast<std::uint32_t>(edit->Color()), Colour("EDIT", colour, step.state))
        << step.what;
    EXPECT_EQ(static_cast<std::uint32_t>(edit->Font()->Color()), Colour("EDIT", font, step.state))
        << step.what;
    const TPixels client = TPixels::FromClient(edit->Handle());
    EXPECT_TRUE(kvtest::ColourAt(client, client.Width() - 4, client.Height() / 2,
                                 Colour("EDIT", colour, step.state)))
        << step.what;
  }
}

// CustomColor and CustomFont keep the edit's own colours, resting and hot.
TEST_F(EditSkinned, CustomColourAndFontStayThroughFocusAndHover) {
  Load();
  TsEdit* edit = AddEdit(20, 20, "");
  TsEdit* other = AddEdit(20, 80, "");
  edit->SkinData()->SetCustomColor(true);
  edit->SkinData()->SetCustomFont(true);
  edit->SetColor(static_cast<TColor>(0x204060));
  edit->Font()->SetColor(static_cast<TColor>(0x0A0B0C));
  Show();
  for (const auto& act : std::vector<std::function<void()>>{
           [&] { edit->SetFocus(); }, [&] { kvtest::HoverIn(edit->Handle()); },
           [&] { other->SetFocus(); }, [&] { kvtest::HoverOut(); }}) {
    act();
    ASSERT_TRUE(PumpUntilIdle());
    edit->Repaint();
    EXPECT_EQ(edit->Color(), static_cast<TColor>(0x204060));
    EXPECT_EQ(edit->Font()->Color(), static_cast<TColor>(0x0A0B0C));
  }
}

TEST_F(EditSkinned, APasswordShowsOnlyItsMaskCharacterWhenDisabledOrPrinted) {
  Load();
  TsEdit* password = AddEdit(20, 10, "9173", L'*');
  TsEdit* stars = AddEdit(20, 50, "****");
  TsEdit* plain = AddEdit(20, 90, "9173");
  Show();
  const auto printed = [](TsEdit* e) { return TPixels::FromPrint(e->Handle(), PRF_CLIENT); };
  EXPECT_TRUE(kvtest::SameImage(printed(password), printed(stars)));
  EXPECT_TRUE(kvtest::ImagesDiffer(printed(password), printed(plain)))
      << "the printed picture shows the text";

  for (TsEdit* e : {password, stars, plain}) e->SetEnabled(false);
  ASSERT_TRUE(PumpUntilIdle());
  const auto shown = [](TsEdit* e) { return TPixels::FromClient(e->Handle()); };
  EXPECT_TRUE(kvtest::SameImage(shown(password), shown(stars)));
  EXPECT_TRUE(kvtest::ImagesDiffer(shown(password), shown(plain)));
  EXPECT_EQ(password->Text(), "9173") << "only the picture is masked";
}

TEST_F(EditSkinned, TheBoundLabelFollowsItsEdit) {
  Load();
  TsEdit* edit = AddEdit(150, 40, "");
  edit->SetName("edt_Password");
  Show();
  TsBoundLabel* bound = edit->BoundLabel();
  bound->SetCaption("Password");
  bound->SetActive(true);
  TsEditLabel* label = bound->Label();
  ASSERT_NE(label, nullptr);
  const auto besideEdit = [&] {
    return label->Left() + label->Width() + 4 == edit->Left() &&
           label->Top() == edit->Top() + (edit->Height() - label->Height()) / 2 - 1;
  };
  EXPECT_TRUE(besideEdit());
  edit->SetBounds(170, 90, 120, 30);
  EXPECT_TRUE(besideEdit()) << "moved and resized";
  edit->SetEnabled(false);
  EXPECT_FALSE(label->Enabled());
  edit->SetVisible(false);
  EXPECT_FALSE(label->Visible());
  edit->SetVisible(true);
  EXPECT_TRUE(label->Visible());
}

// An edit, combo box or list view with a bound label, freed by its own key
// or enter handler: nothing touches it afterwards, its label is not asked to
// follow it (the freed-memory check makes a look at the control crash), and
// the label goes with it.
TEST_F(EditSkinned, ALabelledControlFreedByItsOwnHandlerIsLeftAlone) {
  Load();
  TsEdit* other = AddEdit(20, 120, "");
  Show();
  const auto labelled = [&](TWinControl* c, TsBoundLabel* bound) {
    c->SetParent(form);
    c->SetBounds(120, 20, 120, 24);
    bound->SetCaption("Port");
    bound->SetActive(true);
    return c;
  };
  for (const bool onEnter : {false, true})
    for (int kind = 0; kind < 3; ++kind) {
      const kvtest::TFreedMemoryCheck freed;
      TWinControl* c = nullptr;
      if (kind == 0) {
        auto* combo = Create<TsComboBox>(form);
        c = labelled(combo, combo->BoundLabel());
      } else if (kind == 1) {
        auto* edit = Create<TsEdit>(form);
        c = labelled(edit, edit->BoundLabel());
      } else {
        auto* list = Create<TsListView>(form);
        c = labelled(list, list->BoundLabel());
      }
      SCOPED_TRACE(c->ClassName() + (onEnter ? " on enter" : " on a key"));
      const int components = form->ComponentCount();
      int calls = 0;
      if (onEnter) {
        c->OnEnter = [&](TObject*) {
          ++calls;
          c->Free();
        };
      } else {
        c->OnKeyDown = [&](TObject*, WORD& key, TShiftState) {
          ++calls;
          key = 0;
          c->Free();
        };
      }
      other->SetFocus();
      PumpUntilIdle();
      if (onEnter) {
        c->SetFocus();
      } else {
        c->SetFocus();
        PumpUntilIdle();
        PostMessageW(c->Handle(), WM_KEYDOWN, 'A', 1);
      }
      ASSERT_TRUE(PumpUntil([&] { return calls > 0; })) << "the handler never ran";
      PumpUntilIdle();
      EXPECT_EQ(form->ComponentCount(), components - 2) << "the control and its label went";
      EXPECT_EQ(freed.Faults(), 0u) << "the freed control was read";
    }
}

TEST_F(EditSkinned, WithoutItsSkinTheEditTakesTheWindowColoursBack) {
  Load();
  TsEdit* edit = AddEdit(20, 20, "");
  Show();
  ASSERT_EQ(static_cast<std::uint32_t>(edit->Color()), Colour("EDIT", "COLOR"));
  manager->SetActive(false);
  ASSERT_TRUE(PumpUntilIdle());
  EXPECT_EQ(edit->Color(), clWindow);
  EXPECT_EQ(edit->Font()->Color(), clWindowText);
  manager->SetActive(true);
  ASSERT_TRUE(PumpUntilIdle());
  EXPECT_EQ(static_cast<std::uint32_t>(edit->Color()), Colour("EDIT", "COLOR"));
}

// The frame the skin paints is as wide as the border and the bevels: the
// client edge 2, the plain line 1, one pixel per bevel while bevels are on.
TEST_F(EditSkinned, TheSkinnedFrameIsAsWideAsTheBorderAndTheBevels) {
  Load();
  const struct {
    TBorderStyle border;
    bool ctl3D;
    TBevelKind kind;
    TBevelCut inner, outer;
    int frame;
  } rows[] = {
      {bsSingle, true, bkNone, bvRaised, bvLowered, 2},
      {bsSingle, false, bkNone, bvRaised, bvLowered, 1},
      {bsNone, true, bkFlat, bvRaised, bvLowered, 2},
      {bsSingle, true, bkTile, bvNone, bvLowered, 3},
      {bsNone, true, bkNone, bvRaised, bvLowered, 0},
  };
  int top = 10;
  std::vector<std::pair<TsEdit*, int>> edits;
  for (const auto& row : rows) {
    TsEdit* edit = AddEdit(20, top, "text");
    edit->SetBorderStyle(row.border);
    edit->SetCtl3D(row.ctl3D);
    edit->SetBevelKind(row.kind);
    edit->SetBevelInner(row.inner);
    edit->SetBevelOuter(row.outer);
    edits.emplace_back(edit, row.frame);
    top += 34;
  }
  Show();
  for (const auto& [edit, frame] : edits) {
    SCOPED_TRACE(frame);
    RECT window{};
    GetWindowRect(edit->Handle(), &window);
    POINT origin{0, 0};
    ClientToScreen(edit->Handle(), &origin);
    EXPECT_EQ(frame, origin.x - window.left);
    EXPECT_EQ(frame, origin.y - window.top);
    SendMessageW(edit->Handle(), WM_NCPAINT, 1, 0);
    const TPixels shown = TPixels::FromWindow(edit->Handle());
    for (int x = 0; x < frame; ++x) {
      const kvtest::TSkinItem* item = skin->Legend(shown.At(x, edit->Height() / 2));
      EXPECT_TRUE(item != nullptr && item->Key == "BORDERSMASK") << "column " << x;
    }
  }
}

// A control that frees itself when the focus comes or goes (an editor put in
// place for one entry) is not touched after its handler: the focus moves to
// it (from the program, or by a click on it), and away from it by a click on
// another edit.
TEST_F(EditSkinned, AControlFreedByItsOwnFocusHandlerIsLeftAlone) {
  Load();
  TsEdit* other = AddEdit(20, 120, "");
  Show();
  const std::vector<std::function<TWinControl*()>> kinds = {
      [&] { return Create<TsComboBox>(form); },
      [&] {
        auto* combo = Create<TsComboBox>(form);
        combo->SetStyle(csDropDownList);
        return combo;
      },
      [&] { return Create<TsCheckBox>(form); },
      [&] { return Create<TsRadioButton>(form); },
      [&] { return Create<TsBitBtn>(form); },
      [&] { return Create<TsEdit>(form); },
      [&] { return Create<TsListView>(form); },
      [&] {
        auto* pages = Create<TsPageControl>(form);
        auto* sheet = Create<TsTabSheet>(form);
        sheet->SetPageControl(pages);
        sheet->SetCaption("One");
        return pages;
      },
  };
  enum TWay { wEnter, wEnterByClick, wExit };
  static const char* const ways[] = {" on enter", " on enter by a click", " on exit"};
  for (const TWay way : {wEnter, wEnterByClick, wExit})
    for (const auto& make : kinds) {
      const bool onEnter = way != wExit;
      const kvtest::TFreedMemoryCheck freed;
      TWinControl* c = make();
      // Only the check box and radio button take a click themselves; the
      // others' system control goes on with its own data after giving the
      // focus, skinned or not.
      if (way == wEnterByClick && dynamic_cast<TsCheckBox*>(c) == nullptr &&
          dynamic_cast<TsRadioButton*>(c) == nullptr) {
        c->Free();
        continue;
      }
      c->SetParent(form);
      c->SetBounds(150, 20, 120, 24);
      SCOPED_TRACE(c->ClassName() + ways[way]);
      other->SetFocus();
      PumpUntilIdle();
      int calls = 0;
      const auto freeIt = [&](TObject*) {
        ++calls;
        c->Free();
      };
      int entered = 0;
      other->OnEnter = [&](TObject*) { ++entered; };
      if (onEnter) {
        c->OnEnter = freeIt;
        if (way == wEnter)
          c->SetFocus();
        else
          kvtest::Click(c->Handle(), {5, 5});
      } else {
        c->SetFocus();
        PumpUntilIdle();
        c->OnExit = freeIt;
        kvtest::Click(other->Handle(), {5, 5});
      }
      ASSERT_TRUE(PumpUntil([&] { return calls > 0; })) << "the handler never ran";
      PumpUntilIdle();
      other->OnEnter = nullptr;
      EXPECT_EQ(freed.Faults(), 0u) << "the freed control was read";
      if (!onEnter) EXPECT_EQ(entered, 1) << "the edit clicked was entered";
    }
}

// The pointer coming onto a control, or leaving it, may run a handler that
// frees it; nothing touches it afterwards.
TEST_F(EditSkinned, AControlFreedByItsOwnMouseEnterOrLeaveIsLeftAlone) {
  Load();
  Show();
  struct TKind {
    std::function<TControl*()> make;
    std::function<void(TControl*, TNotifyEvent)> onEnter, onLeave;
  };
  const auto kind = [](auto make) {
    using T = std::remove_pointer_t<decltype(make())>;
    return TKind{make, [](TControl* c, TNotifyEvent e) { static_cast<T*>(c)->OnMouseEnter = e; },
                 [](TControl* c, TNotifyEvent e) { static_cast<T*>(c)->OnMouseLeave = e; }};
  };
  const std::vector<TKind> kinds = {
      kind([&] { return Create<TsBitBtn>(form); }),
      kind([&] { return Create<TsSpeedButton>(form); }),
      kind([&] { return Create<TsPanel>(form); }),
      kind([&] { return Create<TsListView>(form); }),
      kind([&] { return Create<TsLabel>(form); }),
      kind([&] { return Create<TsScrollBox>(form); }),
      kind([&] { return Create<TsFrameBar>(form); }),
  };
  for (const bool enter : {true, false})
    for (const TKind& k : kinds) {
      const kvtest::TFreedMemoryCheck freed;
      TControl* c = k.make();
      c->SetParent(form);
      c->SetBounds(40, 40, 120, 40);
      c->SetCaption("Here");
      SCOPED_TRACE(c->ClassName() + (enter ? " on enter" : " on leave"));
      PumpUntilIdle();
      int calls = 0;
      const TNotifyEvent freeIt = [&](TObject*) {
        ++calls;
        c->Free();
      };
      (enter ? k.onEnter : k.onLeave)(c, freeIt);
      kvtest::MouseMove(form->Handle(), {45, 45});
      if (!enter) {
        PumpUntilIdle();
        kvtest::MouseMove(form->Handle(), {300, 180});
      }
      ASSERT_TRUE(PumpUntil([&] { return calls > 0; })) << "the handler never ran";
      PumpUntilIdle();
      kvtest::HoverOut();
      EXPECT_EQ(freed.Faults(), 0u) << "the freed control was read";
    }
}

}  // namespace
}  // namespace kv
