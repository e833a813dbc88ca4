#include "app/PhoneSetting_Frm_win.h"

#include <algorithm>
#include <string>

#include "app/ConstLang_Unt.h"
#include "app/DoSetting_Frm_win.h"

namespace kv {
namespace {

constexpr int kMargin = 16;
constexpr int kFlagTop = 72;
constexpr int kFlagStep = 26;
constexpr int kFlagColumns = 3;
constexpr int kNumberChars = 20;
// The image keeps 22 bytes for a number.
constexpr std::size_t kNumberBytes = 22;

}  // namespace

TFormPhoneSetting::TFormPhoneSetting(TComponent* owner, TListView* list)
    : TForm(owner), list_(list) {}

void TFormPhoneSetting::AfterConstruction() {
  CreateControls();
  OnShow = [this](TObject* sender) { FormShow(sender); };
  TForm::AfterConstruction();
  // The number's hint is long; leave it up while it is read.
  Application->SetHintHidePause(600000);
}

void TFormPhoneSetting::CreateControls() {
  PrepareSettingDialog(*this, 520, 260);
  lbledt_TelNumber = AddDialogEdit(*this, "lbledt_TelNumber", kMargin, 32, 260);
  lbledt_TelNumber->SetMaxLength(kNumberChars);
  lbledt_TelNumber->SetShowHint(true);
  LimitEditBytes(lbledt_TelNumber, kNumberBytes);
  const char* const names[PhoneFlagCount] = {"chk_Dial", "chk_TimeRePort", "chk_SMSFunction",
                                             "chk_Alam", "chk_AlamReco",   "chk_ExtendPower",
                                             "chk_GPRS", "chk_GSMSignal",  "chk_Realy"};
  TsCheckBox** boxes[PhoneFlagCount] = {&chk_Dial, &chk_TimeRePort, &chk_SMSFunction,
                                        &chk_Alam, &chk_AlamReco,   &chk_ExtendPower,
                                        &chk_GPRS, &chk_GSMSignal,  &chk_Realy};
  for (int f = 0; f < PhoneFlagCount; ++f)
    *boxes[f] =
        AddDialogCheckBox(*this, names[f], kMargin, kFlagTop + (f / kFlagColumns) * kFlagStep);
  const int allTop = kFlagTop + 3 * kFlagStep + 8;
  chk_TelAll = AddDialogCheckBox(*this, "chk_TelAll", kMargin, allTop);
  chk_TelAll->OnClick = [this](TObject* sender) { chk_TelAllClick(sender); };

  const int bevelTop = allTop + 36;
  sbvl_Phone = AddDialogBevel(*this, "sbvl_Phone", bevelTop);
  btn_Phone_OK = AddDialogButton(*this, "btn_Phone_OK", 0, bevelTop + 16);
  btn_Phone_NO = AddDialogButton(*this, "btn_Phone_NO", 0, bevelTop + 16);
  SetClientHeight(bevelTop + 16 + btn_Phone_OK->Height() + 12);
  DockBevelToBottom(sbvl_Phone);
  btn_Phone_OK->OnClick = [this](TObject* sender) { btn_Phone_OKClick(sender); };
  btn_Phone_NO->OnClick = [this](TObject* sender) { btn_Phone_NOClick(sender); };
  PlaceDialogButtons(*this, {btn_Phone_OK, btn_Phone_NO});
}

std::array<TsCheckBox*, PhoneFlagCount> TFormPhoneSetting::FlagBoxes() const {
  return {chk_Dial,        chk_TimeRePort, chk_SMSFunction, chk_Alam, chk_AlamReco,
          chk_ExtendPower, chk_GPRS,       chk_GSMSignal,   chk_Realy};
}

TPhoneDialogValues TFormPhoneSetting::Values() const {
  TPhoneDialogValues values;
  values.TelNumber = lbledt_TelNumber->Text();
  const auto boxes = FlagBoxes();
  for (int f = 0; f < PhoneFlagCount; ++f) values.Flags[f] = boxes[f]->Checked();
  return values;
}

void TFormPhoneSetting::SetValues(const TPhoneDialogValues& values) {
  lbledt_TelNumber->SetText(CutToBytes(values.TelNumber, kNumberBytes));
  const auto boxes = FlagBoxes();
  for (int f = 0; f < PhoneFlagCount; ++f) boxes[f]->SetChecked(values.Flags[f]);
}

void TFormPhoneSetting::LayOutFlags() {
  // Three columns as wide as the widest caption of the language.
  const auto boxes = FlagBoxes();
  int column = 0;
  for (TsCheckBox* box : boxes) column = std::max(column, box->Width());
  column += 12;
  for (int f = 0; f < PhoneFlagCount; ++f) boxes[f]->SetLeft(kMargin + (f % kFlagColumns) * column);
}

void TFormPhoneSetting::FormShow(TObject*) {
  std::string caption = Lang_PhoneCaption;
  if (const TListItem* item = list_ != nullptr ? list_->Selected() : nullptr)
    caption += item->Caption();
  SetCaption(caption);
  if (const TListItem* item = list_ != nullptr ? list_->Selected() : nullptr)
    SetValues(RowToPhoneValues(ListItemRow(item)));

  SetEditCaption(*this, lbledt_TelNumber, Lang_PhoneNumber);
  const std::string* const captions[PhoneFlagCount] = {
      &Lang_PhoneDial,        &Lang_PhoneTimerReport,   &Lang_PhoneArmSms,
      &Lang_PhoneAlarm,       &Lang_PhoneAlarmRecovery, &Lang_PhonePower,
      &Lang_PhoneGprsFailure, &Lang_PhoneLowSignal,     &Lang_PhoneRelay};
  const auto boxes = FlagBoxes();
  for (int f = 0; f < PhoneFlagCount; ++f) SetCheckBoxCaption(*this, boxes[f], *captions[f]);
  SetCheckBoxCaption(*this, chk_TelAll, Lang_PhoneAll);
  btn_Phone_OK->SetCaption(Lang_PhoneOK);
  btn_Phone_NO->SetCaption(Lang_PhoneCancel);
  lbledt_TelNumber->SetHint(PhoneNumberHint);
  LayOutFlags();
  FitDialogWidth(*this);
  PlaceDialogButtons(*this, {btn_Phone_OK, btn_Phone_NO});
}

void TFormPhoneSetting::chk_TelAllClick(TObject*) {
  const bool checked = chk_TelAll->Checked();
  for (int i = 0; i < ControlCount(); ++i) {
    auto* box = dynamic_cast<TCustomCheckBox*>(Controls(i));
    if (box != nullptr && box != chk_TelAll) box->SetChecked(checked);
  }
}

void TFormPhoneSetting::btn_Phone_OKClick(TObject*) {
  if (TListItem* item = list_ != nullptr ? list_->Selected() : nullptr) {
    TListRow row = ListItemRow(item);
    PhoneValuesToRow(Values(), row);
    SetListItemRow(item, row);
  }
  SetModalResult(mrOk);
}

void TFormPhoneSetting::btn_Phone_NOClick(TObject*) { SetModalResult(mrCancel); }

}  // namespace kv
