// The timer dialog: enable, week day, hour, minute and action of the
// selected row of lvTimer, edited modally and written back only on OK. The
// boxes offer the timer lists of SoftDateTime_Unt, so that every saved timer
// holds texts of the current lists.
#pragma once

#include <string>
#include <vector>

#include "app/SoftDateTime_Unt.h"
#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"
#include "classlib/ListViews.h"
#include "skin/controls/sBevel_win.h"
#include "skin/controls/sBitBtn_win.h"
#include "skin/controls/sCheckBox_win.h"
#include "skin/controls/sComboBox_win.h"
#include "skin/controls/sLabel_win.h"

namespace kv {

class TFormTimerSetting : public TForm {
 public:
  TFormTimerSetting(TComponent* owner, TListView* list);

  void AfterConstruction() override;

  TsCheckBox* chk_Timer_Enable = nullptr;
  TsLabel* lbl_Timer_Week = nullptr;
  TsComboBox* cbb_TimerWeek = nullptr;
  TsLabel* lbl_TimerHour = nullptr;
  TsComboBox* cbb_TimerHour = nullptr;
  TsLabel* lbl_TimerMinute = nullptr;
  TsComboBox* cbb_TimerMinute = nullptr;
  TsLabel* lbl_TimerAction = nullptr;
  TsComboBox* cbb_TimerAction = nullptr;
  TsBevel* sbvl_Timer = nullptr;
  TsBitBtn* btn_OK = nullptr;
  TsBitBtn* btn_NO = nullptr;

  // What the controls hold (item indexes), and showing values in them.
  TTimerDialogValues Values();
  void SetValues(const TTimerDialogValues& values);

  void FormShow(TObject* Sender);
  void btn_OKClick(TObject* Sender);
  void btn_NOClick(TObject* Sender);

 private:
  void CreateControls();

  TListView* list_;
};

// Empties the box, gives it a copy of the list and selects the first item.
void FillTimerBox(TsComboBox* box, const std::vector<std::string>& list);

}  // namespace kv
