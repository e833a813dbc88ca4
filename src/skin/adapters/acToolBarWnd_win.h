// Adapters of bar-like windows: a standard tool bar (its buttons,
// separators and drop-down arrows drawn from the skin), the class
// library's tool bar (which only hides its frame and answers background
// requests), and a status bar (panels, dividers, texts cut with an
// ellipsis). The speed-button handler skins a windowless speed button by
// hooking its WindowProc.
#pragma once

#include <windows.h>

#include <memory>
#include <string_view>

#include "skin/adapters/acMainWnd_win.h"

namespace kv {

class TFont;
class TSpeedButton;
class TStatusBar;

class TacToolBarWnd : public TacMainWnd {
 public:
  using TacMainWnd::TacMainWnd;
  void WndProc(TMessage& message) override;

  TRect ClientRect{};
  // Half the difference between window and client height: the frame.
  int BorderOffset = 0;

 protected:
  bool ReadsCaption() const override { return false; }

 private:
  bool Suspended();
  void Prepare();
  void Paint(HDC given);
  void PaintFrame();
  void PaintButton(TBitmap& bitmap, int index);
};

// The class library has no tool bar of its own, so this one only keeps
// the frame hidden and answers background requests from the cache.
class TacToolBarVCLWnd : public TacMainWnd {
 public:
  using TacMainWnd::TacMainWnd;
  void WndProc(TMessage& message) override;

  int HotIndex = -1;
};

class TacStatusBarWnd : public TacMainWnd {
 public:
  // The section is the given one, else "STATUSBAR".
  TacStatusBarWnd(TsCommonData* skinData, TsSkinManager* manager, std::string_view skinSection);
  void WndProc(TMessage& message) override;

  // The owner control when it is a class-library status bar.
  TStatusBar* StatusBar = nullptr;

 protected:
  bool ReadsCaption() const override { return false; }

 private:
  void Paint(HDC given);
  void PaintPanels(TBitmap& cache);
  void PaintPanel(TBitmap& cache, TCanvas& canvas, const TRect& drawn, const std::string& text,
                  UINT alignFlags, bool last, bool simple);
  void PaintFrame();
};

// Skins a speed button, which has no window: it sits in the button's
// WindowProc chain from Create until it is freed, paints the button from
// the skin on WM_PAINT and keeps its hover state.
class TacSpeedButtonHandler {
 public:
  // The manager given, else the skin data's; the section given when the
  // skin data names none.
  TacSpeedButtonHandler(TSpeedButton* button, bool repaint, std::string_view skinSection,
                        TsSkinManager* manager, TsCommonData* skinData);
  virtual ~TacSpeedButtonHandler();
  TacSpeedButtonHandler(const TacSpeedButtonHandler&) = delete;
  TacSpeedButtonHandler& operator=(const TacSpeedButtonHandler&) = delete;

  virtual void WndProc(TMessage& message);
  // Still in the button's chain: false once the button has gone, which
  // takes every hook off as it goes.
  bool Hooked() const { return hook_.Installed(); }

  TSpeedButton* Button = nullptr;
  TManagerRef SkinManager;
  // The creator's; without one the handler makes its own.
  TsCommonData* SkinData = nullptr;
  bool Destroyed = false;

 private:
  void PrepareCache();
  void Paint(HDC dc);
  void Invalidate();
  bool Command(TMessage& message);
  std::unique_ptr<TsCommonData> ownSkinData_;
  TWindowProcHook hook_;
};

// The factory the control adapter's graphic items call.
std::unique_ptr<TacSpeedButtonHandler> CreateSpeedButtonHandler(TSpeedButton* button,
                                                                std::string_view section,
                                                                TsSkinManager* manager,
                                                                TsCommonData* skinData);

// The factories the control adapter's table calls.
TacMainWnd* CreateToolBarAdapter(HWND handle, TsCommonData* skinData, TsSkinManager* manager,
                                 std::string_view section, bool repaint);
TacMainWnd* CreateToolBarVCLAdapter(HWND handle, TsCommonData* skinData, TsSkinManager* manager,
                                    std::string_view section, bool repaint);
TacMainWnd* CreateStatusBarAdapter(HWND handle, TsCommonData* skinData, TsSkinManager* manager,
                                   std::string_view section, bool repaint);

}  // namespace kv
