// The progress window of the long operations: a gauge and a Stop button,
// shown over the main window, which stays disabled while it is shown.
#pragma once

#include <functional>

#include "classlib/Forms.h"
#include "skin/controls/sBitBtn_win.h"
#include "skin/controls/sGauge_win.h"

namespace kv {

class TFormBasicAnimate : public TForm {
 public:
  // The owner is the main window: the one this window disables, centres on
  // and stays above.
  explicit TFormBasicAnimate(TComponent* owner);
  ~TFormBasicAnimate() override;

  void AfterConstruction() override;

  // The running operation is asked to stop: by Stop, by closing the window,
  // or because the window is being freed (windowGoing). The main window sets
  // its CancelFlag here.
  std::function<void(bool windowGoing)> OnCancel;

  TsGauge* sg = nullptr;
  TsBitBtn* btn_Close = nullptr;

  void FormShow(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void FormDestroy(TObject* Sender);
  void btn_CloseClick(TObject* Sender);

  // True while any progress window is shown.
  static bool AnyShown();

 protected:
  void CreateParams(TCreateParams& params) override;

 private:
  TCustomForm* MainWindow() const;
  void Cancel(bool windowGoing);
};

}  // namespace kv
