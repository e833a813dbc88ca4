// The bound caption label beside a control, on a plain form.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>

#include "classlib/Forms.h"
#include "skin/controls/sEdit_win.h"
#include "skin/controls/sLabel_win.h"
#include "skin/core/sCommonData_win.h"

namespace kv {
namespace {

class BoundLabel : public ::testing::Test {
 protected:
  void SetUp() override {
    form_ = CreateOwned<TForm>();
    form_->SetBounds(0, 0, 400, 300);
    edit_ = Create<TsEdit>(form_.get());
    edit_->SetName("PortEdit");
    edit_->SetParent(form_.get());
    edit_->SetBounds(150, 100, 120, 24);
    skinData_ = std::make_unique<TsCommonData>(edit_, false);
    bound_ = std::make_unique<TsBoundLabel>(skinData_.get());
  }

  Owned<TForm> form_;
  TsEdit* edit_ = nullptr;
  std::unique_ptr<TsCommonData> skinData_;
  std::unique_ptr<TsBoundLabel> bound_;
};

TEST_F(BoundLabel, ExistsOnlyWhileActiveBesideItsControl) {
  const int components = form_->ComponentCount();
  EXPECT_EQ(bound_->Label(), nullptr);
  EXPECT_TRUE(bound_->UseSkinColor());
  edit_->SetEnabled(false);
  bound_->SetActive(true);
  TsEditLabel* label = bound_->Label();
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->Owner(), form_.get());
  EXPECT_EQ(label->Parent(), form_.get());
  EXPECT_EQ(label->FocusControl(), edit_);
  EXPECT_EQ(label->BoundLabel(), bound_.get());
  EXPECT_EQ(label->Name(), "PortEditLabel");
  EXPECT_EQ(label->Caption(), "PortEdit") << "an empty caption takes the control's name";
  EXPECT_EQ(bound_->Caption(), "PortEdit");
  EXPECT_TRUE(label->Visible());
  EXPECT_FALSE(label->Enabled());
  EXPECT_EQ(label->Alignment(), taRightJustify);
  EXPECT_EQ(label->Left(), 150 - label->Width() - 4);
  EXPECT_EQ(label->Top(), 100 + (24 - label->Height()) / 2 - 1);

  bound_->SetCaption("Serial port");
  EXPECT_EQ(label->Caption(), "Serial port");
  EXPECT_EQ(label->Left(), 150 - label->Width() - 4) << "placed again for its new width";
  bound_->SetUseSkinColor(false);
  EXPECT_FALSE(label->UseSkinColor());

  bound_->SetActive(false);
  EXPECT_EQ(bound_->Label(), nullptr);
  EXPECT_EQ(form_->ComponentCount(), components);
  EXPECT_TRUE(bound_->UseSkinColor());
}

TEST_F(BoundLabel, EachLayoutPlacesAndAlignsTheLabel) {
  bound_->SetCaption("Port");
  bound_->SetActive(true);
  TsEditLabel* label = bound_->Label();
  ASSERT_NE(label, nullptr);
  const int w = label->Width(), h = label->Height();
  struct Case {
    TsCaptionLayout layout;
    TAlignment alignment;
    int left, top;
  };
  const int indent = 3, above = 100 - h - indent;
  for (const Case& c : {Case{sclLeft, taRightJustify, 150 - w - 4 - indent, 100 + (24 - h) / 2 - 1},
                        Case{sclTopLeft, taLeftJustify, 150, above},
                        Case{sclTopCenter, taCenter, 150 + (120 - w) / 2, above},
                        Case{sclTopRight, taRightJustify, 270 - w, above}}) {
    bound_->SetIndent(0);
    bound_->SetLayout(c.layout);
    bound_->SetIndent(indent);
    EXPECT_EQ(label->Alignment(), c.alignment) << "layout " << c.layout;
    EXPECT_EQ(label->BoundsRect(), Bounds(c.left, c.top, w, h)) << "layout " << c.layout;
    EXPECT_TRUE(label->AutoSize());
  }
  bound_->SetMaxWidth(40);
  EXPECT_FALSE(label->AutoSize());
  EXPECT_TRUE(label->WordWrap());
  EXPECT_EQ(label->Width(), 40);
  EXPECT_GE(label->Height(), 24) << "at least as high as the control";
}

// A control that owns its skin data and bound label, as the skinned edits do.
class TLabelledBox : public TCustomControl {
 public:
  explicit TLabelledBox(TComponent* owner) : TCustomControl(owner) {}
  TsCommonData sd{this, false};
  TsBoundLabel bound{&sd};
};

TEST_F(BoundLabel, ALabelFreedByItsOwnerFirstIsForgotten) {
  bound_->SetActive(true);
  ASSERT_NE(bound_->Label(), nullptr);
  bound_->Label()->Free();
  EXPECT_EQ(bound_->Label(), nullptr);
  EXPECT_TRUE(bound_->Active());
  bound_.reset();  // nothing left to free twice

  // The form frees the control and the label in either order.
  for (bool labelFirst : {false, true}) {
    auto form = CreateOwned<TForm>();
    auto* box = Create<TLabelledBox>(form.get());
    box->SetParent(form.get());
    box->bound.SetActive(true);
    ASSERT_NE(box->bound.Label(), nullptr);
    if (labelFirst) {
      form->RemoveComponent(box);
      form->InsertComponent(box);
    }
    form.reset();
  }
}

TEST_F(BoundLabel, AHiddenControlsLabelIsHiddenAndNotPlaced) {
  edit_->SetVisible(false);
  bound_->SetActive(true);
  TsEditLabel* label = bound_->Label();
  ASSERT_NE(label, nullptr);
  EXPECT_FALSE(label->Visible());
  const TRect before = label->BoundsRect();
  bound_->SetIndent(20);
  EXPECT_EQ(label->BoundsRect(), before);
}

}  // namespace
}  // namespace kv
