#include "app/DoSetting_Frm_win.h"

#include <algorithm>
#include <memory>

#include "app/ConstLang_Unt.h"
#include "app/Funs_Unt.h"
#include "app/Message_Frm_win.h"
#include "base/TextCodec.h"

namespace kv {
namespace {

constexpr int kMargin = 16;
constexpr int kEditHeight = 21;
constexpr int kButtonWidth = 84;
constexpr int kButtonHeight = 28;
// Room for the box itself and the gap before the caption.
constexpr int kCheckBoxGlyph = 24;

// The relay's image fields: the name holds 40 bytes, each description 60.
constexpr std::size_t kNameBytes = 40;
constexpr std::size_t kDescriptionBytes = 60;
constexpr int kTextChars = 40;

}  // namespace

// ---- Shared by the setting dialogs ----

void PrepareSettingDialog(TForm& form, int clientWidth, int clientHeight) {
  ApplyProgramFormLook(form);
  form.SetBorderStyle(bsDialog);
  form.SetBorderIcons(biSystemMenu);
  form.SetPosition(poMainFormCenter);
  form.SetClientWidth(clientWidth);
  form.SetClientHeight(clientHeight);
}

TLabeledEdit* AddDialogEdit(TForm& form, const char* name, int left, int top, int width) {
  auto* edit = Create<TLabeledEdit>(&form);
  edit->SetName(name);
  edit->SetParent(&form);
  edit->SetBounds(left, top, width, kEditHeight);
  edit->SetText("");
  return edit;
}

TsCheckBox* AddDialogCheckBox(TForm& form, const char* name, int left, int top) {
  auto* box = Create<TsCheckBox>(&form);
  box->SetName(name);
  box->SetParent(&form);
  box->SetBounds(left, top, 120, 20);
  box->SetCaption("");
  return box;
}

TsBitBtn* AddDialogButton(TForm& form, const char* name, int left, int top) {
  auto* button = Create<TsBitBtn>(&form);
  button->SetName(name);
  button->SetParent(&form);
  button->SetBounds(left, top, kButtonWidth, kButtonHeight);
  button->SetCaption("");
  return button;
}

TsBevel* AddDialogBevel(TForm& form, const char* name, int top) {
  auto* bevel = Create<TsBevel>(&form);
  bevel->SetName(name);
  bevel->SetParent(&form);
  bevel->SetShape(bsTopLine);
  bevel->SetBounds(kMargin / 2, top, form.ClientWidth() - kMargin, 2);
  return bevel;
}

void DockBevelToBottom(TsBevel* bevel) {
  const int bottom = bevel->Parent()->ClientHeight();
  bevel->SetHeight(std::max(2, bottom - bevel->Top()));
  bevel->SetAlign(alBottom);
}

void SetCheckBoxCaption(TForm& form, TsCheckBox* box, const std::string& caption) {
  box->SetCaption(caption);
  TCanvas* canvas = form.Canvas();
  canvas->Font()->Assign(*box->Font());
  box->SetWidth(canvas->TextWidth(caption) + kCheckBoxGlyph);
}

void SetEditCaption(TForm& form, TLabeledEdit* edit, const std::string& caption) {
  TBoundLabel* label = edit->EditLabel();
  label->SetCaption(caption);
  // The label sizes itself on the screen's context; wide glyphs can come
  // out wider on the window's, so it gets the room the form measures too.
  TCanvas* canvas = form.Canvas();
  canvas->Font()->Assign(*label->Font());
  label->SetWidth(std::max(label->Width(), canvas->TextWidth(caption) + 4));
}

int FitDialogWidth(TForm& form) {
  int right = 0;
  for (int i = 0; i < form.ControlCount(); ++i) {
    TControl* control = form.Controls(i);
    // The bevel and the buttons follow the width rather than set it.
    if (dynamic_cast<TBevel*>(control) != nullptr || dynamic_cast<TButton*>(control) != nullptr)
      continue;
    if (control->Visible()) right = std::max(right, control->Left() + control->Width());
  }
  if (right + kMargin > form.ClientWidth()) form.SetClientWidth(right + kMargin);
  for (int i = 0; i < form.ControlCount(); ++i)
    if (auto* bevel = dynamic_cast<TBevel*>(form.Controls(i)))
      bevel->SetWidth(form.ClientWidth() - kMargin);
  return form.ClientWidth();
}

void PlaceDialogButtons(TForm& form, std::initializer_list<TsBitBtn*> buttons) {
  int left =
      form.ClientWidth() - kMargin - static_cast<int>(buttons.size()) * (kButtonWidth + 8) + 8;
  for (TsBitBtn* button : buttons) {
    button->SetLeft(left);
    left += kButtonWidth + 8;
  }
}

std::string CutToBytes(std::string_view utf8, std::size_t maxBytes) {
  const std::string gbk = Utf8ToGbk(utf8);
  if (gbk.size() <= maxBytes) return std::string(utf8);
  return GbkToUtf8(GbkTruncate(gbk, maxBytes));
}

void LimitEditBytes(TCustomEdit* edit, std::size_t maxBytes) {
  // The last text within the limit, to go back to when a change overshoots.
  auto accepted = std::make_shared<std::string>(CutToBytes(edit->Text(), maxBytes));
  edit->OnChange = [edit, maxBytes, accepted](TObject*) {
    const std::string text = edit->Text();
    if (Utf8ToGbk(text).size() <= maxBytes) {
      *accepted = text;
      return;
    }
    // Refused as a full edit refuses typing: the text stays as it was and
    // the caret goes back to where the refused characters began.
    const int added = static_cast<int>(Utf8ToUtf16(text).size()) -
                      static_cast<int>(Utf8ToUtf16(*accepted).size());
    const int caret = std::max(0, edit->SelStart() - std::max(0, added));
    edit->SetText(*accepted);
    edit->SetSelStart(caret);
  };
}

TListRow ListItemRow(const TListItem* item) {
  TListRow row;
  row.Caption = item->Caption();
  for (int k = 0; k < item->SubItems().Count(); ++k) row.SubItems.push_back(item->SubItems()[k]);
  return row;
}

void SetListItemRow(TListItem* item, const TListRow& row) {
  for (int k = 0; k < static_cast<int>(row.SubItems.size()); ++k) {
    const std::string& text = row.SubItems[static_cast<std::size_t>(k)];
    if (k < item->SubItems().Count()) {
      if (item->SubItems()[k] != text) item->SubItems().Put(k, text);
    } else {
      item->SubItems().Add(text);
    }
  }
}

void ShowInputError(TWinControl* field) {
  ShowMessageForm(InputErrorText(LanguageFlag), "");
  if (field != nullptr && field->CanFocus()) field->SetFocus();
}

// ---- The relay dialog ----

TFormDoSetting::TFormDoSetting(TComponent* owner, TListView* list, int rowIndex)
    : TForm(owner), list_(list), rowIndex_(rowIndex) {}

void TFormDoSetting::AfterConstruction() {
  CreateControls();
  OnShow = [this](TObject* sender) { FormShow(sender); };
  TForm::AfterConstruction();
  SetCaption(DoRowCaption(rowIndex_, LanguageFlag));
  // The close-time hint is long; leave it up while it is read.
  Application->SetHintHidePause(600000);
}

void TFormDoSetting::CreateControls() {
  constexpr int kWidth = 400;
  PrepareSettingDialog(*this, kWidth, 318);
  const int editWidth = kWidth - 2 * kMargin;
  lbledt_DO_ChannleName = AddDialogEdit(*this, "lbledt_DO_ChannleName", kMargin, 32, editWidth);
  lbledt_DO_ChannleName->SetMaxLength(kTextChars);
  LimitEditBytes(lbledt_DO_ChannleName, kNameBytes);
  lbledt_DO_CloseTime = AddDialogEdit(*this, "lbledt_DO_CloseTime", kMargin, 84, editWidth);
  lbledt_DO_CloseTime->SetShowHint(true);
  lbledt_DO_OpenDes = AddDialogEdit(*this, "lbledt_DO_OpenDes", kMargin, 136, editWidth);
  lbledt_DO_OpenDes->SetMaxLength(kTextChars);
  LimitEditBytes(lbledt_DO_OpenDes, kDescriptionBytes);
  lbledt_DO_CloseDes = AddDialogEdit(*this, "lbledt_DO_CloseDes", kMargin, 188, editWidth);
  lbledt_DO_CloseDes->SetMaxLength(kTextChars);
  LimitEditBytes(lbledt_DO_CloseDes, kDescriptionBytes);
  chk_Enable_RecoveryAlert = AddDialogCheckBox(*this, "chk_Enable_RecoveryAlert", kMargin, 222);

  sbvl_OK = AddDialogBevel(*this, "sbvl_OK", 260);
  DockBevelToBottom(sbvl_OK);
  btn_DO_Default = AddDialogButton(*this, "btn_DO_Default", kMargin, 276);
  btn_OK = AddDialogButton(*this, "btn_OK", 0, 276);
  btn_NO = AddDialogButton(*this, "btn_NO", 0, 276);
  btn_OK->OnClick = [this](TObject* sender) { btn_OKClick(sender); };
  btn_NO->OnClick = [this](TObject* sender) { btn_NOClick(sender); };
  btn_DO_Default->OnClick = [this](TObject* sender) { btn_DO_DefaultClick(sender); };
  PlaceDialogButtons(*this, {btn_OK, btn_NO});
}

TDoDialogValues TFormDoSetting::Values() const {
  TDoDialogValues values;
  values.ChannelName = lbledt_DO_ChannleName->Text();
  values.CloseTime = lbledt_DO_CloseTime->Text();
  values.OpenDes = lbledt_DO_OpenDes->Text();
  values.CloseDes = lbledt_DO_CloseDes->Text();
  values.EnableRecoveryAlert = chk_Enable_RecoveryAlert->Checked();
  return values;
}

void TFormDoSetting::SetValues(const TDoDialogValues& values) {
  lbledt_DO_ChannleName->SetText(CutToBytes(values.ChannelName, kNameBytes));
  lbledt_DO_CloseTime->SetText(values.CloseTime);
  lbledt_DO_OpenDes->SetText(CutToBytes(values.OpenDes, kDescriptionBytes));
  lbledt_DO_CloseDes->SetText(CutToBytes(values.CloseDes, kDescriptionBytes));
  chk_Enable_RecoveryAlert->SetChecked(values.EnableRecoveryAlert);
}

void TFormDoSetting::FormShow(TObject*) {
  RowToDoDialog(list_, *this);
  SetEditCaption(*this, lbledt_DO_ChannleName, Lang_DoChannelName);
  SetEditCaption(*this, lbledt_DO_CloseTime, Lang_DoCloseTime);
  SetEditCaption(*this, lbledt_DO_OpenDes, Lang_DoOpenDesc);
  SetEditCaption(*this, lbledt_DO_CloseDes, Lang_DoCloseDesc);
  SetCheckBoxCaption(*this, chk_Enable_RecoveryAlert, Lang_DoRecovery);
  btn_OK->SetCaption(Lang_OK);
  btn_NO->SetCaption(Lang_Cancel);
  btn_DO_Default->SetCaption(Lang_DoDefault);
  lbledt_DO_CloseTime->SetHint(DoCloseTimeHint);
  FitDialogWidth(*this);
  PlaceDialogButtons(*this, {btn_OK, btn_NO});
}

void TFormDoSetting::btn_OKClick(TObject*) {
  const TDoDialogValues values = Values();
  if (const std::string field = InvalidDoField(values); !field.empty()) {
    ShowInputError(dynamic_cast<TWinControl*>(FindComponent(field)));
    return;
  }
  DoDialogToRow(list_, *this);
  SetModalResult(mrOk);
}

void TFormDoSetting::btn_NOClick(TObject*) { SetModalResult(mrCancel); }

void TFormDoSetting::btn_DO_DefaultClick(TObject*) {
  SetValues(DoDefaults(rowIndex_, LanguageFlag));
}

void RowToDoDialog(TListView* list, TFormDoSetting& dialog) {
  const TListItem* item = list != nullptr ? list->Selected() : nullptr;
  if (item == nullptr) return;
  dialog.SetValues(RowToDoValues(ListItemRow(item), item->Index(), LanguageFlag));
}

void DoDialogToRow(TListView* list, const TFormDoSetting& dialog) {
  TListItem* item = list != nullptr ? list->Selected() : nullptr;
  if (item == nullptr) return;
  TListRow row = ListItemRow(item);
  DoValuesToRow(dialog.Values(), row);
  SetListItemRow(item, row);
}

}  // namespace kv
