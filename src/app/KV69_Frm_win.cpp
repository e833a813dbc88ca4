#include "app/KV69_Frm_win.h"

#include <windows.h>

#include <algorithm>

#include "app/ConstLang_Unt.h"
#include "app/Funs_Unt.h"
#include "app/SoftDateTime_Unt.h"
#include "app/SoftDiDoTh_Unt.h"
#include "app/SoftTelephone_Unt.h"
#include "app/Variable_Unt.h"
#include "base/TextCodec.h"

namespace kv {

int ModelIndex = -1;

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
    {75, 1, 0, -1}, {19, 1, 1, -1},  {169, 1, 2, -1},
    {99, 1, 3, -1}, {121, 1, 4, -1}, {37, 2, -1, -1},
};

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

void CopyRows(const TListRows& rows, TListView* list) {
  list->Items()->Clear();
  for (const TListRow& row : rows) {
    TListItem* item = list->Items()->Add();
    item->SetCaption(row.Caption);
    item->SubItems().Assign(row.SubItems);
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

}  // namespace

TFormKV69::TFormKV69(TComponent* owner) : TForm(owner) {}

void TFormKV69::AfterConstruction() {
  CreateControls();
  OnCreate = [this](TObject* sender) { FormCreate(sender); };
  OnShow = [this](TObject* sender) { FormShow(sender); };
  TForm::AfterConstruction();
}

void TFormKV69::CreateControls() {
  SetName("FormKV69");
  SetPosition(poDesktopCenter);
  ApplyProgramFormLook(*this);
  SetClientWidth(FormClientWidth);
  SetClientHeight(FormClientHeight);
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
  CreateSideBar();
  CreatePages();
  CreateEngine();
  WireListCommands();
  WireDeviceCommands();
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
  N_CN->OnClick = [this](TObject* sender) { N_CNClick(sender); };
  N_EN->OnClick = [this](TObject* sender) { N_ENClick(sender); };
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
  FrameBar->SetName("FrameBar");
  FrameBar->SetTitleHeight(32);
  const auto captions = SideBarCaptions();
  for (size_t i = 0; i < std::size(kSideBarItems); ++i) {
    const TSideBarItem& entry = kSideBarItems[i];
    TsTitleItem* item = FrameBar->Items()->Add();
    item->SetCaption(captions[i].Chinese);
    item->SetImageIndex(entry.ImageIndex);
    item->OnCreateFrame = [this, entry](TObject*, TCustomFrame*&) {
      SelectPages(entry.Page, entry.MainPage, entry.DoThPage);
    };
  }
}

TsTabSheet* TFormKV69::AddSheet(TsPageControl* pages, const char* name) {
  auto* sheet = Create<TsTabSheet>(this);
  sheet->SetName(name);
  sheet->SetPageControl(pages);
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

  abSheetVerInfo = AddSheet(PageControl, "abSheetVerInfo");
  const auto label = [this](const char* name, int top) {
    auto* text = Create<TsLabel>(this);
    text->SetName(name);
    text->SetParent(abSheetVerInfo);
    text->SetBounds(40, top, 600, 20);
    text->SetCaption("");
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
  Sheet_Common = AddSheet(PageControlMain, "Sheet_Common");
  Sheet_DiDoTh = AddSheet(PageControlMain, "Sheet_DiDoTh");
  PageControl_DIDOTH = Create<TsPageControl>(this);
  PageControl_DIDOTH->SetName("PageControl_DIDOTH");
  PageControl_DIDOTH->SetParent(Sheet_DiDoTh);
  PageControl_DIDOTH->SetAlign(alClient);
  Sheet_DO = AddSheet(PageControl_DIDOTH, "Sheet_DO");
  lvDo = AddListView(Sheet_DO, "lvDo", PopDo);
  Sheet_TH = AddSheet(PageControl_DIDOTH, "Sheet_TH");
  lvTh = AddListView(Sheet_TH, "lvTh", PopTh);
  Sheet_Telephone = AddSheet(PageControlMain, "Sheet_Telephone");
  lvTel = AddListView(Sheet_Telephone, "lvTel", PopPhone);
  Sheet_DateTime = AddSheet(PageControlMain, "Sheet_DateTime");
  lvTimer = AddListView(Sheet_DateTime, "lvTimer", PopTimer);
  Sheet_InfoMode = AddSheet(PageControlMain, "Sheet_InfoMode");
  Sheet_History = AddSheet(PageControl, "Sheet_History");
  CreateHistoryPage();
}

void TFormKV69::FormCreate(TObject*) {
  FrameBar->SetParent(PnlMain);
  FrameBar->SetAlign(alClient);
  SetCaption(Caption() + " Ver" + GetProgramVersion(Application->ExeName()));
}

void TFormKV69::FormShow(TObject*) {
  AutoStartBox = Create<TsCheckBox>(this);
  AutoStartBox->SetName("AutoStartBox");
  AutoStartBox->SetParent(Bar);
  AutoStartBox->SetAlign(alRight);
  AutoStartBox->SetWidth(110);
  // The box shows what the registry holds, not what was last asked for.
  AutoStartBox->SetChecked(IsAutoStart());
  AutoStartBox->SetCaption(StatusBarCheckCaptions()[1].Chinese);
  AutoStartBox->OnClick = [this](TObject*) { AutoStartBoxClick(); };

  LayOutColumns();
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
  // The timer list has no given widths: wide enough for either language.
  const auto timerColumns = ListColumnCaptions();
  for (int c = 0; c < lvTimer->Columns()->Count(); ++c) {
    int longest = 0;
    for (const TColumnCaption& caption : timerColumns)
      if (std::string_view(caption.ListView) == "lvTimer" && caption.Column == c)
        longest = std::max({longest, CaptionBytes(caption.English), CaptionBytes(caption.Chinese)});
    SetColumnWidth(lvTimer->Columns()->Items(c), std::max(longest * 8 + 24, 80), false);
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
  // Of the two status-bar boxes only "Auto Start" exists.
  if (AutoStartBox != nullptr) AutoStartBox->SetCaption(StatusBarCheckCaptions()[1].Text(language));

  AssignLanguageTexts(language, ModelIndex);
  SetCaption(MainWindowCaption(language));
  for (TListView* list : {static_cast<TListView*>(lvDo), static_cast<TListView*>(lvTh),
                          static_cast<TListView*>(lvTel), static_cast<TListView*>(lvTimer)})
    list->SetHint(ListViewHint(language));
}

void TFormKV69::SwitchLanguage(int language) {
  SetLanguageCaptions(language);
  LanguageFlag = static_cast<unsigned char>(language);
  // One pixel wider and back, so that aligned controls lay out the new captions.
  SetWidth(Width() + 1);
  SetWidth(Width() - 1);
  RebuildTimerLists();
}

void TFormKV69::N_CNClick(TObject*) { SwitchLanguage(LanguageChinese); }

void TFormKV69::N_ENClick(TObject*) { SwitchLanguage(LanguageEnglish); }

void TFormKV69::SelectPages(int page, int mainPage, int doThPage) {
  if (page >= 0) PageControl->SetActivePageIndex(page);
  if (mainPage >= 0) PageControlMain->SetActivePageIndex(mainPage);
  if (doThPage >= 0) PageControl_DIDOTH->SetActivePageIndex(doThPage);
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
  TMasterSettings settings;
  settings.lvDo = ListViewRows(lvDo);
  settings.lvTh = ListViewRows(lvTh);
  settings.lvTel = ListViewRows(lvTel);
  settings.lvTimer = ListViewRows(lvTimer);
  return settings;
}

void TFormKV69::SettingsToControls(const TMasterSettings& settings) {
  SetListViewRows(lvDo, settings.lvDo);
  SetListViewRows(lvTh, settings.lvTh);
  SetListViewRows(lvTel, settings.lvTel);
  SetListViewRows(lvTimer, settings.lvTimer);
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
