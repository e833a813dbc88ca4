// Runs a check on the configurator's modal form (a setting dialog, the
// about window) that an action shows, then closes it: a thread timer finds
// the form once it is up.
#pragma once

#include <windows.h>

#include <functional>
#include <utility>

#include "classlib/Forms.h"
#include "support/Pump.h"

namespace kv {

struct TModalForm {
  static inline std::function<void(TCustomForm&)> check;
  static inline bool seen = false;
  static void CALLBACK Poll(HWND, UINT, UINT_PTR id, DWORD) {
    for (int i = 0; i < Screen->FormCount(); ++i) {
      TCustomForm* form = Screen->Forms(i);
      if (!(form->FormState() & fsModal) || !form->Visible()) continue;
      KillTimer(nullptr, id);
      seen = true;
      pump::PumpUntilIdle();
      if (check) check(*form);
      check = nullptr;
      form->SetModalResult(mrCancel);
      return;
    }
  }
  // Runs `open`, which shows a modal form, and `onForm` on it; false when no
  // modal form came up.
  static bool Run(const std::function<void()>& open, std::function<void(TCustomForm&)> onForm) {
    seen = false;
    check = std::move(onForm);
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, Poll);
    open();
    KillTimer(nullptr, timer);
    return seen;
  }
};

}  // namespace kv
