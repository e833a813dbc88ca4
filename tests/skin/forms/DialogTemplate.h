// Dialogs made from an in-memory template, with a dialog procedure that
// records the system commands and non-client presses it is given and keeps
// them from the system's default handling (which would start modal move,
// size or help loops, or close the dialog under the test).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kvtest {

struct TDialogItem {
  const wchar_t* ClassName;  // "Button", "Static", "Edit"
  DWORD Style;
  short X, Y, W, H;  // dialog units
  WORD Id;
  DWORD ExStyle = 0;
};

// What the dialog procedure saw.
struct TDialogLog {
  std::vector<WPARAM> SysCommands;
  std::vector<WPARAM> NcLButtonDowns;  // the hit code each press arrived with
  int NcRButtonDowns = 0;
  int Paints = 0;  // WM_PAINT reached the dialog's own handling
};

class TTestDialog {
 public:
  TTestDialog(DWORD style, DWORD exStyle, const std::wstring& caption,
              const std::vector<TDialogItem>& items = {}, HWND owner = nullptr) {
    Build(style, exStyle, caption, items);
    handle_ = CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                                         reinterpret_cast<LPCDLGTEMPLATEW>(words_.data()), owner,
                                         &Proc, reinterpret_cast<LPARAM>(&Log));
  }
  ~TTestDialog() {
    if (IsWindow(handle_)) DestroyWindow(handle_);
  }
  TTestDialog(const TTestDialog&) = delete;
  TTestDialog& operator=(const TTestDialog&) = delete;

  HWND Handle() const { return handle_; }
  TDialogLog Log;

 private:
  static INT_PTR CALLBACK Proc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
      SetWindowLongPtrW(wnd, DWLP_USER, lParam);
      return TRUE;
    }
    auto* log = reinterpret_cast<TDialogLog*>(GetWindowLongPtrW(wnd, DWLP_USER));
    if (log == nullptr) return FALSE;
    switch (msg) {
      case WM_SYSCOMMAND:
        log->SysCommands.push_back(wParam & 0xFFF0);
        return TRUE;
      case WM_NCLBUTTONDOWN:
        log->NcLButtonDowns.push_back(wParam);
        return TRUE;
      case WM_NCRBUTTONDOWN:
        ++log->NcRButtonDowns;
        return TRUE;
      case WM_PAINT:
        ++log->Paints;
        return FALSE;
      default:
        return FALSE;
    }
  }
  void Word(WORD w) { words_.push_back(w); }
  void Dword(DWORD d) {
    Word(LOWORD(d));
    Word(HIWORD(d));
  }
  void Text(const std::wstring& s) {
    for (wchar_t c : s) Word(static_cast<WORD>(c));
    Word(0);
  }
  void Align() {
    if (words_.size() % 2 != 0) Word(0);
  }
  void Build(DWORD style, DWORD exStyle, const std::wstring& caption,
             const std::vector<TDialogItem>& items) {
    Dword(style);
    Dword(exStyle);
    Word(static_cast<WORD>(items.size()));
    for (short v : {short{10}, short{10}, short{180}, short{100}}) Word(static_cast<WORD>(v));
    Word(0);  // no menu
    Word(0);  // the dialog class
    Text(caption);
    for (const TDialogItem& item : items) {
      Align();
      Dword(item.Style | WS_CHILD | WS_VISIBLE);
      Dword(item.ExStyle);
      for (short v : {item.X, item.Y, item.W, item.H}) Word(static_cast<WORD>(v));
      Word(item.Id);
      Text(item.ClassName);
      Text(std::wstring());
      Word(0);  // no creation data
    }
  }

  std::vector<WORD> words_;
  HWND handle_ = nullptr;
};

}  // namespace kvtest
