// The channel setting dialog: the selected row of lvTh, edited modally and
// written back only on OK.
#pragma once

#include <string>

#include "app/SoftDiDoTh_Unt.h"
#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"
#include "classlib/ListViews.h"
#include "classlib/StdCtrls.h"
#include "skin/controls/sBevel_win.h"
#include "skin/controls/sBitBtn_win.h"
#include "skin/controls/sCheckBox_win.h"

namespace kv {

class TFormThSetting : public TForm {
 public:
  // rowCaption ("Temperature1", "湿度3" ...) captions the dialog and picks
  // the defaults.
  TFormThSetting(TComponent* owner, TListView* list, std::string rowCaption);

  void AfterConstruction() override;

  TLabeledEdit* lbledt_Th_ChannelName = nullptr;
  TLabeledEdit* lbledt_Th_AlarmVerify = nullptr;
  TLabeledEdit* lbledt_Th_ThresholdHigh = nullptr;
  TLabeledEdit* lbledt_Th_ThresholdLow = nullptr;
  TLabeledEdit* lbledt_Th_ThresholdHighSMS = nullptr;
  TLabeledEdit* lbledt_Th_ThresholdLowSMS = nullptr;
  TLabeledEdit* lbledt_Th_RecoverySMS = nullptr;
  TsCheckBox* chk_Th_Enable = nullptr;
  TsCheckBox* chk_Th_RecoveryAlarm = nullptr;
  TsCheckBox* chk_Th_AlarmLinkDO1 = nullptr;
  TsCheckBox* chk_Th_AlarmLinkDO2 = nullptr;
  TsBevel* sbvl_OK = nullptr;
  TsBitBtn* btn_Th_OK = nullptr;
  TsBitBtn* btn_Th_NO = nullptr;
  TsBitBtn* btn_Th_Default = nullptr;

  const std::string& RowCaption() const { return rowCaption_; }
  // What the controls hold, and showing values in them.
  TThDialogValues Values() const;
  void SetValues(const TThDialogValues& values);

  void FormShow(TObject* Sender);
  void btn_Th_OKClick(TObject* Sender);
  void btn_Th_NOClick(TObject* Sender);
  void btn_Th_DefaultClick(TObject* Sender);

 private:
  void CreateControls();

  TListView* list_;
  std::string rowCaption_;
};

// The selected row of the list into the dialog, and the dialog into it;
// nothing happens while no row is selected.
void RowToThDialog(TListView* list, TFormThSetting& dialog);
void ThDialogToRow(TListView* list, const TFormThSetting& dialog);

}  // namespace kv
