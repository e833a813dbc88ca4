// The date-time picker adapter: the edit adapter's border and colours, and
// a client painted here. The system picker draws its fields in the system's
// window-text colour whatever its parent answers, which a dark skin cannot
// be read with: the picker paints into a picture, its text is moved to the
// control's font colour, and the date kind's drop-down button is the skin's.
// The time kind's up-down is skinned by the up-down adapter.
#pragma once

#include <windows.h>

#include <string_view>

#include "skin/adapters/acEditWnd_win.h"
#include "skin/adapters/acSpinWnd_win.h"

namespace kv {

class TacDateTimeWnd : public TacEditWnd {
 public:
  using TacEditWnd::TacEditWnd;
  ~TacDateTimeWnd() override;

  void WndProc(TMessage& message) override;

  // The up-down of the time kind; null for the date kind.
  TacSpinWnd* Spin = nullptr;

 protected:
  void HookWindow(HWND handle, bool repaint) override;
  void UnhookWindow(bool repaint) override;

 private:
  void Paint(HDC given);
  TColor BackgroundColor() const;
  TColor TextColor() const;
  int ButtonState() const;
};

// For the control adapter's class table: the edit adapter, or the date-time
// picker's for a picker's window.
TacMainWnd* CreateEditAdapter(HWND wnd, TsCommonData* skinData, TsSkinManager* manager,
                              std::string_view skinSection, bool repaint);

}  // namespace kv
