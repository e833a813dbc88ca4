// The program's message window: one text and an OK button, reused for every
// message, kept above the main window.
#pragma once

#include <string>

#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"
#include "skin/controls/sBevel_win.h"
#include "skin/controls/sBitBtn_win.h"
#include "skin/controls/sLabel_win.h"

namespace kv {

class TFormMessage : public TForm {
 public:
  // The owner is the main window (the application object when there is none
  // yet): the window stays above it and is usable while it is disabled.
  explicit TFormMessage(TComponent* owner);
  ~TFormMessage() override;

  void AfterConstruction() override;

  TsLabel* lbl_Info = nullptr;
  TsBevel* Bevel = nullptr;
  TsBitBtn* sbtbtn_Ok = nullptr;

  void sbtbtn_OkClick(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);

 protected:
  void CreateParams(TCreateParams& params) override;

 private:
  TCustomForm* MainWindow() const;
  // The main window comes back, unless a progress window still holds it.
  void EnableMainWindow();
};

// The one message window, or none before the first message.
extern TFormMessage* FormMessage;

// Shows text in the message window with caption (empty: no caption).
void ShowMessageForm(const std::string& text, const std::string& caption);

// When the message window is showing: puts it on top and active, as a
// window that went away from over the main window leaves it, and returns
// true (the main window then stays disabled under it).
bool RaiseMessageForm();

// The main window that owns the message window from now on; it forgets it
// by itself when that window is freed.
void SetMessageFormMainWindow(TCustomForm* mainWindow);

}  // namespace kv
