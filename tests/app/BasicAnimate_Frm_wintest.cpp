// The progress window over a stand-in main window: showing, Stop, closing
// and freeing, and what each does to the main window and the operation.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "app/BasicAnimate_Frm_win.h"
#include "classlib/Forms.h"

namespace kv {
namespace {

struct ProgressWindow : ::testing::Test {
  void SetUp() override {
    main = Create<TForm>(nullptr);
    main->SetBounds(100, 100, 800, 500);
    main->Show();
    window = Create<TFormBasicAnimate>(main);
    window->OnCancel = [this](bool going) { cancels.push_back(going); };
  }
  void TearDown() override {
    window = nullptr;
    main->Free();
  }

  TForm* main = nullptr;
  TFormBasicAnimate* window = nullptr;
  std::vector<bool> cancels;
};

TEST_F(ProgressWindow, ShowsAnEmptyGaugeAndStopAboveTheDisabledMainWindow) {
  EXPECT_EQ("Process......", window->Caption());
  EXPECT_EQ("Stop", window->btn_Close->Caption());
  EXPECT_EQ("%", window->sg->Suffix());
  EXPECT_EQ(0, window->sg->MaxValue());
  EXPECT_EQ("0%", window->sg->ShownText());
  window->Show();
  EXPECT_FALSE(main->Enabled());
  EXPECT_FALSE(IsWindowEnabled(main->Handle()));
  EXPECT_TRUE(TFormBasicAnimate::AnyShown());
  EXPECT_EQ(main->Handle(), GetWindow(window->Handle(), GW_OWNER)) << "stays above the main window";
  RECT outer{}, inner{};
  GetWindowRect(main->Handle(), &outer);
  GetWindowRect(window->Handle(), &inner);
  EXPECT_NEAR((outer.left + outer.right) / 2, (inner.left + inner.right) / 2, 2);
  EXPECT_NEAR((outer.top + outer.bottom) / 2, (inner.top + inner.bottom) / 2, 2);
}

TEST_F(ProgressWindow, StopHidesAtOnceAndGivesTheMainWindowBack) {
  window->Show();
  window->btn_Close->Click();
  EXPECT_FALSE(window->Visible());
  EXPECT_TRUE(main->Enabled()) << "before the loop has even seen the flag";
  EXPECT_EQ(std::vector<bool>{false}, cancels);
  EXPECT_FALSE(TFormBasicAnimate::AnyShown());
}

TEST_F(ProgressWindow, ClosingItAsksTheOperationToStop) {
  window->Show();
  window->Close();
  EXPECT_FALSE(window->Visible());
  EXPECT_TRUE(main->Enabled());
  EXPECT_EQ(std::vector<bool>{false}, cancels);
}

TEST_F(ProgressWindow, FreeingItEnablesTheMainWindowAndSaysSo) {
  window->Show();
  window->Free();
  window = nullptr;
  EXPECT_TRUE(main->Enabled());
  EXPECT_EQ(std::vector<bool>{true}, cancels);
  EXPECT_FALSE(TFormBasicAnimate::AnyShown());
}

TEST_F(ProgressWindow, FreedWithTheMainWindowItTellsNobody) {
  window->Show();
  window = nullptr;
  main->Free();
  main = Create<TForm>(nullptr);
  EXPECT_TRUE(cancels.empty());
  EXPECT_FALSE(TFormBasicAnimate::AnyShown());
}

}  // namespace
}  // namespace kv
