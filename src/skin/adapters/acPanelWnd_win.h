// Adapters for containers: class-library panels, transparent panels, group
// boxes and size grips. They paint their background and frame from the
// skin and leave their children to paint themselves.
#pragma once

#include <windows.h>

#include <string_view>

#include "skin/adapters/acButtonWnd_win.h"

namespace kv {

// The section follows the panel's bevels unless one is given. The frame
// outside the client area (a single border) shows the cache's strips.
class TacPanelWnd : public TacStaticWnd {
 public:
  TacPanelWnd(TsCommonData* skinData, TsSkinManager* manager, std::string_view skinSection);
  void WndProc(TMessage& message) override;

 protected:
  // The caption centred inside the border and the bevels.
  void PaintContent(TCanvas& canvas, const RECT& client) override;
  bool PaintsWindow() const override { return true; }
  int TextTypeCode() const override { return 0; }
  // The section in its normal state, disabled or not: the children take
  // their background from it.
  void PaintBackground() override { PaintSectionOverParent(0); }
  // Nothing either while the panel is being destroyed or its parent made.
  bool MayPaint() override;
  bool LeavesChildWindows() const override { return true; }
};

// A panel inside a system dialog: the skinned frame and background, with
// the dialog's own drawing of the panel kept 6 pixels inside. A class-library
// panel found for the window takes the skin's main colour, so that what it
// draws itself matches.
class TacDlgPanelWnd : public TacStaticWnd {
 public:
  // Panel may be null; the section is "CHECKBOX" for a plain TPanel, else
  // "GROUPBOX".
  TacDlgPanelWnd(TsCommonData* skinData, TsSkinManager* manager, TWinControl* panel);
  void ApplySkinState() override;
  void WndProc(TMessage& message) override;

  TWinControl* Panel = nullptr;

 protected:
  void PaintContent(TCanvas&, const RECT&) override {}
  bool PaintsWindow() const override { return true; }

 private:
  void SetPanelColor(TColor color);
  void PaintClient(HDC dc);
};

// The dialog panel adapter on wnd, its panel searched among the
// application's components; section is not used (the panel decides).
TacMainWnd* CreateDlgPanelAdapter(HWND wnd, TsCommonData* skinData, TsSkinManager* manager,
                                  std::string_view section, bool repaint);

// Shows the parent's background and the section over it, caption-less.
class TacTransPanelWnd : public TacStaticWnd {
 public:
  using TacStaticWnd::TacStaticWnd;

 protected:
  void PaintContent(TCanvas&, const RECT&) override {}
  bool PaintsWindow() const override { return true; }
  bool LeavesChildWindows() const override { return true; }
};

class TacGroupBoxWnd : public TacStaticWnd {
 public:
  TacGroupBoxWnd(TsCommonData* skinData, TsSkinManager* manager, std::string_view skinSection);
  void WndProc(TMessage& message) override;
  // The caption band's height: where the frame's top half starts.
  int CaptionHeight() const;

 protected:
  // In a dialog only the frame is painted: the controls inside are the
  // box's siblings and would be painted over.
  void PaintFrameOnly();
  void PaintBackground() override;
  void PaintContent(TCanvas& canvas, const RECT& client) override;
  bool PaintsWindow() const override { return true; }
  int TextTypeCode() const override { return 74; }
  bool LeavesChildWindows() const override { return true; }
};

// A size grip: the skin's grip image in the corner; anywhere on it sizes.
class TacSizerWnd : public TacStaticWnd {
 public:
  using TacStaticWnd::TacStaticWnd;
  void WndProc(TMessage& message) override;

 protected:
  // The grip lies on its parent's background alone, no section under it.
  void PaintBackground() override;
  void PaintContent(TCanvas& canvas, const RECT& client) override;
  bool PaintsWindow() const override { return true; }
};

}  // namespace kv
