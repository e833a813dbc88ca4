#include "classlib/Dialogs.h"

#include <commdlg.h>

#include <algorithm>
#include <cwchar>

#include "base/SysUtils.h"
#include "classlib/Forms.h"
#include "classlib/WideText.h"

namespace kv {

namespace {
std::string Caption() {
  const std::string& title = Application->Title();
  return title.empty() ? ChangeFileExt(ExtractFileName(Application->ExeName()), "") : title;
}

struct TOptionFlag {
  TOpenOptions option;
  DWORD flag;
};
constexpr TOptionFlag kOptionFlags[] = {
    {ofReadOnly, OFN_READONLY},
    {ofOverwritePrompt, OFN_OVERWRITEPROMPT},
    {ofHideReadOnly, OFN_HIDEREADONLY},
    {ofNoChangeDir, OFN_NOCHANGEDIR},
    {ofShowHelp, OFN_SHOWHELP},
    {ofNoValidate, OFN_NOVALIDATE},
    {ofAllowMultiSelect, OFN_ALLOWMULTISELECT},
    {ofExtensionDifferent, OFN_EXTENSIONDIFFERENT},
    {ofPathMustExist, OFN_PATHMUSTEXIST},
    {ofFileMustExist, OFN_FILEMUSTEXIST},
    {ofCreatePrompt, OFN_CREATEPROMPT},
    {ofShareAware, OFN_SHAREAWARE},
    {ofNoReadOnlyReturn, OFN_NOREADONLYRETURN},
    {ofNoTestFileCreate, OFN_NOTESTFILECREATE},
    {ofNoNetworkButton, OFN_NONETWORKBUTTON},
    {ofNoLongNames, OFN_NOLONGNAMES},
    {ofNoDereferenceLinks, OFN_NODEREFERENCELINKS},
    {ofEnableIncludeNotify, OFN_ENABLEINCLUDENOTIFY},
    {ofEnableSizing, OFN_ENABLESIZING},
    {ofDontAddToRecent, OFN_DONTADDTORECENT},
    {ofForceShowHidden, OFN_FORCESHOWHIDDEN},
};

// Room for many names when several files may be chosen.
constexpr size_t kSingleBuffer = MAX_PATH * 4;
constexpr size_t kMultiBuffer = 64 * 1024;

UINT_PTR CALLBACK DialogHook(HWND wnd, UINT msg, WPARAM, LPARAM lParam) {
  if (msg != WM_INITDIALOG) return 0;
  try {
    auto* ofn = reinterpret_cast<OPENFILENAMEW*>(lParam);
    auto* dialog = reinterpret_cast<TOpenDialog*>(ofn->lCustData);
    // Explorer-style dialogs give the hook a child of the real dialog.
    dialog->SetShownHandle(GetParent(wnd) != nullptr ? GetParent(wnd) : wnd);
    if (dialog->OnShow) dialog->OnShow(dialog);
  } catch (...) {
    HandleEntryException(nullptr);
  }
  return 0;
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

std::wstring MakeFilterList(const std::string& filter) {
  std::vector<std::wstring> parts;
  std::wstring current;
  for (wchar_t c : Wide(filter)) {
    if (c == L'|') {
      parts.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  parts.push_back(current);
  std::wstring list;
  for (size_t i = 0; i + 1 < parts.size(); i += 2) {
    // An empty mask would end the list early.
    if (parts[i + 1].empty()) continue;
    list += parts[i];
    list += L'\0';
    list += parts[i + 1];
    list += L'\0';
  }
  list += L'\0';
  return list;
}

bool TOpenDialog::Execute() {
  const bool multi = (options_ & ofAllowMultiSelect) != 0;
  std::vector<wchar_t> buffer(multi ? kMultiBuffer : kSingleBuffer, L'\0');
  const std::wstring name = Wide(fileName_);
  if (name.size() < buffer.size()) std::copy(name.begin(), name.end(), buffer.begin());
  const std::wstring filter = MakeFilterList(filter_);
  const std::wstring dir = Wide(initialDir_);
  std::wstring ext = Wide(defaultExt_);
  if (!ext.empty() && ext[0] == L'.') ext.erase(0, 1);
  const std::wstring title = Wide(title_);

  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof(ofn);
  HWND owner = GetActiveWindow();
  ofn.hwndOwner = owner != nullptr ? owner : Application->Handle();
  ofn.lpstrFilter = filter.size() > 1 ? filter.c_str() : nullptr;
  ofn.nFilterIndex = static_cast<DWORD>(std::max(filterIndex_, 0));
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = static_cast<DWORD>(buffer.size());
  ofn.lpstrInitialDir = dir.empty() ? nullptr : dir.c_str();
  ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
  ofn.lpstrDefExt = ext.empty() ? nullptr : ext.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_ENABLEHOOK;
  for (const TOptionFlag& f : kOptionFlags)
    if ((options_ & f.option) && f.option != ofExtensionDifferent && f.option != ofReadOnly)
      ofn.Flags |= f.flag;
  if (options_ & ofReadOnly) ofn.Flags |= OFN_READONLY;
  ofn.lpfnHook = DialogHook;
  ofn.lCustData = reinterpret_cast<LPARAM>(this);

  const bool ok = DoExecute(&ofn);
  handle_ = nullptr;
  if (OnClose) OnClose(this);
  if (!ok) return false;

  files_.clear();
  // Several names come as the folder, then each name, each ended by a NUL.
  const std::wstring first(buffer.data());
  const wchar_t* next = buffer.data() + first.size() + 1;
  if (multi && *next != L'\0') {
    std::wstring folder = first;
    if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
    for (; *next != L'\0'; next += wcslen(next) + 1) files_.push_back(Narrow(folder + next));
  } else {
    files_.push_back(Narrow(first));
  }
  fileName_ = files_.front();
  filterIndex_ = static_cast<int>(ofn.nFilterIndex);
  options_ &= ~(ofExtensionDifferent | ofReadOnly);
  if (ofn.Flags & OFN_EXTENSIONDIFFERENT) options_ |= ofExtensionDifferent;
  if (ofn.Flags & OFN_READONLY) options_ |= ofReadOnly;
  return true;
}

bool TOpenDialog::DoExecute(void* openFileName) {
  const TApplication::TSystemLoop loop;
  return GetOpenFileNameW(static_cast<OPENFILENAMEW*>(openFileName)) != FALSE;
}

bool TSaveDialog::DoExecute(void* openFileName) {
  const TApplication::TSystemLoop loop;
  return GetSaveFileNameW(static_cast<OPENFILENAMEW*>(openFileName)) != FALSE;
}

}  // namespace kv
