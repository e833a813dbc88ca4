#pragma once
// TPageControl and TTabSheet: the system tab control (SysTabControl32) whose
// tabs are the visible sheets, and the sheets themselves, plain containers
// of which only the active one shows.

#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <functional>
#include <vector>

#include "base/TabKinds.h"
#include "classlib/Controls.h"

namespace kv {

class TCustomImageList;
class TPageControl;

using TTabChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;
using TDrawTabEvent =
    std::function<void(TPageControl* Control, int TabIndex, const TRect& Rect, bool Active)>;

class TTabSheet : public TWinControl {
 public:
  explicit TTabSheet(TComponent* owner);
  ~TTabSheet() override;

  TPageControl* PageControl() const { return pageControl_; }
  // Moves the sheet to another page control (or out of any).
  void SetPageControl(TPageControl* pageControl);
  // The position among all sheets of the page control; -1 without one.
  int PageIndex() const;
  void SetPageIndex(int index);
  // The position among the shown tabs; -1 when the tab is hidden.
  int TabIndex() const;
  bool TabVisible() const { return tabVisible_; }
  void SetTabVisible(bool value);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int index);

  void SetParent(TWinControl* parent) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void Dispatch(TMessage& message) override;

 private:
  friend class TPageControl;
  TPageControl* pageControl_ = nullptr;
  bool tabVisible_ = true;
  int imageIndex_ = -1;
};

class TPageControl : public TWinControl {
 public:
  explicit TPageControl(TComponent* owner);
  ~TPageControl() override;

  // Before the user moves to another tab; AllowChange false keeps the page.
  TTabChangingEvent OnChanging;
  // After the user moved to another tab.
  TNotifyEvent OnChange;
  // Paints a tab when OwnerDraw is set (on Canvas).
  TDrawTabEvent OnDrawTab;

  int PageCount() const { return static_cast<int>(pages_.size()); }
  // Index errors raise EInvalidOperation.
  TTabSheet* Pages(int index) const;
  TTabSheet* ActivePage() const { return activePage_; }
  void SetActivePage(TTabSheet* page);
  int ActivePageIndex() const;
  void SetActivePageIndex(int index);
  // The selected tab among the shown ones (-1 none); setting shows its sheet.
  int TabIndex() const;
  void SetTabIndex(int index);
  // The next or previous sheet with a shown tab, wrapping round.
  TTabSheet* FindNextPage(TTabSheet* current, bool goForward, bool checkTabVisible) const;
  void SelectNextPage(bool goForward, bool checkTabVisible = true);

  TTabStyle Style() const { return style_; }
  void SetStyle(TTabStyle style);
  TTabPosition TabPosition() const { return tabPosition_; }
  void SetTabPosition(TTabPosition position);
  bool MultiLine() const { return multiLine_; }
  void SetMultiLine(bool value);
  bool HotTrack() const { return hotTrack_; }
  void SetHotTrack(bool value);
  // The tabs are painted by DrawTab (OnDrawTab) instead of the system.
  bool OwnerDraw() const { return ownerDraw_; }
  void SetOwnerDraw(bool value);
  // The canvas DrawTab paints on (valid while it runs).
  TCanvas* Canvas() { return &canvas_; }
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* images);

  // The number of tab rows, the rectangle of a shown tab, and the area
  // left for the sheets (client coordinates).
  int RowCount();
  TRect TabRect(int tabIndex);
  TRect DisplayRect();

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandleDone() override;
  void Dispatch(TMessage& message) override;
  void AdjustClientRect(TRect& rect) override;
  void AlignControls(TControl* control, TRect& rect) override;
  // Shows the active sheet and hides the others.
  virtual void UpdateActivePage();
  virtual bool CanChange();
  virtual void Change();
  virtual void DrawTab(int tabIndex, const TRect& rect, bool active);
  void Notification(TComponent* component, TOperation operation) override;

 private:
  friend class TTabSheet;
  void InsertPage(TTabSheet* page);
  void RemovePage(TTabSheet* page);
  void MovePage(TTabSheet* page, int index);
  void UpdateTabs();
  void UpdateTab(TTabSheet* page);
  void ChangeActivePage(TTabSheet* page);
  void ApplyImages();

  std::vector<TTabSheet*> pages_;
  TTabSheet* activePage_ = nullptr;
  TTabStyle style_ = tsTabs;
  TTabPosition tabPosition_ = tpTop;
  bool multiLine_ = false;
  bool hotTrack_ = false;
  bool ownerDraw_ = false;
  TCustomImageList* images_ = nullptr;
  TCanvas canvas_;
};

}  // namespace kv
