#include "skin/adapters/acGridWnd_win.h"

#include <commctrl.h>

#include "classlib/Controls.h"
#include "classlib/Grids.h"
#include "skin/adapters/acMainWndTables.h"
#include "skin/core/acUtils_win.h"
#include "skin/core/sCommonData_win.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/core/sVclUtils_win.h"
#include "skin/graphics/sGraphUtils.h"

namespace kv {
namespace {

// clNone does not survive being saved and written back; such a colour
// comes back as the button face.
constexpr std::int64_t ColorNone = 0x1FFFFFFF;

// "TitleFont.Color" reaches the object property first.
struct TPropPath {
  TObject* Object = nullptr;
  std::string_view Name;
};
TPropPath Resolve(TObject* owner, std::string_view path) {
  const size_t dot = path.find('.');
  if (dot == std::string_view::npos) return {owner, path};
  TObject* sub = ObjectPropByName(owner, path.substr(0, dot));
  if (sub == nullptr) return {};
  return Resolve(sub, path.substr(dot + 1));
}

bool Exists(const TPropPath& p) { return p.Object != nullptr && PropertyExists(p.Object, p.Name); }

TColor SkinColor(TacGridColorSource source, TsCommonData* sd) {
  const TsSkinModel& skin = sd->SkinManager()->Skin();
  const auto c = [](std::int32_t v) { return static_cast<TColor>(v); };
  switch (source) {
    case TacGridColorSource::GlobalColor:
      return c(skin.GetGlobalInfoColor());
    case TacGridColorSource::GlobalFontColor:
      return c(skin.GetGlobalInfoFontColor());
    case TacGridColorSource::BorderColor:
      return sd->SkinManager()->CommonSkinData().BorderColor;
    case TacGridColorSource::GridLineMix:
      return MixColorsByFraction(c(skin.GetGlobalInfoHotColor()), c(skin.GetEditHotFontColor()),
                                 0.5);
    case TacGridColorSource::GradientFromMix:
      return MixColorsByFraction(c(skin.GetGlobalInfoColor()), c(skin.GetGlobalInfoHotColor()),
                                 0.5);
    case TacGridColorSource::MenuHotColor:
      return c(skin.GetMenuHotColor());
    case TacGridColorSource::MenuHotFontColor:
      return c(skin.GetMenuHotFontColor());
    case TacGridColorSource::OwnSectionFontColor: {
      const TsGeneralData* section = sd->Section();
      return section != nullptr ? c(section->FontColor[0]) : clWindowText;
    }
  }
  return clWindow;
}

}  // namespace

// --- grid -------------------------------------------------------------------------------

void TacGridWnd::SaveOriginalState() {
  TacEditWnd::SaveOriginalState();
  saved_.clear();
  TControl* owner = SkinData->OwnerControl;
  if (owner == nullptr) return;
  const bool controlLook = PropertyExists(owner, "ControlLook");
  for (const TacGridColor& g : GridColors()) {
    if (!g.Saved || (g.OnlyWithControlLook && !controlLook)) continue;
    const TPropPath p = Resolve(owner, g.Property);
    if (!Exists(p)) continue;
    std::int64_t value = OrdPropByName(p.Object, p.Name);
    if (g.NoneSavedAsBtnFace && value == ColorNone) value = clBtnFace;
    saved_.push_back({g.Property, value});
  }
}

void TacGridWnd::ApplySkinState() {
  TacEditWnd::ApplySkinState();
  TControl* owner = SkinData->OwnerControl;
  if (owner == nullptr || SkinData->SkinManager() == nullptr) return;
  const bool controlLook = PropertyExists(owner, "ControlLook");
  for (const TacGridColor& g : GridColors()) {
    if (g.OnlyWithControlLook && !controlLook) continue;
    const TPropPath p = Resolve(owner, g.Property);
    if (Exists(p)) SetOrdPropByName(p.Object, p.Name, SkinColor(g.Source, SkinData));
  }
}

void TacGridWnd::RestoreOriginalState() {
  TacEditWnd::RestoreOriginalState();
  TControl* owner = SkinData->OwnerControl;
  if (owner == nullptr || owner->HasState(csDestroying)) return;
  for (const TSavedColor& s : saved_) {
    const TPropPath p = Resolve(owner, s.Property);
    if (Exists(p)) SetOrdPropByName(p.Object, p.Name, s.Value);
  }
}

void TacGridWnd::WndProc(TMessage& m) {
  if (Destroyed || !Hooked() || !SkinUsable()) {
    TacEditWnd::WndProc(m);
    return;
  }
  if (m.Msg == WM_ERASEBKGND) {
    m.Result = 1;
    return;
  }
  const bool removed = m.Msg == SM_ALPHACMD && m.WParamHi() == cmdSkinRemoved &&
                       reinterpret_cast<TsSkinManager*>(m.LParam) == SkinData->SkinManager();
  TacEditWnd::WndProc(m);
  if (Destroyed) {
    if (removed) ResetGridBars();
    return;
  }
  switch (m.Msg) {
    case WM_PRINT: {
      HDC dc = reinterpret_cast<HDC>(m.WParam);
      RECT client{};
      ClientRectInWindow(CtrlHandle, client);
      const int saved = SaveDC(dc);
      OffsetViewportOrgEx(dc, client.left, client.top, nullptr);
      IntersectClipRect(dc, 0, 0, client.right - client.left, client.bottom - client.top);
      SendMessageW(CtrlHandle, WM_PAINT, m.WParam, 0);
      RestoreDC(dc, saved);
      break;
    }
    case WM_PAINT:
      UpdateScrollBarInfo(this, true);
      break;
    case WM_WINDOWPOSCHANGED:
      if (IsWindowVisible(CtrlHandle)) SendMessageW(CtrlHandle, WM_NCPAINT, 0, 0);
      break;
    default:
      if (removed) ResetGridBars();
      break;
  }
}

void TacGridWnd::ResetGridBars() {
  // Setting the bars again makes the grid build its system bars anew.
  auto* grid = dynamic_cast<TStringGrid*>(SkinData->OwnerControl);
  if (grid == nullptr || grid->HasState(csDestroying) || !grid->HandleAllocated()) return;
  const TScrollStyle bars = grid->ScrollBars();
  grid->SetScrollBars(ssNone);
  grid->SetScrollBars(bars);
}

// --- tree view --------------------------------------------------------------------------

// A tree shows the section's hot colours (a dialog's tree keeps the window colour), unless
// its owner asked for a colour or font of its own.
TColor TacTreeViewWnd::TreeBackColor() const {
  const TsGeneralData* section = SkinData->Section();
  if (DlgMode || section == nullptr) return static_cast<TColor>(ColorToRGB(clWindow));
  if (SkinData->OwnerControl != nullptr && SkinData->CustomColor())
    return static_cast<TColor>(ColorToRGB(SkinData->OwnerControl->Color()));
  return static_cast<TColor>(section->HotColor);
}

void TacTreeViewWnd::ApplySkinState() {
  TacEditWnd::ApplySkinState();
  if (CtrlHandle == nullptr) return;
  SendMessageW(CtrlHandle, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(TreeBackColor()));
  const TsGeneralData* section = SkinData->Section();
  if (!DlgMode && section != nullptr && !SkinData->CustomFont())
    SendMessageW(CtrlHandle, TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(section->HotFontColor[0]));
}

void TacTreeViewWnd::RestoreOriginalState() {
  TacEditWnd::RestoreOriginalState();
  if (CtrlHandle == nullptr || !IsWindow(CtrlHandle)) return;
  // The system colours again.
  SendMessageW(CtrlHandle, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(-1));
  SendMessageW(CtrlHandle, TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(-1));
}

void TacTreeViewWnd::WndProc(TMessage& m) {
  if (m.Msg == WM_ERASEBKGND && !Destroyed && Hooked() && SkinUsable()) {
    if (!StateApplied) ApplySkinState();
    RECT r{};
    GetClientRect(CtrlHandle, &r);
    HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(TreeBackColor()));
    FillRect(reinterpret_cast<HDC>(m.WParam), &r, brush);
    DeleteObject(brush);
    m.Result = 1;
    return;
  }
  TacEditWnd::WndProc(m);
  if (m.Msg == WM_LBUTTONUP && !Destroyed) ReleaseCapture();
}

}  // namespace kv
