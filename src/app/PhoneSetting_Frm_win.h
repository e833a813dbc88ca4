// The alarm phone dialog: the number and nine notification flags of the
// selected row of lvTel, edited modally and written back only on OK.
#pragma once

#include <array>

#include "app/SoftTelephone_Unt.h"
#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"
#include "classlib/ListViews.h"
#include "classlib/StdCtrls.h"
#include "skin/controls/sBevel_win.h"
#include "skin/controls/sBitBtn_win.h"
#include "skin/controls/sCheckBox_win.h"

namespace kv {

class TFormPhoneSetting : public TForm {
 public:
  TFormPhoneSetting(TComponent* owner, TListView* list);

  void AfterConstruction() override;

  TLabeledEdit* lbledt_TelNumber = nullptr;
  TsCheckBox* chk_Dial = nullptr;
  TsCheckBox* chk_TimeRePort = nullptr;
  TsCheckBox* chk_SMSFunction = nullptr;
  TsCheckBox* chk_Alam = nullptr;
  TsCheckBox* chk_AlamReco = nullptr;
  TsCheckBox* chk_ExtendPower = nullptr;
  TsCheckBox* chk_GPRS = nullptr;
  TsCheckBox* chk_GSMSignal = nullptr;
  TsCheckBox* chk_Realy = nullptr;
  TsCheckBox* chk_TelAll = nullptr;
  TsBevel* sbvl_Phone = nullptr;
  TsBitBtn* btn_Phone_OK = nullptr;
  TsBitBtn* btn_Phone_NO = nullptr;

  // The nine flag boxes in the order of the list's flag columns.
  std::array<TsCheckBox*, PhoneFlagCount> FlagBoxes() const;
  // What the controls hold, and showing values in them.
  TPhoneDialogValues Values() const;
  void SetValues(const TPhoneDialogValues& values);

  void FormShow(TObject* Sender);
  void chk_TelAllClick(TObject* Sender);
  void btn_Phone_OKClick(TObject* Sender);
  void btn_Phone_NOClick(TObject* Sender);

 private:
  void CreateControls();
  void LayOutFlags();

  TListView* list_;
};

}  // namespace kv
