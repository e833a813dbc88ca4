// The main window's list pop-up menus and their setting dialogs.
#include "app/ConstLang_Unt.h"
#include "app/DoSetting_Frm_win.h"
#include "app/KV69_Frm_win.h"
#include "app/Message_Frm_win.h"
#include "app/PhoneSetting_Frm_win.h"
#include "app/ThSetting_Frm_win.h"
#include "app/TimerSetting_Frm_win.h"

namespace kv {
namespace {

// True when the list has a selected row; otherwise asks for one.
bool HasSelection(TListView* list) {
  if (list->Selected() != nullptr) return true;
  const std::string text = Lang_MsgSelectOption.empty()
                               ? LangText("Lang_MsgSelectOption", LanguageFlag)
                               : Lang_MsgSelectOption;
  ShowMessageForm(text, Application->Title());
  return false;
}

// A setting dialog lives for one edit: created, shown modally, freed.
template <class TDialog, class... TArgs>
void RunSettingDialog(TArgs&&... args) {
  Owned<TDialog> dialog(Create<TDialog>(Application, std::forward<TArgs>(args)...));
  dialog->ShowModal();
}

void ClearLine(TListView* list) {
  if (!HasSelection(list)) return;
  TListItem* item = list->Selected();
  TListRows rows{ListItemRow(item)};
  ClearRowSubItems(rows, 0, true);
  SetListItemRow(item, rows.front());
}

void ClearAll(TListView* list) {
  list->BeginUpdate();
  for (int i = 0; i < list->Items()->Count(); ++i) {
    TListItem* item = list->Items()->Item(i);
    TListRows rows{ListItemRow(item)};
    ClearAllSubItems(rows);
    SetListItemRow(item, rows.front());
  }
  list->EndUpdate();
}

}  // namespace

void TFormKV69::Pop_Do_SettingClick(TObject*) {
  if (!HasSelection(lvDo)) return;
  RunSettingDialog<TFormDoSetting>(lvDo, lvDo->Selected()->Index());
}

void TFormKV69::Pop_Do_ClearLineClick(TObject*) { ClearLine(lvDo); }

void TFormKV69::Pop_Do_ClearClick(TObject*) { ClearAll(lvDo); }

void TFormKV69::Pop_Th_SettingClick(TObject*) {
  if (!HasSelection(lvTh)) return;
  RunSettingDialog<TFormThSetting>(lvTh, lvTh->Selected()->Caption());
}

void TFormKV69::Pop_Th_ClearLineClick(TObject*) { ClearLine(lvTh); }

void TFormKV69::Pop_Th_ClearClick(TObject*) { ClearAll(lvTh); }

void TFormKV69::Pop_Phone_SettingClick(TObject*) {
  if (!HasSelection(lvTel)) return;
  RunSettingDialog<TFormPhoneSetting>(lvTel);
}

void TFormKV69::Pop_Phone_ClearLineClick(TObject*) { ClearLine(lvTel); }

void TFormKV69::Pop_Phone_ClearClick(TObject*) { ClearAll(lvTel); }

void TFormKV69::Pop_Timer_SettingClick(TObject*) {
  if (!HasSelection(lvTimer)) return;
  RunSettingDialog<TFormTimerSetting>(lvTimer);
}

void TFormKV69::Pop_Timer_DeleteClick(TObject*) { ClearLine(lvTimer); }

void TFormKV69::Pop_Timer_ClearClick(TObject*) { ClearAll(lvTimer); }

}  // namespace kv
