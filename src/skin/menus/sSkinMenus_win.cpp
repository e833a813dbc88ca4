#include "skin/menus/sSkinMenus_win.h"

#include <algorithm>
#include <map>

#include "classlib/ForeignSubclass.h"
#include "classlib/Forms.h"
#include "classlib/ImgList.h"
#include "classlib/WideText.h"
#include "skin/core/acFormServices_win.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/core/sTextUtils_win.h"
#include "skin/core/sVclUtils_win.h"
#include "skin/graphics/sBorders.h"
#include "skin/graphics/sGraphUtils.h"
#include "skin/graphics/sMaskPaint.h"
#include "skin/graphics/sSectionPaint.h"

namespace kv {

std::vector<std::unique_ptr<TacPopupCache>> PopupCache;
int IconColumnWidth = 0;

namespace {

constexpr UINT kMenuItemPopup = 0xBCB3;  // the application hook finds the item's window
constexpr UINT kMenuWindowPopup = 0xBCB4;
constexpr double kDisabledBlend = 0.4;
constexpr std::uint8_t kTopLineDisabledBlend = 102;
constexpr int kExtraLineBottom = 12;  // room below the extra line's glyph and caption
constexpr int kSysGlyphTextLeft = 4;

// Unit state of the extra line, as the query fills it.
struct TacExtraLine {
  std::string Section;
  std::string Caption;
  std::unique_ptr<TBitmap> Glyph;
} extraLine;

std::map<const TsSkinManager*, std::unique_ptr<TsSkinableMenus>> painters;
// The pop-up windows subclassed and shaped so far; a window leaves on destruction.
std::vector<HWND> hookedPopups;
bool menuInUse = false;

bool IsTopLineItem(const TMenuItem* item) {
  const TMenu* menu = item->GetParentMenu();
  return item->Parent() != nullptr && item->Parent()->Parent() == nullptr &&
         dynamic_cast<const TMainMenu*>(menu) != nullptr;
}

// The form that owns the menu, along the owner chain.
TCustomForm* OwningForm(const TMenuItem* item) {
  const TComponent* c = item->GetParentMenu();
  if (c == nullptr) c = item;
  for (TComponent* p = c->Owner(); p != nullptr; p = p->Owner())
    if (auto* form = dynamic_cast<TCustomForm*>(p)) return form;
  return nullptr;
}

TSize TextExtent(HDC dc, std::string_view text) {
  TRect r{0, 0, 1, 0};
  DrawTextString(dc, text, r, DT_CALCRECT | DT_NOCLIP | DT_EXPANDTABS | DT_SINGLELINE);
  return {r.Width(), r.Height()};
}

// The canvas's font with the owning form's charset, bold for a default item.
void PrepareItemFont(TCanvas* canvas, const TMenuItem* item) {
  if (const TCustomForm* form = OwningForm(item))
    canvas->Font()->SetCharset(form->Font()->Charset());
  if (item->Default()) canvas->Font()->SetStyle(canvas->Font()->Style() | fsBold);
}

void ClearExtraLine() {
  extraLine.Section.clear();
  extraLine.Caption.clear();
  extraLine.Glyph.reset();
}

template <class Event, class T, class U>
void AttachIfEmpty(Event& event, T* object, U member) {
  if (!event) event = Event(object, member);
}

template <class Event, class T, class U>
void DetachIfOwn(Event& event, T* object, U member) {
  if (event == Event(object, member)) event = nullptr;
}

// Where the window's client area lies inside the window: Windows gives pop-up
// menus a non-client frame, Wine paints its frame inside the client area.
TPoint ClientOrigin(HWND wnd) {
  RECT w{};
  POINT p{0, 0};
  if (!GetWindowRect(wnd, &w) || !ClientToScreen(wnd, &p)) return {0, 0};
  return {p.x - w.left, p.y - w.top};
}

void BlitBitmap(HDC dc, int x, int y, TBitmap& bitmap, int sx, int sy, int w, int h) {
  if (w <= 0 || h <= 0) return;
  TBitmapCanvas canvas(bitmap);
  BitBlt(dc, x, y, w, h, canvas.Handle(), sx, sy, SRCCOPY);
}

// The window found under a level's first item may be any window: only a
// pop-up menu's is subclassed and shaped.
bool IsPopupMenuWindow(HWND wnd) {
  wchar_t name[16] = {};
  return wnd != nullptr && GetClassNameW(wnd, name, 16) > 0 && std::wstring_view(name) == L"#32768";
}

LRESULT PopupWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_ERASEBKGND:
    case WM_NCPAINT:
      // The items paint the background and the frame beside them.
      return 1;
    case WM_DESTROY: {
      ClearPopupCache();
      std::erase(hookedPopups, wnd);
      if (hookedPopups.empty()) menuInUse = false;
      break;
    }
  }
  return DefSubclassProc(wnd, msg, wParam, lParam);
}

}  // namespace

TsSkinableMenus* MenuPainterOf(const TsSkinManager* manager) {
  auto it = painters.find(manager);
  return it == painters.end() ? nullptr : it->second.get();
}

void ClearPopupCache() {
  PopupCache.clear();
  for (auto& [manager, painter] : painters) painter->ForgetMeasured();
}

bool MenuInUse() { return menuInUse; }

// --- the painter -------------------------------------------------------------------------

TsSkinableMenus::TsSkinableMenus(TsSkinManager* manager)
    : manager_(manager), captionFont_(std::make_unique<TFont>()) {}

TsSkinableMenus::~TsSkinableMenus() { manager_ = nullptr; }

int TsSkinableMenus::SkinBorderWidth() {
  if (skinBorderWidth_ >= 0 || manager_ == nullptr) return std::max(skinBorderWidth_, 0);
  const TsSkinModel& skin = manager_->Skin();
  const int mask = skin.MaskIndexByNames("MAINMENU", "BORDERSMASK");
  if (skin.IsMaskIndexValid(mask)) {
    const int width = skin.MaskData[static_cast<size_t>(mask)].BorderWidth;
    skinBorderWidth_ = width < 1 ? 3 : width;
  } else {
    skinBorderWidth_ = 0;
  }
  return skinBorderWidth_;
}

void TsSkinableMenus::SetActive(bool value) {
  if (value != active_) HookFormMenus(value);
}

// Applied again while a skin stays active, so that SkinnedPopups switched on
// later and menus made since the last skin change are switched too.
void TsSkinableMenus::ApplySkinActive() {
  if (manager_ == nullptr) return;
  const bool skinActive = manager_->CommonSkinData().Active;
  if (skinActive)
    HookFormMenus(true);
  else
    SetActive(false);
}

void TsSkinableMenus::HookFormMenus(bool value) {
  active_ = value;
  if (manager_ == nullptr || manager_->HasState(csDesigning) || Application == nullptr) return;
  SkinMenusOf(Application, value, value && manager_->SkinnedPopups());
}

void TsSkinableMenus::SkinMenusOf(TComponent* owner, bool mainMenus, bool popups) {
  if (owner == nullptr) return;
  for (int i = 0; i < owner->ComponentCount(); ++i) {
    TComponent* c = owner->Components(i);
    if (auto* main = dynamic_cast<TMainMenu*>(c)) {
      SetMainMenuSkinned(main, mainMenus);
      for (int j = 0; j < main->Items()->Count(); ++j)
        SetItemsSkinned(main->Items()->Items(j), popups);
    } else if (auto* popup = dynamic_cast<TPopupMenu*>(c)) {
      SetMenuSkinned(popup, popups);
    } else if (auto* item = dynamic_cast<TMenuItem*>(c)) {
      if (dynamic_cast<TMainMenu*>(item->GetParentMenu()) == nullptr) SetItemsSkinned(item, popups);
    }
    SkinMenusOf(c, mainMenus, popups);
  }
}

void TsSkinableMenus::AttachPopupHandlers(TMenuItem* item) {
  AttachIfEmpty(item->OnAdvancedDrawItem, this, &TsSkinableMenus::DrawPopupItem);
  AttachIfEmpty(item->OnMeasureItem, this, &TsSkinableMenus::MeasurePopupItem);
}

void TsSkinableMenus::DetachPopupHandlers(TMenuItem* item) {
  DetachIfOwn(item->OnAdvancedDrawItem, this, &TsSkinableMenus::DrawPopupItem);
  DetachIfOwn(item->OnMeasureItem, this, &TsSkinableMenus::MeasurePopupItem);
}

void TsSkinableMenus::SetMainMenuSkinned(TMainMenu* mainMenu, bool enable) {
  if (mainMenu == nullptr) return;
  const bool skinActive = manager_ != nullptr && manager_->CommonSkinData().Active;
  TMenuItem* root = mainMenu->Items();
  for (int i = 0; i < root->Count(); ++i) {
    TMenuItem* item = root->Items(i);
    if (enable) {
      // The menu line belongs to the frame: its items are the painter's
      // whenever a skin is active, whether pop-ups are skinned or not.
      if (!skinActive) continue;
      item->OnAdvancedDrawItem =
          TAdvancedMenuDrawItemEvent(this, &TsSkinableMenus::DrawTopLineItem);
      item->OnMeasureItem = TMenuMeasureItemEvent(this, &TsSkinableMenus::MeasureTopLineItem);
    } else {
      DetachIfOwn(item->OnAdvancedDrawItem, this, &TsSkinableMenus::DrawTopLineItem);
      DetachIfOwn(item->OnMeasureItem, this, &TsSkinableMenus::MeasureTopLineItem);
    }
  }
  if (!mainMenu->HasState(csDestroying)) mainMenu->SetOwnerDraw(enable);
}

void TsSkinableMenus::SetMenuSkinned(TMenu* menu, bool enable) {
  if (menu == nullptr) return;
  const bool popups = enable && manager_ != nullptr && manager_->SkinnedPopups();
  if (auto* popup = dynamic_cast<TPopupMenu*>(menu)) {
    const TMenuAnimation a = popup->MenuAnimation();
    popup->SetMenuAnimation(enable ? a | maNone : a & ~maNone);
  }
  std::function<void(TMenuItem*)> visit = [&](TMenuItem* parent) {
    for (int i = 0; i < parent->Count(); ++i) {
      TMenuItem* item = parent->Items(i);
      if (enable)
        AttachPopupHandlers(item);
      else
        DetachPopupHandlers(item);
      visit(item);
    }
  };
  visit(menu->Items());
  if (!menu->HasState(csDestroying)) menu->SetOwnerDraw(popups);
}

void TsSkinableMenus::SetItemsSkinned(TMenuItem* item, bool enable) {
  if (item == nullptr) return;
  for (int i = 0; i < item->Count(); ++i) {
    TMenuItem* sub = item->Items(i);
    if (!enable)
      DetachPopupHandlers(sub);
    else if (!IsTopLineItem(sub))
      AttachPopupHandlers(sub);
    SetItemsSkinned(sub, enable);
  }
}

void TsSkinableMenus::SetItemSkinned(TMenuItem* item, bool enable) {
  if (item == nullptr) return;
  if (TMenu* menu = item->GetParentMenu(); menu != nullptr && !menu->HasState(csDestroying))
    menu->SetOwnerDraw(enable);
  if (!enable) {
    DetachPopupHandlers(item);
  } else if (IsTopLineItem(item)) {
    item->OnAdvancedDrawItem = TAdvancedMenuDrawItemEvent(this, &TsSkinableMenus::DrawTopLineItem);
    item->OnMeasureItem = TMenuMeasureItemEvent(this, &TsSkinableMenus::MeasureTopLineItem);
  } else if (manager_ != nullptr && manager_->SkinnedPopups()) {
    AttachPopupHandlers(item);
  }
}

// --- measuring ---------------------------------------------------------------------------

TSize TsSkinableMenus::GlyphSize(TMenuItem* item, bool bitmapOnly) const {
  const auto sizeOf = [](const TCustomImageList* list) {
    return list != nullptr ? TSize{list->Width(), list->Height()} : TSize{0, 0};
  };
  const TSize bitmap =
      item->Bitmap().Empty() ? TSize{0, 0} : TSize{item->Bitmap().Width(), item->Bitmap().Height()};
  const TMenu* menu = item->GetParentMenu();
  return MenuGlyphSize(bitmap, sizeOf(item->Parent() ? item->Parent()->SubMenuImages() : nullptr),
                       sizeOf(menu ? menu->Images() : nullptr), bitmapOnly);
}

std::vector<TsLevelItem> TsSkinableMenus::LevelOf(TMenuItem* item, int* index) const {
  std::vector<TsLevelItem> level;
  TMenuItem* parent = item->Parent();
  if (index != nullptr) *index = 0;
  if (parent == nullptr) return level;
  for (int i = 0; i < parent->Count(); ++i) {
    TMenuItem* it = parent->Items(i);
    auto m = measured_.find(it);
    const TSize size = m == measured_.end() ? TSize{0, 0} : m->second;
    level.push_back({it->Visible(), it->Break() != mbNone, size.cx, size.cy});
    if (it == item && index != nullptr) *index = i;
  }
  return level;
}

int TsSkinableMenus::ExtraLineWidthFor(const TacPopupCache* rec) const {
  if (manager_ == nullptr) return 0;
  const TacMenuSupport& ms = manager_->MenuSupport;
  return kv::ExtraLineWidthFor(ms.UseExtraLine, ms.ExtraLineWidth,
                               rec != nullptr && rec->ExtraLineVisible);
}

bool TsSkinableMenus::QueryExtraLine(TMenuItem* firstItem) {
  if (firstItem == nullptr || firstItem->Name() == "SkinSelectItem") return false;
  extraLine.Section = "EXTRALINE";
  extraLine.Glyph.reset();
  extraLine.Caption = "Use OnGetExtraLineData event";
  bool visible = true;
  if (manager_ != nullptr && manager_->OnGetMenuExtraLineData) {
    TBitmap* glyph = nullptr;
    manager_->OnGetMenuExtraLineData(firstItem, extraLine.Section, extraLine.Caption, glyph,
                                     visible);
    extraLine.Glyph.reset(glyph);  // the toolkit frees what the event hands over
  }
  extraLine.Caption = RemoveAmpersands(extraLine.Caption);
  if (!visible) extraLine.Glyph.reset();
  return visible;
}

void TsSkinableMenus::MeasurePopupItem(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height) {
  auto* item = dynamic_cast<TMenuItem*>(Sender);
  if (item == nullptr || item->HasState(csDestroying) || ACanvas == nullptr) return;
  bool lineVisible = false;
  if (TacPopupCache* rec = FindPopupCache(item, 0, 0, nullptr)) {
    lineVisible = rec->ExtraLineVisible;
  } else if (item->Parent() != nullptr && item->Parent()->Count() > 0) {
    TMenuItem* first = item->Parent()->Items(0);
    if (!inExtraLineQuery_ && manager_ != nullptr && !manager_->HasState(csDesigning) &&
        first->Name() != "SkinSelectItem") {
      inExtraLineQuery_ = true;
      try {
        lineVisible = QueryExtraLine(first);
      } catch (...) {
        inExtraLineQuery_ = false;
        throw;
      }
      inExtraLineQuery_ = false;
    }
  }
  PrepareItemFont(ACanvas, item);
  HDC dc = ACanvas->Handle();
  const TSelectedObject font(dc, ACanvas->Font()->Handle());
  const TsMenuItemType type = MenuItemTypeOf(item->Caption(), false);
  const TSize glyph = GlyphSize(item, false);
  const std::string text = MeasuredText(type, item->Caption(), ShortCutToText(item->ShortCut()));
  int index = 0;
  const std::vector<TsLevelItem> level = LevelOf(item, &index);
  const int extra = lineVisible && manager_ != nullptr && manager_->MenuSupport.UseExtraLine &&
                            !ItemAfterBreak(level, index)
                        ? manager_->MenuSupport.ExtraLineWidth
                        : 0;
  Width = PopupItemWidth(spacing_, glyph.cx, TextExtent(dc, text).cx, extra);
  Height = PopupItemHeight(spacing_, type, TextExtent(dc, "W").cy, glyph.cy);
  measured_[item] = {Width, Height};
}

void TsSkinableMenus::MeasureTopLineItem(TObject* Sender, TCanvas* ACanvas, int& Width,
                                         int& Height) {
  auto* item = dynamic_cast<TMenuItem*>(Sender);
  if (item == nullptr || ACanvas == nullptr) return;
  Height = TopLineItemHeight(GetSystemMetrics(SM_CYMENU));
  HDC dc = ACanvas->Handle();
  const TSelectedObject font(dc, ACanvas->Font()->Handle());
  const TCustomImageList* images =
      item->GetParentMenu() != nullptr ? item->GetParentMenu()->Images() : nullptr;
  const int imageWidth = images != nullptr && item->ImageIndex() >= 0 ? images->Width() : 0;
  Width = TopLineItemWidth(TextExtent(dc, RemoveAmpersands(item->Caption())).cx, imageWidth);
}

// --- the pop-up cache --------------------------------------------------------------------

TacPopupCache* TsSkinableMenus::FindPopupCache(TMenuItem* item, int width, int height, HWND wnd) {
  if (item == nullptr) {
    if (wnd == nullptr) return nullptr;
    for (auto& rec : PopupCache)
      if (rec->Wnd == wnd) return rec.get();
    return nullptr;
  }
  TMenuItem* first =
      item->Parent() != nullptr && item->Parent()->Count() > 0 ? item->Parent()->Items(0) : item;
  for (auto& rec : PopupCache)
    if (rec->FirstItem == first) {
      // A level built before its window was known learns it now.
      if (rec->Wnd == nullptr && wnd != nullptr) rec->Wnd = wnd;
      return rec.get();
    }
  if (width == 0 || height <= 0) return nullptr;
  return BuildPopupCache(first, width, height, wnd);
}

TacPopupCache* TsSkinableMenus::BuildPopupCache(TMenuItem* firstItem, int width, int height,
                                                HWND wnd) {
  if (manager_ == nullptr) return nullptr;
  auto rec = std::make_unique<TacPopupCache>();
  rec->FirstItem = firstItem;
  rec->Wnd = wnd;
  if (!manager_->HasState(csDesigning)) rec->ExtraLineVisible = QueryExtraLine(firstItem);
  rec->Bitmap = std::make_unique<TBitmap>(width, height, pf24bit);
  TBitmap* bmp = rec->Bitmap.get();
  const TsSkinModel& skin = manager_->Skin();
  TBitmap* master = skin.MasterBitmap.get();
  const TRect all{0, 0, width, height};
  const int sbw = SkinBorderWidth();
  const int extra = ExtraLineWidthFor(rec.get());
  IconColumnWidth = IconColumnWidthFor(spacing_, GlyphSize(firstItem, false).cx);

  const int menuSection = skin.SectionIndexOf("MAINMENU");
  if (skin.IsSectionIndexValid(menuSection))
    PaintSectionBackground(menuSection, "MAINMENU", EmptyBgCacheInfo, 0, all, {0, 0}, bmp, &skin,
                           -1, -1, TransparentColor);
  const std::string& icoLine = manager_->MenuSupport.IcoLineSkin;
  const int icoSection = icoLine.empty() ? -1 : skin.SectionIndexOf(icoLine);
  if (skin.IsSectionIndexValid(icoSection) && height - 2 * sbw > 0) {
    const TRect strip = Bounds(extra + sbw, sbw, IconColumnWidth, height - 2 * sbw);
    const TsBgCacheInfo onPopup{bmp, 0, 0, 0, true};
    PaintSkinItem(icoSection, icoLine, onPopup, true, 0, strip, strip.TopLeft(), bmp, &skin);
  }
  const int border = skin.MaskIndexByNames("MAINMENU", "BORDERSMASK");
  if (skin.IsMaskIndexValid(border)) {
    const TsBgCacheInfo onPopup{bmp, 0, 0, 0, true};
    PaintMaskNinePart(bmp, all, false, onPopup, skin.MaskData[static_cast<size_t>(border)], master,
                      0, true);
  }
  if (extra > 0) PaintExtraLine(*bmp, firstItem);
  extraLine.Glyph.reset();

  BorderHoles.clear();
  if (skin.IsMaskIndexValid(border)) {
    const TsMaskData& mask = skin.MaskData[static_cast<size_t>(border)];
    AddMaskTransparentRects(BorderHoles, width, mask, master, 0, false);
    AddMaskTransparentRects(BorderHoles, width, mask, master, height - mask.WB, true);
  }
  if (wnd != nullptr) HookPopupWindow(wnd, bmp);
  PopupCache.push_back(std::move(rec));
  return PopupCache.back().get();
}

void TsSkinableMenus::PaintExtraLine(TBitmap& bitmap, TMenuItem* firstItem) {
  const TsSkinModel& skin = manager_->Skin();
  const int section = skin.SectionIndexOf(extraLine.Section);
  const int sbw = SkinBorderWidth();
  const int w = manager_->MenuSupport.ExtraLineWidth, h = bitmap.Height() - 2 * sbw;
  if (!skin.IsSectionIndexValid(section) || w <= 0 || h <= 0) return;
  TBitmap strip(w, h, pf24bit);
  const TsBgCacheInfo onPopup{&bitmap, sbw, sbw, 0, true};
  PaintSkinItem(section, extraLine.Section, onPopup, true, 0, {0, 0, w, h}, {0, 0}, &strip, &skin);
  int textBottom = h - kExtraLineBottom;
  if (extraLine.Glyph != nullptr && !extraLine.Glyph->Empty()) {
    const TBitmap& g = *extraLine.Glyph;
    // Drawn, not copied: a glyph with a transparent colour keeps the line
    // showing round its picture.
    TBitmapCanvas canvas(strip);
    canvas.Draw((w - g.Width()) / 2, h - kExtraLineBottom - g.Height(), g);
    textBottom = h - g.Height() - 20;
  }
  if (!extraLine.Caption.empty()) {
    TFont& source = *manager_->MenuSupport.ExtraLineFont;
    LOGFONTW lf{};
    lf.lfHeight = source.Size();
    lf.lfEscapement = lf.lfOrientation = -2700;  // written bottom-up
    lf.lfWeight = FW_NORMAL;
    lf.lfItalic = (source.Style() & fsItalic) != 0;
    lf.lfUnderline = (source.Style() & fsUnderline) != 0;
    lf.lfStrikeOut = (source.Style() & fsStrikeOut) != 0;
    const TCustomForm* form = OwningForm(firstItem);
    lf.lfCharSet = form != nullptr ? form->Font()->Charset() : source.Charset();
    const std::wstring face = Wide(source.Name()).substr(0, LF_FACESIZE - 1);
    std::copy(face.begin(), face.end(), lf.lfFaceName);
    TBitmapCanvas canvas(strip);
    HDC dc = canvas.Handle();
    HFONT rotated = CreateFontIndirectW(&lf);
    if (rotated != nullptr) {
      const TSelectedObject selected(dc, rotated);
      const std::wstring text = Wide(extraLine.Caption);
      SIZE size{};
      GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
      const auto& general = skin.GeneralData[static_cast<size_t>(section)];
      SetTextColor(dc, static_cast<COLORREF>(general.FontColor[0]));
      SetBkMode(dc, TRANSPARENT);
      TextOutW(dc, (w - size.cy) / 2, textBottom, text.c_str(), static_cast<int>(text.size()));
    }
    if (rotated != nullptr) DeleteObject(rotated);
  }
  CopyPixels(&bitmap, sbw, sbw, &strip, 0, 0, w, h);
}

void TsSkinableMenus::HookPopupWindow(HWND wnd, TBitmap* bitmap) {
  if (busy_ || !IsPopupMenuWindow(wnd)) return;
  if (std::find(hookedPopups.begin(), hookedPopups.end(), wnd) != hookedPopups.end()) return;
  if (!SubclassForeign(wnd, &hookedPopups, PopupWndProc)) return;
  hookedPopups.push_back(wnd);
  if (!IsNTPlatform || bitmap == nullptr) return;
  if (SendCommandToWindow(wnd, cmdSetSuspended, 0) != 0) return;
  SendCommandToWindow(wnd, cmdMenuPrivate14, 0);
  busy_ = true;
  // Once per window: the region is built from the holes of this level's mask.
  HRGN region = Counted(CreateRectRgn(0, 0, bitmap->Width(), bitmap->Height()));
  const auto cut = [&](const TRect& r) {
    HRGN hole = CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom);
    CombineRgn(region, region, hole, RGN_DIFF);
    DeleteObject(hole);
  };
  if (BorderHoles.empty())
    cut({0, 0, 1, 1});
  else
    for (const TRect& r : BorderHoles) cut(r);
  // The window owns the region once it is set.
  if (SetWindowRgn(wnd, region, TRUE) != 0)
    Uncounted(region);
  else
    DeleteObject(Uncounted(region));
  busy_ = false;
}

// --- painting ----------------------------------------------------------------------------

void TsSkinableMenus::PaintFrameBeside(HWND wnd, TBitmap* popup, TPoint origin, TRect r, int x,
                                       bool first, bool last) {
  HDC dc = GetWindowDC(wnd);
  if (dc == nullptr) return;
  const int w = popup->Width(), h = popup->Height();
  const int top = origin.Y + r.Top;
  // Only the strips at the window's edges: in a level with columns the
  // other columns' items lie on the same rows, and a short last column has
  // the first column's items below its end.
  const int side = std::max(spacing_.BorderWidth, origin.X);
  const int bottom = std::max(spacing_.BorderWidth, origin.Y);
  if (first) BlitBitmap(dc, 0, 0, *popup, 0, 0, w, top);
  if (last) BlitBitmap(dc, 0, h - bottom, *popup, 0, h - bottom, w, bottom);
  BlitBitmap(dc, 0, top, *popup, 0, top, x + std::max(SkinBorderWidth(), side), r.Height());
  BlitBitmap(dc, w - side, top, *popup, w - side, top, side, r.Height());
  ReleaseDC(wnd, dc);
}

void TsSkinableMenus::DrawPopupItem(TObject* Sender, TCanvas* ACanvas, TRect ARect,
                                    TOwnerDrawState State) {
  auto* item = dynamic_cast<TMenuItem*>(Sender);
  if (manager_ == nullptr || !active_ || item == nullptr || ACanvas == nullptr) return;
  if (ARect.Width() <= 0 || ARect.Height() <= 0) return;
  menuInUse = true;
  HDC targetDC = ACanvas->Handle();
  HWND wnd = IsNTPlatform ? WindowFromDC(targetDC) : nullptr;
  if (wnd != nullptr && !IsWindow(wnd)) wnd = nullptr;
  int index = 0;
  const std::vector<TsLevelItem> level = LevelOf(item, &index);
  TPoint origin{spacing_.BorderWidth, spacing_.BorderWidth};
  int width = PopupWidth(level) + 2 * spacing_.BorderWidth;
  int height = PopupHeight(level) + 2 * spacing_.BorderWidth;
  if (wnd != nullptr) {
    RECT wr{};
    GetWindowRect(wnd, &wr);
    width = wr.right - wr.left;
    height = wr.bottom - wr.top;
    origin = ClientOrigin(wnd);
  }
  TacPopupCache* rec = FindPopupCache(item, width, height, wnd);
  TBitmap* popup = rec != nullptr ? rec->Bitmap.get() : nullptr;
  const bool afterBreak = ItemAfterBreak(level, index);
  const int x = afterBreak ? 0 : ExtraLineWidthFor(rec);
  if (wnd != nullptr && popup != nullptr) {
    PaintFrameBeside(wnd, popup, origin, ARect, x, index == FirstVisibleItem(level),
                     index == LastVisibleItem(level));
  } else if (wnd == nullptr && Application != nullptr) {
    MSG pending;
    if (!PeekMessageW(&pending, Application->Handle(), kMenuItemPopup, kMenuWindowPopup,
                      PM_NOREMOVE))
      PostMessageW(Application->Handle(), kMenuItemPopup, 0, reinterpret_cast<LPARAM>(item));
  }
  const TsMenuItemType type = MenuItemTypeOf(item->Caption(), false);
  if (type == smDivider) {
    DrawDivider(item, ACanvas, ARect, popup, origin, x);
    return;
  }
  if (type == smCaption) {
    DrawCaptionItem(item, ACanvas, ARect, popup, origin, x);
    return;
  }
  if (popup == nullptr) return;

  const TsSkinModel& skin = manager_->Skin();
  const int w = ARect.Width() - x, h = ARect.Height();
  if (w <= 0) return;
  const bool enabled = item->Enabled() && (State & (odDisabled | odGrayed)) == 0;
  const bool selected = (State & odSelected) != 0;
  const bool hot = enabled && (selected || (State & odHotLight) != 0);
  const TPoint place{origin.X + ARect.Left + x, origin.Y + ARect.Top};

  // Column gaps the items do not cover.
  const bool last = index == static_cast<int>(level.size()) - 1;
  const bool nextBreaks = !last && level[static_cast<size_t>(index) + 1].Break;
  const int bottomLimit = popup->Height() - 2 * origin.Y;
  if ((nextBreaks || last) && ARect.Bottom < bottomLimit)
    BlitBitmap(targetDC, ARect.Left, ARect.Bottom, *popup, origin.X + ARect.Left,
               origin.Y + ARect.Bottom, ARect.Width(), bottomLimit - ARect.Bottom);
  if (level[static_cast<size_t>(index)].Break && ARect.Left >= 4)
    BlitBitmap(targetDC, ARect.Left - 4, 0, *popup, origin.X + ARect.Left - 4, origin.Y, 4,
               bottomLimit);

  TBitmap bmp(w, h, pf24bit);
  const int itemSection = skin.SectionIndexOf("MENUITEM");
  const TsBgCacheInfo onPopup{popup, place.X, place.Y, 0, true};
  CopyPixels(&bmp, 0, 0, popup, place.X, place.Y, w, h);
  if (skin.IsSectionIndexValid(itemSection))
    PaintSkinItem(itemSection, "MENUITEM", onPopup, true, enabled && selected ? 1 : 0, {0, 0, w, h},
                  {0, 0}, &bmp, &skin);

  const TSize glyph = GlyphSize(item, false);
  // Right-to-left items are mirrored: glyphs at the right, text right-aligned.
  const bool rtl = item->GetParentMenu() != nullptr && item->GetParentMenu()->IsRightToLeft();
  const auto PlaceX = [&](int left, int width) { return rtl ? w - left - width : left; };
  TCustomImageList* images = item->GetImageList();
  const bool hasImage = images != nullptr && item->ImageIndex() >= 0;
  const bool hasBitmap = !item->Bitmap().Empty();
  if ((State & odChecked) != 0 && !hasBitmap && !hasImage) {
    int mask = item->RadioItem() ? skin.MaskIndexByNames("GLOBALINFO", "RADIOCHECKED")
                                 : skin.MaskIndexByNames("GLOBALINFO", "CHECK");
    if (!skin.IsMaskIndexValid(mask)) mask = skin.MaskIndexByNames("GLOBALINFO", "BOXCHECKED");
    if (skin.IsMaskIndexValid(mask)) {
      const TSize ms = skin.GetMaskStateSize(mask);
      const TsBgCacheInfo onItem{&bmp, 0, 0, 0, true};
      DrawMaskState(&bmp, {PlaceX(spacing_.Margin, ms.cx), (h - ms.cy) / 2},
                    enabled && selected ? 1 : 0, onItem, skin.MaskData[static_cast<size_t>(mask)],
                    skin.MasterBitmap.get(), 1);
    }
  }
  if (hasBitmap || hasImage) {
    const int gw = hasBitmap ? item->Bitmap().Width() : images->Width();
    const int gh = hasBitmap ? item->Bitmap().Height() : images->Height();
    const int d = (h - gh) / 2;
    const int gx = PlaceX(d, gw);
    if ((State & odChecked) != 0) {
      const int frame = skin.SectionIndexOf("SPEEDBUTTON_SMALL");
      const TRect around{gx - 1, d - 1, gx + gw + 1, d + gh + 1};
      const TsBgCacheInfo onItem{&bmp, 0, 0, 0, true};
      if (skin.IsSectionIndexValid(frame) && around.Left >= 0 && around.Top >= 0 &&
          around.Right <= w && around.Bottom <= h)
        PaintSkinItem(frame, "SPEEDBUTTON_SMALL", onItem, true, 2, around, {0, 0}, &bmp, &skin);
    }
    if (hasBitmap) {
      TBitmap& g = item->Bitmap();
      if (g.BytesPerPixel() == 4) {
        CopyRectWithTransparency({gx, d, gx + gw, d + gh}, {0, 0, gw, gh}, &bmp, &g,
                                 EmptyBgCacheInfo, false);
      } else {
        TBitmapCanvas canvas(bmp);
        canvas.Draw(gx, d, g);
      }
    } else {
      TBitmapCanvas canvas(bmp);
      images->Draw(&canvas, gx, d, item->ImageIndex(), true);
    }
  } else if (const TMenu* menu = item->GetParentMenu();
             menu != nullptr && menu->Name() == "SysMenu") {
    const wchar_t* sign = item->Tag() == SC_MINIMIZE   ? L"0"
                          : item->Tag() == SC_MAXIMIZE ? L"1"
                          : item->Tag() == SC_RESTORE  ? L"2"
                          : item->Tag() == SC_CLOSE    ? L"r"
                                                       : nullptr;
    if (sign != nullptr) {
      TBitmapCanvas canvas(bmp);
      TFont webdings;
      webdings.SetName("Webdings");
      webdings.SetSize(10);
      canvas.Font()->Assign(webdings);
      const int th = canvas.TextExtent("r").cy;
      const int left = PlaceX(kSysGlyphTextLeft, th + 10);
      const TRect r{left, 0, left + th + 10, h};
      WriteSectionText(canvas, Narrow(sign), true, r, DT_SINGLELINE | DT_VCENTER, itemSection, hot,
                       manager_);
    }
  }

  {
    TBitmapCanvas canvas(bmp);
    canvas.Font()->Assign(*ACanvas->Font());
    PrepareItemFont(&canvas, item);
    std::string caption = item->Caption();
    UINT align = alignment_ == taRightJustify ? DT_RIGHT
                 : alignment_ == taCenter     ? DT_CENTER
                                              : DT_LEFT;
    if (!caption.empty() && caption.front() == '\b') {
      caption = caption.substr(1) + "      ";
      align = DT_RIGHT;
    }
    if (rtl && align != DT_CENTER) align = align == DT_RIGHT ? DT_LEFT : DT_RIGHT;
    const UINT flags = align | DT_EXPANDTABS | DT_SINGLELINE | DT_VCENTER | DT_NOCLIP |
                       ((State & odNoAccel) != 0 ? DT_HIDEPREFIX : 0);
    const int textLeft = PopupTextLeft(spacing_, glyph.cx);
    const TRect textRect = rtl ? TRect{0, 0, w - textLeft, h} : TRect{textLeft, 0, w, h};
    WriteSectionText(canvas, caption, true, textRect, flags, itemSection, hot, manager_);
    const std::string keys = ShortCutToText(item->ShortCut());
    if (!keys.empty()) {
      const TRect keysRect = ShortcutTextRect(w, h, canvas.TextExtent(keys).cx, 0, rtl);
      WriteSectionText(canvas, keys, true, keysRect, DT_SINGLELINE | DT_VCENTER, itemSection, hot,
                       manager_);
    }
    if (OnDrawItem) OnDrawItem(item, &canvas, TRect{0, 0, w, h}, State, smNormal);
  }
  if (!enabled)
    BlendBitmapRect(&bmp, 0, 0, popup, {place.X, place.Y, place.X + w - 1, place.Y + h - 1},
                    kDisabledBlend, TransparentColor);
  BlitBitmap(targetDC, ARect.Left + x, ARect.Top, bmp, 0, 0, w, h);
  // The extra line down the whole level, left of where the items start (Wine
  // insets the items inside the client area, Windows puts its frame outside).
  if (x > 0 && index == 0)
    BlitBitmap(targetDC, 0, 0, *popup, origin.X, origin.Y, ARect.Left + x,
               popup->Height() - 2 * origin.Y);
}

void TsSkinableMenus::DrawDivider(TMenuItem* item, TCanvas* canvas, TRect r, TBitmap* popup,
                                  TPoint origin, int x) {
  (void)item;
  HDC dc = canvas->Handle();
  const TsSkinModel& skin = manager_->Skin();
  const int mask = skin.MaskIndexByNames("DIVIDERV", "BORDERSMASK");
  if (!skin.IsMaskIndexValid(mask) || popup == nullptr) {
    TRect frame = r;
    int frameWidth = 1;
    DrawFrame3D(dc, frame, 0x808080, 0xFFFFFF, frameWidth);
    return;
  }
  const int w = r.Width(), h = r.Height();
  TBitmap bmp(w, h, pf24bit);
  CopyPixels(&bmp, 0, 0, popup, origin.X + r.Left, origin.Y + r.Top, w, h);
  const TRect line = DividerRect(spacing_, w, h, x, IconColumnWidth);
  const TsBgCacheInfo onItem{&bmp, 0, 0, 0, true};
  if (line.Width() > 0)
    PaintMaskNinePart(&bmp, line, true, onItem, skin.MaskData[static_cast<size_t>(mask)],
                      skin.MasterBitmap.get(), 0, true);
  BlitBitmap(dc, r.Left, r.Top, bmp, 0, 0, w, h);
}

void TsSkinableMenus::DrawCaptionItem(TMenuItem* item, TCanvas* canvas, TRect r, TBitmap* popup,
                                      TPoint origin, int x) {
  if (popup == nullptr) return;
  const int w = r.Width(), h = r.Height();
  TBitmap bmp(w, h, pf24bit);
  CopyPixels(&bmp, 0, 0, popup, origin.X + r.Left, origin.Y + r.Top, w, h);
  const TsSkinModel& skin = manager_->Skin();
  const int section = skin.SectionIndexOf("TOOLBAR");
  const TsBgCacheInfo onPopup{popup, origin.X + r.Left, origin.Y + r.Top, 0, true};
  const TRect inner{x + 1, 1, w - 1, h - 1};
  if (skin.IsSectionIndexValid(section) && inner.Width() > 0 && inner.Height() > 0)
    PaintSkinItem(section, "TOOLBAR", onPopup, true, 0, inner, {inner.Left, inner.Top}, &bmp,
                  &skin);
  {
    TBitmapCanvas bc(bmp);
    bc.Font()->Assign(*canvas->Font());
    bc.Font()->Assign(*captionFont_);
    WriteSectionText(bc, CaptionItemText(item->Caption()), true, {x, 0, w, h},
                     DT_HIDEPREFIX | DT_SINGLELINE | DT_VCENTER | DT_CENTER, section, false,
                     manager_);
  }
  BlitBitmap(canvas->Handle(), r.Left, r.Top, bmp, 0, 0, w, h);
}

void TsSkinableMenus::DrawTopLineItem(TObject* Sender, TCanvas* ACanvas, TRect ARect,
                                      TOwnerDrawState State) {
  auto* item = dynamic_cast<TMenuItem*>(Sender);
  if (manager_ == nullptr || item == nullptr || ACanvas == nullptr) return;
  const TMenu* menu = item->GetParentMenu();
  // A merged MDI child's menu is shown by the bar it is merged into.
  const TMenu* bar = menu;
  while (bar != nullptr && bar->MergedInto() != nullptr) bar = bar->MergedInto();
  if (bar == nullptr || bar->WindowHandle() == nullptr) return;
  TacFormProvider* provider = nullptr;
  try {
    provider = reinterpret_cast<TacFormProvider*>(
        SendCommandToWindow(bar->WindowHandle(), cmdGetProvider, 0));
  } catch (...) {
    provider = nullptr;
  }
  if (provider == nullptr) return;
  TBitmap* line = provider->MenuLineBmp();
  if (line == nullptr) return;
  const int w = ARect.Width(), h = ARect.Height();
  if (w <= 0 || h <= 0) return;
  const POINT offset = provider->MenuLineOffset(
      ACanvas->Handle(), RECT{ARect.Left, ARect.Top, ARect.Right, ARect.Bottom});
  const TPoint at{offset.x, offset.y};
  const TsSkinModel& skin = manager_->Skin();
  TBitmap bmp(w, h, pf24bit);
  CopyPixels(&bmp, 0, 0, line, at.X, at.Y, w, h);
  const bool enabled = item->Enabled() && (State & (odDisabled | odGrayed)) == 0;
  const bool hotLit = (State & odHotLight) != 0;
  const bool selected = (State & odSelected) != 0;
  const int section = skin.SectionIndexOf("MENUITEM");
  const TsBgCacheInfo onLine{line, at.X, at.Y, 0, true};
  if (skin.IsSectionIndexValid(section))
    PaintSkinItem(section, "MENUITEM", onLine, true, (selected && enabled) || hotLit ? 1 : 0,
                  {0, 0, w, h}, {0, 0}, &bmp, &skin);
  int imagePart = 0;
  {
    TBitmapCanvas canvas(bmp);
    TCustomImageList* images = menu->Images();
    // Right-to-left menus put the image at the right.
    const bool rtl = menu->IsRightToLeft();
    const auto PlaceX = [&](int width) { return rtl ? w - 3 - width : 3; };
    if (images != nullptr && item->ImageIndex() >= 0) {
      images->Draw(&canvas, PlaceX(images->Width()), (h - images->Height()) / 2, item->ImageIndex(),
                   true);
      imagePart = images->Width() + 6;
    } else if (!item->Bitmap().Empty()) {
      canvas.Draw(PlaceX(item->Bitmap().Width()), (h - item->Bitmap().Height()) / 2,
                  item->Bitmap());
    }
    canvas.Font()->Assign(*ACanvas->Font());
    PrepareItemFont(&canvas, item);
    const UINT align = alignment_ == taRightJustify ? DT_RIGHT
                       : alignment_ == taCenter     ? DT_CENTER
                                                    : DT_LEFT;
    const UINT flags = DT_SINGLELINE | DT_VCENTER | DT_NOCLIP | DT_EXPANDTABS | DT_CENTER | align |
                       ((State & odNoAccel) != 0 ? DT_HIDEPREFIX : 0);
    // Centred in the room beside the image, which the item was measured for.
    const TRect textRect = rtl ? TRect{0, 0, w - imagePart, h} : TRect{imagePart, 0, w, h};
    WriteSectionTextCore(canvas, item->Caption(), true, textRect, flags,
                         skin.SectionIndexOf("MENULINE"), enabled && (selected || hotLit),
                         manager_);
    if (OnDrawItem) OnDrawItem(item, &canvas, TRect{0, 0, w, h}, State, smTopLine);
  }
  if (!enabled)
    BlendBitmapRectFast(&bmp, line, kTopLineDisabledBlend, {at.X, at.Y, at.X + w, at.Y + h},
                        {0, 0});
  BlitBitmap(ACanvas->Handle(), ARect.Left, ARect.Top, bmp, 0, 0, w, h);
}

// --- services ----------------------------------------------------------------------------

void InstallMenuServices(TacFormServices& services) {
  services.CreateMenuPainter = [](TsSkinManager* manager) {
    painters[manager] = std::make_unique<TsSkinableMenus>(manager);
  };
  services.FreeMenuPainter = [](TsSkinManager* manager) {
    auto it = painters.find(manager);
    if (it == painters.end()) return;
    // Whatever is still switched to the painter's handlers is switched back.
    if (it->second->Active()) it->second->HookFormMenus(false);
    painters.erase(it);
    if (painters.empty()) {
      ClearPopupCache();
      ClearExtraLine();
    }
  };
  services.ForgetMenuSection = [](TsSkinManager* manager) {
    if (TsSkinableMenus* p = MenuPainterOf(manager)) p->ForgetSkinBorderWidth();
    ClearPopupCache();
  };
  services.ApplySkinActive = [](TsSkinManager* manager) {
    if (TsSkinableMenus* p = MenuPainterOf(manager)) p->ApplySkinActive();
  };
  services.FindPopupCache = [](TsSkinManager* manager, TMenuItem* item, HWND wnd) -> TBitmap* {
    TsSkinableMenus* p = MenuPainterOf(manager);
    TacPopupCache* rec = p != nullptr ? p->FindPopupCache(item, 0, 0, wnd) : nullptr;
    return rec != nullptr ? rec->Bitmap.get() : nullptr;
  };
  services.HookPopupWindow = [](TsSkinManager* manager, HWND wnd, TBitmap* bitmap) {
    if (TsSkinableMenus* p = MenuPainterOf(manager)) p->HookPopupWindow(wnd, bitmap);
  };
  services.SetMenuSkinned = [](TsSkinManager* manager, HMENU handle, bool enable) {
    TsSkinableMenus* p = MenuPainterOf(manager);
    if (p == nullptr || handle == nullptr) return;
    for (TPopupMenu* menu : std::vector<TPopupMenu*>(TPopupList::Menus()))
      if (menu->Items()->FindHandle(handle) == menu->Items()) p->SetMenuSkinned(menu, enable);
  };
}

}  // namespace kv
