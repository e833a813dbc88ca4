// The up-down adapter: skins a standard up-down control (a dialog's, or the
// scroller of a tab control) as two skinned buttons with the skin's arrows,
// the half under the pointer hot or pressed.
#pragma once

#include <windows.h>

#include <string_view>

#include "skin/adapters/acMainWnd_win.h"

namespace kv {

class TacSpinWnd : public TacMainWnd {
 public:
  TacSpinWnd(TsCommonData* skinData, TsSkinManager* manager, std::string_view skinSection);

  void WndProc(TMessage& message) override;
  // Without UDS_HORZ the first half is the upper one.
  bool IsVertical() const;

  bool Pressed = false;
  // The look of the first and second half last painted: 0, 1 hot, 2 pressed.
  int State1 = 0;
  int State2 = 0;

 protected:
  bool ReadsCaption() const override { return false; }

 private:
  void Paint(HDC given);
  void PaintHalf(TBitmap& cache, bool first, const TRect& place, int state);
  // The states the halves have now, from the pointer and Pressed.
  void CurrentStates(int& first, int& second) const;
  void AfterMouseMove();
  // The mouse-leave notice is asked for once per stay of the pointer.
  bool leaveTracked_ = false;
};

// The factory the control adapter's table calls.
TacMainWnd* CreateSpinAdapter(HWND handle, TsCommonData* skinData, TsSkinManager* manager,
                              std::string_view section, bool repaint);

}  // namespace kv
