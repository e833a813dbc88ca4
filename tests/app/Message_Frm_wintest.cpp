// The message window over a stand-in main window: one window for every
// message, owned by the main window, and OK giving the main window back only
// when no progress window holds it.
#include <gtest/gtest.h>
#include <windows.h>

#include "app/BasicAnimate_Frm_win.h"
#include "app/ConstLang_Unt.h"
#include "app/Message_Frm_win.h"
#include "classlib/Forms.h"

namespace kv {
namespace {

struct MessageWindow : ::testing::Test {
  void SetUp() override {
    main = Create<TForm>(nullptr);
    main->SetBounds(100, 100, 800, 500);
    main->Show();
    SetMessageFormMainWindow(main);
  }
  void TearDown() override {
    if (main != nullptr) main->Free();
    if (FormMessage != nullptr) FormMessage->Free();
  }
  TForm* main = nullptr;
};

TEST_F(MessageWindow, TwoMessagesReuseOneWindowTheSecondReplacingTheFirst) {
  ShowMessageForm("Successfully!", "Configurator");
  TFormMessage* first = FormMessage;
  ASSERT_NE(nullptr, first);
  EXPECT_EQ("Configurator", first->Caption());
  ShowMessageForm("Data Error", "");
  EXPECT_EQ(first, FormMessage);
  EXPECT_EQ("Data Error", FormMessage->lbl_Info->Caption());
  EXPECT_EQ("", FormMessage->Caption());
  EXPECT_TRUE(FormMessage->Visible());
  RECT client{};
  GetClientRect(FormMessage->Handle(), &client);
  EXPECT_EQ(391, client.right);
  EXPECT_EQ(152, client.bottom);
}

// The button reads "OK" in either language; the message is the language's.
TEST_F(MessageWindow, ButtonReadsOkInEitherLanguage) {
  for (int language : {LanguageChinese, LanguageEnglish}) {
    AssignLanguageTexts(language, 0);
    ShowMessageForm(Lang_MsgSuccess, "");
    EXPECT_EQ("OK", FormMessage->sbtbtn_Ok->Caption()) << language;
    FormMessage->Free();
  }
}

TEST_F(MessageWindow, StaysAboveTheDisabledMainWindowUntilOk) {
  ShowMessageForm("Successfully!", "");
  EXPECT_EQ(main, FormMessage->Owner());
  EXPECT_EQ(main->Handle(), GetWindow(FormMessage->Handle(), GW_OWNER));
  EXPECT_FALSE(main->Enabled());
  EXPECT_TRUE(IsWindowEnabled(FormMessage->Handle())) << "the message window stays usable";
  FormMessage->sbtbtn_Ok->Click();
  EXPECT_FALSE(FormMessage->Visible());
  EXPECT_TRUE(main->Enabled());
}

TEST_F(MessageWindow, OkLeavesTheMainWindowToARunningProgressWindow) {
  auto* progress = Create<TFormBasicAnimate>(main);
  progress->Show();
  ShowMessageForm("Successfully!", "");
  FormMessage->sbtbtn_Ok->Click();
  EXPECT_FALSE(main->Enabled()) << "the block loop still runs";
  progress->Free();
  EXPECT_TRUE(main->Enabled());
}

// A message that went up while the progress window showed (a read that
// ended unanswered) is in front, active and takes the click on its OK once
// that window goes, over the main window still disabled.
TEST_F(MessageWindow, ShownOverAProgressWindowItStaysInFrontWhenThatGoes) {
  auto* progress = Create<TFormBasicAnimate>(main);
  progress->Show();
  ShowMessageForm("The device does not answer: check the connection.", "");
  progress->Free();
  ASSERT_TRUE(FormMessage->Visible());
  EXPECT_EQ(FormMessage->Handle(), GetActiveWindow());
  EXPECT_FALSE(main->Enabled());
  RECT ok{};
  GetWindowRect(FormMessage->sbtbtn_Ok->Handle(), &ok);
  EXPECT_EQ(FormMessage->sbtbtn_Ok->Handle(),
            WindowFromPoint({(ok.left + ok.right) / 2, (ok.top + ok.bottom) / 2}));
  FormMessage->sbtbtn_Ok->Click();
  EXPECT_TRUE(main->Enabled());
}

TEST_F(MessageWindow, OkLeavesTheMainWindowToAnOpenSettingDialog) {
  // A dialog's "Input Error" comes from inside its modal loop.
  auto* dialog = Create<TForm>(main);
  bool mainEnabledAfterOk = true;
  dialog->OnShow = [&](TObject*) {
    ShowMessageForm("Input Error", "");
    FormMessage->sbtbtn_Ok->Click();
    mainEnabledAfterOk = IsWindowEnabled(main->Handle()) != FALSE;
    dialog->SetModalResult(mrOk);
  };
  dialog->ShowModal();
  EXPECT_FALSE(mainEnabledAfterOk) << "the dialog is still open";
  EXPECT_TRUE(IsWindowEnabled(main->Handle())) << "and gives it back when it closes";
  EXPECT_TRUE(main->Enabled());
  dialog->Free();
}

TEST_F(MessageWindow, ClosingItGivesTheMainWindowBack) {
  ShowMessageForm("Successfully!", "");
  FormMessage->Close();
  EXPECT_TRUE(main->Enabled());
}

TEST_F(MessageWindow, GoesWithTheMainWindowAndIsMadeAgainAfterwards) {
  ShowMessageForm("Successfully!", "");
  main->Free();
  main = nullptr;
  EXPECT_EQ(nullptr, FormMessage);
  ShowMessageForm("Successfully!", "");
  ASSERT_NE(nullptr, FormMessage);
  EXPECT_EQ(Application, FormMessage->Owner()) << "no main window any more";
}

}  // namespace
}  // namespace kv
