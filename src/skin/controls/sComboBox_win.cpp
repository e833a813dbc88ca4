#include "skin/controls/sComboBox_win.h"

namespace kv {

TsCustomComboBox::TsCustomComboBox(TComponent* owner) : TCustomComboBox(owner) {
  SetDropDownCount(16);
}

int TsCustomComboBox::IndexOfItem(const std::string& s) {
  for (int i = 0; i < Items()->Count(); ++i)
    if (Items()->Strings(i) == s) return i;
  return -1;
}

void TsCustomComboBox::Dispatch(TMessage& message) {
  if (message.Msg == WM_LBUTTONDOWN || message.Msg == WM_LBUTTONDBLCLK) {
    WMLButtonDown(message);
    return;
  }
  TCustomComboBox::Dispatch(message);
}

void TsCustomComboBox::WMLButtonDown(TMessage& message) {
  if (ReadOnly()) {
    if (CanFocus()) SetFocus();
    message.Result = 0;
    return;
  }
  TCustomComboBox::Dispatch(message);
}

}  // namespace kv
