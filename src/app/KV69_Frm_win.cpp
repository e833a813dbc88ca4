#include "app/KV69_Frm_win.h"

#include <windows.h>

#include <algorithm>
#include <functional>

#include "app/About_Frm_win.h"
#include "app/ConstLang_Unt.h"
#include "app/FrameBar_Frms_win.h"
#include "app/Funs_Unt.h"
#include "app/Skins_Unt_win.h"
#include "app/SoftDateTime_Unt.h"
#include "app/SoftDiDoTh_Unt.h"
#include "app/SoftTelephone_Unt.h"
#include "app/Variable_Unt.h"
#include "base/DateTime.h"
#include "base/TextCodec.h"
#include "classlib/Resources.h"
#include "skin/core/sSkinManager_win.h"

namespace kv {

namespace {

constexpr int FormClientWidth = 1000;
constexpr int FormClientHeight = 640;
constexpr int SideBarWidth = 190;

// Side-bar items: image index and the pages their opening selects
// (PageControl, PageControlMain, PageControl_DIDOTH; -1 leaves one as it is).
struct TSideBarItem {
  int ImageIndex;
  int Page;
  int MainPage;
  int DoThPage;
};
constexpr TSideBarItem kSideBarItems[] = {
    {75, 1, 0, -1}, {19, 1, 1, 0},   {169, 1, 2, -1},
    {99, 1, 3, -1}, {121, 1, 4, -1}, {37, 2, -1, -1},
};

// Page layout: a column of labelled rows inside each group box. Labels sit
// above their edits; an enabling box sits right of the edit it enables.
constexpr int GroupLeft = 8;
constexpr int GroupWidth = 770;
constexpr int RowLeft = 16;
constexpr int SecondColumn = 400;
constexpr int EditHeight = 22;
constexpr int CheckHeight = 20;
constexpr int ButtonHeight = 28;
// From one labelled edit to the next one below it (label included).
constexpr int LabelledRow = 52;
constexpr int ComboLabelGap = 17;

// The byte length of a caption as the program's code page stores it.
int CaptionBytes(const std::string& caption) { return static_cast<int>(Utf8ToGbk(caption).size()); }

void SetColumnWidth(TListColumn* column, int width, bool fixed) {
  column->SetAlignment(taCenter);
  column->SetAutoSize(false);
  column->SetWidth(width);
  if (!fixed) return;
  column->SetMinWidth(width);
  column->SetMaxWidth(width);
}

// Rows that are there keep their place, and with it the selection: only
// their texts change; rows are added or taken away at the end.
void CopyRows(const TListRows& rows, TListView* list) {
  TListItems& items = *list->Items();
  while (items.Count() > static_cast<int>(rows.size())) items.Delete(items.Count() - 1);
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const int index = static_cast<int>(r);
    TListItem* item = index < items.Count() ? items.Item(index) : items.Add();
    item->SetCaption(rows[r].Caption);
    item->SubItems().Assign(rows[r].SubItems);
  }
}

// Sets a component's caption whatever kind of captioned thing it is.
void SetComponentCaption(TComponent* component, const std::string& text) {
  if (auto* edit = dynamic_cast<TCustomLabeledEdit*>(component)) {
    edit->EditLabel()->SetCaption(text);
  } else if (auto* control = dynamic_cast<TControl*>(component)) {
    control->SetCaption(text);
  } else if (auto* item = dynamic_cast<TMenuItem*>(component)) {
    item->SetCaption(text);
  }
}

// The index of text in either language's list, or -1.
int IndexInEitherLanguage(const std::string& text, const std::vector<std::string> (&lists)[2]) {
  for (const auto& list : lists)
    if (const int index = IndexOfText(text, list); index >= 0) return index;
  return -1;
}

TTimeOfDay PickerTime(const TDateTimePicker* picker) {
  int hour = 0, minute = 0, second = 0, msec = 0;
  DecodeTime(picker->Time(), hour, minute, second, msec);
  return {hour, minute, second};
}

void SetPickerTime(TDateTimePicker* picker, const TTimeOfDay& time) {
  TDateTime value = 0;
  // A time that names no valid time of day leaves the picker as it is.
  if (TryEncodeTime(time.Hour, time.Minute, time.Second, 0, value)) picker->SetTime(value);
}

// The design-time (Chinese) caption of a control of the setting pages.
std::string DesignCaption(std::string_view name) {
  for (const auto table :
       {ButtonCaptions(), CheckBoxCaptions(), GroupAndLabelCaptions(), EditLabelCaptions()})
    if (const TCaptionText* caption = FindCaption(table, name)) return caption->Chinese;
  return {};
}

template <class T>
T* NewControl(TComponent* owner, TWinControl* parent, const char* name) {
  auto* control = Create<T>(owner);
  control->SetName(name);
  control->SetParent(parent);
  return control;
}

TsGroupBox* NewGroup(TComponent* owner, TWinControl* parent, const char* name) {
  auto* group = NewControl<TsGroupBox>(owner, parent, name);
  group->SetCaption(DesignCaption(name));
  return group;
}

// Labels get a fixed width that holds the longer of their two captions:
// measuring a caption does not always give the width the Chinese text is
// painted with, and a label cut short is worse than one with room to spare.
void FixLabelWidth(TCustomLabel* label, int width) {
  label->SetAutoSize(false);
  label->SetWidth(width);
}

ComponentEx::TLabeledEdit* NewEdit(TComponent* owner, TWinControl* parent, const char* name,
                                   int left, int top, int width, int labelWidth,
                                   TLabelPosition position = lpAbove) {
  auto* edit = Create<ComponentEx::TLabeledEdit>(owner);
  edit->SetName(name);
  edit->SetLabelPosition(position);
  edit->SetParent(parent);
  edit->SetBounds(left, top, width, EditHeight);
  edit->SetText("");
  edit->EditLabel()->SetCaption(DesignCaption(name));
  FixLabelWidth(edit->EditLabel(), labelWidth);
  edit->PlaceLabel();
  edit->SetShowHint(true);
  return edit;
}

ComponentEx::TsCheckBox* NewCheck(TComponent* owner, TWinControl* parent, const char* name,
                                  int left, int top, int width) {
  auto* box = NewControl<ComponentEx::TsCheckBox>(owner, parent, name);
  box->SetBounds(left, top, width, CheckHeight);
  box->SetCaption(DesignCaption(name));
  return box;
}

ComponentEx::TsBitBtn* NewButton(TComponent* owner, TWinControl* parent, const char* name, int left,
                                 int top, int width) {
  auto* button = NewControl<ComponentEx::TsBitBtn>(owner, parent, name);
  button->SetBounds(left, top, width, ButtonHeight);
  button->SetCaption(DesignCaption(name));
  return button;
}

ComponentEx::TsComboBox* NewCombo(TComponent* owner, TWinControl* parent, const char* name,
                                  int left, int top, int width) {
  auto* combo = NewControl<ComponentEx::TsComboBox>(owner, parent, name);
  combo->SetStyle(csDropDownList);
  combo->SetBounds(left, top, width, EditHeight);
  return combo;
}

TsLabel* NewLabel(TComponent* owner, TWinControl* parent, const char* name, int left, int top,
                  int width) {
  auto* label = NewControl<TsLabel>(owner, parent, name);
  label->SetCaption(DesignCaption(name));
  FixLabelWidth(label, width);
  label->SetLeft(left);
  label->SetTop(top);
  return label;
}

TDateTimePicker* NewPicker(TComponent* owner, TWinControl* parent, const char* name, int left,
                           int top, int width, TDateTimeKind kind) {
  auto* picker = NewControl<TDateTimePicker>(owner, parent, name);
  picker->SetKind(kind);
  picker->SetBounds(left, top, width, EditHeight);
  return picker;
}

}  // namespace

TFormKV69::TFormKV69(TComponent* owner) : TForm(owner) {}

void TFormKV69::AfterConstruction() {
  CreateControls();
  TForm::AfterConstruction();
}

void TFormKV69::CreateControls() {
  SetName("FormKV69");
  SetPosition(poDesktopCenter);
  ApplyProgramFormLook(*this);
  SetClientWidth(FormClientWidth);
  SetClientHeight(FormClientHeight);
  // The skin first: every control made below finds it loaded.
  CreateWindowSkin(this, true, sknmngr, sknprvdr);
  sknmngr->OnAfterChange = [this](TObject*) { FollowSkinInFrames(); };
  // Switching the manager off raises none of its events; the window learns it
  // from the broadcast, ahead of the provider that takes it.
  skinWatch_ = InstallWindowProcHook(TWndMethod(this, &TFormKV69::WatchSkin));
  LoadImages();
  CreateMenus();

  Bar = Create<TsStatusBar>(this);
  Bar->SetName("Bar");
  Bar->SetParent(this);
  Bar->SetAlign(alBottom);
  Bar->SetHeight(22);
  Bar->SetSimplePanel(true);

  PnlMain = Create<TsPanel>(this);
  PnlMain->SetName("PnlMain");
  PnlMain->SetParent(this);
  PnlMain->SetAlign(alLeft);
  PnlMain->SetWidth(SideBarWidth);
  PnlMain->SetCaption("");
  PnlMain->SetBevelOuter(bvNone);
  CreateSideBar();
  CreatePages();
  CreateEngine();
  BindEvents();

  // The Skins menu lists the skin files next to the program.
  SoftSkins = Create<TSoftSkins>(this, sknmngr, N_Skins, ExtractFilePath(Application->ExeName()));
}

void TFormKV69::WatchSkin(TMessage& message) {
  const bool ours = message.Msg == SM_ALPHACMD && sknmngr != nullptr &&
                    message.LParam == reinterpret_cast<LPARAM>(sknmngr);
  if (ours && message.WParamHi() == cmdSkinRemoved && HandleAllocated())
    PostMessageW(Handle(), WM_FOLLOWSKIN, 0, 0);
  skinWatch_.CallPrevious(message);
  // A new skin is refreshed while the window is frozen: the side-bar frames'
  // managers take it then, and the thaw paints their windows once, in it.
  if (ours && message.WParamHi() == cmdSkinRefresh) FollowSkinInFrames();
}

void TFormKV69::FollowSkinInFrames() {
  if (sknmngr == nullptr || FrameBar == nullptr) return;
  for (int i = 0; i < FrameBar->Items()->Count(); ++i)
    if (auto* frame = dynamic_cast<TSideBarFrame*>(FrameBar->Items()->GetItem(i)->Frame()))
      FollowSkin(*frame->sknmngr, *sknmngr);
}

// Every control and event of the window with its handler, one line each, as
// the form's description would list them. The port, tmrOut and the
// application events are bound where the engine creates them, AutoStartBox
// where FormShow makes it.
void TFormKV69::BindEvents() {
  const auto on = [this](void (TFormKV69::*handler)(TObject*)) {
    return std::bind_front(handler, this);
  };
  const auto item = [this](const char* name) {
    return dynamic_cast<TMenuItem*>(FindComponent(name));
  };
  OnCreate = on(&TFormKV69::FormCreate);
  OnShow = on(&TFormKV69::FormShow);
  OnResize = on(&TFormKV69::FormResize);

  N_Open->OnClick = on(&TFormKV69::N_OpenClick);
  N_Save->OnClick = on(&TFormKV69::N_SaveClick);
  N_Exit->OnClick = on(&TFormKV69::N_ExitClick);
  Pop_DisCommPort->OnClick = on(&TFormKV69::Pop_DisCommPortClick);
  Pop_RepCommPort->OnClick = on(&TFormKV69::Pop_RepCommPortClick);
  Pop_ReadMaster_Seting->OnClick = on(&TFormKV69::Pop_ReadMaster_SetingClick);
  Pop_WirteMaster->OnClick = on(&TFormKV69::Pop_WirteMasterClick);
  Menu_R_DO->OnClick = on(&TFormKV69::Menu_R_DOClick);
  Menu_R_TH->OnClick = on(&TFormKV69::Menu_R_THClick);
  Pop_RESET->OnClick = on(&TFormKV69::Pop_RESETClick);
  Pop_ReBoot->OnClick = on(&TFormKV69::Pop_ReBootClick);
  N_CN->OnClick = on(&TFormKV69::N_CNClick);
  N_EN->OnClick = on(&TFormKV69::N_ENClick);
  N_About->OnClick = on(&TFormKV69::N_AboutClick);

  item("Pop_Do_Setting")->OnClick = on(&TFormKV69::Pop_Do_SettingClick);
  item("Pop_Do_ReadCurrentValue")->OnClick = on(&TFormKV69::Pop_Do_ReadCurrentValueClick);
  item("Pop_Do_ClearLine")->OnClick = on(&TFormKV69::Pop_Do_ClearLineClick);
  item("Pop_Do_Clear")->OnClick = on(&TFormKV69::Pop_Do_ClearClick);
  item("Pop_Th_Setting")->OnClick = on(&TFormKV69::Pop_Th_SettingClick);
  item("Pop_Th_ReadCurrentValue")->OnClick = on(&TFormKV69::Pop_Th_ReadCurrentValueClick);
  item("Pop_Th_ClearLine")->OnClick = on(&TFormKV69::Pop_Th_ClearLineClick);
  item("Pop_Th_Clear")->OnClick = on(&TFormKV69::Pop_Th_ClearClick);
  item("Pop_Phone_Setting")->OnClick = on(&TFormKV69::Pop_Phone_SettingClick);
  item("Pop_Phone_ClearLine")->OnClick = on(&TFormKV69::Pop_Phone_ClearLineClick);
  item("Pop_Phone_Clear")->OnClick = on(&TFormKV69::Pop_Phone_ClearClick);
  item("Pop_Timer_Setting")->OnClick = on(&TFormKV69::Pop_Timer_SettingClick);
  item("Pop_Timer_Delete")->OnClick = on(&TFormKV69::Pop_Timer_DeleteClick);
  item("Pop_Timer_Clear")->OnClick = on(&TFormKV69::Pop_Timer_ClearClick);
  lvDo->OnDblClick = on(&TFormKV69::Pop_Do_SettingClick);
  lvTh->OnDblClick = on(&TFormKV69::Pop_Th_SettingClick);
  lvTel->OnDblClick = on(&TFormKV69::Pop_Phone_SettingClick);
  lvTimer->OnDblClick = on(&TFormKV69::Pop_Timer_SettingClick);

  // The side bar: each item's frame, made when the item opens.
  for (int i = 0; i < FrameBar->Items()->Count(); ++i)
    FrameBar->Items()->GetItem(i)->OnCreateFrame = [this, i](TObject*, TCustomFrame*& frame) {
      CreateSideBarFrame(i, frame);
    };

  chk_AutoAlarmAfterDisarm->OnClick = on(&TFormKV69::chk_AutoAlarmAfterDisarmClick);
  chk_ReportTime->OnClick = on(&TFormKV69::chk_ReportTimeClick);
  chk_PwrOffTime->OnClick = on(&TFormKV69::chk_PwrOffTimeClick);
  chk_SaveRecordInterSec->OnClick = on(&TFormKV69::chk_SaveRecordInterSecClick);
  chk_SmsReportInterMin->OnClick = on(&TFormKV69::chk_SmsReportInterMinClick);
  chk_ShowPassword->OnClick = on(&TFormKV69::chk_ShowPasswordClick);
  btn_DO1_Close->OnClick = on(&TFormKV69::btn_DO1_CloseClick);
  btn_DO1_Open->OnClick = on(&TFormKV69::btn_DO1_OpenClick);
  btn_Do2_Close->OnClick = on(&TFormKV69::btn_Do2_CloseClick);
  btn_Do2_Open->OnClick = on(&TFormKV69::btn_Do2_OpenClick);
  btn_Find->OnClick = on(&TFormKV69::btn_FindClick);
  btn_PC_Time->OnClick = on(&TFormKV69::btn_PC_TimeClick);
  btn_Main_Timer_Read->OnClick = on(&TFormKV69::btn_Main_Timer_ReadClick);
  btn_Main_Timer_Write->OnClick = on(&TFormKV69::btn_Main_Timer_WriteClick);
  btn_ReadHistroyFull->OnClick = on(&TFormKV69::btn_ReadHistroyFullClick);
  btn_ReadHistroy->OnClick = on(&TFormKV69::btn_ReadHistroyClick);
  btn_History_Clear->OnClick = on(&TFormKV69::btn_History_ClearClick);
  btn_Clean_History_Dev->OnClick = on(&TFormKV69::btn_Clean_History_DevClick);
  btn_History_Filter->OnClick = on(&TFormKV69::btn_History_FilterClick);
  btn_Hist_Save_CSV->OnClick = on(&TFormKV69::btn_Hist_Save_CSVClick);
  btn_Hist_Open_CSV->OnClick = on(&TFormKV69::btn_Hist_Open_CSVClick);
}

void TFormKV69::LoadImages() {
  il16 = Create<TImageList>(this);
  il16->SetName("il16");
  il16->SetSize(16, 16);
  if (HINSTANCE module = GetModuleHandleW(nullptr); ResourceExists(module, "IL16", RT_BITMAP_W)) {
    TBitmapImage strip;
    strip.LoadFromResourceName(module, "IL16");
    il16->Add(strip.Bitmap());
  }
}

TMenuItem* TFormKV69::AddMenuItem(TMenuItem* parent, const char* name) {
  auto* item = Create<TMenuItem>(this);
  item->SetName(name);
  if (const TCaptionText* caption = FindCaption(MenuCaptions(), name))
    item->SetCaption(caption->Chinese);
  parent->Add(item);
  return item;
}

void TFormKV69::CreateMenus() {
  MainMenu = Create<TMainMenu>(this);
  MainMenu->SetName("MainMenu");
  TMenuItem* root = MainMenu->Items();
  N_File = AddMenuItem(root, "N_File");
  N_Open = AddMenuItem(N_File, "N_Open");
  N_Save = AddMenuItem(N_File, "N_Save");
  N_Exit = AddMenuItem(N_File, "N_Exit");
  Pop_Connect = AddMenuItem(root, "Pop_Connect");
  Pop_DisCommPort = AddMenuItem(Pop_Connect, "Pop_DisCommPort");
  Pop_RepCommPort = AddMenuItem(Pop_Connect, "Pop_RepCommPort");
  MI_SystemConfig = AddMenuItem(root, "MI_SystemConfig");
  Pop_ReadMaster_Seting = AddMenuItem(MI_SystemConfig, "Pop_ReadMaster_Seting");
  Pop_WirteMaster = AddMenuItem(MI_SystemConfig, "Pop_WirteMaster");
  Menu_R_DO = AddMenuItem(MI_SystemConfig, "Menu_R_DO");
  Menu_R_TH = AddMenuItem(MI_SystemConfig, "Menu_R_TH");
  Pop_System = AddMenuItem(root, "Pop_System");
  Pop_RESET = AddMenuItem(Pop_System, "Pop_RESET");
  Pop_ReBoot = AddMenuItem(Pop_System, "Pop_ReBoot");
  N_Language = AddMenuItem(root, "N_Language");
  N_CN = AddMenuItem(N_Language, "N_CN");
  N_EN = AddMenuItem(N_Language, "N_EN");
  N_Skins = AddMenuItem(root, "N_Skins");
  N_Help = AddMenuItem(root, "N_Help");
  N_About = AddMenuItem(N_Help, "N_About");
  SetMenu(MainMenu);

  const auto popup = [this](const char* name, std::initializer_list<const char*> items) {
    auto* menu = Create<TPopupMenu>(this);
    menu->SetName(name);
    for (const char* item : items) AddMenuItem(menu->Items(), item);
    return menu;
  };
  PopDo = popup("PopDo",
                {"Pop_Do_Setting", "Pop_Do_ReadCurrentValue", "Pop_Do_ClearLine", "Pop_Do_Clear"});
  PopTh = popup("PopTh",
                {"Pop_Th_Setting", "Pop_Th_ReadCurrentValue", "Pop_Th_ClearLine", "Pop_Th_Clear"});
  PopPhone = popup("PopPhone", {"Pop_Phone_Setting", "Pop_Phone_ClearLine", "Pop_Phone_Clear"});
  PopTimer = popup("PopTimer", {"Pop_Timer_Setting", "Pop_Timer_Delete", "Pop_Timer_Clear"});
}

void TFormKV69::CreateSideBar() {
  FrameBar = Create<TsFrameBar>(this);
  // Laid out once, when complete.
  FrameBar->BeginLoading();
  FrameBar->SetName("FrameBar");
  FrameBar->SkinData()->SetSkinSection("BARPANEL");
  // The titles keep the bar's font whatever the skin's colours.
  FrameBar->SkinData()->SetCustomFont(true);
  FrameBar->SetAutoFrameSize(false);
  FrameBar->SetSpacing(0);
  FrameBar->SetTitleHeight(32);
  FrameBar->SetImages(il16);
  FrameBar->VertScrollBar()->SetTracking(true);
  FrameBar->HorzScrollBar()->SetVisible(false);
  const auto captions = SideBarCaptions();
  for (size_t i = 0; i < std::size(kSideBarItems); ++i) {
    TsTitleItem* item = FrameBar->Items()->Add();
    item->SetSkinSection("BARTITLE");
    item->SetCaption(captions[i].Chinese);
    item->SetImageIndex(kSideBarItems[i].ImageIndex);
  }
  FrameBar->EndLoading();
}

void TFormKV69::CreateSideBarFrame(int index, TCustomFrame*& frame) {
  const TSideBarItem& entry = kSideBarItems[static_cast<size_t>(index)];
  SelectPages(entry.Page, entry.MainPage, entry.DoThPage);
  TSideBarFrame* made = nullptr;
  switch (index) {
    case 0:
      made = Create<TFormBasice>(this, il16);
      break;
    case 1:
      made = Create<TFormDIDOTH>(this);
      break;
    case 2:
      made = Create<TFormPhoneMrg>(this, il16);
      break;
    case 3:
      made = Create<TFormTimeDebug>(this);
      break;
    case 4:
      made = Create<TFormSMSMode>(this, il16);
      break;
    default:
      made = Create<TFormHistory>(this);
      break;
  }
  made->OnSelectPages = [this](int page, int mainPage, int doThPage) {
    SelectPages(page, mainPage, doThPage);
  };
  FollowSkin(*made->sknmngr, *sknmngr);
  frame = made;
}

TsTabSheet* TFormKV69::AddSheet(TsPageControl* pages, const char* name) {
  auto* sheet = Create<TsTabSheet>(this);
  sheet->SetName(name);
  sheet->SetPageControl(pages);
  // The settings pages' tabs are buttons in the skin's up-down look.
  if (pages == PageControlMain) sheet->SetTabSkin("UPDOWNBTN");
  if (const TCaptionText* caption = FindCaption(SheetCaptions(), name))
    sheet->SetCaption(caption->Chinese);
  return sheet;
}

TsListView* TFormKV69::AddListView(TWinControl* parent, const char* name, TPopupMenu* popup) {
  auto* list = Create<TsListView>(this);
  list->SetName(name);
  list->SetParent(parent);
  list->SetAlign(alClient);
  list->SetViewStyle(vsReport);
  list->SetGridLines(true);
  list->SetRowSelect(true);
  list->SetReadOnly(true);
  list->SetHideSelection(false);
  list->SetPopupMenu(popup);
  list->SetShowHint(true);
  for (const std::string& text : ListColumnTexts(name, LanguageChinese))
    list->Columns()->Add()->SetCaption(text);
  return list;
}

void TFormKV69::CreatePages() {
  PageControl = Create<TsPageControl>(this);
  PageControl->SetName("PageControl");
  PageControl->SetParent(this);
  PageControl->SetAlign(alClient);
  PageControl->SetImages(il16);

  abSheetVerInfo = AddSheet(PageControl, "abSheetVerInfo");
  const auto label = [this](const char* name, int top) {
    auto* text = Create<TsLabel>(this);
    text->SetName(name);
    text->SetParent(abSheetVerInfo);
    text->SetCaption("");
    FixLabelWidth(text, 600);
    text->SetBounds(40, top, 600, 20);
    return text;
  };
  lbl_ModelNo = label("lbl_ModelNo", 40);
  lbl_Verstion = label("lbl_Verstion", 72);
  lbl_IMEI = label("lbl_IMEI", 104);
  lbl_SignalValue = label("lbl_SignalValue", 136);

  Sheet_Basic = AddSheet(PageControl, "Sheet_Basic");
  PageControlMain = Create<TsPageControl>(this);
  PageControlMain->SetName("PageControlMain");
  PageControlMain->SetParent(Sheet_Basic);
  PageControlMain->SetAlign(alClient);
  PageControlMain->SetStyle(tsButtons);
  PageControlMain->SetMultiLine(true);
  Sheet_Common = AddSheet(PageControlMain, "Sheet_Common");
  CreateBasicPage();
  Sheet_DiDoTh = AddSheet(PageControlMain, "Sheet_DiDoTh");
  PageControl_DIDOTH = Create<TsPageControl>(this);
  PageControl_DIDOTH->SetName("PageControl_DIDOTH");
  PageControl_DIDOTH->SetParent(Sheet_DiDoTh);
  PageControl_DIDOTH->SetAlign(alClient);
  Sheet_DO = AddSheet(PageControl_DIDOTH, "Sheet_DO");
  lvDo = AddListView(Sheet_DO, "lvDo", PopDo);
  CreateDoPage();
  Sheet_TH = AddSheet(PageControl_DIDOTH, "Sheet_TH");
  lvTh = AddListView(Sheet_TH, "lvTh", PopTh);
  Sheet_Telephone = AddSheet(PageControlMain, "Sheet_Telephone");
  lvTel = AddListView(Sheet_Telephone, "lvTel", PopPhone);
  Sheet_DateTime = AddSheet(PageControlMain, "Sheet_DateTime");
  lvTimer = AddListView(Sheet_DateTime, "lvTimer", PopTimer);
  CreateTimerPage();
  Sheet_InfoMode = AddSheet(PageControlMain, "Sheet_InfoMode");
  CreateInfoModePage();
  Sheet_History = AddSheet(PageControl, "Sheet_History");
  CreateHistoryPage();
}

void TFormKV69::CreateBasicPage() {
  // The group's children are made in the order the profile and the clearing
  // walk them.
  grp_BasicSeting = NewGroup(this, Sheet_Common, "grp_BasicSeting");
  TsGroupBox* group = grp_BasicSeting;
  const int row1 = 40;                   // description and id (labels above)
  const int row2 = row1 + 36;            // the two flag boxes
  const int row3 = row2 + 30;            // re-arm box
  const int row4 = row3 + 26;            // re-arm delay (label right)
  const int row5 = row4 + 38;            // report time box and picker
  const int row6 = row5 + 30 + 20;       // SMS report interval
  const int row7 = row6 + LabelledRow;   // save interval
  const int row8 = row7 + LabelledRow;   // power-loss delay
  const int enableLeft = RowLeft + 130;  // "Enable" boxes right of their edits
  lbledt_Master_DevDes = NewEdit(this, group, "lbledt_Master_DevDes", RowLeft, row1, 360, 360);
  lbledt_DeviseID = NewEdit(this, group, "lbledt_DeviseID", SecondColumn, row1, 150, 340);
  chk_AddTimeToAlarmSMS = NewCheck(this, group, "chk_AddTimeToAlarmSMS", RowLeft, row2, 370);
  chk_Auto_Armed = NewCheck(this, group, "chk_Auto_Armed", SecondColumn, row2, 350);
  chk_AutoAlarmAfterDisarm = NewCheck(this, group, "chk_AutoAlarmAfterDisarm", RowLeft, row3, 400);
  lbledt_AutoMintues =
      NewEdit(this, group, "lbledt_AutoMintues", RowLeft + 20, row4, 70, 640, lpRight);
  lbledt_PwrOffTime = NewEdit(this, group, "lbledt_PwrOffTime", RowLeft, row8, 120, 600);
  dtp_RePortTime = NewPicker(this, group, "dtp_RePortTime", RowLeft + 210, row5, 100, dtkTime);
  lbledt_SaveRecordInterSec =
      NewEdit(this, group, "lbledt_SaveRecordInterSec", RowLeft, row7, 120, 600);
  lbledt_SmsReportInterMin =
      NewEdit(this, group, "lbledt_SmsReportInterMin", RowLeft, row6, 120, 600);
  chk_ReportTime = NewCheck(this, group, "chk_ReportTime", RowLeft, row5 + 1, 200);
  chk_PwrOffTime = NewCheck(this, group, "chk_PwrOffTime", enableLeft, row8 + 1, 120);
  chk_SaveRecordInterSec =
      NewCheck(this, group, "chk_SaveRecordInterSec", enableLeft, row7 + 1, 120);
  chk_SmsReportInterMin = NewCheck(this, group, "chk_SmsReportInterMin", enableLeft, row6 + 1, 120);
  group->SetBounds(GroupLeft, GroupLeft, GroupWidth, row8 + EditHeight + 18);

  grp_PasswordSeting = NewGroup(this, Sheet_Common, "grp_PasswordSeting");
  group = grp_PasswordSeting;
  lbledt_Main_Password = NewEdit(this, group, "lbledt_Main_Password", RowLeft, row1, 120, 300);
  lbledt_Main_Password->SetPasswordChar(L'*');
  chk_ShowPassword = NewCheck(this, group, "chk_ShowPassword", RowLeft + 140, row1 + 1, 160);
  btn_ChangePassword = NewButton(this, group, "btn_ChangePassword", RowLeft + 310, row1 - 3, 100);
  group->SetBounds(GroupLeft, grp_BasicSeting->Top() + grp_BasicSeting->Height() + 8, GroupWidth,
                   row1 + EditHeight + 18);
  UpdateEnabledEdits();
}

void TFormKV69::CreateDoPage() {
  grp_OpenCloseDO = NewGroup(this, Sheet_DO, "grp_OpenCloseDO");
  grp_OpenCloseDO->SetAlign(alBottom);
  grp_OpenCloseDO->SetHeight(68);
  const int top = 26;
  btn_DO1_Close = NewButton(this, grp_OpenCloseDO, "btn_DO1_Close", RowLeft, top, 120);
  btn_DO1_Open = NewButton(this, grp_OpenCloseDO, "btn_DO1_Open", RowLeft + 130, top, 120);
  btn_Do2_Close = NewButton(this, grp_OpenCloseDO, "btn_Do2_Close", RowLeft + 280, top, 120);
  btn_Do2_Open = NewButton(this, grp_OpenCloseDO, "btn_Do2_Open", RowLeft + 410, top, 120);
}

void TFormKV69::CreateTimerPage() {
  // The device clock sits right of the timer list, the notice under both.
  grp_Timer_Notice = NewGroup(this, Sheet_DateTime, "grp_Timer_Notice");
  grp_Timer_Notice->SetAlign(alBottom);
  grp_Timer_Notice->SetHeight(30);
  // A hidden tool: dumps the history grid's header into the memo.
  btn_Find = NewButton(this, grp_Timer_Notice, "btn_Find", RowLeft, 4, 60);
  btn_Find->SetCaption("Find");
  btn_Find->SetVisible(false);
  mmo = NewControl<TMemo>(this, grp_Timer_Notice, "mmo");
  mmo->SetBounds(RowLeft + 70, 4, 100, 20);
  mmo->SetVisible(false);

  grp_Slave_Function = NewGroup(this, Sheet_DateTime, "grp_Slave_Function");
  grp_Slave_Function->SetAlign(alRight);
  grp_Slave_Function->SetWidth(200);
  TsGroupBox* group = grp_Slave_Function;
  const int width = 200 - 2 * RowLeft;
  dtpYMD = NewPicker(this, group, "dtpYMD", RowLeft, 28, width, dtkDate);
  dtpHMS = NewPicker(this, group, "dtpHMS", RowLeft, 60, width, dtkTime);
  dtpYMD->SetDateTime(Now());
  dtpHMS->SetDateTime(Now());
  btn_PC_Time = NewButton(this, group, "btn_PC_Time", RowLeft, 100, width);
  btn_Main_Timer_Read = NewButton(this, group, "btn_Main_Timer_Read", RowLeft, 136, width);
  btn_Main_Timer_Write = NewButton(this, group, "btn_Main_Timer_Write", RowLeft, 172, width);
}

void TFormKV69::CreateInfoModePage() {
  // Children in the order the profile and the clearing walk them; the
  // transport and server settings on the left, the protocol and the
  // operator's access data on the right.
  grp_GPRS_BasicSeting = NewGroup(this, Sheet_InfoMode, "grp_GPRS_BasicSeting");
  TsGroupBox* group = grp_GPRS_BasicSeting;
  const auto row = [](int n) { return 40 + n * LabelledRow; };
  const int wide = 330;
  const int narrow = 150;
  const int leftLabel = SecondColumn - RowLeft - 10;
  const int rightLabel = GroupWidth - SecondColumn - 16;
  lbledt_AccessPontName =
      NewEdit(this, group, "lbledt_AccessPontName", SecondColumn, row(1), wide, rightLabel);
  lbledt_GPRS_UserName =
      NewEdit(this, group, "lbledt_GPRS_UserName", SecondColumn, row(2), wide, rightLabel);
  lbledt_GPRS_Password =
      NewEdit(this, group, "lbledt_GPRS_Password", SecondColumn, row(3), wide, rightLabel);
  lbledt_HeartCont =
      NewEdit(this, group, "lbledt_HeartCont", SecondColumn, row(4), wide, rightLabel);
  lbledt_GprsBeatHeart =
      NewEdit(this, group, "lbledt_GprsBeatHeart", RowLeft, row(3), narrow, leftLabel);
  lbledt_GprsReconnSec =
      NewEdit(this, group, "lbledt_GprsReconnSec", RowLeft, row(4), narrow, leftLabel);
  lbledt_TcpPort = NewEdit(this, group, "lbledt_TcpPort", RowLeft, row(2), narrow, leftLabel);
  cbb_GPRSCommunication_Proctocol =
      NewCombo(this, group, "cbb_GPRSCommunication_Proctocol", SecondColumn, row(0), wide);
  cbb_GPRS_TcpUdp = NewCombo(this, group, "cbb_GPRS_TcpUdp", RowLeft, row(0), narrow);
  for (const std::string& item : TransportItems()) cbb_GPRS_TcpUdp->Items()->Add(item);
  lbledt_Gprs_IP = NewEdit(this, group, "lbledt_Gprs_IP", RowLeft, row(1), wide, leftLabel);
  lbl_GPRS_Proctocol =
      NewLabel(this, group, "lbl_GPRS_Proctocol", SecondColumn, row(0) - ComboLabelGap, rightLabel);
  lbl_GPRSCommunication_Proctocol = NewLabel(this, group, "lbl_GPRSCommunication_Proctocol",
                                             RowLeft, row(0) - ComboLabelGap, leftLabel);
  group->SetBounds(GroupLeft, GroupLeft, GroupWidth, row(4) + EditHeight + 18);
  RefillProtocolItems(LanguageChinese);
}

void TFormKV69::FormCreate(TObject*) {
  FrameBar->SetParent(PnlMain);
  FrameBar->SetAlign(alClient);
  SetCaption(Caption() + " Ver" + GetProgramVersion(Application->ExeName()));
}

void TFormKV69::FormShow(TObject*) {
  AutoStartBox = Create<ComponentEx::TsCheckBox>(this);
  AutoStartBox->SetName("AutoStartBox");
  AutoStartBox->SetParent(Bar);
  AutoStartBox->SetAlign(alRight);
  AutoStartBox->SetWidth(110);
  // The box shows what the registry holds, not what was last asked for.
  AutoStartBox->SetChecked(IsAutoStart());
  AutoStartBox->SetCaption(StatusBarCheckCaptions()[1].Chinese);
  AutoStartBox->OnClick = [this](TObject*) { AutoStartBoxClick(); };

  dtpYMD->SetDateTime(Now());
  dtpHMS->SetDateTime(Now());
  for (TDateTimePicker* picker :
       {dtp_Hist_Begin_Date, dtp_Hist_Begin_Time, dtp_Hist_End_Date, dtp_Hist_End_Time})
    if (picker != nullptr) picker->SetDateTime(Now());
  LayOutColumns();
  // The ports as they are now: one may have come or gone since the login.
  ListSerialPorts(ComPortList);
  TListRows rows;
  FillPhoneRows(rows);
  CopyRows(rows, lvTel);
  rows.clear();
  FillTimerRows(rows);
  CopyRows(rows, lvTimer);
  rows.clear();
  FillDoRows(rows);
  CopyRows(rows, lvDo);

  char locale[16] = {};
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_ILANGUAGE, locale, sizeof locale);
  const int language = std::string(locale) == "0804" ? LanguageChinese : LanguageEnglish;
  SwitchLanguage(language);

  viewOnly_ = LoginPassword == AccessCode;
  Bar->SetSimpleText(viewOnly_ ? std::string("View") : LoginComPort);
  if (!viewOnly_) ConnectAtShow();

  SwitchLanguage(language);
  PageControl->SetActivePageIndex(0);
}

void TFormKV69::LayOutColumns() {
  // Widths follow the byte length of the caption the column has now.
  const auto width = [](TListView* list, int column) {
    return CaptionBytes(list->Columns()->Items(column)->Caption());
  };
  for (int c = 0; c < lvDo->Columns()->Count(); ++c) {
    const int factor = c == 1 ? 18 : (c >= 4 ? 30 : 12);
    SetColumnWidth(lvDo->Columns()->Items(c), width(lvDo, c) * factor, false);
  }
  for (int c = 0; c < lvTh->Columns()->Count(); ++c) {
    const bool wide = c == 1 || (c >= 7 && c <= 10);
    const int w =
        c == 0 ? width(lvTh, c) * 12 + 50 : (wide ? width(lvTh, c) * 16 + 50 : width(lvTh, c) * 12);
    SetColumnWidth(lvTh->Columns()->Items(c), w, false);
  }
  for (int c = 0; c < lvTel->Columns()->Count(); ++c)
    SetColumnWidth(lvTel->Columns()->Items(c), width(lvTel, c) * 12, true);
  // The timer list has no given widths: wide enough for the caption and the
  // week and action texts in either language.
  std::vector<std::string> cellTexts[TimerListColumns];
  for (int language : {LanguageChinese, LanguageEnglish}) {
    for (int c = 0; c < TimerListColumns; ++c)
      cellTexts[c].push_back(ListColumnTexts("lvTimer", language).at(static_cast<size_t>(c)));
    for (const std::string& text : TimerWeekTexts(language))
      cellTexts[TimerColWeek].push_back(text);
    for (const std::string& text : TimerActionTexts(language))
      cellTexts[TimerColAction].push_back(text);
  }
  for (int c = 0; c < lvTimer->Columns()->Count() && c < TimerListColumns; ++c) {
    int longest = 0;
    for (const std::string& text : cellTexts[c]) longest = std::max(longest, CaptionBytes(text));
    SetColumnWidth(lvTimer->Columns()->Items(c), std::max(longest * 7 + 24, 80), false);
  }
}

void TFormKV69::SetLanguageCaptions(int language) {
  const auto apply = [this, language](std::span<const TCaptionText> table) {
    for (const TCaptionText& entry : table)
      if (TComponent* component = FindComponent(entry.Name))
        SetComponentCaption(component, entry.Text(language));
  };
  apply(ButtonCaptions());
  apply(CheckBoxCaptions());
  apply(GroupAndLabelCaptions());
  apply(EditLabelCaptions());
  if (language != LanguageChinese)
    for (const TCaptionText& hint : EnglishOnlyHints())
      if (auto* control = dynamic_cast<TControl*>(FindComponent(hint.Name)))
        control->SetHint(hint.English);

  for (int row = 0; row < lvDo->Items()->Count() && row < DoRowCount; ++row)
    lvDo->Items()->Item(row)->SetCaption(DoRowCaption(row, language));
  for (TListView* list : {static_cast<TListView*>(lvDo), static_cast<TListView*>(lvTel),
                          static_cast<TListView*>(lvTh), static_cast<TListView*>(lvTimer)}) {
    const std::vector<std::string> texts = ListColumnTexts(list->Name(), language);
    for (int c = 0; c < list->Columns()->Count() && c < static_cast<int>(texts.size()); ++c)
      list->Columns()->Items(c)->SetCaption(texts[static_cast<size_t>(c)]);
  }
  const std::vector<std::string> thRows = ThRowCaptions(ModelIndex, language);
  for (int row = 0; row < lvTh->Items()->Count() && row < static_cast<int>(thRows.size()); ++row)
    lvTh->Items()->Item(row)->SetCaption(thRows[static_cast<size_t>(row)]);

  apply(SheetCaptions());
  apply(MenuCaptions());
  const auto sideBar = SideBarCaptions();
  for (int i = 0; i < FrameBar->Items()->Count() && i < static_cast<int>(sideBar.size()); ++i)
    FrameBar->Items()->GetItem(i)->SetCaption(sideBar[static_cast<size_t>(i)].Text(language));
  TranslateTimerCells(language);
  // The fixed part of the history grid's header; the channel columns follow
  // the model (SetHistoryChannelHeader).
  if (SgHist != nullptr)
    for (const TColumnCaption& cell : HistoryHeaderRowCaptions())
      SgHist->SetCells(cell.Column, 0, cell.Text(language));
  // Of the two status-bar boxes only "Auto Start" exists.
  if (AutoStartBox != nullptr) AutoStartBox->SetCaption(StatusBarCheckCaptions()[1].Text(language));

  AssignLanguageTexts(language, ModelIndex);
  SetCaption(MainWindowCaption(language));
  // An open frame shows its buttons in the new language too.
  for (int i = 0; i < FrameBar->Items()->Count(); ++i)
    if (auto* frame = dynamic_cast<TSideBarFrame*>(FrameBar->Items()->GetItem(i)->Frame()))
      frame->SetCaptions(language);
  for (TListView* list : {static_cast<TListView*>(lvDo), static_cast<TListView*>(lvTh),
                          static_cast<TListView*>(lvTel), static_cast<TListView*>(lvTimer)})
    list->SetHint(ListViewHint(language));
  RefillProtocolItems(language);
}

void TFormKV69::RefillProtocolItems(int language) {
  // The chosen protocol survives the refill: a language switch (also the one
  // after each version reply) must not change what a later write sends. So
  // does no choice in a shown setting (a device's code no item names); only
  // the window's first fill selects the first item.
  const int chosen = cbb_GPRSCommunication_Proctocol->ItemIndex();
  TControlItems* items = cbb_GPRSCommunication_Proctocol->Items();
  items->Clear();
  for (const std::string& text : ProtocolItems(language)) items->Add(text);
  const bool keep = chosen < items->Count() && (chosen >= 0 || settingShown_);
  cbb_GPRSCommunication_Proctocol->SetItemIndex(keep ? chosen : 0);
}

void TFormKV69::TranslateTimerCells(int language) {
  // Cells filled in one language would match nothing in the other's lists
  // and be written as Sunday and "0.Reboot"; translate them by index.
  const std::vector<std::string> weeks[2] = {TimerWeekTexts(LanguageChinese),
                                             TimerWeekTexts(LanguageEnglish)};
  const std::vector<std::string> actions[2] = {TimerActionTexts(LanguageChinese),
                                               TimerActionTexts(LanguageEnglish)};
  const int target = language == LanguageChinese ? 0 : 1;
  for (int r = 0; r < lvTimer->Items()->Count(); ++r) {
    TSubItems& cells = lvTimer->Items()->Item(r)->SubItems();
    const auto translate = [&cells, target](int column, const std::vector<std::string>(&lists)[2]) {
      const int k = column - 1;
      if (k >= cells.Count()) return;
      const int index = IndexInEitherLanguage(cells[k], lists);
      if (index >= 0 && cells[k] != lists[target][static_cast<size_t>(index)])
        cells.Put(k, lists[target][static_cast<size_t>(index)]);
    };
    translate(TimerColWeek, weeks);
    translate(TimerColAction, actions);
  }
}

void TFormKV69::SwitchLanguage(int language) {
  SetLanguageCaptions(language);
  LanguageFlag = static_cast<unsigned char>(language);
  CommMessageLanguage = static_cast<std::uint8_t>(language);
  // One pixel wider and back, so that aligned controls lay out the new captions.
  SetWidth(Width() + 1);
  SetWidth(Width() - 1);
  RebuildTimerLists();
  SetHistoryChannelHeader(ModelIndex, language);
}

void TFormKV69::N_CNClick(TObject*) { SwitchLanguage(LanguageChinese); }

void TFormKV69::N_ENClick(TObject*) { SwitchLanguage(LanguageEnglish); }

void TFormKV69::SelectPages(int page, int mainPage, int doThPage) {
  if (page >= 0) PageControl->SetActivePageIndex(page);
  if (mainPage >= 0) PageControlMain->SetActivePageIndex(mainPage);
  if (doThPage >= 0) PageControl_DIDOTH->SetActivePageIndex(doThPage);
}

void TFormKV69::btn_FindClick(TObject*) {
  if (SgHist == nullptr) return;
  std::vector<std::string> header;
  for (int c = 0; c < SgHist->ColCount(); ++c) header.push_back(SgHist->Cells(c, 0));
  language_.DumpGridHeader(SgHist->Name(), header);
  std::string text;
  for (const std::string& line : language_.Lines()) text += line + "\r\n";
  mmo->Lines()->SetText(text);
}

void TFormKV69::N_ExitClick(TObject*) { ExitProcess(0); }

void TFormKV69::N_AboutClick(TObject*) {
  try {
    Owned<TFormAbout> about(Create<TFormAbout>(this));
    about->ShowModal();
  } catch (...) {
    // The about window is not worth a message.
  }
}

void TFormKV69::FormResize(TObject*) {
  // Resizes come while the window is still being built, before the lists.
  if (lvTel == nullptr || lvDo == nullptr || lvTh == nullptr) return;
  LayOutColumns();
  if (AutoStartBox != nullptr) AutoStartBox->SetAlign(alRight);
}

void TFormKV69::UpdateEnabledEdits() {
  dtp_RePortTime->SetEnabled(chk_ReportTime->Checked());
  lbledt_PwrOffTime->SetEnabled(chk_PwrOffTime->Checked());
  lbledt_SaveRecordInterSec->SetEnabled(chk_SaveRecordInterSec->Checked());
  lbledt_SmsReportInterMin->SetEnabled(chk_SmsReportInterMin->Checked());
  lbledt_AutoMintues->SetEnabled(chk_AutoAlarmAfterDisarm->Checked());
}

void TFormKV69::chk_ReportTimeClick(TObject*) {
  dtp_RePortTime->SetEnabled(chk_ReportTime->Checked());
}

void TFormKV69::chk_PwrOffTimeClick(TObject*) {
  lbledt_PwrOffTime->SetEnabled(chk_PwrOffTime->Checked());
}

void TFormKV69::chk_SaveRecordInterSecClick(TObject*) {
  lbledt_SaveRecordInterSec->SetEnabled(chk_SaveRecordInterSec->Checked());
}

void TFormKV69::chk_SmsReportInterMinClick(TObject*) {
  lbledt_SmsReportInterMin->SetEnabled(chk_SmsReportInterMin->Checked());
}

void TFormKV69::chk_AutoAlarmAfterDisarmClick(TObject*) {
  lbledt_AutoMintues->SetEnabled(chk_AutoAlarmAfterDisarm->Checked());
  lbledt_AutoMintues->SetText("0");
}

void TFormKV69::chk_ShowPasswordClick(TObject*) {
  lbledt_Main_Password->SetPasswordChar(chk_ShowPassword->Checked() ? L'\0' : L'*');
}

void TFormKV69::AutoStartBoxClick() {
  if (updatingAutoStart_) return;
  std::string failure;
  try {
    SetAutoStart(AutoStartBox->Checked());
  } catch (const Exception& e) {
    failure = e.Message();
  }
  // A refused write must not look like success: put the box back to the real state.
  updatingAutoStart_ = true;
  AutoStartBox->SetChecked(IsAutoStart());
  updatingAutoStart_ = false;
  if (!failure.empty())
    Application->MessageBox(failure, Application->Title(), MB_ICONERROR | MB_OK);
}

TMasterSettings TFormKV69::ControlsToSettings() const {
  TMasterSettings s;
  s.lbledt_Main_Password = lbledt_Main_Password->Text();
  s.chk_ShowPassword = chk_ShowPassword->Checked();
  s.lbledt_Master_DevDes = lbledt_Master_DevDes->Text();
  s.lbledt_DeviseID = lbledt_DeviseID->Text();
  s.chk_AddTimeToAlarmSMS = chk_AddTimeToAlarmSMS->Checked();
  s.chk_Auto_Armed = chk_Auto_Armed->Checked();
  s.chk_AutoAlarmAfterDisarm = chk_AutoAlarmAfterDisarm->Checked();
  s.lbledt_AutoMintues = lbledt_AutoMintues->Text();
  s.lbledt_PwrOffTime = lbledt_PwrOffTime->Text();
  s.dtp_RePortTime = PickerTime(dtp_RePortTime);
  s.lbledt_SaveRecordInterSec = lbledt_SaveRecordInterSec->Text();
  s.lbledt_SmsReportInterMin = lbledt_SmsReportInterMin->Text();
  s.chk_ReportTime = chk_ReportTime->Checked();
  s.chk_PwrOffTime = chk_PwrOffTime->Checked();
  s.chk_SaveRecordInterSec = chk_SaveRecordInterSec->Checked();
  s.chk_SmsReportInterMin = chk_SmsReportInterMin->Checked();
  s.lbledt_AccessPontName = lbledt_AccessPontName->Text();
  s.lbledt_GPRS_UserName = lbledt_GPRS_UserName->Text();
  s.lbledt_GPRS_Password = lbledt_GPRS_Password->Text();
  s.lbledt_HeartCont = lbledt_HeartCont->Text();
  s.lbledt_GprsBeatHeart = lbledt_GprsBeatHeart->Text();
  s.lbledt_GprsReconnSec = lbledt_GprsReconnSec->Text();
  s.lbledt_TcpPort = lbledt_TcpPort->Text();
  s.cbb_GPRSCommunication_Proctocol = cbb_GPRSCommunication_Proctocol->ItemIndex();
  s.cbb_GPRS_TcpUdp = cbb_GPRS_TcpUdp->ItemIndex();
  s.lbledt_Gprs_IP = lbledt_Gprs_IP->Text();
  s.lvDo = ListViewRows(lvDo);
  s.lvTh = ListViewRows(lvTh);
  s.lvTel = ListViewRows(lvTel);
  s.lvTimer = ListViewRows(lvTimer);
  return s;
}

void TFormKV69::SettingsToControls(const TMasterSettings& s) {
  // Boxes before the edits they enable: ticking chk_AutoAlarmAfterDisarm
  // puts "0" into its edit, which the settings' text then replaces.
  lbledt_Main_Password->SetText(s.lbledt_Main_Password);
  chk_ShowPassword->SetChecked(s.chk_ShowPassword);
  lbledt_Master_DevDes->SetText(s.lbledt_Master_DevDes);
  lbledt_DeviseID->SetText(s.lbledt_DeviseID);
  chk_AddTimeToAlarmSMS->SetChecked(s.chk_AddTimeToAlarmSMS);
  chk_Auto_Armed->SetChecked(s.chk_Auto_Armed);
  chk_AutoAlarmAfterDisarm->SetChecked(s.chk_AutoAlarmAfterDisarm);
  lbledt_AutoMintues->SetText(s.lbledt_AutoMintues);
  chk_ReportTime->SetChecked(s.chk_ReportTime);
  SetPickerTime(dtp_RePortTime, s.dtp_RePortTime);
  chk_SmsReportInterMin->SetChecked(s.chk_SmsReportInterMin);
  lbledt_SmsReportInterMin->SetText(s.lbledt_SmsReportInterMin);
  chk_SaveRecordInterSec->SetChecked(s.chk_SaveRecordInterSec);
  lbledt_SaveRecordInterSec->SetText(s.lbledt_SaveRecordInterSec);
  chk_PwrOffTime->SetChecked(s.chk_PwrOffTime);
  lbledt_PwrOffTime->SetText(s.lbledt_PwrOffTime);
  lbledt_AccessPontName->SetText(s.lbledt_AccessPontName);
  lbledt_GPRS_UserName->SetText(s.lbledt_GPRS_UserName);
  lbledt_GPRS_Password->SetText(s.lbledt_GPRS_Password);
  lbledt_HeartCont->SetText(s.lbledt_HeartCont);
  lbledt_GprsBeatHeart->SetText(s.lbledt_GprsBeatHeart);
  lbledt_GprsReconnSec->SetText(s.lbledt_GprsReconnSec);
  lbledt_TcpPort->SetText(s.lbledt_TcpPort);
  cbb_GPRSCommunication_Proctocol->SetItemIndex(s.cbb_GPRSCommunication_Proctocol);
  cbb_GPRS_TcpUdp->SetItemIndex(s.cbb_GPRS_TcpUdp);
  lbledt_Gprs_IP->SetText(s.lbledt_Gprs_IP);
  SetListViewRows(lvDo, s.lvDo);
  SetListViewRows(lvTh, s.lvTh);
  SetListViewRows(lvTel, s.lvTel);
  SetListViewRows(lvTimer, s.lvTimer);
  UpdateEnabledEdits();
}

void TFormKV69::ClearControls(TWinControl* container) {
  for (int i = 0; i < container->ControlCount(); ++i) {
    TControl* child = container->Controls(i);
    if (auto* edit = dynamic_cast<TCustomLabeledEdit*>(child)) {
      edit->SetText("");
    } else if (auto* plain = dynamic_cast<TEdit*>(child)) {
      plain->SetText("");
    } else if (auto* box = dynamic_cast<kv::TsCheckBox*>(child)) {
      box->SetChecked(false);
    } else if (auto* combo = dynamic_cast<kv::TsComboBox*>(child)) {
      combo->SetItemIndex(-1);
    } else if (auto* picker = dynamic_cast<TDateTimePicker*>(child)) {
      picker->SetTime(TimeOf(Now()));
    } else if (auto* list = dynamic_cast<TsListView*>(child)) {
      for (int r = 0; r < list->Items()->Count(); ++r) {
        TSubItems& cells = list->Items()->Item(r)->SubItems();
        for (int k = 0; k < cells.Count(); ++k) cells.Put(k, "");
      }
    }
  }
}

TListRows TFormKV69::ListViewRows(TListView* list) {
  TListRows rows;
  for (int i = 0; i < list->Items()->Count(); ++i) {
    TListItem* item = list->Items()->Item(i);
    TListRow row;
    row.Caption = item->Caption();
    for (int k = 0; k < item->SubItems().Count(); ++k) row.SubItems.push_back(item->SubItems()[k]);
    rows.push_back(std::move(row));
  }
  return rows;
}

void TFormKV69::SetListViewRows(TListView* list, const TListRows& rows) { CopyRows(rows, list); }

}  // namespace kv
