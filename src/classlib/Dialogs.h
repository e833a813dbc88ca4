#pragma once
// Message boxes owned by the active window, with the application's title.

#include <string>

#include "classlib/Forms.h"

namespace kv {

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgButtons { mbOK, mbOKCancel, mbYesNo, mbYesNoCancel, mbRetryCancel, mbAbortRetryIgnore };

void ShowMessage(const std::string& text);
// Returns the mr* value of the button chosen.
TModalResult MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons);

}  // namespace kv
