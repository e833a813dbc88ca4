#include "skin/forms/sSystemMenu_win.h"

#include "base/StringList.h"
#include "classlib/Forms.h"
#include "classlib/WideText.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/forms/sSkinProvider_win.h"

namespace kv {

namespace {

constexpr int kMaxMenuText = 255;
constexpr const char* kSkinSelectName = "SkinSelectItem";
constexpr const char* kSkinSelectCaption = "Available skins";

struct TStandardItem {
  const char* Name;
  UINT Command;
  const char* Caption;  // when the window's menu lacks the command
};
constexpr TStandardItem kStandardItems[] = {
    {"acIR", SC_RESTORE, "Restore"},   {"acIM", SC_MOVE, "Move"},         {"acIS", SC_SIZE, "Size"},
    {"acIN", SC_MINIMIZE, "Minimize"}, {"acIX", SC_MAXIMIZE, "Maximize"},
};

// A menu text split at its first TAB into caption and shortcut text.
struct TMenuText {
  std::string Caption, ShortCut;
  bool Found = false;
};
TMenuText ReadMenuText(HMENU menu, UINT id, UINT flags) {
  wchar_t buffer[kMaxMenuText + 1] = {};
  TMenuText t;
  const int n = GetMenuStringW(menu, id, buffer, kMaxMenuText, flags);
  if (n <= 0) return t;
  t.Found = true;
  const std::string text = Narrow(std::wstring_view(buffer, static_cast<size_t>(n)));
  const size_t tab = text.find('\t');
  t.Caption = text.substr(0, tab);
  if (tab != std::string::npos) t.ShortCut = text.substr(tab + 1);
  return t;
}

}  // namespace

TsSystemMenu::TsSystemMenu(TComponent* owner, TsSkinProvider* provider)
    : TsCustomSysMenu(owner), owner_(provider) {
  SetName("SysMenu");
  Generate();
}

HWND TsSystemMenu::FormWnd() const {
  TCustomForm* form = owner_ != nullptr ? owner_->Form() : nullptr;
  return form != nullptr && form->HandleAllocated() ? form->Handle() : nullptr;
}

TsFormState TsSystemMenu::State() const {
  return owner_ != nullptr ? owner_->FormState() : TsFormState{};
}

TMenuItem* TsSystemMenu::AddItem(const std::string& name, const std::string& caption,
                                 UINT command) {
  auto* item = Create<TMenuItem>(this);
  item->SetName(name);
  item->SetCaption(caption);
  item->SetTag(static_cast<intptr_t>(command));
  Items()->Add(item);
  return item;
}

void TsSystemMenu::AddLine() {
  auto* line = Create<TMenuItem>(this);
  line->SetCaption("-");
  Items()->Add(line);
}

void TsSystemMenu::Generate() {
  while (Items()->Count() > 0) {
    TMenuItem* item = Items()->Items(0);
    Items()->Remove(item);
    item->Free();
  }
  ItemRestore = ItemMove = ItemSize = ItemMinimize = ItemMaximize = ItemClose = nullptr;
  ExtraItemsCount = 0;
  HMENU menu = owner_ != nullptr ? owner_->SystemMenu() : nullptr;
  if (menu == nullptr) return;
  TMenuItem** standard[] = {&ItemRestore, &ItemMove, &ItemSize, &ItemMinimize, &ItemMaximize};
  for (size_t i = 0; i < std::size(kStandardItems); ++i) {
    const TStandardItem& s = kStandardItems[i];
    const TMenuText t = ReadMenuText(menu, s.Command, MF_BYCOMMAND);
    TMenuItem* item = AddItem(s.Name, t.Found ? t.Caption : s.Caption, s.Command);
    item->OnClick = [this](TObject* sender) { SystemCommand(sender); };
    *standard[i] = item;
  }
  AddLine();
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    const UINT id = GetMenuItemID(menu, i);
    if (id == 0 || id == static_cast<UINT>(-1) || id >= SC_SIZE) continue;
    const TMenuText t = ReadMenuText(menu, static_cast<UINT>(i), MF_BYPOSITION);
    if (t.Caption.empty()) continue;
    TMenuItem* item = AddItem("", t.Caption, id);
    if (!t.ShortCut.empty()) item->SetShortCut(TextToShortCut(t.ShortCut));
    item->OnClick = [this](TObject* sender) { ExtraCommand(sender); };
    ++ExtraItemsCount;
  }
  if (ExtraItemsCount > 0) AddLine();
  const TMenuText close = ReadMenuText(menu, SC_CLOSE, MF_BYCOMMAND);
  ItemClose = AddItem("acIC", close.Found ? close.Caption : "Close", SC_CLOSE);
  if (!close.ShortCut.empty()) ItemClose->SetShortCut(TextToShortCut(close.ShortCut));
  ItemClose->OnClick = [this](TObject* sender) { SystemCommand(sender); };
}

void TsSystemMenu::UpdateItems(bool rebuild) {
  if (rebuild) Generate();
  if (owner_ == nullptr || owner_->Form() == nullptr) return;
  const TsFormState f = State();
  auto set = [](TMenuItem* item, bool visible, bool enabled) {
    if (item == nullptr) return;
    item->SetVisible(visible);
    item->SetEnabled(enabled);
  };
  set(ItemRestore, RestoreVisible(f), EnabledRestore());
  set(ItemMove, true, MoveEnabled(f));
  set(ItemSize, SizeVisible(f), SizeEnabled(f));
  set(ItemMinimize, VisibleMin(), EnabledMin());
  set(ItemMaximize, VisibleMax(), EnabledMax());
  set(ItemClose, VisibleClose(), true);
}

void TsSystemMenu::SystemCommand(TObject* sender) {
  auto* item = static_cast<TMenuItem*>(sender);
  HWND wnd = FormWnd();
  if (wnd == nullptr) return;
  const UINT command = static_cast<UINT>(item->Tag());
  // The main form minimised takes the whole application with it.
  if (command == SC_MINIMIZE && Application != nullptr &&
      Application->MainForm() == owner_->Form())
    Application->Minimize();
  else
    SendMessageW(wnd, WM_SYSCOMMAND, command, 0);
  if (command == SC_RESTORE || command == SC_MINIMIZE || command == SC_MAXIMIZE) UpdateItems(false);
}

void TsSystemMenu::ExtraCommand(TObject* sender) {
  if (HWND wnd = FormWnd())
    PostMessageW(wnd, WM_SYSCOMMAND, static_cast<WPARAM>(static_cast<TMenuItem*>(sender)->Tag()),
                 0);
}

void TsSystemMenu::AddSkinSelectItems() {
  TsSkinManager* manager = owner_ != nullptr ? owner_->SkinManager() : nullptr;
  if (manager == nullptr) return;
  TStringList names;
  std::string first;
  // Stored skins and both kinds the skin directory holds: packed files and folders.
  manager->FillSkinList(names, 2, first);
  if (names.Count() == 0) return;
  auto* root = Create<TMenuItem>(this);
  root->SetName(kSkinSelectName);
  root->SetCaption(kSkinSelectCaption);
  Items()->Insert(0, root);
  auto* line = Create<TMenuItem>(this);
  line->SetCaption("-");
  Items()->Insert(1, line);
  for (int i = 0; i < names.Count(); ++i) {
    // Owned by their parent item, so that a rebuilt list frees the old one.
    auto* item = Create<TMenuItem>(root);
    item->SetCaption(SkinSelectCaption(names[i]));
    item->SetName(kSkinSelectName + std::to_string(i));
    item->SetRadioItem(true);
    item->SetChecked(names[i] == manager->SkinName());
    if (SkinSelectItemBreaks(i)) item->SetBreak(mbBreak);
    item->OnClick = [this](TObject* sender) { SkinSelected(sender); };
    root->Add(item);
  }
}

void TsSystemMenu::SkinSelected(TObject* sender) {
  TsSkinManager* manager = owner_ != nullptr ? owner_->SkinManager() : nullptr;
  if (manager == nullptr) return;
  manager->SetSkinName(SkinNameOfCaption(static_cast<TMenuItem*>(sender)->Caption()));
}

// --- the provider's side ----------------------------------------------------------------

void TsSkinProvider::DropSysMenu(int x, int y) {
  HWND wnd = FormHandle();
  TsSkinManager* manager = SkinManager();
  if (wnd == nullptr || manager == nullptr) return;
  const TsFormState f = FormState();
  if (!manager->SkinnedPopups()) {
    HMENU menu = systemMenu_ != nullptr ? systemMenu_ : GetSystemMenu(wnd, FALSE);
    if (menu == nullptr) return;
    const TsNativeSysMenuEnabled e = NativeSysMenuEnabled(f);
    const std::pair<UINT, bool> entries[] = {{SC_RESTORE, e.Restore},   {SC_MOVE, e.Move},
                                             {SC_SIZE, e.Size},         {SC_MINIMIZE, e.Minimize},
                                             {SC_MAXIMIZE, e.Maximize}, {SC_CLOSE, e.Close}};
    // The system would repaint its own caption while the entries change.
    const LONG style = GetWindowLongW(wnd, GWL_STYLE);
    SetWindowLongW(wnd, GWL_STYLE, style & ~WS_VISIBLE);
    for (const auto& [command, enabled] : entries)
      EnableMenuItem(menu, command, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    SetWindowLongW(wnd, GWL_STYLE, GetWindowLongW(wnd, GWL_STYLE) | (style & WS_VISIBLE));
    const UINT command = static_cast<UINT>(
        TrackPopupMenu(menu, TPM_RIGHTBUTTON | TPM_RETURNCMD, x, y, 0, wnd, nullptr));
    if (command != 0) PostMessageW(wnd, WM_SYSCOMMAND, command, 0);
    return;
  }
  const bool made = sysMenu_ == nullptr;
  if (made) sysMenu_ = Create<TsSystemMenu>(this, this);
  // Built afresh each time: the program may have changed the window's menu since.
  sysMenu_->UpdateItems(!made);
  if (MakeSkinMenu && sysMenu_->Items()->Count() > 0) {
    TMenuItem* first = sysMenu_->Items()->Items(0);
    if (first->Name() == kSkinSelectName) {
      sysMenu_->Items()->Remove(first);
      first->Free();
      if (sysMenu_->Items()->Count() > 0 && sysMenu_->Items()->Items(0)->IsLine()) {
        TMenuItem* line = sysMenu_->Items()->Items(0);
        sysMenu_->Items()->Remove(line);
        line->Free();
      }
    }
    sysMenu_->AddSkinSelectItems();
  }
  FormServices().SetMenuSkinned(manager, sysMenu_->Handle(), true);
  sysMenu_->SetWindowHandle(wnd);
  sysMenu_->Popup(x, y);
}

}  // namespace kv
