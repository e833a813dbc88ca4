#pragma once
// Synthetic skins for tests: an options text and a master bitmap holding
// every section and mask the program asks for (SkinNeeds.h), where each
// section colour and each mask state is its own solid colour, so that a pixel
// tells which item and which state was painted (the legend). Masks have
// 0xFF00FF corner runs of kCornerRun pixels and margins of kMargin; title
// icons have known sizes; PANEL's PATTERN is a checkerboard. The "minimal"
// variant leaves items out so that the fall-back paths run.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "base/Bitmap.h"
#include "skin/core/acSkinPack.h"

namespace kvtest {

struct TTestSkinOptions {
  bool Minimal = false;
  bool Fading = false;  // FADINGENABLED with FadingIterations steps
  int FadingIterations = 4;
  bool ShowFocus = false;
  bool GiveOwnFont = false;
  // GLOW in every section; glows and glow masks of the close, maximise
  // and minimise title buttons.
  bool Glow = false;
  bool Checkerboard = false;    // PANEL paints its texture (IMAGEPERCENT 100)
  int Transparency = 0;         // every section but GLOBALINFO
  bool ProgressRegion = false;  // PROGRESSH has an "LRGN" mask
  // Further keys, written last in their section (which is made if absent).
  struct TKey {
    std::string Section, Key, Value;
  };
  std::vector<TKey> Keys;
  // Sections left out, with their masks, as skins made elsewhere may.
  std::vector<std::string> Lacks{};
};

// What a legend colour stands for. Key "COLOR" (state 0) and "HOTCOLOR"
// (state 1) are the section's own colours; others are masks, by state.
struct TSkinItem {
  std::string Section, Key;
  int State = 0;
};

class TTestSkin {
 public:
  static constexpr int kFrames = 3;  // normal, hot, pressed
  static constexpr int kCornerRun = 3;
  static constexpr int kMargin = 6;
  static constexpr int kBorderFrame = 24;  // width and height of a border frame
  static constexpr int kBigIconW = 21, kBigIconH = 21;
  static constexpr int kSmallIconW = 16, kSmallIconH = 14;
  static constexpr int kGlyphSize = 13;
  static constexpr int kGlowMargin = 3;
  static constexpr int kCheckerCell = 4, kCheckerSize = 16;
  static constexpr std::uint32_t kTransparent = 0xFF00FF;
  static constexpr std::uint32_t kCheckerA = 0x202020, kCheckerB = 0xE0E0E0;
  static constexpr const char* kMasterName = "MASTER.BMP";

  explicit TTestSkin(const TTestSkinOptions& options = {});

  const std::string& OptionsText() const { return options_; }
  const kv::TBitmap& Master() const { return master_; }

  // Colours as COLORREF and the skin's colour keys hold them: 0x00BBGGRR.
  // 0xFFFFFFFF for an item the skin lacks.
  std::uint32_t Colour(const std::string& section, const std::string& key, int state = 0) const;
  // The item a colour stands for; nullptr for any other colour.
  const TSkinItem* Legend(std::uint32_t colour) const;
  // A mask's rectangle in the master bitmap (left, top, right, bottom);
  // all zero when absent.
  struct TBox {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
  };
  TBox MaskBox(const std::string& section, const std::string& key) const;
  bool HasSection(const std::string& section) const;

  kv::TacBytes Packed() const;
  // Options.dat and MASTER.BMP into the folder, which must exist.
  void WriteFolder(const std::string& folder) const;

 private:
  std::uint32_t NewColour(const TSkinItem& item);
  std::string options_;
  kv::TBitmap master_;
  std::map<std::uint32_t, TSkinItem> legend_;
  std::map<std::string, std::uint32_t> colours_;  // "SECTION.KEY#state"
  std::map<std::string, TBox> boxes_;             // "SECTION.KEY"
  std::vector<std::string> sections_;
};

}  // namespace kvtest
