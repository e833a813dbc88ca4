// The combo-box adapters: TacComboBoxWnd skins a standard combo box the
// toolkit does not own (a 3-pixel border from the edit section, the skin's
// drop-down button and arrow, the selected text of a drop-down list, the
// list's colours); TacComboListWnd skins a combo box's drop-down list (a
// plain frame, skinned scroll bars) and copes with the combo box holding the
// mouse on it. The skinned combo box puts the list adapter on its own list.
#pragma once

#include <windows.h>

#include <string_view>

#include "classlib/Graphics.h"
#include "skin/adapters/acEditWnd_win.h"

namespace kv {

class TsSkinModel;

class TacComboListWnd : public TacEditWnd {
 public:
  // Without skinData the adapter has its own.
  TacComboListWnd(TsCommonData* skinData, TsSkinManager* manager, std::string_view skinSection);

  void WndProc(TMessage& message) override;

  // The combo box is tracking the mouse on its list (between its own
  // start- and stop-tracking messages): the border is left alone on print.
  bool Tracking = false;
  // The list of a CBS_SIMPLE combo box: always shown, framed by the box.
  bool Simple = false;

 private:
  // The cache as the list's plain frame: the background colour inside a
  // line of the frame colour.
  void PaintListFrame();
  // The list's own hit test of a screen point, skinned bars included.
  LRESULT HitTest(TPoint screen);
  void LButtonUp(TMessage& m);
  void NcLButtonDown(TMessage& m);
  void NcPaint(TMessage& m);
  void Print(TMessage& m);
};

// The list's section colours into dc with a brush of its background; null
// (and dc untouched) when the list has no skin section or the box is in
// dialog mode. The brush is kept in brush for the next call.
HBRUSH ComboListColors(HWND list, TsSkinManager* manager, HDC dc, bool dialogMode, TBrush& brush);

class TacComboBoxWnd : public TacEditWnd {
 public:
  using TacEditWnd::TacEditWnd;
  ~TacComboBoxWnd() override;

  void WndProc(TMessage& message) override;
  // The drop-down button in window coordinates for a window of that size.
  virtual TRect GetButtonRect(TSize size);

  // The drop-down list, once it asked for its colours.
  HWND ListWnd = nullptr;
  TacComboListWnd* ListAdapter() const { return listAdapter_; }

 private:
  bool IsSimple() const;
  bool RightToLeft() const;
  // Into dc (the window DC when null).
  void PaintButton(HDC dc);
  void DrawSelectedText();
  void PaintSimpleFrame();
  void Paint(TMessage& m);
  void Print(TMessage& m);
  void CtlColorListBox(TMessage& m);
  // The skin command goes to the list too: it is no child of the box.
  void PassToList(const TMessage& m);

  TacComboListWnd* listAdapter_ = nullptr;
  // The list asks at every paint; one brush answers.
  TBrush listBrush_;
};

// For the control adapter's class table: a combo-box adapter on wnd.
TacMainWnd* CreateComboBoxAdapter(HWND wnd, TsCommonData* skinData, TsSkinManager* manager,
                                  std::string_view skinSection, bool repaint);

// The text a combo box shows: its selected item's (asked for its length
// first), else its window text; empty on error.
std::string ComboSelectedText(HWND combo);

// The skin's drop-down button (its section and arrow) in a state over
// rectangle r of bmp, what background holds there showing through; the
// arrow is centred down a window height high.
void PaintComboButton(TBitmap& bmp, TBitmap& background, const TRect& r, int height, int state,
                      const TsSkinModel& skin);

}  // namespace kv
