// The main window: menus, the side bar, the pages with their list views and
// the status bar, and the switch between the two languages. It opens after
// the login, or in its view-only state after the access code.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/ComponentEx_win.h"
#include "app/KV69_Engine.h"
#include "app/Login_Frm_win.h"
#include "app/SoftInterfaceMaster_Unt.h"
#include "app/TLanguage_Unt.h"
#include "classlib/DateTimePickers.h"
#include "classlib/Forms.h"
#include "classlib/Grids.h"
#include "classlib/ImgList.h"
#include "classlib/Menus.h"
#include "devicelink/SerialComm_win.h"
#include "skin/controls/sCheckBox_win.h"
#include "skin/controls/sFrameBar_win.h"
#include "skin/controls/sGroupBox_win.h"
#include "skin/controls/sLabel_win.h"
#include "skin/controls/sListView_win.h"
#include "skin/controls/sPageControl_win.h"
#include "skin/controls/sPanel_win.h"
#include "skin/controls/sStatusBar_win.h"

namespace kv {

class TFormBasicAnimate;

class TFormKV69 : public TForm {
 public:
  explicit TFormKV69(TComponent* owner);

  void AfterConstruction() override;

  // The language switch of the Language menu (0 Chinese, 1 English).
  void N_CNClick(TObject* Sender);
  void N_ENClick(TObject* Sender);
  // Rewrites every caption of the window in a language; LanguageFlag stays.
  void SetLanguageCaptions(int language);
  // True while no port was opened at show (the access code was used).
  bool ViewOnly() const { return viewOnly_; }

  TMainMenu* MainMenu = nullptr;
  TMenuItem* N_File = nullptr;
  TMenuItem* N_Open = nullptr;
  TMenuItem* N_Save = nullptr;
  TMenuItem* N_Exit = nullptr;
  TMenuItem* Pop_Connect = nullptr;
  TMenuItem* Pop_DisCommPort = nullptr;
  TMenuItem* Pop_RepCommPort = nullptr;
  TMenuItem* MI_SystemConfig = nullptr;
  TMenuItem* Pop_ReadMaster_Seting = nullptr;
  TMenuItem* Pop_WirteMaster = nullptr;
  TMenuItem* Menu_R_DO = nullptr;
  TMenuItem* Menu_R_TH = nullptr;
  TMenuItem* Pop_System = nullptr;
  TMenuItem* Pop_RESET = nullptr;
  TMenuItem* Pop_ReBoot = nullptr;
  TMenuItem* N_Language = nullptr;
  TMenuItem* N_CN = nullptr;
  TMenuItem* N_EN = nullptr;
  TMenuItem* N_Skins = nullptr;
  TMenuItem* N_Help = nullptr;
  TMenuItem* N_About = nullptr;
  TPopupMenu* PopDo = nullptr;
  TPopupMenu* PopTh = nullptr;
  TPopupMenu* PopPhone = nullptr;
  TPopupMenu* PopTimer = nullptr;
  // The 16-pixel image strip of the side bar and its frames' buttons.
  TImageList* il16 = nullptr;
  void N_AboutClick(TObject* Sender);
  // Ends the process at once (exit code 0).
  void N_ExitClick(TObject* Sender);
  // Lays the list columns out again and keeps AutoStartBox at the right.
  void FormResize(TObject* Sender);

  TsPanel* PnlMain = nullptr;
  TsFrameBar* FrameBar = nullptr;
  TsStatusBar* Bar = nullptr;
  ComponentEx::TsCheckBox* AutoStartBox = nullptr;
  // Writes the start-with-Windows value; shows why when the registry refuses.
  void AutoStartBoxClick();

  TsPageControl* PageControl = nullptr;
  TsTabSheet* abSheetVerInfo = nullptr;
  TsLabel* lbl_ModelNo = nullptr;
  TsLabel* lbl_Verstion = nullptr;
  TsLabel* lbl_IMEI = nullptr;
  TsLabel* lbl_SignalValue = nullptr;
  TsTabSheet* Sheet_Basic = nullptr;
  TsPageControl* PageControlMain = nullptr;
  TsTabSheet* Sheet_Common = nullptr;
  TsTabSheet* Sheet_DiDoTh = nullptr;
  TsPageControl* PageControl_DIDOTH = nullptr;
  TsTabSheet* Sheet_DO = nullptr;
  TsListView* lvDo = nullptr;
  TsTabSheet* Sheet_TH = nullptr;
  TsListView* lvTh = nullptr;
  TsTabSheet* Sheet_Telephone = nullptr;
  TsListView* lvTel = nullptr;
  TsTabSheet* Sheet_DateTime = nullptr;
  TsListView* lvTimer = nullptr;
  TsTabSheet* Sheet_InfoMode = nullptr;
  TsTabSheet* Sheet_History = nullptr;

  // ---- Setting pages (KV69_Frm_win.cpp) ----
  // grp_BasicSeting, in this order (the profile and the click handlers rely on it).
  TsGroupBox* grp_BasicSeting = nullptr;
  ComponentEx::TLabeledEdit* lbledt_Master_DevDes = nullptr;
  ComponentEx::TLabeledEdit* lbledt_DeviseID = nullptr;
  ComponentEx::TsCheckBox* chk_AddTimeToAlarmSMS = nullptr;
  ComponentEx::TsCheckBox* chk_Auto_Armed = nullptr;
  ComponentEx::TsCheckBox* chk_AutoAlarmAfterDisarm = nullptr;
  ComponentEx::TLabeledEdit* lbledt_AutoMintues = nullptr;
  ComponentEx::TLabeledEdit* lbledt_PwrOffTime = nullptr;
  TDateTimePicker* dtp_RePortTime = nullptr;
  ComponentEx::TLabeledEdit* lbledt_SaveRecordInterSec = nullptr;
  ComponentEx::TLabeledEdit* lbledt_SmsReportInterMin = nullptr;
  ComponentEx::TsCheckBox* chk_ReportTime = nullptr;
  ComponentEx::TsCheckBox* chk_PwrOffTime = nullptr;
  ComponentEx::TsCheckBox* chk_SaveRecordInterSec = nullptr;
  ComponentEx::TsCheckBox* chk_SmsReportInterMin = nullptr;
  TsGroupBox* grp_PasswordSeting = nullptr;
  ComponentEx::TLabeledEdit* lbledt_Main_Password = nullptr;
  ComponentEx::TsCheckBox* chk_ShowPassword = nullptr;
  ComponentEx::TsBitBtn* btn_ChangePassword = nullptr;
  // Sheet_DO
  TsGroupBox* grp_OpenCloseDO = nullptr;
  ComponentEx::TsBitBtn* btn_DO1_Close = nullptr;
  ComponentEx::TsBitBtn* btn_DO1_Open = nullptr;
  ComponentEx::TsBitBtn* btn_Do2_Close = nullptr;
  ComponentEx::TsBitBtn* btn_Do2_Open = nullptr;
  // Sheet_DateTime
  TsGroupBox* grp_Timer_Notice = nullptr;
  ComponentEx::TsBitBtn* btn_Find = nullptr;
  TMemo* mmo = nullptr;
  TsGroupBox* grp_Slave_Function = nullptr;
  TDateTimePicker* dtpYMD = nullptr;
  TDateTimePicker* dtpHMS = nullptr;
  ComponentEx::TsBitBtn* btn_PC_Time = nullptr;
  ComponentEx::TsBitBtn* btn_Main_Timer_Read = nullptr;
  ComponentEx::TsBitBtn* btn_Main_Timer_Write = nullptr;
  // Sheet_InfoMode
  TsGroupBox* grp_GPRS_BasicSeting = nullptr;
  ComponentEx::TLabeledEdit* lbledt_AccessPontName = nullptr;
  ComponentEx::TLabeledEdit* lbledt_GPRS_UserName = nullptr;
  ComponentEx::TLabeledEdit* lbledt_GPRS_Password = nullptr;
  ComponentEx::TLabeledEdit* lbledt_HeartCont = nullptr;
  ComponentEx::TLabeledEdit* lbledt_GprsBeatHeart = nullptr;
  ComponentEx::TLabeledEdit* lbledt_GprsReconnSec = nullptr;
  ComponentEx::TLabeledEdit* lbledt_TcpPort = nullptr;
  ComponentEx::TsComboBox* cbb_GPRSCommunication_Proctocol = nullptr;
  ComponentEx::TsComboBox* cbb_GPRS_TcpUdp = nullptr;
  ComponentEx::TLabeledEdit* lbledt_Gprs_IP = nullptr;
  TsLabel* lbl_GPRS_Proctocol = nullptr;
  TsLabel* lbl_GPRSCommunication_Proctocol = nullptr;

  // The settings the controls show (every field of the configuration image,
  // the four list views included), and showing settings in the controls.
  TMasterSettings ControlsToSettings() const;
  void SettingsToControls(const TMasterSettings& settings);
  // Copies a list view's rows to and from the row model.
  static TListRows ListViewRows(TListView* list);
  static void SetListViewRows(TListView* list, const TListRows& rows);
  // Resets the direct children of a container: edits emptied, boxes
  // unchecked, combo boxes unselected, pickers to the current time, list
  // cells emptied. Controls inside child containers stay as they are.
  static void ClearControls(TWinControl* container);
  // The enabling boxes: each enables its edit (or picker) with its own state;
  // chk_AutoAlarmAfterDisarm also puts "0" into lbledt_AutoMintues.
  void chk_ReportTimeClick(TObject* Sender);
  void chk_PwrOffTimeClick(TObject* Sender);
  void chk_SaveRecordInterSecClick(TObject* Sender);
  void chk_SmsReportInterMinClick(TObject* Sender);
  void chk_AutoAlarmAfterDisarmClick(TObject* Sender);
  // The password shows plainly while the box is ticked, as "*" otherwise.
  void chk_ShowPasswordClick(TObject* Sender);
  // Shows pages by index (PageControl, PageControlMain, PageControl_DIDOTH;
  // -1 leaves one as it is), as the side bar and its frames do.
  void SelectPages(int page, int mainPage, int doThPage);

  // ---- History page (KV69_History_win.cpp) ----
  TStringGrid* SgHist = nullptr;
  TsGroupBox* grp_History = nullptr;
  ComponentEx::TLabeledEdit* lbledt_ReadQty = nullptr;
  ComponentEx::TLabeledEdit* lbledt_ReadLine = nullptr;
  ComponentEx::TsBitBtn* btn_ReadHistroyFull = nullptr;
  ComponentEx::TsBitBtn* btn_ReadHistroy = nullptr;
  ComponentEx::TsBitBtn* btn_History_Clear = nullptr;
  ComponentEx::TsBitBtn* btn_Clean_History_Dev = nullptr;
  TsGroupBox* grp_HisTime = nullptr;
  TsLabel* lbl_HisStartTime = nullptr;
  TDateTimePicker* dtp_Hist_Begin_Date = nullptr;
  TDateTimePicker* dtp_Hist_Begin_Time = nullptr;
  TsLabel* lbl_HisStopTime = nullptr;
  TDateTimePicker* dtp_Hist_End_Date = nullptr;
  TDateTimePicker* dtp_Hist_End_Time = nullptr;
  ComponentEx::TsBitBtn* btn_History_Filter = nullptr;
  TsGroupBox* grp_HistoryFiles = nullptr;
  ComponentEx::TsBitBtn* btn_Hist_Save_CSV = nullptr;
  ComponentEx::TsBitBtn* btn_Hist_Open_CSV = nullptr;
  // Creates the history page's controls (called while the pages are made).
  void CreateHistoryPage();
  // Rows of history replies, put into the grid.
  void ShowHistoryRows(const std::vector<THistoryGridRow>& rows);
  // Column count and channel headers of the grid for a model (0 KV41, 1 KV42,
  // 2 KV43) and language (0 Chinese, 1 English); anything else changes
  // nothing. Called after the version reply and after a language switch.
  void SetHistoryChannelHeader(int modelIndex, int language);
  // The page's commands.
  void btn_ReadHistroyFullClick(TObject* Sender);
  void btn_ReadHistroyClick(TObject* Sender);
  void btn_History_ClearClick(TObject* Sender);
  void btn_History_FilterClick(TObject* Sender);
  void btn_Hist_Save_CSVClick(TObject* Sender);
  void btn_Hist_Open_CSVClick(TObject* Sender);
  // Empties every data cell under a progress window.
  void HistoryGridClear();
  // The file halves of the two CSV commands: the grid written to the chosen
  // name (".csv" added unless it ends so; the name written is returned), and
  // a file put into the emptied grid. File and format errors raise, and the
  // grid is then as it was.
  std::string SaveHistoryCsv(const std::string& chosenName);
  void LoadHistoryCsv(const std::string& fileName);
  class TSaveDialog* dlgSaveCSV = nullptr;
  class TOpenDialog* dlgOpenCSV = nullptr;
  // The window's skin, and the Skins menu under N_Skins that switches it;
  // the side-bar frames' managers follow this one.
  class TsSkinManager* sknmngr = nullptr;
  class TsSkinProvider* sknprvdr = nullptr;
  class TSoftSkins* SoftSkins = nullptr;
  // Gives every open side-bar frame the skin the window shows.
  void FollowSkinInFrames();
  // Posted to itself when its manager was switched off.
  static constexpr UINT WM_FOLLOWSKIN = WM_APP + 41;
  void WatchSkin(TMessage& message);
  TWindowProcHook skinWatch_;

  // ---- List pop-up menus and setting dialogs (KV69_Lists_win.cpp) ----
  // Setting opens the list's dialog for the selected row (a double-click
  // does the same); Clear line empties the selected row's cells, Clear all
  // every row's. Setting and Clear line ask for a selection when none.
  void Pop_Do_SettingClick(TObject* Sender);
  void Pop_Do_ClearLineClick(TObject* Sender);
  void Pop_Do_ClearClick(TObject* Sender);
  void Pop_Th_SettingClick(TObject* Sender);
  void Pop_Th_ClearLineClick(TObject* Sender);
  void Pop_Th_ClearClick(TObject* Sender);
  void Pop_Phone_SettingClick(TObject* Sender);
  void Pop_Phone_ClearLineClick(TObject* Sender);
  void Pop_Phone_ClearClick(TObject* Sender);
  void Pop_Timer_SettingClick(TObject* Sender);
  void Pop_Timer_DeleteClick(TObject* Sender);
  void Pop_Timer_ClearClick(TObject* Sender);

  // ---- Device operations (KV69_Device_win.cpp) ----
  // WM_DEVICECHANGE, passed on by WndProc.
  void HandleDeviceChange(TMessage& message);
  // The data of the replies to the relay status and channel value requests.
  void ShowDoStatusReply(const TDataPack& data);
  void ShowThValuesReply(const TDataPack& data);
  // The commands; each takes the sender only, as OnClick does.
  void btn_DO1_CloseClick(TObject* Sender);
  void btn_DO1_OpenClick(TObject* Sender);
  void btn_Do2_CloseClick(TObject* Sender);
  void btn_Do2_OpenClick(TObject* Sender);
  void Pop_Do_ReadCurrentValueClick(TObject* Sender);
  void Menu_R_DOClick(TObject* Sender);
  void Pop_Th_ReadCurrentValueClick(TObject* Sender);
  void Menu_R_THClick(TObject* Sender);
  void btn_PC_TimeClick(TObject* Sender);
  void btn_Main_Timer_WriteClick(TObject* Sender);
  void btn_Main_Timer_ReadClick(TObject* Sender);
  void Pop_RESETClick(TObject* Sender);
  void Pop_ReBootClick(TObject* Sender);
  void btn_Clean_History_DevClick(TObject* Sender);
  void Pop_DisCommPortClick(TObject* Sender);
  void Pop_RepCommPortClick(TObject* Sender);
  void N_OpenClick(TObject* Sender);
  void N_SaveClick(TObject* Sender);
  // The name proposed for a saved profile: the model word ("KV41" while the
  // model is unknown), "_", the time as yymmddhhnnss, ".ini".
  static std::string ProposedProfileName(int modelIndex, TDateTime now);
  // Replaceable, so that tests need no user: the message box of these
  // commands (the application's title as caption; returns the button chosen),
  // the profile file dialog (fileName comes in as the proposal and goes out
  // as the choice; false when cancelled), and the restart of the program.
  static std::function<int(const std::string& text, unsigned flags)> DeviceMessageBox;
  static std::function<bool(bool save, std::string& fileName)> ChooseProfileFile;
  static std::function<void()> RestartDeviceProgram;

  // ---- Request engine (KV69_Engine.cpp, forwarded in KV69_Engine_win.cpp) ----
  TComm* ComPort = nullptr;
  TTimer* tmrOut = nullptr;
  TApplicationEvents* ApplicationEvents = nullptr;
  // The progress window of the running operation, or none.
  TFormBasicAnimate* FormBasicAnimate = nullptr;

  TRequestEngine& Engine();
  const TRequestEngine& Engine() const;
  // The pending-reply tag; 0 when nothing is pending.
  int PendingTag() const;
  void SetPending(int tag);
  bool Connected() const;
  // Opens the progress window over the disabled main window (gauge 0..max),
  // moves its gauge, and frees it (FormBasicAnimate none again).
  void ShowProgressWindow(int maxValue);
  void SetProgress(int value);
  void CloseProgressWindow();

  void ComPortReceiveData(TObject* Sender, const void* Buffer, std::uint16_t BufferLength);
  void tmrOutTimer(TObject* Sender);
  void ApplicationEventsException(TObject* Sender, const std::exception& E);
  void ComPortReceiveError(TObject* Sender, std::uint32_t EventMask);
  static int ModelIndexOf(std::string_view text);
  // WM_SYSCOMMAND (minimise and close) and WM_DEVICECHANGE.
  void WndProc(TMessage& message) override;

  void Pop_ReadMaster_SetingClick(TObject* Sender);
  void Pop_WirteMasterClick(TObject* Sender);
  // Closes the port (OnClose of the window).
  void FormClose(TObject* Sender, TCloseAction& Action);

 private:
  // Creates ComPort, tmrOut and ApplicationEvents (called with the controls).
  void CreateEngine();
  // Opens the port and sends the password (showing, unless view-only).
  void ConnectAtShow();
  // What the engine reports: a refused password (ending the program when it
  // was the one sent at show), the version reply, a complete image.
  void PasswordRefused(bool atShow);
  void ShowVersionReply(const TVersionReply& reply);
  void ShowMasterImage(const std::vector<std::uint8_t>& image);
  void ProgressCancelled(bool windowGoing);

  class TEngineLink;
  // Freed where the link is complete (KV69_Engine_win.cpp).
  struct TEngineLinkDelete {
    void operator()(TEngineLink* link) const;
  };
  std::unique_ptr<TEngineLink, TEngineLinkDelete> engineLink_;

 private:
  void CreateControls();
  // Binds every control's events to their handlers (KV69_Frm_win.cpp).
  void BindEvents();
  void CreateMenus();
  void CreateSideBar();
  void CreatePages();
  TMenuItem* AddMenuItem(TMenuItem* parent, const char* name);
  TsTabSheet* AddSheet(TsPageControl* pages, const char* name);
  TsListView* AddListView(TWinControl* parent, const char* name, TPopupMenu* popup);
  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void LayOutColumns();
  void SwitchLanguage(int language);
  void CreateBasicPage();
  void CreateDoPage();
  void CreateTimerPage();
  void CreateInfoModePage();
  void LoadImages();
  // The side-bar item's frame: selects the item's pages and makes its window.
  void CreateSideBarFrame(int item, TCustomFrame*& frame);
  // Week and action cells of lvTimer in the language, matched by index.
  void TranslateTimerCells(int language);
  void RefillProtocolItems(int language);
  void UpdateEnabledEdits();
  // The hidden tool of the timer page: the history grid's header into mmo.
  void btn_FindClick(TObject* Sender);

  // The window's language object (its one service is the header listing).
  TLanguage language_;

  bool viewOnly_ = true;
  bool updatingAutoStart_ = false;
  // The controls hold a setting of the device's (a finished Read Setting) or
  // of a profile: only such a form, with the user's edits, is written.
  bool settingShown_ = false;
  // The image of the last finished Read Setting from the device now
  // connected: a write gives back its values that the controls cannot hold.
  std::vector<std::uint8_t> deviceImage_;
};

}  // namespace kv
