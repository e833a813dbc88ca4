#include "app/ThSetting_Frm_win.h"

#include "app/ConstLang_Unt.h"
#include "app/DoSetting_Frm_win.h"
#include "app/KV69_Frm_win.h"

namespace kv {
namespace {

constexpr int kMargin = 16;
constexpr int kWidth = 440;
constexpr int kEditStep = 50;
// Every channel text of the image holds 40 bytes.
constexpr std::size_t kTextBytes = 40;
constexpr int kTextChars = 40;
constexpr int kThresholdChars = 5;

}  // namespace

TFormThSetting::TFormThSetting(TComponent* owner, TListView* list, std::string rowCaption)
    : TForm(owner), list_(list), rowCaption_(std::move(rowCaption)) {}

void TFormThSetting::AfterConstruction() {
  CreateControls();
  OnShow = [this](TObject* sender) { FormShow(sender); };
  TForm::AfterConstruction();
  // The caption has no text of its own: it names the channel.
  SetCaption(Caption() + rowCaption_);
}

void TFormThSetting::CreateControls() {
  PrepareSettingDialog(*this, kWidth, 480);
  const int width = kWidth - 2 * kMargin;
  int top = 32;
  const auto edit = [&](const char* name, int maxChars) {
    TLabeledEdit* control = AddDialogEdit(*this, name, kMargin, top, width);
    control->SetMaxLength(maxChars);
    top += kEditStep;
    return control;
  };
  lbledt_Th_ChannelName = edit("lbledt_Th_ChannelName", kTextChars);
  lbledt_Th_AlarmVerify = edit("lbledt_Th_AlarmVerify", kTextChars);
  lbledt_Th_ThresholdHigh = edit("lbledt_Th_ThresholdHigh", kThresholdChars);
  lbledt_Th_ThresholdLow = edit("lbledt_Th_ThresholdLow", kThresholdChars);
  lbledt_Th_ThresholdHighSMS = edit("lbledt_Th_ThresholdHighSMS", kTextChars);
  lbledt_Th_ThresholdLowSMS = edit("lbledt_Th_ThresholdLowSMS", kTextChars);
  lbledt_Th_RecoverySMS = edit("lbledt_Th_RecoverySMS", kTextChars);
  for (TLabeledEdit* text : {lbledt_Th_ChannelName, lbledt_Th_ThresholdHighSMS,
                             lbledt_Th_ThresholdLowSMS, lbledt_Th_RecoverySMS})
    LimitEditBytes(text, kTextBytes);

  const int column2 = kMargin + width / 2;
  top -= 14;
  chk_Th_Enable = AddDialogCheckBox(*this, "chk_Th_Enable", kMargin, top);
  chk_Th_RecoveryAlarm = AddDialogCheckBox(*this, "chk_Th_RecoveryAlarm", column2, top);
  top += 26;
  chk_Th_AlarmLinkDO1 = AddDialogCheckBox(*this, "chk_Th_AlarmLinkDO1", kMargin, top);
  chk_Th_AlarmLinkDO2 = AddDialogCheckBox(*this, "chk_Th_AlarmLinkDO2", column2, top);
  top += 34;

  sbvl_OK = AddDialogBevel(*this, "sbvl_OK", top);
  top += 16;
  btn_Th_Default = AddDialogButton(*this, "btn_Th_Default", kMargin, top);
  btn_Th_OK = AddDialogButton(*this, "btn_Th_OK", 0, top);
  btn_Th_NO = AddDialogButton(*this, "btn_Th_NO", 0, top);
  SetClientHeight(top + btn_Th_OK->Height() + 12);
  DockBevelToBottom(sbvl_OK);
  btn_Th_OK->OnClick = [this](TObject* sender) { btn_Th_OKClick(sender); };
  btn_Th_NO->OnClick = [this](TObject* sender) { btn_Th_NOClick(sender); };
  btn_Th_Default->OnClick = [this](TObject* sender) { btn_Th_DefaultClick(sender); };
  PlaceDialogButtons(*this, {btn_Th_OK, btn_Th_NO});
}

TThDialogValues TFormThSetting::Values() const {
  TThDialogValues values;
  values.ChannelName = lbledt_Th_ChannelName->Text();
  values.AlarmVerify = lbledt_Th_AlarmVerify->Text();
  values.ThresholdHigh = lbledt_Th_ThresholdHigh->Text();
  values.ThresholdLow = lbledt_Th_ThresholdLow->Text();
  values.HighSms = lbledt_Th_ThresholdHighSMS->Text();
  values.LowSms = lbledt_Th_ThresholdLowSMS->Text();
  values.RecoverySms = lbledt_Th_RecoverySMS->Text();
  values.Enable = chk_Th_Enable->Checked();
  values.RecoveryAlarm = chk_Th_RecoveryAlarm->Checked();
  values.AlarmLinkDO1 = chk_Th_AlarmLinkDO1->Checked();
  values.AlarmLinkDO2 = chk_Th_AlarmLinkDO2->Checked();
  return values;
}

void TFormThSetting::SetValues(const TThDialogValues& values) {
  lbledt_Th_ChannelName->SetText(CutToBytes(values.ChannelName, kTextBytes));
  lbledt_Th_AlarmVerify->SetText(values.AlarmVerify);
  lbledt_Th_ThresholdHigh->SetText(values.ThresholdHigh);
  lbledt_Th_ThresholdLow->SetText(values.ThresholdLow);
  lbledt_Th_ThresholdHighSMS->SetText(CutToBytes(values.HighSms, kTextBytes));
  lbledt_Th_ThresholdLowSMS->SetText(CutToBytes(values.LowSms, kTextBytes));
  lbledt_Th_RecoverySMS->SetText(CutToBytes(values.RecoverySms, kTextBytes));
  chk_Th_Enable->SetChecked(values.Enable);
  chk_Th_RecoveryAlarm->SetChecked(values.RecoveryAlarm);
  chk_Th_AlarmLinkDO1->SetChecked(values.AlarmLinkDO1);
  chk_Th_AlarmLinkDO2->SetChecked(values.AlarmLinkDO2);
}

void TFormThSetting::FormShow(TObject*) {
  RowToThDialog(list_, *this);
  SetEditCaption(*this, lbledt_Th_ChannelName, Lang_ThChannelName);
  SetEditCaption(*this, lbledt_Th_AlarmVerify, Lang_ThVerifyTime);
  SetEditCaption(*this, lbledt_Th_ThresholdHigh, Lang_ThHighLimit);
  SetEditCaption(*this, lbledt_Th_ThresholdLow, Lang_ThLowLimit);
  SetEditCaption(*this, lbledt_Th_ThresholdHighSMS, Lang_ThHighText);
  SetEditCaption(*this, lbledt_Th_ThresholdLowSMS, Lang_ThLowText);
  SetEditCaption(*this, lbledt_Th_RecoverySMS, Lang_ThRecoveryText);
  SetCheckBoxCaption(*this, chk_Th_Enable, Lang_ThEnable);
  SetCheckBoxCaption(*this, chk_Th_RecoveryAlarm, Lang_ThRecovery);
  SetCheckBoxCaption(*this, chk_Th_AlarmLinkDO1, Lang_ThLinkDo1);
  SetCheckBoxCaption(*this, chk_Th_AlarmLinkDO2, Lang_ThLinkDo2);
  btn_Th_OK->SetCaption(Lang_ThOK);
  btn_Th_NO->SetCaption(Lang_Cancel);
  btn_Th_Default->SetCaption(Lang_ThDefault);
  FitDialogWidth(*this);
  PlaceDialogButtons(*this, {btn_Th_OK, btn_Th_NO});
}

void TFormThSetting::btn_Th_OKClick(TObject*) {
  if (const std::string field = InvalidThField(Values()); !field.empty()) {
    ShowInputError(dynamic_cast<TWinControl*>(FindComponent(field)));
    return;
  }
  ThDialogToRow(list_, *this);
  SetModalResult(mrOk);
}

void TFormThSetting::btn_Th_NOClick(TObject*) { SetModalResult(mrCancel); }

void TFormThSetting::btn_Th_DefaultClick(TObject*) {
  SetValues(ThDefaults(rowCaption_, ModelIndex, LanguageFlag));
}

void RowToThDialog(TListView* list, TFormThSetting& dialog) {
  const TListItem* item = list != nullptr ? list->Selected() : nullptr;
  if (item == nullptr) return;
  dialog.SetValues(RowToThValues(ListItemRow(item)));
}

void ThDialogToRow(TListView* list, const TFormThSetting& dialog) {
  TListItem* item = list != nullptr ? list->Selected() : nullptr;
  if (item == nullptr) return;
  TListRow row = ListItemRow(item);
  ThValuesToRow(dialog.Values(), row);
  SetListItemRow(item, row);
}

}  // namespace kv
