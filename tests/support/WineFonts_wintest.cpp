// The project's Wine prefix draws Chinese texts with real glyphs in every
// font the program's windows use: the Chinese captions run under
// KV_RUN_LANG=zh_CN.UTF-8 and, without a CJK font Wine can reach, come out
// as rows of boxes.
#include <gtest/gtest.h>
#include <windows.h>

#include <ostream>
#include <string>

#include "skin/core/acUtils_win.h"
#include "support/Pixels.h"

namespace kvtest {
namespace {

HFONT FontNamed(const wchar_t* face, int height, BYTE charset) {
  return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, charset, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, face);
}

HFONT MenuFont() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return nullptr;
  return CreateFontIndirectW(&metrics.lfMenuFont);
}

struct UiFont {
  const char* name;
  HFONT (*make)();
};
void PrintTo(const UiFont& font, std::ostream* out) { *out << font.name; }

// The fonts the program's texts are drawn in: skinned captions and menus take
// the system's, forms ask for "新宋体" (GB2312), dialogs for "MS Shell Dlg".
const UiFont kUiFonts[] = {
    {"Caption", [] { return kv::CreateCaptionFont(); }},
    {"Menu", MenuFont},
    {"ProgramForm", [] { return FontNamed(L"新宋体", -12, GB2312_CHARSET); }},
    {"Dialog", [] { return FontNamed(L"MS Shell Dlg", -11, DEFAULT_CHARSET); }},
};

// Black text on white in a 32-bit DIB section.
TPixels Draw(HFONT font, const std::wstring& text) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = 64;
  info.bmiHeader.biHeight = -40;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
  const RECT all{0, 0, 64, 40};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  HGDIOBJ oldFont = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 0));
  TextOutW(dc, 4, 4, text.c_str(), static_cast<int>(text.size()));
  SelectObject(dc, oldFont);
  SelectObject(dc, oldBitmap);
  DeleteDC(dc);
  TPixels pixels = TPixels::FromBitmap(bitmap);
  DeleteObject(bitmap);
  return pixels;
}

class ChineseText : public testing::TestWithParam<UiFont> {
 protected:
  void SetUp() override {
    font_ = GetParam().make();
    ASSERT_NE(font_, nullptr);
  }
  void TearDown() override {
    if (font_) DeleteObject(font_);
  }
  HFONT font_ = nullptr;
};

INSTANTIATE_TEST_SUITE_P(UiFonts, ChineseText, testing::ValuesIn(kUiFonts),
                         [](const testing::TestParamInfo<UiFont>& info) {
                           return std::string(info.param.name);
                         });

// A missing glyph draws one box (or nothing) for every character: real
// glyphs have ink, and two characters differ from each other and from a
// character no font here has.
TEST_P(ChineseText, DrawsRealGlyphsNotReplacementBoxes) {
  const TPixels deng = Draw(font_, L"登");
  const TPixels lu = Draw(font_, L"录");
  const TPixels missing = Draw(font_, L"\xFFFF");
  EXPECT_GT(deng.CountDiffering(RGB(255, 255, 255), deng.Whole()), 20);
  EXPECT_TRUE(ImagesDiffer(deng, lu)) << deng.Dump("deng") << " " << lu.Dump("lu");
  EXPECT_TRUE(ImagesDiffer(deng, missing)) << deng.Dump("deng") << " " << missing.Dump("missing");
}

}  // namespace
}  // namespace kvtest
