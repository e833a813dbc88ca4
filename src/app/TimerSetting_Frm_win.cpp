#include "app/TimerSetting_Frm_win.h"

#include <algorithm>
#include <string>

#include "app/ConstLang_Unt.h"
#include "app/DoSetting_Frm_win.h"

namespace kv {
namespace {

constexpr int kMargin = 16;
constexpr int kRowStep = 34;
constexpr int kBoxWidth = 200;

// The item of the box equal to the cell text; the first item when none is.
int CellIndex(TsComboBox* box, const std::string& text) {
  return std::max(0, box->IndexOfItem(text));
}

std::string SelectedText(TsComboBox* box) {
  const int index = box->ItemIndex();
  return index >= 0 && index < box->Items()->Count() ? box->Items()->Strings(index) : std::string();
}

}  // namespace

void FillTimerBox(TsComboBox* box, const std::vector<std::string>& list) {
  box->Items()->Clear();
  for (const std::string& text : list) box->Items()->Add(text);
  box->SetItemIndex(0);
}

TFormTimerSetting::TFormTimerSetting(TComponent* owner, TListView* list)
    : TForm(owner), list_(list) {}

void TFormTimerSetting::AfterConstruction() {
  CreateControls();
  OnShow = [this](TObject* sender) { FormShow(sender); };
  TForm::AfterConstruction();
  EnsureTimerLists();
  FillTimerBox(cbb_TimerAction, TimerActionList);
  FillTimerBox(cbb_TimerWeek, TimerWeekList);
  FillTimerBox(cbb_TimerHour, TimerHourList);
  FillTimerBox(cbb_TimerMinute, TimerMinuteList);
}

void TFormTimerSetting::CreateControls() {
  PrepareSettingDialog(*this, 320, 240);
  chk_Timer_Enable = AddDialogCheckBox(*this, "chk_Timer_Enable", kMargin, 16);
  int top = 50;
  const auto row = [&](const char* labelName, TsLabel*& label, const char* boxName,
                       TsComboBox*& box) {
    label = Create<TsLabel>(this);
    label->SetName(labelName);
    label->SetParent(this);
    label->SetBounds(kMargin, top + 4, 60, 16);
    label->SetCaption("");
    box = Create<TsComboBox>(this);
    box->SetName(boxName);
    box->SetParent(this);
    box->SetStyle(csDropDownList);
    box->SetDropDownCount(16);
    box->SetBounds(kMargin + 72, top, kBoxWidth, 24);
    top += kRowStep;
  };
  row("lbl_Timer_Week", lbl_Timer_Week, "cbb_TimerWeek", cbb_TimerWeek);
  row("lbl_TimerHour", lbl_TimerHour, "cbb_TimerHour", cbb_TimerHour);
  row("lbl_TimerMinute", lbl_TimerMinute, "cbb_TimerMinute", cbb_TimerMinute);
  row("lbl_TimerAction", lbl_TimerAction, "cbb_TimerAction", cbb_TimerAction);

  sbvl_Timer = AddDialogBevel(*this, "sbvl_Timer", top + 6);
  btn_OK = AddDialogButton(*this, "btn_OK", 0, top + 22);
  btn_NO = AddDialogButton(*this, "btn_NO", 0, top + 22);
  SetClientHeight(top + 22 + btn_OK->Height() + 12);
  DockBevelToBottom(sbvl_Timer);
  btn_OK->OnClick = [this](TObject* sender) { btn_OKClick(sender); };
  btn_NO->OnClick = [this](TObject* sender) { btn_NOClick(sender); };
  PlaceDialogButtons(*this, {btn_OK, btn_NO});
}

TTimerDialogValues TFormTimerSetting::Values() {
  TTimerDialogValues values;
  values.Enable = chk_Timer_Enable->Checked();
  values.Week = cbb_TimerWeek->ItemIndex();
  values.Hour = cbb_TimerHour->ItemIndex();
  values.Minute = cbb_TimerMinute->ItemIndex();
  values.Action = cbb_TimerAction->ItemIndex();
  return values;
}

void TFormTimerSetting::SetValues(const TTimerDialogValues& values) {
  chk_Timer_Enable->SetChecked(values.Enable);
  cbb_TimerWeek->SetItemIndex(values.Week);
  cbb_TimerHour->SetItemIndex(values.Hour);
  cbb_TimerMinute->SetItemIndex(values.Minute);
  cbb_TimerAction->SetItemIndex(values.Action);
}

void TFormTimerSetting::FormShow(TObject*) {
  const TListItem* item = list_ != nullptr ? list_->Selected() : nullptr;
  std::string caption = Lang_TimerCaption + " ";
  if (item != nullptr) caption += std::to_string(item->Index() + 1);
  SetCaption(caption);
  lbl_Timer_Week->SetCaption(Lang_TimerWeek);
  lbl_TimerHour->SetCaption(Lang_TimerHour);
  lbl_TimerMinute->SetCaption(Lang_TimerMinute);
  lbl_TimerAction->SetCaption(Lang_TimerAction);
  SetCheckBoxCaption(*this, chk_Timer_Enable, Lang_TimerEnable);
  btn_OK->SetCaption(Lang_OK);
  btn_NO->SetCaption(Lang_Cancel);

  // The week and action texts follow the language chosen since creation.
  RebuildTimerLists();
  FillTimerBox(cbb_TimerAction, TimerActionList);
  FillTimerBox(cbb_TimerWeek, TimerWeekList);
  if (item != nullptr) {
    const TListRow row = ListItemRow(item);
    chk_Timer_Enable->SetChecked(IsFlagText(row.Cell(TimerColEnable)));
    cbb_TimerWeek->SetItemIndex(CellIndex(cbb_TimerWeek, row.Cell(TimerColWeek)));
    cbb_TimerHour->SetItemIndex(CellIndex(cbb_TimerHour, row.Cell(TimerColHour)));
    cbb_TimerMinute->SetItemIndex(CellIndex(cbb_TimerMinute, row.Cell(TimerColMinute)));
    cbb_TimerAction->SetItemIndex(CellIndex(cbb_TimerAction, row.Cell(TimerColAction)));
  }
  FitDialogWidth(*this);
  PlaceDialogButtons(*this, {btn_OK, btn_NO});
}

void TFormTimerSetting::btn_OKClick(TObject*) {
  if (TListItem* item = list_ != nullptr ? list_->Selected() : nullptr) {
    TListRow row = ListItemRow(item);
    row.SetCell(TimerColEnable, FlagText(chk_Timer_Enable->Checked()));
    row.SetCell(TimerColWeek, SelectedText(cbb_TimerWeek));
    row.SetCell(TimerColHour, SelectedText(cbb_TimerHour));
    row.SetCell(TimerColMinute, SelectedText(cbb_TimerMinute));
    row.SetCell(TimerColAction, SelectedText(cbb_TimerAction));
    SetListItemRow(item, row);
  }
  SetModalResult(mrOk);
}

void TFormTimerSetting::btn_NOClick(TObject*) { SetModalResult(mrCancel); }

}  // namespace kv
