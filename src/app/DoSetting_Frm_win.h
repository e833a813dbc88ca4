// The relay setting dialog: the selected row of lvDo, edited modally and
// written back only on OK. The unit also holds what the four setting dialogs
// share: their look, their controls, and moving a list row in and out.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

#include "app/SoftDiDoTh_Unt.h"
#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"
#include "classlib/ListViews.h"
#include "classlib/StdCtrls.h"
#include "skin/controls/sBevel_win.h"
#include "skin/controls/sBitBtn_win.h"
#include "skin/controls/sCheckBox_win.h"

namespace kv {

// ---- Shared by the setting dialogs ----

// The program's font and icon, a single border with only the system menu,
// centred on the main window.
void PrepareSettingDialog(TForm& form, int clientWidth, int clientHeight);
// A labelled edit with its label above, a check box, a push button and the
// line above the buttons, each named and placed on the form.
TLabeledEdit* AddDialogEdit(TForm& form, const char* name, int left, int top, int width);
TsCheckBox* AddDialogCheckBox(TForm& form, const char* name, int left, int top);
TsBitBtn* AddDialogButton(TForm& form, const char* name, int left, int top);
TsBevel* AddDialogBevel(TForm& form, const char* name, int top);
// Once the dialog has its final height: the bevel from its line down to the
// bottom, aligned there, so that its line stays above the buttons.
void DockBevelToBottom(TsBevel* bevel);
// Gives a check box the caption and a width that shows all of it.
void SetCheckBoxCaption(TForm& form, TsCheckBox* box, const std::string& caption);
// Gives an edit's label the caption, at least as wide as the form's font
// draws it.
void SetEditCaption(TForm& form, TLabeledEdit* edit, const std::string& caption);
// Widens the form so that every child, label included, fits with a margin;
// never narrows it. Returns the client width.
int FitDialogWidth(TForm& form);
// Puts the buttons at the right-hand end of the button row, in order.
void PlaceDialogButtons(TForm& form, std::initializer_list<TsBitBtn*> buttons);

// The image's text fields are code page 936 bytes: the edit refuses a change
// that would make its text longer than maxBytes there. Code that sets a text
// cuts it with CutToBytes first.
void LimitEditBytes(TCustomEdit* edit, std::size_t maxBytes);
// The text cut to maxBytes of code page 936, at a character boundary.
std::string CutToBytes(std::string_view utf8, std::size_t maxBytes);

// The cells of a list item as a row, and the row shown in the item.
TListRow ListItemRow(const TListItem* item);
void SetListItemRow(TListItem* item, const TListRow& row);

// Says "Input Error" in the message window and puts the focus on the field.
void ShowInputError(TWinControl* field);

// ---- The relay dialog ----

class TFormDoSetting : public TForm {
 public:
  // rowIndex names the relay in the caption and the defaults.
  TFormDoSetting(TComponent* owner, TListView* list, int rowIndex);

  void AfterConstruction() override;

  TLabeledEdit* lbledt_DO_ChannleName = nullptr;
  TLabeledEdit* lbledt_DO_CloseTime = nullptr;
  TLabeledEdit* lbledt_DO_OpenDes = nullptr;
  TLabeledEdit* lbledt_DO_CloseDes = nullptr;
  TsCheckBox* chk_Enable_RecoveryAlert = nullptr;
  TsBevel* sbvl_OK = nullptr;
  TsBitBtn* btn_OK = nullptr;
  TsBitBtn* btn_NO = nullptr;
  TsBitBtn* btn_DO_Default = nullptr;

  // What the controls hold, and showing values in them.
  TDoDialogValues Values() const;
  void SetValues(const TDoDialogValues& values);

  void FormShow(TObject* Sender);
  void btn_OKClick(TObject* Sender);
  void btn_NOClick(TObject* Sender);
  void btn_DO_DefaultClick(TObject* Sender);

 private:
  void CreateControls();

  TListView* list_;
  int rowIndex_;
};

// The selected row of the list into the dialog, and the dialog into it;
// nothing happens while no row is selected.
void RowToDoDialog(TListView* list, TFormDoSetting& dialog);
void DoDialogToRow(TListView* list, const TFormDoSetting& dialog);

}  // namespace kv
