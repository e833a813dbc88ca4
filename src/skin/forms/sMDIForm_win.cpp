#include "skin/forms/sMDIForm_win.h"

#include <algorithm>

#include "classlib/Forms.h"
#include "skin/core/acUtils.h"
#include "skin/core/sCommonData_win.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/core/sVclUtils_win.h"
#include "skin/forms/acDials_win.h"
#include "skin/graphics/sGraphUtils.h"
#include "skin/graphics/sMaskPaint.h"
#include "skin/graphics/sSectionPaint.h"
#include "skin/model/sMaskData.h"

namespace kv {

namespace {

// The size a child button takes when the skin has no mask for it.
constexpr int kDefaultChildButton = 16;

constexpr bool IsChildButtonHit(int code) {
  return code >= TitleHit::MDIClose && code <= TitleHit::MDIMinimize;
}

// Records in the order minimise, restore, close.
size_t RecordSlot(int hitCode) {
  return hitCode == TitleHit::MDIMinimize ? 0 : hitCode == TitleHit::MDIRestore ? 1 : 2;
}

}  // namespace

TsMDIForm::TsMDIForm(TsSkinProvider* provider) : Provider(provider) {
  Form = provider != nullptr ? provider->Form() : nullptr;
  if (Form != nullptr) Form->HandleNeeded();
  const int hits[] = {TitleHit::MDIMinimize, TitleHit::MDIRestore, TitleHit::MDIClose};
  for (size_t i = 0; i < buttons_.size(); ++i) buttons_[i].HitCode = hits[i];
}

TsMDIForm::~TsMDIForm() { FreeClientAdapter(); }

void TsMDIForm::FreeClientAdapter() {
  // The adapter frees the skin data it made for itself.
  FreeAdapter(ClientAdapter);
}

void TsMDIForm::ConnectToClient() {
  if (Provider == nullptr || Provider->HasState(csDesigning) || ClientAdapter != nullptr) return;
  UpdateClientAdapter();
}

void TsMDIForm::UpdateClientAdapter() {
  FreeClientAdapter();
  if (Form == nullptr || Form->ClientHandle() == nullptr) return;
  TsCommonData* sd = Provider->SkinData();
  if (!SkinAvailable(sd, true)) return;
  // Its fields are set before it goes onto the window, which may paint at once.
  auto* adapter = CreateAdapter<TacMDIWnd>(nullptr, true, nullptr, sd->SkinManager(), "CHECKBOX");
  adapter->Form = Form;
  adapter->FormSkinData = sd;
  adapter->Provider = this;
  adapter->Attach(Form->ClientHandle(), true);
  ClientAdapter = adapter;
}

void TsMDIForm::RepaintProviderFrame() { Provider->InvalidateFrame(); }

// --- the frame ------------------------------------------------------------------------------

TRect TsMDIForm::ClientPlace() const {
  if (Form == nullptr || Form->ClientHandle() == nullptr || !Form->HandleAllocated()) return {};
  RECT client{}, form{};
  GetWindowRect(Form->ClientHandle(), &client);
  GetWindowRect(Form->Handle(), &form);
  const TPoint shift = Provider->Geometry().CacheOffset();
  return Rect(client.left - form.left + shift.X, client.top - form.top + shift.Y,
              client.right - form.left + shift.X, client.bottom - form.top + shift.Y);
}

void TsMDIForm::PaintMDIArea(const TsFrameGeometry& /*g*/, TBitmap* cache) {
  TsSkinManager* manager = Provider->SkinManager();
  if (manager == nullptr || cache == nullptr) return;
  const TsSkinModel& skin = manager->Skin();
  const int section = skin.SectionIndexOf("MDIAREA");
  if (!skin.IsSectionIndexValid(section)) return;
  TRect r = ClientPlace();
  r.Left = std::max(r.Left, 0);
  r.Top = std::max(r.Top, 0);
  r.Right = std::min(r.Right, cache->Width());
  r.Bottom = std::min(r.Bottom, cache->Height());
  if (r.Right <= r.Left || r.Bottom <= r.Top) return;
  PaintSkinItem(section, "MDIAREA", MakeBgCacheInfo(cache, 0, 0), true, 0, r, {0, 0}, cache, &skin);
}

HWND TsMDIForm::MaximizedChild() const {
  TCustomForm* child = Form != nullptr ? Form->ActiveMDIChild() : nullptr;
  if (child == nullptr || !IsZoomed(child->Handle())) return nullptr;
  return child->Handle();
}

bool TsMDIForm::ShowsMDIChildButtons() const {
  if (Form == nullptr || Form->FormStyle() != fsMDIForm || Form->Menu() == nullptr) return false;
  TCustomForm* child = Form->ActiveMDIChild();
  return child != nullptr && IsZoomed(child->Handle()) && (child->BorderIcons() & biSystemMenu);
}

bool TsMDIForm::FrameLooksStale() const { return MaximizedChild() != paintedChild_; }

TSize TsMDIForm::ChildButtonSize() const {
  TsSkinManager* manager = Provider->SkinManager();
  const int index = Provider->ButtonMasks().MDIClose;
  if (manager == nullptr || !manager->Skin().IsMaskIndexValid(index))
    return {kDefaultChildButton, kDefaultChildButton};
  const TsMaskData& mask = manager->Skin().MaskData[static_cast<size_t>(index)];
  return {MaskFrameWidth(mask), MaskStateHeight(mask)};
}

int TsMDIForm::ChildButtonMask(int hitCode) const {
  const TsTitleButtonMasks& m = Provider->ButtonMasks();
  if (hitCode == TitleHit::MDIMinimize) return m.MDIMin;
  if (hitCode == TitleHit::MDIClose) return m.MDIClose;
  // Restore: the small "back to normal" picture while the child is maximised.
  TsSkinManager* manager = Provider->SkinManager();
  if (manager == nullptr) return -1;
  int index = manager->Skin().MaskIndexByNames("GLOBALINFO", "SICONNORM");
  if (index < 0) index = manager->Skin().MaskIndexByNames("GLOBALINFO", "BICONNORM");
  return index >= 0 ? index : m.MDIMax;
}

void TsMDIForm::PaintChildButtons(const TsFrameGeometry& g, TBitmap* cache) {
  placed_.clear();
  paintedChild_ = MaximizedChild();
  if (cache == nullptr || !ShowsMDIChildButtons()) return;
  const auto buttons = MDIChildButtons(g, ChildButtonSize());
  stripRect_ = buttons[0].Rect;
  stripRect_.Right = buttons[2].Rect.Right;
  stripRect_.Left = std::max(stripRect_.Left, 0);
  stripRect_.Top = std::max(stripRect_.Top, 0);
  stripRect_.Right = std::min(stripRect_.Right, cache->Width());
  stripRect_.Bottom = std::min(stripRect_.Bottom, cache->Height());
  if (stripRect_.Right <= stripRect_.Left || stripRect_.Bottom <= stripRect_.Top) return;
  strip_ = NewBitmap24(stripRect_.Width(), stripRect_.Height());
  CopyPixels(strip_.get(), 0, 0, cache, stripRect_.Left, stripRect_.Top, stripRect_.Width(),
             stripRect_.Height());
  for (const TsPlacedTitleButton& b : buttons) {
    placed_.push_back(b);
    TsTitleButtonRecord& record = buttons_[RecordSlot(b.HitCode)];
    record.Rect = b.Rect;
    DrawChildButton(b, record.State);
  }
}

bool TsMDIForm::DrawChildButton(const TsPlacedTitleButton& b, int state) {
  if (!IsChildButtonHit(b.HitCode)) return false;
  TBitmap* cache = Provider->SkinData()->CacheBmp.get();
  TsSkinManager* manager = Provider->SkinManager();
  if (cache == nullptr || manager == nullptr || strip_ == nullptr) return true;
  // The mask's see-through pixels show the menu line, not the last state.
  const TRect r = b.Rect;
  const int left = std::max(r.Left, stripRect_.Left), top = std::max(r.Top, stripRect_.Top);
  const int right = std::min(r.Right, stripRect_.Right);
  const int bottom = std::min(r.Bottom, stripRect_.Bottom);
  if (right > left && bottom > top)
    CopyPixels(cache, left, top, strip_.get(), left - stripRect_.Left, top - stripRect_.Top,
               right - left, bottom - top);
  const TsSkinModel& skin = manager->Skin();
  const int index = ChildButtonMask(b.HitCode);
  if (!skin.IsMaskIndexValid(index)) return true;
  // A button that cannot act is faded whatever the mouse does.
  const bool enabled = ChildButtonEnabled(b.HitCode);
  if (!enabled) state = 0;
  DrawMaskState(cache, r.TopLeft(), state, MakeBgCacheInfo(cache, 0, 0),
                skin.MaskData[static_cast<size_t>(index)], skin.MasterBitmap.get(),
                TitleButtonDrawMode(Provider->FormActive(), enabled, state, false));
  return true;
}

bool TsMDIForm::ChildButtonEnabled(int hitCode) const {
  if (hitCode != TitleHit::MDIMinimize && hitCode != TitleHit::MDIRestore) return true;
  TCustomForm* child = Form != nullptr ? Form->ActiveMDIChild() : nullptr;
  if (child == nullptr || !child->HandleAllocated()) return false;
  TsFormState f;
  f.BorderStyle = child->BorderStyle();
  f.BorderIcons = child->BorderIcons();
  f.MDIChild = true;
  f.Iconic = IsIconic(child->Handle()) != FALSE;
  f.Zoomed = IsZoomed(child->Handle()) != FALSE;
  f.WindowState = f.Iconic ? wsMinimized : f.Zoomed ? wsMaximized : wsNormal;
  return hitCode == TitleHit::MDIMinimize ? EnabledMin(f) : EnabledRestore(f);
}

TsTitleButtonRecord* TsMDIForm::ButtonRecord(int hitCode) {
  if (!IsChildButtonHit(hitCode)) return nullptr;
  return &buttons_[RecordSlot(hitCode)];
}

bool TsMDIForm::ChildButtonUp(int hitCode, bool pressed) {
  if (!IsChildButtonHit(hitCode)) return false;
  if (!pressed) return false;
  TCustomForm* child = Form->ActiveMDIChild();
  Provider->SetHotButton(0, true);
  if (child == nullptr) return true;
  const WPARAM command = hitCode == TitleHit::MDIClose     ? SC_CLOSE
                         : hitCode == TitleHit::MDIRestore ? SC_RESTORE
                                                           : SC_MINIMIZE;
  SendMessageW(child->Handle(), WM_SYSCOMMAND, command, 0);
  return true;
}

// --- what the client adapter asks -----------------------------------------------------------

TColor TsMDIForm::FormColor() const { return Provider->FormColor(); }
bool TsMDIForm::ShowAnimating() const { return Provider->ShowAnimating(); }
void TsMDIForm::PaintFrameCache() { Provider->PaintFrameCache(); }
bool TsMDIForm::HasBorderForm() const { return Provider->HasBorderForm(); }
// The same offset the frame painting uses, so the client's copy lines up
// with the area painted for it.
POINT TsMDIForm::FrameCacheOffset() const {
  const TPoint shift = Provider->Geometry().CacheOffset();
  return {shift.X, shift.Y};
}
void TsMDIForm::ClearHotButton() { Provider->SetHotButton(-1, false); }

void TsMDIForm::UpdateSystemMenu() {
  if (TsSystemMenu* menu = Provider->SystemMenuObject()) menu->UpdateItems(false);
}

void TsMDIForm::MDIMenuChanged() {
  Provider->SkinData()->BGChanged = true;
  Provider->MenuLineCount = -1;
  Provider->FrameRepaintNeeded = true;
  Provider->SetHotButton(-1, false);
}

void TsMDIForm::RepaintFrameNow() { Provider->RepaintFrameNow(); }

// --- the provider's MDI hooks ---------------------------------------------------------------

void TsSkinProvider::MakeMDIForm(bool make) {
  if (!make) {
    if (mdiForm_ == nullptr) return;
    HWND client = form_ != nullptr ? form_->ClientHandle() : nullptr;
    mdiForm_.reset();
    if (client != nullptr && !FormDestroying())
      RedrawWindow(client, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
    return;
  }
  if (form_ == nullptr || form_->FormStyle() != fsMDIForm || HasState(csDesigning)) return;
  // The form may have been skinned before its MDI client window was made.
  if (mdiForm_ == nullptr) mdiForm_ = std::make_unique<TsMDIForm>(this);
  mdiForm_->ConnectToClient();
}

namespace {

HWND MaximisedActiveOf(HWND client) {
  BOOL maximised = FALSE;
  HWND active = client != nullptr ? reinterpret_cast<HWND>(SendMessageW(
                                        client, WM_MDIGETACTIVE, 0,
                                        reinterpret_cast<LPARAM>(&maximised)))
                                  : nullptr;
  return maximised ? active : nullptr;
}

}  // namespace

HWND TsSkinProvider::MaximisedActiveChild() const {
  if (form_ == nullptr || form_->FormStyle() != fsMDIForm) return nullptr;
  return MaximisedActiveOf(form_->ClientHandle());
}

bool TsSkinProvider::CoveredByMaximisedChild() const {
  HWND wnd = FormHandle();
  if (form_ == nullptr || form_->FormStyle() != fsMDIChild || wnd == nullptr) return false;
  HWND active = MaximisedActiveOf(GetParent(wnd));
  return active != nullptr && active != wnd;
}

TsSkinProvider* TsSkinProvider::MDIMainProvider() const {
  HWND wnd = FormHandle();
  if (form_ == nullptr || form_->FormStyle() != fsMDIChild || wnd == nullptr) return nullptr;
  // The child lives in the MDI client, the client in the MDI form.
  HWND client = GetParent(wnd);
  HWND frame = client != nullptr ? GetParent(client) : nullptr;
  if (frame == nullptr) return nullptr;
  auto* provider = reinterpret_cast<TacFormProvider*>(
      SendMessageW(frame, SM_ALPHACMD, CommandWParam(cmdGetProvider), 0));
  auto* main = dynamic_cast<TsSkinProvider*>(provider);
  return main != nullptr && !main->FormDestroying() ? main : nullptr;
}

void TsSkinProvider::RefreshMDIMainForm(bool updateNow) {
  HWND wnd = FormHandle();
  if (form_ == nullptr || form_->FormStyle() != fsMDIForm || wnd == nullptr || FormDestroying())
    return;
  skinData_->BGChanged = true;
  FrameRepaintNeeded = true;
  MenuLineCount = -1;
  if (HWND client = form_->ClientHandle())
    RedrawWindow(
        client, nullptr, nullptr,
        RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME | (updateNow ? RDW_UPDATENOW : 0));
  RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | (updateNow ? RDW_UPDATENOW : 0));
  if (updateNow) SyncBorderForm(true, 255);
}

void TsSkinProvider::MDIChildSysCommand(TMessage& m) {
  // The child's own frame goes to or comes from the MDI form's menu line:
  // both frames are painted again once the system has changed the child.
  TsSkinProvider* main = MDIMainProvider();
  const WPARAM command = m.WParam & 0xFFF0;
  HWND wnd = FormHandle();
  // A maximised child draws on the MDI form's frame: that one waits until
  // the change is complete. The lock is always given back before the MDI
  // form repaints, or it would stay unpainted.
  const bool locked =
      main != nullptr && wnd != nullptr &&
      ((IsZoomed(wnd) && command != SC_MAXIMIZE) || (command == SC_RESTORE && IsIconic(wnd)));
  if (locked) BeginPaintLock(main->skinData_.get());
  const auto unlock = [&] {
    if (locked) EndPaintLock(main->skinData_.get());
  };
  if (command == SC_MAXIMIZE) LastActiveProvider = this;
  if (command == SC_CLOSE) {
    // The child may be freed by the time the system returns.
    const bool blocked = main != nullptr && main->RegionUpdatesBlocked;
    if (main != nullptr) main->RegionUpdatesBlocked = true;
    CallOld(m);
    if (main != nullptr) {
      main->RegionUpdatesBlocked = blocked;
      unlock();
      main->RefreshMDIMainForm(true);
    }
    return;
  }
  if (command == SC_MAXIMIZE && wnd != nullptr) {
    // Hidden meanwhile, the child is not drawn once in its old size.
    SetWindowLongW(wnd, GWL_STYLE, GetWindowLongW(wnd, GWL_STYLE) & ~WS_VISIBLE);
    SysCommand(m);
    if (IsWindow(wnd)) {
      SetWindowLongW(wnd, GWL_STYLE, GetWindowLongW(wnd, GWL_STYLE) | WS_VISIBLE);
      RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
    }
  } else if (command == SC_RESTORE && !MDIMaxChildPending && wnd != nullptr) {
    // The user's restore always runs; only the repaint waits for a child
    // still becoming maximised.
    SuspendFormPainting();
    if (main != nullptr) main->SuspendFormPainting();
    SysCommand(m);
    if (IsWindow(wnd)) SetWindowLongW(wnd, GWL_STYLE, GetWindowLongW(wnd, GWL_STYLE) & ~WS_SYSMENU);
    if (main != nullptr) main->ResumeFormPainting();
    ResumeFormPainting();
    if (IsWindow(wnd) && !FormDestroying())
      RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
    // The system restores every maximised child together.
    if (main != nullptr && main->form_ != nullptr)
      for (int i = 0; i < main->form_->MDIChildCount(); ++i) {
        TCustomForm* other = main->form_->MDIChildren(i);
        if (other == form_ || !other->HandleAllocated() || !IsZoomed(other->Handle())) continue;
        ShowWindow(other->Handle(), SW_SHOWNORMAL);
        RedrawWindow(other->Handle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
      }
  } else {
    SysCommand(m);
  }
  unlock();
  if (command != SC_MAXIMIZE && command != SC_RESTORE && command != SC_MINIMIZE) return;
  if (main != nullptr) main->RefreshMDIMainForm(true);
}

void TsSkinProvider::MDIChildActivation(TMessage&) {
  TsSkinProvider* main = MDIMainProvider();
  if (main != nullptr && FormHandle() != nullptr && !IsZoomed(FormHandle())) {
    main->skinData_->BGChanged = true;
    main->FrameRepaintNeeded = true;
    main->MenuLineCount = -1;
    SendMessageW(main->FormHandle(), WM_NCPAINT, 1, 0);
  }
  LastActiveProvider = this;
}

void TsSkinProvider::ProvideForPlainMDIChildren() {
  for (int i = 0; i < form_->MDIChildCount(); ++i) {
    TCustomForm* child = form_->MDIChildren(i);
    if (child->HandleAllocated() && !WindowAnswersCommand(child->Handle(), cmdIsSkinned))
      AddProvider(child->Handle());
  }
}

void TsSkinProvider::RepaintOtherMaximisedChildren() {
  TsSkinProvider* main = MDIMainProvider();
  if (main == nullptr || main->form_ == nullptr) return;
  main->skinData_->BGChanged = true;
  for (int i = 0; i < main->form_->MDIChildCount(); ++i) {
    TCustomForm* other = main->form_->MDIChildren(i);
    if (other != form_ && other->HandleAllocated() && IsZoomed(other->Handle()))
      SendMessageW(other->Handle(), WM_NCPAINT, 0, 0);
  }
}

void TsSkinProvider::MDIChildActivated() {
  RebuildFormMenu();
  TsSkinProvider* main = MDIMainProvider();
  if (main == nullptr || main->form_ == nullptr || main->MDIForm() == nullptr) return;
  // The MDI form's menu line shows the new active child's buttons.
  TCustomForm* active = main->form_->ActiveMDIChild();
  if (active != nullptr && active->HandleAllocated() && IsZoomed(active->Handle()))
    main->MDIForm()->RepaintProviderFrame();
}

namespace {

// The right end of the MDI form's menu line, with a maximised child's
// buttons: the system draws its own menu bar there during the menu loop.
class TMDIIconsForm : public TForm {
 public:
  using TForm::TForm;
  TsSkinProvider* Provider = nullptr;
  static constexpr int Width = 60;

  // Where the band lies in the frame picture.
  static TPoint Source(const TsFrameGeometry& g) {
    const TPoint o = g.CacheOffset();
    return {o.X + g.State.Width - g.FrameBorderWidth(true) - Width, g.TitleBandBottom()};
  }

 protected:
  void WndProc(TMessage& m) override {
    if (m.Msg == WM_ERASEBKGND) {
      m.Result = 1;
      return;
    }
    if (m.Msg == WM_PAINT) {
      PAINTSTRUCT ps{};
      HDC dc = BeginPaint(Handle(), &ps);
      TBitmap* cache = Provider->SkinData()->CacheBmp.get();
      if (cache != nullptr && !cache->Empty()) {
        const TPoint at = Source(Provider->Geometry());
        TBitmapCanvas canvas(*cache);
        BitBlt(dc, 0, 0, Width, GetSystemMetrics(SM_CYMENU) + 3, canvas.Handle(), at.X, at.Y,
               SRCCOPY);
      }
      EndPaint(Handle(), &ps);
      m.Result = 0;
      return;
    }
    TForm::WndProc(m);
  }
};

}  // namespace

void TsSkinProvider::ShowMDIIcons() {
  if (inMDIMenuLoop_ || form_ == nullptr || form_->FormStyle() != fsMDIForm) return;
  TCustomForm* active = form_->ActiveMDIChild();
  if (active == nullptr || !active->HandleAllocated() || !IsZoomed(active->Handle())) return;
  inMDIMenuLoop_ = true;
  if (mdiIconsForm_ == nullptr) {
    auto* icons = Create<TMDIIconsForm>(Application);
    icons->Provider = this;
    icons->SetTag(-98);  // nothing skins it
    icons->SetName("acMDIIcons");
    icons->SetBorderStyle(bsNone);
    mdiIconsForm_ = icons;
  }
  const TsFrameGeometry g = Geometry();
  const TPoint source = TMDIIconsForm::Source(g), o = g.CacheOffset();
  const TPoint at{source.X - o.X, source.Y - o.Y};
  RECT r{};
  GetWindowRect(FormHandle(), &r);
  SetWindowPos(mdiIconsForm_->Handle(), HWND_TOP, r.left + at.X, r.top + at.Y, TMDIIconsForm::Width,
               GetSystemMetrics(SM_CYMENU) + 3, SWP_NOREDRAW | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void TsSkinProvider::HideMDIIcons() {
  inMDIMenuLoop_ = false;
  if (mdiIconsForm_ == nullptr) return;
  TCustomForm* icons = mdiIconsForm_;
  mdiIconsForm_ = nullptr;
  icons->Free();
}

void TsSkinProvider::FinishPendingMDIChild() {
  if (!MDIMaxChildPending) return;
  MDIMaxChildPending = false;
  // Shown maximised under the MDI form's menu line: that frame changes too.
  LastActiveProvider = this;
  InvalidateFrame();
  if (TsSkinProvider* main = MDIMainProvider()) main->RefreshMDIMainForm(false);
}

}  // namespace kv
