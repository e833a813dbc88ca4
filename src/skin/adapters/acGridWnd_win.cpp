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

// The bar's position becomes its track position (plus offset): a thumb
// dragged far moves by more than the message's 16 bits can tell, and the
// window reads its position from the bar.
void PositionAtTrack(HWND wnd, bool vertical, int offset) {
  const int bar = vertical ? SB_VERT : SB_HORZ;
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  if (!GetScrollInfo(wnd, bar, &si)) return;
  si.fMask = SIF_ALL;
  si.nPos = si.nTrackPos + offset;
  SetScrollInfo(wnd, bar, &si, FALSE);
}

constexpr std::string_view VetColors[] = {"VETColors.CompressedTextColor",
                                          "VETColors.FileTextColor", "VETColors.FolderTextColor"};

// Writes value to the property the path names, when the object has it.
void SetByPath(TObject* owner, std::string_view path, std::int64_t value) {
  const TPropPath p = Resolve(owner, path);
  if (Exists(p)) SetOrdPropByName(p.Object, p.Name, value);
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
  for (const TacSavedColor& s : saved_) {
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
        // A data set counts its records from one.
        const int code = LOWORD(m.WParam);
        if (code == SB_THUMBPOSITION)
          PositionAtTrack(CtrlHandle, true, 1);
        else if (code == SB_THUMBTRACK)
          PositionAtTrack(CtrlHandle, true, 0);
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

void TacVirtualTreeViewWnd::SaveOriginalState() {
  TacEditWnd::SaveOriginalState();
  saved_.clear();
  TControl* owner = SkinData->OwnerControl;
  if (owner == nullptr) return;
  for (std::string_view path : VetColors)
    if (const TPropPath p = Resolve(owner, path); Exists(p))
      saved_.push_back({path, OrdPropByName(p.Object, p.Name)});
}

void TacVirtualTreeViewWnd::ApplySkinState() {
  TacEditWnd::ApplySkinState();
  TControl* owner = SkinData->OwnerControl;
  const TsGeneralData* section = SkinData->Section();
  if (owner == nullptr || section == nullptr || SkinData->SkinManager() == nullptr) return;
  for (std::string_view path : VetColors) SetByPath(owner, path, section->HotFontColor[0]);
  if (!PropertyExists(owner, "PaintInfoColumn")) return;
  const TsSkinModel& skin = SkinData->SkinManager()->Skin();
  SetByPath(owner, "PaintInfoColumn.Color", skin.GetGlobalInfoColor());
  SetByPath(owner, "PaintInfoColumn.Style", 1);
  SetByPath(owner, "Header.Color", skin.GetGlobalInfoHotColor());
  SetByPath(owner, "Header.Font.Color", skin.GetGlobalInfoFontColor());
  if (CtrlHandle != nullptr)
    RedrawWindow(CtrlHandle, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
  SetByPath(owner, "Themed", 0);
}

void TacVirtualTreeViewWnd::RestoreOriginalState() {
  TacEditWnd::RestoreOriginalState();
  TControl* owner = SkinData->OwnerControl;
  if (owner == nullptr || owner->HasState(csDestroying)) return;
  for (const TacSavedColor& s : saved_) SetByPath(owner, s.Property, s.Value);
  if (!PropertyExists(owner, "PaintInfoColumn")) return;
  SetByPath(owner, "Themed", 1);
  SetByPath(owner, "PaintInfoColumn.Color", clBtnFace);
  SetByPath(owner, "Header.Color", clBtnFace);
  SetByPath(owner, "Header.Font.Color", clBtnText);
}

int TacVirtualTreeViewWnd::HeaderHeight() const {
  TControl* owner = SkinData->OwnerControl;
  if (owner == nullptr) return 0;
  TObject* header = ObjectPropByName(owner, "Header");
  if (header == nullptr || !PropertyExists(header, "Options") ||
      !SetPropHasElement(header, "Options", "hoVisible") || !PropertyExists(header, "Height"))
    return 0;
  return static_cast<int>(OrdPropByName(header, "Height"));
}

void TacVirtualTreeViewWnd::PrepareFrame(bool always) {
  TsCommonData* sd = SkinData;
  RefreshGeometry();
  if (always) sd->BGChanged = true;
  if (sd->BGChanged || !sd->CacheBmp) {
    if (!StateApplied) ApplySkinState();
    PaintAdapterFrame(sd, CtrlHandle, DlgMode);
  }
}

void TacVirtualTreeViewWnd::CopyFrame(HDC dc) {
  TsCommonData* sd = SkinData;
  FillBorderFromParent(sd, 0, this);
  if (!sd->CacheBmp) return;
  TBitmapCanvas cache(*sd->CacheBmp);
  CopyBorderStrips(dc, 0, 0, WndSize.cx, WndSize.cy, cache.Handle(), 0, 0, FrameWidths.Left);
}

void TacVirtualTreeViewWnd::NcPaint(HRGN update) {
  TsCommonData* sd = SkinData;
  SetPaintingSuspended(sd, PaintingSuspended(sd));
  if (sd->Updating) return;
  HDC dc = GetWindowDC(CtrlHandle);
  PrepareFrame(false);
  CopyFrame(dc);
  // The tree draws its header, which lies inside the frame, itself.
  LPARAM flags = PRF_NONCLIENT;
  CallPrevWndProc(CtrlHandle, WM_PRINT, reinterpret_cast<WPARAM>(dc), flags);
  DrawWindowScrollBars(this, CtrlHandle, dc, -1, update);
  ReleaseDC(CtrlHandle, dc);
}

void TacVirtualTreeViewWnd::Print(TMessage& m) {
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  if (dc == nullptr) return;
  SetPaintingSuspended(SkinData, false);
  PrepareFrame(true);
  {
    // The client lies below the header.
    const TSavedDC saved(dc);
    const int frame = FrameWidths.Left;
    OffsetViewportOrgEx(dc, frame, frame + HeaderHeight(), nullptr);
    LPARAM flags = PRF_CLIENT | PRF_ERASEBKGND;
    CallPrevWndProc(CtrlHandle, WM_PRINTCLIENT, m.WParam, flags);
  }
  LPARAM flags = PRF_NONCLIENT;
  CallPrevWndProc(CtrlHandle, WM_PRINT, m.WParam, flags);
  CopyFrame(dc);
  DrawWindowScrollBars(this, CtrlHandle, dc, -1, nullptr);
  m.Result = 0;
}

void TacVirtualTreeViewWnd::WndProc(TMessage& m) {
  if (!Destroyed && Hooked() && SkinUsable()) {
    switch (m.Msg) {
      case WM_HSCROLL:
      case WM_VSCROLL:
        if (LOWORD(m.WParam) == SB_THUMBTRACK) PositionAtTrack(CtrlHandle, m.Msg == WM_VSCROLL, 0);
        break;
      case WM_ERASEBKGND:
        // The tree paints its whole client.
        m.Result = 1;
        return;
      case WM_NCPAINT:
        if (!IsWindowVisible(CtrlHandle)) break;
        NcPaint(reinterpret_cast<HRGN>(m.WParam));
        m.Result = 0;
        return;
      case WM_PRINT:
        Print(m);
        return;
      default:
        break;
    }
  }
  TacEditWnd::WndProc(m);
}

}  // namespace kv
