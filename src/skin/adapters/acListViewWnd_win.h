// The list view adapter: skins a standard list view ("SysListView32") as an
// edit adapter does (border, scroll bars) and gives it the skin's colours.
// Its column header ("SysHeader32") is subclassed and painted section by
// section from the skin's "COLHEADER" item with hover, pressed columns, sort
// arrows and column images. Thumb drags scroll the list with LVM_SCROLL.
//
// The header machinery (subclass, hit test, painting) is shared with the
// skinned list view control.
#pragma once

#include <windows.h>

#include <string_view>

#include "skin/adapters/acEditWnd_win.h"

namespace kv {

class TCustomImageList;
class TsSkinManager;

// Receives the messages of a subclassed header.
class IacHeaderOwner {
 public:
  virtual LRESULT HeaderMessage(HWND header, UINT msg, WPARAM wParam, LPARAM lParam) = 0;

 protected:
  ~IacHeaderOwner() = default;
};

// A column header under our window procedure. Giving it back puts the old
// procedure in only while ours is still the current one; otherwise ours stays
// in the chain as a pass-through, so whoever subclassed on top keeps theirs.
class TacHeaderHook {
 public:
  explicit TacHeaderHook(IacHeaderOwner* owner) : owner_(owner) {}
  ~TacHeaderHook() { Release(); }
  TacHeaderHook(const TacHeaderHook&) = delete;
  TacHeaderHook& operator=(const TacHeaderHook&) = delete;

  void Hook(HWND header);
  void Release();
  // The header is going (WM_NCDESTROY passed on): nothing to give back.
  void Forget();
  HWND Handle() const { return header_; }
  LRESULT CallPrev(UINT msg, WPARAM wParam, LPARAM lParam) const;

 private:
  IacHeaderOwner* owner_;
  HWND header_ = nullptr;
};

// The first "SysHeader32" child of list; null when none.
HWND FindListHeader(HWND list);
bool IsHeaderWindow(HWND wnd);

// What the header painting needs. Hot and Pressed are column (item) indexes,
// -1 for none.
struct TacHeaderLook {
  HWND Header = nullptr;
  HWND List = nullptr;
  TsSkinManager* Manager = nullptr;
  int Hot = -1;
  int Pressed = -1;
  TCustomImageList* Images = nullptr;
  bool Enabled = true;
  TColor Color = clWindow;
  // The adapter lays the caption out 4 pixels in from the section's sides
  // and 1 from its top and bottom, clear of the dividers; the skinned list
  // view uses the whole section.
  bool InsetText = true;
};

// The state a section shows: pressed wins over hot, the empty area (item < 0)
// always shows 0.
int HeaderSectionState(const TacHeaderLook& look, int item);
// One section (item -1 is the area right of the last column) into dc at r.
void PaintHeaderSection(const TacHeaderLook& look, HDC dc, const TRect& r, int item);
// Every section in display order, then the rest of the header's width as an
// empty section. Returns the header height met (0 with no sections).
int PaintHeader(const TacHeaderLook& look, HDC dc);
// The header printed into a print of the whole list whose border is frame
// pixels wide: at the client origin, clipped to the client area.
void PrintListHeader(const TacHeaderLook& look, HDC dc, int frame);
// The column under a header client point, -2 when none.
int HeaderColumnAt(HWND header, TPoint point);
// The column a press at the point presses: -1 on a divider or outside.
int HeaderPressedColumn(HWND header, TPoint point);

// A thumb drag of a list view's bar to position: LVM_SCROLL by the distance
// from the list's own position, whole rows in report view (vertically) and
// whole columns in list view (horizontally), pixels otherwise. The same
// position twice scrolls nothing. viewStyle as TViewStyle.
void ListViewThumbTrack(HWND list, int viewStyle, bool vertical, int position);
// The position a scroll message carries: the whole value in LParam from the
// skinned bars, else the high word of WParam.
int ScrollMessagePosition(const TMessage& m);

class TacListViewWnd : public TacEditWnd, public IacHeaderOwner {
 public:
  TacListViewWnd(TsCommonData* skinData, TsSkinManager* manager, std::string_view skinSection);

  void SaveOriginalState() override;
  void RestoreOriginalState() override;
  void ApplySkinState() override;
  void WndProc(TMessage& message) override;
  LRESULT HeaderMessage(HWND header, UINT msg, WPARAM wParam, LPARAM lParam) override;

  HWND Header() const { return header_.Handle(); }
  int HotColumn() const { return hot_; }
  int PressedColumn() const { return pressed_; }
  // 0 icon, 1 small icon, 2 list, 3 report.
  int ViewStyle() const;

 protected:
  void HookWindow(HWND handle, bool repaint) override;

 private:
  // The header's messages, inside the adapter's guard.
  LRESULT HeaderWndProc(HWND header, UINT msg, WPARAM wParam, LPARAM lParam);
  TacHeaderLook Look() const;
  void RepaintHeader();
  void ThumbTrack(TMessage& m, bool vertical);

  TacHeaderHook header_{this};
  int pressed_ = -1;
  int hot_ = -1;
  int lastVert_ = 0;
  int lastHorz_ = 0;
  bool headerPressed_ = false;
  COLORREF savedBk_ = 0;
  COLORREF savedText_ = 0;
  COLORREF savedTextBk_ = 0;
};

// For the control adapter's class table.
TacMainWnd* CreateListViewAdapter(HWND wnd, TsCommonData* skinData, TsSkinManager* manager,
                                  std::string_view skinSection, bool repaint);

}  // namespace kv
