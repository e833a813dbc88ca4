#include "skin/adapters/acGridWnd_win.h"

#include <commctrl.h>

#include "classlib/Controls.h"
#include "classlib/Grids.h"
#include "skin/adapters/acListViewWnd_win.h"
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

// The system bar takes the position a skinned bar's thumb was moved to:
// the window reads it from there.
void StoreBarPosition(HWND wnd, bool vertical, int position) {
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_POS;
  si.nPos = position;
  SetScrollInfo(wnd, vertical ? SB_VERT : SB_HORZ, &si, FALSE);
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
    if (g.OnlyWithControlLook && !controlLook) continue;
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
  // The manager is inactive by the time it tells of the removal; the grid
  // still has to build its system bars again.
  if (m.Msg == SM_ALPHACMD && m.WParamHi() == cmdSkinRemoved && !Destroyed && Hooked() &&
      reinterpret_cast<TsSkinManager*>(m.LParam) == SkinManager) {
    TacEditWnd::WndProc(m);
    ResetGridBars();
    return;
  }
  if (Destroyed || !Hooked() || !SkinUsable()) {
    TacEditWnd::WndProc(m);
    return;
  }
  switch (m.Msg) {
    case WM_ERASEBKGND:
      // The grid paints all its client; only whether it may paint is news.
      SetPaintingSuspended(SkinData, PaintingSuspended(SkinData));
      m.Result = 1;
      return;
    case WM_VSCROLL:
      // A data-aware grid moves to the record its bar's position names.
      if (TControl* owner = SkinData->OwnerControl;
          owner != nullptr && PropertyExists(owner, "DataSource")) {
        const int code = LOWORD(m.WParam);
        if (code == SB_THUMBPOSITION)
          StoreBarPosition(CtrlHandle, true, ScrollMessagePosition(m) + 1);
        else if (code == SB_THUMBTRACK)
          StoreBarPosition(CtrlHandle, true, ScrollMessagePosition(m));
      }
      break;
    default:
      break;
  }
  TacEditWnd::WndProc(m);
  if (Destroyed) return;
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
// its owner asked for a colour of its own.
TColor TacTreeViewWnd::TreeBackColor() const {
  const TsGeneralData* section = SkinData->Section();
  if (DlgMode || section == nullptr) return static_cast<TColor>(ColorToRGB(clWindow));
  if (SkinData->OwnerControl != nullptr && SkinData->CustomColor())
    return static_cast<TColor>(ColorToRGB(SkinData->OwnerControl->Color()));
  return static_cast<TColor>(section->HotColor);
}

void TacTreeViewWnd::ApplySkinState() {
  TacEditWnd::ApplySkinState();
  StateApplied = true;
  if (CtrlHandle == nullptr) return;
  const TsGeneralData* section = SkinData->Section();
  if (DlgMode || section == nullptr) {
    SendMessageW(CtrlHandle, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(TreeBackColor()));
    return;
  }
  const TColor text = section->HotFontColor[0];
  if (TControl* owner = SkinData->OwnerControl; owner != nullptr) {
    if (!SkinData->CustomFont() && owner->Font()->Color() != text) owner->Font()->SetColor(text);
    if (!SkinData->CustomColor() && ColorToRGB(owner->Color()) != ColorToRGB(TreeBackColor()))
      SendMessageW(CtrlHandle, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(TreeBackColor()));
  } else {
    SendMessageW(CtrlHandle, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(TreeBackColor()));
  }
  // The system tree does not follow its owner's font colour on its own.
  if (!SkinData->CustomFont())
    SendMessageW(CtrlHandle, TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(ColorToRGB(text)));
}

void TacTreeViewWnd::RestoreOriginalState() {
  TacEditWnd::RestoreOriginalState();
  if (CtrlHandle == nullptr || !IsWindow(CtrlHandle)) return;
  // The owner's own colour again, else the system's (-1).
  TControl* owner = SkinData->OwnerControl;
  const LPARAM back = owner != nullptr && !owner->HasState(csDestroying)
                          ? static_cast<LPARAM>(ColorToRGB(owner->Color()))
                          : static_cast<LPARAM>(-1);
  SendMessageW(CtrlHandle, TVM_SETBKCOLOR, 0, back);
  SendMessageW(CtrlHandle, TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(-1));
}

void TacTreeViewWnd::WndProc(TMessage& m) {
  if (m.Msg == WM_ERASEBKGND && !Destroyed && Hooked() && SkinUsable()) {
    TsCommonData* sd = SkinData;
    if (!StateApplied) ApplySkinState();
    SetPaintingSuspended(sd, PaintingSuspended(sd));
    if (!sd->Updating) {
      // The frame's picture follows a changed background before the border shows it.
      if (sd->BGChanged) PaintAdapterFrame(sd, CtrlHandle, DlgMode);
      RECT r{};
      GetWindowRect(CtrlHandle, &r);
      HDC given = reinterpret_cast<HDC>(m.WParam);
      HDC dc = given != nullptr ? given : GetDC(CtrlHandle);
      FillRectWithColor(dc, {0, 0, r.right - r.left, r.bottom - r.top}, TreeBackColor());
      if (given == nullptr) ReleaseDC(CtrlHandle, dc);
    }
    // Not erased as far as the tree knows: it paints its items over it.
    m.Result = 0;
    return;
  }
  TacEditWnd::WndProc(m);
  if (m.Msg == WM_LBUTTONUP && !Destroyed) ReleaseCapture();
}

// --- virtual tree -----------------------------------------------------------------------

void TacVirtualTreeViewWnd::WndProc(TMessage& m) {
  if (!Destroyed && Hooked() && SkinUsable()) {
    switch (m.Msg) {
      case WM_HSCROLL:
      case WM_VSCROLL:
        if (LOWORD(m.WParam) == SB_THUMBTRACK)
          StoreBarPosition(CtrlHandle, m.Msg == WM_VSCROLL, ScrollMessagePosition(m));
        break;
      case WM_ERASEBKGND:
        // The tree paints its whole client.
        m.Result = 1;
        return;
      default:
        break;
    }
  }
  // The frame and the bars (WM_NCPAINT, WM_PRINT) as an edit's.
  TacEditWnd::WndProc(m);
}

}  // namespace kv
