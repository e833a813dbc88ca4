#include "classlib/Buttons.h"

#include <algorithm>
#include <cwctype>

#include "classlib/WideText.h"

namespace kv {

namespace {

TSize CaptionSize(TCanvas& canvas, const std::wstring& text) {
  if (text.empty()) return {0, 0};
  RECT r{0, 0, 0, 0};
  DrawTextW(canvas.Handle(), text.c_str(), static_cast<int>(text.size()), &r,
            DT_CALCRECT | DT_SINGLELINE);
  return {r.right - r.left, r.bottom - r.top};
}

}  // namespace

TButtonPlacement PlaceGlyphAndText(const TRect& client, TSize glyph, TSize text,
                                   TButtonLayout layout, int margin, int spacing) {
  const bool horizontal = layout == blGlyphLeft || layout == blGlyphRight;
  const int extent = horizontal ? client.Width() : client.Height();
  const int glyphLen = horizontal ? glyph.cx : glyph.cy;
  const int textLen = horizontal ? text.cx : text.cy;
  // Nothing to separate when one of the two is missing.
  if (glyphLen == 0 || textLen == 0) spacing = 0;
  if (margin < 0) {
    if (spacing < 0) {
      margin = spacing = (extent - glyphLen - textLen) / 3;
    } else {
      margin = (extent - glyphLen - textLen - spacing) / 2;
    }
  } else if (spacing < 0) {
    spacing = (extent - margin - glyphLen - textLen) / 2;
  }
  TButtonPlacement p;
  const int cx = client.Left + (client.Width() - glyph.cx) / 2;
  const int cy = client.Top + (client.Height() - glyph.cy) / 2;
  const int tx = client.Left + (client.Width() - text.cx) / 2;
  const int ty = client.Top + (client.Height() - text.cy) / 2;
  switch (layout) {
    case blGlyphLeft:
      p.GlyphPos = {client.Left + margin, cy};
      p.TextBounds = Bounds(p.GlyphPos.X + glyph.cx + spacing, ty, text.cx, text.cy);
      break;
    case blGlyphRight:
      p.GlyphPos = {client.Right - margin - glyph.cx, cy};
      p.TextBounds = Bounds(p.GlyphPos.X - spacing - text.cx, ty, text.cx, text.cy);
      break;
    case blGlyphTop:
      p.GlyphPos = {cx, client.Top + margin};
      p.TextBounds = Bounds(tx, p.GlyphPos.Y + glyph.cy + spacing, text.cx, text.cy);
      break;
    case blGlyphBottom:
      p.GlyphPos = {cx, client.Bottom - margin - glyph.cy};
      p.TextBounds = Bounds(tx, p.GlyphPos.Y - spacing - text.cy, text.cx, text.cy);
      break;
  }
  return p;
}

// --- glyph -------------------------------------------------------------------------

void TButtonGlyph::SetGlyph(const TBitmap& bitmap) {
  glyph_.Assign(bitmap);
  // A strip of square images tells how many it holds.
  if (glyph_.Height() > 0 && glyph_.Width() % glyph_.Height() == 0) {
    const int n = glyph_.Width() / glyph_.Height();
    if (n >= 1 && n <= 4) numGlyphs_ = n;
  }
}

TSize TButtonGlyph::Size() const {
  if (images_ != nullptr && imageIndex_ >= 0 && imageIndex_ < images_->Count())
    return {images_->Width(), images_->Height()};
  if (glyph_.Empty()) return {0, 0};
  return {glyph_.Width() / numGlyphs_, glyph_.Height()};
}

void TButtonGlyph::Draw(TCanvas& canvas, TPoint at, TButtonState state) const {
  if (images_ != nullptr && imageIndex_ >= 0 && imageIndex_ < images_->Count()) {
    images_->Draw(&canvas, at.X, at.Y, imageIndex_, state != bsDisabled);
    return;
  }
  if (glyph_.Empty() || glyph_.Handle() == nullptr) return;
  // A disabled button without a picture of its own shows the first one grey.
  const bool grey = state == bsDisabled && numGlyphs_ < 2;
  int index = static_cast<int>(state);
  if (index >= numGlyphs_) index = 0;
  const int w = glyph_.Width() / numGlyphs_;
  const int h = glyph_.Height();
  const int bpp = glyph_.BytesPerPixel();
  HDC dc = canvas.Handle();
  HDC mem = CreateCompatibleDC(dc);
  if (bpp != 3 && bpp != 4) {
    {
      const TSelectedObject bitmap(mem, reinterpret_cast<HBITMAP>(glyph_.Handle()));
      const COLORREF transparent = GetPixel(mem, 0, h - 1);
      TransparentBlt(dc, at.X, at.Y, w, h, mem, index * w, 0, w, h, transparent);
    }
    DeleteDC(mem);
    return;
  }
  // Everything goes through AlphaBlend, which wants premultiplied colours:
  // a 32-bit glyph brings its alpha, a 24-bit one leaves out the colour of
  // its bottom-left pixel.
  const uint8_t* key = glyph_.ScanLine(h - 1);
  TBitmap pre(w, h, pf32bit);
  for (int y = 0; y < h; ++y) {
    const uint8_t* src = glyph_.ScanLine(y) + static_cast<ptrdiff_t>(index) * w * bpp;
    uint8_t* d = pre.ScanLine(y);
    for (int x = 0; x < w; ++x, src += bpp, d += 4) {
      unsigned b = src[0], g = src[1], r = src[2];
      unsigned a = 255;
      if (bpp == 4) {
        a = src[3];
      } else if (b == key[0] && g == key[1] && r == key[2]) {
        a = 0;
      }
      if (grey) b = g = r = 128 + ((r * 77 + g * 150 + b * 29) >> 9);
      d[0] = static_cast<uint8_t>(b * a / 255);
      d[1] = static_cast<uint8_t>(g * a / 255);
      d[2] = static_cast<uint8_t>(r * a / 255);
      d[3] = static_cast<uint8_t>(a);
    }
  }
  {
    const TSelectedObject bitmap(mem, reinterpret_cast<HBITMAP>(pre.Handle()));
    BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(dc, at.X, at.Y, w, h, mem, 0, 0, w, h, bf);
  }
  DeleteDC(mem);
}

void TButtonGlyph::DrawButton(TCanvas& canvas, const TRect& client, const std::string& caption,
                              TButtonLayout layout, int margin, int spacing, TButtonState state,
                              bool enabled) const {
  const std::wstring text = Wide(caption);
  HDC dc = canvas.Handle();
  // The caption is measured and drawn with the canvas's font, whatever the
  // context held before.
  const TSelectedObject font(dc, canvas.Font()->Handle());
  const TSize textSize = CaptionSize(canvas, text);
  const TButtonPlacement p = PlaceGlyphAndText(client, Size(), textSize, layout, margin, spacing);
  Draw(canvas, p.GlyphPos, enabled ? state : bsDisabled);
  if (text.empty()) return;
  RECT tr{p.TextBounds.Left, p.TextBounds.Top, p.TextBounds.Right, p.TextBounds.Bottom};
  SetBkMode(dc, TRANSPARENT);
  if (!enabled) {
    OffsetRect(&tr, 1, 1);
    SetTextColor(dc, ColorToRGB(clBtnHighlight));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &tr, DT_SINGLELINE | DT_CENTER);
    OffsetRect(&tr, -1, -1);
    SetTextColor(dc, ColorToRGB(clBtnShadow));
  } else {
    SetTextColor(dc, ColorToRGB(canvas.Font()->Color()));
  }
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &tr, DT_SINGLELINE | DT_CENTER);
}

// --- bit button --------------------------------------------------------------------

TBitBtn::TBitBtn(TComponent* owner) : TButton(owner), canvas_(std::make_unique<TCanvas>()) {}

void TBitBtn::CreateParams(TCreateParams& p) {
  TButton::CreateParams(p);
  p.Style = (p.Style & ~static_cast<DWORD>(BS_TYPEMASK)) | BS_OWNERDRAW;
}

void TBitBtn::SetButtonStyle(bool isDefault) {
  // An owner-drawn button must keep its style: we only paint the default frame.
  if (isDefault == isFocused_) return;
  isFocused_ = isDefault;
  Invalidate();
}

void TBitBtn::SetGlyph(const TBitmap& bitmap) {
  glyph_.SetGlyph(bitmap);
  Invalidate();
}

void TBitBtn::SetNumGlyphs(int value) {
  glyph_.SetNumGlyphs(value);
  Invalidate();
}

void TBitBtn::SetImages(TCustomImageList* images) {
  if (glyph_.Images() != nullptr) glyph_.Images()->RemoveFreeNotification(this);
  glyph_.SetImages(images);
  if (images != nullptr) images->FreeNotification(this);
  Invalidate();
}

void TBitBtn::SetImageIndex(int index) {
  glyph_.SetImageIndex(index);
  Invalidate();
}

void TBitBtn::SetLayout(TButtonLayout value) {
  layout_ = value;
  Invalidate();
}

void TBitBtn::SetMargin(int value) {
  margin_ = std::max(-1, value);
  Invalidate();
}

void TBitBtn::SetSpacing(int value) {
  spacing_ = value;
  Invalidate();
}

void TBitBtn::Notification(TComponent* component, TOperation operation) {
  TButton::Notification(component, operation);
  if (operation == opRemove && component == glyph_.Images()) glyph_.SetImages(nullptr);
}

void TBitBtn::DrawItem(const DRAWITEMSTRUCT& item) {
  TCanvas& c = *canvas_;
  HDC dc = item.hDC;
  RECT rc = item.rcItem;
  const bool pushed = (item.itemState & ODS_SELECTED) != 0;
  const bool isDefault = Active() || isFocused_ || (item.itemState & ODS_FOCUS);
  if (isDefault) {
    FrameRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    InflateRect(&rc, -1, -1);
  }
  DrawFrameControl(dc, &rc, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
  InflateRect(&rc, -2, -2);
  TRect client = Rect(rc.left, rc.top, rc.right, rc.bottom);
  if (pushed) OffsetRect(client, 1, 1);
  c.Font()->Assign(*Font());
  glyph_.DrawButton(c, client, Caption(), layout_, margin_, spacing_, pushed ? bsDown : bsUp,
                    Enabled());
  if (item.itemState & ODS_FOCUS) {
    RECT focus = rc;
    InflateRect(&focus, -1, -1);
    DrawFocusRect(dc, &focus);
  }
}

void TBitBtn::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CN_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam);
      const TCanvasBinding binding(*canvas_, item->hDC);
      DrawItem(*item);
      m.Result = 1;
      return;
    }
    case WM_LBUTTONDBLCLK:
      // A quick second click presses the button again.
      m.Msg = WM_LBUTTONDOWN;
      TButton::Dispatch(m);
      return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case CM_ENABLEDCHANGED:
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED: {
      // The focus's OnEnter may free the button, and its window with it.
      HWND wnd = HandleAllocated() ? Handle() : nullptr;
      TButton::Dispatch(m);
      if (wnd != nullptr && FromHandle(wnd) != this) return;
      Invalidate();
      return;
    }
    default:
      TButton::Dispatch(m);
  }
}

// --- speed button ------------------------------------------------------------------

TSpeedButton::TSpeedButton(TComponent* owner) : TGraphicControl(owner) {
  SetControlStyle((ControlStyle() | csCaptureMouse | csDoubleClicks) & ~csClickEvents);
  SetBounds(0, 0, 23, 22);
}

void TSpeedButton::SetGroupIndex(int value) {
  if (value == groupIndex_) return;
  groupIndex_ = value;
  UpdateExclusive();
}

void TSpeedButton::SetAllowAllUp(bool value) {
  if (value == allowAllUp_) return;
  allowAllUp_ = value;
  UpdateExclusive();
}

void TSpeedButton::SetDown(bool value) {
  if (groupIndex_ == 0) value = false;
  if (value == down_) return;
  // In a group that must keep one button down, only pressing another lifts it.
  if (down_ && !allowAllUp_) return;
  down_ = value;
  state_ = value ? bsExclusive : bsUp;
  Invalidate();
  if (value) UpdateExclusive();
}

void TSpeedButton::UpdateExclusive() {
  if (groupIndex_ == 0 || Parent() == nullptr) return;
  TMessage m{CM_BUTTONPRESSED, static_cast<WPARAM>(groupIndex_), reinterpret_cast<LPARAM>(this), 0};
  Parent()->Broadcast(m);
}

void TSpeedButton::SetFlat(bool value) {
  flat_ = value;
  Invalidate();
}

void TSpeedButton::SetTransparent(bool value) {
  transparent_ = value;
  Invalidate();
}

void TSpeedButton::SetGlyph(const TBitmap& bitmap) {
  glyph_.SetGlyph(bitmap);
  Invalidate();
}

void TSpeedButton::SetNumGlyphs(int value) {
  glyph_.SetNumGlyphs(value);
  Invalidate();
}

void TSpeedButton::SetImages(TCustomImageList* images) {
  if (glyph_.Images() != nullptr) glyph_.Images()->RemoveFreeNotification(this);
  glyph_.SetImages(images);
  if (images != nullptr) images->FreeNotification(this);
  Invalidate();
}

void TSpeedButton::SetImageIndex(int index) {
  glyph_.SetImageIndex(index);
  Invalidate();
}

void TSpeedButton::SetLayout(TButtonLayout value) {
  layout_ = value;
  Invalidate();
}

void TSpeedButton::SetMargin(int value) {
  margin_ = std::max(-1, value);
  Invalidate();
}

void TSpeedButton::SetSpacing(int value) {
  spacing_ = value;
  Invalidate();
}

void TSpeedButton::Notification(TComponent* component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  if (operation == opRemove && component == glyph_.Images()) glyph_.SetImages(nullptr);
}

void TSpeedButton::Click() { TGraphicControl::Click(); }

// The events run first; their handlers may free the button.
void TSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  const TLifeToken life = LifeToken();
  TGraphicControl::MouseDown(button, shift, x, y);
  if (!life.Alive() || button != mbLeft || !Enabled()) return;
  if (!down_) {
    state_ = bsDown;
    Invalidate();
  }
  dragging_ = true;
}

void TSpeedButton::MouseMove(TShiftState shift, int x, int y) {
  const TLifeToken life = LifeToken();
  TGraphicControl::MouseMove(shift, x, y);
  if (!life.Alive() || !dragging_) return;
  const bool inside = x >= 0 && x < Width() && y >= 0 && y < Height();
  TButtonState next = down_ ? bsExclusive : bsUp;
  if (inside && !down_) next = bsDown;
  if (next != state_) {
    state_ = next;
    Invalidate();
  }
}

void TSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  const TLifeToken life = LifeToken();
  TGraphicControl::MouseUp(button, shift, x, y);
  if (!life.Alive() || !dragging_ || button != mbLeft) return;
  dragging_ = false;
  const bool inside = x >= 0 && x < Width() && y >= 0 && y < Height();
  if (groupIndex_ == 0) {
    state_ = bsUp;
    Invalidate();
  } else if (inside) {
    SetDown(!down_);
    state_ = down_ ? bsExclusive : bsUp;
    Invalidate();
  } else {
    state_ = down_ ? bsExclusive : bsUp;
    Invalidate();
  }
  if (inside) Click();
}

void TSpeedButton::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CM_BUTTONPRESSED: {
      auto* sender = reinterpret_cast<TSpeedButton*>(m.LParam);
      if (static_cast<int>(m.WParam) != groupIndex_ || sender == this || sender == nullptr) return;
      if (sender->down_ && down_) {
        down_ = false;
        state_ = bsUp;
        Invalidate();
      }
      allowAllUp_ = sender->allowAllUp_;
      return;
    }
    case CM_MOUSEENTER:
      if (m.LParam == 0 && !mouseInControl_ && Enabled()) {
        mouseInControl_ = true;
        if (flat_) Invalidate();
      }
      return;
    case CM_MOUSELEAVE:
      if (m.LParam == 0 && mouseInControl_) {
        mouseInControl_ = false;
        if (flat_) Invalidate();
      }
      return;
    case CM_ENABLEDCHANGED:
      state_ = !Enabled() ? bsDisabled : (down_ ? bsExclusive : bsUp);
      Invalidate();
      return;
    case CM_DIALOGCHAR:
      if (IsAccel(m.WParam, Caption()) && Enabled() && Visible() && Parent() != nullptr &&
          Parent()->Showing()) {
        Click();
        m.Result = 1;
      }
      return;
    default:
      TGraphicControl::Dispatch(m);
  }
}

void TSpeedButton::Paint() {
  TCanvas& c = *Canvas();
  HDC dc = c.Handle();
  RECT rc{0, 0, Width(), Height()};
  const bool pressed = state_ == bsDown || state_ == bsExclusive;
  if (!flat_) {
    DrawFrameControl(dc, &rc, DFC_BUTTON,
                     DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (pressed ? DFCS_PUSHED : 0));
  } else {
    if (!transparent_ || pressed) {
      c.Brush()->SetStyle(bsSolid);
      c.Brush()->SetColor(Color());
      c.FillRect(Rect(rc.left, rc.top, rc.right, rc.bottom));
    }
    // A flat button shows its edge only while hot or pressed.
    if (pressed) {
      DrawEdge(dc, &rc, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    } else if (mouseInControl_ && Enabled()) {
      DrawEdge(dc, &rc, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
    }
  }
  TRect client = Rect(rc.left, rc.top, rc.right, rc.bottom);
  if (pressed) OffsetRect(client, 1, 1);
  c.Font()->Assign(*Font());
  glyph_.DrawButton(c, client, Caption(), layout_, margin_, spacing_, state_, Enabled());
}

}  // namespace kv
