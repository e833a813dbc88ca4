// The side bar as the main window has it (six items) under the synthetic
// skin: which frames open and close on title clicks and in how many passes,
// frames kept by a refusing OnFrameDestroy, the placeholder frame, and an
// arrangement that outlives the bar or its items changing under it.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <type_traits>
#include <vector>

#include "classlib/Forms.h"
#include "skin/controls/SkinnedForm.h"
#include "skin/controls/sFrameBar_win.h"
#include "skin/controls/sLabel_win.h"
#include "skin/core/acFormServices_win.h"
#include "skin/core/sMessages.h"
#include "skin/core/sVclUtils_win.h"
#include "skin/forms/sSkinProvider_win.h"

namespace kv {
namespace {

constexpr int kItems = 6;
constexpr UINT kRunTask = WM_APP + 7;

// A frame that logs where the bar places it.
class TLoggedFrame : public TFrame {
 public:
  TLoggedFrame(TComponent* owner, int index, std::vector<std::string>* log)
      : TFrame(owner), index_(index) {
    SetHeight(90);
    log_ = log;
  }
  void SetBounds(int left, int top, int width, int height) override {
    if (log_ != nullptr) log_->push_back("F" + std::to_string(index_));
    TFrame::SetBounds(left, top, width, height);
  }

 private:
  int index_;
  std::vector<std::string>* log_ = nullptr;
};

// Runs a task when its posted message comes: code that runs while an
// arrangement lets messages through.
class TTaskWindow : public TWinControl {
 public:
  using TWinControl::TWinControl;
  std::function<void()> Task;
  void Dispatch(TMessage& m) override {
    if (m.Msg == kRunTask && Task) return Task();
    TWinControl::Dispatch(m);
  }
};

class FrameBarTest : public kvtest::TSkinnedFormTest {
 protected:
  void SetUp() override {
    Load();
    form->SetBounds(0, 0, 320, 700);
    bar = Create<TsFrameBar>(form);
    bar->SetParent(form);
    bar->SetBounds(0, 0, 220, 660);
    bar->SetSpacing(0);
    for (int i = 0; i < kItems; ++i) {
      TsTitleItem* item = bar->Items()->Add();
      item->SetCaption("Item " + std::to_string(i));
      item->OnCreateFrame = [this, i](TObject*, TCustomFrame*& frame) {
        ++created[i];
        frame = Create<TLoggedFrame>(form, i, &log);
      };
      item->OnFrameDestroy = [this, i](TObject*, TCustomFrame*&, bool& canDestroy) {
        log.push_back("D" + std::to_string(i));
        canDestroy = !keep;
      };
    }
    Show();
  }
  TsTitleItem* Item(int i) { return bar->Items()->GetItem(i); }
  void Open(int i) {
    bar->TitleClick(Item(i));
    log.clear();
  }

  TsFrameBar* bar = nullptr;
  std::vector<std::string> log;
  int created[kItems]{};
  bool keep = false;
};

TEST_F(FrameBarTest, OpeningOneClosesTheOpenOneInTheSameFourPasses) {
  Open(0);
  bar->TitleClick(Item(3));
  EXPECT_EQ(log, (std::vector<std::string>{"F0", "F0", "F3", "F0", "F3", "D0", "F3"}));
  EXPECT_EQ(Item(0)->State(), stClosed);
  EXPECT_EQ(Item(0)->Frame(), nullptr);
  EXPECT_EQ(Item(3)->State(), stOpened);
  EXPECT_TRUE(Item(3)->Button()->Active());
  EXPECT_FALSE(Item(0)->Button()->Active());
}

TEST_F(FrameBarTest, WithoutAnimationItIsOnePass) {
  bar->SetAnimation(false);
  Open(0);
  bar->TitleClick(Item(3));
  EXPECT_EQ(log, (std::vector<std::string>{"D0", "F3"}));
}

TEST_F(FrameBarTest, WithAllOpenAllowedTheOpenOneStays) {
  bar->SetAllowAllOpen(true);
  Open(0);
  bar->TitleClick(Item(3));
  EXPECT_EQ(Item(0)->State(), stOpened);
  EXPECT_EQ(Item(3)->State(), stOpened);
}

struct TCloseCase {
  bool AllowAllClose;
  TTitleState After;
};

class FrameBarClose : public FrameBarTest, public ::testing::WithParamInterface<TCloseCase> {};

TEST_P(FrameBarClose, AClickOnTheOpenTitleClosesItOnlyWhenAllowed) {
  bar->SetAllowAllClose(GetParam().AllowAllClose);
  Open(2);
  bar->TitleClick(Item(2));
  EXPECT_EQ(Item(2)->State(), GetParam().After);
  EXPECT_EQ(Item(2)->Frame() != nullptr, GetParam().After == stOpened);
}

INSTANTIATE_TEST_SUITE_P(Allowed, FrameBarClose,
                         ::testing::Values(TCloseCase{false, stOpened},
                                           TCloseCase{true, stClosed}));

TEST_F(FrameBarTest, ARefusedDestructionKeepsTheFrameHiddenForTheNextOpening) {
  keep = true;
  Open(1);
  TCustomFrame* frame = Item(1)->Frame();
  bar->TitleClick(Item(4));
  EXPECT_EQ(Item(1)->State(), stClosed);
  EXPECT_EQ(Item(1)->Frame(), frame);
  EXPECT_FALSE(frame->Visible());
  bar->TitleClick(Item(1));
  EXPECT_EQ(Item(1)->Frame(), frame);
  EXPECT_TRUE(frame->Visible());
  EXPECT_EQ(created[1], 1);
}

TEST_F(FrameBarTest, AnItemWithoutAHandlerShowsThePlaceholder) {
  Item(5)->OnCreateFrame = nullptr;
  Open(5);
  TCustomFrame* frame = Item(5)->Frame();
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->Height(), 150);
  auto* label = frame->ControlCount() > 0 ? dynamic_cast<TsLabel*>(frame->Controls(0)) : nullptr;
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->Caption(), "Frame creation\r\nevent has not been defined.");
}

TEST_F(FrameBarTest, ThePlaceholderIsSkinnedAsABarPanelByAFrameAdapter) {
  const TacFormServices saved = FormServices();
  InstallFormServices();
  Item(5)->OnCreateFrame = nullptr;
  Open(5);
  FormServices() = saved;
  TCustomFrame* frame = Item(5)->Frame();
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(QueryControlCommand(frame, cmdIsSkinned), 1);
  EXPECT_EQ(static_cast<int>(QueryControlCommand(frame, cmdGetSectionIndex)) - 1,
            manager->Skin().SectionIndexOf("BARPANEL"));
}

TEST_F(FrameBarTest, AnItemGivenNoFrameClosesAgain) {
  Item(2)->OnCreateFrame = [](TObject*, TCustomFrame*& frame) { frame = nullptr; };
  bar->TitleClick(Item(2));
  EXPECT_EQ(Item(2)->State(), stClosed);
  EXPECT_FALSE(Item(2)->Button()->Active());
}

TEST_F(FrameBarTest, TheBarDestroyedWhileItArrangesIsSafe) {
  auto* tasks = Create<TTaskWindow>(form);
  tasks->SetParent(form);
  tasks->Task = [this] {
    bar->Free();
    bar = nullptr;
  };
  PostMessageW(tasks->Handle(), kRunTask, 0, 0);
  TsFrameBar* arranging = bar;
  arranging->TitleClick(Item(0));
  EXPECT_EQ(bar, nullptr);
  EXPECT_FALSE(SuppressMouseEnter);
  EXPECT_FALSE(AnimationsOff);
}

TEST_F(FrameBarTest, ItemsChangedWhileItArrangesSettleAtOnce) {
  Open(0);
  auto* tasks = Create<TTaskWindow>(form);
  tasks->SetParent(form);
  tasks->Task = [this] { Item(1)->SetVisible(false); };
  PostMessageW(tasks->Handle(), kRunTask, 0, 0);
  bar->TitleClick(Item(3));
  EXPECT_FALSE(Item(1)->Visible());
  EXPECT_EQ(Item(0)->State(), stClosed);
  EXPECT_EQ(Item(3)->State(), stOpened);
  EXPECT_FALSE(bar->Arranging());
}

TEST_F(FrameBarTest, ABadIndexRaisesTheListIndexError) {
  EXPECT_THROW(bar->Items()->GetItem(kItems), ERangeError);
  EXPECT_THROW(bar->Items()->GetItem(-1), ERangeError);
}

// The bar's title button and the form provider's title-button record live
// side by side in one unit (the main window has both).
static_assert(!std::is_same_v<TsFrameBar::TsTitleButton, TsTitleButton>);

TEST_F(FrameBarTest, EachItemHasItsOwnSpeedButtonAsTitle) {
  TsSpeedButton* first = bar->Items()->GetItem(0)->Button();
  EXPECT_NE(first, bar->Items()->GetItem(1)->Button());
  EXPECT_EQ(first->Parent(), bar);
}

}  // namespace
}  // namespace kv
