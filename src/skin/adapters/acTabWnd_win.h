// Adapters of tab controls: the page frame, every tab (the selected one on
// top) and the scroller of a standard tab control drawn from the skin; a
// page control's sheets painted from the page control's background.
#pragma once

#include <windows.h>

#include <string_view>

#include "skin/adapters/acMainWndTables.h"
#include "skin/adapters/acSpinWnd_win.h"
#include "skin/core/acBgInfo_win.h"
#include "skin/geometry/sPageControlGeometry.h"

namespace kv {

class TacTabControlWnd : public TacMainWnd {
 public:
  // The section is the given one, else "PAGECONTROL".
  TacTabControlWnd(TsCommonData* skinData, TsSkinManager* manager, std::string_view skinSection);
  ~TacTabControlWnd() override;

  void WndProc(TMessage& message) override;
  // The page area inside the tab control's border.
  virtual TRect GetDisplayRect();
  // The page frame: the whole window less the tab band.
  TRect GetPageRect();
  // The scroller (the up-down child) gets its adapter, a new one when the
  // child is new; none without the skin's section or without the child.
  void UpdateSpin();

  // The adapter of the tab control's scroller while it has one.
  TacSpinWnd* Spin = nullptr;

 protected:
  bool ReadsCaption() const override { return false; }
  void TabWndProc(TMessage& message);
  // Paints the whole control into dc (the window's own when null).
  void Paint(HDC dc);

 private:
  TacTabKind Kind() const;
  TsTabLayout Layout();
  void BuildCache(const TsTabLayout& layout);
  // One tab over the bitmap, whose top-left lies at origin of the window.
  void DrawTab(TBitmap& bitmap, TPoint origin, const TsTabLayout& layout, int index, bool selected);
  void DrawCaption(TBitmap& bitmap, const TRect& r, int index, int section, bool hot);
  bool TabCommand(TMessage& message);
  TSize storedSize_{};
};

class TacPageControlWnd : public TacTabControlWnd {
 public:
  TacPageControlWnd(TsCommonData* skinData, TsSkinManager* manager, std::string_view skinSection);
  void WndProc(TMessage& message) override;
  // Every direct child window not skinned yet gets a sheet adapter.
  void AttachPages();
};

// A page control's sheet: painted from the page control's background. It
// frees itself when its window goes.
class TacPageWnd : public TacMainWnd {
 public:
  using TacMainWnd::TacMainWnd;
  void WndProc(TMessage& message) override;

 protected:
  bool ReadsCaption() const override { return false; }

 private:
  void Paint(HDC dc);
  // Part r of the sheet from the page control's background picture.
  void CopyFromBackground(HDC dc, const TRect& r, const TsBgRequest& request);
};

// Sheet adapters alive now (made by page control adapters, not yet freed).
int PageAdapterCount();

// The factories the control adapter's table calls.
TacMainWnd* CreateTabControlAdapter(HWND handle, TsCommonData* skinData, TsSkinManager* manager,
                                    std::string_view section, bool repaint);
TacMainWnd* CreatePageControlAdapter(HWND handle, TsCommonData* skinData, TsSkinManager* manager,
                                     std::string_view section, bool repaint);

}  // namespace kv
