#include "skin/controls/sComboBox_win.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "classlib/WideText.h"
#include "skin/controls/sEdit_win.h"
#include "skin/controls/sLabel_win.h"
#include "skin/core/acUtils.h"
#include "skin/core/sSectionPaint_win.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/core/sTextUtils_win.h"
#include "skin/core/sVclUtils_win.h"
#include "skin/graphics/acGlow.h"
#include "skin/graphics/sGraphUtils.h"
#include "skin/graphics/sMaskPaint.h"
#include "skin/graphics/sSectionPaint.h"

namespace kv {

namespace {

constexpr int ControlTypeCombo = 3;
// The frame the skin paints around the edit part and the button.
constexpr int ComboFrameWidth = 3;
// A glyph height for a skin without the arrow.
constexpr int DefaultGlyphHeight = 16;

// Keys a read-only box ignores: space, paging and arrows, letters, and F4,
// which would open the list.
// The arrow is the combo box section's whatever section the box is given:
// a box in the edits' look still shows it can drop down.
int ArrowMaskIndex(const TsSkinModel& skin) {
  return skin.MaskIndexOf(skin.SectionIndexOf("COMBOBOX"), "COMBOBOX", "GLYPHMASK");
}

bool ReadOnlyKey(WPARAM key) {
  return (key >= 0x20 && key <= 0x28) || key == 0x39 || (key >= 0x41 && key <= 0x5A) ||
         key == VK_F4;
}

UINT AlignmentFlags(TAlignment alignment) {
  switch (alignment) {
    case taRightJustify:
      return DT_RIGHT;
    case taCenter:
      return DT_CENTER;
    default:
      return DT_LEFT;
  }
}

}  // namespace

// --- the drop-down list ------------------------------------------------------------------

TacComboListWnd* AttachListScrollBars(HWND list, TsCommonData* comboData, bool simple,
                                      bool repaint) {
  // Its own skin data: the list's cache and colours are not the box's.
  auto* adapter = new TacComboListWnd(nullptr, comboData->SkinManager(), comboData->SkinSection());
  adapter->Simple = simple;
  adapter->Attach(list, repaint);
  return adapter;
}

// --- the combo box -------------------------------------------------------------------------

TsCustomComboBox::TsCustomComboBox(TComponent* owner)
    : TsSkinnedControl<TCustomComboBox>(owner, ControlTypeCombo, true, ccEditLike),
      boundLabel_(std::make_unique<TsBoundLabel>(SkinData())) {
  SetDropDownCount(16);
  SkinData()->SetSkinSection("COMBOBOX");
}

TsCustomComboBox::~TsCustomComboBox() {
  FreeListAdapter();
  boundLabel_.reset();
}

int TsCustomComboBox::IndexOfItem(const std::string& s) {
  for (int i = 0; i < Items()->Count(); ++i)
    if (Items()->Strings(i) == s) return i;
  return -1;
}

#define KV_SKIN_SETTER(Name, field, Type)        \
  void TsCustomComboBox::Set##Name(Type value) { \
    if (field == value) return;                  \
    field = value;                               \
    InvalidateControlSkin(SkinData());           \
  }
KV_SKIN_SETTER(Alignment, alignment_, TAlignment)
KV_SKIN_SETTER(DisabledKind, disabledKind_, TsDisabledKind)
KV_SKIN_SETTER(ShowButton, showButton_, bool)
#undef KV_SKIN_SETTER

bool TsCustomComboBox::IsOwnerDrawn() const {
  return (Style() == csOwnerDrawFixed || Style() == csOwnerDrawVariable) && OnDrawItem != nullptr;
}

TRect TsCustomComboBox::ButtonRect() {
  const int width = Style() != csSimple && showButton_ ? GetSystemMetrics(SM_CXVSCROLL) : 0;
  // Right-to-left reading puts the button at the left edge.
  const int left = UseRightToLeftReading() ? 2 : Width() - width - ComboFrameWidth;
  return {left, 2, left + width, Height() - 2};
}

int TsCustomComboBox::ButtonGlyphHeight() {
  TsCommonData* sd = SkinData();
  TsSkinManager* manager = sd->SkinManager();
  if (manager == nullptr || !SkinAvailable(sd, false)) return DefaultGlyphHeight;
  const int index = ArrowMaskIndex(manager->Skin());
  if (!manager->Skin().IsMaskIndexValid(index)) return DefaultGlyphHeight;
  return manager->Skin().GetMaskStateSize(index).cy;
}

bool TsCustomComboBox::HasFocusOrList() {
  if (!HandleAllocated()) return SkinData()->Focused;
  HWND focus = GetFocus();
  if (focus == Handle() || (focus != nullptr && (focus == EditHandle() || focus == ListHandle())))
    return true;
  return SkinData()->Focused;
}

void TsCustomComboBox::Invalidate() {
  if (HandleAllocated() && GetFocus() == Handle()) SkinData()->Focused = true;
  TsSkinnedControl<TCustomComboBox>::Invalidate();
}

void TsCustomComboBox::FreeListAdapter() { FreeAdapter(listAdapter_); }

void TsCustomComboBox::CreateHandleDone() {
  TsSkinnedControl<TCustomComboBox>::CreateHandleDone();
  if (SkinAvailable(SkinData(), false)) ApplySectionColorsTo(SkinData(), false);
}

void TsCustomComboBox::DestroyWnd() {
  FreeListAdapter();
  TsSkinnedControl<TCustomComboBox>::DestroyWnd();
}

// --- painting --------------------------------------------------------------------------

UINT TsCustomComboBox::EditItemState() {
  UINT state = ODS_COMBOBOXEDIT;
  if (HasFocusOrList() && Enabled() && Style() == csDropDownList) state |= ODS_FOCUS | ODS_SELECTED;
  return state;
}

TRect TsCustomComboBox::TextRect() {
  if (UseRightToLeftReading())
    return {ButtonRect().Width() + 4, ComboFrameWidth, Width() - 2, Height() - ComboFrameWidth};
  return {ComboFrameWidth, ComboFrameWidth, ButtonRect().Left - 1, Height() - ComboFrameWidth};
}

void TsCustomComboBox::DrawEditText(int index, const TRect& rect, UINT state) {
  // What the edit part shows: the typed text where one can type, else the
  // selected item's own text; nothing with no item selected.
  std::string text;
  if (Style() == csDropDown || Style() == csSimple) {
    text = Text();
  } else if (index >= 0 && index < Items()->Count()) {
    text = Items()->Strings(index);
  }
  TBitmapCanvas canvas(*SkinData()->CacheBmp);
  canvas.Font()->Assign(*Font());
  HDC dc = canvas.Handle();
  TRect r = rect;
  if (Style() != csDropDown) ++r.Left;
  if (Style() == csDropDown) --r.Bottom;
  const bool focus = (state & ODS_FOCUS) != 0;
  if (focus) FillRectWithColor(dc, rect, clHighlight);
  if (!text.empty()) {
    const TSelectedObject font(dc, canvas.Font()->Handle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRGB(focus ? clHighlightText : Font()->Color()));
    DrawTextString(dc, text, r, AlignmentFlags(alignment_) | DT_SINGLELINE | DT_NOPREFIX);
  }
  if (focus) {
    const RECT fr{rect.Left, rect.Top, rect.Right, rect.Bottom};
    DrawFocusRect(dc, &fr);
  }
}

void TsCustomComboBox::PaintButton() {
  TsCommonData* sd = SkinData();
  TsSkinManager* manager = sd->SkinManager();
  TBitmap* cache = sd->CacheBmp.get();
  const TRect r = ButtonRect();
  if (manager == nullptr || r.Width() <= 0 || r.Height() <= 0) return;
  const TsSkinModel& skin = manager->Skin();
  const int state = DroppedFlag ? 2 : (ControlIsHot(sd) ? 1 : 0);
  const int button = skin.SectionIndexOf("COMBOBTN");
  if (skin.IsSectionIndexValid(button)) {
    TBitmap under = *cache;
    PaintSkinItem(button, "COMBOBTN", MakeBgCacheInfo(&under, 0, 0), true, state, r,
                  {r.Left, r.Top}, cache, &skin);
  }
  const int glyph = ArrowMaskIndex(skin);
  if (!skin.IsMaskIndexValid(glyph)) return;
  const TSize size = skin.GetMaskStateSize(glyph);
  const TPoint at{r.Left + (r.Width() - size.cx) / 2, (Height() - ButtonGlyphHeight()) / 2};
  DrawMaskState(cache, at, state, EmptyBgCacheInfo, skin.MaskData[static_cast<size_t>(glyph)],
                skin.MasterBitmap.get(), 1);
}

void TsCustomComboBox::PrepareCache() {
  TsCommonData* sd = SkinData();
  PrepareCacheBitmap(sd);
  TBitmap* cache = sd->CacheBmp.get();
  const int state = ControlIsHot(sd) ? 1 : 0;
  if (Style() == csSimple) {
    const int height = std::min(Height(), ItemHeight() + 8);
    cache->SetSize(Width(), std::max(height, 0));
    if (cache->Empty()) return;
    PaintSkinDataItemOnParent(sd, Parent(), true, state, {0, 0, Width(), height}, {Left(), Top()},
                              cache);
  } else {
    if (cache->Empty()) return;
    PaintSkinDataItemOnParent(sd, Parent(), true, state, {0, 0, Width(), Height()}, {Left(), Top()},
                              cache);
    if (showButton_) PaintButton();
    if (!IsOwnerDrawn()) DrawEditText(ItemIndex(), TextRect(), EditItemState());
  }
  if (!Enabled() && !IsOwnerDrawn()) {
    TsBgCacheInfo parentBg;
    GetParentBgInfo(sd, parentBg);
    ApplyDisabledKind(cache, disabledKind_, this, {Left(), Top()}, parentBg);
  }
  sd->BGChanged = false;
}

void TsCustomComboBox::PaintToDC(HDC dc) {
  TsCommonData* sd = SkinData();
  if (dc == nullptr || !HandleAllocated() || !IsWindowVisible(Handle())) return;
  sd->Updating = PaintingSuspended(sd);
  if (sd->Updating || (AnimationActive && dc != AnimationDC)) return;
  if (Parent() != nullptr) {
    sd->BGChanged = sd->BGChanged || sd->PaintSkipped || IsOwnerDrawn() ||
                    QueryControlCommand(Parent(), cmdGetPaintSkipped) != 0;
    const TRect client = Parent()->ClientRect();
    const TRect bounds = BoundsRect();
    sd->PaintSkipped = bounds.Left < client.Left || bounds.Top < client.Top ||
                       bounds.Right > client.Right || bounds.Bottom > client.Bottom;
  }
  if (sd->BGChanged) PrepareCache();
  RefreshCacheCorners(sd, 0);
  TBitmap* cache = sd->CacheBmp.get();
  if (cache == nullptr || cache->Empty()) return;
  if (IsOwnerDrawn()) {
    TBitmapCanvas canvas(*cache);
    {
      const TCanvasBinding binding(*Canvas(), canvas.Handle());
      Canvas()->Font()->Assign(*Font());
      UINT state = ODS_COMBOBOXEDIT;
      if (HasFocusOrList()) state |= ODS_FOCUS | ODS_SELECTED;
      const TRect r = UseRightToLeftReading()
                          ? TextRect()
                          : TRect{ComboFrameWidth, ComboFrameWidth, ButtonRect().Left,
                                  Height() - ComboFrameWidth};
      DrawItem(ItemIndex(), r, OwnerDrawState(state));
    }
    if (!Enabled()) {
      TsBgCacheInfo parentBg;
      GetParentBgInfo(sd, parentBg);
      ApplyDisabledKind(cache, disabledKind_, this, {Left(), Top()}, parentBg);
    }
  }
  const bool editPaints =
      Enabled() && ((Style() == csDropDown && HasFocusOrList()) || Style() == csSimple);
  if (!editPaints) return CopyWholeCache(sd, dc);
  // The edit part paints its own text: only the frame and the button.
  TBitmapCanvas canvas(*cache);
  const TSavedDC saved(dc);
  CopyBorderStrips(dc, 0, 0, cache->Width(), cache->Height(), canvas.Handle(), 0, 0,
                   ComboFrameWidth);
  if (Style() == csDropDown) {
    const TRect b = ButtonRect();
    BitBlt(dc, b.Left, b.Top, b.Width(), b.Height(), canvas.Handle(), b.Left, b.Top, SRCCOPY);
  }
}

// --- owner drawing -----------------------------------------------------------------------

void TsCustomComboBox::DrawItemText(int index, const TRect& rect) {
  if (index < 0 || index >= Items()->Count()) return;
  const int d = Style() == csDropDown ? 0 : 1;
  CanvasTextRect(*Canvas(), rect, rect.Left + d, rect.Top + d, (*Items())[index]);
}

void TsCustomComboBox::DrawItem(int index, const TRect& rect, TOwnerDrawState state) {
  TCanvas& canvas = *Canvas();
  TsCommonData* sd = SkinData();
  canvas.Font()->Assign(*Font());
  const bool chosen = (state & (odSelected | odFocus)) != 0;
  const auto ownOrText = [&] {
    if (OnDrawItem)
      OnDrawItem(this, index, rect, state);
    else
      DrawItemText(index, rect);
  };
  if (!SkinAvailable(sd, true) || (state & odComboBoxEdit) == 0) {
    canvas.Brush()->SetStyle(bsSolid);
    if (chosen) {
      canvas.Font()->SetColor(clHighlightText);
      canvas.Brush()->SetColor(clHighlight);
      if (!IsOwnerDrawn()) canvas.FillRect(rect);
    } else {
      canvas.Font()->SetColor(Enabled() ? Font()->Color() : clBtnShadow);
      canvas.Brush()->SetColor(Color());
      canvas.FillRect(rect);
    }
    return ownOrText();
  }
  // The edit part: the box's picture first, then what the state asks for.
  TBitmap* cache = sd->CacheBmp.get();
  if (!IsOwnerDrawn() && cache != nullptr && !cache->Empty()) {
    TBitmapCanvas source(*cache);
    BitBlt(canvas.Handle(), 0, 0, cache->Width(), cache->Height(), source.Handle(), 0, 0, SRCCOPY);
  }
  if ((!Enabled() && !IsOwnerDrawn()) || ReadOnly()) return;
  if (DroppedFlag) {
    canvas.Font()->SetColor(Font()->Color());
    canvas.Brush()->SetStyle(bsClear);
    ownOrText();
    if ((state & odFocus) != 0) canvas.DrawFocusRect(rect);
    return;
  }
  canvas.Brush()->SetStyle(bsSolid);
  if (IsOwnerDrawn()) {
    const bool focus = (state & odFocus) != 0;
    canvas.Font()->SetColor(focus ? clHighlightText : Font()->Color());
    canvas.Brush()->SetColor(focus ? clHighlight : Color());
    if (index > -1 && OnDrawItem) OnDrawItem(this, index, rect, state);
    return;
  }
  if (!chosen && !sd->Focused && !Focused()) return;
  canvas.Font()->SetColor(clHighlightText);
  canvas.Brush()->SetColor(clHighlight);
  canvas.FillRect(rect);
  DrawItemText(index, rect);
}

bool TsCustomComboBox::DrawEditItemFromCache(const DRAWITEMSTRUCT& item) {
  if ((item.itemState & ODS_COMBOBOXEDIT) == 0 || DroppedFlag) return false;
  if ((item.itemState & ODS_FOCUS) != 0) return false;
  TBitmap* cache = SkinData()->CacheBmp.get();
  if (cache == nullptr || cache->Empty()) return false;
  TBitmapCanvas source(*cache);
  BitBlt(item.hDC, 0, 0, cache->Width(), cache->Height(), source.Handle(), 0, 0, SRCCOPY);
  return true;
}

// --- messages --------------------------------------------------------------------------

bool TsCustomComboBox::ReadOnlyRefuses(const TMessage& m) {
  switch (m.Msg) {
    case WM_CHAR:
      return true;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_SYSCHAR:
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN:
    case CN_SYSCHAR:
      return ReadOnlyKey(m.WParam);
    case WM_COMMAND:
    case CN_COMMAND:
      // The list opened some other way: it closes again at once.
      if (m.WParamHi() != CBN_DROPDOWN) return false;
      if (HandleAllocated()) PostMessageW(Handle(), CB_SHOWDROPDOWN, FALSE, 0);
      return true;
    default:
      return false;
  }
}

void TsCustomComboBox::WndProc(TMessage& m) {
  if (ReadOnly() && ReadOnlyRefuses(m)) {
    m.Result = 0;
    return;
  }
  TsSkinnedControl<TCustomComboBox>::WndProc(m);
}

// The bound label follows after every message, unless a handler freed the box.
void TsCustomComboBox::MessageDone(TMessage& m) {
  if (boundLabel_) boundLabel_->FollowControl(m);
}

void TsCustomComboBox::ComboWndProc(TMessage& m, HWND wnd) {
  if (ReadOnly()) {
    switch (m.Msg) {
      case WM_KEYDOWN:
      case WM_KEYUP:
      case WM_CHAR:
      case WM_SYSKEYUP:
      case CN_KEYDOWN:
      case CN_CHAR:
      case CN_SYSKEYDOWN:
      case CN_SYSCHAR:
      case WM_CUT:
      case WM_PASTE:
      case WM_CLEAR:
      case WM_UNDO:
        m.Result = 0;
        return;
      default:
        break;
    }
  }
  TsCommonData* sd = SkinData();
  // The edit part shows only while the user may type in it; else the cache
  // shows through.
  if (wnd == EditHandle() && Style() != csSimple && SkinAvailable(sd, true)) {
    const bool typing = HasFocusOrList() && Enabled() && !ReadOnly();
    if (m.Msg == WM_PAINT && !typing) {
      const TPaintScope validate(wnd, reinterpret_cast<HDC>(m.WParam));
      m.Result = 0;
      return;
    }
    if ((m.Msg == WM_ERASEBKGND || m.Msg == WM_NCPAINT) && !typing) {
      m.Result = 1;
      return;
    }
  }
  TsSkinnedControl<TCustomComboBox>::ComboWndProc(m, wnd);
}

TacCommandOutcome TsCustomComboBox::SkinCommand(TMessage& m) {
  TsCommonData* sd = SkinData();
  const bool ownManager = reinterpret_cast<TsSkinManager*>(m.LParam) == sd->SkinManager();
  switch (m.WParamHi()) {
    case cmdSkinLoaded:
      if (!ownManager) break;
      HandleSkinCommand(m, sd);
      if (listAdapter_ != nullptr && IsWindow(listAdapter_->CtrlHandle))
        SendMessageW(listAdapter_->CtrlHandle, SM_ALPHACMD, m.WParam, m.LParam);
      return coAnswered;
    case cmdSkinRemoved:
      if (!ownManager) break;
      HandleSkinCommand(m, sd);
      FreeListAdapter();
      // The system box paints itself again from a fresh window; items and
      // selection are kept by the class library across it.
      if (HandleAllocated() && !HasState(csDestroying)) RecreateWnd();
      return coAnswered;
    case cmdSkinRefresh:
      if (!ownManager) break;
      HandleSkinCommand(m, sd);
      Repaint();
      return coAnswered;
    case cmdMenuPrivate14:
      m.Result = DroppedDown() ? 1 : 0;
      return coAnswered;
    default:
      break;
  }
  return HandleSkinCommand(m, sd);
}

bool TsCustomComboBox::SkinnedMessage(TMessage& m) {
  TsCommonData* sd = SkinData();
  switch (m.Msg) {
    case WM_PRINT:
      sd->Updating = false;
      PaintToDC(reinterpret_cast<HDC>(m.WParam));
      return true;
    case WM_PAINT: {
      const TPaintScope paint(Handle(), reinterpret_cast<HDC>(m.WParam));
      if (!AnimationActive) PaintToDC(paint.Handle());
      m.Result = 0;
      return true;
    }
    case WM_NCPAINT:
      if (AnimationActive) PaintToDC(AnimationDC);
      return true;
    case WM_ERASEBKGND:
      m.Result = 1;
      return true;
    case WM_SETFONT:
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED:
    case CM_COLORCHANGED:
    case CM_MOUSEWHEEL:
      sd->BGChanged = true;
      return false;
    case WM_SETFOCUS:
    case CM_ENTER: {
      sd->Focused = true;
      sd->MouseAbove = false;
      sd->BGChanged = true;
      // OnEnter may free the box.
      const TLifeToken life = LifeToken();
      TCustomComboBox::WndProc(m);
      if (life.Alive()) Invalidate();
      return true;
    }
    case WM_KILLFOCUS:
    case CM_EXIT: {
      // The list closes first; OnCloseUp, and OnExit after it, may free the box.
      const TLifeToken life = LifeToken();
      if (DroppedDown()) SetDroppedDown(false);
      if (!life.Alive()) return true;
      sd->Focused = false;
      sd->MouseAbove = false;
      sd->BGChanged = true;
      TCustomComboBox::WndProc(m);
      if (life.Alive()) Repaint();
      return true;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC: {
      // The edit part, while it paints itself, in the box's skin colours.
      if (EditHandle() == nullptr || reinterpret_cast<HWND>(m.LParam) != EditHandle()) return false;
      HDC dc = reinterpret_cast<HDC>(m.WParam);
      SetTextColor(dc, ColorToRGB(Font()->Color()));
      SetBkColor(dc, ColorToRGB(Color()));
      m.Result = reinterpret_cast<LRESULT>(Brush()->Handle());
      return true;
    }
    case WM_CTLCOLORLISTBOX: {
      // A long list gets the skinned frame, colours and scroll bars.
      HWND list = reinterpret_cast<HWND>(m.LParam);
      if (listAdapter_ == nullptr && !HasState(csLoading) && list != nullptr &&
          Items()->Count() > DropDownCount())
        listAdapter_ = AttachListScrollBars(list, sd, Style() == csSimple, true);
      if (listAdapter_ == nullptr || listAdapter_->CtrlHandle != list) return false;
      HBRUSH brush = ComboListColors(list, sd->SkinManager(), reinterpret_cast<HDC>(m.WParam),
                                     false, listBrush_);
      if (brush == nullptr) return false;
      m.Result = reinterpret_cast<LRESULT>(brush);
      return true;
    }
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE: {
      if (HasState(csDesigning) || DroppedDown()) return false;
      const bool enter = m.Msg == CM_MOUSEENTER;
      if (!enter) {
        POINT p;
        RECT r;
        GetCursorPos(&p);
        GetWindowRect(Handle(), &r);
        if (PtInRect(&r, p)) return true;  // left for the edit part only
      } else if (sd->MouseAbove) {
        return true;
      }
      sd->MouseAbove = enter;
      sd->BGChanged = true;
      Repaint();
      const TLifeToken life = LifeToken();
      TCustomComboBox::WndProc(m);
      if (!life.Alive()) return true;
      if (enter) {
        ShowControlGlow(sd, false, nullptr);
      } else {
        ClearGlows();
        sd->GlowIndex = -1;
      }
      return true;
    }
    case CN_DRAWITEM:
      if (!DrawEditItemFromCache(*reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam))) return false;
      m.Result = 1;
      return true;
    case WM_COMMAND:
      // A command from the edit part or the list: the list is no longer open.
      if (ReadOnly()) return false;
      DroppedFlag = false;
      // The button's dropped look is in the picture: it is made again.
      sd->BGChanged = true;
      if (HandleAllocated()) {
        HDC dc = GetDC(Handle());
        PaintToDC(dc);
        ReleaseDC(Handle(), dc);
      }
      return false;
    case CN_COMMAND:
      if (m.WParamHi() == CBN_DROPDOWN || m.WParamHi() == CBN_CLOSEUP) {
        DroppedFlag = m.WParamHi() == CBN_DROPDOWN;
        sd->BGChanged = true;
        Repaint();
      }
      return false;
    case SM_ALPHACMD:
      if (m.WParamHi() == cmdParentPainted && sd->Updating) {
        sd->Updating = false;
        Repaint();
        return true;
      }
      return false;
    default:
      return false;
  }
}

void TsCustomComboBox::AfterMessage(TMessage& m) {
  switch (m.Msg) {
    case CB_SETCURSEL:
    case CM_TEXTCHANGED:
    case CM_CHANGED:
      SkinData()->BGChanged = true;
      Repaint();
      return;
    default:
      return;
  }
}

void TsCustomComboBox::Dispatch(TMessage& message) {
  if (message.Msg == WM_LBUTTONDOWN || message.Msg == WM_LBUTTONDBLCLK) {
    WMLButtonDown(message);
    return;
  }
  TsSkinnedControl<TCustomComboBox>::Dispatch(message);
}

void TsCustomComboBox::WMLButtonDown(TMessage& message) {
  if (ReadOnly()) {
    if (CanFocus()) SetFocus();
    if (message.Msg == WM_LBUTTONDBLCLK) DblClick();
    message.Result = 0;
    return;
  }
  TsSkinnedControl<TCustomComboBox>::Dispatch(message);
}

}  // namespace kv
