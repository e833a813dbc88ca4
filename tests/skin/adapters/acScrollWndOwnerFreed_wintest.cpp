// A scrolling control whose skinned bars an adapter draws, freed by its own
// mouse-enter or mouse-leave handler while the adapter hands the pointer's
// move on: nothing of the freed control or its adapter may be touched
// afterwards.
#include <gtest/gtest.h>
#include <windows.h>

#include <tuple>
#include <utility>

#include "skin/adapters/SkinnedFormFixture.h"
#include "skin/adapters/acScrollWnd_win.h"
#include "skin/controls/sFrameBar_win.h"
#include "skin/controls/sScrollBox_win.h"
#include "skin/forms/SystemPointer.h"
#include "support/FreedMemory.h"

namespace kv {
namespace {

enum class TScroller { ScrollBox, FrameBar };

class ScrollOwnerFreed : public SkinnedFormFixture,
                         public ::testing::WithParamInterface<std::tuple<TScroller, bool>> {
 protected:
  void TearDown() override {
    kvtest::SystemMoveTo(kvtest::AwayFromWindows());
    SkinnedFormFixture::TearDown();
  }
  TsScrollBox* Make() {
    TsScrollBox* box = std::get<0>(GetParam()) == TScroller::FrameBar
                           ? static_cast<TsScrollBox*>(Create<TsFrameBar>(form))
                           : Create<TsScrollBox>(form);
    box->SetParent(form);
    box->SetBounds(20, 20, 200, 150);
    return box;
  }
};

TEST_P(ScrollOwnerFreed, ItsOwnMouseHandlerFreesItAndThePointerMovesOn) {
  const bool onLeave = std::get<1>(GetParam());
  kvtest::SystemMoveTo(kvtest::AwayFromWindows());
  const kvtest::TFreedMemoryCheck freed;
  TsScrollBox* box = Make();
  ShowSkinned();
  ASSERT_NE(box->ScrollAdapter(), nullptr);
  const HWND wnd = box->Handle();
  RECT r{};
  GetWindowRect(wnd, &r);
  // Below a frame bar's titles.
  const POINT inside{r.left + 8, r.bottom - 8};
  if (onLeave) kvtest::SystemMoveTo(inside);
  int entered = 0;
  (onLeave ? box->OnMouseLeave : box->OnMouseEnter) = [&](TObject*) {
    // The handler goes with the box: nothing of it is read after the free.
    ++entered;
    TsScrollBox* doomed = std::exchange(box, nullptr);
    doomed->Free();
  };
  // Onto the box, or off it onto the form.
  kvtest::SystemMoveTo(onLeave ? POINT{r.right + 40, r.top + 20} : inside);
  EXPECT_EQ(entered, 1);
  EXPECT_EQ(box, nullptr);
  EXPECT_FALSE(IsWindow(wnd));
  // The form goes on taking the pointer.
  kvtest::SystemMoveTo({r.left + 5, r.top + 5});
  kvtest::SystemMoveTo({r.left - 4, r.top - 4});
  EXPECT_TRUE(freed.Intact());
}

INSTANTIATE_TEST_SUITE_P(Scrollers, ScrollOwnerFreed,
                         ::testing::Combine(::testing::Values(TScroller::ScrollBox,
                                                              TScroller::FrameBar),
                                            ::testing::Bool()));

}  // namespace
}  // namespace kv
