// Adapters for containers: class-library panels, transparent panels, group
// boxes and size grips. They paint their background and frame from the
// skin and leave their children to paint themselves.
#pragma once

#include <windows.h>

#include <string_view>

#include "skin/adapters/acButtonWnd_win.h"

namespace kv {

// The section follows the panel's bevels unless one is given.
class TacPanelWnd : public TacStaticWnd {
 public:
  TacPanelWnd(TsCommonData* skinData, TsSkinManager* manager, std::string_view skinSection);
  void WndProc(TMessage& message) override;

 protected:
  void PaintContent(HDC dc, const RECT& client) override;
  bool PaintsWindow() const override { return true; }
};

// Shows the parent's background and the section over it, caption-less.
class TacTransPanelWnd : public TacStaticWnd {
 public:
  using TacStaticWnd::TacStaticWnd;

 protected:
  void PaintContent(HDC, const RECT&) override {}
  bool PaintsWindow() const override { return true; }
};

class TacGroupBoxWnd : public TacStaticWnd {
 public:
  TacGroupBoxWnd(TsCommonData* skinData, TsSkinManager* manager, std::string_view skinSection);
  void WndProc(TMessage& message) override;
  // The caption band's height: where the frame's top half starts.
  int CaptionHeight() const;

 protected:
  void PaintBackground() override;
  void PaintContent(HDC dc, const RECT& client) override;
  bool PaintsWindow() const override { return true; }
};

// A size grip: the skin's grip image in the corner; anywhere on it sizes.
class TacSizerWnd : public TacStaticWnd {
 public:
  using TacStaticWnd::TacStaticWnd;
  void WndProc(TMessage& message) override;

 protected:
  void PaintContent(HDC dc, const RECT& client) override;
  bool PaintsWindow() const override { return true; }
};

}  // namespace kv
