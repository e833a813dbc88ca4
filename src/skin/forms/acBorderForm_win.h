// The extended-border window: a borderless, never-activated, per-pixel-alpha
// layered window that lies around a skinned window and shows its whole frame
// picture, wide borders and soft shadow included. Clicks on the frame go to
// the owner as non-client messages; clicks on the shadow go to the window
// below. The owner (a form's provider or a dialog adapter) is reached only
// through TacBorderFormOwner.
#pragma once

#include <windows.h>

#include <climits>
#include <functional>
#include <optional>

#include "base/Types.h"
#include "classlib/Forms.h"
#include "skin/forms/acBorderFormGeometry.h"

namespace kv {

class TBitmap;
class TacBorderForm;
class TsFrameGeometry;
class TsSkinManager;
struct TacFormServices;

// The shadow margins the manager's skin gives a window with extended borders.
TRect ExtBorderShadowMargins(const TsSkinManager& manager);
// The shadow round the frame of a frame picture (made 32-bit, the frame
// opaque), from the manager's picture for the window's state; the frame's
// corners take the shadow wherever its border mask (borderMask, -1 for
// none) is see-through.
void PaintExtBorderShadow(TBitmap& picture, const TsSkinManager& manager, const TRect& margins,
                          bool active, int borderMask);

// BORDERMODE 1: the manager's picture draws border and title. It is
// stretched over the whole frame picture (made 32-bit); what paintTitle
// then draws on it is made opaque, since GDI leaves its alpha undefined.
void PaintBorderModeFrame(TBitmap& picture, const TsSkinManager& manager, const TRect& margins,
                          bool active, int sideBorder, const std::function<void()>& paintTitle);
// The border window draws the frame (BORDERMODE 1) of a window that has one.
bool BorderWindowDrawsFrame(const TsSkinManager& manager, bool borderForm);

// Puts the frame-size services (border width, skinned title height and
// border width) into the table.
void InstallFrameSizeServices(TacFormServices& services);

// What the border window asks of the window it serves.
class TacBorderFormOwner {
 public:
  virtual ~TacBorderFormOwner() = default;

  // When the border window may follow its owner now.
  enum class TSync {
    Now,   // place it and show the picture
    Skip,  // leave it as it is (being shown, suspended, ...)
    Hide,  // the owner is hidden or the program minimised
    Drop,  // the owner is going: the border window must go too
  };

  virtual HWND OwnerWnd() const = 0;
  virtual TSync SyncState() const = 0;
  // Called for TSync::Drop; frees the border window (the caller returns at once).
  virtual void DropBorderForm() = 0;

  // The whole frame picture, 32 bits per pixel while the border window
  // exists; painted again first when stale.
  virtual TBitmap* FrameImage() const = 0;
  virtual bool FrameImageStale() const = 0;
  virtual void PaintFrame() = 0;

  // The picture's layout: where the owner window lies in it, the shadow
  // margins, the border widths and whether the owner is maximised.
  struct TFrameInfo {
    TPoint Offset{};
    TRect Shadow{};
    int ExtraBorder = 0;  // skinned minus system border width
    int FrameBorder = 0;  // system border width
    bool Maximised = false;
    TRect Client{};  // the client area in the picture
  };
  virtual TFrameInfo FrameInfo() const = 0;
  // The layout of a frame picture laid out by the frame geometry.
  static TFrameInfo FrameInfoOf(const TsFrameGeometry& g);

  // The parts of the frame the hit test needs; Buttons must stay valid
  // until the next call.
  virtual TacBorderHitFrame HitFrame() const = 0;
  // A code the program gives itself before the frame is tested; 0 for none.
  virtual int ExtHitTest(TMessage& /*message*/) { return 0; }
  virtual void SetHotButton(int hitCode, bool repaint) = 0;
  virtual void FreeButtonAnimations() {}
  // A double click on the title maximises or restores the owner.
  virtual bool TitleTogglesMaximise() const { return false; }
  virtual void AfterTitleToggle() {}
  // A mouse move of the owner's own that holds the capture.
  virtual void EndPendingMove() {}
};

class TacBorderForm {
 public:
  explicit TacBorderForm(TacBorderFormOwner& owner);
  ~TacBorderForm();
  TacBorderForm(const TacBorderForm&) = delete;
  TacBorderForm& operator=(const TacBorderForm&) = delete;

  TacBorderFormOwner& Owner() const { return owner_; }
  HWND OwnerWnd() const { return owner_.OwnerWnd(); }
  // The companion window (null once it is gone).
  HWND Handle() const;

  // Places the companion around the owner, in z-order right behind it, and
  // with Repaint or a changed place pushes the picture (the owner's alpha,
  // else Alpha, as constant alpha).
  void SyncWithOwner(bool repaint, int alpha);

  // The companion's region for now; null for none. The caller owns it.
  HRGN BorderRegion() const;
  // The point (picture coordinates) lies on the shadow; the hot title
  // button is cleared then.
  bool InShadow(TPoint p);
  // Hit code of a screen point of the companion; -1 for none.
  int HitTest(TPoint screen);
  int HitTest(TMessage& message);

  bool Forwarding() const { return forwarding_; }

  void BorderFormWndProc(TMessage& message);

 private:
  class TCompanion;
  TPoint ToPicture(TPoint screen) const;
  bool InShadowAtScreen(TPoint screen);
  void ForwardToWindowBelow(TMessage& m);
  void DoubleClick(TMessage& m);
  void SetCursorFor(TMessage& m);
  void Push(HWND wnd, TPoint origin, TSize size, BYTE alpha);
  BYTE OwnerAlpha(int fallback) const;

  TacBorderFormOwner& owner_;
  Owned<TCompanion> companion_;
  bool forwarding_ = false;
  bool syncing_ = false;
  bool closing_ = false;
  TPoint lastOrigin_{INT_MIN, INT_MIN};
  TSize lastSize_{};
};

}  // namespace kv
