// The form's menu line in the skinned frame: where the menu bar's items lie,
// how many lines they take, their painting into the frame cache through the
// skinned menu items, and the form's menus switched with the skin.
#include <algorithm>
#include <vector>

#include "classlib/Menus.h"
#include "skin/core/sCommonData_win.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/forms/sSkinProvider_win.h"
#include "skin/menus/sSkinMenus_win.h"

namespace kv {

namespace {

// A top item of the menu bar with its place in window coordinates.
struct TBarItem {
  TMenuItem* Item;
  TRect Rect;
};

// The menu bar's items as the system laid them out. Hidden items have no
// place in the bar; an item is found by the command its entry carries.
std::vector<TBarItem> BarItems(HWND wnd, TMainMenu* menu) {
  std::vector<TBarItem> items;
  HMENU bar = wnd != nullptr ? GetMenu(wnd) : nullptr;
  if (bar == nullptr || menu == nullptr) return items;
  RECT window{};
  GetWindowRect(wnd, &window);
  const int count = GetMenuItemCount(bar);
  for (int pos = 0; pos < count; ++pos) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_DATA;
    RECT r{};
    if (!GetMenuItemInfoW(bar, static_cast<UINT>(pos), TRUE, &info) ||
        !GetMenuItemRect(wnd, bar, static_cast<UINT>(pos), &r))
      continue;
    // An active MDI child's merged items are top items of their own menu.
    TMenuItem* item = menu->FindItem(info.dwItemData, fkCommand);
    if (item == nullptr || item->Parent() == nullptr || item->Parent()->Parent() != nullptr)
      continue;
    items.push_back({item, Rect(r.left - window.left, r.top - window.top, r.right - window.left,
                                r.bottom - window.top)});
  }
  return items;
}

// Items the skinned menus draw: visible, with both owner-draw handlers.
bool Drawable(const TMenuItem* item) {
  return item->Visible() && item->OnMeasureItem && item->OnAdvancedDrawItem;
}

}  // namespace

bool TsSkinProvider::HasVisibleMenuItem() const {
  TMainMenu* menu = form_ != nullptr ? form_->Menu() : nullptr;
  if (menu == nullptr) return false;
  for (const TMenu* m = menu; m != nullptr; m = m->Merged()) {
    TMenuItem* root = m->Items();
    for (int i = 0; i < root->Count(); ++i)
      if (root->Items(i)->Visible()) return true;
  }
  return false;
}

int TsSkinProvider::CountMenuLines() {
  if (MenuLineCount >= 0) return MenuLineCount;
  TMainMenu* menu = form_ != nullptr ? form_->Menu() : nullptr;
  const std::vector<TBarItem> items = BarItems(FormHandle(), menu);
  // The lines are where the system put the items: it sized the client
  // area by them, so a band of any other height would leave a line
  // unpainted or cover the client.
  std::vector<int> rows, widths;
  for (const TBarItem& b : items) {
    if (!Drawable(b.Item)) continue;
    widths.push_back(b.Rect.Width());
    if (std::find(rows.begin(), rows.end(), b.Rect.Top) == rows.end()) rows.push_back(b.Rect.Top);
  }
  if (!rows.empty()) return MenuLineCount = static_cast<int>(rows.size());
  if (items.empty()) return 1;  // not laid out yet: counted on the next painting
  return MenuLineCount = kv::CountMenuLines(Geometry(), widths);
}

void TsSkinProvider::MenuChanged() {
  if (form_ == nullptr || (form_->FormState() & fsCreating) != 0) return;
  MenuLineCount = -1;
  FrameRepaintNeeded = true;
  skinData_->BGChanged = true;
  // Items added since the menu was skinned get the painter's handlers
  // before the bar is measured again. Switching the menu on or off comes
  // back here; a menu switched off is left alone.
  static bool reskinning = false;
  TMainMenu* menu = form_->Menu();
  if (reskinning || menu == nullptr || !menu->OwnerDraw() || !SkinAvailable(skinData_.get(), true))
    return;
  reskinning = true;
  SkinFormMenus(true);
  reskinning = false;
}

POINT TsSkinProvider::MenuLineOffset(HDC dc, const RECT& item) const {
  const TBitmap* cache = skinData_->CacheBmp.get();
  TPoint at{item.left, item.top};
  // The system paints a hot or opened item on the window itself; the frame
  // cache lies around the window by the border form's parts.
  if (cache == nullptr || GetCurrentObject(dc, OBJ_BITMAP) != cache->Handle()) {
    const TsFrameGeometry g = Geometry();
    at.X += g.ExtraBorderWidth() + g.State.ShadowMargins.Left;
    at.Y += g.ExtraTitleHeight() + g.State.ShadowMargins.Top;
    if (g.State.BorderForm && MaximisedTitle) at.Y += 4;
  }
  return POINT{at.X - menuLineOrigin_.X, at.Y - menuLineOrigin_.Y};
}

void TsSkinProvider::PaintMenuLineItems(TBitmap* cache) {
  TMainMenu* menu = form_ != nullptr ? form_->Menu() : nullptr;
  if (cache == nullptr || menu == nullptr) return;
  const TsFrameGeometry g = Geometry();
  const TPoint shift{g.ExtraBorderWidth() + g.State.ShadowMargins.Left +
                         (MaximisedTitle && g.State.BorderForm ? 4 : 0),
                     g.ExtraTitleHeight() + g.State.ShadowMargins.Top};
  TBitmapCanvas canvas(*cache);
  for (const TBarItem& b : BarItems(FormHandle(), menu)) {
    if (!Drawable(b.Item)) continue;
    AssignMenuFont(*canvas.Font());
    TRect r = b.Rect;
    OffsetRect(r, shift.X, shift.Y);
    b.Item->OnAdvancedDrawItem(b.Item, &canvas, r, odNoAccel | odReserved1);
  }
}

void TsSkinProvider::SkinFormMenus(bool skinned) {
  TsSkinManager* manager = SkinManager();
  if (form_ == nullptr || manager == nullptr || manager != DefaultManager || HasState(csDesigning))
    return;
  TsSkinableMenus* painter = MenuPainterOf(manager);
  if (painter == nullptr) return;
  painter->SkinMenusOf(form_, skinned && drawNonClientArea_, skinned && manager->SkinnedPopups());
}

}  // namespace kv
