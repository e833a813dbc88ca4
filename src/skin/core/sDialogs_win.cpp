#include "skin/core/sDialogs_win.h"

#include "classlib/WideText.h"

namespace kv {

int MessageBoxX = -1;
int MessageBoxY = -1;

int MessageBoxDlgEx(const std::string& caption, const std::string& msg, TacMsgType type, int x,
                    int y, TacMsgButtons buttons) {
  const TacMessageBoxLook look = MessageBoxLook(type, buttons, caption);
  MessageBoxX = x;
  MessageBoxY = y;
  // The application hears of the box as of any modal window of the program.
  struct ModalRun {
    ModalRun() {
      if (Application != nullptr) Application->ModalStarted();
    }
    ~ModalRun() {
      if (Application != nullptr) Application->ModalFinished();
      MessageBoxX = MessageBoxY = -1;
    }
  } run;
  if (GetActiveWindow() == nullptr || Application == nullptr) {
    HWND owner = Application != nullptr ? Application->Handle() : nullptr;
    return MessageBoxW(owner, Wide(msg).c_str(), Wide(look.Caption).c_str(), look.Style);
  }
  return Application->MessageBox(msg, look.Caption, look.Style);
}

int MessageBoxDlg(const std::string& msg, TacMsgType type, TacMsgButtons buttons) {
  return MessageBoxDlgEx("", msg, type, -1, -1, buttons);
}

int WarningBox(const std::string& msg) {
  return MessageBoxDlg(msg, TacMsgType::Warning, msgbtn::OK);
}

int ErrorBox(const std::string& msg) { return MessageBoxDlg(msg, TacMsgType::Error, msgbtn::OK); }

int AlertBox() { return WarningBox("Alert"); }

}  // namespace kv
