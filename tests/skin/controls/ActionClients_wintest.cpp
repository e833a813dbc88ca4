// An action given to the skinned bit button, speed button and check box:
// each takes the action's caption, the buttons its image from the action
// list's images, and each shows the disabled look with the action.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "SkinnedForm.h"
#include "classlib/ActnList.h"
#include "classlib/ImgList.h"
#include "skin/controls/sBitBtn_win.h"
#include "skin/controls/sCheckBox_win.h"
#include "skin/controls/sSpeedButton_win.h"

namespace kv {
namespace {

using kvtest::TPixels;

constexpr COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255);

class ActionClients : public kvtest::TSkinnedForm {
 protected:
  void SetUp() override {
    TSkinnedForm::SetUp();
    images = Create<TImageList>(form);
    images->SetSize(8, 8);
    for (COLORREF c : {kRed, kBlue}) {
      TBitmap square(8, 8, pf24bit);
      for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
          std::uint8_t* p = square.ScanLine(y) + 3 * x;
          p[0] = GetBValue(c), p[1] = GetGValue(c), p[2] = GetRValue(c);
        }
      images->Add(square);
    }
    list = Create<TActionList>(form);
    list->SetImages(images);
    action = Create<TAction>(form);
    action->SetActionList(list);
    action->SetCaption("One");
    action->SetImageIndex(0);
  }
  TPixels Of(TControl* c) {
    const TPixels shot = Shot();
    return shot.Crop({c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height()});
  }

  TImageList* images = nullptr;
  TActionList* list = nullptr;
  TAction* action = nullptr;
};

template <class T>
TControl* Make(TForm* form) {
  auto* c = Create<T>(form);
  c->SetParent(form);
  c->SetBounds(10, 10, 120, 40);
  return c;
}

struct TClient {
  const char* name;
  TControl* (*make)(TForm*);
  bool showsImages;
};

const TClient kClients[] = {
    {"bit button", Make<TsBitBtn>, true},
    {"speed button", Make<TsSpeedButton>, true},
    {"check box", Make<TsCheckBox>, false},
};

TEST_F(ActionClients, CaptionImageAndEnabledLookFollowTheAction) {
  for (const TClient& client : kClients) {
    SCOPED_TRACE(client.name);
    action->SetCaption("One");
    action->SetImageIndex(0);
    action->SetEnabled(true);
    TControl* c = client.make(form);
    c->SetAction(action);
    EXPECT_EQ(c->Caption(), "One");
    const TPixels first = Of(c);
    if (client.showsImages) {
      EXPECT_GT(first.CountOf(kRed, first.Whole()), 0) << "image 0 shown";
      action->SetImageIndex(1);
      const TPixels second = Of(c);
      EXPECT_EQ(second.CountOf(kRed, second.Whole()), 0);
      EXPECT_GT(second.CountOf(kBlue, second.Whole()), 0) << "image 1 shown";
    }
    action->SetCaption("Two");
    EXPECT_EQ(c->Caption(), "Two");

    const TPixels enabled = Of(c);
    action->SetEnabled(false);
    EXPECT_FALSE(c->Enabled());
    const TPixels disabled = Of(c);
    EXPECT_NE(disabled.At(c->Width() / 2, 1), enabled.At(c->Width() / 2, 1)) << "the disabled look";
    c->Free();
  }
}

// The bit button looks disabled while its action is, and takes the action's
// state back at the next update.
TEST_F(ActionClients, ABitButtonFollowsADisabledActionAtTheUpdate) {
  TControl* button = kClients[0].make(form);
  button->SetAction(action);
  const TPixels enabled = Of(button);
  action->SetEnabled(false);
  const TPixels disabled = Of(button);
  button->SetEnabled(true);
  const TPixels overridden = Of(button);
  const COLORREF edge = enabled.At(button->Width() / 2, 1);
  EXPECT_NE(disabled.At(button->Width() / 2, 1), edge);
  EXPECT_EQ(overridden.At(button->Width() / 2, 1), disabled.At(button->Width() / 2, 1))
      << "the disabled action's look";
  int updates = 0;
  action->OnUpdate = [&](TObject*) { ++updates; };
  form->UpdateActions();
  EXPECT_EQ(updates, 1);
  EXPECT_FALSE(button->Enabled());
}

TEST_F(ActionClients, AFreedActionOrListLeavesItsClientsAlone) {
  auto* button = static_cast<TsBitBtn*>(kClients[0].make(form));
  button->SetAction(action);
  ASSERT_EQ(button->Images(), images);
  images->Free();
  EXPECT_EQ(list->Images(), nullptr);
  action->Free();
  EXPECT_EQ(button->Action(), nullptr);
  EXPECT_EQ(button->Caption(), "One") << "the last caption stays";
  form->UpdateActions();
}

}  // namespace
}  // namespace kv
