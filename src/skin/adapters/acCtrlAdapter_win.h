// The control adapter: gives a form's standard controls (those the toolkit
// does not own) the skin without changing their classes. A control whose
// class name the skin manager lists in one of its class-name lists gets the
// window adapter of that list; standard speed buttons get a handler; plain
// labels are made transparent with the skin's font colour. The form's
// provider owns one and runs the walk again whenever controls appear.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "skin/adapters/acMainWndTables.h"
#include "skin/adapters/acMainWnd_win.h"
#include "skin/adapters/acToolBarWnd_win.h"

namespace kv {

class TacFormProvider;
class TacCtrlAdapter;
class TSpeedButton;

// The skin data's control-type code of an adapted control.
inline constexpr int AdaptedControlType = 227;

// Same signature as the provider's OnSkinItem: may refuse the control or
// change the section it is skinned with.
using TacSkinItemEvent =
    std::function<void(TComponent* Item, bool& CanBeAdded, std::string& SkinSection)>;

// Makes the window adapter of one kind on a control's window (null for
// None).
using TacAdapterFactory = TacMainWnd* (*)(HWND wnd, TsCommonData* sd, TsSkinManager* manager,
                                          std::string_view section);
TacAdapterFactory AdapterFactoryOf(TacAdapterKind kind);
// The speed-button handler's maker.
using TacGraphHandlerFactory = std::unique_ptr<TacSpeedButtonHandler> (*)(TSpeedButton* button,
                                                                          std::string_view section,
                                                                          TsSkinManager* manager,
                                                                          TsCommonData* sd);
TacGraphHandlerFactory GraphHandlerFactory();

class TacAdapterItem : public TPersistent {
 public:
  explicit TacAdapterItem(TacCtrlAdapter* adapter);
  ~TacAdapterItem() override;
  virtual void HookControl(TWinControl* control);
  // The attached adapter is there and its window still lives.
  bool Alive() const { return ScrollWnd != nullptr && !ScrollWnd->Destroyed; }

  TWinControl* Ctrl = nullptr;
  std::unique_ptr<TsCommonData> SkinData;
  TacCtrlAdapter* Adapter = nullptr;
  TacMainWnd* ScrollWnd = nullptr;
  // Empty: the adapter's own default section.
  std::string Section;
};

class TacGraphItem : public TPersistent {
 public:
  explicit TacGraphItem(TacCtrlAdapter* adapter);
  ~TacGraphItem() override;
  virtual void HookControl(TSpeedButton* control);
  // A button freed meanwhile ends its item too.
  bool Alive() const { return Handler != nullptr && !Handler->Destroyed && Handler->Hooked(); }

  TSpeedButton* Ctrl = nullptr;
  std::unique_ptr<TsCommonData> SkinData;
  TacCtrlAdapter* Adapter = nullptr;
  std::unique_ptr<TacSpeedButtonHandler> Handler;
};

class TacCtrlAdapter : public TPersistent {
 public:
  // onSkinItem is the provider's event, read at each use (may be empty).
  TacCtrlAdapter(TacFormProvider* provider, const TacSkinItemEvent* onSkinItem);
  ~TacCtrlAdapter() override;
  TacCtrlAdapter(const TacCtrlAdapter&) = delete;
  TacCtrlAdapter& operator=(const TacCtrlAdapter&) = delete;

  virtual bool IsControlSupported(TComponent* control);
  virtual TacAdapterItem* GetItem(int index) const;
  virtual void AddGraphItem(TSpeedButton* control);
  virtual void AddItem(TWinControl* control);
  virtual void AddItemWithSection(TWinControl* control, const std::string& section);
  virtual void DeleteItem(int index);
  virtual void BroadcastMessage(TMessage& message);

  // Adapts what parent (the form when null) holds, components and children.
  void AdaptAllControls(TWinControl* parent);
  int Count() const { return static_cast<int>(Items.size()); }
  // Forgets items whose adapter is gone or whose window was destroyed.
  void DropDeadItems();
  void CleanItems();

  TacFormProvider* Provider() const { return provider_; }
  TsSkinManager* SkinManager() const;
  // The item of control; null when it has none.
  TacAdapterItem* ItemOf(const TWinControl* control) const;

  std::vector<std::unique_ptr<TacAdapterItem>> Items;
  std::vector<std::unique_ptr<TacGraphItem>> GraphItems;

 private:
  // The provider's event; true when the control may be skinned.
  bool OfferToProvider(TComponent* control, std::string& section) const;
  bool ListsClass(const TComponent* control) const;
  // One container of a walk; walked holds the containers done so far.
  void AdaptContainer(TWinControl* container, std::vector<const TWinControl*>& walked);
  void AdaptComponents(TWinControl* container, std::vector<const TWinControl*>& walked);
  void AdaptChildren(TWinControl* container, std::vector<const TWinControl*>& walked);
  void AdaptNested(TWinControl* container, std::vector<const TWinControl*>& walked);
  // Transparent, in the skin's font colour; with keepTagged a label tagged
  // to keep its colours is left as it is.
  void SkinLabel(TControl* label, bool keepTagged) const;

  TacFormProvider* provider_;
  const TacSkinItemEvent* onSkinItem_;
};

// Re-entrance guards of the walk and of the freeing.
extern bool AdaptingNow;
extern bool ClearingAdapter;

}  // namespace kv
