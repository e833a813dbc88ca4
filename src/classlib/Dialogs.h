#pragma once
// Message boxes owned by the active window, with the application's title;
// the system's open and save file dialogs.

#include <string>
#include <vector>

#include "classlib/Forms.h"

namespace kv {

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgButtons { mbOK, mbOKCancel, mbYesNo, mbYesNoCancel, mbRetryCancel, mbAbortRetryIgnore };

void ShowMessage(const std::string& text);
// Returns the mr* value of the button chosen.
TModalResult MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons);

using TOpenOptions = uint32_t;
constexpr TOpenOptions ofReadOnly = 1u << 0, ofOverwritePrompt = 1u << 1, ofHideReadOnly = 1u << 2,
                       ofNoChangeDir = 1u << 3, ofShowHelp = 1u << 4, ofNoValidate = 1u << 5,
                       ofAllowMultiSelect = 1u << 6, ofExtensionDifferent = 1u << 7,
                       ofPathMustExist = 1u << 8, ofFileMustExist = 1u << 9,
                       ofCreatePrompt = 1u << 10, ofShareAware = 1u << 11,
                       ofNoReadOnlyReturn = 1u << 12, ofNoTestFileCreate = 1u << 13,
                       ofNoNetworkButton = 1u << 14, ofNoLongNames = 1u << 15,
                       ofOldStyleDialog = 1u << 16, ofNoDereferenceLinks = 1u << 17,
                       ofEnableIncludeNotify = 1u << 18, ofEnableSizing = 1u << 19,
                       ofDontAddToRecent = 1u << 20, ofForceShowHidden = 1u << 21;

// "Text|mask|Text|mask" as the system wants it: pairs separated by NULs,
// ended by two. A text without its mask at the end is left out.
std::wstring MakeFilterList(const std::string& filter);

class TCommonDialog : public TComponent {
 public:
  explicit TCommonDialog(TComponent* owner) : TComponent(owner) {}
  TNotifyEvent OnShow;
  TNotifyEvent OnClose;
  // Shows the dialog modally; true when the user accepted it.
  virtual bool Execute() = 0;
  // The dialog window while it is shown.
  HWND Handle() const { return handle_; }
  // Told by the dialog's hook once the window exists.
  void SetShownHandle(HWND wnd) { handle_ = wnd; }

 protected:
  HWND handle_ = nullptr;
};

class TOpenDialog : public TCommonDialog {
 public:
  explicit TOpenDialog(TComponent* owner) : TCommonDialog(owner) {}

  const std::string& Filter() const { return filter_; }
  void SetFilter(const std::string& filter) { filter_ = filter; }
  // 1-based, as the system counts.
  int FilterIndex() const { return filterIndex_; }
  void SetFilterIndex(int index) { filterIndex_ = index; }
  const std::string& InitialDir() const { return initialDir_; }
  void SetInitialDir(const std::string& dir) { initialDir_ = dir; }
  const std::string& FileName() const { return fileName_; }
  void SetFileName(const std::string& name) { fileName_ = name; }
  // Added to a name typed without extension (no dot).
  const std::string& DefaultExt() const { return defaultExt_; }
  void SetDefaultExt(const std::string& ext) { defaultExt_ = ext; }
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& title) { title_ = title; }
  TOpenOptions Options() const { return options_; }
  void SetOptions(TOpenOptions options) { options_ = options; }
  // Every file chosen (one unless ofAllowMultiSelect), full paths.
  const std::vector<std::string>& Files() const { return files_; }

  bool Execute() override;

 protected:
  // Runs the system dialog on the filled structure.
  virtual bool DoExecute(void* openFileName);

 private:
  std::string filter_;
  int filterIndex_ = 1;
  std::string initialDir_;
  std::string fileName_;
  std::string defaultExt_;
  std::string title_;
  TOpenOptions options_ = ofHideReadOnly | ofEnableSizing;
  std::vector<std::string> files_;
};

class TSaveDialog : public TOpenDialog {
 public:
  using TOpenDialog::TOpenDialog;

 protected:
  bool DoExecute(void* openFileName) override;
};

}  // namespace kv
