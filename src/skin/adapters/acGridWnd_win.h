// Grid and tree adapters. A grid is skinned as an edit (border, skinned
// scroll bars, skin colours) and its further colour properties, where its
// class publishes them, take the skin's colours and get their own back when
// the skin goes. A tree view takes the section's background colour.
#pragma once

#include <windows.h>

#include <string_view>
#include <vector>

#include "skin/adapters/acEditWnd_win.h"

namespace kv {

// A colour property's value as found before skinning; the path names it as
// in "VETColors.FileTextColor".
struct TacSavedColor {
  std::string_view Property;
  std::int64_t Value;
};

class TacGridWnd : public TacEditWnd {
 public:
  using TacEditWnd::TacEditWnd;
  void SaveOriginalState() override;
  void RestoreOriginalState() override;
  void ApplySkinState() override;
  // The grid paints all its client itself; its bars are put back over the
  // system's after each paint; a removed skin gives the grid its own bars.
  void WndProc(TMessage& message) override;

 private:
  std::vector<TacSavedColor> saved_;
  void ResetGridBars();
};

// A further grid kind; this system has none, so it is the grid adapter.
class TacGridEhWnd : public TacGridWnd {
 public:
  using TacGridWnd::TacGridWnd;
};

// A tree control that paints its whole client itself, with a header in its
// frame: skinned as an edit whose bars follow a dragged thumb at once. The
// colours it publishes by name ("VETColors", "Header", "PaintInfoColumn")
// take the skin's and get their own back; the tree draws its header into
// the skinned frame.
class TacVirtualTreeViewWnd : public TacEditWnd {
 public:
  using TacEditWnd::TacEditWnd;
  void SaveOriginalState() override;
  void RestoreOriginalState() override;
  void ApplySkinState() override;
  void WndProc(TMessage& message) override;

 private:
  std::vector<TacSavedColor> saved_;
  // The frame's picture, made again when the background changed (always
  // with always), and its strips into dc.
  void PrepareFrame(bool always);
  void CopyFrame(HDC dc);
  void NcPaint(HRGN update);
  void Print(TMessage& message);
  // The header's height when it shows, else 0.
  int HeaderHeight() const;
};

class TacTreeViewWnd : public TacEditWnd {
 public:
  using TacEditWnd::TacEditWnd;
  void RestoreOriginalState() override;
  void ApplySkinState() override;
  void WndProc(TMessage& message) override;

 private:
  TColor TreeBackColor() const;
};

}  // namespace kv
