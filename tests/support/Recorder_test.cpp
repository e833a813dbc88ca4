// The message recorder: below the class library (a raw subclass) and above
// it (a WindowProc hook, which Perform runs too), its tables pin a sequence
// and name the first difference with values; a spy answers toolkit commands.
#include <gtest/gtest.h>

#include "classlib/Forms.h"
#include "skin/core/sMessages.h"
#include "support/MessageLog.h"

using namespace kv;

namespace kvtest {
namespace {

struct Recorder : ::testing::Test {
  void SetUp() override {
    form = CreateOwned<TForm>();
    form->SetBorderStyle(bsNone);
    form->SetBounds(kHostLeft, kHostTop, 100, 80);
    form->HandleNeeded();
  }
  static constexpr int kHostLeft = 40, kHostTop = 30;
  Owned<TForm> form;
};

// Moving and sizing a form: the class library passes the system's sequence
// through its chain unchanged and in order.
const std::vector<TMsgEntry> kResize = {
    {WM_WINDOWPOSCHANGING, sent},
    {WM_GETMINMAXINFO, optional},
    {WM_NCCALCSIZE, sent | wparam, TRUE},
    {WM_WINDOWPOSCHANGED, sent},
    {WM_MOVE, sent | lparam, 0, MAKELPARAM(50, 60)},
    {WM_SIZE, sent | wparam | lparam, SIZE_RESTORED, MAKELPARAM(120, 90)},
};

TEST_F(Recorder, PinsTheSequenceOfAFormBeingMovedAndSized) {
  TMessageRecorder above;
  above.AttachControl(form.get());
  form->SetBounds(50, 60, 120, 90);
  EXPECT_TRUE(SequenceIs(above, kResize));

  TMessageRecorder below;
  below.AttachWindow(form->Handle());
  above.Clear();
  form->SetBounds(50, 60, 100, 80);
  form->SetBounds(50, 60, 120, 90);
  EXPECT_EQ(below.Messages.size(), above.Messages.size()) << "both sides see every message";
}

TEST_F(Recorder, NamesTheFirstDifferenceWithItsValues) {
  TMessageRecorder rec;
  rec.AttachControl(form.get());
  form->SetBounds(50, 60, 120, 90);
  std::vector<TMsgEntry> wrong = kResize;
  wrong.back().lParam = MAKELPARAM(121, 90);
  const ::testing::AssertionResult r = SequenceIs(rec, wrong);
  ASSERT_FALSE(r);
  EXPECT_NE(std::string(r.message()).find("WM_SIZE lParam expected 0x5a0079, got 0x5a0078"),
            std::string::npos)
      << r.message();

  const ::testing::AssertionResult missing = SequenceIs(rec, {{WM_WINDOWPOSCHANGED, sent}});
  ASSERT_FALSE(missing);
  EXPECT_NE(
      std::string(missing.message())
          .find("step 0: expected WM_WINDOWPOSCHANGED (0x47), got WM_WINDOWPOSCHANGING (0x46)"),
      std::string::npos)
      << missing.message();
}

TEST_F(Recorder, WindowlessControlsAreRecordedThroughPerform) {
  TGraphicControl* child = Create<TGraphicControl>(form.get());
  child->SetParent(form.get());
  TMessageRecorder rec;
  rec.AttachControl(child);
  child->Perform(SM_ALPHACMD, MAKEWPARAM(0, 7), 0);
  child->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 2));
  EXPECT_TRUE(SequenceIs(rec, {Command(7), {WM_LBUTTONDOWN, lparam, 0, MAKELPARAM(1, 2)}}));
  EXPECT_EQ(MessageName(SM_ALPHACMD, MAKEWPARAM(0, 34)), "SM_ALPHACMD 34 (cmdGetBackground)");
}

TEST_F(Recorder, SpyParentAnswersChosenCommandsAndPassesTheRestOn) {
  TMessageRecorder spy;
  spy.AttachWindow(form->Handle());
  spy.Answer(7, 1);
  spy.Answer(21, [](WPARAM, LPARAM deflt) { return deflt == 0xFF00FF ? 0x00C0C0 : 0; });
  const HWND wnd = form->Handle();
  EXPECT_EQ(SendMessageW(wnd, SM_ALPHACMD, MAKEWPARAM(0, 7), 0), 1);
  EXPECT_EQ(SendMessageW(wnd, SM_ALPHACMD, MAKEWPARAM(0, 21), 0xFF00FF), 0x00C0C0);
  EXPECT_EQ(SendMessageW(wnd, SM_ALPHACMD, MAKEWPARAM(0, 10), 0), 0) << "a plain form answers 0";
  EXPECT_EQ(spy.CountCommand(21), 1);
  EXPECT_TRUE(SequenceIs(spy, {Command(7), Command(21, lparam, 0xFF00FF), Command(10)}));
}

}  // namespace
}  // namespace kvtest
