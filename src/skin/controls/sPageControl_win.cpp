#include "skin/controls/sPageControl_win.h"

#include <commctrl.h>
#include <vsstyle.h>

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "classlib/Forms.h"
#include "classlib/Graphics.h"
#include "classlib/ImgList.h"
#include "classlib/WideText.h"
#include "skin/core/acBgInfo_win.h"
#include "skin/core/acUtils.h"
#include "skin/core/sSectionPaint_win.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/core/sTextUtils_win.h"
#include "skin/graphics/sGraphUtils.h"
#include "skin/graphics/sMaskPaint.h"
#include "skin/graphics/sSectionPaint.h"

namespace kv {

namespace {

constexpr int ControlTypePageControl = 141;
constexpr UINT CaptionFlags = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
constexpr int TabBtnSize = 15;
constexpr COLORREF CloseMarkColor = 0x0000FF;
// Rows of the page area's edge repainted with the band after a page change.
constexpr int BandEdgeRows = 2;
// A change notification that never comes must not leave the cover up.
constexpr UINT_PTR CoverTimerId = 0x5043;
constexpr UINT CoverTimeoutMs = 2000;

// A stand-in close button's click, handled after the button's own message.
constexpr UINT WM_CLOSETAB = WM_APP + 0x141;
// Posted to the control once a scroller's click is over.
constexpr UINT WM_SCROLLERCLICKOVER = WM_APP + 0x143;
// Set by a press on a skinned close button, for the release.
bool CloseBtnPressed = false;

void CopyRect(HDC dest, const TRect& to, HDC source, TPoint from) {
  BitBlt(dest, to.Left, to.Top, to.Width(), to.Height(), source, from.X, from.Y, SRCCOPY);
}

// The window's own context for the scope.
class TOwnDC {
 public:
  explicit TOwnDC(HWND wnd) : wnd_(wnd), dc_(GetDC(wnd)) {}
  ~TOwnDC() {
    if (dc_ != nullptr) ReleaseDC(wnd_, dc_);
  }
  TOwnDC(const TOwnDC&) = delete;
  TOwnDC& operator=(const TOwnDC&) = delete;
  HDC Handle() const { return dc_; }

 private:
  HWND wnd_;
  HDC dc_;
};

// The scroller's buttons look like the skin's up-down buttons where it has
// them.
std::string ScrollerSkin(const TsSkinManager* manager) {
  const bool own = manager != nullptr && manager->Skin().SectionIndexOf("UPDOWNBTN") >= 0;
  return own ? "UPDOWNBTN" : "BUTTON";
}

}  // namespace

// --- TsTabBtn ---------------------------------------------------------------------------

TsTabBtn::TsTabBtn(TComponent* owner) : TsSpeedButton(owner) {
  SetFlat(true);
  SetCaption("X");
  Font()->SetStyle(Font()->Style() | fsBold);
  Font()->SetColor(static_cast<TColor>(CloseMarkColor));
}

void TsTabBtn::Paint() {
  TWinControl* parent = Parent();
  const TThemeData theme(
      parent != nullptr && parent->HandleAllocated() ? parent->Handle() : nullptr, L"WINDOW");
  if (theme.Handle() == nullptr) return TsSpeedButton::Paint();
  HDC dc = Canvas()->Handle();
  const RECT r{0, 0, Width(), Height()};
  // The close glyph sits on the themed tab under it.
  DrawParentBackground(this, dc);
  const int state = State() == bsDown                            ? CBS_PUSHED
                    : SkinData()->MouseAbove || MouseInControl() ? CBS_HOT
                                                                 : CBS_NORMAL;
  PlatformCalls().DrawThemeBackground(theme.Handle(), dc, WP_SMALLCLOSEBUTTON, state, &r, nullptr);
}

// --- TsPageControl ----------------------------------------------------------------------

TsPageControl::TsPageControl(TComponent* owner)
    : TsSkinnedControl<TPageControl>(owner, ControlTypePageControl, true, ccPageControl) {}

TsPageControl::~TsPageControl() {
  if (coverShown_) DropCover();
}

TsTabLayout TsPageControl::Layout() {
  TsTabLayout l;
  l.Style = Style();
  l.TabPosition = TabPosition();
  l.Width = Width();
  l.Height = Height();
  l.HasActivePage = TPageControl::ActivePage() != nullptr;
  for (int i = 0; i < PageCount(); ++i) l.PageTabIndexes.push_back(Pages(i)->TabIndex());
  if (!HandleAllocated()) return l;
  // The window's own size: inside WM_SIZE the bounds fields still hold the
  // old one.
  RECT wr{};
  GetWindowRect(Handle(), &wr);
  l.Width = wr.right - wr.left;
  l.Height = wr.bottom - wr.top;
  l.DisplayRect = DisplayRect();
  l.RowCount = RowCount();
  const int tabs = static_cast<int>(SendMessageW(Handle(), TCM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < tabs; ++i) l.ItemRects.push_back(TabRect(i));
  return l;
}

bool TsPageControl::NeedsScroller() {
  if (!SkinAvailable(SkinData(), true) || MultiLine()) return false;
  if (TabPosition() == tpLeft || TabPosition() == tpRight) return false;
  return HiddenTabCount(Layout(), 0) > 0;
}

void TsPageControl::UpdateScroller() {
  if (HasState(csLoading) || HasState(csDestroying) || !HandleAllocated()) return;
  if (!SkinAvailable(SkinData(), true)) return FreeScroller();
  DestroyNativeScroller();
  const bool sideTabs = TabPosition() == tpLeft || TabPosition() == tpRight;
  const int width = scroller_ != nullptr ? scroller_->Width() : 0;
  if (sideTabs || MultiLine() || HiddenTabCount(Layout(), width) < 1) return FreeScroller();
  if (scroller_ != nullptr)
    PlaceScroller();
  else
    CreateScroller();
}

void TsPageControl::DestroyNativeScroller() {
  // The tab control makes its own up-down whenever tabs overflow; ours has
  // the same class, so it is passed over.
  HWND own = scroller_ != nullptr && scroller_->HandleAllocated() ? scroller_->Handle() : nullptr;
  HWND child = nullptr;
  while ((child = FindWindowExW(Handle(), child, UPDOWN_CLASSW, nullptr)) != nullptr) {
    if (child == own) continue;
    DestroyWindow(child);
    child = nullptr;  // start again: the one found is gone
  }
}

void TsPageControl::CreateScroller() {
  scroller_ = Create<TsUpDown>(this);
  scroller_->SetVisible(false);
  scroller_->SetOrientation(udHorizontal);
  scroller_->SetBounds(0, 0, 2 * (GetSystemMetrics(SM_CXHSCROLL) + 1),
                       GetSystemMetrics(SM_CYHSCROLL) + 1);
  scroller_->SetButtonSkin(ScrollerSkin(SkinData()->SkinManager()));
  scroller_->SetParent(this);
  scroller_->SetMin(0);
  scroller_->SetIncrement(1);
  scroller_->SetShowInaccessibility(false);
  PlaceScroller();
  scroller_->OnClick = [this](TObject* sender, TUDBtnType button) {
    ScrollerClick(sender, button);
  };
  scroller_->SetVisible(true);
}

void TsPageControl::PlaceScroller() {
  if (scroller_ == nullptr) return;
  const TsTabLayout layout = Layout();
  const TPoint at = TabScrollerPos(layout, scroller_->Width(), scroller_->Height());
  scroller_->SetBounds(at.X, at.Y, scroller_->Width(), scroller_->Height());
  scroller_->SetMax(HiddenTabCount(layout, scroller_->Width()));
  scroller_->SetPosition(TabScrollerPosition(layout));
}

void TsPageControl::FreeScroller() {
  if (scroller_ == nullptr) return;
  TsUpDown* scroller = std::exchange(scroller_, nullptr);
  if (scrollerClicks_ == 0) return scroller->Free();
  // Inside its click: the system's up-down goes on with its own data once
  // the scroll it sent returns, so the window must outlive the click.
  scroller->SetVisible(false);
  leftScrollers_.push_back(scroller);
}

void TsPageControl::FinishScrollerClicks() {
  if (scrollerClicks_ > 0) return;  // the click's end posts again
  std::vector<TsUpDown*> scrollers;
  scrollers.swap(leftScrollers_);
  for (TsUpDown* scroller : scrollers) scroller->Free();
  if (std::exchange(recreateAfterClick_, false)) RecreateWnd();
}

void TsPageControl::ScrollerClick(TObject* sender, TUDBtnType /*button*/) {
  if (sender != scroller_) return;  // one let go, waiting to be freed
  const TLifeToken life = LifeToken();
  ++scrollerClicks_;
  SendMessageW(Handle(), WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, scroller_->Position()), 0);
  if (!life.Alive()) return;
  UpdateActivePage();
  if (--scrollerClicks_ == 0 && (!leftScrollers_.empty() || recreateAfterClick_) &&
      HandleAllocated())
    PostMessageW(Handle(), WM_SCROLLERCLICKOVER, 0, 0);
}

void TsPageControl::WndProc(TMessage& m) {
  if (m.Msg == WM_SCROLLERCLICKOVER) return FinishScrollerClicks();
  if (m.Msg == CM_RECREATEWND && scrollerClicks_ > 0) {
    recreateAfterClick_ = true;
    return;
  }
  TsSkinnedControl<TPageControl>::WndProc(m);
}

void TsPageControl::Notification(TComponent* component, TOperation operation) {
  TsSkinnedControl<TPageControl>::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == scroller_) scroller_ = nullptr;
  std::erase(leftScrollers_, component);
}

TsPageControl::TTabLook TsPageControl::TabLook(int pageIndex) {
  TTabLook look;
  TsSkinManager* manager = SkinData()->SkinManager();
  if (manager == nullptr) return look;
  const TsSkinModel& skin = manager->Skin();
  auto* sheet = dynamic_cast<TsTabSheet*>(Pages(pageIndex));
  const std::string own = sheet != nullptr ? sheet->TabSkin() : std::string();
  if (!own.empty()) {
    look.Name = own;
  } else if (Style() == tsButtons) {
    look.Name = "BUTTON";
  } else if (Style() == tsFlatButtons) {
    look.Name = "TOOLBUTTON";
  } else {
    static constexpr const char* names[] = {"TABTOP", "TABBOTTOM", "TABLEFT", "TABRIGHT"};
    const TsCommonIndexes::Tab* tabs[] = {&skin.CommonIndexes.TabTop, &skin.CommonIndexes.TabBottom,
                                          &skin.CommonIndexes.TabLeft,
                                          &skin.CommonIndexes.TabRight};
    look.Name = names[TabPosition()];
    look.Section = tabs[TabPosition()]->Section;
    return look;
  }
  look.Section = skin.SectionIndexOf(look.Name);
  return look;
}

void TsPageControl::ChoosePageSection() {
  TsCommonData* sd = SkinData();
  const std::string& section = sd->SkinSection();
  static constexpr const char* names[] = {"PAGECONTROL", "PAGECONTROLBOTTOM", "PAGECONTROLLEFT",
                                          "PAGECONTROLRIGHT"};
  pageSection_ = section == "PAGECONTROL" ? names[TabPosition()] : section;
  const TsSkinManager* manager = sd->SkinManager();
  if (manager == nullptr) return;
  int index = manager->Skin().SectionIndexOf(pageSection_);
  if (index < 0) {
    pageSection_ = section;
    index = manager->Skin().SectionIndexOf(section);
  }
  // The sheets' children take their colours and answers from the section
  // the page area wears.
  if (index >= 0) sd->SkinIndex = index;
}

void TsPageControl::PaintCaption(TCanvas& canvas, int pageIndex, const TRect& r, int state,
                                 int section) {
  TTabSheet* sheet = Pages(pageIndex);
  const std::string caption = sheet->Caption();
  TsSkinManager* manager = SkinData()->SkinManager();
  const TsSkinModel& skin = manager->Skin();
  canvas.Font()->Assign(*Font());
  canvas.Brush()->SetStyle(bsClear);
  const bool hot = state != 0;
  TPoint imageSize{};
  TCustomImageList* images = Images();
  const bool withImage =
      images != nullptr && sheet->ImageIndex() >= 0 && sheet->ImageIndex() < images->Count();
  if (withImage) imageSize = {images->Width(), images->Height()};
  const TSize text = canvas.TextExtent(caption);
  if (TabPosition() == tpTop || TabPosition() == tpBottom) {
    const TsTabCaption place = TabCaptionLayout(r, text.cx, imageSize);
    if (withImage) images->Draw(&canvas, place.ImagePos.X, place.ImagePos.Y, sheet->ImageIndex());
    WriteSectionText(canvas, caption, true, place.TextRect, CaptionFlags, section, hot, manager);
  } else if (!caption.empty()) {
    // Side tabs read along the tab: the font turned a quarter, centred.
    LOGFONTW lf{};
    GetObjectW(Font()->Handle(), sizeof lf, &lf);
    lf.lfWeight = FW_NORMAL;
    lf.lfEscapement = lf.lfOrientation = TabPosition() == tpLeft ? 900 : 2700;
    if (lstrcmpiW(lf.lfFaceName, L"MS Sans Serif") == 0) lstrcpyW(lf.lfFaceName, L"Arial");
    HFONT rotated = CreateFontIndirectW(&lf);
    {
      const TSelectedObject font(canvas.Handle(), rotated);
      const TsGeneralData* g =
          skin.IsSectionIndexValid(section) ? &skin.GeneralData[section] : nullptr;
      const TColor color = g == nullptr ? Font()->Color()
                           : hot        ? g->HotFontColor[0]
                                        : g->FontColor[0];
      SetTextColor(canvas.Handle(), ColorToRGB(color));
      SetBkMode(canvas.Handle(), TRANSPARENT);
      const std::wstring wide = Wide(caption);
      // Measured upright: the turned text is as long as it is wide.
      const int x = TabPosition() == tpLeft ? r.Left + (r.Width() - text.cy) / 2
                                            : r.Left + (r.Width() + text.cy) / 2;
      const int y = TabPosition() == tpLeft ? r.Top + (r.Height() + text.cx) / 2
                                            : r.Top + (r.Height() - text.cx) / 2;
      TextOutW(canvas.Handle(), x, y, wide.c_str(), static_cast<int>(wide.size()));
    }
    DeleteObject(rotated);
  }
  if (Focused() && state == 2 && !caption.empty())
    DrawDottedFocusRect(canvas.Handle(), TabFocusRect(r, {text.cx, text.cy}, imageSize.X));
}

void TsPageControl::DrawTab(int pageIndex, int state, TPoint offset, TBitmap* bitmap) {
  if (pageIndex < 0 || pageIndex >= PageCount() || bitmap == nullptr) return;
  TTabSheet* sheet = Pages(pageIndex);
  const int tabIndex = sheet->TabIndex();
  if (tabIndex < 0) return;
  const TsTabLayout layout = Layout();
  if (state == 1 && layout.ItemRect(tabIndex).Left < 0) return;
  TsCommonData* sd = SkinData();
  TsSkinManager* manager = sd->SkinManager();
  if (manager == nullptr || !sd->CacheBmp) return;
  const TsSkinModel& skin = manager->Skin();
  const bool active = pageIndex == ActivePageIndex();
  const TRect r = kv::SkinTabRect(layout, tabIndex, active);
  const TTabLook look = TabLook(pageIndex);
  if (IsRectEmpty(r) || !skin.IsSectionIndexValid(look.Section)) return;
  TBitmap tab(r.Width(), r.Height(), pf24bit);
  {
    TBitmapCanvas from(*sd->CacheBmp);
    TBitmapCanvas to(tab);
    CopyRect(to.Handle(), {0, 0, r.Width(), r.Height()}, from.Handle(), r.TopLeft());
  }
  const TRect inTab{0, 0, r.Width(), r.Height()};
  TRect onTarget = r;
  OffsetRect(onTarget, offset.X, offset.Y);
  if (active && state == 2) {
    // Drawn last and unclipped: the active tab may lie over the page area's edge.
    PaintSkinItem(look.Section, look.Name, MakeBgCacheInfo(&tab, 0, 0), true, 2, onTarget, {0, 0},
                  bitmap, &skin);
  } else {
    PaintSkinItem(look.Section, look.Name, MakeBgCacheInfo(&tab, 0, 0), true, state, inTab, {0, 0},
                  &tab, &skin);
    TBitmapCanvas to(*bitmap);
    const TSavedDC saved(to.Handle());
    if (TabPosition() == tpTop || TabPosition() == tpLeft) {
      TRect area = PageAreaRect(layout);
      OffsetRect(area, offset.X, offset.Y);
      ExcludeClipRect(to.Handle(), area.Left, area.Top, area.Right, area.Bottom);
    }
    TBitmapCanvas from(tab);
    CopyRect(to.Handle(), onTarget, from.Handle(), {0, 0});
  }
  TBitmapCanvas canvas(*bitmap);
  if (OwnerDraw()) {
    if (OnDrawTab) {
      const TCanvasBinding binding(*Canvas(), canvas.Handle(), true);
      OnDrawTab(this, tabIndex, onTarget, state != 0);
    }
    return;
  }
  PaintCaption(canvas, pageIndex, onTarget, state, look.Section);
}

void TsPageControl::DrawTabToDC(int pageIndex, int state, HDC dc) {
  if (pageIndex < 0 || pageIndex >= PageCount() || dc == nullptr) return;
  const int tabIndex = Pages(pageIndex)->TabIndex();
  if (tabIndex < 0) return;
  const TRect r = SkinTabRect(tabIndex, pageIndex == ActivePageIndex());
  if (IsRectEmpty(r)) return;
  TBitmap tab(r.Width(), r.Height(), pf24bit);
  DrawTab(pageIndex, state, {-r.Left, -r.Top}, &tab);
  {
    TBitmapCanvas from(tab);
    CopyRect(dc, r, from.Handle(), {0, 0});
  }
  auto* sheet = dynamic_cast<TsTabSheet*>(Pages(pageIndex));
  if (showCloseBtns_ && sheet != nullptr && sheet->UseCloseBtn()) DrawCloseBtn(dc, r, &tab, state);
}

void TsPageControl::PaintTabNow(int pageIndex, int state) {
  if (pageIndex < 0 || pageIndex >= PageCount() || !HandleAllocated()) return;
  EnsureCache();
  if (SkinData()->Updating) return;
  const TOwnDC dc(Handle());
  DrawInactiveTab(pageIndex, state, dc.Handle());
}

void TsPageControl::DrawInactiveTab(int pageIndex, int state, HDC dc) {
  const int tabIndex = Pages(pageIndex)->TabIndex();
  if (tabIndex < 0) return;
  const TSavedDC saved(dc);
  const TRect item = TabRect(tabIndex);
  IntersectClipRect(dc, item.Left, item.Top, item.Right, item.Bottom);
  // The active tab is never painted over.
  if (TTabSheet* active = TPageControl::ActivePage(); active != nullptr) {
    const TRect a = SkinTabRect(active->TabIndex(), true);
    ExcludeClipRect(dc, a.Left, a.Top, a.Right, a.Bottom);
  }
  DrawTabToDC(pageIndex, state, dc);
}

void TsPageControl::PaintTabsBand(TBitmap* cache, const TsBgCacheInfo& background) {
  const TsTabLayout layout = Layout();
  if (layout.TabCount() == 0) return;
  const TRect band = TabsBandRect(layout);
  {
    TBitmapCanvas canvas(*cache);
    if (background.Ready && background.Bmp != nullptr) {
      TBitmapCanvas source(*background.Bmp);
      CopyRect(canvas.Handle(), band, source.Handle(),
               {background.X + Left() + band.Left, background.Y + Top() + band.Top});
    } else {
      FillRectWithColor(canvas.Handle(), band, background.FillColor);
    }
  }
  // Later rows lie over earlier ones.
  const int active = ActivePageIndex();
  for (int row = 1; row <= std::max(layout.RowCount, 1); ++row)
    for (int page = 0; page < PageCount(); ++page) {
      const int tab = layout.PageTabIndexes[static_cast<size_t>(page)];
      if (page != active && tab >= 0 && TabRow(layout, tab) == row) DrawTab(page, 0, {0, 0}, cache);
    }
}

void TsPageControl::PrepareCache() {
  TsCommonData* sd = SkinData();
  TsSkinManager* manager = sd->SkinManager();
  if (manager == nullptr) return;
  ChoosePageSection();
  PrepareCacheBitmap(sd);
  TBitmap* cache = sd->CacheBmp.get();
  TsBgCacheInfo background;
  GetParentBgInfo(sd, background);
  PaintTabsBand(cache, background);
  const TRect area = PageAreaRect(Layout());
  // The page area is its sheets' background: no mask centre over it.
  PaintSkinItem(sd->SkinIndex, pageSection_, background, false, 0, area,
                {Left() + area.Left, Top() + area.Top}, cache, &manager->Skin());
  sd->BGChanged = false;
}

void TsPageControl::EnsureCache() {
  TsCommonData* sd = SkinData();
  sd->Updating = PaintingSuspended(sd);
  if (!sd->Updating && (sd->BGChanged || !sd->CacheBmp || sd->CacheBmp->Width() != Width() ||
                        sd->CacheBmp->Height() != Height()))
    PrepareCache();
}

bool TsPageControl::ThirdPartySkinned() const {
  const TsSkinManager* manager = SkinData()->SkinManager();
  return manager != nullptr && (manager->SkinningRules & srThirdParty) != 0;
}

// The page area's frame round the active sheet, from the cache: what lies
// outside the sheet and the tab band is the control's own to paint.
void TsPageControl::PaintPageFrame() {
  TsCommonData* sd = SkinData();
  TTabSheet* active = TPageControl::ActivePage();
  if (active == nullptr || !HandleAllocated()) return;
  EnsureCache();
  if (sd->Updating || !sd->CacheBmp || sd->CacheBmp->Empty()) return;
  const TWindowDC dc(Handle());
  RECT window{};
  GetWindowRect(Handle(), &window);
  POINT client{0, 0};
  ::ClientToScreen(Handle(), &client);
  const int dx = client.x - window.left;
  const int dy = client.y - window.top;
  const TsTabLayout layout = Layout();
  const TRect band = TabsBandRect(layout);
  const TRect sheet = active->BoundsRect();
  const TRect tab = SkinTabRect(active->TabIndex(), true);
  for (const TRect& r : {band, sheet, tab})
    ExcludeClipRect(dc.Handle(), r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy);
  TBitmapCanvas canvas(*sd->CacheBmp);
  BitBlt(dc.Handle(), dx, dy, sd->CacheBmp->Width(), sd->CacheBmp->Height(), canvas.Handle(), 0, 0,
         SRCCOPY);
}

void TsPageControl::PaintControl(HDC dc) {
  TsCommonData* sd = SkinData();
  if (!SkinAvailable(sd, true) || HasState(csLoading) || dc == nullptr) return;
  if (Parent() != nullptr && Parent()->HasState(csDestroying)) return;
  // A change whose end was never told: the cover goes with this paint.
  if (coverShown_ && !AnimationActive) DropCover();
  // The parent is asked only when the look depends on it, as for every control.
  sd->Updating = PaintingSuspended(sd);
  if (sd->Updating) return;
  if (Parent() != nullptr) {
    sd->BGChanged =
        sd->BGChanged || sd->PaintSkipped || QueryControlCommand(Parent(), cmdGetPaintSkipped) != 0;
    const TRect client = Parent()->ClientRect();
    sd->PaintSkipped = !PtInRect(client, {Left(), Top()}) ||
                       !PtInRect(client, {Left() + Width() - 1, Top() + Height() - 1});
  }
  ChoosePageSection();
  if (sd->BGChanged || !sd->CacheBmp || sd->CacheBmp->Width() != Width()) PrepareCache();
  TTabSheet* active = TPageControl::ActivePage();
  const int activeTab = active != nullptr ? active->TabIndex() : -1;
  {
    const TSavedDC saved(dc);
    TRect activeRect{};
    if (activeTab >= 0) {
      activeRect = SkinTabRect(activeTab, true);
      ExcludeClipRect(dc, activeRect.Left, activeRect.Top, activeRect.Right, activeRect.Bottom);
    }
    CopyCacheToDC(this, sd, {0, 0}, 0, 0, dc, {0, 0, Width(), Height()});
    PaintCloseButtons(dc);
    PaintChildGraphics(this, dc);
  }
  // The tab control invalidates its hot tab itself: a full paint keeps it hot.
  if (hotTab_ >= 0 && hotTab_ < PageCount() && hotTab_ != ActivePageIndex() && HotTrack())
    DrawInactiveTab(hotTab_, 1, dc);
  if (activeTab >= 0) {
    DrawTabToDC(ActivePageIndex(), 2, dc);
    if (active->HandleAllocated()) {
      InvalidateRect(active->Handle(), nullptr, TRUE);
      if (active->BorderWidth() > 0) SendMessageW(active->Handle(), WM_NCPAINT, 1, 0);
    }
  }
  tabCountAtPaint_ = VisibleTabCount(Layout());
}

void TsPageControl::PaintToDC(HDC dc) { PaintControl(dc); }

// --- close buttons ----------------------------------------------------------------------

void TsPageControl::SetShowCloseBtns(bool value) {
  if (showCloseBtns_ == value) return;
  showCloseBtns_ = value;
  if (value && SkinAvailable(SkinData(), false)) UpdateCloseBtnSkin();
  UpdateCloseButtons();
  InvalidateControlSkin(SkinData());
}

void TsPageControl::SetCloseBtnSkin(const std::string& value) {
  if (closeBtnSkin_ == value) return;
  closeBtnSkin_ = value;
  if (SkinAvailable(SkinData(), false)) UpdateCloseBtnSkin();
  InvalidateControlSkin(SkinData());
}

void TsPageControl::UpdateCloseBtnSkin() {
  closeBtnIndex_ = -1;
  TsSkinManager* manager = SkinData()->SkinManager();
  if (manager == nullptr) return;
  const TsSkinModel& skin = manager->Skin();
  if (!closeBtnSkin_.empty()) {
    closeBtnIndex_ = skin.SectionIndexOf(closeBtnSkin_);
    if (closeBtnIndex_ >= 0) closeBtnWidth_ = closeBtnHeight_ = TabBtnSize;
    return;
  }
  const int global = skin.SectionIndexOf("GLOBALINFO");
  int mask = skin.MaskIndexOf(global, "GLOBALINFO", "SICONCLOSE");
  if (!skin.IsMaskIndexValid(mask)) mask = skin.MaskIndexOf(global, "GLOBALINFO", "BICONCLOSE");
  if (!skin.IsMaskIndexValid(mask)) return;
  closeBtnIndex_ = mask;
  const TsMaskData& m = skin.MaskData[static_cast<size_t>(mask)];
  const TPoint size = CloseBtnSize(m.R.Width(), m.R.Height(), m.ImageCount, m.MaskType);
  closeBtnWidth_ = size.X;
  closeBtnHeight_ = size.Y;
}

TRect TsPageControl::CloseBtnRect(int tabIndex) {
  if (tabIndex < 0 || !SkinAvailable(SkinData(), true)) return {};
  TTabSheet* active = TPageControl::ActivePage();
  const bool isActive = active != nullptr && active->TabIndex() == tabIndex;
  return CloseBtnBounds(SkinTabRect(tabIndex, isActive), {closeBtnWidth_, closeBtnHeight_});
}

void TsPageControl::DrawCloseBtn(HDC dc, const TRect& tabRect, TBitmap* background, int state) {
  TsSkinManager* manager = SkinData()->SkinManager();
  if (closeBtnIndex_ < 0 || manager == nullptr || background == nullptr) return;
  const TRect r = CloseBtnBounds(tabRect, {closeBtnWidth_, closeBtnHeight_});
  if (r.Width() < 1 || r.Height() < 1) return;
  TBitmap button(r.Width(), r.Height(), pf24bit);
  {
    TBitmapCanvas from(*background);
    TBitmapCanvas to(button);
    CopyRect(to.Handle(), {0, 0, r.Width(), r.Height()}, from.Handle(),
             {r.Left - tabRect.Left, r.Top - tabRect.Top});
  }
  const TsSkinModel& skin = manager->Skin();
  if (!closeBtnSkin_.empty()) {
    PaintSkinItem(closeBtnIndex_, closeBtnSkin_, MakeBgCacheInfo(&button, 0, 0), true, state,
                  {0, 0, r.Width(), r.Height()}, {0, 0}, &button, &skin);
    TBitmapCanvas canvas(button);
    canvas.Font()->Assign(*Font());
    canvas.Font()->SetStyle(fsBold);
    canvas.Font()->SetColor(static_cast<TColor>(CloseMarkColor));
    canvas.Brush()->SetStyle(bsClear);
    const TSize size = canvas.TextExtent("X");
    const int down = state == 2 ? 1 : 0;
    canvas.TextOut((TabBtnSize - size.cx) / 2 + down, (TabBtnSize - size.cy) / 2 + down, "X");
  } else {
    DrawMaskState(&button, {0, 0}, state, MakeBgCacheInfo(&button, 0, 0),
                  skin.MaskData[static_cast<size_t>(closeBtnIndex_)], skin.MasterBitmap.get(), 1);
  }
  TBitmapCanvas from(button);
  CopyRect(dc, r, from.Handle(), {0, 0});
}

void TsPageControl::PaintCloseButtons(HDC dc) {
  TsCommonData* sd = SkinData();
  if (!showCloseBtns_ || !sd->CacheBmp) return;
  const int active = ActivePageIndex();
  for (int page = 0; page < PageCount(); ++page) {
    auto* sheet = dynamic_cast<TsTabSheet*>(Pages(page));
    if (sheet == nullptr || sheet->TabIndex() < 0 || !sheet->UseCloseBtn() || page == active)
      continue;
    const TRect r = SkinTabRect(sheet->TabIndex(), false);
    if (IsRectEmpty(r)) continue;
    TBitmap tab(r.Width(), r.Height(), pf24bit);
    {
      TBitmapCanvas from(*sd->CacheBmp);
      TBitmapCanvas to(tab);
      CopyRect(to.Handle(), {0, 0, r.Width(), r.Height()}, from.Handle(), r.TopLeft());
    }
    DrawCloseBtn(dc, r, &tab, 0);
  }
}

void TsPageControl::UpdateCloseButtons() {
  const bool standIns = showCloseBtns_ && !SkinAvailable(SkinData(), true) && HandleAllocated();
  for (int page = 0; page < PageCount(); ++page) {
    auto* sheet = dynamic_cast<TsTabSheet*>(Pages(page));
    if (sheet == nullptr) continue;
    const bool wanted = standIns && sheet->TabIndex() >= 0 && sheet->UseCloseBtn();
    if (!wanted) {
      if (sheet->CloseBtn != nullptr) sheet->CloseBtn->Free();
      sheet->CloseBtn = nullptr;
      continue;
    }
    if (sheet->CloseBtn == nullptr) {
      auto* button = Create<TsTabBtn>(this);
      button->Page = sheet;
      button->SetBounds(0, 0, TabBtnSize, TabBtnSize);
      button->OnClick = [this](TObject* sender) { CloseBtnClick(sender); };
      button->SetParent(this);
      sheet->CloseBtn = button;
    }
    const TRect item = TabRect(sheet->TabIndex());
    const TRect place = TabBtnBounds(TabPosition(), item, TabBtnSize, TabBtnSize);
    sheet->CloseBtn->SetBounds(place.Left, place.Top, TabBtnSize, TabBtnSize);
    sheet->CloseBtn->SetVisible(true);
  }
  FreeOrphanCloseButtons();
}

// A sheet freed by other means than its button leaves the button behind;
// no sheet knows it any longer (the freed one is not read).
void TsPageControl::FreeOrphanCloseButtons() {
  std::vector<TsTabBtn*> orphans;
  for (int i = 0; i < ComponentCount(); ++i) {
    auto* button = dynamic_cast<TsTabBtn*>(Components(i));
    if (button == nullptr) continue;
    bool known = false;
    for (int page = 0; page < PageCount() && !known; ++page) {
      const auto* sheet = dynamic_cast<TsTabSheet*>(Pages(page));
      known = sheet != nullptr && sheet->CloseBtn == button;
    }
    if (!known) orphans.push_back(button);
  }
  for (TsTabBtn* button : orphans) button->Free();
}

void TsPageControl::CloseTab(int pageIndex, int eventIndex, bool skinned) {
  if (pageIndex < 0 || pageIndex >= PageCount()) return;
  TTabSheet* sheet = Pages(pageIndex);
  bool canClose = true;
  TacCloseAction action = acaFree;
  const TLifeToken life = LifeToken();
  if (OnCloseBtnClick) OnCloseBtnClick(this, eventIndex, canClose, action);
  if (!life.Alive() || !canClose) return;
  // The handler may have closed the sheet itself.
  bool present = false;
  for (int i = 0; i < PageCount() && !present; ++i) present = Pages(i) == sheet;
  if (!present) return;
  const int remembered = ActivePageIndex();
  if (skinned) SendMessageW(Handle(), WM_SETREDRAW, FALSE, 0);
  if (auto* ts = dynamic_cast<TsTabSheet*>(sheet); ts != nullptr && ts->CloseBtn != nullptr) {
    ts->CloseBtn->Free();
    ts->CloseBtn = nullptr;
  }
  if (action == acaFree)
    sheet->Free();
  else
    sheet->SetTabVisible(false);
  // The page that was active stays so. Skinned, the last one stands in for a
  // closed last page; the stand-in buttons leave that case (and the first
  // page) to the class library, which takes the first page.
  if (remembered > 0 && PageCount() > 0) {
    if (skinned)
      SetActivePageIndex(std::min(remembered, PageCount() - 1));
    else if (remembered < PageCount())
      SetActivePageIndex(remembered);
  }
  if (!skinned) {
    UpdateCloseButtons();
    RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    return;
  }
  SendMessageW(Handle(), WM_SETREDRAW, TRUE, 0);
  SkinData()->BGChanged = true;
  RedrawWindow(Handle(), nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME | RDW_ALLCHILDREN);
}

void TsPageControl::CloseBtnClick(TObject* sender) {
  auto* button = dynamic_cast<TsTabBtn*>(sender);
  if (button == nullptr || button->Page == nullptr) return;
  // The button goes with its sheet: the close runs once its click is over.
  if (HandleAllocated())
    PostMessageW(Handle(), WM_CLOSETAB, reinterpret_cast<WPARAM>(button->Page), 0);
}

void TsPageControl::ClosePostedTab(WPARAM sheet) {
  for (int page = 0; page < PageCount(); ++page)
    if (reinterpret_cast<WPARAM>(Pages(page)) == sheet)
      return CloseTab(page, Pages(page)->TabIndex(), false);
}

void TsPageControl::PaintCloseBtnState(int pageIndex, int btnState, int tabState) {
  if (!showCloseBtns_ || pageIndex < 0 || pageIndex >= PageCount()) return;
  auto* sheet = dynamic_cast<TsTabSheet*>(Pages(pageIndex));
  if (sheet == nullptr || !sheet->UseCloseBtn()) return;
  if (btnState == 1)
    litCloseBtn_ = pageIndex;
  else if (litCloseBtn_ == pageIndex)
    litCloseBtn_ = -1;
  TsCommonData* sd = SkinData();
  const int tabIndex = sheet->TabIndex();
  EnsureCache();
  if (tabIndex < 0 || sd->Updating || !sd->CacheBmp || !HandleAllocated()) return;
  const bool active = pageIndex == ActivePageIndex();
  const TRect r = SkinTabRect(tabIndex, active);
  if (IsRectEmpty(r)) return;
  // The button's background: the tab as it is shown.
  TBitmap tab(r.Width(), r.Height(), pf24bit);
  {
    TBitmapCanvas from(*sd->CacheBmp);
    TBitmapCanvas to(tab);
    CopyRect(to.Handle(), {0, 0, r.Width(), r.Height()}, from.Handle(), r.TopLeft());
  }
  DrawTab(pageIndex, active ? 2 : tabState, {-r.Left, -r.Top}, &tab);
  const TOwnDC dc(Handle());
  DrawCloseBtn(dc.Handle(), r, &tab, btnState);
}

bool TsPageControl::CloseBtnMouse(TMessage& m) {
  if (!showCloseBtns_ || HasState(csDesigning) || closeBtnIndex_ < 0) return false;
  const TPoint pt{m.XPos(), m.YPos()};
  if (!PtInRect(TabsBandRect(Layout()), pt)) return false;
  for (int page = 0; page < PageCount(); ++page) {
    auto* sheet = dynamic_cast<TsTabSheet*>(Pages(page));
    if (sheet == nullptr || sheet->TabIndex() < 0 || !sheet->UseCloseBtn()) continue;
    if (!PtInRect(CloseBtnRect(sheet->TabIndex()), pt)) continue;
    const bool down = m.Msg == WM_LBUTTONDOWN;
    const int tabState = page == ActivePageIndex() ? 2 : HotTrack() ? 1 : 0;
    PaintCloseBtnState(page, down ? 2 : 1, tabState);
    if (down) {
      CloseBtnPressed = true;
      m.Result = 0;
      return true;
    }
    if (CloseBtnPressed) {
      CloseBtnPressed = false;
      CloseTab(page, page, true);
    }
    m.Result = 0;
    return true;
  }
  return false;
}

// --- hot tab ----------------------------------------------------------------------------

bool TsPageControl::OverCloseBtn(int pageIndex, TPoint point) {
  if (!showCloseBtns_ || pageIndex < 0 || pageIndex >= PageCount()) return false;
  return PtInRect(CloseBtnRect(Pages(pageIndex)->TabIndex()), point) != 0;
}

void TsPageControl::ResetHotTab() {
  const int old = hotTab_;
  const int active = ActivePageIndex();
  hotTab_ = -1;
  CloseBtnPressed = false;
  if (old >= 0 && old != active && HotTrack()) PaintTabNow(old, 0);
  if (!showCloseBtns_) return;
  if (old >= 0 && old != active) PaintCloseBtnState(old, 0, 0);
  if (active >= 0) PaintCloseBtnState(active, 0, 2);
}

void TsPageControl::TrackHotTab(TMessage& m) {
  if (DefaultManager != nullptr) DefaultManager->SetHotWindow(nullptr);
  const bool tracking = HotTrack() || Style() != tsTabs;
  if (!tracking && !showCloseBtns_) return TPageControl::WndProc(m);
  const TPoint pt{m.XPos(), m.YPos()};
  const TsTabLayout layout = Layout();
  if (!PtInRect(TabsBandRect(layout), pt)) {
    const int old = hotTab_;
    hotTab_ = -1;
    CloseBtnPressed = false;
    if (old >= 0 && tracking) PaintTabNow(old, 0);
    if (old >= 0) PaintCloseBtnState(old, 0, 0);
    // The active tab is never the hot one, but its button may have been.
    if (litCloseBtn_ >= 0 && litCloseBtn_ == ActivePageIndex())
      PaintCloseBtnState(litCloseBtn_, 0, 2);
    return TPageControl::WndProc(m);
  }
  // Pending paints first, so the hot tab is drawn over a current picture.
  UpdateWindow(Handle());
  const int under = kv::TabAtPos(layout, pt);
  const int active = ActivePageIndex();
  // The tab under a close button is drawn as the tab itself shows.
  const int hotState = HotTrack() ? 1 : 0;
  if (under == hotTab_) {
    if (!showCloseBtns_ || hotTab_ < 0) return TPageControl::WndProc(m);
    PaintCloseBtnState(hotTab_, OverCloseBtn(hotTab_, pt) ? 1 : 0, hotState);
    m.Result = 0;
    return;
  }
  const int old = hotTab_;
  if (old < 0) {
    if (showCloseBtns_ && active >= 0 && under != active) PaintCloseBtnState(active, 0, 2);
  } else if (HotTrack() || showCloseBtns_) {
    if (old != active && tracking) PaintTabNow(old, 0);
    PaintCloseBtnState(old, 0, 0);
  }
  // OnMouseMove may free the control.
  const TLifeToken life = LifeToken();
  TPageControl::WndProc(m);
  if (!life.Alive()) return;
  if (under >= 0 && under == active) {
    hotTab_ = -1;
    PaintCloseBtnState(active, OverCloseBtn(active, pt) ? 1 : 0, 2);
    return;
  }
  hotTab_ = under;
  if (hotTab_ < 0) return;
  if (tracking) PaintTabNow(hotTab_, hotState);
  if (OverCloseBtn(hotTab_, pt)) {
    PaintCloseBtnState(hotTab_, 1, hotState);
    if (active >= 0) PaintCloseBtnState(active, 0, 2);
  }
}

// --- messages ---------------------------------------------------------------------------

void TsPageControl::Loaded() {
  TsSkinnedControl<TPageControl>::Loaded();
  if (TPageControl::ActivePage() != nullptr) AskFormToAdaptControl(TPageControl::ActivePage());
  UpdateScroller();
  UpdateCloseButtons();
}

void TsPageControl::UpdateActivePage() {
  hotTab_ = -1;
  TPageControl::UpdateActivePage();
  // Every page added, removed or scrolled to ends here.
  UpdateScroller();
  TsCommonData* sd = SkinData();
  if (sd == nullptr || !SkinAvailable(sd, true) || !HandleAllocated()) return;
  sd->BGChanged = true;
  if (PaintingSuspended(sd)) return;
  TsSkinManager* manager = sd->SkinManager();
  const bool animated =
      manager != nullptr && manager->AnimEffects.PageChange.Active && !HasState(csDesigning);
  if (animated || TPageControl::ActivePage() == nullptr || !IsWindowVisible(Handle())) {
    RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
    return;
  }
  // The band and the new active tab at once: no frame shows the old tab
  // still active over the new page.
  HDC dc = GetDC(Handle());
  PaintControl(dc);
  ReleaseDC(Handle(), dc);
}

void TsPageControl::DropCover() {
  coverShown_ = false;
  if (HandleAllocated()) KillTimer(Handle(), CoverTimerId);
  if (SnapshotCover != nullptr) SnapshotCover->Free();
  SnapshotCover = nullptr;
  SnapshotBitmap.reset();
}

bool TsPageControl::Notify(TMessage& m) {
  const auto* header = reinterpret_cast<const NMHDR*>(m.LParam);
  TsSkinManager* manager = SkinData()->SkinManager();
  const bool animated = manager != nullptr && manager->AnimEffects.PageChange.Active &&
                        !HasState(csDesigning) && Visible();
  if (header->code == static_cast<UINT>(TCN_SELCHANGING)) {
    if (animated) {
      ShowSnapshotCover(this);
      coverShown_ = true;
      // Should the change's end never be told, the cover still goes.
      SetTimer(Handle(), CoverTimerId, CoverTimeoutMs, nullptr);
    }
    UpdateScroller();
    // OnChanging and OnChange may free the control.
    const TLifeToken life = LifeToken();
    TPageControl::WndProc(m);
    if (!life.Alive()) return true;
    if (m.Result != 0) {
      SendMessageW(Handle(), WM_SETREDRAW, TRUE, 0);
      if (coverShown_) DropCover();
      SendMessageW(Handle(), WM_MOUSEMOVE, 0, 0);
    }
    return true;
  }
  if (header->code == static_cast<UINT>(TCN_SELCHANGE)) {
    const TLifeToken life = LifeToken();
    TPageControl::WndProc(m);
    if (!life.Alive()) return true;
    UpdateScroller();
    if (animated && coverShown_) {
      coverShown_ = false;
      KillTimer(Handle(), CoverTimerId);
      AnimateShowControl(this, manager->AnimEffects.PageChange.Time);
      if (TTabSheet* page = TPageControl::ActivePage(); page != nullptr && page->HandleAllocated())
        RedrawWindow(page->Handle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
    return true;
  }
  return false;
}

TacCommandOutcome TsPageControl::SkinCommand(TMessage& m) {
  TsCommonData* sd = SkinData();
  const bool ownManager = reinterpret_cast<TsSkinManager*>(m.LParam) == sd->SkinManager();
  switch (m.WParamHi()) {
    case cmdSkinLoaded:
      BroadcastToChildren(this, m);
      if (ownManager) HandleSkinCommand(m, sd);
      UpdateCloseBtnSkin();
      UpdateCloseButtons();
      return coAnswered;
    case cmdSkinRemoved:
      if (ownManager) {
        HandleSkinCommand(m, sd);
        const bool hadScroller = scroller_ != nullptr;
        UpdateScroller();
        UpdateCloseButtons();
        // The tab control makes its own up-down again only in a new window.
        if (hadScroller)
          RecreateWnd();
        else if (HandleAllocated())
          RedrawWindow(Handle(), nullptr, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
      }
      BroadcastToChildren(this, m);
      return coAnswered;
    case cmdSkinRefresh:
      if (ownManager) {
        HandleSkinCommand(m, sd);
        if (Showing())
          RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
        if (TPageControl::ActivePage() != nullptr)
          AskFormToAdaptControl(TPageControl::ActivePage());
        UpdateScroller();
        UpdateCloseButtons();
        if (scroller_ != nullptr) scroller_->SetButtonSkin(ScrollerSkin(sd->SkinManager()));
      }
      BroadcastToChildren(this, m);
      return coAnswered;
    case cmdParentPainted:
      if (sd->Updating) {
        sd->Updating = false;
        if (HandleAllocated())
          RedrawWindow(Handle(), nullptr, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
        if (TTabSheet* page = TPageControl::ActivePage(); page != nullptr)
          SendCommandToControl(page, cmdParentPainted, 0);
      }
      return coPassedOn;
    case cmdNeedsRepaint:
      m.Result = sd->Updating ? 1 : 0;
      return coAnswered;
    case cmdChildBgFlags:
      if (m.LParam != 1) break;
      if (Parent() != nullptr && Parent()->HandleAllocated()) {
        sd->UpdateChildBgFlags(false);
        if (TTabSheet* page = TPageControl::ActivePage(); page != nullptr)
          for (int i = 0; i < page->ControlCount(); ++i)
            SendCommandToControl(page->Controls(i), cmdChildBgFlags, 1);
      }
      m.Result = 0;
      return coAnswered;
    case cmdGetBackground:
      if (m.LParam != 0 && SkinAvailable(sd, false)) EnsureCache();
      break;
    default:
      break;
  }
  return HandleSkinCommand(m, sd);
}

bool TsPageControl::TabHint(TMessage& m) {
  auto* info = reinterpret_cast<THintInfo*>(m.LParam);
  const TsTabLayout layout = Layout();
  const int page = kv::TabAtPos(layout, info->CursorPos);
  if (page < 0) return false;
  info->HintStr = Pages(page)->Hint();
  const TPoint screen = ClientToScreen(info->CursorPos);
  info->HintPos = {screen.X + GetSystemMetrics(SM_CXCURSOR) / 2,
                   screen.Y + GetSystemMetrics(SM_CYCURSOR) / 2};
  // The hint is this tab's: on the next tab the next sheet's shows.
  info->CursorRect = layout.ItemRect(Pages(page)->TabIndex());
  m.Result = 0;
  return true;
}

bool TsPageControl::UnskinnedMessage(TMessage& m) {
  if (m.Msg == CM_HINTSHOW) return TabHint(m);
  if (m.Msg == WM_CLOSETAB) {
    ClosePostedTab(m.WParam);
    return true;
  }
  // The tabs were laid out again (a sheet added, freed, shown or hidden):
  // the stand-in buttons follow them.
  if (m.Msg == WM_WINDOWPOSCHANGING || m.Msg == CM_INVALIDATE || m.Msg == TCM_SETCURSEL) {
    TPageControl::WndProc(m);
    UpdateCloseButtons();
    return true;
  }
  return false;
}

bool TsPageControl::SkinnedMessage(TMessage& m) {
  TsCommonData* sd = SkinData();
  const bool designing = HasState(csDesigning);
  switch (m.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
      if (designing) return true;
      const bool changed = sd->BGChanged;
      // OnEnter may free the control.
      const TLifeToken life = LifeToken();
      TPageControl::WndProc(m);
      if (!life.Alive()) return true;
      sd->BGChanged = changed;
      // The focus frame on the active tab comes or goes.
      if (TTabSheet* page = TPageControl::ActivePage(); page != nullptr && HandleAllocated()) {
        const TOwnDC dc(Handle());
        DrawTabToDC(ActivePageIndex(), 2, dc.Handle());
      }
      return true;
    }
    case WM_MOUSEMOVE:
      if (designing) return false;
      TrackHotTab(m);
      return true;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
      return CloseBtnMouse(m);
    case WM_MOUSELEAVE:
    case CM_MOUSELEAVE:
      if (designing || (!HotTrack() && !showCloseBtns_)) return false;
      TPageControl::WndProc(m);
      ResetHotTab();
      return true;
    case WM_TIMER:
      if (m.WParam != CoverTimerId) return false;
      if (coverShown_) DropCover();
      if (HandleAllocated()) SendMessageW(Handle(), WM_SETREDRAW, TRUE, 0);
      Invalidate();
      return true;
    case TCM_INSERTITEMW:
    case TCM_SETCURSEL:
      sd->BGChanged = true;
      return false;
    case WM_PAINT: {
      if (!Visible() && !designing) return false;
      const TPaintScope paint(Handle(), reinterpret_cast<HDC>(m.WParam));
      if (!AnimationActive || paint.Handle() == AnimationDC) PaintControl(paint.Handle());
      m.Result = 0;
      return true;
    }
    case WM_ERASEBKGND:
      m.Result = 1;
      return true;
    case WM_PRINT:
      UpdateScroller();
      UpdateCloseButtons();
      sd->Updating = false;
      PaintControl(reinterpret_cast<HDC>(m.WParam));
      return true;
    case WM_NCPAINT:
      if (AnimationActive || !NeedsParentCheck(sd)) return false;
      PaintPageFrame();
      m.Result = 0;
      return false;
    case WM_PARENTNOTIFY:
      // A window made in the control: foreign controls on it get skinned.
      if (designing || HasState(csLoading)) return false;
      TPageControl::WndProc(m);
      if (LOWORD(m.WParam) == WM_CREATE && ThirdPartySkinned()) AskFormToAdaptControl(this);
      return true;
    case WM_HSCROLL:
    case WM_STYLECHANGING:
    case WM_STYLECHANGED:
      if (!HasState(csLoading)) {
        sd->BGChanged = true;
        RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
      }
      return false;
    case CN_NOTIFY:
      return Notify(m);
    case CM_HINTSHOW:
      return TabHint(m);
    case CM_CONTROLLISTCHANGE: {
      const int before = PageCount();
      TPageControl::WndProc(m);
      if (PageCount() != before) {
        UpdateScroller();
        UpdateCloseButtons();
        if (ThirdPartySkinned()) AskFormToAdaptControl(this);
      }
      return true;
    }
    default:
      return false;
  }
}

void TsPageControl::AfterMessage(TMessage& m) {
  TsCommonData* sd = SkinData();
  switch (m.Msg) {
    case TCM_SETCURSEL:
    case CM_DIALOGCHAR:
      sd->BGChanged = true;
      RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
      ResumeChildrenPainting(this);
      return;
    case TCM_DELETEITEM:
      if (!PaintingSuspended(sd)) sd->BGChanged = true;
      return;
    case WM_SIZE:
      if (HasState(csLoading)) return;
      UpdateScroller();
      UpdateCloseButtons();
      return;
    case WM_LBUTTONDOWN:
      if (Style() != tsTabs && hotTab_ >= 0) PaintTabNow(hotTab_, 1);
      return;
    default:
      return;
  }
}

// --- TsTabSheet -------------------------------------------------------------------------

TsTabSheet::TsTabSheet(TComponent* owner) : TTabSheet(owner) {}

void TsTabSheet::SetTabSkin(const std::string& value) {
  if (tabSkin_ == value) return;
  tabSkin_ = value;
  auto* pc = dynamic_cast<TsPageControl*>(PageControl());
  if (pc == nullptr || pc->HasState(csLoading) || !pc->Visible() || !pc->HandleAllocated()) return;
  pc->SkinData()->BGChanged = true;
  RedrawWindow(pc->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

void TsTabSheet::SetButtonSkin(const std::string& value) {
  buttonSkin_ = value;
  if (auto* pc = dynamic_cast<TsPageControl*>(PageControl())) InvalidateControlSkin(pc->SkinData());
}

void TsTabSheet::SetUseCloseBtn(bool value) {
  useCloseBtn_ = value;
  if (auto* pc = dynamic_cast<TsPageControl*>(PageControl())) {
    pc->UpdateCloseButtons();
    InvalidateControlSkin(pc->SkinData());
  }
}

TsPageControl* TsTabSheet::SkinnedPageControl() const {
  auto* pc = dynamic_cast<TsPageControl*>(PageControl());
  if (pc == nullptr || pc->SkinData() == nullptr || !SkinAvailable(pc->SkinData(), true))
    return nullptr;
  return pc;
}

void TsTabSheet::EraseFromPageControl(TsPageControl* pc, HDC dc) {
  if (dc == nullptr) return;
  if (AnimationActive && dc != AnimationDC) return;
  pc->EnsureCache();
  TsCommonData* sd = pc->SkinData();
  if (sd->Updating || !sd->CacheBmp) return;
  // The client area lies inside the sheet's own border.
  const int border = BorderWidth();
  CopyCacheToDC(this, sd, {Left() + border, Top() + border}, 0, 0, dc, ClientRect());
  PaintChildGraphics(this, dc);
}

bool TsTabSheet::SkinCommand(TMessage& m, TsPageControl* pc) {
  const bool skinned = pc != nullptr && SkinAvailable(pc->SkinData(), true);
  TsCommonData* pcData = pc != nullptr ? pc->SkinData() : nullptr;
  const bool ownManager =
      pcData != nullptr && reinterpret_cast<TsSkinManager*>(m.LParam) == pcData->SkinManager();
  switch (m.WParamHi()) {
    case cmdSkinLoaded:
      BroadcastToChildren(this, m);
      return true;
    case cmdSkinRemoved:
      if (ownManager) Repaint();
      BroadcastToChildren(this, m);
      return true;
    case cmdSkinRefresh:
      if (ownManager && Visible()) Repaint();
      BroadcastToChildren(this, m);
      return true;
    case cmdParentPainted:
      if (HandleAllocated()) RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
      ResumeChildrenPainting(this);
      return true;
    case cmdIsSkinned:
      m.Result = 1;
      return true;
    case cmdNeedsRepaint:
      if (!skinned) return false;
      m.Result = pcData->Updating ? 1 : 0;
      return true;
    case cmdIsBgNonUniform: {
      if (!skinned) return false;
      const TsGeneralData* section = pcData->Section();
      const bool textured =
          section != nullptr && section->GradientPercent + section->ImagePercent >= 1;
      m.Result = textured || DependsOnParentBg(pcData) ? 1 : 0;
      return true;
    }
    case cmdGetBgColor:
      if (!skinned) return false;
      m.Result = pc->Perform(SM_ALPHACMD, m.WParam, m.LParam);
      return true;
    case cmdGetSectionIndex:
      if (pcData == nullptr) return false;
      m.Result = pcData->SkinIndex + 1;
      return true;
    case cmdGetBackground: {
      if (!skinned || m.LParam == 0) return false;
      auto& request = *reinterpret_cast<TsBgRequest*>(m.LParam);
      // The sheet's client area inside the page control.
      const int border = BorderWidth();
      request.AskerPos = {request.AskerPos.X + border, request.AskerPos.Y + border};
      ForwardBgRequestToParent(request, this);
      request.AskerPos = {request.AskerPos.X - border, request.AskerPos.Y - border};
      if (request.BgType == btBitmap)
        request.Offset = {request.Offset.X + border, request.Offset.Y + border};
      m.Result = 0;
      return true;
    }
    case cmdChildBgFlags:
      if (pcData == nullptr) return false;
      if (m.LParam == 1) {
        for (int i = 0; i < ControlCount(); ++i)
          SendCommandToControl(Controls(i), cmdChildBgFlags, 1);
        m.Result = 0;
      } else {
        m.Result = pcData->ChildBgFlags;
      }
      return true;
    case cmdGetApplication:
      m.Result = reinterpret_cast<LRESULT>(Application);
      return true;
    default:
      return false;
  }
}

void TsTabSheet::WndProc(TMessage& m) {
  if (RefuseForeignAddress(m)) return;
  auto* owner = dynamic_cast<TsPageControl*>(PageControl());
  if (m.Msg == SM_ALPHACMD && owner != nullptr && SkinCommand(m, owner)) return;
  TsPageControl* pc = SkinnedPageControl();
  const bool live = pc != nullptr && !HasState(csDestroying) && !pc->HasState(csDestroying);
  if (!live) {
    TTabSheet::WndProc(m);
    if (!HasState(csDestroying)) OfferNewChildToForm(this, m);
    return;
  }
  switch (m.Msg) {
    case WM_ERASEBKGND:
      if (!Showing()) break;
      EraseFromPageControl(pc, reinterpret_cast<HDC>(m.WParam));
      m.Result = 1;
      return;
    case WM_PAINT: {
      if (!Visible()) break;
      if (Parent() != nullptr) InvalidateRect(Handle(), nullptr, TRUE);
      const TPaintScope paint(Handle(), reinterpret_cast<HDC>(m.WParam));
      m.Result = 0;
      return;
    }
    case WM_PRINT:
      EraseFromPageControl(pc, reinterpret_cast<HDC>(m.WParam));
      m.Result = 0;
      return;
    case WM_NCPAINT: {
      const int border = BorderWidth();
      if (border <= 0 || !Showing()) break;
      pc->EnsureCache();
      TsCommonData* sd = pc->SkinData();
      if (!sd->Updating && sd->CacheBmp) {
        HDC dc = GetWindowDC(Handle());
        {
          TBitmapCanvas cache(*sd->CacheBmp);
          CopyBorderStrips(dc, 0, 0, Width(), Height(), cache.Handle(), Left(), Top(), border);
        }
        ReleaseDC(Handle(), dc);
      }
      m.Result = 1;
      return;
    }
    case WM_MOUSEMOVE:
      if (!HasState(csDesigning) && DefaultManager != nullptr)
        DefaultManager->SetHotWindow(nullptr);
      break;
    case WM_PARENTNOTIFY:
      TTabSheet::WndProc(m);
      if (LOWORD(m.WParam) == WM_CREATE && !HasState(csDesigning | csLoading))
        AskFormToAdaptControl(this);
      return;
    default:
      break;
  }
  TTabSheet::WndProc(m);
}

}  // namespace kv
