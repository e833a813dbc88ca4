#include "skin/core/sCommonData_win.h"

#include <algorithm>

#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"
#include "classlib/Menus.h"
#include "classlib/PlatformCalls.h"
#include "classlib/StdCtrls.h"
#include "classlib/Tabs.h"
#include "skin/core/acBgInfo_win.h"
#include "skin/core/acFormServices_win.h"
#include "skin/core/sCommonDataRules.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/core/sStyleSimply_win.h"
#include "skin/core/sVclUtils_win.h"
#include "skin/graphics/acGlow.h"
#include "skin/graphics/sGraphUtils.h"
#include "skin/graphics/sMaskPaintControl.h"
#include "skin/model/acToolkitFlags.h"

namespace kv {

namespace {

bool Destroying(const TComponent* c) { return c != nullptr && c->HasState(csDestroying); }

TWinControl* WindowedOwner(const TsCommonData* sd) {
  return dynamic_cast<TWinControl*>(sd->OwnerControl);
}

bool IsEditType(const TsCommonData* sd) { return sd->Has(ccEditLike) || sd->ControlType == 97; }

TCustomForm* ProviderForm(const TsCommonData* sd) {
  return sd->OwnerProvider != nullptr ? sd->OwnerProvider->Form() : nullptr;
}

TColor OwnerColor(const TsCommonData* sd) {
  if (sd->OwnerControl != nullptr)
    return static_cast<TColor>(ColorToRGB(sd->OwnerControl->Color()));
  if (TCustomForm* form = ProviderForm(sd)) return static_cast<TColor>(ColorToRGB(form->Color()));
  return static_cast<TColor>(ColorToRGB(clBtnFace));
}

TColor DefaultGlobalInfoColor() {
  return DefaultManager != nullptr ? DefaultManager->Skin().GetGlobalInfoColor()
                                   : static_cast<TColor>(ColorToRGB(clBtnFace));
}

// A parent's colour as the background-colour command needs it: a parent
// that is not skinned gives its own Color, never black.
TColor ParentBgColor(TControl* parent) {
  const TColor color = QueryControlBgColor(parent);
  return color == TransparentColor ? static_cast<TColor>(ColorToRGB(parent->Color())) : color;
}

void HideControlGlow(TsCommonData* sd) {
  if (sd->GlowIndex == -1) return;
  HideGlow(sd->GlowIndex);
  sd->GlowIndex = -1;
}

void RepaintOwner(const TsCommonData* sd, bool now) {
  if (TWinControl* win = WindowedOwner(sd)) {
    if (win->HandleAllocated())
      RedrawWindow(win->Handle(), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_FRAME | (now ? RDW_UPDATENOW : 0));
  } else if (sd->OwnerControl != nullptr) {
    sd->OwnerControl->Invalidate();
    if (now) sd->OwnerControl->Update();
  }
}

// The section's colours on an edit-type owner, unless it keeps its own.
void ApplySectionColors(TsCommonData* sd) {
  const TsGeneralData* section = sd->Section();
  TControl* c = sd->OwnerControl;
  if (section == nullptr || c == nullptr) return;
  if (!sd->CustomColor() && c->Color() != section->Color) c->SetColor(section->Color);
  if (!sd->CustomFont() && c->Font()->Color() != section->FontColor[0])
    c->Font()->SetColor(section->FontColor[0]);
}

void ApplyUnskinnedColors(TsCommonData* sd) {
  TControl* c = sd->OwnerControl;
  if (c == nullptr) return;
  if (IsEditType(sd)) {
    if (!sd->CustomColor()) c->SetColor(clWindow);
    if (!sd->CustomFont()) c->Font()->SetColor(clWindowText);
    RepaintOwner(sd, false);
  } else if (TWinControl* win = WindowedOwner(sd)) {
    for (int i = 0; i < win->ControlCount(); ++i)
      if (auto* label = dynamic_cast<TLabel*>(win->Controls(i)))
        label->Font()->SetColor(clWindowText);
  }
}

void PerformCommand(TControl* control, unsigned code, unsigned argument, LPARAM lParam) {
  control->Perform(SM_ALPHACMD, CommandWParam(code, argument), lParam);
}

// Tells the owner control the skin became usable (3) or not (2).
void AnnounceSkinState(TsCommonData* sd, TsSkinManager* manager, bool usable) {
  const unsigned code = usable ? cmdSkinRefresh : cmdSkinRemoved;
  if (sd->OwnerControl != nullptr && sd->OwnerControl->Parent() != nullptr &&
      !Destroying(sd->OwnerControl))
    PerformCommand(sd->OwnerControl, code, 0, reinterpret_cast<LPARAM>(manager));
}

// As SendCommandToControl, with a low word.
void SendCommandWithArgument(TControl* control, unsigned code, unsigned argument) {
  auto* win = dynamic_cast<TWinControl*>(control);
  if (win == nullptr)
    PerformCommand(control, code, argument, 0);
  else if (win->HandleAllocated())
    SendMessageW(win->Handle(), SM_ALPHACMD, CommandWParam(code, argument), 0);
}

bool HasSections(const TsSkinManager* m) { return m != nullptr && !m->Skin().GeneralData.empty(); }

void CopyBitmapToDC(TBitmap& bmp, HDC dc, const TRect& dest, TPoint src) {
  TBitmapCanvas canvas(bmp);
  BitBlt(dc, dest.Left, dest.Top, dest.Width(), dest.Height(), canvas.Handle(), src.X, src.Y,
         SRCCOPY);
}

}  // namespace

// --- TsCommonData -------------------------------------------------------------------

TsCommonData::TsCommonData(TObject* owner, bool createCacheBmp)
    : OwnerControl(dynamic_cast<TControl*>(owner)), OwnerObject(owner) {
  if (createCacheBmp) CacheBmp = NewBitmap24(0, 0);
  FilterPostedAddressCommands();
}

TsCommonData::~TsCommonData() {
  SkinIndex = Texture = HotTexture = -1;
  HideControlGlow(this);
  OwnerControl = nullptr;
  OwnerObject = nullptr;
  manager_ = nullptr;
}

TsCommonData* SkinDataOf(TControl* control) {
  if (control == nullptr) return nullptr;
  return reinterpret_cast<TsCommonData*>(
      control->Perform(SM_ALPHACMD, CommandWParam(cmdGetSkinData), 0));
}

TControl* TsCommonData::FadeControl() { return OwnerControl; }
TBitmap* TsCommonData::FadeCache() { return CacheBmp.get(); }
bool TsCommonData::FadeSkinAvailable() { return SkinAvailable(this, false); }

bool TsCommonData::FadingEnabled() {
  const TsGeneralData* section = Section();
  return section != nullptr && section->FadingEnabled;
}

int TsCommonData::FadingIterations() {
  const TsGeneralData* section = Section();
  return section != nullptr ? section->FadingIterations : 0;
}

void TsCommonData::FadeShowGlow(bool update) { ShowControlGlow(this, update, nullptr); }

TManagerRef& TManagerRef::operator=(TsSkinManager* manager) {
  held_ = manager;
  life_ = manager != nullptr ? manager->LifeToken() : std::weak_ptr<char>();
  return *this;
}

TsSkinManager* TManagerRef::Get() const {
  if (held_ == nullptr) return nullptr;
  return life_.expired() ? DefaultManager : held_;
}

TsSkinManager* TsCommonData::SkinManager() const {
  TsSkinManager* held = manager_;
  return held != nullptr ? held : DefaultManager;
}

void TsCommonData::SetSkinManager(TsSkinManager* value) {
  TsSkinManager* stored = value == DefaultManager ? nullptr : value;
  if (stored == manager_.Alive() && !manager_.Freed()) return;
  manager_ = stored;
  if (OwnerControl != nullptr && OwnerControl->HasState(csLoading)) return;
  TsSkinManager* m = SkinManager();
  if (HasSections(m))
    RefreshSkinIndexes();
  else
    SkinIndex = -1;
  const bool usable = HasSections(m) && m->Skin().IsSectionIndexValid(SkinIndex);
  // A provider hears of its own manager at its message entry, not through
  // its form: the form's handling of 2 and 3 is for the whole form.
  if (OwnerProvider != nullptr) {
    TMessage message{SM_ALPHACMD, CommandWParam(usable ? cmdSkinRefresh : cmdSkinRemoved),
                     reinterpret_cast<LPARAM>(m), 0};
    OwnerProvider->ReceiveMessage(message);
  }
  AnnounceSkinState(this, m, usable);
}

void TsCommonData::ForgetDestroyedManager() {
  if (manager_.Freed() || Destroying(manager_.Alive())) manager_ = nullptr;
}

void TsCommonData::SetSkinSection(const std::string& value) {
  if (value == skinSection_) return;
  skinSection_ = value.empty() ? "UNKNOWN" : UpperCase(value);
  TsSkinManager* m = SkinManager();
  if (HasSections(m))
    RefreshSkinIndexes();
  else
    SkinIndex = -1;
  if (OwnerControl == nullptr || OwnerControl->Parent() == nullptr ||
      OwnerControl->HasState(csLoading | csReading | csDestroying)) {
    if (OwnerProvider != nullptr) BGChanged = true;
    return;
  }
  AnnounceSkinState(this, m, m != nullptr && m->Skin().IsSectionIndexValid(SkinIndex));
}

void TsCommonData::SetCustomColor(bool value) {
  if (customColor_ == value) return;
  customColor_ = value;
  if (SkinAvailable(this, false) && IsEditType(this) && OwnerControl != nullptr &&
      !OwnerControl->HasState(csLoading))
    ApplySectionColors(this);
  InvalidateControlSkin(this);
}

void TsCommonData::SetCustomFont(bool value) {
  if (customFont_ == value) return;
  customFont_ = value;
  InvalidateControlSkin(this);
}

const TsGeneralData* TsCommonData::Section() const {
  const TsSkinManager* m = SkinManager();
  if (m == nullptr || !m->Skin().IsSectionIndexValid(SkinIndex)) return nullptr;
  return &m->Skin().GeneralData[static_cast<size_t>(SkinIndex)];
}

const TsMaskData* TsCommonData::BorderMask() const {
  const TsSkinManager* m = SkinManager();
  if (m == nullptr || !m->Skin().IsMaskIndexValid(BorderIndex)) return nullptr;
  return &m->Skin().MaskData[static_cast<size_t>(BorderIndex)];
}

void TsCommonData::RefreshSkinIndexes() {
  auto* component = dynamic_cast<TComponent*>(OwnerObject);
  if (component != nullptr && component->HasState(csDesigning) &&
      OwnerFrame(component) != nullptr) {
    SkinIndex = Texture = HotTexture = -1;
    return;
  }
  BGChanged = true;
  const TsSkinManager* m = SkinManager();
  SkinIndex = m != nullptr ? m->Skin().SectionIndexOf(skinSection_) : -1;
  UpdatePaintStateFlags();
  ChildBgFlags = 0;
  const TsGeneralData* section = Section();
  if (section == nullptr) {
    BorderIndex = Texture = HotTexture = -1;
    return;
  }
  BorderIndex = section->BorderIndex;
  // Mask indexes, as the painters take them: a picture pattern's index is
  // no mask's, and the painters take a given one only for a single-image
  // texture; -1 lets them find a picture or a two-state texture by name.
  const auto single = [&](const char* key) {
    const TsSkinModel& skin = m->Skin();
    const int index = skin.TextureIndexOf(SkinIndex, skinSection_, key);
    return skin.IsMaskIndexValid(index) && skin.MaskData[index].MaskType == 0 ? index : -1;
  };
  Texture = single("PATTERN");
  HotTexture = single("HOTPATTERN");
  UpdateChildBgFlags(false);
}

void TsCommonData::UpdatePaintStateFlags() {
  PaintStateFlags = 0;
  const TsGeneralData* section = Section();
  if (section == nullptr) return;
  if (section->ImagePercent != 0) PaintStateFlags |= 4;
  if (section->GradientPercent == 0 || section->GradientArray.empty()) return;
  switch (section->GradientArray.front().Mode) {
    case 0:
      PaintStateFlags |= 2;
      break;
    case 1:
      PaintStateFlags |= 1;
      break;
    case 2:
      PaintStateFlags |= 3;
      break;
    default:
      break;
  }
}

namespace {

// The controls whose children may take their plain background as it is:
// frames, panels, scrolling controls and page controls (group boxes and
// status bars draw a caption or panels over theirs).
bool OffersPlainBackground(const TControl* c) {
  return dynamic_cast<const TFrame*>(c) != nullptr || dynamic_cast<const TPanel*>(c) != nullptr ||
         dynamic_cast<const TScrollingWinControl*>(c) != nullptr ||
         dynamic_cast<const TPageControl*>(c) != nullptr;
}

}  // namespace

void TsCommonData::UpdateChildBgFlags(bool recurse) {
  ChildBgFlags &= ~1u;
  const bool container = OwnerProvider != nullptr || OffersPlainBackground(OwnerControl);
  if (container && !NeedsOwnBgCache(this)) ChildBgFlags |= 1;
  TWinControl* win = WindowedOwner(this);
  if (!recurse || win == nullptr) return;
  for (int i = 0; i < win->ControlCount(); ++i)
    SendCommandToControl(win->Controls(i), cmdChildBgFlags, 1);
}

void TsCommonData::SetDefaultSkinSection() {
  if (!skinSection_.empty()) {
    RefreshSkinIndexes();
    return;
  }
  const std::string_view section = DefaultSectionOfType(ControlType);
  SetSkinSection(section.empty() && OwnerObject != nullptr ? OwnerObject->ClassName()
                                                           : std::string(section));
}

// --- queries ---------------------------------------------------------------------------

bool SkinAvailable(const TsCommonData* sd, bool checkActive) {
  if (sd == nullptr) return false;
  const TsSkinManager* m = sd->SkinManager();
  if (m == nullptr || sd->SkinIndex < 0 || Destroying(m)) return false;
  if (Destroying(dynamic_cast<const TComponent*>(sd->OwnerObject))) return false;
  if (checkActive && !m->CommonSkinData().Active) return false;
  return m->Skin().IsSectionIndexValid(sd->SkinIndex);
}

bool PaintingSuspended(const TsCommonData* sd) {
  if (sd == nullptr) return false;
  const TsSkinManager* m = sd->SkinManager();
  if (m == nullptr || m->HasState(csDesigning)) return false;
  if (!NeedsParentCheck(sd)) return sd->Updating;
  TControl* c = sd->OwnerControl;
  if (c == nullptr || Destroying(c)) return sd->Updating;
  if (sd->Updating || c->Parent() == nullptr) return true;
  return (QueryControlCommand(c->Parent(), cmdNeedsRepaint) & 0xFF) != 0;
}

bool NeedsParentCheck(const TsCommonData* sd) {
  if (sd == nullptr) return false;
  if (GlobalRedrawLock || (sd->ChildBgFlags & 1) == 0) return true;
  return ControlIsHot(sd);
}

bool ControlIsHot(const TsCommonData* sd) {
  if (sd == nullptr) return false;
  TControl* c = sd->OwnerControl;
  if (c == nullptr || c->HasState(csDestroying | csDesigning) || !c->Enabled()) return false;
  const TWinControl* win = WindowedOwner(sd);
  if (sd->Focused || (win != nullptr && win->Focused())) return true;
  return sd->MouseAbove && !InControlTypes(NoHotTrackingTypes, sd->ControlType);
}

bool SectionHasTransparency(const TsCommonData* sd) {
  if (sd == nullptr) return false;
  const TsGeneralData* section = sd->Section();
  return section != nullptr && section->Transparency >= 1;
}

int MaxBorderWidth(const TsCommonData* sd) {
  if (sd == nullptr) return 0;
  const TsMaskData* mask = sd->BorderMask();
  if (mask == nullptr || (mask->StretchMode & 2) != 0) return 0;
  return std::max({mask->WL, mask->WT, mask->WR, mask->WB});
}

bool DependsOnParentBg(const TsCommonData* sd) {
  if (!SkinAvailable(sd, false) || sd->ParentBgForced) return true;
  TControl* c = sd->OwnerControl;
  if (c == nullptr || sd->Has(ccPageSheet) || (c->ControlState() & csCreating) != 0 ||
      !c->Visible())
    return true;
  const TsGeneralData* section = sd->Section();
  if (section == nullptr) return false;
  if (c->Enabled() && section->Transparency < 1) return false;
  TWinControl* parent = c->Parent();
  if (parent == nullptr || !parent->HandleAllocated()) return true;
  return SendCommandToWindow(parent->Handle(), cmdIsBgNonUniform, 0) != 0;
}

int ParentBgNonUniform(const TsCommonData* sd) {
  if (sd == nullptr) return 0;
  TWinControl* parent = sd->OwnerControl != nullptr ? sd->OwnerControl->Parent() : nullptr;
  if (parent == nullptr || !parent->HandleAllocated()) return 0;
  return static_cast<int>(SendCommandToWindow(parent->Handle(), cmdIsBgNonUniform, 0));
}

bool NeedsOwnBgCache(const TsCommonData* sd) {
  if (sd == nullptr) return false;
  const TsGeneralData* section = sd->Section();
  if (section == nullptr) return false;
  if (const TsMaskData* mask = sd->BorderMask();
      mask != nullptr && (mask->WL + mask->WR > 30 || mask->WT + mask->WB > 30))
    return true;
  if (section->Transparency == 100) {
    TControl* c = sd->OwnerControl;
    if (c == nullptr || c->Parent() == nullptr) return true;
    return (QueryControlCommand(c->Parent(), cmdChildBgFlags) & 1) == 0;
  }
  if (section->Transparency == 0)
    return section->ImagePercent != 0 || section->GradientPercent != 0;
  return true;
}

TColor SkinnedBgColor(const TsCommonData* sd, bool hot, HWND handle) {
  if (sd == nullptr) return static_cast<TColor>(ColorToRGB(clBtnFace));
  const TsGeneralData* section = SkinAvailable(sd, false) ? sd->Section() : nullptr;
  if (section == nullptr) return OwnerColor(sd);
  const int t = hot ? section->HotTransparency : section->Transparency;
  const TColor own = hot ? section->HotColor : section->Color;
  if (t <= 0) return sd->CustomColor() ? OwnerColor(sd) : own;
  TControl* c = sd->OwnerControl;
  if (t >= 100) {
    if (c != nullptr)
      return c->Parent() != nullptr ? QueryControlBgColor(c->Parent()) : TransparentColor;
    return handle != nullptr ? QueryWindowBgColor(GetParent(handle))
                             : static_cast<TColor>(ColorToRGB(clBtnFace));
  }
  if (c == nullptr) return 0;
  return MixBgColorByPercent(QueryControlBgColor(c->Parent()), own, t);
}

TColor CommandBgColor(const TsCommonData* sd) {
  TControl* c = sd->OwnerControl;
  const auto ownColor = static_cast<TColor>(ColorToRGB(c->Color()));
  const TsGeneralData* section = SkinAvailable(sd, false) ? sd->Section() : nullptr;
  if (section == nullptr) return ownColor;
  const int t = section->Transparency;
  if (t <= 0) return section->Color;
  const TColor parentColor = c->Parent() != nullptr ? ParentBgColor(c->Parent()) : ownColor;
  return t >= 100 ? parentColor : MixBgColorBy256(parentColor, section->Color, t);
}

int FontSourceSectionIndex(TControl* control, int defaultIndex, TsSkinManager* manager) {
  TsSkinManager* m = manager != nullptr ? manager : DefaultManager;
  if (control == nullptr || control->Parent() == nullptr || m == nullptr) return defaultIndex;
  TControl* parent = control->Parent();
  int index = static_cast<int>(QueryControlCommand(parent, cmdGetSectionIndex)) - 1;
  while (m->Skin().IsSectionIndexValid(index) &&
         m->Skin().GeneralData[static_cast<size_t>(index)].Transparency > 50 &&
         parent->Parent() != nullptr) {
    parent = parent->Parent();
    index = static_cast<int>(QueryControlCommand(parent, cmdGetSectionIndex)) - 1;
  }
  if (!m->Skin().IsSectionIndexValid(index)) return defaultIndex;
  return m->Skin().GeneralData[static_cast<size_t>(index)].GiveOwnFont ? index : defaultIndex;
}

// --- operations ------------------------------------------------------------------------

void SkinDataLoaded(TsCommonData* sd) {
  sd->SetDefaultSkinSection();
  TControl* c = sd->OwnerControl;
  if (!SkinAvailable(sd, false) || c == nullptr || c->Parent() == nullptr || c->HasState(csLoading))
    return;
  if (WindowedOwner(sd) != nullptr) AskFormToAdaptControl(c);
  if (IsEditType(sd)) ApplySectionColors(sd);
}

void PrepareCacheBitmap(TsCommonData* sd) {
  if (!sd->CacheBmp) sd->CacheBmp = NewBitmap24(0, 0);
  TControl* c = sd->OwnerControl;
  if (c != nullptr &&
      (sd->CacheBmp->Width() != c->Width() || sd->CacheBmp->Height() != c->Height()))
    sd->CacheBmp->SetSize(std::max(c->Width(), 0), std::max(c->Height(), 0));
}

void PrepareCacheBitmap24(TsCommonData* sd) {
  PrepareCacheBitmap(sd);
  if (sd->CacheBmp->PixelFormat() != pf24bit) sd->CacheBmp->SetPixelFormat(pf24bit);
}

void InvalidateControlSkin(TsCommonData* sd) {
  TControl* c = sd->OwnerControl;
  if (c == nullptr || c->HasState(csDestroying | csLoading)) return;
  sd->BGChanged = true;
  if (ControlReadyToPaint(c)) c->Invalidate();
}

void SetPaintingSuspended(TsCommonData* sd, bool value) { sd->Updating = value; }

bool ResumePaintingAfterParent(TsCommonData* sd) {
  sd->Updating = false;
  sd->Updating = PaintingSuspended(sd);
  return !sd->Updating;
}

namespace {
void SendPaintLock(TsCommonData* sd, bool locked) {
  sd->Updating = locked;
  const unsigned code = locked ? cmdBeginPaintLock : cmdEndPaintLock;
  if (sd->OwnerControl != nullptr) {
    PerformCommand(sd->OwnerControl, code, 0, 0);
  } else if (TCustomForm* form = ProviderForm(sd); form != nullptr && form->HandleAllocated()) {
    SendCommandToWindow(form->Handle(), code, 0);
  }
}
}  // namespace

void BeginPaintLock(TsCommonData* sd) { SendPaintLock(sd, true); }
void EndPaintLock(TsCommonData* sd) { SendPaintLock(sd, false); }

// --- background for children ------------------------------------------------------------

namespace {

void AnswerColor(TsBgRequest& request, TColor color) {
  request.BgType = btColor;
  request.Color = color;
}

void AnswerFromCache(TsCommonData* sd, TsBgRequest& request) {
  request.BgType = btBitmap;
  request.Bmp = sd->CacheBmp.get();
  request.Offset = {0, 0};
  if (request.PleaseDraw && request.DC != nullptr)
    CopyBitmapToDC(*sd->CacheBmp, request.DC, request.R,
                   {request.AskerPos.X + request.R.Left, request.AskerPos.Y + request.R.Top});
}

// A fully transparent section hands the question on to what lies below.
void AskBelow(TsCommonData* sd, TsBgRequest& request, HWND handle) {
  TControl* c = sd->OwnerControl;
  if (c != nullptr) {
    if (c->Parent() == nullptr) return AnswerColor(request, DefaultGlobalInfoColor());
    ForwardBgRequestToParent(request, c);
    return;
  }
  if (handle == nullptr || GetParent(handle) == nullptr)
    return AnswerColor(request, DefaultGlobalInfoColor());
  ForwardBgRequestToParentWindow(request, handle);
}

}  // namespace

void FillContainerChildBgInfo(TsCommonData* sd, TsBgRequest& request, TPoint clientOffset) {
  const TPoint askerPos = request.AskerPos;
  request.AskerPos = {askerPos.X + clientOffset.X, askerPos.Y + clientOffset.Y};
  FillChildBgInfo(sd, request, false, nullptr);
  request.AskerPos = askerPos;
  if (request.BgType == btBitmap && request.Bmp == sd->CacheBmp.get())
    request.Offset = {request.Offset.X + clientOffset.X, request.Offset.Y + clientOffset.Y};
}

void FillChildBgInfo(TsCommonData* sd, TsBgRequest& request, bool hot, HWND handle) {
  const TsGeneralData* section = SkinAvailable(sd, false) ? sd->Section() : nullptr;
  if (section == nullptr || sd->CustomColor()) return AnswerColor(request, OwnerColor(sd));
  const int t = hot ? section->HotTransparency : section->Transparency;
  const int g = hot ? section->HotGradientPercent : section->GradientPercent;
  const int i = hot ? section->HotImagePercent : section->ImagePercent;
  if (t == 0 && g < 1 && i < 1) {
    AnswerColor(request, SkinnedBgColor(sd, hot, handle));
    if (request.PleaseDraw && request.DC != nullptr)
      FillRectWithColor(request.DC, request.R, request.Color);
    return;
  }
  if (t == 100) {
    const TsMaskData* mask = sd->BorderMask();
    const bool wideBorder =
        mask != nullptr && (mask->WL + mask->WR >= 25 || mask->WT + mask->WB >= 25);
    if (!wideBorder) return AskBelow(sd, request, handle);
    if (!sd->CacheBmp) {
      TControl* c = sd->OwnerControl;
      TControl* parent = c != nullptr ? c->Parent() : nullptr;
      return AnswerColor(
          request, parent != nullptr ? QueryControlBgColor(parent) : DefaultGlobalInfoColor());
    }
  }
  if (sd->CacheBmp) return AnswerFromCache(sd, request);
  AnswerColor(request, TransparentColor);
}

// --- hover glow ---------------------------------------------------------------------------

namespace {

TRect ClipBoxOfWindowDC(HWND wnd) {
  HDC dc = GetWindowDC(wnd);
  RECT clip{};
  GetClipBox(dc, &clip);
  ReleaseDC(wnd, dc);
  return {clip.left, clip.top, clip.right, clip.bottom};
}

// The main form of a skinned MDI child: the frame round its MDI client,
// when that form has the toolkit's provider; null otherwise.
HWND SkinnedMDIMainWindow(TCustomForm* child) {
  if (child->FormStyle() != fsMDIChild || !child->HandleAllocated()) return nullptr;
  HWND client = GetParent(child->Handle());
  HWND main = client != nullptr ? GetParent(client) : nullptr;
  if (main == nullptr || SendCommandToWindow(main, cmdGetProvider, 0) == 0) return nullptr;
  return main;
}

// The window the halo is placed above: an MDI child lies inside its main
// form, whose place among the top-level windows the halo must take.
HWND GlowParentOf(TControl* c) {
  TCustomForm* form = c->GetParentForm();
  if (form == nullptr) return nullptr;
  if (HWND main = SkinnedMDIMainWindow(form)) return main;
  TWinControl* host = form->Parent() != nullptr ? form->Parent() : form;
  return host->HandleAllocated() ? host->Handle() : nullptr;
}

// The part of the control its parent shows, in the control's coordinates.
TRect VisiblePartOf(TControl* c) {
  TRect clip{std::max(0, -c->Left()), std::max(0, -c->Top()), c->Width(), c->Height()};
  if (TWinControl* parent = c->Parent()) {
    const TRect client = parent->ClientRect();
    clip.Right = std::min(clip.Right, client.Right - c->Left());
    clip.Bottom = std::min(clip.Bottom, client.Bottom - c->Top());
  }
  return clip;
}

}  // namespace

void ShowControlGlow(TsCommonData* sd, bool update, HWND handle) {
  TsSkinManager* m = sd->SkinManager();
  const TsGeneralData* section = sd->Section();
  if (m == nullptr || !m->AllowGlowing() || section == nullptr || section->GlowCount < 1) return;
  TControl* c = sd->OwnerControl;
  if (c == nullptr) {
    if (handle == nullptr) return;
    RECT wr{};
    GetWindowRect(handle, &wr);
    sd->GlowIndex = ShowGlow({wr.left, wr.top, wr.right, wr.bottom}, ClipBoxOfWindowDC(handle),
                             sd->SkinSection(), &m->Skin(), GetAncestor(handle, GA_ROOT), 255,
                             section->GlowMargin, "GLOW");
    return;
  }
  const bool pressed = (c->ControlState() & csLButtonDown) != 0;
  if (!sd->MouseAbove || pressed || (update && sd->GlowIndex != -1)) {
    HideControlGlow(sd);
    return;
  }
  if (c->Parent() == nullptr) return;
  const TPoint origin = c->Parent()->ClientToScreen({c->Left(), c->Top()});
  auto* win = dynamic_cast<TWinControl*>(c);
  const TRect clip = win != nullptr && win->HandleAllocated() ? ClipBoxOfWindowDC(win->Handle())
                                                              : VisiblePartOf(c);
  sd->GlowIndex =
      ShowGlow(Bounds(origin.X, origin.Y, c->Width(), c->Height()), clip, sd->SkinSection(),
               &m->Skin(), GlowParentOf(c), 255, section->GlowMargin, "GLOW");
}

void FillCacheCorners(TsCommonData* sd, int state, int corners) {
  TsSkinManager* m = sd->SkinManager();
  TControl* c = sd->OwnerControl;
  if (m == nullptr || !m->Skin().IsSectionIndexValid(sd->SkinIndex) || c == nullptr ||
      c->Parent() == nullptr || !sd->CacheBmp || c->Width() < 2 || c->Height() < 2)
    return;
  TsBgRequest request;
  GetControlBackgroundInfo(request, c->Parent(), false);
  TsBgCacheInfo background;
  BackgroundInfoToCacheInfo(request, background);
  if (background.Ready) background.X += c->Left(), background.Y += c->Top();
  FillCacheCornersFromMask(sd->CacheBmp.get(), &m->Skin(), sd->BorderIndex, state, corners,
                           background);
}

void RefreshCacheCorners(TsCommonData* sd, int state) { FillCacheCorners(sd, state, ccAllCorners); }

void ApplyDisabledKind(TBitmap* bitmap, TsDisabledKind kinds, TControl* control, TPoint point,
                       const TsBgCacheInfo& background) {
  const TColor controlColor = background.FillColor == TransparentColor
                                  ? QueryControlBgColor(control)
                                  : background.FillColor;
  ApplyDisabledKind(bitmap, kinds, point, background, controlColor);
}

void GetParentBgInfo(const TsCommonData* sd, TsBgCacheInfo& info) {
  TControl* c = sd->OwnerControl;
  if (SkinAvailable(sd, false) && c != nullptr && c->Parent() != nullptr) {
    TsBgRequest request;
    GetControlBackgroundInfo(request, c->Parent(), false);
    BackgroundInfoToCacheInfo(request, info);
    return;
  }
  info.X = info.Y = 0;
  info.FillColor = SkinnedBgColor(sd, false, nullptr);
  info.Ready = false;
}

void GetParentBgInfoByHandle(HWND handle, TsBgCacheInfo& info) {
  info.Ready = false;
  HWND parent = handle != nullptr ? GetParent(handle) : nullptr;
  if (parent == nullptr) {
    info = EmptyBgCacheInfo;
    return;
  }
  TsBgRequest request;
  GetWindowBackgroundInfo(request, parent, false);
  BackgroundInfoToCacheInfo(request, info);
}

// --- messages --------------------------------------------------------------------------

namespace {

bool OwnManager(const TMessage& m, const TsCommonData* sd) {
  return reinterpret_cast<TsSkinManager*>(m.LParam) == sd->SkinManager();
}

void SkinRemoved(TsCommonData* sd) {
  sd->ForgetDestroyedManager();
  sd->BorderIndex = sd->SkinIndex = sd->Texture = sd->HotTexture = -1;
  sd->Updating = true;
  if (sd->CacheBmp) sd->CacheBmp->SetSize(0, 0);
  ApplyUnskinnedColors(sd);
}

LRESULT BgNonUniformAnswer(const TsCommonData* sd, const TsGeneralData& section) {
  TControl* c = sd->OwnerControl;
  if (section.Transparency == 100 && c != nullptr && c->Parent() != nullptr)
    return QueryControlCommand(c->Parent(), cmdIsBgNonUniform) != 0 ? 1 : 0;
  if (section.GradientPercent + section.ImagePercent >= 1) return 1;
  return DependsOnParentBg(sd) ? 1 : 0;
}

void BgShifted(TsCommonData* sd, bool redraw) {
  const bool depends = DependsOnParentBg(sd);
  sd->BGChanged = sd->BGChanged || depends;
  TWinControl* win = WindowedOwner(sd);
  if (win == nullptr) return;
  if (redraw && win->HandleAllocated())
    RedrawWindow(win->Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_NOINTERNALPAINT | RDW_NOERASE | RDW_ALLCHILDREN);
  if (!depends) return;
  for (int i = 0; i < win->ControlCount(); ++i)
    if (!Destroying(win->Controls(i))) SendCommandToControl(win->Controls(i), cmdBgShifted, 0);
}

}  // namespace

TacCommandOutcome HandleSkinCommand(TMessage& m, TsCommonData* sd) {
  if (m.Msg != SM_ALPHACMD || sd == nullptr) return coNotOurs;
  if (RefuseForeignAddress(m)) return coAnswered;
  const unsigned code = m.WParamHi();
  const bool lowIsOne = m.WParamLo() == 1;
  const auto answer = [&m](LRESULT result) {
    m.Result = result;
    return coAnswered;
  };
  switch (code) {
    case cmdSkinLoaded:
      if (!OwnManager(m, sd)) return coNotOurs;
      sd->RefreshSkinIndexes();
      sd->UpdateChildBgFlags(false);
      NewSkinInProgress = false;
      return coPassedOn;
    case cmdSkinRemoved:
      if (!OwnManager(m, sd)) return coNotOurs;
      SkinRemoved(sd);
      return coPassedOn;
    case cmdSkinRefresh:
      if (!OwnManager(m, sd)) return coNotOurs;
      sd->BGChanged = true;
      sd->Updating = false;
      if (!SkinAvailable(sd, false)) {
        // The new skin lacks the section: the plain look, not the last skin's.
        ApplyUnskinnedColors(sd);
      } else if (IsEditType(sd)) {
        ApplySectionColors(sd);
        RepaintOwner(sd, false);
      }
      sd->UpdateChildBgFlags(false);
      return coPassedOn;
    case cmdIsSkinned:
      return answer(1);
    case cmdSetSuspended:
      sd->Updating = lowIsOne;
      return coPassedOn;
    case cmdSetParentBgForced:
      sd->ParentBgForced = lowIsOne;
      return coPassedOn;
    case cmdNeedsRepaint:
      return answer(sd->BGChanged || sd->Updating ? 1 : 0);
    case cmdGetPaintSkipped:
      return answer(sd->PaintSkipped ? 1 : 0);
    case cmdTransparentBgChanged:
      if (lowIsOne && SectionHasTransparency(sd)) sd->BGChanged = true;
      return coPassedOn;
    case cmdInvalidateUnnamed:
      if (sd->SkinSection().empty()) {
        NewSkinInProgress = false;
        InvalidateControlSkin(sd);
      }
      return coPassedOn;
    case cmdSetBgChanged:
      sd->BGChanged = true;
      return coPassedOn;
    case cmdIsBgNonUniform: {
      // Without its section the control paints its own plain colour.
      const TsGeneralData* section = sd->Section();
      return answer(section != nullptr ? BgNonUniformAnswer(sd, *section) : 0);
    }
    case cmdBgShifted:
      BgShifted(sd, lowIsOne);
      return coPassedOn;
    case cmdGetBgColor:
      if (sd->OwnerControl == nullptr) return coNotOurs;
      return answer(CommandBgColor(sd));
    case cmdSetPaintSkipped:
      sd->PaintSkipped = true;
      return coPassedOn;
    case cmdGetSectionIndex:
      return answer(sd->SkinIndex + 1);
    case cmdGetBackground:
      if (m.LParam == 0) return coNotOurs;
      // The record is the answer; the result means nothing.
      FillChildBgInfo(sd, *reinterpret_cast<TsBgRequest*>(m.LParam), false, nullptr);
      return answer(0);
    case cmdChildBgFlags:
      if (m.LParam == 1) {
        sd->UpdateChildBgFlags(true);
        return answer(0);
      }
      return answer(sd->ChildBgFlags);
    case cmdGetApplication:
      return answer(reinterpret_cast<LRESULT>(Application));
    default:
      return coNotOurs;  // codes above 60 included
  }
}

namespace {

void FocusChanged(TsCommonData* sd, bool focused) {
  TWinControl* win = WindowedOwner(sd);
  if (win == nullptr || !win->CanFocus() || !win->TabStop()) return;
  sd->BGChanged = true;
  sd->Focused = focused;
  if (InControlTypes(HoverRepaintTypes, sd->ControlType) && (focused || win->Visible()))
    RepaintOwner(sd, false);
}

bool NoGlowFor(int controlType) {
  return InControlTypes(NoGlowTypes, controlType) || (controlType >= 92 && controlType <= 94);
}

void MouseEntered(TsCommonData* sd, const TMessage& m) {
  const bool hotTracked = !InControlTypes(NoHotTrackingTypes, sd->ControlType);
  TWinControl* win = WindowedOwner(sd);
  if (win == nullptr || DefaultManager == nullptr) {
    if (hotTracked) sd->MouseAbove = true;
    return;
  }
  // A flat button of this container may have missed its mouse leave.
  const auto* entered = reinterpret_cast<const TControl*>(m.LParam);
  for (int i = 0; i < win->ControlCount(); ++i) {
    TControl* child = win->Controls(i);
    if (child == sd->OwnerControl || child == entered) continue;
    if (TsCommonData* childData = SkinDataOf(child);
        childData != nullptr && childData->Has(ccHoverResettable) && childData->MouseAbove)
      child->Perform(CM_MOUSELEAVE, 0, 0);
  }
  if (hotTracked) sd->MouseAbove = true;
  DefaultManager->SetHotWindow(win->HandleAllocated() ? win->Handle() : nullptr);
  if (!NoGlowFor(sd->ControlType)) ShowControlGlow(sd, false, nullptr);
  if (InControlTypes(HoverRepaintTypes, sd->ControlType)) {
    sd->BGChanged = true;
    RepaintOwner(sd, true);
  }
}

void MouseLeft(TsCommonData* sd) {
  if (!InControlTypes(NoHotTrackingTypes, sd->ControlType)) sd->MouseAbove = false;
  if (!NoGlowFor(sd->ControlType)) {
    ClearGlows();
    sd->GlowIndex = -1;
  }
  if (sd->OwnerControl->Visible() && InControlTypes(HoverRepaintTypes, sd->ControlType)) {
    sd->BGChanged = true;
    RepaintOwner(sd, true);
  }
}

// A child that follows its parent's right or bottom edge is resized with it
// and repaints anyway; one that keeps its place sees the gradient move under
// it. Every alignment but none follows one of those edges.
bool KeepsItsPlaceOnResize(const TControl* child) { return child->Align() == alNone; }

void Resized(TsCommonData* sd) {
  if (!SkinAvailable(sd, false)) return;
  sd->BGChanged = true;
  const TsGeneralData* section = sd->Section();
  if (TWinControl* win = WindowedOwner(sd); win != nullptr && section->GradientPercent > 0)
    for (int i = 0; i < win->ControlCount(); ++i) {
      TControl* child = win->Controls(i);
      if (!Destroying(child) && KeepsItsPlaceOnResize(child))
        SendCommandWithArgument(child, cmdBgShifted, 1);
    }
  HideControlGlow(sd);
}

}  // namespace

bool PreviewControlMessage(TMessage& m, TsCommonData* sd) {
  if (sd == nullptr) return false;
  TControl* c = sd->OwnerControl;
  switch (m.Msg) {
    case SM_ALPHACMD:
      return HandleSkinCommand(m, sd) == coAnswered;
    case WM_UPDATEUISTATE: {
      if (SkinAvailable(sd, false)) return true;
      // Only a program drawn with visual styles has a theme to give back.
      TWinControl* win = WindowedOwner(sd);
      if (win != nullptr && win->HandleAllocated() && PlatformCalls().IsThemeActive())
        PlatformCalls().SetWindowTheme(win->Handle(), nullptr, nullptr);
      return false;
    }
    case WM_CONTEXTMENU:
      // The pop-up menu is drawn by the skinned menus before it opens.
      if (c != nullptr && c->PopupMenu() != nullptr)
        if (TsSkinManager* manager = sd->SkinManager())
          FormServices().SetMenuSkinned(manager, c->PopupMenu()->Handle(),
                                        manager->SkinnedPopups());
      return false;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      FocusChanged(sd, m.Msg == WM_SETFOCUS);
      return false;
    case WM_MOVE:
      if (c == nullptr || !DependsOnParentBg(sd)) return false;
      sd->BGChanged = true;
      PerformCommand(c, cmdBgShifted, 1, 0);
      HideControlGlow(sd);
      return false;
    case WM_SIZE:
      Resized(sd);
      return false;
    case CM_ENABLEDCHANGED:
    case CM_FONTCHANGED:
    case WM_FONTCHANGE:
      sd->MouseAbove = false;
      sd->Focused = false;
      if (c != nullptr && !c->Enabled()) HideControlGlow(sd);
      return false;
    case WM_PARENTNOTIFY:
      if (LOWORD(m.WParam) == WM_CREATE && WindowedOwner(sd) != nullptr) AskFormToAdaptControl(c);
      return false;
    case CM_VISIBLECHANGED:
      if (!sd->CacheBmp) return false;
      if (m.WParam != 0) {
        sd->Updating = false;
        sd->BGChanged = true;
      } else {
        sd->CacheBmp->SetSize(0, 0);
      }
      return false;
    case CM_SHOWINGCHANGED:
      // Out of sight with a hidden parent or form: neither the control nor
      // its children (as hidden) need the picture until it shows again.
      if (!sd->CacheBmp) return false;
      if (TWinControl* w = WindowedOwner(sd); w != nullptr && !w->Showing()) {
        sd->CacheBmp->SetSize(0, 0);
        sd->BGChanged = true;
      }
      return false;
    case CM_MOUSEENTER:
      if (c == nullptr || c->HasState(csDesigning)) return false;
      MouseEntered(sd, m);
      return false;
    case CM_MOUSELEAVE:
      if (c == nullptr || c->HasState(csDesigning)) return false;
      MouseLeft(sd);
      return false;
    default:
      return false;
  }
}

void CopyCacheToDC(TWinControl* parent, TsCommonData* sd, TPoint srcPoint, int offsetY, int offsetX,
                   HDC dc, const TRect& destRect, bool applyEffect) {
  if (!sd->CacheBmp || dc == nullptr) return;
  if (applyEffect) RefreshCacheCorners(sd, 0);
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, destRect.Left, destRect.Top, destRect.Right, destRect.Bottom);
  if (parent != nullptr) {
    const bool designing = parent->HasState(csDesigning);
    for (int i = 0; i < parent->ControlCount(); ++i) {
      TControl* child = parent->Controls(i);
      if (!child->Visible()) continue;
      const bool clipped = designing || dynamic_cast<TGraphicControl*>(child) != nullptr ||
                           (child->ControlStyle() & csOpaque) != 0;
      TRect r = child->BoundsRect();
      OffsetRect(r, offsetX, offsetY);
      TRect common;
      if (clipped && IntersectRect(common, r, destRect))
        ExcludeClipRect(dc, r.Left, r.Top, r.Right, r.Bottom);
    }
  }
  CopyBitmapToDC(*sd->CacheBmp, dc, destRect, srcPoint);
  RestoreDC(dc, saved);
}

namespace {

// The low style bits name a button type only in a button: other windows use
// them for their own styles.
bool IsButtonWindow(HWND wnd) {
  wchar_t name[16] = {};
  RealGetWindowClassW(wnd, name, 16);
  return lstrcmpiW(name, L"Button") == 0;
}

// A group box is left out by its frame only: the caption strip it names and
// the skin's group-box border widths.
void ExcludeGroupBoxFrame(HDC dc, HWND box, const RECT& r) {
  if (DefaultManager == nullptr) return;
  const TsSkinModel& skin = DefaultManager->Skin();
  const int mask = skin.MaskIndexOf(skin.SectionIndexOf("GROUPBOX"), "GROUPBOX", "BORDERSMASK");
  const int top = static_cast<int>(SendCommandToWindow(box, cmdGetCaptionHeight, 0));
  const int left = mask >= 0 ? skin.MaskMarginLeft(mask) : 0;
  const int right = mask >= 0 ? skin.MaskMarginRight(mask) : 0;
  const int bottom = mask >= 0 ? skin.MaskMarginBottom(mask) : 0;
  ExcludeClipRect(dc, r.left, r.top, r.right, r.top + top);
  ExcludeClipRect(dc, r.left, r.top, r.left + left, r.bottom);
  ExcludeClipRect(dc, r.right - right, r.top, r.right, r.bottom);
  ExcludeClipRect(dc, r.left, r.bottom - bottom, r.right, r.bottom);
}

}  // namespace

void CopyCacheExceptChildWindows(HWND handle, TsCommonData* sd, TPoint srcPoint, int offsetY,
                                 int offsetX, HDC dc, const TRect& destRect, bool applyEffect) {
  if (!sd->CacheBmp || dc == nullptr) return;
  if (applyEffect) RefreshCacheCorners(sd, 0);
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, destRect.Left, destRect.Top, destRect.Right, destRect.Bottom);
  RECT parentRect{};
  GetWindowRect(handle, &parentRect);
  for (HWND child = GetTopWindow(handle); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child)) continue;
    RECT r{};
    GetWindowRect(child, &r);
    OffsetRect(&r, offsetX - parentRect.left, offsetY - parentRect.top);
    const auto style = static_cast<DWORD>(GetWindowLongW(child, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongW(child, GWL_EXSTYLE));
    if (IsButtonWindow(child) && (style & BS_TYPEMASK) > 6 && (exStyle & WS_EX_CLIENTEDGE) == 0)
      ExcludeGroupBoxFrame(dc, child, r);
    else
      ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
  }
  CopyBitmapToDC(*sd->CacheBmp, dc, destRect, srcPoint);
  RestoreDC(dc, saved);
}

}  // namespace kv
