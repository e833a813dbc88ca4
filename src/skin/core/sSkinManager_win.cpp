#include "skin/core/sSkinManager_win.h"

#include <shellapi.h>

#include <algorithm>
#include <charconv>
#include <utility>
#include <vector>

#include "base/SysUtils.h"
#include "classlib/Jpeg.h"
#include "classlib/Menus.h"
#include "classlib/PlatformCalls.h"
#include "classlib/Resources.h"
#include "classlib/WideText.h"
#include "skin/core/acFormServices_win.h"
#include "skin/core/acPlatform.h"
#include "skin/core/acUtils.h"
#include "skin/core/acUtils_win.h"
#include "skin/core/sDialogs_win.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sStyleSimply_win.h"
#include "skin/core/sVclUtils_win.h"
#include "skin/graphics/acPNG.h"
#include "skin/graphics/sGraphUtils.h"
#include "skin/model/acToolkitFlags.h"

namespace kv {

TsSkinManager* DefaultManager = nullptr;
bool SkinLoading = false;
bool SkinBroadcasting = false;
bool SkinRemoving = false;
bool IsNTPlatform = true;

namespace {

constexpr UINT kMenuItemPopup = 0xBCB3;   // LParam: a menu item whose pop-up opened
constexpr UINT kMenuWindowPopup = 0xBCB4;  // LParam: a pop-up menu window
constexpr UINT kRepaintAllForms = 0xB000;

// The toolkit's hooks belong to no single manager: the application-window
// hook forwards to whichever manager is the default, and the CBT hook is
// removed when the manager that installed it stops being the default.
struct TacHookOwner {
  bool AppHook(TMessage& m) { return DefaultManager != nullptr && DefaultManager->MainWindowHook(m); }
  bool appHooked = false;
  HHOOK cbtHook = nullptr;
  TsSkinManager* cbtOwner = nullptr;
} hookOwner;

// The hook that is installed: it asks the table for the dialog hook's
// procedure on every call, so a service replaced after installation is the
// one that runs.
LRESULT CALLBACK ToolkitCBTHook(int code, WPARAM wParam, LPARAM lParam) {
  try {
    return FormServices().CBTHookProc(code, wParam, lParam);
  } catch (...) {
    HandleEntryException(nullptr);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void SetDefaultManager(TsSkinManager* manager) {
  if (hookOwner.cbtOwner != nullptr && hookOwner.cbtOwner != manager)
    hookOwner.cbtOwner->RemoveCBTHook();
  DefaultManager = manager;
  if (Application == nullptr || !IsNTPlatform) return;
  const TWindowHook hook(&hookOwner, &TacHookOwner::AppHook);
  if (manager != nullptr && !hookOwner.appHooked) {
    Application->HookMainWindow(hook);
    hookOwner.appHooked = true;
  } else if (manager == nullptr && hookOwner.appHooked) {
    Application->UnhookMainWindow(hook);
    hookOwner.appHooked = false;
  }
}

TMessage Command(unsigned code, LPARAM lParam) {
  TMessage m;
  m.Msg = SM_ALPHACMD;
  m.WParam = CommandWParam(code);
  m.LParam = lParam;
  return m;
}

// Grey and indexed PNGs hold palette indexes; the skin's painters read 24 or 32 bits.
std::shared_ptr<TBitmap> DecodePng(const TacBytes& bytes) {
  auto png = std::make_shared<TPNGGraphic>();
  png->LoadFromMemory(bytes.data(), bytes.size());
  if (png->PixelFormat() != pf32bit) png->SetPixelFormat(pf24bit);
  return png;
}

std::shared_ptr<TBitmap> DecodeJpeg(const TacBytes& bytes) {
  TJPEGImage jpeg;
  jpeg.LoadFromMemory(bytes.data(), bytes.size());
  return std::make_shared<TBitmap>(jpeg.Bitmap());
}

std::string FormatVersion(double version) {
  char text[32];
  const auto r = std::to_chars(text, text + sizeof(text), version);
  return std::string(text, r.ptr);
}

}  // namespace

// --- life cycle --------------------------------------------------------------------------

TsSkinManager::TsSkinManager(TComponent* owner) : TComponent(owner) {
  for (auto& list : thirdLists_) list = std::make_unique<TStringList>();
  if (DefaultManager == nullptr) SetDefaultManager(this);
  FormServices().CreateMenuPainter(this);
}

TsSkinManager::~TsSkinManager() {
  FormServices().FreeMenuPainter(this);
  if (DefaultManager == this) SetDefaultManager(nullptr);
  if (hookOwner.cbtOwner == this) RemoveCBTHook();
}

void TsSkinManager::AfterConstruction() {
  LoadThirdParty(false);
  if (skinDirectory_.empty()) skinDirectory_ = "c:\\Skins";
}

void TsSkinManager::Loaded() {
  TComponent::Loaded();
  if (skinDirectory_.empty()) skinDirectory_ = "c:\\Skins";
  if (MenuSupport.IcoLineSkin.empty()) MenuSupport.IcoLineSkin = "ICOLINE";
  LoadThirdParty(false);
  if (active_ && !skinName_.empty()) SendNewSkin(false);
}

void TsSkinManager::BeforeDestruction() {
  // Marked before the removal goes out, so that every control, provider and
  // adapter given this manager drops it and falls back to the default one.
  // One switched off already still holds them: they hear of it too.
  SetState(csDestroying);
  if (active_)
    SetActive(false);
  else if (!HasState(csLoading))
    SendRemoveSkin();
  extendedBorders_ = false;
  // No other manager takes the default role until one sets IsDefault.
  if (DefaultManager == this) SetDefaultManager(nullptr);
  SaveThirdParty();
  TComponent::BeforeDestruction();
}

// --- settings ----------------------------------------------------------------------------

bool TsSkinManager::ExtendedBorders() const { return extendedBorders_ && LayeredWindowsAvailable(); }

void TsSkinManager::SetExtendedBorders(bool value) {
  if (extendedBorders_ == value) return;
  extendedBorders_ = value;
  PrepareExtBorders();
  Reload();
}

void TsSkinManager::SetSkinnedPopups(bool value) {
  const bool turnedOn = value && !skinnedPopups_;
  skinnedPopups_ = value;
  if (turnedOn && DefaultManager == this) FormServices().ApplySkinActive(this);
}

bool TsSkinManager::AllowGlowing() const { return allowGlowing_ && LayeredWindowsAvailable(); }

bool TsSkinManager::IsDefault() const { return DefaultManager == this; }

void TsSkinManager::SetIsDefault(bool value) {
  if (!value && DefaultManager != nullptr) return;
  SetDefaultManager(this);
  // While streaming, Loaded announces whatever skin the stream loads.
  if (Streaming()) return;
  // A manager that never loaded a skin has none to announce: the forms are
  // told there is no skin rather than given an empty one.
  if (HoldsSkin()) {
    SendNewSkin(true);
    RepaintForms();
  } else {
    SendRemoveSkin();
  }
}

bool TsSkinManager::HoldsSkin() const { return active_ && skin_.CommonSkinData.Active; }

void TsSkinManager::SetActive(bool value) {
  if (active_ == value) return;
  active_ = value;
  if (value) {
    SetSkinName(skinName_);
    return;
  }
  if (!HasState(csLoading)) SendRemoveSkin();
  UpdateCommonIndexes();
}

void TsSkinManager::SetCommonSections(const TStringList& value) {
  commonSections_.Assign(value);
  for (int i = 0; i < commonSections_.Count(); ++i) {
    const std::string& line = commonSections_[i];
    if (!line.empty() && line.front() != ';') commonSections_.Put(i, StringReplaceAll(line, " ", ""));
  }
  SetSkinName(skinName_);
}

void TsSkinManager::SetSaturation(int value) {
  if (saturation_ == value) return;
  saturation_ = value;
  Reload();
}

void TsSkinManager::SetHueOffset(int value) {
  if (hueOffset_ == value) return;
  hueOffset_ = value;
  Reload();
}

void TsSkinManager::SetSkinDirectory(const std::string& value) {
  if (skinDirectory_ == value) return;
  skinDirectory_ = value;
  skin_.CommonSkinData.SkinPath = GetFullSkinDirectory();
}

void TsSkinManager::SetSkinName(const std::string& value) {
  const std::string previous = skinName_;
  skinName_ = value;
  if (active_) LoadSkin(previous);
}

std::string TsSkinManager::SkinInfo() const {
  return skin_.CommonSkinData.Active ? FormatVersion(skin_.CommonSkinData.Version) : "N/A";
}

std::string TsSkinManager::GetFullSkinDirectory() const {
  return ResolveSkinDirectory(skinDirectory_, ProgramFolder());
}

void TsSkinManager::FillSkinList(TStringList& list, int kind, std::string& firstName) const {
  std::vector<TsSkinDirEntry> entries;
  const std::string dir = AddTrailingBackslash(GetFullSkinDirectory());
  if (DirExists(dir)) {
    TacSearchRec rec;
    for (int r = FileFindFirst(dir + "*.*", rec); r == 0; r = FileFindNext(rec)) {
      TsSkinDirEntry e{rec.Name, rec.IsDirectory(), false};
      if (e.IsDirectory) e.HasOptions = FileExists(dir + rec.Name + "\\Options.dat");
      entries.push_back(std::move(e));
    }
    FileFindClose(rec);
  }
  list.Clear();
  for (const std::string& name : SkinListNames(InternalSkins.Names(), entries, kind, firstName))
    list.Add(name);
}

void TsSkinManager::LoadThirdParty(bool reset) {
  for (int i = 0; i < ControlKindCount; ++i) {
    if (reset || ThirdParty.GetItem(i).empty()) ThirdParty.SetItem(i, DefaultClassLists[static_cast<size_t>(i)]);
    thirdLists_[static_cast<size_t>(i)]->SetText(ThirdParty.GetItem(i));
  }
}

void TsSkinManager::SaveThirdParty() {
  for (int i = 0; i < ControlKindCount; ++i)
    ThirdParty.SetItem(i, thirdLists_[static_cast<size_t>(i)]->Text());
}

void TsSkinManager::UpdateCommonIndexes() {
  if (skin_.CommonSkinData.Active || !skin_.GeneralData.empty())
    skin_.UpdateCommonIndexes();
  else
    skin_.CommonIndexes = TsCommonIndexes{};
  PrepareExtBorders();
}

namespace {

// One frame of a picture as a 32-bit picture; a picture without alpha of
// its own is shown as it is (opaque) rather than not at all.
std::unique_ptr<TBitmap> FramePicture(const TBitmap& source, int x, int width, int height) {
  TBitmap from(source);
  if (from.PixelFormat() != pf32bit && from.PixelFormat() != pf24bit) from.SetPixelFormat(pf24bit);
  const bool alpha = from.PixelFormat() == pf32bit;
  width = std::clamp(width, 0, from.Width() - x);
  height = std::clamp(height, 0, from.Height());
  auto picture = std::make_unique<TBitmap>(std::max(width, 1), std::max(height, 1), pf32bit);
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* s = from.ScanLine(y);
    std::uint8_t* d = picture->ScanLine(y);
    for (int i = 0; i < width; ++i) {
      const std::uint8_t* px = alpha ? s + 4 * (x + i) : s + 3 * (x + i);
      d[4 * i] = px[0];
      d[4 * i + 1] = px[1];
      d[4 * i + 2] = px[2];
      d[4 * i + 3] = alpha ? px[3] : 255;
    }
  }
  return picture;
}

}  // namespace

void TsSkinManager::PrepareExtBorders() {
  extBorderMargins_ = {};
  extBorderImages_ = {};
  if (!active_ || !ExtendedBorders() || skin_.GeneralData.empty()) return;
  const TsSkinData& data = skin_.CommonSkinData;
  const int index = skin_.CommonIndexes.ExBorder;
  // Only a picture of its own carries a shadow; one in the master bitmap
  // has none to give, so the built-in shadow is used instead.
  const TsMaskData* mask =
      skin_.IsMaskIndexValid(index) ? &skin_.MaskData[static_cast<size_t>(index)] : nullptr;
  if (mask != nullptr && (mask->Bmp == nullptr || mask->Bmp->Empty())) mask = nullptr;
  std::optional<TacExBorderMask> own;
  if (mask != nullptr) {
    own = TacExBorderMask{mask->WL, mask->WT, mask->WR, mask->WB};
    const int frames = std::max<int>(mask->ImageCount, 1);
    const int w = mask->Bmp->Width() / frames;
    const int h = mask->Bmp->Height() / std::max(mask->MaskType + 1, 1);
    // The first frame is the inactive window's, the second the active one's.
    extBorderImages_[1] = FramePicture(*mask->Bmp, 0, w, h);
    extBorderImages_[0] = frames > 1 ? FramePicture(*mask->Bmp, w, w, h)
                                     : std::make_unique<TBitmap>(*extBorderImages_[1]);
  } else if (ShadowActive() != nullptr && ShadowInactive() != nullptr) {
    const TBitmap& shadow = *ShadowActive();
    extBorderImages_[0] = FramePicture(shadow, 0, shadow.Width(), shadow.Height());
    extBorderImages_[1] = std::make_unique<TBitmap>(*extBorderImages_[0]);
  } else {
    return;
  }
  extBorderMargins_ =
      kv::ExtBorderMargins(own, data.BorderMode, data.FormOffset, true, IsDwmCompositionOn());
  for (auto& picture : extBorderImages_) ClearWhiteTransparentPixels(*picture);
}

// --- loading -----------------------------------------------------------------------------

TsSkinLoadOptions TsSkinManager::LoadOptions() const {
  TsSkinLoadOptions o;
  o.HueOffset = hueOffset_;
  o.Saturation = saturation_;
  o.CommonSections = commonSections_.Text();
  o.DecodePng = DecodePng;
  o.DecodeJpeg = DecodeJpeg;
  o.ColorToRGB = [](std::int32_t c) { return static_cast<std::int32_t>(ColorToRGB(c)); };
  return o;
}

// Finds the skin and builds it aside; the loaded skin is replaced only when
// the new one is complete. Raises what the readers raise.
void TsSkinManager::LoadFound() {
  const TsSkinLocation loc =
      LocateSkin(skinDirectory_, skinName_, ProgramFolder(), InternalSkins.Names(),
                 [](const std::string& f) { return FileExists(f); });
  TsSkinModel fresh;
  switch (loc.Source) {
    case TsSkinSource::None:
      // Nothing anywhere: the caller turns the manager off.
      active_ = false;
      return;
    case TsSkinSource::Packed: {
      const std::optional<TacBytes> bytes = ReadSkinFile(loc.Path);
      if (!bytes) throw ESkinError("Packed skin " + loc.Path + " cannot be read");
      TsSkinLoadOptions options = LoadOptions();
      options.SkinPath = AddTrailingBackslash(GetFullSkinDirectory());
      fresh.LoadFromPackedData(*bytes, options);
      isPacked_ = true;
      break;
    }
    case TsSkinSource::Folder:
      fresh.LoadFromFolder(loc.Path, LoadOptions());
      fresh.CommonSkinData.SkinPath = loc.Path;
      isPacked_ = false;
      break;
    case TsSkinSource::Stored: {
      const TsStoredSkin& stored = InternalSkins.Items(loc.StoredIndex);
      if (stored.Data.empty()) {
        fresh.LoadFromStoredSkin(stored, LoadOptions());
      } else {
        fresh.LoadFromPackedData(stored.Data, LoadOptions());
      }
      fresh.CommonSkinData.SkinPath.clear();
      isPacked_ = !stored.Data.empty();
      break;
    }
  }
  // Announced as active only by the new-skin broadcast.
  fresh.CommonSkinData.Active = false;
  skin_ = std::move(fresh);
  skinName_ = loc.SkinName;
  PrepareExtBorders();
}

// Loads with every flag cleared afterwards; on failure the previous skin
// stays, active as it was, and failure names the reason.
bool TsSkinManager::TryLoad(const std::string& previousName, std::string& failure) {
  const bool wasActive = skin_.CommonSkinData.Active;
  const bool previousPacked = isPacked_;
  TacFlagScope loading(SkinLoading);
  skin_.CommonSkinData.Active = false;
  try {
    LoadFound();
    return true;
  } catch (const std::exception& e) {
    failure = e.what();
  }
  skin_.CommonSkinData.Active = wasActive;
  skinName_ = previousName;
  isPacked_ = previousPacked;
  return false;
}

// Only informs: the skin is in use either way.
void TsSkinManager::ShowVersionNotice() const {
  const std::string notice = SkinVersionNotice(skin_.CommonSkinData);
  if (!notice.empty()) MessageBoxDlg(notice, TacMsgType::Information, msgbtn::OK);
}

bool TsSkinManager::RunChangeEvent(const TNotifyEvent& event) {
  const std::weak_ptr<char> life = life_;
  if (event) {
    const TNotifyEvent handler = event;
    handler(this);
  }
  return !life.expired();
}

void TsSkinManager::LoadSkin(const std::string& previousName) {
  if (!RunChangeEvent(OnBeforeChange)) return;
  const std::weak_ptr<char> life = life_;
  const std::string name = skinName_;
  std::string failure;
  if (!TryLoad(previousName, failure)) {
    ErrorBox("The skin \"" + name + "\" could not be loaded: " + failure);
  } else if (!active_) {
    SendRemoveSkin();
  } else {
    ShowVersionNotice();
    if (life.expired()) return;
    // SkinLoading is already clear: the repaint at the end of the broadcast
    // must draw with the new skin, not skip its work.
    SendNewSkin(true);
  }
  if (!life.expired()) RunChangeEvent(OnAfterChange);
}

void TsSkinManager::Reload() {
  if (!skin_.CommonSkinData.Active || !active_) return;
  std::string failure;
  const bool loaded = TryLoad(skinName_, failure);
  // Only a reload of the same skin: it is active again at once.
  skin_.CommonSkinData.Active = true;
  if (!loaded) {
    ErrorBox("The skin \"" + skinName_ + "\" could not be loaded: " + failure);
    return;
  }
  if (!active_) {
    SendRemoveSkin();
    return;
  }
  const std::weak_ptr<char> life = life_;
  ShowVersionNotice();
  if (!life.expired() && !Streaming()) RepaintForms();
}

// --- broadcasts --------------------------------------------------------------------------

void TsSkinManager::SendNewSkin(bool repaint) {
  if (Streaming()) return;
  FormServices().RemoveAllGlows();
  TacFormsLock lock(this, repaint);
  FormServices().ForgetMenuSection(this);
  skin_.CommonSkinData.Active = false;
  {
    TacFlagScope broadcasting(SkinBroadcasting);
    UpdateCommonIndexes();
    TMessage m = Command(cmdSkinLoaded, reinterpret_cast<LPARAM>(this));
    BroadcastToForms(m);
  }
  skin_.CommonSkinData.Active = true;
  if (DefaultManager == this && !CBTHookInstalled()) InstallCBTHook();
  FormServices().ApplySkinActive(this);
  if (repaint) RepaintForms();
}

void TsSkinManager::RepaintForms() {
  TMessage fade = Command(cmdFadeFinished, reinterpret_cast<LPARAM>(this));
  BroadcastToForms(fade);
  TMessage refresh = Command(cmdSkinRefresh, reinterpret_cast<LPARAM>(this));
  {
    TacFormsLock lock(this, !HasState(csLoading));
    BroadcastToForms(refresh);
  }
  if (HookedWindows == nullptr) return;
  std::vector<HWND> windows;
  for (const auto& w : *HookedWindows) windows.push_back(w->Handle());
  for (HWND wnd : windows)
    if (IsWindowVisible(wnd))
      RedrawWindow(wnd, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
}

void TsSkinManager::SendRemoveSkin() {
  TacFlagScope removing(SkinRemoving);
  FormServices().RemoveAllGlows();
  RemoveCBTHook();
  skin_.CommonSkinData.Active = false;
  TMessage m = Command(cmdSkinRemoved, reinterpret_cast<LPARAM>(this));
  BroadcastToForms(m);
  FormServices().ApplySkinActive(this);
  skin_.MaskData.clear();
  skin_.MasterBitmap.reset();
  skin_.PatternData.clear();
  skin_.GeneralData.clear();
  skin_.CommonIndexes = TsCommonIndexes{};
}

// --- hooks -------------------------------------------------------------------------------

namespace {

// Pointers are compared only: the item asked about may be freed already.
bool TreeHolds(const TMenuItem* root, const TMenuItem* item) {
  if (root == nullptr) return false;
  if (root == item) return true;
  for (int i = 0; i < root->Count(); ++i)
    if (TreeHolds(root->Items(i), item)) return true;
  return false;
}

bool OwnedMenusHold(const TComponent* owner, const TMenuItem* item) {
  for (int i = 0; i < owner->ComponentCount(); ++i) {
    const TComponent* c = owner->Components(i);
    if (const auto* menu = dynamic_cast<const TMenu*>(c); menu && TreeHolds(menu->Items(), item))
      return true;
    if (OwnedMenusHold(c, item)) return true;
  }
  return false;
}

// The menu painter posts an item whose pop-up opened; by the time the
// message arrives the item (or its whole menu) may be gone.
bool MenuItemStillExists(const TMenuItem* item) {
  for (const TPopupMenu* menu : TPopupList::Menus())
    if (TreeHolds(menu->Items(), item)) return true;
  if (Application != nullptr && OwnedMenusHold(Application, item)) return true;
  if (Screen == nullptr) return false;
  for (int i = 0; i < Screen->FormCount(); ++i) {
    const TCustomForm* form = Screen->Forms(i);
    if ((form->Menu() && TreeHolds(form->Menu()->Items(), item)) || OwnedMenusHold(form, item))
      return true;
  }
  return false;
}

}  // namespace

bool TsSkinManager::MainWindowHook(TMessage& message) {
  if (!skinnedPopups_) return false;
  switch (message.Msg) {
    case WM_THEMECHANGED:
      return true;
    case kRepaintAllForms:
      for (int i = Screen->FormCount() - 1; i >= 0; --i)
        if (i < Screen->FormCount() && Screen->Forms(i)->HandleAllocated())
          SendCommandToWindow(Screen->Forms(i)->Handle(), cmdRepaintNow, 0);
      return false;
    case kMenuItemPopup: {
      auto* item = reinterpret_cast<TMenuItem*>(message.LParam);
      if (item == nullptr || !MenuItemStillExists(item) || item->Parent() == nullptr) return true;
      HMENU menu = item->Parent()->Handle();
      RECT r{};
      if (!GetMenuItemRect(nullptr, menu, 0, &r) && !GetMenuItemRect(TPopupList::Window(), menu, 0, &r))
        return true;
      HWND wnd = WindowFromPoint(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
      if (wnd == nullptr) return true;
      if (TBitmap* bmp = FormServices().FindPopupCache(this, item, wnd))
        FormServices().HookPopupWindow(this, wnd, bmp);
      return true;
    }
    case kMenuWindowPopup: {
      auto wnd = reinterpret_cast<HWND>(message.LParam);
      if (wnd == nullptr) return true;
      if (TBitmap* bmp = FormServices().FindPopupCache(this, nullptr, wnd))
        FormServices().HookPopupWindow(this, wnd, bmp);
      return true;
    }
    default:
      return false;
  }
}

bool TsSkinManager::CBTHookInstalled() const { return hookOwner.cbtOwner == this; }

void TsSkinManager::InstallCBTHook() {
  if (DefaultManager != this || hookOwner.cbtOwner != nullptr) return;
  // Marked first: the hook may see windows created while it is set.
  hookOwner.cbtOwner = this;
  if (HookedWindows == nullptr) HookedWindows = new TacHookedWindowList;
  hookOwner.cbtHook = SetWindowsHookExW(WH_CBT, ToolkitCBTHook, nullptr, GetCurrentThreadId());
}

void TsSkinManager::RemoveCBTHook() {
  if (hookOwner.cbtOwner != this) return;
  FormServices().ClearMenuAdapters();
  if (hookOwner.cbtHook != nullptr) UnhookWindowsHookEx(hookOwner.cbtHook);
  // Cleared before the providers go, so that none of them finds the list.
  delete std::exchange(HookedWindows, nullptr);
  hookOwner.cbtHook = nullptr;
  hookOwner.cbtOwner = nullptr;
}

void TsSkinManager::SetHotWindow(HWND wnd) {
  if (wnd == hotWindow_) return;
  HWND previous = hotWindow_;
  hotWindow_ = wnd;
  if (previous != nullptr) SendCommandToWindow(previous, cmdMouseLeave, reinterpret_cast<LPARAM>(this));
  if (wnd != nullptr) SendCommandToWindow(wnd, cmdMouseEnter, reinterpret_cast<LPARAM>(this));
}

// --- toolkit start -----------------------------------------------------------------------

TacBytes ResourceBytes(const std::string& name) {
  HMODULE module = GetModuleHandleW(nullptr);
  if (!ResourceExists(module, name, RT_RCDATA_W)) return {};
  TResourceStream stream(module, name, RT_RCDATA_W);
  return TacBytes(stream.Memory(), stream.Memory() + stream.Size());
}

namespace {

struct TacToolkitStart {
  std::unique_ptr<TPNGGraphic> shadowActive;
  std::unique_ptr<TPNGGraphic> shadowInactive;

  TacToolkitStart() {
    IsNTPlatform = PlatformCalls().IsNTPlatform();
    // The command message keeps its fixed number; the system's answer to
    // its name is not used.
    RegisterWindowMessageW(L"SM_ALPHACMD");
    DefaultScrollArrowSize = GetSystemMetrics(SM_CXHSCROLL);
    RegisterPNGPictureFormat();
    // A program without the shadow pictures just draws forms without shadows.
    shadowActive = LoadPng("acSHDA");
    shadowInactive = LoadPng("acSHDI");
    LoadProgramIcons();
    ShowVersionWhenAsked();
  }
  ~TacToolkitStart() { FreeProgramIcons(); }

  static std::unique_ptr<TPNGGraphic> LoadPng(const char* name) {
    const TacBytes bytes = ResourceBytes(name);
    if (bytes.empty()) return nullptr;
    auto png = std::make_unique<TPNGGraphic>();
    try {
      png->LoadFromMemory(bytes.data(), bytes.size());
    } catch (const std::exception&) {
      return nullptr;
    }
    return png;
  }

  static void ShowVersionWhenAsked() {
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
    if (argv == nullptr) return;
    std::vector<std::string> args;
    for (int i = 0; i < count; ++i) args.push_back(Narrow(argv[i]));
    LocalFree(argv);
    if (AsksForToolkitVersion(args))
      MessageBoxW(nullptr, Wide(ToolkitVersion).c_str(), L"Information",
                  MB_ICONINFORMATION | MB_SETFOREGROUND | MB_TOPMOST);
  }
};

TacToolkitStart& ToolkitStart() {
  static TacToolkitStart start;
  return start;
}

// Runs the start-up with the program's other unit starts.
[[maybe_unused]] const bool toolkitStarted = (ToolkitStart(), true);

}  // namespace

TPNGGraphic* ShadowActive() { return ToolkitStart().shadowActive.get(); }
TPNGGraphic* ShadowInactive() { return ToolkitStart().shadowInactive.get(); }

}  // namespace kv
