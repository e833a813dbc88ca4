#include "skin/adapters/acCtrlAdapter_win.h"

#include <algorithm>
#include <array>

#include "classlib/Buttons.h"
#include "classlib/Forms.h"
#include "classlib/StdCtrls.h"
#include "skin/adapters/acButtonWnd_win.h"
#include "skin/adapters/acComboBoxWnd_win.h"
#include "skin/adapters/acDateTimeWnd_win.h"
#include "skin/adapters/acEditWnd_win.h"
#include "skin/adapters/acGridWnd_win.h"
#include "skin/adapters/acListViewWnd_win.h"
#include "skin/adapters/acMnuWnd_win.h"
#include "skin/adapters/acPanelWnd_win.h"
#include "skin/adapters/acSpinWnd_win.h"
#include "skin/adapters/acTabWnd_win.h"
#include "skin/adapters/acToolBarWnd_win.h"
#include "skin/core/acFormServices_win.h"
#include "skin/core/sCommonData_win.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/core/sVclUtils_win.h"

namespace kv {

bool AdaptingNow = false;
bool ClearingAdapter = false;

namespace {

// Tag of a control nobody skins, and of a label that keeps its colours.
constexpr intptr_t TagNeverSkin = -98;
constexpr intptr_t TagKeepColors = 98;

template <class T>
TacMainWnd* Make(HWND wnd, TsCommonData* sd, TsSkinManager* manager, std::string_view section) {
  return CreateAdapter<T>(wnd, true, sd, manager, section);
}

// The adapters whose units give a factory of their own.
template <TacMainWnd* (*Create)(HWND, TsCommonData*, TsSkinManager*, std::string_view, bool)>
TacMainWnd* Made(HWND wnd, TsCommonData* sd, TsSkinManager* manager, std::string_view section) {
  return Create(wnd, sd, manager, section, true);
}

struct KindFactory {
  TacAdapterKind Kind;
  TacAdapterFactory Factory;
};

// One line per adapter kind the class-name lists and the dialog children
// lead to.
constexpr std::array<KindFactory, 25> Factories = {{
    {TacAdapterKind::EditWnd, &Made<CreateEditAdapter>},
    {TacAdapterKind::BtnWnd, &Make<TacBtnWnd>},
    {TacAdapterKind::BitBtnWnd, &Make<TacBitBtnWnd>},
    {TacAdapterKind::CheckBoxWnd, &Make<TacCheckBoxWnd>},
    {TacAdapterKind::ComboBoxWnd, &Made<CreateComboBoxAdapter>},
    {TacAdapterKind::GridWnd, &Make<TacGridWnd>},
    {TacAdapterKind::GroupBoxWnd, &Make<TacGroupBoxWnd>},
    {TacAdapterKind::ListViewWnd, &Made<CreateListViewAdapter>},
    {TacAdapterKind::PanelWnd, &Make<TacPanelWnd>},
    {TacAdapterKind::TreeViewWnd, &Make<TacTreeViewWnd>},
    {TacAdapterKind::WWComboBoxWnd, &Made<CreateWWComboBoxAdapter>},
    {TacAdapterKind::GridEhWnd, &Make<TacGridEhWnd>},
    {TacAdapterKind::VirtualTreeViewWnd, &Make<TacVirtualTreeViewWnd>},
    {TacAdapterKind::PageControlWnd, &Made<CreatePageControlAdapter>},
    {TacAdapterKind::TabControlWnd, &Made<CreateTabControlAdapter>},
    {TacAdapterKind::ToolBarVCLWnd, &Made<CreateToolBarVCLAdapter>},
    {TacAdapterKind::StatusBarWnd, &Made<CreateStatusBarAdapter>},
    {TacAdapterKind::StaticWnd, &Make<TacStaticWnd>},
    {TacAdapterKind::IconWnd, &Make<TacIconWnd>},
    {TacAdapterKind::LinkWnd, &Make<TacLinkWnd>},
    {TacAdapterKind::DlgPanelWnd, &Made<CreateDlgPanelAdapter>},
    {TacAdapterKind::TransPanelWnd, &Make<TacTransPanelWnd>},
    {TacAdapterKind::SizerWnd, &Make<TacSizerWnd>},
    {TacAdapterKind::SpinWnd, &Made<CreateSpinAdapter>},
    {TacAdapterKind::ToolBarWnd, &Made<CreateToolBarAdapter>},
}};

constexpr TacGraphHandlerFactory SpeedButtonHandlerFactory = &CreateSpeedButtonHandler;

bool Excluded(const TComponent* c) { return c->Tag() == TagNeverSkin; }

bool AnswersSkinned(TControl* control) { return QueryControlCommand(control, cmdIsSkinned) != 0; }

// The class library's own labels; the toolkit's labels skin themselves.
bool IsStandardLabel(const TComponent* c) {
  return dynamic_cast<const TLabel*>(c) != nullptr ||
         dynamic_cast<const TBoundLabel*>(c) != nullptr;
}

std::unique_ptr<TsCommonData> MakeItemSkinData(TObject* owner, TsSkinManager* manager) {
  auto sd = std::make_unique<TsCommonData>(owner, true);
  sd->ControlType = AdaptedControlType;
  if (manager != nullptr) sd->SetSkinManager(manager);
  return sd;
}

}  // namespace

TacAdapterFactory AdapterFactoryOf(TacAdapterKind kind) {
  for (const KindFactory& f : Factories)
    if (f.Kind == kind) return f.Factory;
  return nullptr;
}

TacGraphHandlerFactory GraphHandlerFactory() { return SpeedButtonHandlerFactory; }

// --- items ------------------------------------------------------------------------------

TacAdapterItem::TacAdapterItem(TacCtrlAdapter* adapter)
    : SkinData(MakeItemSkinData(this, adapter->SkinManager())), Adapter(adapter) {}

TacAdapterItem::~TacAdapterItem() { FreeAdapter(ScrollWnd); }

void TacAdapterItem::HookControl(TWinControl* control) {
  if (control == nullptr || Excluded(control) || !control->HandleAllocated() ||
      control->Parent() == nullptr || AnswersSkinned(control))
    return;
  Ctrl = control;
  SkinData->OwnerControl = control;
  TsSkinManager* manager = SkinData->SkinManager();
  if (manager == nullptr) return;
  const int kind = ControlKindOfClass(manager->ThirdParty, control->ClassName());
  const TacAdapterFactory make = AdapterFactoryOf(AdapterOfControlKind(kind));
  if (make != nullptr) ScrollWnd = make(control->Handle(), SkinData.get(), manager, Section);
}

TacGraphItem::TacGraphItem(TacCtrlAdapter* adapter)
    : SkinData(MakeItemSkinData(this, adapter->SkinManager())), Adapter(adapter) {}

TacGraphItem::~TacGraphItem() = default;

void TacGraphItem::HookControl(TSpeedButton* control) {
  if (control == nullptr || Excluded(control)) return;
  Ctrl = control;
  SkinData->OwnerControl = control;
  const std::string section = control->Flat() ? "SPEEDBUTTON_SMALL" : "SPEEDBUTTON";
  SkinData->SetSkinSection(section);
  if (const TacGraphHandlerFactory make = GraphHandlerFactory())
    Handler = make(control, section, SkinData->SkinManager(), SkinData.get());
}

// --- the adapter ------------------------------------------------------------------------

TacCtrlAdapter::TacCtrlAdapter(TacFormProvider* provider, const TacSkinItemEvent* onSkinItem)
    : provider_(provider), onSkinItem_(onSkinItem) {}

TacCtrlAdapter::~TacCtrlAdapter() {
  DropDeadItems();
  CleanItems();
}

TsSkinManager* TacCtrlAdapter::SkinManager() const {
  TsSkinManager* manager = provider_ != nullptr ? provider_->SkinManager() : nullptr;
  return manager != nullptr ? manager : DefaultManager;
}

bool TacCtrlAdapter::OfferToProvider(TComponent* control, std::string& section) const {
  bool canBeAdded = true;
  if (onSkinItem_ != nullptr && *onSkinItem_) (*onSkinItem_)(control, canBeAdded, section);
  return canBeAdded;
}

bool TacCtrlAdapter::ListsClass(const TComponent* control) const {
  const TsSkinManager* manager = SkinManager();
  return manager != nullptr && ControlKindOfClass(manager->ThirdParty, control->ClassName()) >= 0;
}

bool TacCtrlAdapter::IsControlSupported(TComponent* control) {
  if (control == nullptr || Excluded(control)) return false;
  std::string section;
  if (auto* win = dynamic_cast<TWinControl*>(control)) {
    if (!win->HandleAllocated() || AnswersSkinned(win)) return false;
    // A frame is no listed class: the provider's event alone decides.
    if (dynamic_cast<TCustomFrame*>(win) != nullptr) return OfferToProvider(control, section);
    return ListsClass(win);
  }
  if (dynamic_cast<TCustomLabel*>(control) != nullptr) return OfferToProvider(control, section);
  if (dynamic_cast<TSpeedButton*>(control) != nullptr)
    return ListsClass(control) && OfferToProvider(control, section);
  return false;
}

TacAdapterItem* TacCtrlAdapter::GetItem(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return Items[static_cast<size_t>(index)].get();
}

TacAdapterItem* TacCtrlAdapter::ItemOf(const TWinControl* control) const {
  for (const auto& item : Items)
    if (item != nullptr && item->Ctrl == control) return item.get();
  return nullptr;
}

void TacCtrlAdapter::AddItem(TWinControl* control) { AddItemWithSection(control, {}); }

void TacCtrlAdapter::AddItemWithSection(TWinControl* control, const std::string& section) {
  if (control == nullptr || Excluded(control) || control->Parent() == nullptr ||
      AnswersSkinned(control))
    return;
  std::string chosen = section;
  if (!OfferToProvider(control, chosen)) return;
  // A frame gets a frame adapter of its own (owned by the frame, which then
  // answers as skinned and is not offered again); the section the event
  // gave does not apply to it.
  if (dynamic_cast<TCustomFrame*>(control) != nullptr) {
    FormServices().AdaptFrame(control, SkinManager(), "GROUPBOX");
    return;
  }

  if (TacAdapterItem* item = ItemOf(control)) {
    item->Section = chosen;
    if (!chosen.empty()) item->SkinData->SetSkinSection(chosen);
    if (item->ScrollWnd != nullptr && item->ScrollWnd->Destroyed) {
      // The window was made again: the old adapter served the old one.
      FreeAdapter(item->ScrollWnd);
      item->HookControl(control);
    }
    return;
  }
  auto item = std::make_unique<TacAdapterItem>(this);
  item->Ctrl = control;
  item->Section = chosen;
  if (!chosen.empty()) item->SkinData->SetSkinSection(chosen);
  item->HookControl(control);
  if (item->ScrollWnd != nullptr) Items.push_back(std::move(item));
}

void TacCtrlAdapter::AddGraphItem(TSpeedButton* control) {
  if (control == nullptr || Excluded(control) || control->Parent() == nullptr ||
      SendCommandToControl(control, cmdIsSkinned, 0) != 0)
    return;
  std::string section = "SPEEDBUTTON";
  if (!OfferToProvider(control, section)) return;
  for (const auto& item : GraphItems) {
    if (item->Ctrl != control) continue;
    if (item->Handler != nullptr && item->Handler->Destroyed) {
      item->Handler.reset();
      item->HookControl(control);
    }
    return;
  }
  auto item = std::make_unique<TacGraphItem>(this);
  item->Adapter = this;
  item->HookControl(control);
  if (item->Handler != nullptr) GraphItems.push_back(std::move(item));
}

void TacCtrlAdapter::SkinLabel(TControl* label, bool keepTagged) const {
  if (Excluded(label) || (keepTagged && label->Tag() == TagKeepColors)) return;
  TsSkinManager* manager = DefaultManager != nullptr ? DefaultManager : SkinManager();
  if (manager == nullptr) return;
  if (auto* l = dynamic_cast<TCustomLabel*>(label)) l->SetTransparent(true);
  label->Font()->SetColor(static_cast<TColor>(manager->Skin().GetGlobalInfoFontColor()));
}

void TacCtrlAdapter::AdaptComponents(TWinControl* container,
                                     std::vector<const TWinControl*>& walked) {
  // A component added by an adapter or an event joins the walk.
  for (int i = 0; i < container->ComponentCount(); ++i) {
    TComponent* c = container->Components(i);
    if (IsControlSupported(c)) {
      if (auto* win = dynamic_cast<TWinControl*>(c))
        AddItemWithSection(win, {});
      else if (IsStandardLabel(c))
        SkinLabel(static_cast<TControl*>(c), true);
    }
    if (auto* win = dynamic_cast<TWinControl*>(c)) AdaptNested(win, walked);
  }
}

void TacCtrlAdapter::AdaptChildren(TWinControl* container, std::vector<const TWinControl*>& walked) {
  for (int i = 0; i < container->ControlCount(); ++i) {
    TControl* c = container->Controls(i);
    if (IsControlSupported(c)) {
      if (auto* win = dynamic_cast<TWinControl*>(c))
        AddItemWithSection(win, {});
      else if (dynamic_cast<TLabel*>(c) != nullptr)
        // The children's walk knows no tag that keeps a label's colours.
        SkinLabel(c, false);
      else if (auto* button = dynamic_cast<TSpeedButton*>(c))
        AddGraphItem(button);
    }
    if (auto* win = dynamic_cast<TWinControl*>(c)) AdaptNested(win, walked);
  }
}

// A windowed control with a window and a parent is walked in turn, with the
// guard open as for a walk of its own.
void TacCtrlAdapter::AdaptNested(TWinControl* win, std::vector<const TWinControl*>& walked) {
  if (!win->HandleAllocated() || win->Parent() == nullptr) return;
  AdaptingNow = false;
  AdaptContainer(win, walked);
  AdaptingNow = true;
}

void TacCtrlAdapter::AdaptAllControls(TWinControl* parent) {
  TWinControl* container = parent;
  if (container == nullptr && provider_ != nullptr) container = provider_->Form();
  if (container == nullptr) return;
  // The form owns the controls of every panel it holds, and each panel is
  // reached again as a child: a container walked once in a walk has all it
  // holds adapted, and a second look would only find the same items.
  std::vector<const TWinControl*> walked;
  AdaptContainer(container, walked);
}

void TacCtrlAdapter::AdaptContainer(TWinControl* container,
                                    std::vector<const TWinControl*>& walked) {
  TsSkinManager* manager = SkinManager();
  if (AdaptingNow || manager == nullptr || (manager->SkinningRules & srThirdParty) == 0) return;
  if (std::find(walked.begin(), walked.end(), container) != walked.end()) return;
  walked.push_back(container);
  AdaptingNow = true;
  try {
    DropDeadItems();
    AdaptComponents(container, walked);
    AdaptChildren(container, walked);
  } catch (...) {
    AdaptingNow = false;
    throw;
  }
  AdaptingNow = false;
}

void TacCtrlAdapter::DropDeadItems() {
  std::erase_if(Items, [](const auto& item) { return item == nullptr || !item->Alive(); });
  std::erase_if(GraphItems, [](const auto& item) { return item == nullptr || !item->Alive(); });
}

void TacCtrlAdapter::DeleteItem(int index) {
  if (index < 0 || index >= Count()) return;
  const auto i = static_cast<size_t>(index);
  Items[i] = std::move(Items.back());
  Items.pop_back();
}

void TacCtrlAdapter::BroadcastMessage(TMessage& message) {
  // An adapter may drop its window while it handles the message.
  std::vector<HWND> targets;
  for (const auto& item : Items)
    if (item->Alive() && item->Ctrl != nullptr && item->Ctrl->Parent() != nullptr)
      targets.push_back(item->ScrollWnd->CtrlHandle);
  for (HWND wnd : targets)
    if (IsWindow(wnd)) SendMessageW(wnd, message.Msg, message.WParam, message.LParam);
}

void TacCtrlAdapter::CleanItems() {
  if (ClearingAdapter) return;
  ClearingAdapter = true;
  // Outside a skin removal the adapters leave their windows as they are.
  const bool wasFreeing = std::exchange(acAdaptersFreeing, true);
  while (!Items.empty()) Items.pop_back();
  while (!GraphItems.empty()) GraphItems.pop_back();
  acAdaptersFreeing = wasFreeing;
  ClearingAdapter = false;
}

}  // namespace kv
