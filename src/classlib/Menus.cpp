#include "classlib/Menus.h"

#include <algorithm>
#include <cstdio>

#include "base/SysUtils.h"
#include "classlib/Forms.h"
#include "classlib/ImgList.h"
#include "classlib/WideText.h"

namespace kv {

namespace {
// Commands fit in WM_COMMAND's low word and are never 0.
UINT NextCommand() {
  static UINT next = 0;
  next = next % 0xFFFF + 1;
  return next;
}

// Room around the parts of a default-painted owner-drawn item.
constexpr int kMargin = 3;
constexpr int kGlyphGap = 6;

std::wstring StripAmpersands(const std::wstring& text) {
  std::wstring out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'&' && i + 1 < text.size()) ++i;
    out += text[i];
  }
  return out;
}

TSize TextSize(HDC dc, const std::wstring& text) {
  RECT r{0, 0, 1, 0};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
            DT_CALCRECT | DT_NOCLIP | DT_EXPANDTABS | DT_SINGLELINE);
  return {r.right - r.left, r.bottom - r.top};
}

// The picture of an item in a menu the system draws: blended over the menu
// colour beforehand, as not every system blends menu bitmaps itself.
HBITMAP MenuBitmapFrom(const TBitmap& image) {
  if (image.Empty()) return nullptr;
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = image.Width();
  bi.bmiHeader.biHeight = -image.Height();
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (dib == nullptr) return nullptr;
  auto* out = static_cast<uint8_t*>(bits);
  const int bpp = image.BytesPerPixel();
  const COLORREF menu = GetSysColor(COLOR_MENU);
  const int back[3] = {GetBValue(menu), GetGValue(menu), GetRValue(menu)};
  for (int y = 0; y < image.Height(); ++y) {
    const uint8_t* in = image.ScanLine(y);
    for (int x = 0; x < image.Width(); ++x, in += bpp, out += 4) {
      const int a = bpp == 4 ? in[3] : 255;
      for (int c = 0; c < 3; ++c) {
        const int v = bpp == 1 ? in[0] : in[c];
        out[c] = static_cast<uint8_t>((v * a + back[c] * (255 - a)) / 255);
      }
      out[3] = 255;
    }
  }
  GdiFlush();
  return dib;
}

struct TKeyName {
  WORD key;
  const char* name;
};
constexpr TKeyName kKeyNames[] = {
    {VK_BACK, "BkSp"},   {VK_TAB, "Tab"},    {VK_ESCAPE, "Esc"}, {VK_RETURN, "Enter"},
    {VK_SPACE, "Space"}, {VK_PRIOR, "PgUp"}, {VK_NEXT, "PgDn"},  {VK_END, "End"},
    {VK_HOME, "Home"},   {VK_LEFT, "Left"},  {VK_UP, "Up"},      {VK_RIGHT, "Right"},
    {VK_DOWN, "Down"},   {VK_INSERT, "Ins"}, {VK_DELETE, "Del"},
};
constexpr const char* kShiftNames[] = {"Shift+", "Ctrl+", "Alt+"};
constexpr TShortCut kShiftBits[] = {scShift, scCtrl, scAlt};

std::string KeyName(WORD key) {
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::string(1, char(key));
  if (key >= VK_F1 && key <= VK_F24) return "F" + std::to_string(key - VK_F1 + 1);
  for (const TKeyName& k : kKeyNames)
    if (k.key == key) return k.name;
  return {};
}
}  // namespace

void AssignMenuFont(TFont& font) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) return;
  font.SetName(Narrow(metrics.lfMenuFont.lfFaceName));
  font.SetHeight(metrics.lfMenuFont.lfHeight);
  font.SetCharset(metrics.lfMenuFont.lfCharSet);
}

TOwnerDrawState OwnerDrawState(UINT s) {
  TOwnerDrawState state = 0;
  if (s & ODS_SELECTED) state |= odSelected;
  if (s & ODS_GRAYED) state |= odGrayed;
  if (s & ODS_DISABLED) state |= odDisabled;
  if (s & ODS_CHECKED) state |= odChecked;
  if (s & ODS_FOCUS) state |= odFocus;
  if (s & ODS_DEFAULT) state |= odDefault;
  if (s & ODS_HOTLIGHT) state |= odHotLight;
  if (s & ODS_INACTIVE) state |= odInactive;
  if (s & ODS_NOACCEL) state |= odNoAccel;
  if (s & ODS_NOFOCUSRECT) state |= odNoFocusRect;
  if (s & ODS_COMBOBOXEDIT) state |= odComboBoxEdit;
  return state;
}

TShortCut ShortCut(WORD key, TShiftState shift) {
  if (key & 0xFF00) return scNone;
  TShortCut result = key;
  if (shift & ssShift) result |= scShift;
  if (shift & ssCtrl) result |= scCtrl;
  if (shift & ssAlt) result |= scAlt;
  return result;
}

std::string ShortCutToText(TShortCut shortCut) {
  const std::string name = KeyName(shortCut & 0xFF);
  if (name.empty()) return {};
  std::string text;
  for (int i = 0; i < 3; ++i)
    if (shortCut & kShiftBits[i]) text += kShiftNames[i];
  return text + name;
}

TShortCut TextToShortCut(const std::string& text) {
  std::string rest = text;
  TShortCut shift = 0;
  for (bool found = true; found;) {
    found = false;
    for (int i = 0; i < 3; ++i) {
      const std::string prefix = kShiftNames[i];
      if (rest.size() > prefix.size() && SameText(rest.substr(0, prefix.size()), prefix)) {
        shift |= kShiftBits[i];
        rest.erase(0, prefix.size());
        found = true;
      }
    }
  }
  for (int key = 1; key < 0xFF; ++key) {
    const std::string name = KeyName(static_cast<WORD>(key));
    if (!name.empty() && SameText(name, rest)) return static_cast<TShortCut>(key | shift);
  }
  return scNone;
}

// --- TMenuItem ----------------------------------------------------------------

// The bar of a menu with another merged in: before each own item come the
// merged items of a group up to its own, and an own item whose group the
// merged menu has is left out; merged items of higher groups go last.
static std::vector<TMenuItem*> MergedItems(const std::vector<TMenuItem*>& own,
                                           const std::vector<TMenuItem*>& merged) {
  std::vector<TMenuItem*> out;
  size_t next = 0;
  for (TMenuItem* item : own) {
    const uint8_t group = item->GroupIndex();
    while (next < merged.size() && merged[next]->GroupIndex() <= group)
      out.push_back(merged[next++]);
    const bool replaced = std::any_of(merged.begin(), merged.end(),
                                      [group](TMenuItem* m) { return m->GroupIndex() == group; });
    if (!replaced) out.push_back(item);
  }
  out.insert(out.end(), merged.begin() + static_cast<std::ptrdiff_t>(next), merged.end());
  return out;
}

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner), command_(NextCommand()) {}

TMenuItem::~TMenuItem() {
  while (!items_.empty()) {
    TMenuItem* item = items_.back();
    items_.pop_back();
    item->parent_ = nullptr;
    if (item->Owner() == nullptr) item->Free();
  }
  if (parent_ != nullptr) parent_->Remove(this);
  if (handle_ != nullptr) {
    // Sub-menus belong to their own items: take them out before destroying ours.
    while (GetMenuItemCount(handle_) > 0) RemoveMenu(handle_, 0, MF_BYPOSITION);
    DestroyMenu(handle_);
  }
  FreeImageBitmap();
}

void TMenuItem::FreeImageBitmap() {
  if (imageBitmap_ != nullptr) DeleteObject(Uncounted(imageBitmap_));
  imageBitmap_ = nullptr;
}

void TMenuItem::MenuChanged(bool rebuild) {
  TMenu* menu = GetParentMenu();
  if (menu == nullptr) return;
  if (rebuild) menu->MenuChanged();
}

void TMenuItem::Notification(TComponent* component, TOperation operation) {
  if (operation == opRemove && component == subMenuImages_) subMenuImages_ = nullptr;
  TComponent::Notification(component, operation);
}

void TMenuItem::SetCaption(const std::string& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  MenuChanged(true);
}

#define KV_MENU_SETTER(Name, field)       \
  void TMenuItem::Set##Name(bool value) { \
    if (value == field) return;           \
    field = value;                        \
    MenuChanged(true);                    \
  }
KV_MENU_SETTER(Checked, checked_)
KV_MENU_SETTER(Enabled, enabled_)
KV_MENU_SETTER(Visible, visible_)
KV_MENU_SETTER(Default, default_)
KV_MENU_SETTER(RadioItem, radioItem_)
#undef KV_MENU_SETTER

void TMenuItem::SetBreak(TMenuBreak value) {
  if (value == break_) return;
  break_ = value;
  MenuChanged(true);
}

void TMenuItem::SetShortCut(TShortCut value) {
  if (value == shortCut_) return;
  shortCut_ = value;
  MenuChanged(true);
}

void TMenuItem::SetImageIndex(int value) {
  if (value == imageIndex_) return;
  imageIndex_ = value;
  MenuChanged(true);
}

void TMenuItem::SetSubMenuImages(TCustomImageList* images) {
  if (images == subMenuImages_) return;
  if (subMenuImages_ != nullptr) RemoveFreeNotification(subMenuImages_);
  subMenuImages_ = images;
  if (images != nullptr) FreeNotification(images);
  MenuChanged(true);
}

TMenuItem* TMenuItem::Items(int index) const {
  if (index < 0 || index >= Count())
    throw ERangeError("Menu index out of bounds (" + std::to_string(index) + ")");
  return items_[static_cast<size_t>(index)];
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (item == nullptr || item == this || item->parent_ == this) return;
  // An item may not become a sub-item of its own sub-item.
  for (TMenuItem* p = this; p != nullptr; p = p->parent_)
    if (p == item) return;
  if (item->parent_ != nullptr) item->parent_->Remove(item);
  index = std::clamp(index, 0, Count());
  items_.insert(items_.begin() + index, item);
  item->parent_ = this;
  MenuChanged(true);
}

void TMenuItem::Remove(TMenuItem* item) {
  auto it = std::find(items_.begin(), items_.end(), item);
  if (it == items_.end()) return;
  items_.erase(it);
  item->parent_ = nullptr;
  // Its system menu may still hold the sub-menu of the removed item.
  if (handle_ != nullptr)
    for (int i = GetMenuItemCount(handle_) - 1; i >= 0; --i)
      if (item->handle_ != nullptr && GetSubMenu(handle_, i) == item->handle_)
        RemoveMenu(handle_, static_cast<UINT>(i), MF_BYPOSITION);
  MenuChanged(true);
}

void TMenuItem::Delete(int index) { Remove(Items(index)); }

void TMenuItem::Clear() {
  while (!items_.empty()) {
    TMenuItem* item = items_.back();
    Remove(item);
    item->Free();
  }
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
  auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

int TMenuItem::MenuIndex() const { return parent_ == nullptr ? -1 : parent_->IndexOf(this); }

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* item = this;
  while (item->parent_ != nullptr) item = item->parent_;
  return item->menu_;
}

TCustomImageList* TMenuItem::GetImageList() const {
  if (parent_ != nullptr && parent_->subMenuImages_ != nullptr) return parent_->subMenuImages_;
  TMenu* menu = GetParentMenu();
  return menu != nullptr ? menu->Images() : nullptr;
}

void TMenuItem::Click() {
  if (OnClick) OnClick(this);
}

TMenuItem* TMenuItem::FindCommand(UINT command) {
  if (command_ == command) return this;
  for (TMenuItem* item : items_)
    if (TMenuItem* found = item->FindCommand(command)) return found;
  return nullptr;
}

TMenuItem* TMenuItem::FindHandle(HMENU handle) {
  if (handle_ != nullptr && handle_ == handle) return this;
  for (TMenuItem* item : items_)
    if (TMenuItem* found = item->FindHandle(handle)) return found;
  return nullptr;
}

TMenuItem* TMenuItem::FindShortCut(TShortCut shortCut) {
  if (shortCut_ != 0 && shortCut_ == shortCut && enabled_ && visible_) return this;
  for (TMenuItem* item : items_)
    if (TMenuItem* found = item->FindShortCut(shortCut)) return found;
  return nullptr;
}

void TMenuItem::AppendTo(HMENU menu) {
  if (!visible_) return;
  TMenu* owner = GetParentMenu();
  const bool ownerDraw = owner != nullptr && owner->OwnerDraw();
  MENUITEMINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_DATA;
  info.wID = command_;
  info.dwItemData = command_;
  if (ownerDraw) info.fType |= MFT_OWNERDRAW;
  if (IsLine()) {
    info.fType |= MFT_SEPARATOR;
    InsertMenuItemW(menu, static_cast<UINT>(GetMenuItemCount(menu)), TRUE, &info);
    return;
  }
  if (radioItem_) info.fType |= MFT_RADIOCHECK;
  if (break_ == mbBreak) info.fType |= MFT_MENUBREAK;
  if (break_ == mbBarBreak) info.fType |= MFT_MENUBARBREAK;
  info.fState =
      (checked_ ? MFS_CHECKED : 0) | (enabled_ ? 0 : MFS_GRAYED) | (default_ ? MFS_DEFAULT : 0);
  // The text stays with owner-drawn items too: accelerators and readers use it.
  std::wstring text = Wide(caption_);
  const bool onBar =
      parent_ != nullptr && parent_->parent_ == nullptr && owner != nullptr && !owner->IsPopup();
  if (shortCut_ != 0 && !onBar) text += L"\t" + Wide(ShortCutToText(shortCut_));
  info.fMask |= MIIM_STRING;
  info.dwTypeData = text.data();
  if (!items_.empty()) {
    info.fMask |= MIIM_SUBMENU;
    info.hSubMenu = Handle();
  }
  FreeImageBitmap();
  if (!ownerDraw) {
    if (!bitmap_.Empty()) {
      imageBitmap_ = Counted(MenuBitmapFrom(bitmap_));
    } else if (TCustomImageList* images = GetImageList(); images != nullptr && imageIndex_ >= 0) {
      TBitmap image;
      if (images->GetBitmap(imageIndex_, image)) imageBitmap_ = Counted(MenuBitmapFrom(image));
    }
    if (imageBitmap_ != nullptr) {
      info.fMask |= MIIM_BITMAP;
      info.hbmpItem = imageBitmap_;
    }
  }
  InsertMenuItemW(menu, static_cast<UINT>(GetMenuItemCount(menu)), TRUE, &info);
}

void TMenuItem::Rebuild() {
  if (handle_ == nullptr) return;
  while (GetMenuItemCount(handle_) > 0) RemoveMenu(handle_, 0, MF_BYPOSITION);
  const bool merging = parent_ == nullptr && menu_ != nullptr && menu_->merged_ != nullptr;
  for (TMenuItem* item : merging ? MergedItems(items_, menu_->merged_->items_->items_) : items_) {
    item->Rebuild();
    item->AppendTo(handle_);
  }
}

HMENU TMenuItem::Handle() {
  if (handle_ == nullptr) {
    TMenu* menu = GetParentMenu();
    const bool bar = parent_ == nullptr && menu != nullptr && !menu->IsPopup();
    handle_ = bar ? CreateMenu() : CreatePopupMenu();
    Rebuild();
  }
  return handle_;
}

void TMenuItem::MeasureItem(TCanvas* canvas, int& width, int& height) {
  const bool topLevel = parent_ != nullptr && parent_->parent_ == nullptr &&
                        GetParentMenu() != nullptr && !GetParentMenu()->IsPopup();
  TCustomImageList* images = GetImageList();
  const int glyphW = !bitmap_.Empty() ? bitmap_.Width() : images != nullptr ? images->Width() : 16;
  const int glyphH = !bitmap_.Empty()    ? bitmap_.Height()
                     : images != nullptr ? images->Height()
                                         : 16;
  HDC dc = canvas->Handle();
  {
    const TSelectedObject font(dc, canvas->Font()->Handle());
    const TSize line = TextSize(dc, L"W");
    if (IsLine()) {
      width = 2 * kMargin;
      height = kMargin * 2 + 2;
    } else if (topLevel) {
      width = TextSize(dc, StripAmpersands(Wide(caption_))).cx + 2 * kMargin;
      if (images != nullptr && imageIndex_ >= 0) width += images->Width() + kMargin;
      height = std::max<int>(line.cy, GetSystemMetrics(SM_CYMENU) - 1);
    } else {
      std::wstring text = StripAmpersands(Wide(caption_));
      if (shortCut_ != 0) text += L"    " + Wide(ShortCutToText(shortCut_));
      width = glyphW + kGlyphGap + TextSize(dc, text).cx + 3 * kMargin + glyphW;
      height = std::max<int>(line.cy * 5 / 4, glyphH) + 2 * kMargin / 3;
    }
  }
  if (OnMeasureItem) OnMeasureItem(this, canvas, width, height);
}

void TMenuItem::AdvancedDrawItem(TCanvas* canvas, const TRect& rect, TOwnerDrawState state,
                                 bool topLevel) {
  if (OnAdvancedDrawItem) {
    OnAdvancedDrawItem(this, canvas, rect, state);
  } else if (OnDrawItem) {
    OnDrawItem(this, canvas, rect, (state & odSelected) != 0);
  } else {
    DrawItem(canvas, rect, state, topLevel);
  }
}

void TMenuItem::DrawItem(TCanvas* canvas, const TRect& rect, TOwnerDrawState state, bool topLevel) {
  HDC dc = canvas->Handle();
  RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  const bool selected = (state & (odSelected | odHotLight)) != 0;
  const bool disabled = (state & (odGrayed | odDisabled)) != 0 || !enabled_;
  FillRect(dc, &r,
           GetSysColorBrush(selected && !disabled ? COLOR_HIGHLIGHT
                            : topLevel            ? COLOR_MENUBAR
                                                  : COLOR_MENU));
  if (IsLine()) {
    RECT line{r.left + kMargin, (r.top + r.bottom) / 2 - 1, r.right - kMargin, r.bottom};
    DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
    return;
  }
  TCustomImageList* images = GetImageList();
  int textLeft = r.left + kMargin;
  if (!topLevel) {
    const int glyphW = images != nullptr ? images->Width() : 16;
    const int glyphH = images != nullptr ? images->Height() : 16;
    const int gx = r.left + kMargin, gy = r.top + (r.bottom - r.top - glyphH) / 2;
    if (images != nullptr && imageIndex_ >= 0 && imageIndex_ < images->Count()) {
      images->Draw(canvas, gx, gy, imageIndex_, !disabled);
    } else if (checked_) {
      RECT box{gx, gy, gx + glyphW, gy + glyphH};
      DrawFrameControl(dc, &box, DFC_MENU, radioItem_ ? DFCS_MENUBULLET : DFCS_MENUCHECK);
    }
    textLeft = gx + glyphW + kGlyphGap;
  } else if (images != nullptr && imageIndex_ >= 0) {
    images->Draw(canvas, textLeft, r.top + (r.bottom - r.top - images->Height()) / 2, imageIndex_,
                 !disabled);
    textLeft += images->Width() + kMargin;
  }
  const TSelectedObject font(dc, canvas->Font()->Handle());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(disabled   ? COLOR_GRAYTEXT
                               : selected ? COLOR_HIGHLIGHTTEXT
                                          : COLOR_MENUTEXT));
  const UINT hide = (state & odNoAccel) ? DT_HIDEPREFIX : 0;
  RECT tr{textLeft, r.top, r.right - kMargin, r.bottom};
  const std::wstring text = Wide(caption_);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &tr,
            DT_SINGLELINE | DT_VCENTER | DT_LEFT | hide);
  if (shortCut_ != 0 && !topLevel) {
    const std::wstring keys = Wide(ShortCutToText(shortCut_));
    DrawTextW(dc, keys.c_str(), static_cast<int>(keys.size()), &tr,
              DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX);
  }
}

// --- TMenu ----------------------------------------------------------------------

TMenu::TMenu(TComponent* owner) : TComponent(owner), items_(Create<TMenuItem>(nullptr)) {
  items_->menu_ = this;
}

TMenu::~TMenu() {
  // The root item is ours; its sub-items without owner go with it.
  std::unique_ptr<TMenuItem, TComponentDeleter> root(items_);
}

void TMenu::BeforeDestruction() {
  // Neither the bar it is shown in nor the menu shown in it may keep it.
  if (mergedInto_ != nullptr) mergedInto_->SetMerged(nullptr);
  SetMerged(nullptr);
  // A form still showing this menu must not keep it.
  if (Screen != nullptr)
    for (int i = Screen->FormCount() - 1; i >= 0; --i)
      if (Screen->Forms(i)->Menu() == this) Screen->Forms(i)->SetMenu(nullptr);
  TComponent::BeforeDestruction();
}

TBiDiMode TMenu::BiDiMode() const {
  const auto* owner = dynamic_cast<const TControl*>(Owner());
  return parentBiDiMode_ && owner != nullptr ? owner->BiDiMode() : biDiMode_;
}

HMENU TMenu::Handle() { return items_->Handle(); }

void TMenu::SetImages(TCustomImageList* images) {
  if (images == images_) return;
  if (images_ != nullptr) RemoveFreeNotification(images_);
  images_ = images;
  if (images != nullptr) FreeNotification(images);
  MenuChanged();
}

void TMenu::SetOwnerDraw(bool value) {
  if (value == ownerDraw_) return;
  ownerDraw_ = value;
  MenuChanged();
}

void TMenu::Notification(TComponent* component, TOperation operation) {
  if (operation == opRemove && component == images_) images_ = nullptr;
  TComponent::Notification(component, operation);
}

void TMenu::SetMerged(TMenu* menu) {
  if (menu == merged_) return;
  if (merged_ != nullptr) merged_->mergedInto_ = nullptr;
  if (menu != nullptr && menu->mergedInto_ != nullptr) menu->mergedInto_->SetMerged(nullptr);
  merged_ = menu;
  if (menu != nullptr) menu->mergedInto_ = this;
  MenuChanged();
}

bool TMenu::DispatchCommand(UINT command) {
  TMenuItem* item = FindItem(command, fkCommand);
  if (item == nullptr) return false;
  item->Click();
  return true;
}

TMenuItem* TMenu::FindItem(UINT_PTR value, TFindItemKind kind) {
  TMenuItem* item = nullptr;
  switch (kind) {
    case fkCommand:
      item = items_->FindCommand(static_cast<UINT>(value));
      break;
    case fkHandle:
      item = items_->FindHandle(reinterpret_cast<HMENU>(value));
      break;
    case fkShortCut:
      item = items_->FindShortCut(static_cast<TShortCut>(value));
      break;
  }
  if (item == items_) item = nullptr;
  // The items of a merged menu are in the bar too.
  if (item == nullptr && merged_ != nullptr) item = merged_->FindItem(value, kind);
  return item;
}

bool TMenu::IsShortCut(WORD key, TShiftState shift) {
  const TShortCut sc = ShortCut(key, shift & (ssShift | ssCtrl | ssAlt));
  if (sc == scNone) return false;
  TMenuItem* item = FindItem(sc, fkShortCut);
  // Every parent on the way must be usable too.
  for (TMenuItem* p = item != nullptr ? item->Parent() : nullptr; p != nullptr; p = p->Parent())
    if (!p->Enabled() || !p->Visible()) return false;
  if (item == nullptr) return false;
  item->Click();
  return true;
}

void TMenu::MenuChanged() {
  items_->Rebuild();
  if (mergedInto_ != nullptr) mergedInto_->MenuChanged();
}

void TMenu::SetWindowHandle(HWND wnd) { window_ = wnd; }

bool TMenu::HandleMenuMessage(TMessage& m) {
  if (m.Msg == WM_MEASUREITEM) {
    auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
    if (mis == nullptr || mis->CtlType != ODT_MENU) return false;
    TMenuItem* item = FindItem(mis->itemData, fkCommand);
    if (item == nullptr) return false;
    HDC dc = CreateCompatibleDC(nullptr);
    {
      TCanvas canvas;
      const TCanvasBinding binding(canvas, dc);
      AssignMenuFont(*canvas.Font());
      if (item->Default()) canvas.Font()->SetStyle(fsBold);
      int width = 0, height = 0;
      item->MeasureItem(&canvas, width, height);
      mis->itemWidth = static_cast<UINT>(std::max(width, 0));
      mis->itemHeight = static_cast<UINT>(std::max(height, 0));
    }
    DeleteDC(dc);
    m.Result = 1;
    return true;
  }
  if (m.Msg == WM_DRAWITEM) {
    auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
    if (dis == nullptr || dis->CtlType != ODT_MENU) return false;
    TMenuItem* item = FindItem(dis->itemData, fkCommand);
    if (item == nullptr) return false;
    {
      const TSavedDC saved(dis->hDC);
      TCanvas canvas;
      const TCanvasBinding binding(canvas, dis->hDC);
      AssignMenuFont(*canvas.Font());
      if (item->Default()) canvas.Font()->SetStyle(fsBold);
      // Merged items are top-level items of their own menu.
      const bool topLevel =
          item->Parent() != nullptr && item->Parent()->Parent() == nullptr && !IsPopup();
      const RECT& r = dis->rcItem;
      item->AdvancedDrawItem(&canvas, TRect(r.left, r.top, r.right, r.bottom),
                             OwnerDrawState(dis->itemState), topLevel);
    }
    m.Result = 1;
    return true;
  }
  return false;
}

void TMainMenu::Merge(TMainMenu* menu) {
  if (menu != this) SetMerged(menu);
}

void TMainMenu::Unmerge(TMainMenu* menu) {
  if (menu != nullptr && menu == Merged()) SetMerged(nullptr);
}

void TMainMenu::MenuChanged() {
  TMenu::MenuChanged();
  if (WindowHandle() == nullptr) return;
  // A form that paints its own menu bar learns of the change here.
  SendMessageW(WindowHandle(), CM_MENUCHANGED, 0, 0);
  DrawMenuBar(WindowHandle());
}

// --- pop-up menus ---------------------------------------------------------------

namespace {
std::vector<TPopupMenu*>& PopupMenus() {
  static std::vector<TPopupMenu*> menus;
  return menus;
}

LRESULT CALLBACK PopupListWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  try {
    TMessage m{msg, wParam, lParam, 0};
    switch (msg) {
      case WM_MEASUREITEM:
      case WM_DRAWITEM:
        for (TPopupMenu* menu : std::vector<TPopupMenu*>(PopupMenus()))
          if (menu->HandleMenuMessage(m)) return m.Result;
        break;
      case WM_COMMAND:
        if (HIWORD(wParam) == 0 && lParam == 0)
          for (TPopupMenu* menu : std::vector<TPopupMenu*>(PopupMenus()))
            if (menu->DispatchCommand(LOWORD(wParam))) return 0;
        break;
      case WM_INITMENUPOPUP:
        // A sub-menu about to open: its item's click lets the program update it.
        for (TPopupMenu* menu : std::vector<TPopupMenu*>(PopupMenus()))
          if (TMenuItem* item = menu->FindItem(wParam, fkHandle)) {
            item->Click();
            return 0;
          }
        break;
    }
  } catch (...) {
    HandleEntryException(nullptr);
    return 0;
  }
  return DefWindowProcW(wnd, msg, wParam, lParam);
}
}  // namespace

HWND TPopupList::Window() {
  static HWND wnd = nullptr;
  if (wnd == nullptr || !IsWindow(wnd)) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = PopupListWndProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TPopupList";
    RegisterClassW(&wc);
    wnd = CreateWindowExW(WS_EX_TOOLWINDOW, L"TPopupList", L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                          nullptr, wc.hInstance, nullptr);
    if (wnd == nullptr) throw EOutOfResources("Cannot create the pop-up list window");
  }
  return wnd;
}

void TPopupList::Add(TPopupMenu* menu) { PopupMenus().push_back(menu); }

void TPopupList::Remove(TPopupMenu* menu) {
  auto& menus = PopupMenus();
  menus.erase(std::remove(menus.begin(), menus.end(), menu), menus.end());
}

const std::vector<TPopupMenu*>& TPopupList::Menus() { return PopupMenus(); }

TPopupMenu::TPopupMenu(TComponent* owner) : TMenu(owner) { TPopupList::Add(this); }

TPopupMenu::~TPopupMenu() { TPopupList::Remove(this); }

void TPopupMenu::SetPopupComponent(TComponent* component) {
  if (component == popupComponent_) return;
  if (popupComponent_ != nullptr) RemoveFreeNotification(popupComponent_);
  popupComponent_ = component;
  if (component != nullptr) FreeNotification(component);
}

void TPopupMenu::Notification(TComponent* component, TOperation operation) {
  if (operation == opRemove && component == popupComponent_) popupComponent_ = nullptr;
  TMenu::Notification(component, operation);
}

void TPopupMenu::Popup(int x, int y) {
  if (OnPopup) OnPopup(this);
  HWND owner = TPopupList::Window();
  UINT flags = TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN;
  if (menuAnimation_ & maNone) flags |= TPM_NOANIMATION;
  // TPM_RETURNCMD: the choice comes back here; the list window still gets
  // the measure, draw and sub-menu messages while the menu is shown.
  const UINT cmd = static_cast<UINT>(TrackPopupMenu(Handle(), flags, x, y, 0, owner, nullptr));
  if (cmd != 0) DispatchCommand(cmd);
}

}  // namespace kv
