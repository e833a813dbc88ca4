// Text in skin colours, read back from a DIB section.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>

#include "../../graphics/Pixels.h"
#include "../../model/SkinTestUtil.h"
#include "classlib/Graphics.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/core/sTextUtils_win.h"

namespace kv {
namespace {

// As Px reads them; the skin writes 0xBBGGRR decimals.
constexpr std::uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kCyan = 0x00FFFF,
                        kYellow = 0xFFFF00, kGround = 0x404040;
constexpr std::uint32_t kMixed = 0xFF9999;  // 40 % red, 60 % white

// LABEL: red, green left and blue right contour; hot cyan with a yellow
// bottom contour. GLASS is see-through green.
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
  bool skinText;  // WriteSkinText, else WriteSectionText
  const char* section;
  bool enabled, hot, graphic;
  std::set<std::uint32_t> present, absent;
};

class SkinColours : public ::testing::TestWithParam<TextCase> {};
INSTANTIATE_TEST_SUITE_P(
    Texts, SkinColours,
    ::testing::Values(
        TextCase{false, "LABEL", true, false, false, {kRed, kGreen, kBlue}, {kYellow, kMixed}},
        TextCase{false, "LABEL", true, true, false, {kCyan, kYellow}, {kRed, kGreen, kBlue}},
        TextCase{false, "LABEL", false, false, false, {kMixed}, {kRed, kGreen, kBlue}},
        TextCase{false, "PLAIN", true, false, false, {kRed}, {kGreen, kBlue, kYellow}},
        TextCase{true, "LABEL", false, false, false, {kMixed}, {kRed, kGreen}},
        TextCase{true, "GLASS", true, false, true, {kRed}, {kGreen}},
        TextCase{true, "GLASS", true, false, false, {kGreen}, {kRed}},
        TextCase{true, "WEBBUTTON", true, true, false, {}, {}},
        TextCase{true, "WEBBUTTON", true, false, false, {kRed}, {}}));

// The contour passes, hot colours and washed-out disabled colour show as
// pixels inside the text rectangle only. Section text takes the manager it
// is given; a see-through graphic control takes the colours of the section
// it shows; a hot web button is underlined.
TEST_P(SkinColours, AppearInsideTheRectangleOnly) {
  const TextCase& c = GetParam();
  Owned<TsSkinManager> defaultOne = ManagerWith("Empty", test::MakePack("[GLOBALINFO]\r\n"));
  Owned<TsSkinManager> m = ManagerWith("Texts", test::MakePack(kOptions));
  ASSERT_EQ(DefaultManager, defaultOne.get());
  const int section = m->Skin().SectionIndexOf(c.section);
  TBitmap b = testing::Filled(80, 40, pf24bit, kGround);
  // Cuts the skin text; the section text is centred well inside.
  const TRect r = c.skinText ? TRect{20, 12, 40, 28} : TRect{10, 5, 70, 35};
  TFont font;
  font.SetName("System");  // strokes wide enough for fully covered pixels
  font.SetHeight(-16);
  font.SetStyle(fsBold);
  {
    TBitmapCanvas canvas(b);
    int height = 0;
    if (c.skinText) {
      TsSkinTextSource source{
          m.get(), section, c.section, 0, c.graphic, true, m->Skin().SectionIndexOf("PLAIN"),
          false,   &font};
      height = WriteSkinText(canvas, "HIHIH", c.enabled, r, DT_SINGLELINE, source, c.hot);
      EXPECT_EQ((canvas.Font()->Style() & fsUnderline) != 0,
                c.hot && std::string(c.section) == "WEBBUTTON");
    } else {
      canvas.Font()->Assign(font);
      const UINT flags = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
      EXPECT_EQ(WriteSectionText(canvas, "HIH", c.enabled, r, flags, section, c.hot, nullptr), 0);
      EXPECT_EQ(WriteSectionText(canvas, "", c.enabled, r, flags, section, c.hot, m.get()), 0);
      height = WriteSectionText(canvas, "HIH", c.enabled, r, flags, section, c.hot, m.get());
    }
    EXPECT_GT(height, 0);
    GdiFlush();
  }
  std::set<std::uint32_t> seen;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) {
      const std::uint32_t p = testing::Px(b, x, y);
      if (p == kGround) continue;
      seen.insert(p);
      EXPECT_TRUE(PtInRect(r, {x, y})) << "drawn outside at " << x << ", " << y;
    }
  for (std::uint32_t p : c.present) EXPECT_TRUE(seen.count(p)) << std::hex << "missing " << p;
  for (std::uint32_t p : c.absent) EXPECT_FALSE(seen.count(p)) << std::hex << "unexpected " << p;
}

}  // namespace
}  // namespace kv
