#pragma once
// Glow windows: the soft halo round a skinned control while the mouse is over
// it, a borderless, layered, click-through top-level window painted with
// per-pixel alpha from the section's glow mask. The windows live in one
// process-wide list that only grows until ClearGlows; callers keep the index.
//
// The placement and the picture are portable; the windows are Windows only.

#include <memory>
#include <string>
#include <vector>

#include "base/Bitmap.h"
#include "base/Types.h"
#include "skin/model/sMaskData.h"

struct HWND__;  // the Win32 handle type, declared so that no windows.h is needed

namespace kv {

class TsSkinModel;

// Where the halo of a control goes, in screen coordinates.
struct TacGlowPlacement {
  int FullWidth = 0, FullHeight = 0;  // the uncut halo
  int CutLeft = 0, CutTop = 0;        // taken off where the control is hidden
  int X = 0, Y = 0, Width = 0, Height = 0;
  bool Empty() const { return Width <= 0 || Height <= 0; }
};

// R: the control's screen rectangle; ClipR: its visible part in its own
// coordinates; MaskMargins: the glow mask's margins (left, top, right,
// bottom); Margin: how far the halo reaches in over the control.
TacGlowPlacement GlowPlacement(const TRect& r, const TRect& clipR, const TRect& maskMargins,
                               int margin);

// The halo picture: transparent black with the mask's first frame painted
// round it in nine parts (the centre stays clear so the control shows), cut
// to the placement. Straight alpha, like every 32-bit bitmap of ours.
std::unique_ptr<TBitmap> MakeGlowPicture(const TacGlowPlacement& placement, const TsMaskData& mask,
                                         TBitmap* master);

// The placement's part of the uncut halo picture (the picture itself when
// nothing is cut); null for an empty placement.
std::unique_ptr<TBitmap> CutGlowPicture(std::unique_ptr<TBitmap> full,
                                        const TacGlowPlacement& placement);

// A 32-bit copy with the colours multiplied by alpha, as layered windows want.
std::unique_ptr<TBitmap> PremultipliedCopy(const TBitmap& bitmap);

// --- the windows (Windows build only) -------------------------------------------------------

class TacGlowEffect {
 public:
  // The skin's mask by index; the record is copied, so the skin may change.
  TacGlowEffect(const TsSkinModel& skin, int maskIndex);
  TacGlowEffect(const TacGlowEffect&) = delete;
  TacGlowEffect& operator=(const TacGlowEffect&) = delete;
  virtual ~TacGlowEffect();

  // The uncut halo of width x height into bitmap_; Build cuts it to the
  // visible part.
  virtual void MakeGlowBitmap(int width, int height);
  // Creates, places and shows the window; false (and no window) when the
  // halo would be empty.
  bool Build(const TRect& r, const TRect& clipR, HWND__* parentWnd, int alpha);
  HWND__* Window() const { return window_; }

  int MaskIndex = -1;
  int Margin = 0;

 protected:
  std::unique_ptr<TBitmap> bitmap_;  // the 32-bit halo, until the window has it

 private:
  TsMaskData mask_;
  std::shared_ptr<TBitmap> master_;
  TRect maskMargins_{};
  HWND__* window_ = nullptr;
};

// Entries are null after HideGlow.
extern std::vector<std::unique_ptr<TacGlowEffect>> TacGlowEffects;

// The index of a new glow round R in the list, or -1 when layered windows are
// missing, the skin has no mask SectionName/MaskName + "0" or the halo is
// empty. Alpha is accepted for the callers' sake; the halo is always opaque.
int ShowGlow(const TRect& r, const TRect& clipR, const std::string& sectionName,
             const TsSkinModel* skin, HWND__* parentWnd, int alpha, int margin,
             const std::string& maskName);
// Frees the glow of that index; indexes outside the list are ignored.
void HideGlow(int index);
// Frees every glow and empties the list.
void ClearGlows();

}  // namespace kv
