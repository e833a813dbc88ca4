// Adapters for the system's button and static windows: push buttons, bit
// buttons, check boxes and radio buttons, and text statics. Each paints
// its window from its skin section (the cache over the parent's
// background), its state and its text in the section's font colour; the
// system's own drawing of the control never reaches the screen, its border
// included.
#pragma once

#include <windows.h>

#include <functional>
#include <string_view>

#include "skin/adapters/acMainWnd_win.h"

namespace kv {

class TBitBtn;
struct TsBgCacheInfo;

class TacStaticWnd : public TacMainWnd {
 public:
  // Section "CHECKBOX" (the transparent one) unless given.
  TacStaticWnd(TsCommonData* skinData, TsSkinManager* manager, std::string_view skinSection);
  void WndProc(TMessage& message) override;

 protected:
  TacStaticWnd(TsCommonData* skinData, TsSkinManager* manager, std::string_view skinSection,
               std::string_view defaultSection);
  // The skin state the background is painted in (0 normal, 1 hot, 2 down).
  virtual int PaintState() const { return 0; }
  // The cache, sized to the window, with the section over the parent's
  // background.
  virtual void PaintBackground();
  // The cache, sized to the window, with the section item of state over
  // the parent's background; no disabled look.
  void PaintSectionOverParent(int state);
  // What goes over the background: the text by default.
  virtual void PaintContent(TCanvas& canvas, const RECT& client);
  // The owner control's font, else the window's, into the canvas.
  void SelectCaptionFont(TCanvas& canvas) const;
  // The caption in the skin's text colours (contours, the disabled mix) in
  // the canvas's font.
  void DrawCaptionText(TCanvas& canvas, const RECT& r, UINT flags) const;
  // The control-type code the caption is written as: see-through texts
  // take their parent's font colours (see AdapterTextSource).
  virtual int TextTypeCode() const { return 32; }
  // The whole cache image: background, then content.
  virtual void BuildCache(const RECT& client);
  // A disabled window's cache blended with its parent's background.
  void BlendWhenDisabled(const TsBgCacheInfo& background, POINT posInParent);
  // After these messages the system may have drawn on the window itself.
  virtual bool RepaintsAfter(UINT msg) const;
  bool MakesOwnerOpaque() const override { return false; }
  // Exempt windows are left to the system entirely.
  virtual bool PaintsWindow() const;
  // Whether a paint may draw now: the skin data's suspension asked again
  // (a frozen form holds its children's painting until it has painted).
  virtual bool MayPaint();
  // The cache's client part to dc, then the windowless children; nothing
  // while painting may not draw.
  void PaintTo(HDC dc);
  // Containers leave their child windows' places alone: a window without
  // WS_CLIPCHILDREN would otherwise paint over them.
  virtual bool LeavesChildWindows() const { return false; }
  // A message on which the previous handler would draw the window itself:
  // handled with redrawing off (directly by the previous handler, or by the
  // adapter's own procedure), then the skinned look repainted.
  void HandleWithoutRedraw(TMessage& message, bool direct);
  // The cache's strips outside the client area to the window's dc; the
  // cache is made first when it is out of date.
  void PaintFrameTo(HDC windowDC);
  // The whole window into dc (a WM_PRINT's): the client part by paintClient
  // at its place, then the frame.
  void PrintWindowTo(HDC dc, const std::function<void(HDC)>& paintClient);
  void PaintGraphicChildren(HDC dc);
};

// Icon and bitmap statics: the picture over the skinned background. The
// static's bitmap is copied, never taken over: the static still owns it.
class TacIconWnd : public TacStaticWnd {
 public:
  TacIconWnd(TsCommonData* skinData, TsSkinManager* manager, std::string_view skinSection);
  ~TacIconWnd() override;
  bool IsBitmap() const;

 protected:
  void PaintContent(TCanvas& canvas, const RECT& client) override;

 private:
  HBITMAP image_ = nullptr;
  // The static's bitmap image_ was copied from: a new one is copied again.
  HBITMAP source_ = nullptr;
};

// "SysLink" windows: the text without its anchor tags, underlined, in the
// system's message font.
class TacLinkWnd : public TacStaticWnd {
 public:
  using TacStaticWnd::TacStaticWnd;

 protected:
  void PaintContent(TCanvas& canvas, const RECT& client) override;
  bool PaintsWindow() const override;
};

// Push buttons. A paint runs the drawing operations below; a bit button
// replaces those that place and draw its glyph.
class TacBtnWnd : public TacStaticWnd {
 public:
  TacBtnWnd(TsCommonData* skinData, TsSkinManager* manager, std::string_view skinSection);
  // The pointer over the button makes it the manager's hot window; the
  // button shows its glow and repaints when it gains or loses that.
  void WndProc(TMessage& message) override;

 protected:
  TacBtnWnd(TsCommonData* skinData, TsSkinManager* manager, std::string_view skinSection,
            std::string_view defaultSection);
  // 0 normal, 1 hot (focused, under the pointer or default), 2 pushed.
  int PaintState() const override;
  void BuildCache(const RECT& client) override;
  bool RepaintsAfter(UINT msg) const override;
  bool PaintsWindow() const override { return true; }
  int TextTypeCode() const override { return 0; }
  // State messages on which the system would draw the button itself are
  // handled with redrawing off and followed by the skinned paint; false for
  // any other message.
  bool HandleQuietly(TMessage& message);

  // The caption font into the canvas, the caption (DrawCaptionText) into
  // GetCaptionRect, and the focus frame when the section shows focus.
  virtual void DrawCaption(TCanvas& canvas);
  // Nothing for a plain button.
  virtual void DrawGlyph(HDC dc);
  // 0 x 0 for a plain button.
  virtual SIZE GetGlyphSize() const;
  // The caption centred, one pixel down and right while pushed.
  virtual RECT GetCaptionRect(HDC dc);
  // The width the caption may take; 0 without a caption.
  virtual int GetMaxTextWidth() const;
  // The caption's size in dc's font, wrapped at GetMaxTextWidth.
  virtual SIZE GetTextSize(HDC dc);
  // Background of the state over the parent's, caption, glyph, and the
  // disabled blending: the whole cache.
  virtual void PaintButton();

  bool Multiline() const;
  // The skin's hover and focus halo: buttons show it, check boxes do not.
  virtual bool Glows() const { return true; }
  int Width() const;
  int Height() const;
};

// A push button with a glyph: a class-library bit button's glyph frame
// for the state, placed by its layout; a dialog button's bitmap of
// BM_GETIMAGE left of its caption.
class TacBitBtnWnd : public TacBtnWnd {
 public:
  using TacBtnWnd::TacBtnWnd;

 protected:
  void DrawGlyph(HDC dc) override;
  SIZE GetGlyphSize() const override;
  RECT GetCaptionRect(HDC dc) override;
  int GetMaxTextWidth() const override;

 private:
  TBitBtn* OwnerButton() const;
};

// Check boxes and radio buttons: the section's background under the whole
// window, the check glyph of GLOBALINFO's box or radio masks by the check
// state, the text right of it.
class TacCheckBoxWnd : public TacBtnWnd {
 public:
  TacCheckBoxWnd(TsCommonData* skinData, TsSkinManager* manager, std::string_view skinSection);

 protected:
  // Focused or under the pointer: the background's hot state.
  int PaintState() const override;
  void BuildCache(const RECT& client) override;
  int TextTypeCode() const override { return 32; }
  bool Glows() const override { return false; }

 private:
  bool IsRadio() const;
  // The mask for the window's check state; -1 when the skin has none.
  int GlyphMaskIndex() const;
  // Text and focus frame beside the check area.
  void DrawCheckText(TCanvas& canvas, SIZE glyph, bool glyphAtLeft);
};

}  // namespace kv
