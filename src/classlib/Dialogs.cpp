#include "classlib/Dialogs.h"

#include "base/SysUtils.h"

namespace kv {

namespace {
std::string Caption() {
  const std::string& title = Application->Title();
  return title.empty() ? ChangeFileExt(ExtractFileName(Application->ExeName()), "") : title;
}
}  // namespace

void ShowMessage(const std::string& text) { Application->MessageBox(text, Caption(), MB_OK); }

TModalResult MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) {
  static constexpr UINT kIcons[] = {MB_ICONWARNING, MB_ICONERROR, MB_ICONINFORMATION,
                                    MB_ICONQUESTION, 0};
  static constexpr UINT kButtons[] = {MB_OK,          MB_OKCANCEL,    MB_YESNO,
                                      MB_YESNOCANCEL, MB_RETRYCANCEL, MB_ABORTRETRYIGNORE};
  // The box's answers (IDOK ...) are the modal results' numbers.
  return Application->MessageBox(text, Caption(), kIcons[type] | kButtons[buttons]);
}

}  // namespace kv
