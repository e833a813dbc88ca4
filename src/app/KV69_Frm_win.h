// The main window: menus, the side bar, the pages with their list views and
// the status bar, and the switch between the two languages. It opens after
// the login, or in its view-only state after the access code.
#pragma once

#include <string>

#include "classlib/Forms.h"
#include "classlib/Menus.h"
#include "skin/controls/sCheckBox.h"
#include "skin/controls/sFrameBar.h"
#include "skin/controls/sLabel.h"
#include "skin/controls/sListView.h"
#include "skin/controls/sPageControl.h"
#include "skin/controls/sPanel.h"
#include "skin/controls/sStatusBar.h"

namespace kv {

// -1 until the device reported its model, else 0 KV41, 1 KV42, 2 KV43.
extern int ModelIndex;

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

  TsPanel* PnlMain = nullptr;
  TsFrameBar* FrameBar = nullptr;
  TsStatusBar* Bar = nullptr;
  TsCheckBox* AutoStartBox = nullptr;
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

 private:
  void CreateControls();
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
  // Shows the item's pages; the side-bar frames come in a later step.
  void SelectPages(int page, int mainPage, int dodthPage);

  bool viewOnly_ = true;
  bool updatingAutoStart_ = false;
};

}  // namespace kv
