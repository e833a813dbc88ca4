// Draws a contact sheet of a packed skin: per section (in file order) a
// swatch of its colour, hot colour and font colour, then every mask of the
// section at twice its size, transparent pixels shown as a chequer board and
// frame boundaries marked in yellow below; under them a mock dialog drawn
// from the masks, active and inactive.
//
// usage: skinsheet SKIN.asz SHEET.bmp
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "base/Bitmap.h"
#include "skin/model/sSkinModel.h"

namespace {

constexpr int kScale = 2;
constexpr int kGap = 6;
constexpr int kSwatch = 32;
constexpr int kMaxWidth = 900;

void Put(kv::TBitmap& sheet, int x, int y, int rgb) {
  if (x < 0 || y < 0 || x >= sheet.Width() || y >= sheet.Height()) return;
  std::uint8_t* p = sheet.ScanLine(y) + 3 * x;
  p[0] = static_cast<std::uint8_t>(rgb >> 16);
  p[1] = static_cast<std::uint8_t>(rgb >> 8);
  p[2] = static_cast<std::uint8_t>(rgb);
}

void Fill(kv::TBitmap& sheet, int x, int y, int w, int h, int rgb) {
  for (int j = 0; j < h; ++j) {
    for (int i = 0; i < w; ++i) Put(sheet, x + i, y + j, rgb);
  }
}

const kv::TBitmap* Source(const kv::TsSkinModel& skin, int mask) { return skin.MaskImage(mask); }

int SourcePixel(const kv::TBitmap& img, int x, int y) {
  const std::uint8_t* p = img.ScanLine(y) + img.BytesPerPixel() * x;
  return p[2] | (p[1] << 8) | (p[0] << 16);
}

// Source offset along one axis of a nine-part cut: the margins are copied,
// the middle stretched by nearest neighbour.
int MapAxis(int i, int dstLen, int srcLen, int a, int b) {
  if (i < a) return i;
  if (i >= dstLen - b) return srcLen - (dstLen - i);
  const int middle = std::max(1, dstLen - a - b);
  return a + (i - a) * std::max(0, srcLen - a - b) / middle;
}

// A plain stand-in for the painters of the skinned controls: one state of a
// border mask cut in nine parts, transparent pixels left out.
void NinePart(kv::TBitmap& dst, const kv::TsSkinModel& skin, const char* section, const char* key,
              int state, kv::TRect d) {
  const int mask = skin.MaskIndexOf(skin.SectionIndexOf(section), section, key);
  if (!skin.IsMaskIndexValid(mask)) return;
  const kv::TsMaskData& mk = skin.MaskData[mask];
  if ((mk.StretchMode & 2) && state == 0) return;
  const int fw = kv::MaskFrameWidth(mk), sh = kv::MaskStateHeight(mk);
  const int sx = mk.R.Left + std::min(state, mk.ImageCount - 1) * fw, sy = mk.R.Top;
  const int l = skin.MaskMarginLeft(mask), t = skin.MaskMarginTop(mask);
  const int r = skin.MaskMarginRight(mask), b = skin.MaskMarginBottom(mask);
  const kv::TBitmap& img = *Source(skin, mask);
  for (int y = 0; y < d.Height(); ++y) {
    for (int x = 0; x < d.Width(); ++x) {
      const bool centre = x >= l && x < d.Width() - r && y >= t && y < d.Height() - b;
      if (centre && !(mk.StretchMode & 4)) continue;
      const int rgb = SourcePixel(img, sx + MapAxis(x, d.Width(), fw, l, r),
                                  sy + MapAxis(y, d.Height(), sh, t, b));
      if (rgb != kv::TransparentColor) Put(dst, d.Left + x, d.Top + y, rgb);
    }
  }
}

void Glyph(kv::TBitmap& dst, const kv::TsSkinModel& skin, const char* section, const char* key,
           int state, int left, int top) {
  const int mask = skin.MaskIndexByNames(section, key);
  if (!skin.IsMaskIndexValid(mask)) return;
  const kv::TsMaskData& mk = skin.MaskData[mask];
  const int fw = kv::MaskFrameWidth(mk), sh = kv::MaskStateHeight(mk);
  const int sx = mk.R.Left + std::min(state, mk.ImageCount - 1) * fw;
  for (int y = 0; y < sh; ++y) {
    for (int x = 0; x < fw; ++x) {
      const int rgb = SourcePixel(*Source(skin, mask), sx + x, mk.R.Top + y);
      if (rgb != kv::TransparentColor) Put(dst, left + x, top + y, rgb);
    }
  }
}

int SectionColor(const kv::TsSkinModel& skin, const char* section) {
  const int i = skin.SectionIndexOf(section);
  return i >= 0 ? skin.GeneralData[i].Color : 0xF0F0F0;
}

// A mock dialog, active (states 1) beside an inactive copy, drawn from the
// skin's masks, to see how they stretch.
void Preview(kv::TBitmap& dst, const kv::TsSkinModel& skin, int left, int top, bool active) {
  using kv::Rect;
  const int w = 400, h = 250, bw = skin.CommonSkinData.BorderWidth;
  const int th = skin.CommonSkinData.TitleHeight;
  Fill(dst, left, top, w, h, SectionColor(skin, "FORM"));
  NinePart(dst, skin, "FORM", "BORDERSMASK", active, Rect(left, top, left + w, top + h));
  NinePart(dst, skin, "FORMTITLE", "BORDERSMASK", active,
           Rect(left + bw, top + bw, left + w - bw, top + bw + th));
  int x = left + w - bw - 2;
  for (const char* icon : {"BICONCLOSE", "BICONMAX", "BICONMIN"}) {
    const int mask = skin.MaskIndexByNames("GLOBALINFO", icon);
    x -= kv::MaskFrameWidth(skin.MaskData[mask]) + skin.CommonSkinData.BISpacing;
    Glyph(dst, skin, "GLOBALINFO", icon, active && icon[5] == 'C' ? 1 : 0, x, top + bw + 3);
  }
  const int y0 = top + bw + th;
  Fill(dst, left + bw, y0, w - 2 * bw, 20, SectionColor(skin, "MENULINE"));
  const int y = y0 + 30;
  for (int state = 0; state < 3; ++state) {
    NinePart(dst, skin, "BUTTON", "BORDERSMASK", state,
             Rect(left + 20 + state * 95, y, left + 105 + state * 95, y + 26));
  }
  Fill(dst, left + 20, y + 40, 160, 22, SectionColor(skin, "EDIT"));
  NinePart(dst, skin, "EDIT", "BORDERSMASK", 0, Rect(left + 20, y + 40, left + 180, y + 62));
  Fill(dst, left + 200, y + 40, 160, 22, SectionColor(skin, "EDIT"));
  NinePart(dst, skin, "COMBOBOX", "BORDERSMASK", 1, Rect(left + 200, y + 40, left + 360, y + 62));
  NinePart(dst, skin, "COMBOBTN", "BORDERSMASK", 1, Rect(left + 341, y + 42, left + 358, y + 60));
  Glyph(dst, skin, "COMBOBOX", "GLYPHMASK", 1, left + 345, y + 46);
  Glyph(dst, skin, "GLOBALINFO", "BOXCHECKED", 0, left + 20, y + 75);
  Glyph(dst, skin, "GLOBALINFO", "BOXUNCHECKED", 1, left + 40, y + 75);
  Glyph(dst, skin, "GLOBALINFO", "RADIOCHECKED", 0, left + 60, y + 75);
  Glyph(dst, skin, "GLOBALINFO", "RADIOUNCHECKED", 0, left + 80, y + 75);
  NinePart(dst, skin, "GAUGE", "BORDERSMASK", 1, Rect(left + 110, y + 74, left + 360, y + 90));
  NinePart(dst, skin, "PROGRESSH", "BORDERSMASK", 0, Rect(left + 112, y + 76, left + 260, y + 88));
  const int ty = y + 100;
  Fill(dst, left + 20, ty + 22, 340, 60, SectionColor(skin, "TABSHEET"));
  NinePart(dst, skin, "PAGECONTROL", "BORDERSMASK", 0,
           Rect(left + 20, ty + 21, left + 360, ty + 82));
  NinePart(dst, skin, "TABTOP", "BORDERSMASK", 0, Rect(left + 95, ty + 2, left + 170, ty + 22));
  NinePart(dst, skin, "TABTOP", "BORDERSMASK", 1, Rect(left + 168, ty + 2, left + 243, ty + 22));
  NinePart(dst, skin, "TABTOP", "BORDERSMASK", 2, Rect(left + 22, ty, left + 97, ty + 23));
  NinePart(dst, skin, "SCROLLBAR1V", "BORDERSMASK", 0,
           Rect(left + 342, ty + 23, left + 359, ty + 81));
  NinePart(dst, skin, "SCROLLSLIDERV", "BORDERSMASK", 0,
           Rect(left + 343, ty + 40, left + 358, ty + 60));
  NinePart(dst, skin, "SCROLLBTNTOP", "BORDERSMASK", 1,
           Rect(left + 342, ty + 23, left + 359, ty + 40));
  Glyph(dst, skin, "SCROLLBTNTOP", "GLYPHMASK", 1, left + 346, ty + 27);
  Glyph(dst, skin, "SCROLLBTNBOTTOM", "GLYPHMASK", 0, left + 346, ty + 68);
}

int Run(const char* skinFile, const char* sheetFile) {
  std::ifstream in(skinFile, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "skinsheet: cannot open %s\n", skinFile);
    return 1;
  }
  const kv::TacBytes packed((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  kv::TsSkinModel skin;
  skin.LoadFromPackedData(packed);

  // Sections flow left to right, each a colour swatch followed by its masks;
  // a section wider than the sheet wraps its masks under their first one.
  struct Place {
    std::size_t mask;
    int x, y;
  };
  std::vector<Place> places;
  std::vector<kv::TPoint> swatch;
  int x = kGap, y = kGap, line = 32;
  for (std::size_t s = 0; s < skin.GeneralData.size(); ++s) {
    std::vector<std::size_t> masks;
    int groupWidth = kSwatch + kGap;
    for (std::size_t i = 0; i < skin.MaskData.size(); ++i) {
      if (skin.MaskData[i].SectionName != skin.GeneralData[s].ClassName) continue;
      masks.push_back(i);
      groupWidth += skin.MaskData[i].R.Width() * kScale + kGap;
    }
    if (x + groupWidth > kMaxWidth && x > kGap) {
      x = kGap;
      y += line + 2 * kGap;
      line = 32;
    }
    swatch.push_back({x, y});
    const int left = x + kSwatch + kGap;
    x = left;
    for (std::size_t i : masks) {
      const kv::TsMaskData& mk = skin.MaskData[i];
      const int w = mk.R.Width() * kScale, h = mk.R.Height() * kScale + 4;
      if (x + w > kMaxWidth && x > left) {
        x = left;
        y += line + kGap;
        line = 0;
      }
      places.push_back({i, x, y});
      x += w + kGap;
      line = std::max(line, h);
    }
    x += 3 * kGap;
  }
  y += line + kGap;

  const int previewTop = y + kGap;
  y = previewTop + 250 + kGap;
  kv::TBitmap sheet(kMaxWidth + kGap, y, kv::pf24bit);
  Fill(sheet, 0, 0, sheet.Width(), sheet.Height(), 0x505050);
  for (std::size_t s = 0; s < skin.GeneralData.size(); ++s) {
    const kv::TsGeneralData& g = skin.GeneralData[s];
    const int left = swatch[s].X, top = swatch[s].Y;
    Fill(sheet, left - 2, top - 2, kSwatch + 4, 36, 0x000000);
    Fill(sheet, left, top, kSwatch / 2, 32, g.Color);
    Fill(sheet, left + kSwatch / 2, top, kSwatch / 2, 32, kv::DefaultColorToRGB(g.HotColor));
    Fill(sheet, left + kSwatch / 4, top + 12, kSwatch / 2, 8, g.FontColor[0]);
  }
  for (const Place& pl : places) {
    const kv::TsMaskData& mk = skin.MaskData[pl.mask];
    const kv::TBitmap* img = skin.MaskImage(static_cast<int>(pl.mask));
    for (int j = 0; j < mk.R.Height() * kScale; ++j) {
      for (int k = 0; k < mk.R.Width() * kScale; ++k) {
        const std::uint8_t* p =
            img->ScanLine(mk.R.Top + j / kScale) + img->BytesPerPixel() * (mk.R.Left + k / kScale);
        int rgb = p[2] | (p[1] << 8) | (p[0] << 16);
        if (rgb == kv::TransparentColor) rgb = ((j / 4 + k / 4) % 2) ? 0x909090 : 0x707070;
        Put(sheet, pl.x + k, pl.y + j, rgb);
      }
    }
    // A mark under each frame boundary shows how the mask is cut.
    const int frame = kv::MaskFrameWidth(mk) * kScale;
    for (int f = 0; f <= mk.ImageCount && frame > 0; ++f) {
      Fill(sheet, pl.x + f * frame - (f == mk.ImageCount ? 1 : 0), pl.y + mk.R.Height() * kScale, 1,
           3, 0x00FFFF);
    }
  }
  Preview(sheet, skin, kGap, previewTop, true);
  Preview(sheet, skin, kGap + 420, previewTop, false);
  const kv::TacBytes bmp = kv::WriteBmp(sheet);
  std::ofstream out(sheetFile, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bmp.data()), static_cast<std::streamsize>(bmp.size()));
  std::printf("%zu sections, %zu masks -> %s\n", skin.GeneralData.size(), skin.MaskData.size(),
              sheetFile);
  return out ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: skinsheet SKIN.asz SHEET.bmp\n");
    return 2;
  }
  try {
    return Run(argv[1], argv[2]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "skinsheet: %s\n", e.what());
    return 1;
  }
}
