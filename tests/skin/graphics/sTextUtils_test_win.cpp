// Text in section colours, read back from a DIB section.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>

#include "../core/SkinTestUtil.h"
#include "Pixels.h"
#include "classlib/Graphics.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/graphics/sTextUtils_win.h"

namespace kv {
namespace {

using testing::Filled;
using testing::Px;

// Colours as Px reads them (0xRRGGBB); the skin writes 0xBBGGRR decimals.
constexpr std::uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kCyan = 0x00FFFF,
                        kYellow = 0xFFFF00, kGround = 0x404040;
constexpr std::uint32_t kMixed = 0xFF9999;  // 40 % red over 60 % white

// LABEL: red text, green left and blue right contour, none above or below;
// hot: cyan text with a yellow bottom contour only. PLAIN has no contour.
const char* const kOptions =
    "[GLOBALINFO]\r\nCOLOR=16777215\r\n"
    "[LABEL]\r\nCOLOR=16777215\r\nFONTCOLOR=255\r\nTCLEFT=65280\r\nTCRIGHT=16711680\r\n"
    "HOTFONTCOLOR=16776960\r\nHOTTCBOTTOM=65535\r\n"
    "[PLAIN]\r\nFONTCOLOR=255\r\n"
    "[GLASS]\r\nTRANSPARENCY=50\r\nFONTCOLOR=65280\r\n"
    "[WEBBUTTON]\r\nFONTCOLOR=255\r\n";

Owned<TsSkinManager> ManagerWith(const std::string& name, const TacBytes& pack) {
  Owned<TsSkinManager> m = CreateOwned<TsSkinManager>();
  m->SetSkinDirectory("c:\\NoSkins");
  TsStoredSkin& skin = m->InternalSkins.Add();
  skin.Name = name;
  skin.Data = pack;
  m->SetSkinName(name);
  return m;
}

struct TextCase {
  const char* section;
  bool enabled, hot;
  std::set<std::uint32_t> present, absent;
};

class SectionText : public ::testing::TestWithParam<TextCase> {};
INSTANTIATE_TEST_SUITE_P(
    Colours, SectionText,
    ::testing::Values(TextCase{"LABEL", true, false, {kRed, kGreen, kBlue}, {kYellow, kMixed}},
                      TextCase{"LABEL", true, true, {kCyan, kYellow}, {kRed, kGreen, kBlue}},
                      TextCase{"LABEL", false, false, {kMixed}, {kRed, kGreen, kBlue}},
                      TextCase{"PLAIN", true, false, {kRed}, {kGreen, kBlue, kYellow}}));

// The contour passes and the washed-out disabled colour show as pixels, and
// nothing is drawn outside the text rectangle. The skin comes from a manager
// given explicitly while the default one has none.
TEST_P(SectionText, DrawsThePassesInsideTheRectangleOnly) {
  const TextCase& c = GetParam();
  Owned<TsSkinManager> defaultOne = ManagerWith("Empty", test::MakePack("[GLOBALINFO]\r\n"));
  Owned<TsSkinManager> m = ManagerWith("Texts", test::MakePack(kOptions));
  ASSERT_EQ(DefaultManager, defaultOne.get());
  const int section = m->Skin().SectionIndexOf(c.section);
  TBitmap b = Filled(80, 40, pf24bit, kGround);
  const TRect r{10, 5, 70, 35};
  int height = 0;
  {
    TBitmapCanvas canvas(b);
    canvas.Font()->SetName("System");  // its strokes are wide enough for fully covered pixels
    canvas.Font()->SetHeight(-16);
    canvas.Font()->SetStyle(fsBold);
    const UINT flags = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    EXPECT_EQ(WriteSectionText(canvas, "HIH", c.enabled, r, flags, section, c.hot, nullptr), 0);
    EXPECT_EQ(WriteSectionText(canvas, "", c.enabled, r, flags, section, c.hot, m.get()), 0);
    height = WriteSectionText(canvas, "HIH", c.enabled, r, flags, section, c.hot, m.get());
    GdiFlush();
  }
  EXPECT_GT(height, 0);
  std::set<std::uint32_t> seen;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) {
      const std::uint32_t p = Px(b, x, y);
      if (p == kGround) continue;
      seen.insert(p);
      EXPECT_TRUE(x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom)
          << "drawn outside at " << x << ", " << y;
    }
  for (std::uint32_t p : c.present) EXPECT_TRUE(seen.count(p)) << std::hex << "missing " << p;
  for (std::uint32_t p : c.absent) EXPECT_FALSE(seen.count(p)) << std::hex << "unexpected " << p;
}

struct CaptionCase {
  const char* section;
  bool enabled, hot, graphic;
  std::set<std::uint32_t> present, absent;
  bool underlined;
};

class SkinText : public ::testing::TestWithParam<CaptionCase> {};
INSTANTIATE_TEST_SUITE_P(
    Captions, SkinText,
    ::testing::Values(CaptionCase{"LABEL", true, false, false, {kRed, kGreen}, {kMixed}, false},
                      CaptionCase{"LABEL", false, false, false, {kMixed}, {kRed, kGreen}, false},
                      CaptionCase{"GLASS", true, false, true, {kRed}, {kGreen}, false},
                      CaptionCase{"GLASS", true, false, false, {kGreen}, {kRed}, false},
                      CaptionCase{"WEBBUTTON", true, true, false, {}, {}, true},
                      CaptionCase{"WEBBUTTON", true, false, false, {}, {}, false}));

// A caption is cut to its rectangle; a see-through graphic control takes the
// colours of the section it shows, a disabled one mixes with the skin's
// global colour, and a hot web button is underlined.
TEST_P(SkinText, DrawsInTheSkinColoursInsideTheRectangle) {
  const CaptionCase& c = GetParam();
  Owned<TsSkinManager> m = ManagerWith("Texts", test::MakePack(kOptions));
  TsSkinTextSource source;
  source.Manager = m.get();
  source.SkinIndex = m->Skin().SectionIndexOf(c.section);
  source.SectionName = c.section;
  source.IsGraphicControl = c.graphic;
  source.HasParent = true;
  source.FontSourceIndex = m->Skin().SectionIndexOf("PLAIN");
  TFont ownerFont;
  ownerFont.SetName("System");
  ownerFont.SetHeight(-16);
  ownerFont.SetStyle(fsBold);
  source.OwnerFont = &ownerFont;
  TBitmap b = Filled(80, 40, pf24bit, kGround);
  const TRect r{20, 12, 40, 28};
  bool underlined = false;
  {
    TBitmapCanvas canvas(b);
    EXPECT_GT(WriteSkinText(canvas, "HIHIH", c.enabled, r, DT_SINGLELINE, source, c.hot), 0);
    underlined = canvas.Font()->Style() & fsUnderline;
    GdiFlush();
  }
  EXPECT_EQ(underlined, c.underlined);
  std::set<std::uint32_t> seen;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) {
      const std::uint32_t p = Px(b, x, y);
      if (p == kGround) continue;
      seen.insert(p);
      EXPECT_TRUE(x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom)
          << "drawn outside at " << x << ", " << y;
    }
  for (std::uint32_t p : c.present) EXPECT_TRUE(seen.count(p)) << std::hex << "missing " << p;
  for (std::uint32_t p : c.absent) EXPECT_FALSE(seen.count(p)) << std::hex << "unexpected " << p;
}

}  // namespace
}  // namespace kv
