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
  struct TSavedColor {
    std::string_view Property;
    std::int64_t Value;
  };
  std::vector<TSavedColor> saved_;
  void ResetGridBars();
};

// A further grid kind; this system has none, so it is the grid adapter.
class TacGridEhWnd : public TacGridWnd {
 public:
  using TacGridWnd::TacGridWnd;
};

// A tree control that paints its whole client itself: skinned as an edit
// whose bars follow a dragged thumb at once. The colours and the owner-drawn
// header of its kind need a control this system does not have.
class TacVirtualTreeViewWnd : public TacEditWnd {
 public:
  using TacEditWnd::TacEditWnd;
  void WndProc(TMessage& message) override;
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
