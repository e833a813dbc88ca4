#include "support/TestSkin.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <set>

#include "base/Bitmap.h"
#include "support/SkinNeeds.h"

namespace kvtest {
namespace {

using TBox = TTestSkin::TBox;

// Sections whose items others fall back on when the minimal skin lacks them.
const std::map<std::string, std::string> kParents = {
    {"DIALOG", "FORM"},
    {"ICOLINE", "PANEL"},
    {"PANEL_LOW", "PANEL"},
    {"BARPANEL", "PANEL"},
    {"BAR", "PANEL"},
    {"TOOLBAR", "PANEL"},
    {"SPEEDBUTTON", "BUTTON"},
    {"SPEEDBUTTON_SMALL", "SPEEDBUTTON"},
    {"TOOLBUTTON", "SPEEDBUTTON"},
    {"UPDOWNBTN", "BUTTON"},
    {"COLHEADER", "BUTTON"},
    {"BARTITLE", "BUTTON"},
    {"RADIOBUTTON", "CHECKBOX"},
    {"COMBOBOX", "EDIT"},
    {"PAGECONTROL", "PANEL"},
    {"PAGECONTROLBOTTOM", "PAGECONTROL"},
    {"PAGECONTROLLEFT", "PAGECONTROL"},
    {"PAGECONTROLRIGHT", "PAGECONTROL"},
    {"TABBOTTOM", "TABTOP"},
    {"TABLEFT", "TABTOP"},
    {"TABRIGHT", "TABTOP"},
    {"TABSHEET", "PANEL"},
    {"STATUSBAR", "PANEL"},
    {"SCROLLSLIDERH", "BUTTON"},
    {"SCROLLSLIDERV", "BUTTON"},
    {"SCROLLBTNTOP", "BUTTON"},
    {"SCROLLBTNBOTTOM", "BUTTON"},
    {"SCROLLBTNLEFT", "BUTTON"},
    {"SCROLLBTNRIGHT", "BUTTON"},
};

// Left out of the minimal skin: title band and frame pictures, one title
// icon, the optional glyphs, and masks that have a fall-back through a parent.
const std::set<std::string> kMinimalLacks = {
    "FORM.BORDERSMASK",
    "FORM.TITLEBAR",
    "FORMTITLE.BORDERSMASK",
    "DIALOG.BORDERSMASK",
    "GLOBALINFO.BICONCLOSE",
    "GLOBALINFO.CHECK",
    "GLOBALINFO.SMALLCHECKED",
    "GLOBALINFO.SMALLUNCHECKED",
    "GLOBALINFO.SMALLGRAYED",
    "GLOBALINFO.GRIPIMAGE",
    "COLHEADER.BORDERSMASK",
    "SPEEDBUTTON.BORDERSMASK",
    "SPEEDBUTTON_SMALL.BORDERSMASK",
    "TOOLBUTTON.BORDERSMASK",
    "STATUSBAR.STATUSPANELMASK",
};

// A baseline JPEG of kJpegW x kJpegH pixels, all kJpegColour.
const char kSolidJpeg[] =
    "\xFF\xD8\xFF\xE0\x00\x10\x4A\x46\x49\x46\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00\xFF\xDB\x00\x43"
    "\x00\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01"
    "\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01"
    "\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\xFF\xDB\x00\x43\x01\x01\x01"
    "\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01"
    "\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01"
    "\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\xFF\xC0\x00\x11\x08\x01\x40\x01\x40\x03"
    "\x01\x11\x00\x02\x11\x01\x03\x11\x01\xFF\xC4\x00\x15\x00\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x08\xFF\xC4\x00\x14\x10\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\xFF\xC4\x00\x15\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x09\xFF\xC4\x00\x14\x11\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\xFF\xDA\x00\x0C\x03\x01\x00\x02\x11\x03\x11\x00\x3F\x00\x9B\xD3\x9D\x48\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x07\xFF\xD9";

const char* const kGlowingIcons[] = {"BICONCLOSE", "BICONMAX", "BICONMIN", "BICONNORM"};
const char* const kCornerKeys[] = {"IMGTOPLEFT", "IMGTOPRIGHT", "IMGBTMLEFT", "IMGBTMRIGHT"};
constexpr int kGlowMargin = TTestSkin::kGlowMargin;

enum class TKind { Border, Glyph, Texture };

struct TMask {
  std::string section, key;
  TKind kind;
  int frameW, frameH, frames;
  TBox box;
  bool plane = false;  // a mask plane of frameH rows below the image
};

bool IsGlyphKey(const std::string& key) {
  return key == "GLYPHMASK" || key == "CHECK" || key == "GRIPIMAGE" || key == "TITLEBUTTON" ||
         key.rfind("BOX", 0) == 0 || key.rfind("RADIO", 0) == 0 || key.rfind("SMALL", 0) == 0 ||
         key.rfind("BICON", 0) == 0 || key.rfind("SICON", 0) == 0;
}

TMask Shape(const std::string& section, const std::string& key) {
  constexpr int F = TTestSkin::kFrames;
  if (key == "PATTERN")
    return {section, key, TKind::Texture, TTestSkin::kCheckerSize, TTestSkin::kCheckerSize, 1, {}};
  if (key.ends_with("GLOW0"))
    return {section,
            key,
            TKind::Border,
            TTestSkin::kBigIconW + 2 * TTestSkin::kGlowMargin,
            TTestSkin::kBigIconH + 2 * TTestSkin::kGlowMargin,
            1,
            {}};
  if (!IsGlyphKey(key))
    return {section, key, TKind::Border, TTestSkin::kBorderFrame, TTestSkin::kBorderFrame, F, {}};
  if (key.rfind("BICON", 0) == 0)
    return {section, key, TKind::Glyph, TTestSkin::kBigIconW, TTestSkin::kBigIconH, F, {}};
  if (key.rfind("SICON", 0) == 0)
    return {section, key, TKind::Glyph, TTestSkin::kSmallIconW, TTestSkin::kSmallIconH, F, {}};
  return {section, key, TKind::Glyph, TTestSkin::kGlyphSize, TTestSkin::kGlyphSize, F, {}};
}

void Put(kv::TBitmap& bmp, int x, int y, std::uint32_t c) {
  std::uint8_t* p = bmp.ScanLine(y) + 3 * x;
  p[0] = (c >> 16) & 0xFF;  // COLORREF 0x00BBGGRR into B, G, R bytes
  p[1] = (c >> 8) & 0xFF;
  p[2] = c & 0xFF;
}

// A frame of one colour whose four corners have runs of transparent pixels
// along both edges.
void Frame(kv::TBitmap& bmp, int x0, int y0, int w, int h, std::uint32_t c) {
  constexpr int run = TTestSkin::kCornerRun;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const bool edgeRow = y == 0 || y == h - 1, edgeCol = x == 0 || x == w - 1;
      const bool nearX = x < run || x >= w - run, nearY = y < run || y >= h - run;
      Put(bmp, x0 + x, y0 + y,
          (edgeRow && nearX) || (edgeCol && nearY) ? TTestSkin::kTransparent : c);
    }
}

std::string Format(const char* fmt, const TBox& b) {
  char buf[64];
  std::snprintf(buf, sizeof buf, fmt, b.Left, b.Top, b.Right, b.Bottom);
  return buf;
}

std::string Value(const TMask& m) {
  switch (m.kind) {
    case TKind::Texture:
      return Format("~%04d,%04d,%04d,%04d,00", m.box);
    case TKind::Glyph:
      return Format("@%04d,%04d,%04d,%04d,", m.box) + std::to_string(m.frames) + ",0";
    case TKind::Border: {
      char margins[32];
      constexpr int w = TTestSkin::kMargin;
      std::snprintf(margins, sizeof margins, "%04d,%04d,%04d,%04d,", w, w, w, w);
      // Stretch mode 4: the centre is filled.
      return Format("^%04d,%04d,%04d,%04d,", m.box) + margins + std::to_string(m.frames) +
             (m.plane ? ",1,4,0" : ",0,4,0");
    }
  }
  return {};
}

std::string Id(const std::string& section, const std::string& key, int state = -1) {
  return section + "." + key + (state >= 0 ? "#" + std::to_string(state) : "");
}

}  // namespace

std::uint32_t TTestSkin::NewColour(const TSkinItem& item) {
  // Channels kept in 32..223: never the transparent colour, white, black or
  // the checkerboard's.
  for (std::uint32_t seed = static_cast<std::uint32_t>(legend_.size());; ++seed) {
    const std::uint32_t h = (seed + 1) * 2654435761u;
    const std::uint32_t r = 32 + (h >> 8 & 0xFF) % 192, g = 32 + (h >> 16 & 0xFF) % 192,
                        b = 32 + (h >> 24) % 192;
    const std::uint32_t c = (b << 16) | (g << 8) | r;
    if (legend_.count(c)) continue;
    legend_[c] = item;
    colours_[Id(item.Section, item.Key, item.State)] = c;
    return c;
  }
}

TTestSkin::TTestSkin(const TTestSkinOptions& o) {
  // Sections in the order they are written; GLOBALINFO first (index 0).
  for (const char* s : kSections) sections_.push_back(s);
  if (!o.Minimal) sections_.push_back("CAPTION");
  for (const auto& k : o.Keys)
    if (std::find(sections_.begin(), sections_.end(), k.Section) == sections_.end())
      sections_.push_back(k.Section);
  const auto lacked = [&](const std::string& section) {
    if (!o.Only.empty() && section != "GLOBALINFO" &&
        std::find(o.Only.begin(), o.Only.end(), section) == o.Only.end())
      return true;
    return std::find(o.Lacks.begin(), o.Lacks.end(), section) != o.Lacks.end();
  };
  std::erase_if(sections_, lacked);

  std::vector<TMask> masks;
  auto add = [&](const std::string& section, const std::string& key) {
    if (o.Minimal && kMinimalLacks.count(Id(section, key))) return;
    if (lacked(section)) return;
    for (const TMask& m : masks)
      if (m.section == section && m.key == key) return;
    masks.push_back(Shape(section, key));
  };
  for (const Need& n : kMasks) add(n.section, n.key);
  add("PANEL", "PATTERN");
  if (!o.Minimal) add("CAPTION", "BORDERSMASK");
  if (o.ProgressRegion) add("PROGRESSH", "LRGN");
  if (o.Glow)
    for (const char* icon : kGlowingIcons) add("GLOBALINFO", std::string(icon) + "GLOW0");
  for (const std::string& s : o.Textured) add(s, "PATTERN");
  for (const std::string& s : o.CornerImages)
    for (const char* key : kCornerKeys) add(s, key);
  if (o.MaskPlanes)
    for (TMask& m : masks)
      m.plane = m.kind == TKind::Border && !m.key.ends_with("GLOW0") && m.key != "LRGN";
  if (!o.JpegPatterns.empty())
    files_.emplace_back(kJpegName, kv::TacBytes(kSolidJpeg, kSolidJpeg + sizeof kSolidJpeg - 1));

  // Shelf packing, one pixel apart so that no frame touches another.
  constexpr int kWidth = 480;
  int x = 0, y = 0, rowH = 0;
  for (TMask& m : masks) {
    const int w = m.frameW * m.frames, h = m.frameH * (m.plane ? 2 : 1);
    if (x + w > kWidth) {
      x = 0;
      y += rowH + 1;
      rowH = 0;
    }
    m.box = {x, y, x + w, y + h};
    x += w + 1;
    rowH = std::max(rowH, h);
  }
  master_ = kv::TBitmap(kWidth, y + rowH, kv::pf24bit);
  for (int py = 0; py < master_.Height(); ++py)
    for (int px = 0; px < master_.Width(); ++px) Put(master_, px, py, kTransparent);

  for (TMask& m : masks) {
    boxes_[Id(m.section, m.key)] = m.box;
    if (m.kind == TKind::Texture) {
      for (int py = 0; py < m.frameH; ++py)
        for (int px = 0; px < m.frameW; ++px)
          Put(master_, m.box.Left + px, m.box.Top + py,
              ((px / kCheckerCell + py / kCheckerCell) % 2) ? kCheckerB : kCheckerA);
      continue;
    }
    for (int f = 0; f < m.frames; ++f)
      Frame(master_, m.box.Left + f * m.frameW, m.box.Top, m.frameW, m.frameH,
            NewColour({m.section, m.key, f}));
    if (!m.plane) continue;
    for (int py = 0; py < m.frameH; ++py)
      for (int px = m.box.Left; px < m.box.Right; ++px) {
        const std::uint8_t* image = master_.ScanLine(m.box.Top + py) + 3 * px;
        const bool clear = image[0] == 0xFF && image[1] == 0 && image[2] == 0xFF;
        Put(master_, px, m.box.Top + m.frameH + py, clear ? o.PlaneUnderCorners : 0);
      }
  }

  // Keys the options imply; a key the test gives still wins.
  std::vector<TTestSkinOptions::TKey> implied;
  for (const std::string& s : o.Textured) implied.push_back({s, "IMAGEPERCENT", "100"});
  for (const std::string& s : o.Gradient) {
    implied.push_back({s, "GRADIENTPERCENT", "100"});
    implied.push_back({s, "GRADIENTDATA",
                       std::to_string(kGradientTop) + ";" + std::to_string(kGradientBottom) +
                           ";100;0;0"});
  }
  if (o.Glow && o.GlowImageFiles)
    for (const char* icon : kGlowingIcons) {
      // A ring of the glow's colour round a see-through centre, the button's
      // size grown by the glow margin on every side.
      const std::string key = std::string(icon) + "GLOW0";
      constexpr int w = kBigIconW + 2 * kGlowMargin, h = kBigIconH + 2 * kGlowMargin;
      kv::TBitmap image(w, h, kv::pf24bit);
      for (int py = 0; py < h; ++py)
        for (int px = 0; px < w; ++px) {
          const bool ring = px < kGlowMargin || py < kGlowMargin || px >= w - kGlowMargin ||
                            py >= h - kGlowMargin;
          Put(image, px, py, ring ? Colour("GLOBALINFO", key) : kTransparent);
        }
      files_.emplace_back(key + ".BMP", kv::WriteBmp(image));
      implied.push_back({"GLOBALINFO", key, key + ".BMP"});
    }

  std::string text;
  for (const std::string& s : sections_) {
    text += "[" + s + "]\r\n";
    // A key the test gives replaces the skin's own.
    std::vector<const TTestSkinOptions::TKey*> extra;
    for (const auto& k : o.Keys)
      if (k.Section == s) extra.push_back(&k);
    for (const auto& k : implied)
      if (k.Section == s && std::none_of(extra.begin(), extra.end(),
                                         [&](auto* given) { return given->Key == k.Key; }))
        extra.push_back(&k);
    auto line = [&](const std::string& key, const std::string& value) {
      auto given = std::find_if(extra.begin(), extra.end(), [&](auto* k) { return k->Key == key; });
      if (given == extra.end()) {
        text += key + "=" + value + "\r\n";
        return;
      }
      text += key + "=" + (*given)->Value + "\r\n";
      extra.erase(given);
    };
    if (s == "GLOBALINFO") {
      line("VERSION", "7.0");
      line("MASTERBITMAP", kMasterName);
      line("BORDERWIDTH", "4");
      line("TITLEHEIGHT", "24");
      if (o.Glow)
        for (const char* icon : kGlowingIcons) {
          line(std::string(icon) + "GLOW", "1");
          line(std::string(icon) + "GLOWMARGIN", std::to_string(kGlowMargin));
        }
    } else if (kParents.count(s)) {
      line("PARENTCLASS", kParents.at(s));
    }
    line("COLOR", std::to_string(NewColour({s, "COLOR", 0})));
    line("HOTCOLOR", std::to_string(NewColour({s, "HOTCOLOR", 1})));
    line("FONTCOLOR", std::to_string(NewColour({s, "FONTCOLOR", 0})));
    line("HOTFONTCOLOR", std::to_string(NewColour({s, "HOTFONTCOLOR", 1})));
    if (s != "GLOBALINFO") {
      line("TRANSPARENCY", std::to_string(o.Transparency));
      const bool jpeg = std::find(o.JpegPatterns.begin(), o.JpegPatterns.end(), s) !=
                        o.JpegPatterns.end();
      line("IMAGEPERCENT", (s == "PANEL" && o.Checkerboard) || jpeg ? "100" : "0");
      if (jpeg) line("PATTERN", kJpegName);
      line("GIVEOWNFONT", o.GiveOwnFont ? "TRUE" : "FALSE");
      line("SHOWFOCUS", o.ShowFocus ? "TRUE" : "FALSE");
      line("FADINGENABLED", o.Fading ? "TRUE" : "FALSE");
      line("FADINGITERATIONS", std::to_string(o.FadingIterations));
      if (o.Glow) {
        line("GLOW", "1");
        line("GLOWMARGIN", std::to_string(kGlowMargin));
      }
    }
    for (const TMask& m : masks)
      if (m.section == s) line(m.key, Value(m));
    for (const auto* k : extra) text += k->Key + "=" + k->Value + "\r\n";
  }
  options_ = std::move(text);
}

TTestSkinOptions DarkTexturedSkinOptions() {
  const std::string dark = std::to_string(0x202020), light = std::to_string(0xE8E8E8);
  TTestSkinOptions o;
  o.Glow = true;
  o.GlowImageFiles = true;
  o.MaskPlanes = true;
  o.Textured = {"FORM", "DIALOG"};
  o.Gradient = {"PANEL", "BAR", "TABSHEET"};
  o.CornerImages = {"FORM", "DIALOG"};
  o.Keys = {{"GLOBALINFO", "SHADOW1COLOR", "0"},
            {"GLOBALINFO", "SHADOW1OFFSET", "1"},
            {"GLOBALINFO", "SHADOW1BLUR", "2"},
            {"GLOBALINFO", "SHADOW1TRANSPARENCY", "40"},
            {"GROUPBOX", "TRANSPARENCY", "40"}};
  for (const char* section : {"EDIT", "COMBOBOX"}) {
    o.Keys.push_back({section, "COLOR", dark});
    o.Keys.push_back({section, "FONTCOLOR", light});
  }
  return o;
}

TTestSkinOptions SparseSkinOptions() { return {.Only = {"FORM", "BUTTON", "EDIT"}}; }

std::uint32_t TTestSkin::Colour(const std::string& section, const std::string& key,
                                int state) const {
  auto it = colours_.find(Id(section, key, state));
  return it == colours_.end() ? 0xFFFFFFFFu : it->second;
}

const TSkinItem* TTestSkin::Legend(std::uint32_t colour) const {
  auto it = legend_.find(colour);
  return it == legend_.end() ? nullptr : &it->second;
}

TTestSkin::TBox TTestSkin::MaskBox(const std::string& section, const std::string& key) const {
  auto it = boxes_.find(Id(section, key));
  return it == boxes_.end() ? TBox{} : it->second;
}

bool TTestSkin::HasSection(const std::string& section) const {
  return std::find(sections_.begin(), sections_.end(), section) != sections_.end();
}

kv::TacBytes TTestSkin::Packed() const {
  std::vector<kv::TacPackEntry> entries = {
      {"Options.dat", kv::TacBytes(options_.begin(), options_.end())},
      {kMasterName, kv::WriteBmp(master_)}};
  for (const auto& [name, bytes] : files_) entries.push_back({name, bytes});
  return kv::BuildPackedSkin(entries);
}

void TTestSkin::WriteFolder(const std::string& folder) const {
  std::ofstream(folder + "/Options.dat", std::ios::binary) << options_;
  const kv::TacBytes bmp = kv::WriteBmp(master_);
  std::ofstream(folder + "/" + kMasterName, std::ios::binary)
      .write(reinterpret_cast<const char*>(bmp.data()), static_cast<std::streamsize>(bmp.size()));
  for (const auto& [name, bytes] : files_)
    std::ofstream(folder + "/" + name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

}  // namespace kvtest
