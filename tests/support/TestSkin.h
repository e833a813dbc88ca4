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
#include "skin/model/acSkinPack.h"

namespace kvtest {

struct TTestSkinOptions {
  bool Minimal = false;
  bool Fading = false;  // FADINGENABLED with FadingIterations steps
  int FadingIterations = 4;
  bool ShowFocus = false;
  bool GiveOwnFont = false;
  // GLOW in every section; glows and glow masks of the close, maximise,
  // minimise and restore title buttons.
  bool Glow = false;
  bool Checkerboard = false;    // PANEL paints its texture (IMAGEPERCENT 100)
  int Transparency = 0;         // every section but GLOBALINFO
  bool ProgressRegion = false;  // PROGRESSH has an "LRGN" mask
  // As skins in the wild: sections whose background is the checkerboard
  // texture (IMAGEPERCENT 100) or a top-to-bottom gradient from
  // kGradientTop to kGradientBottom (GRADIENTPERCENT 100), and sections
  // with the four corner images (IMGTOPLEFT ... IMGBTMRIGHT).
  std::vector<std::string> Textured{};
  std::vector<std::string> Gradient{};
  std::vector<std::string> CornerImages{};
  // With Glow: the title buttons' glow masks are image files of their own
  // (read as three cells in two rows, as such files are), not rectangles of
  // the master bitmap.
  bool GlowImageFiles = false;
  // Sections whose PATTERN is a picture file (a JPEG of kJpegW x kJpegH
  // pixels in kJpegColour, big enough to stay a picture), at IMAGEPERCENT 100.
  std::vector<std::string> JpegPatterns{};
  // Border masks carry a mask plane below their image (MaskType 1): zero
  // (the image shows) under the image's pixels, PlaneUnderCorners under its
  // transparent corner runs, as skins made elsewhere have it.
  bool MaskPlanes = false;
  std::uint32_t PlaneUnderCorners = 0xFF00FF;
  // Further keys, written last in their section (which is made if absent).
  struct TKey {
    std::string Section, Key, Value;
  };
  std::vector<TKey> Keys{};
  // Sections left out with all their masks, as a sparse skin lacks them.
  std::vector<std::string> Lacks{};
  // When not empty, the only sections besides GLOBALINFO, as a sparse skin
  // has them.
  std::vector<std::string> Only{};
};

// Skins as users bring them from elsewhere. The dark one: forms and dialogs
// on the checkerboard texture, panels, bars and tab sheets in a gradient,
// corner images, glows in image files, a text shadow, mask planes under the
// borders, a see-through group box and dark edits with light text. The
// sparse one: only GLOBALINFO, FORM, BUTTON and EDIT.
TTestSkinOptions DarkTexturedSkinOptions();
TTestSkinOptions SparseSkinOptions();

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
  static constexpr std::uint32_t kGradientTop = 0x1830C0, kGradientBottom = 0xC03018;
  static constexpr const char* kMasterName = "MASTER.BMP";
  static constexpr const char* kJpegName = "PATTERN.JPG";
  static constexpr int kJpegW = 320, kJpegH = 320;
  static constexpr std::uint32_t kJpegColour = 0x3060A0;  // COLORREF; decodes to within 2

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
  std::vector<std::pair<std::string, kv::TacBytes>> files_;  // images of their own
};

}  // namespace kvtest
