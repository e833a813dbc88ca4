// The skinned combo box. With no skin loaded it paints as the plain combo box
// does. A read-only box only takes the focus on a click and never drops down.
#pragma once

#include "classlib/StdCtrls.h"

namespace kv {

class TsCustomComboBox : public TCustomComboBox {
 public:
  explicit TsCustomComboBox(TComponent* owner);

  void Dispatch(TMessage& message) override;
  // The first item whose text equals s exactly (case-sensitive); -1 when none.
  int IndexOfItem(const std::string& s);

 protected:
  // Left button down: focus only when ReadOnly, otherwise the standard handling.
  virtual void WMLButtonDown(TMessage& message);
};

class TsComboBox : public TsCustomComboBox {
 public:
  using TsCustomComboBox::TsCustomComboBox;
};

}  // namespace kv
