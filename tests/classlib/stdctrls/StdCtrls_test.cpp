// Edits, labels, buttons, check and radio boxes, combo and list boxes and
// group boxes on a shown form, driven by clicks and keys.
#include "classlib/StdCtrls.h"

#include <gtest/gtest.h>

#include "ControlForm.h"

using namespace kv;
using kvtest::ControlForm;
using kvtest::Pump;

namespace {

using Edits = ControlForm;

TEST_F(Edits, KeyPressCanReplaceOrSwallowATypedCharacter) {
  auto* edit = Add<TEdit>(10, 10, 120, 21);
  int changes = 0;
  edit->OnChange = [&](TObject*) { ++changes; };
  edit->OnKeyPress = [](TObject*, wchar_t& key) {
    if (key == L'a') key = L'b';
    if (key == L'x') key = 0;
  };
  edit->SetFocus();
  Type(L"axc");
  EXPECT_EQ(edit->Text(), "bc");
  EXPECT_EQ(changes, 2) << "a swallowed character changed nothing";
}

TEST_F(Edits, KeyDownCanSwallowAKey) {
  auto* edit = Add<TEdit>(10, 10, 120, 21);
  edit->SetText("abc");
  std::vector<WORD> seen;
  edit->OnKeyDown = [&](TObject*, WORD& key, TShiftState) {
    seen.push_back(key);
    if (key == VK_DELETE) key = 0;
  };
  edit->SetFocus();
  PressKey(VK_HOME);
  PressKey(VK_DELETE);
  EXPECT_EQ(seen, (std::vector<WORD>{VK_HOME, VK_DELETE}));
  EXPECT_EQ(edit->Text(), "abc");
  edit->OnKeyDown = nullptr;
  PressKey(VK_DELETE);
  EXPECT_EQ(edit->Text(), "bc") << "the key reaches the edit when not swallowed";
}

TEST_F(Edits, MaxLengthAndReadOnlyLimitWhatTheUserTypes) {
  auto* edit = Add<TEdit>(10, 10, 120, 21);
  edit->SetMaxLength(3);
  edit->SetFocus();
  Type(L"abcdef");
  EXPECT_EQ(edit->Text(), "abc");
  edit->SetReadOnly(true);
  edit->SetSelStart(3);
  Type(L"z");
  EXPECT_EQ(edit->Text(), "abc");
  // Code may still write more than the user may type.
  edit->SetText("123456");
  EXPECT_EQ(edit->Text(), "123456");
}

TEST_F(Edits, PasswordCharHidesTheTextAndCanBeSwitchedAtRunTime) {
  auto* edit = Create<TEdit>(form);
  edit->SetPasswordChar(L'*');  // before the window exists
  edit->SetParent(form);
  edit->SetText("9173");
  HWND wnd = edit->Handle();
  EXPECT_EQ(SendMessageW(wnd, EM_GETPASSWORDCHAR, 0, 0), L'*');
  EXPECT_EQ(edit->Text(), "9173") << "the program still reads the real text";
  edit->SetPasswordChar(0);
  EXPECT_EQ(SendMessageW(wnd, EM_GETPASSWORDCHAR, 0, 0), 0);
  edit->SetPasswordChar(L'*');
  EXPECT_EQ(SendMessageW(wnd, EM_GETPASSWORDCHAR, 0, 0), L'*');
}

TEST_F(Edits, SettingsSurviveARecreatedWindow) {
  auto* edit = Add<TEdit>(10, 10, 120, 21);
  edit->SetMaxLength(4);
  edit->SetPasswordChar(L'#');
  edit->SetText("ab");
  HWND before = edit->Handle();
  edit->SetBorderStyle(bsNone);  // needs a new window
  ASSERT_NE(edit->Handle(), before);
  EXPECT_EQ(edit->Text(), "ab");
  EXPECT_EQ(SendMessageW(edit->Handle(), EM_GETPASSWORDCHAR, 0, 0), L'#');
  EXPECT_EQ(SendMessageW(edit->Handle(), EM_GETLIMITTEXT, 0, 0), 4);
  EXPECT_FALSE(GetWindowLongW(edit->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
}

TEST_F(Edits, OnChangeFollowsTextWrittenByCode) {
  auto* edit = Add<TEdit>(10, 10, 120, 21);
  std::vector<std::string> texts;
  edit->OnChange = [&](TObject* s) { texts.push_back(static_cast<TEdit*>(s)->Text()); };
  edit->SetText("one");
  edit->SetText("one");  // unchanged: no event
  edit->SetText("two");
  EXPECT_EQ(texts, (std::vector<std::string>{"one", "two"}));
}

TEST_F(Edits, LabeledEditKeepsItsLabelAboveAndInStep) {
  auto* edit = Add<TLabeledEdit>(20, 60, 120, 21);
  ASSERT_NE(edit->EditLabel(), nullptr);
  edit->EditLabel()->SetCaption("Phone");
  EXPECT_EQ(edit->EditLabel()->Parent(), form);
  EXPECT_EQ(edit->EditLabel()->Left(), 20);
  EXPECT_EQ(edit->EditLabel()->Top() + edit->EditLabel()->Height() + edit->LabelSpacing(), 60);
  edit->SetLeft(50);
  EXPECT_EQ(edit->EditLabel()->Left(), 50);
  edit->SetVisible(false);
  EXPECT_FALSE(edit->EditLabel()->Visible());
  edit->SetEnabled(false);
  EXPECT_FALSE(edit->EditLabel()->Enabled());
}

TEST_F(Edits, MemoLinesReadAndWriteTheText) {
  auto* memo = Add<TMemo>(10, 10, 200, 100);
  memo->Lines()->Add("first");
  memo->Lines()->Add("second");
  memo->Lines()->Insert(1, "middle");
  EXPECT_EQ(memo->Lines()->Count(), 3);
  EXPECT_EQ(memo->Text(), "first\r\nmiddle\r\nsecond");
  memo->Lines()->Put(2, "last");
  memo->Lines()->Delete(0);
  EXPECT_EQ(memo->Lines()->Strings(0), "middle");
  EXPECT_EQ(memo->Lines()->Strings(1), "last");
  memo->Lines()->Clear();
  EXPECT_EQ(memo->Lines()->Count(), 0);
  EXPECT_TRUE(GetWindowLongW(memo->Handle(), GWL_STYLE) & ES_MULTILINE);
}

TEST_F(Edits, LabelAutoSizesToItsCaptionAndFocusesItsControlOnTheAccelerator) {
  auto* label = Create<TLabel>(form);
  label->SetParent(form);
  label->SetCaption("&Password");
  const int oneWord = label->Width();
  EXPECT_GT(oneWord, 20);
  label->SetCaption("&Password and more");
  EXPECT_GT(label->Width(), oneWord);
  auto* edit = Add<TEdit>(10, 40, 100, 21);
  auto* other = Add<TEdit>(10, 80, 100, 21);
  label->SetFocusControl(edit);
  other->SetFocus();
  EXPECT_EQ(form->Perform(CM_DIALOGCHAR, 'p', 0), 1);
  EXPECT_TRUE(edit->Focused());
  edit->Free();
  EXPECT_EQ(label->FocusControl(), nullptr) << "a freed control is forgotten";
}

TEST_F(Edits, LabelIsMeasuredWithItsOwnFont) {
  auto* label = Create<TLabel>(form);
  label->SetParent(form);
  label->SetCaption("Threshold High");
  const int normal = label->Width();
  label->Font()->SetSize(label->Font()->Size() * 2);
  label->SetCaption("Threshold High ");
  label->SetCaption("Threshold High");
  EXPECT_GT(label->Width(), normal * 3 / 2) << "a font twice as big needs about twice the width";
}

using Buttons = ControlForm;

TEST_F(Buttons, AClickRaisesOnClickOnceAndSetsTheFormsModalResult) {
  auto* button = Add<TButton>(10, 10, 80, 25);
  button->SetCaption("OK");
  button->SetModalResult(mrOk);
  int clicks = 0;
  button->OnClick = [&](TObject*) { ++clicks; };
  Click(button);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(form->ModalResult(), mrOk);
}

TEST_F(Buttons, EnterPressesTheDefaultButtonAndEscapeTheCancelButton) {
  auto* edit = Add<TEdit>(10, 10, 100, 21);
  auto* panel = Add<TGroupBox>(10, 40, 200, 100);
  auto* ok = Add<TButton>(10, 30, 75, 25, panel);
  auto* cancel = Add<TButton>(100, 30, 75, 25, panel);
  ok->SetDefault(true);
  cancel->SetCancel(true);
  std::vector<std::string> log;
  ok->OnClick = [&](TObject*) { log.push_back("ok"); };
  cancel->OnClick = [&](TObject*) { log.push_back("cancel"); };
  edit->SetFocus();
  PressKey(VK_RETURN);
  PressKey(VK_ESCAPE);
  EXPECT_EQ(log, (std::vector<std::string>{"ok", "cancel"}));
  EXPECT_EQ(GetWindowLongW(ok->Handle(), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  // A focused button takes Enter from the default one, and gives it back.
  cancel->SetFocus();
  PressKey(VK_RETURN);
  EXPECT_EQ(GetWindowLongW(ok->Handle(), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
  edit->SetFocus();
  PressKey(VK_RETURN);
  EXPECT_EQ(log, (std::vector<std::string>{"ok", "cancel", "cancel", "ok"}));
}

TEST_F(Buttons, CheckBoxSetterRaisesOnClickOnlyWhenTheValueChanges) {
  auto* box = Add<TCheckBox>(10, 10, 120, 17);
  int clicks = 0;
  box->OnClick = [&](TObject*) { ++clicks; };
  box->SetChecked(false);
  EXPECT_EQ(clicks, 0);
  box->SetChecked(true);
  box->SetChecked(true);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(SendMessageW(box->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
  box->SetChecked(false);
  EXPECT_EQ(clicks, 2);
}

TEST_F(Buttons, ClickingACheckBoxTogglesItAndRaisesOnClickOnce) {
  auto* box = Add<TCheckBox>(10, 10, 120, 17);
  box->SetCaption("Auto start");
  int clicks = 0;
  box->OnClick = [&](TObject*) { ++clicks; };
  ClickAt(box, 6, 8);
  EXPECT_TRUE(box->Checked());
  EXPECT_EQ(clicks, 1);
  ClickAt(box, 6, 8);
  EXPECT_FALSE(box->Checked());
  EXPECT_EQ(clicks, 2);
}

TEST_F(Buttons, AGrayedCheckBoxCyclesThroughThreeStatesAndKeepsThemInANewWindow) {
  auto* box = Add<TCheckBox>(10, 10, 120, 17);
  box->SetAllowGrayed(true);
  for (const TCheckBoxState next : {cbChecked, cbGrayed, cbUnchecked}) {
    ClickAt(box, 6, 8);
    EXPECT_EQ(box->State(), next);
  }
  box->SetState(cbGrayed);
  box->SetAlignment(taLeftJustify);  // a new window
  EXPECT_EQ(SendMessageW(box->Handle(), BM_GETCHECK, 0, 0), BST_INDETERMINATE);
  EXPECT_TRUE(GetWindowLongW(box->Handle(), GWL_STYLE) & BS_LEFTTEXT);
}

TEST_F(Buttons, CheckingARadioButtonUnchecksItsSiblingsOnly) {
  auto* a = Add<TRadioButton>(10, 10, 100, 17);
  auto* b = Add<TRadioButton>(10, 30, 100, 17);
  auto* group = Add<TGroupBox>(150, 10, 150, 100);
  auto* c = Add<TRadioButton>(10, 30, 100, 17, group);
  c->SetChecked(true);
  a->SetChecked(true);
  int bClicks = 0;
  b->OnClick = [&](TObject*) { ++bClicks; };
  Click(b);
  EXPECT_TRUE(b->Checked());
  EXPECT_FALSE(a->Checked());
  EXPECT_TRUE(c->Checked()) << "another parent is another group";
  EXPECT_EQ(bClicks, 1);
  EXPECT_EQ(SendMessageW(a->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

using Lists = ControlForm;

TEST_F(Lists, OwnerDrawnComboPaintsItsItemsThroughOnDrawItem) {
  auto* combo = Add<TComboBox>(10, 10, 120, 21);
  combo->SetStyle(csOwnerDrawFixed);
  combo->Items()->Add("red");
  combo->Items()->Add("blue");
  combo->SetItemIndex(0);
  std::vector<std::pair<int, bool>> drawn;
  combo->OnDrawItem = [&](TWinControl*, int index, const TRect& r, TOwnerDrawState state) {
    drawn.emplace_back(index, (state & odComboBoxEdit) != 0);
    combo->Canvas()->Brush()->SetColor(index == 0 ? clRed : clBlue);
    combo->Canvas()->FillRect(r);
  };
  InvalidateRect(combo->Handle(), nullptr, TRUE);
  Pump(30);
  ASSERT_FALSE(drawn.empty());
  EXPECT_EQ(drawn.back(), std::make_pair(0, true)) << "the selected item in the edit part";
  EXPECT_EQ(PixelOf(combo->Handle(), 8, combo->Height() / 2), RGB(255, 0, 0));
}

TEST_F(Lists, ComboItemIndexTakesMinusOneAndOutOfRangeAsNoSelection) {
  auto* combo = Add<TComboBox>(10, 10, 120, 21);
  combo->SetStyle(csDropDownList);
  combo->Items()->Add("COM1");
  combo->Items()->Add("COM3");
  int changes = 0;
  combo->OnChange = [&](TObject*) { ++changes; };
  combo->SetItemIndex(1);
  EXPECT_EQ(combo->ItemIndex(), 1);
  EXPECT_EQ(combo->Text(), "COM3");
  combo->SetItemIndex(5);
  EXPECT_EQ(combo->ItemIndex(), -1);
  EXPECT_EQ(combo->Text(), "");
  combo->SetItemIndex(0);
  combo->SetItemIndex(-1);
  EXPECT_EQ(combo->ItemIndex(), -1);
  EXPECT_EQ(changes, 0) << "changes made by code raise no OnChange";
}

TEST_F(Lists, ComboOnChangeFollowsTheUsersPick) {
  auto* combo = Add<TComboBox>(10, 10, 120, 21);
  combo->SetStyle(csDropDownList);
  for (const char* s : {"English", "Chinese"}) combo->Items()->Add(s);
  combo->SetItemIndex(0);
  std::vector<std::string> seen;
  combo->OnChange = [&](TObject*) { seen.push_back(combo->Text()); };
  combo->SetFocus();
  PressKey(VK_DOWN);
  EXPECT_EQ(combo->ItemIndex(), 1);
  EXPECT_EQ(seen, (std::vector<std::string>{"Chinese"}));
}

TEST_F(Lists, ComboTypingRaisesOnChangeAndKeyPress) {
  auto* combo = Add<TComboBox>(10, 10, 120, 21);
  int changes = 0;
  combo->OnChange = [&](TObject*) { ++changes; };
  combo->OnKeyPress = [](TObject*, wchar_t& key) {
    if (key == L'-') key = 0;
  };
  combo->SetText("preset");
  EXPECT_EQ(changes, 0);
  ASSERT_NE(combo->EditHandle(), nullptr);
  SetFocus(combo->EditHandle());
  SendMessageW(combo->EditHandle(), EM_SETSEL, 6, 6);
  Type(L"1-2");
  EXPECT_EQ(combo->Text(), "preset12");
  EXPECT_EQ(changes, 2);
}

TEST_F(Lists, ComboItemsAndSelectionSurviveANewWindow) {
  auto* combo = Add<TComboBox>(10, 10, 120, 21);
  combo->Items()->Add("b");
  combo->Items()->Add("a");
  combo->Items()->Put(0, "c");
  combo->SetItemIndex(1);
  combo->SetStyle(csDropDownList);
  EXPECT_EQ(SendMessageW(combo->Handle(), CB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(combo->ItemIndex(), 1);
  combo->SetSorted(true);
  EXPECT_EQ(combo->Items()->Strings(0), "a");
  EXPECT_EQ(combo->Text(), "a") << "the selected item stays selected when sorted";
  EXPECT_EQ(combo->Items()->Strings(1), "c");
  EXPECT_THROW(combo->Items()->Put(1, "d"), Exception) << "a sorted list has no places to put to";
}

TEST_F(Lists, ComboDropDownCountSetsTheHeightOfTheDroppedList) {
  auto* combo = Add<TComboBox>(10, 10, 120, 21);
  combo->SetStyle(csDropDownList);
  for (int i = 0; i < 20; ++i) combo->Items()->Add("item " + std::to_string(i));
  const int itemHeight = combo->ItemHeight();
  auto listHeight = [&] {
    combo->SetDroppedDown(true);
    Pump(20);
    RECT r;
    GetWindowRect(combo->ListHandle(), &r);
    combo->SetDroppedDown(false);
    Pump(20);
    return static_cast<int>(r.bottom - r.top);
  };
  combo->SetDropDownCount(4);
  const int four = listHeight();
  combo->SetDropDownCount(10);
  const int ten = listHeight();
  EXPECT_NEAR(ten - four, 6 * itemHeight, 2);
  EXPECT_LE(four, 5 * itemHeight);
}

TEST_F(Lists, ListBoxClickSelectsAndRaisesOnClick) {
  auto* list = Add<TListBox>(10, 10, 120, 100);
  for (const char* s : {"one", "two", "three"}) list->Items()->Add(s);
  int clicks = 0;
  list->OnClick = [&](TObject*) { ++clicks; };
  const int h = static_cast<int>(SendMessageW(list->Handle(), LB_GETITEMHEIGHT, 0, 0));
  ClickAt(list, 20, h + h / 2);
  EXPECT_EQ(list->ItemIndex(), 1);
  EXPECT_EQ(clicks, 1);
  list->SetItemIndex(7);
  EXPECT_EQ(list->ItemIndex(), -1);
  list->Items()->Delete(0);
  EXPECT_EQ(SendMessageW(list->Handle(), LB_GETCOUNT, 0, 0), 2);
}

TEST_F(Lists, GroupBoxPutsItsChildrenBelowTheCaption) {
  auto* group = Add<TGroupBox>(10, 10, 200, 120);
  group->SetCaption("Relays");
  auto* inner = Add<TCustomControl>(0, 0, 10, 10, group);
  inner->SetAlign(alClient);
  EXPECT_GE(inner->Top(), 10) << "below the caption";
  EXPECT_GE(inner->Left(), 1);
  EXPECT_LE(inner->Top() + inner->Height(), group->ClientHeight());
}

}  // namespace
