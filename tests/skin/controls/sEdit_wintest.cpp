// The skinned edit under Wine with the synthetic skin: the frame it paints
// from its cache, the colours it gives the system edit, normal and hot, and
// the cached picture of a disabled or printed edit.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "skin/controls/SkinnedForm.h"
#include "skin/controls/sEdit_win.h"
#include "skin/controls/sLabel_win.h"
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

}  // namespace
}  // namespace kv
