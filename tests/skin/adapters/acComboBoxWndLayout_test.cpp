// Where the combo-box adapter puts button, text and arrow in the window.
#include "skin/adapters/acComboBoxWndLayout.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

constexpr TSize kWindow{160, 24};
constexpr int kScroll = 17;

struct ButtonCase {
  const char* name;
  bool dropDown, rightToLeft;
  TRect button, text;
};

class ComboLayout : public ::testing::TestWithParam<ButtonCase> {};

TEST_P(ComboLayout, ButtonInsideTheFrameAndTheTextBesideIt) {
  const ButtonCase& c = GetParam();
  const TRect button = ComboButtonRect(kWindow, c.dropDown, c.rightToLeft, kScroll);
  EXPECT_EQ(button, c.button);
  EXPECT_EQ(ComboTextRect(kWindow, button, c.rightToLeft), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Styles, ComboLayout,
    ::testing::Values(ButtonCase{"DropDown", true, false, {141, 2, 158, 22}, {3, 3, 141, 21}},
                      ButtonCase{"RightToLeft", true, true, {2, 2, 19, 22}, {19, 3, 157, 21}},
                      // A simple box has no button: the text runs to the frame.
                      ButtonCase{"Simple", false, false, {158, 2, 158, 22}, {3, 3, 158, 21}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ComboGlyph, CentredAcrossTheButtonAndDownTheWindow) {
  const TRect button = ComboButtonRect(kWindow, true, false, kScroll);
  EXPECT_EQ(ComboGlyphPos(kWindow, button, {9, 6}), (TPoint{145, 9}));
  // A glyph wider than the button overhangs it evenly.
  EXPECT_EQ(ComboGlyphPos(kWindow, button, {21, 30}), (TPoint{139, -3}));
}

}  // namespace
}  // namespace kv
