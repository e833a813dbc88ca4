// The toolkit's own message boxes and its file-dialog classes.
#pragma once

#include <string>

#include "classlib/Dialogs.h"
#include "skin/core/acUtils.h"

namespace kv {

// Where the next toolkit message box is to appear; -1, -1 when no position
// is asked. The dialog hook reads it while the box opens.
extern int MessageBoxX;
extern int MessageBoxY;

// The platform's answer (IDOK, IDCANCEL, ... IDNO). An empty caption takes the
// type's own.
int MessageBoxDlgEx(const std::string& caption, const std::string& msg, TacMsgType type, int x,
                    int y, TacMsgButtons buttons);
inline int MessageBoxDlgPos(const std::string& caption, const std::string& msg, TacMsgType type,
                            int x, int y, TacMsgButtons buttons) {
  return MessageBoxDlgEx(caption, msg, type, x, y, buttons);
}
int MessageBoxDlg(const std::string& msg, TacMsgType type, TacMsgButtons buttons);
int WarningBox(const std::string& msg);
int ErrorBox(const std::string& msg);
int AlertBox();

enum TsZipShowing { zsAsFolder, zsAsFile };

class TsOpenDialog : public TOpenDialog {
 public:
  explicit TsOpenDialog(TComponent* owner) : TOpenDialog(owner) {}
  TsZipShowing ZipShowing = zsAsFolder;
};

class TsSaveDialog : public TSaveDialog {
 public:
  using TSaveDialog::TSaveDialog;
};

}  // namespace kv
