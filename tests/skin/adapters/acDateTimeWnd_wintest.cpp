// Date-time pickers on a skinned form whose edit section is dark: their
// fields are written in the section's font colour, the date kind's drop-down
// button and the time kind's up-down are the skin's.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "SkinnedFormFixture.h"
#include "classlib/DateTimePickers.h"

namespace kv {
namespace {

constexpr COLORREF kDark = 0x302820, kLight = 0xD0F0E0;

class DateTimeWnd : public SkinnedFormFixture, public ::testing::WithParamInterface<TDateTimeKind> {
 protected:
  kvtest::TTestSkinOptions SkinOptions() const override {
    return {.Keys = {{"EDIT", "COLOR", std::to_string(kDark)},
                     {"EDIT", "HOTCOLOR", std::to_string(kDark)},
                     {"EDIT", "FONTCOLOR", std::to_string(kLight)},
                     {"EDIT", "HOTFONTCOLOR", std::to_string(kLight)}}};
  }
  TDateTimePicker* MakePicker() {
    auto* picker = Add<TDateTimePicker>(10, 10, 160, 24);
    picker->SetKind(GetParam());
    ShowSkinned();
    return picker;
  }
  // Pixels of the area darker, and lighter, than the dark background in
  // every channel: text in the system's colour, and text in the skin's.
  static void CountText(const kvtest::TPixels& shot, const RECT& area, int& darker, int& lighter) {
    darker = lighter = 0;
    for (int y = area.top; y < area.bottom; ++y)
      for (int x = area.left; x < area.right; ++x) {
        const COLORREF c = shot.At(x, y);
        bool below = true, above = true;
        for (int shift : {0, 8, 16}) {
          const int got = c >> shift & 0xFF, bg = kDark >> shift & 0xFF;
          below = below && got < bg - 8;
          above = above && got > bg + 8;
        }
        darker += below, lighter += above;
      }
  }
};

TEST_P(DateTimeWnd, WritesItsFieldsInTheSectionsFontColour) {
  TDateTimePicker* picker = MakePicker();
  const kvtest::TPixels shot = Shown(picker);
  const int buttons = GetSystemMetrics(SM_CXVSCROLL) + 2;
  int darker = 0, lighter = 0;
  CountText(shot, {0, 0, shot.Width() - buttons, shot.Height()}, darker, lighter);
  EXPECT_EQ(0, darker) << "text in the system's colour";
  EXPECT_GT(lighter, 20) << "no text in the skin's";
}

TEST_P(DateTimeWnd, ItsButtonsAreTheSkins) {
  TDateTimePicker* picker = MakePicker();
  HWND updown = GetWindow(picker->Handle(), GW_CHILD);
  // The date kind's drop-down button, or the time kind's up-down.
  const bool date = GetParam() == dtkDate;
  ASSERT_EQ(!date, updown != nullptr);
  const kvtest::TPixels shot = Shown(date ? picker->Handle() : updown);
  const int width = GetSystemMetrics(SM_CXVSCROLL);
  const RECT area = date ? RECT{shot.Width() - width, 0, shot.Width(), shot.Height()} : shot.Whole();
  int skinned = 0;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x) {
      const kvtest::TSkinItem* item = skin().Legend(shot.At(x, y));
      // The up-down takes the button's section where the skin has none of
      // its own.
      skinned += item != nullptr && (date ? item->Section == "COMBOBTN" : item->Section != "EDIT");
    }
  EXPECT_GT(skinned, (area.right - area.left) * (area.bottom - area.top) / 2);
}

INSTANTIATE_TEST_SUITE_P(Kinds, DateTimeWnd, ::testing::Values(dtkDate, dtkTime));

}  // namespace
}  // namespace kv
