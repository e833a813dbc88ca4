// The about window: the program's picture and an OK button. Shown modally
// from the Help menu and freed when it closes.
#pragma once

#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"
#include "skin/controls/sBitBtn_win.h"
#include "skin/controls/sLabel_win.h"

namespace kv {

class TFormAbout : public TForm {
 public:
  explicit TFormAbout(TComponent* owner);
  void AfterConstruction() override;

  TImage* imgAbout = nullptr;
  // Two labels kept for the form's layout; they are never shown.
  TsLabel* lbl_Product = nullptr;
  TsLabel* lbl_Copyright = nullptr;
  TsBitBtn* btn_OK = nullptr;

  // True when the picture resource was found and shown.
  bool HasPicture();
};

}  // namespace kv
