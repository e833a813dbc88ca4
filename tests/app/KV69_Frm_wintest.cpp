// The main window in its view-only state: pages, list views, status bar, side
// bar and the language switch.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/ConstLang_Unt.h"
#include "app/Funs_Unt.h"
#include "app/KV69_Frm_win.h"
#include "app/SoftTelephone_Unt.h"
#include "app/Variable_Unt.h"
#include "classlib/Forms.h"

namespace kv {
namespace {

class MainWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    LoginPassword = std::string(AccessCode);
    LoginComPort.clear();
    form_.reset(Create<TFormKV69>(nullptr));
    form_->Show();
  }
  void TearDown() override {
    form_.reset();
    LoginPassword.clear();
  }

  static std::vector<std::string> Columns(TListView* list) {
    std::vector<std::string> texts;
    for (int c = 0; c < list->Columns()->Count(); ++c)
      texts.push_back(list->Columns()->Items(c)->Caption());
    return texts;
  }
  static std::vector<std::string> RowCaptions(TListView* list) {
    std::vector<std::string> texts;
    for (int r = 0; r < list->Items()->Count(); ++r)
      texts.push_back(list->Items()->Item(r)->Caption());
    return texts;
  }

  Owned<TFormKV69> form_;
};

TEST_F(MainWindow, AccessCodeShowsViewAndTheWelcomePage) {
  EXPECT_TRUE(form_->ViewOnly());
  EXPECT_EQ("View", form_->Bar->SimpleText());
  EXPECT_EQ(form_->abSheetVerInfo, form_->PageControl->ActivePage());
  ASSERT_NE(nullptr, form_->AutoStartBox);
  EXPECT_EQ(form_->Bar, form_->AutoStartBox->Parent());
  EXPECT_EQ(IsAutoStart(), form_->AutoStartBox->Checked());
}

TEST(MainWindowAutoStart, BoxShowsAndChangesWhatTheRegistryHolds) {
  LoginPassword = std::string(AccessCode);
  SetAutoStart(true);
  {
    Owned<TFormKV69> form(Create<TFormKV69>(nullptr));
    form->Show();  // the box is made when the window is first shown
    ASSERT_NE(nullptr, form->AutoStartBox);
    EXPECT_TRUE(form->AutoStartBox->Checked()) << "a value left by an earlier run is shown";
    form->AutoStartBox->SetChecked(false);  // as a click does
    EXPECT_FALSE(IsAutoStart());
    form->AutoStartBox->SetChecked(true);
    EXPECT_TRUE(IsAutoStart());
  }
  SetAutoStart(false);
  LoginPassword.clear();
}

TEST_F(MainWindow, PagesNestAsTheWindowShowsThem) {
  ASSERT_EQ(3, form_->PageControl->PageCount());
  EXPECT_EQ(form_->Sheet_Basic, form_->PageControl->Pages(1));
  EXPECT_EQ(form_->Sheet_History, form_->PageControl->Pages(2));
  const std::vector<TTabSheet*> main = {form_->Sheet_Common, form_->Sheet_DiDoTh,
                                        form_->Sheet_Telephone, form_->Sheet_DateTime,
                                        form_->Sheet_InfoMode};
  ASSERT_EQ(5, form_->PageControlMain->PageCount());
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(main[static_cast<size_t>(i)], form_->PageControlMain->Pages(i));
  EXPECT_EQ(tsButtons, form_->PageControlMain->Style());
  ASSERT_EQ(2, form_->PageControl_DIDOTH->PageCount());
  EXPECT_EQ(form_->Sheet_TH, form_->PageControl_DIDOTH->Pages(1));
}

TEST_F(MainWindow, ListViewsHaveTheirColumnsAndRowsWithoutAModel) {
  form_->N_ENClick(nullptr);
  EXPECT_EQ(ListColumnTexts("lvDo", LanguageEnglish), Columns(form_->lvDo));
  EXPECT_EQ(7, form_->lvDo->Columns()->Count());
  EXPECT_EQ(13, form_->lvTh->Columns()->Count());
  EXPECT_EQ(11, form_->lvTel->Columns()->Count());
  EXPECT_EQ(6, form_->lvTimer->Columns()->Count());
  EXPECT_EQ((std::vector<std::string>{"DOUT1", "DOUT2"}), RowCaptions(form_->lvDo));
  EXPECT_EQ(10, form_->lvTel->Items()->Count());
  EXPECT_EQ("  1", form_->lvTel->Items()->Item(0)->Caption());
  EXPECT_EQ("  10", form_->lvTimer->Items()->Item(9)->Caption());
  EXPECT_EQ(PhoneListColumns, form_->lvTel->Items()->Item(0)->SubItems().Count());
  // The channel rows wait for the device's model.
  EXPECT_EQ(0, form_->lvTh->Items()->Count());
}

TEST_F(MainWindow, PhoneColumnsCannotBeResized) {
  for (int c = 0; c < form_->lvTel->Columns()->Count(); ++c) {
    TListColumn* column = form_->lvTel->Columns()->Items(c);
    EXPECT_GT(column->Width(), 0) << "column " << c;
    EXPECT_EQ(column->MinWidth(), column->MaxWidth()) << "column " << c;
  }
}

TEST_F(MainWindow, LanguageSwitchRewritesCaptions) {
  form_->N_CNClick(nullptr);
  EXPECT_EQ(LanguageChinese, LanguageFlag);
  EXPECT_EQ("欢迎", form_->abSheetVerInfo->Caption());
  EXPECT_EQ("历史记录", form_->Sheet_History->Caption());
  EXPECT_EQ("语言(&W)", form_->N_Language->Caption());
  EXPECT_EQ("继电器2", form_->lvDo->Items()->Item(1)->Caption());
  EXPECT_EQ("报警号码", form_->lvTel->Columns()->Items(1)->Caption());
  EXPECT_EQ("电话管理", form_->FrameBar->Items()->GetItem(2)->Caption());
  EXPECT_EQ("自动启动", form_->AutoStartBox->Caption());
  EXPECT_EQ(MainWindowCaption(LanguageChinese), form_->Caption());
  EXPECT_EQ("鼠标右键弹出菜单", form_->lvTimer->Hint());

  form_->N_ENClick(nullptr);
  EXPECT_EQ(LanguageEnglish, LanguageFlag);
  EXPECT_EQ("Welcome", form_->abSheetVerInfo->Caption());
  EXPECT_EQ("Number Setting", form_->Sheet_Telephone->Caption());
  EXPECT_EQ("Language(&W)", form_->N_Language->Caption());
  EXPECT_EQ("DOUT2", form_->lvDo->Items()->Item(1)->Caption());
  EXPECT_EQ("Alarm Tel Number", form_->lvTel->Columns()->Items(1)->Caption());
  EXPECT_EQ("  Number   Setting", form_->FrameBar->Items()->GetItem(2)->Caption());
  EXPECT_EQ("Auto Start", form_->AutoStartBox->Caption());
  EXPECT_EQ("Successfully!", Lang_MsgSuccess);
  EXPECT_EQ("View", form_->Bar->SimpleText());
}

TEST_F(MainWindow, SideBarHasSixTitlesAndOpeningOneSelectsItsPages) {
  TsFrameBar* bar = form_->FrameBar;
  ASSERT_EQ(6, bar->Items()->Count());
  EXPECT_EQ(form_->PnlMain, bar->Parent());
  EXPECT_EQ(169, bar->Items()->GetItem(2)->ImageIndex());
  bar->TitleClick(bar->Items()->GetItem(2));
  EXPECT_EQ(form_->Sheet_Basic, form_->PageControl->ActivePage());
  EXPECT_EQ(form_->Sheet_Telephone, form_->PageControlMain->ActivePage());
  bar->TitleClick(bar->Items()->GetItem(5));
  EXPECT_EQ(form_->Sheet_History, form_->PageControl->ActivePage());
  // An item higher up still wins once it is clicked after a lower one.
  bar->TitleClick(bar->Items()->GetItem(1));
  EXPECT_EQ(form_->Sheet_Basic, form_->PageControl->ActivePage());
  EXPECT_EQ(form_->Sheet_DiDoTh, form_->PageControlMain->ActivePage());
  // Titles stack from the top, one title height apart at least.
  EXPECT_LT(bar->Items()->GetItem(0)->Button()->Top(), bar->Items()->GetItem(1)->Button()->Top());
  EXPECT_EQ(bar->TitleHeight(), bar->Items()->GetItem(0)->Button()->Height());
}

// The side bar on its own: frames open under their titles, one at a time.
class FrameBar : public ::testing::Test {
 protected:
  void SetUp() override {
    form_ = CreateOwned<TForm>();
    form_->SetBounds(0, 0, 300, 500);
    bar_ = Create<TsFrameBar>(form_.get());
    bar_->SetParent(form_.get());
    for (int i = 0; i < 3; ++i) {
      TsTitleItem* item = bar_->Items()->Add();
      item->OnCreateFrame = [this, i](TObject*, TCustomFrame*& frame) {
        ++created_[i];
        frame = Create<TFrame>(form_.get());
        frame->SetHeight(100);
      };
    }
    form_->Show();
  }
  Owned<TForm> form_;
  TsFrameBar* bar_ = nullptr;
  int created_[3] = {};
};

TEST_F(FrameBar, OpeningAnItemPlacesItsFrameUnderTheTitleAndMovesTheOthersDown) {
  TsTitleItem* first = bar_->Items()->GetItem(0);
  TsTitleItem* second = bar_->Items()->GetItem(1);
  bar_->TitleClick(first);
  EXPECT_EQ(stOpened, first->State());
  ASSERT_NE(nullptr, first->Frame());
  EXPECT_TRUE(first->Button()->Active());
  const int titleBottom = first->Button()->Top() + first->Button()->Height();
  EXPECT_GE(first->Frame()->Top(), titleBottom);
  EXPECT_GE(second->Button()->Top(), first->Frame()->Top() + first->Frame()->Height());
}

TEST_F(FrameBar, OpeningAnotherItemClosesAndFreesTheOpenOne) {
  bar_->TitleClick(bar_->Items()->GetItem(0));
  bar_->TitleClick(bar_->Items()->GetItem(2));
  EXPECT_EQ(stClosed, bar_->Items()->GetItem(0)->State());
  EXPECT_EQ(nullptr, bar_->Items()->GetItem(0)->Frame());
  EXPECT_FALSE(bar_->Items()->GetItem(0)->Button()->Active());
  EXPECT_EQ(stOpened, bar_->Items()->GetItem(2)->State());
  // Clicking the open item again keeps it open with the same frame.
  bar_->TitleClick(bar_->Items()->GetItem(2));
  EXPECT_EQ(stOpened, bar_->Items()->GetItem(2)->State());
  EXPECT_EQ(1, created_[2]);
}

TEST_F(FrameBar, AllowAllCloseLetsTheOpenItemClose) {
  bar_->SetAllowAllClose(true);
  bar_->TitleClick(bar_->Items()->GetItem(1));
  bar_->TitleClick(bar_->Items()->GetItem(1));
  EXPECT_EQ(stClosed, bar_->Items()->GetItem(1)->State());
  EXPECT_EQ(nullptr, bar_->Items()->GetItem(1)->Frame());
}

TEST_F(FrameBar, RefusedDestructionKeepsTheFrameHiddenForTheNextOpening) {
  TsTitleItem* item = bar_->Items()->GetItem(0);
  item->OnFrameDestroy = [](TObject*, TCustomFrame*&, bool& canDestroy) { canDestroy = false; };
  bar_->TitleClick(item);
  TCustomFrame* frame = item->Frame();
  bar_->TitleClick(bar_->Items()->GetItem(1));
  EXPECT_EQ(frame, item->Frame());
  EXPECT_FALSE(frame->Visible());
  bar_->TitleClick(item);
  EXPECT_EQ(frame, item->Frame());
  EXPECT_TRUE(frame->Visible());
  EXPECT_EQ(1, created_[0]);
}

TEST_F(FrameBar, TitleButtonsTakeTheNextFreeName) {
  EXPECT_EQ("sTitleButton1", bar_->Items()->GetItem(0)->Button()->Name());
  EXPECT_EQ("sTitleButton3", bar_->Items()->GetItem(2)->Button()->Name());
}

}  // namespace
}  // namespace kv
