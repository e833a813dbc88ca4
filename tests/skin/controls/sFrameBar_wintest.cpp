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
#include "classlib/Menus.h"
#include "skin/controls/SkinnedForm.h"
#include "skin/controls/sFrameBar_win.h"
#include "skin/controls/sLabel_win.h"
#include "skin/core/acFormServices_win.h"
#include "skin/core/sMessages.h"
#include "skin/core/sVclUtils_win.h"
#include "skin/forms/acFormServicesInstall_win.h"
#include "skin/forms/sSkinProvider_win.h"
#include "support/FreedMemory.h"
#include "support/Mouse.h"

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
  void WndProc(TMessage& m) override {
    if (m.Msg == SM_ALPHACMD && m.WParamHi() == cmdParentPainted) ++ParentPainted;
    TFrame::WndProc(m);
  }
  int ParentPainted = 0;

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
  label->Repaint();
  EXPECT_EQ(label->Font()->Color(), clRed) << "red, not the skin's font colour";
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

// A handler of an item that deletes that very item, the title clicked by the
// real cursor: the bar goes on without it (the freed-memory check makes a
// look at the gone item crash), and its title button goes too.
enum class TDeletingHandler { OnClick, OnCreateFrame, OnFrameDestroy };

class FrameBarSelfDelete : public FrameBarTest,
                           public ::testing::WithParamInterface<TDeletingHandler> {
 protected:
  int Titles() {
    int n = 0;
    for (int i = 0; i < bar->ComponentCount(); ++i)
      n += dynamic_cast<TsFrameBar::TsTitleButton*>(bar->Components(i)) != nullptr;
    return n;
  }
};

TEST_P(FrameBarSelfDelete, TheBarGoesOnWithoutTheItem) {
  const kvtest::TFreedMemoryCheck freed;
  TsTitleItem* doomed = bar->Items()->Add();
  doomed->SetCaption("Doomed");
  const auto deleteIt = [this, doomed] { bar->Items()->Delete(doomed->Index()); };
  switch (GetParam()) {
    case TDeletingHandler::OnClick:
      doomed->OnClick = [=](TObject*) { deleteIt(); };
      break;
    case TDeletingHandler::OnCreateFrame:
      doomed->OnCreateFrame = [=](TObject*, TCustomFrame*&) { deleteIt(); };
      break;
    case TDeletingHandler::OnFrameDestroy:
      bar->TitleClick(doomed);
      doomed->OnFrameDestroy = [=](TObject*, TCustomFrame*&, bool&) { deleteIt(); };
      break;
  }
  TsTitleItem* other = Item(4);
  // The doomed item's title, or, to close the doomed one, another's.
  TsSpeedButton* title =
      (GetParam() == TDeletingHandler::OnFrameDestroy ? other : doomed)->Button();
  kvtest::Click(bar->Handle(), {title->Left() + 20, title->Top() + title->Height() / 2});
  pump::PumpUntilIdle();
  kvtest::HoverOut();
  ASSERT_EQ(bar->Items()->Count(), kItems);
  EXPECT_EQ(Item(4), other);
  EXPECT_EQ(other->State(), GetParam() == TDeletingHandler::OnFrameDestroy ? stOpened : stClosed);
  EXPECT_FALSE(bar->Arranging());
  EXPECT_EQ(Titles(), kItems);
  EXPECT_EQ(freed.Faults(), 0u) << "the deleted item was read";
}

INSTANTIATE_TEST_SUITE_P(Handlers, FrameBarSelfDelete,
                         ::testing::Values(TDeletingHandler::OnClick,
                                           TDeletingHandler::OnCreateFrame,
                                           TDeletingHandler::OnFrameDestroy));

// A frame handler that frees the whole bar in the middle of an arrangement:
// nothing of the bar is touched afterwards.
class FrameBarFreedByHandler : public FrameBarTest, public ::testing::WithParamInterface<bool> {};

TEST_P(FrameBarFreedByHandler, IsLeftAlone) {
  const bool creating = GetParam();
  const kvtest::TFreedMemoryCheck freed;
  auto* own = Create<TsFrameBar>(form);
  own->SetParent(form);
  own->SetBounds(230, 0, 80, 300);
  own->SetAllowAllClose(true);
  TsTitleItem* item = own->Items()->Add();
  bool gone = false;
  const auto freeBar = [&] {
    gone = true;
    own->Free();
  };
  item->OnCreateFrame = [&](TObject*, TCustomFrame*& frame) {
    if (creating) return freeBar();
    frame = Create<TFrame>(form);
  };
  item->OnFrameDestroy = [&](TObject*, TCustomFrame*&, bool&) { freeBar(); };
  pump::PumpUntilIdle();
  own->TitleClick(item);
  if (!creating) own->TitleClick(item);
  ASSERT_TRUE(gone) << "the handler did not run";
  pump::PumpUntilIdle();
  EXPECT_FALSE(SuppressMouseEnter);
  EXPECT_EQ(freed.Faults(), 0u) << "the freed bar was read";
}

INSTANTIATE_TEST_SUITE_P(CreateOrDestroy, FrameBarFreedByHandler, ::testing::Bool());

// A property change arranges at once, in one pass.
TEST_F(FrameBarTest, APropertyChangeArrangesInOnePass) {
  Open(2);
  bar->SetSpacing(3);
  EXPECT_EQ(log, (std::vector<std::string>{"F2"}));
}

TEST_F(FrameBarTest, ABadIndexRaisesTheListIndexError) {
  EXPECT_THROW(bar->Items()->GetItem(kItems), ERangeError);
  EXPECT_THROW(bar->Items()->GetItem(-1), ERangeError);
}

// The bar's title button and the form provider's title-button record live
// side by side in one unit (the main window has both).
static_assert(!std::is_same_v<TsFrameBar::TsTitleButton, TsTitleButton>);

// An item's look and menu live in its title button.
TEST_F(FrameBarTest, AnItemsSettingsLiveInItsTitleButtonAndCopyToAnother) {
  TsSpeedButton* button = Item(0)->Button();
  EXPECT_EQ(button->SkinData()->SkinSection(), "BARTITLE");
  EXPECT_EQ(Item(0)->Margin(), 5);
  EXPECT_EQ(Item(0)->Spacing(), 8);
  auto* menu = Create<TPopupMenu>(form);
  Item(0)->SetCursor(crHandPoint);
  Item(0)->SetSkinSection("BUTTON");
  Item(0)->SetMargin(3);
  Item(0)->SetSpacing(1);
  Item(0)->SetPopupMenu(menu);
  Item(0)->SetCaption("Zero");
  Item(0)->SetTag(7);
  EXPECT_EQ(button->Cursor(), crHandPoint);
  EXPECT_EQ(button->SkinData()->SkinSection(), "BUTTON");
  EXPECT_EQ(button->Margin(), 3);
  EXPECT_EQ(button->Spacing(), 1);
  EXPECT_EQ(button->PopupMenu(), menu);
  Item(4)->Assign(*Item(0));
  TsSpeedButton* copy = Item(4)->Button();
  EXPECT_EQ(copy->Cursor(), crHandPoint);
  EXPECT_EQ(copy->SkinData()->SkinSection(), "BUTTON");
  EXPECT_EQ(copy->Margin(), 3);
  EXPECT_EQ(copy->Spacing(), 1);
  EXPECT_EQ(copy->PopupMenu(), menu);
  EXPECT_EQ(copy->Caption(), "Zero");
  EXPECT_EQ(Item(4)->Tag(), 7);
  EXPECT_EQ(Item(4)->Frame(), nullptr);
}

TEST_F(FrameBarTest, ADeletedItemsTitlesBelowMoveUp) {
  const int top = Item(1)->Button()->Top();
  TsSpeedButton* next = Item(2)->Button();
  bar->Items()->Delete(1);
  EXPECT_EQ(bar->Items()->Count(), kItems - 1);
  EXPECT_EQ(next->Top(), top);
}

// The border: the gap round the titles (two pixels more inside the sunken
// edge of bsSingle, and four more off the right), the same gap below the
// last one in the scroll range, and a new window for the bar.
TEST_F(FrameBarTest, ItsBorderWidthPlacesTheTitlesAndMakesTheWindowAgain) {
  const HWND before = bar->Handle();
  bar->SetBorderWidth(6);
  EXPECT_NE(bar->Handle(), before);
  const struct {
    TBorderStyle style;
    int gap, lessWidth;
  } cases[] = {{bsSingle, 8, 4 + 2 * 8}, {bsNone, 6, 2 * 6}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.style == bsSingle ? "bsSingle" : "bsNone");
    bar->SetBorderStyle(c.style);
    bar->Arrange(false);
    auto* first = Item(0)->Button();
    auto* last = Item(kItems - 1)->Button();
    EXPECT_EQ(first->Left(), c.gap);
    EXPECT_EQ(first->Top(), c.gap);
    EXPECT_EQ(first->Width(), bar->ClientWidth() - c.lessWidth);
    // Each title is followed by the border width.
    EXPECT_EQ(bar->VertScrollBar()->Range(), last->Top() + last->Height() + 6 + c.gap);
  }
}

// While the bar lays out its painting waits; afterwards its children are
// told to paint.
TEST_F(FrameBarTest, ArrangingLocksTheBarsPaintingAndThenLetsChildrenPaint) {
  bool lockedWhileMade = false;
  Item(2)->OnCreateFrame = [&](TObject*, TCustomFrame*& frame) {
    lockedWhileMade = bar->SkinData()->Updating;
    frame = Create<TLoggedFrame>(form, 2, nullptr);
  };
  Open(2);
  auto* frame = dynamic_cast<TLoggedFrame*>(Item(2)->Frame());
  ASSERT_NE(frame, nullptr);
  EXPECT_TRUE(lockedWhileMade);
  EXPECT_FALSE(bar->SkinData()->Updating);
  frame->ParentPainted = 0;
  bar->Arrange();
  EXPECT_EQ(frame->ParentPainted, 1);
}

// Made from a description: when complete, each title takes the bar's
// manager and its item's cursor.
TEST_F(FrameBarTest, LoadedGivesEachTitleTheBarsManagerAndItsItemsCursor) {
  auto* loaded = Create<TsFrameBar>(form);
  loaded->BeginLoading();
  loaded->SkinData()->SetSkinManager(manager.get());
  TsTitleItem* item = loaded->Items()->Add();
  item->SetCursor(crHandPoint);
  item->Button()->SetCursor(crDefault);
  loaded->SetParent(form);
  loaded->EndLoading();
  EXPECT_EQ(item->Button()->SkinData()->SkinManager(), manager.get());
  EXPECT_EQ(item->Button()->Cursor(), crHandPoint);
}

// A title hidden while the skin changed (off the bar, it heard nothing)
// wears the new skin when its item shows again, not the section that the
// old skin had at the same index.
TEST_F(FrameBarTest, ATitleShownAgainAfterASkinChangeWearsTheNewSkin) {
  Item(2)->SetVisible(false);
  skin = std::make_unique<kvtest::TTestSkin>(kvtest::TTestSkinOptions{.Lacks = {"FORMTITLE"}});
  TsStoredSkin& other = manager->InternalSkins.Add();
  other.Name = "U";
  other.Data = skin->Packed();
  manager->SetSkinName("U");
  pump::PumpUntilIdle();
  Item(2)->SetVisible(true);
  pump::PumpUntilIdle();
  const TsSpeedButton* title = Item(2)->Button();
  const COLORREF face = kvtest::TPixels::FromClient(bar->Handle())
                            .At(title->Left() + title->Width() - 12, title->Top() + 14);
  const kvtest::TSkinItem* item = skin->Legend(face);
  EXPECT_EQ(item != nullptr ? item->Section : "-", "BARTITLE");
}

TEST_F(FrameBarTest, EachItemHasItsOwnSpeedButtonAsTitle) {
  TsSpeedButton* first = bar->Items()->GetItem(0)->Button();
  EXPECT_NE(first, bar->Items()->GetItem(1)->Button());
  EXPECT_EQ(first->Parent(), bar);
}

}  // namespace
}  // namespace kv
