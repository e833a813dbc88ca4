#pragma once
// The basic standard controls: labels, edits and memos, push buttons, check
// boxes and radio buttons, combo and list boxes, group boxes. Windowed ones
// wrap the system control of the same kind (CreateSubClass) and keep their
// state in the object as well, so that it survives a recreated window and a
// skinning subclass that swallows the system messages.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "base/StringList.h"
#include "classlib/Controls.h"
#include "classlib/Forms.h"
#include "classlib/Menus.h"

namespace kv {

enum TTextLayout { tlTop, tlCenter, tlBottom };
// A control's border: bsNone or bsSingle (the other form styles mean bsSingle).
using TBorderStyle = TFormBorderStyle;
enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

class TWinControl;

// --- labels ------------------------------------------------------------------------

class TCustomLabel : public TGraphicControl {
 public:
  explicit TCustomLabel(TComponent* owner);

  void Dispatch(TMessage& message) override;

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  TTextLayout Layout() const { return layout_; }
  void SetLayout(TTextLayout value);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);
  bool ShowAccelChar() const { return showAccelChar_; }
  void SetShowAccelChar(bool value);
  // A transparent label paints no background.
  bool Transparent() const { return !(ControlStyle() & csOpaque); }
  void SetTransparent(bool value);
  // Gets the focus when the label's accelerator is pressed.
  TWinControl* FocusControl() const { return focusControl_; }
  void SetFocusControl(TWinControl* control);

 protected:
  void Paint() override;
  // Draws (or with DT_CALCRECT measures) the caption into rect.
  virtual void DoDrawText(TRect& rect, UINT flags);
  virtual std::string GetLabelText() { return Caption(); }
  // Fits the size to the text when AutoSize is on.
  virtual void AdjustBounds();
  void Notification(TComponent* component, TOperation operation) override;
  void Loaded() override;

 private:
  TAlignment alignment_ = taLeftJustify;
  TTextLayout layout_ = tlTop;
  bool autoSize_ = true;
  bool wordWrap_ = false;
  bool showAccelChar_ = true;
  TWinControl* focusControl_ = nullptr;
};

class TLabel : public TCustomLabel {
 public:
  using TCustomLabel::TCustomLabel;
};

// --- edits -------------------------------------------------------------------------

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
enum TBevelKind { bkNone, bkTile, bkSoft, bkFlat };

class TCustomEdit : public TWinControl {
 public:
  explicit TCustomEdit(TComponent* owner);

  // Raised for every change of the text, by the user or by code.
  TNotifyEvent OnChange;

  void Dispatch(TMessage& message) override;

  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int value);
  // 0 shows the text; any other character hides it.
  wchar_t PasswordChar() const { return passwordChar_; }
  void SetPasswordChar(wchar_t value);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);
  TEditCharCase CharCase() const { return charCase_; }
  void SetCharCase(TEditCharCase value);
  // A bsSingle border is the sunken client edge, or a one-pixel line without.
  bool Ctl3D() const { return ctl3D_; }
  void SetCtl3D(bool value);
  // Bevels one pixel each inside the border; none while BevelKind is bkNone.
  TBevelKind BevelKind() const { return bevelKind_; }
  void SetBevelKind(TBevelKind value);
  TBevelCut BevelInner() const { return bevelInner_; }
  void SetBevelInner(TBevelCut value);
  TBevelCut BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TBevelCut value);
  // How wide the bevels are on each side.
  int BevelEdges() const;
  bool AutoSelect() const { return autoSelect_; }
  void SetAutoSelect(bool value) { autoSelect_ = value; }
  bool Modified();
  void SetModified(bool value);

  int SelStart();
  void SetSelStart(int value);
  int SelLength();
  void SetSelLength(int value);
  void SelectAll();
  void Clear() { SetText(""); }

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandleDone() override;
  void DoEnter() override;
  virtual void Change();

 private:
  int maxLength_ = 0;
  wchar_t passwordChar_ = 0;
  bool readOnly_ = false;
  bool autoSelect_ = true;
  TBorderStyle borderStyle_ = bsSingle;
  TEditCharCase charCase_ = ecNormal;
  bool ctl3D_ = true;
  TBevelKind bevelKind_ = bkNone;
  TBevelCut bevelInner_ = bvRaised;
  TBevelCut bevelOuter_ = bvLowered;

  void BevelsChanged();
  // The plain line round a bsSingle edit without Ctl3D.
  int LineWidth() const;
  void PaintNonClient();
};

class TEdit : public TCustomEdit {
 public:
  using TCustomEdit::TCustomEdit;
};

enum TLabelPosition { lpAbove, lpBelow, lpLeft, lpRight };

class TCustomLabeledEdit;

// The caption of a labelled edit: owned by the edit, placed beside it.
class TBoundLabel : public TCustomLabel {
 public:
  explicit TBoundLabel(TComponent* owner);

 protected:
  // A caption of another size moves the label to stay beside its edit.
  void AdjustBounds() override;
};

class TCustomLabeledEdit : public TCustomEdit {
 public:
  explicit TCustomLabeledEdit(TComponent* owner);

  void AfterConstruction() override;
  TBoundLabel* EditLabel() const { return editLabel_; }
  TLabelPosition LabelPosition() const { return labelPosition_; }
  void SetLabelPosition(TLabelPosition value);
  int LabelSpacing() const { return labelSpacing_; }
  void SetLabelSpacing(int value);

  void SetParent(TWinControl* parent) override;
  void Dispatch(TMessage& message) override;
  // Puts the label beside the edit again.
  void PlaceLabel();
  // No wheel behaviour of its own; kept for code that sets it.
  bool WheelEnabled() const { return wheelEnabled_; }
  void SetWheelEnabled(bool value) { wheelEnabled_ = value; }

 protected:
  void BoundsChanged() override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  TBoundLabel* editLabel_ = nullptr;
  TLabelPosition labelPosition_ = lpAbove;
  int labelSpacing_ = 3;
  bool wheelEnabled_ = false;
};

class TLabeledEdit : public TCustomLabeledEdit {
 public:
  using TCustomLabeledEdit::TCustomLabeledEdit;
};

// --- list items bound to a control -------------------------------------------------

// The items of a combo or list box. The texts live here; the window mirrors
// them (and gets them back when it is created again).
class TControlItems {
 public:
  // The window's messages for these items (CB_* or LB_*).
  struct TMessages {
    UINT insert, remove, reset, getCurSel, setCurSel;
  };
  TControlItems(TWinControl* control, const TMessages& messages)
      : control_(control), msgs_(messages) {}

  int Count() const { return list_.Count(); }
  const std::string& operator[](int index) const { return list_[index]; }
  const std::string& Strings(int index) const { return list_[index]; }
  void Put(int index, const std::string& s);
  TObject* Objects(int index) const { return list_.Objects(index); }
  void PutObject(int index, TObject* object) { list_.PutObject(index, object); }
  int Add(const std::string& s);
  int AddObject(const std::string& s, TObject* object);
  void Insert(int index, const std::string& s);
  void Delete(int index);
  void Clear();
  void Assign(const TStringList& source);
  void AddStrings(const TStringList& source);
  int IndexOf(std::string_view s) const { return list_.IndexOf(s); }
  std::string Text() const { return list_.Text(); }
  void SetText(std::string_view text);
  const TStringList& List() const { return list_; }
  bool Sorted() const { return list_.Sorted(); }
  void SetSorted(bool value);
  void BeginUpdate();
  void EndUpdate();

  // Puts every item into the window (after it was created).
  void Fill();

 private:
  bool HasWindow() const;
  void InsertIntoWindow(int index, const std::string& s);
  TWinControl* control_;
  TMessages msgs_;
  TStringList list_;
  int updateCount_ = 0;
};

// --- memo --------------------------------------------------------------------------

class TCustomMemo;

// The lines of a memo, read from and written to its text.
class TMemoStrings {
 public:
  explicit TMemoStrings(TCustomMemo* memo) : memo_(memo) {}
  int Count() const;
  std::string operator[](int index) const { return Strings(index); }
  std::string Strings(int index) const;
  void Put(int index, const std::string& s);
  int Add(const std::string& s);
  void Insert(int index, const std::string& s);
  void Delete(int index);
  void Clear();
  void Assign(const TStringList& source);
  std::string Text() const;
  void SetText(std::string_view text);

 private:
  void Read(TStringList& list) const;
  void Write(const TStringList& list);
  TCustomMemo* memo_;
};

class TCustomMemo : public TCustomEdit {
 public:
  explicit TCustomMemo(TComponent* owner);

  TMemoStrings* Lines() { return &lines_; }
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle value);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);
  bool WantReturns() const { return wantReturns_; }
  void SetWantReturns(bool value) { wantReturns_ = value; }
  bool WantTabs() const { return wantTabs_; }
  void SetWantTabs(bool value) { wantTabs_ = value; }

  void Dispatch(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;

 private:
  TMemoStrings lines_{this};
  TScrollStyle scrollBars_ = ssNone;
  bool wordWrap_ = true;
  bool wantReturns_ = true;
  bool wantTabs_ = false;
};

class TMemo : public TCustomMemo {
 public:
  using TCustomMemo::TCustomMemo;
};

// --- buttons -----------------------------------------------------------------------

class TButtonControl : public TWinControl {
 public:
  explicit TButtonControl(TComponent* owner);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);

 protected:
  void CreateParams(TCreateParams& params) override;
  virtual bool GetChecked() { return false; }
  virtual void SetChecked(bool) {}
  // Set while the state changes from code, so that BN_CLICKED is not taken
  // for a user's click.
  bool ClicksDisabled() const { return clicksDisabled_; }
  void SetClicksDisabled(bool value) { clicksDisabled_ = value; }

 private:
  bool wordWrap_ = false;
  bool clicksDisabled_ = false;
};

class TButton : public TButtonControl {
 public:
  explicit TButton(TComponent* owner);

  void Dispatch(TMessage& message) override;

  // Enter presses the default button, Escape the cancel button.
  bool Default() const { return default_; }
  void SetDefault(bool value);
  bool Cancel() const { return cancel_; }
  void SetCancel(bool value) { cancel_ = value; }
  // Set on the parent form when clicked.
  int ModalResult() const { return modalResult_; }
  void SetModalResult(int value) { modalResult_ = value; }
  void Click() override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandleDone() override;
  virtual void SetButtonStyle(bool isDefault);
  // True while this button is the one Enter would press.
  bool Active() const { return active_; }

 private:
  bool default_ = false;
  bool cancel_ = false;
  bool active_ = false;
  int modalResult_ = 0;
};

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

class TCustomCheckBox : public TButtonControl {
 public:
  explicit TCustomCheckBox(TComponent* owner);

  void Dispatch(TMessage& message) override;

  TCheckBoxState State() const { return state_; }
  // Changing the state from code raises OnClick; setting the same state
  // raises nothing.
  void SetState(TCheckBoxState value);
  bool Checked() const { return state_ == cbChecked; }
  void SetChecked(bool value) override { SetState(value ? cbChecked : cbUnchecked); }
  bool AllowGrayed() const { return allowGrayed_; }
  void SetAllowGrayed(bool value) { allowGrayed_ = value; }
  // Where the caption is: taRightJustify puts it right of the box.
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandleDone() override;
  bool GetChecked() override { return Checked(); }
  // The user's click: the next state in turn.
  virtual void Toggle();

 private:
  TCheckBoxState state_ = cbUnchecked;
  bool allowGrayed_ = false;
  TAlignment alignment_ = taRightJustify;
};

class TCheckBox : public TCustomCheckBox {
 public:
  using TCustomCheckBox::TCustomCheckBox;
};

class TRadioButton : public TButtonControl {
 public:
  explicit TRadioButton(TComponent* owner);

  void Dispatch(TMessage& message) override;

  bool Checked() const { return checked_; }
  // Checking one unchecks the radio buttons beside it (same parent) and
  // raises OnClick.
  void SetChecked(bool value) override;
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandleDone() override;
  bool GetChecked() override { return checked_; }

 private:
  bool checked_ = false;
  TAlignment alignment_ = taRightJustify;
};

// --- combo box ---------------------------------------------------------------------

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

using TDrawItemEvent =
    std::function<void(TWinControl* Control, int Index, const TRect& Rect, TOwnerDrawState State)>;
using TMeasureItemEvent = std::function<void(TWinControl* Control, int Index, int& Height)>;

class TCustomComboBox : public TWinControl {
 public:
  explicit TCustomComboBox(TComponent* owner);
  ~TCustomComboBox() override;

  // Raised for the user's changes only (picking an item, typing).
  TNotifyEvent OnChange;
  TNotifyEvent OnSelect;
  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;
  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;

  void Dispatch(TMessage& message) override;

  TComboBoxStyle Style() const { return style_; }
  void SetStyle(TComboBoxStyle value);
  TControlItems* Items() { return &items_; }
  // -1 selects none; so does an index out of range.
  int ItemIndex();
  void SetItemIndex(int index);
  int DropDownCount() const { return dropDownCount_; }
  void SetDropDownCount(int value);
  bool DroppedDown();
  void SetDroppedDown(bool value);
  int ItemHeight();
  void SetItemHeight(int value);
  bool Sorted() const { return items_.Sorted(); }
  void SetSorted(bool value);
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int value);
  // The edit part refuses typing (the list can still be used).
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value);
  bool AutoComplete() const { return autoComplete_; }
  void SetAutoComplete(bool value) { autoComplete_ = value; }
  int IndexOfItem(const std::string& s) const { return items_.IndexOf(s); }
  void Clear();

  // The edit and list windows of the system combo box.
  HWND EditHandle() const { return editHandle_; }
  HWND ListHandle() const { return listHandle_; }
  // Drawn on while an owner-drawn item is painted.
  TCanvas* Canvas() { return canvas_.get(); }

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandleDone() override;
  void DestroyWnd() override;
  // Every message of the edit and list windows passes here first.
  virtual void ComboWndProc(TMessage& message, HWND wnd);
  virtual void DrawItem(int index, const TRect& rect, TOwnerDrawState state);
  virtual void MeasureItem(int index, int& height);
  virtual void Change();
  virtual void Select();
  virtual void DropDown();
  virtual void CloseUp();

 private:
  void SubclassChild(HWND wnd);
  void FitDropDown();

  TControlItems items_;
  std::unique_ptr<TCanvas> canvas_;
  int quiet_ = 0;  // changes made by code raise no OnChange
  TComboBoxStyle style_ = csDropDown;
  int itemIndex_ = -1;  // kept while there is no window
  int dropDownCount_ = 8;
  int itemHeight_ = 16;
  int maxLength_ = 0;
  bool readOnly_ = false;
  bool autoComplete_ = true;
  HWND editHandle_ = nullptr;
  HWND listHandle_ = nullptr;
};

class TComboBox : public TCustomComboBox {
 public:
  using TCustomComboBox::TCustomComboBox;
};

// --- list box ----------------------------------------------------------------------

class TCustomListBox : public TWinControl {
 public:
  explicit TCustomListBox(TComponent* owner);

  void Dispatch(TMessage& message) override;

  TControlItems* Items() { return &items_; }
  int ItemIndex();
  void SetItemIndex(int index);
  bool Sorted() const { return items_.Sorted(); }
  void SetSorted(bool value);
  bool MultiSelect() const { return multiSelect_; }
  void SetMultiSelect(bool value);
  bool Selected(int index);
  void SetSelected(int index, bool value);
  int SelCount();
  int TopIndex();
  void SetTopIndex(int index);
  int ItemHeight() const { return itemHeight_; }
  void SetItemHeight(int value);
  void Clear() { items_.Clear(); }

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandleDone() override;

 private:
  TControlItems items_;
  int itemIndex_ = -1;
  int itemHeight_ = 0;
  bool multiSelect_ = false;
};

class TListBox : public TCustomListBox {
 public:
  using TCustomListBox::TCustomListBox;
};

// --- group box ---------------------------------------------------------------------

class TCustomGroupBox : public TCustomControl {
 public:
  explicit TCustomGroupBox(TComponent* owner);
  void Dispatch(TMessage& message) override;

 protected:
  void AdjustClientRect(TRect& rect) override;
  void Paint() override;
  void CreateParams(TCreateParams& params) override;
};

class TGroupBox : public TCustomGroupBox {
 public:
  using TCustomGroupBox::TCustomGroupBox;
};

}  // namespace kv
