// The skinned report list view. The system list view still draws items and
// text, in the skin section's colours; the skin draws the border and scroll
// bars (through an edit adapter) and the column header, whose window is
// subclassed and painted section by section. With no skin loaded it paints
// as the plain list view does.
#pragma once

#include <windows.h>

#include <memory>

#include "classlib/ListViews.h"
#include "skin/adapters/acListViewWnd_win.h"
#include "skin/controls/sSkinnedControl_win.h"

namespace kv {

class TsBoundLabel;

class TsListView : public TsSkinnedControl<TListView>, public IacHeaderOwner {
 public:
  explicit TsListView(TComponent* owner);
  ~TsListView() override;

  TsBoundLabel* BoundLabel() const { return boundLabel_.get(); }
  // Hovered column headers show hot (with ColumnClick on).
  bool HighlightHeaders() const { return highlightHeaders_; }
  void SetHighlightHeaders(bool value) { highlightHeaders_ = value; }
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;

  HWND HeaderHandle() const { return header_.Handle(); }
  int HotSection() const { return hot_; }
  int PressedSection() const { return pressed_; }
  TacEditWnd* ScrollAdapter() const { return adapter_; }

  LRESULT HeaderMessage(HWND header, UINT msg, WPARAM wParam, LPARAM lParam) override;

 protected:
  void CreateHandleDone() override;
  void DestroyWnd() override;
  void WndProc(TMessage& m) override;
  void MessageDone(TMessage& m) override;
  TacCommandOutcome SkinCommand(TMessage& m) override;
  bool SkinnedMessage(TMessage& m) override;
  void AfterMessage(TMessage& m) override;
  // State 0 of the section over the parent's background.
  void PrepareCache() override;

 private:
  TacHeaderLook Look() const;
  bool HoldPainting();
  void RepaintHeader();
  void SetHot(int column);
  void ApplySkinColors();
  void InstallCustomDraw();
  void RemoveCustomDraw();
  void CustomDraw(const TRect& r, TCustomDrawStage stage, bool& defaultDraw);

  TacHeaderHook header_{this};
  TacEditWnd* adapter_ = nullptr;
  int pressed_ = -1;
  int hot_ = -1;
  bool dragging_ = false;
  bool highlightHeaders_ = true;
  bool drawInstalled_ = false;
  // The user's own handler while ours is installed.
  TLVAdvancedCustomDrawEvent userDraw_;
  std::unique_ptr<TsBoundLabel> boundLabel_;
};

}  // namespace kv
