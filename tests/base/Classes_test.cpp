#include "base/Classes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/SysUtils.h"

namespace kv {
namespace {

// Records what happens to it in a shared log.
class TProbe : public TComponent {
 public:
  TProbe(TComponent* owner, std::string name, std::vector<std::string>* log)
      : TComponent(owner), log_(log) {
    SetName(name);
  }
  ~TProbe() override { log_->push_back("free " + Name()); }
  TComponent* watched = nullptr;

 protected:
  void Notification(TComponent* c, TOperation op) override {
    if (op == opRemove && c == watched) {
      watched = nullptr;
      log_->push_back(Name() + " lost " + c->Name());
    }
    TComponent::Notification(c, op);
  }
  void Loaded() override { log_->push_back("loaded " + Name()); }

 private:
  std::vector<std::string>* log_;
};

TEST(Classes, OwnerFreesWhatItOwnsInReverseCreationOrder) {
  std::vector<std::string> log;
  {
    Owned<TProbe> form = CreateOwned<TProbe>("form", &log);
    auto* a = Create<TProbe>(form.get(), "a", &log);
    Create<TProbe>(form.get(), "b", &log);
    Create<TProbe>(a, "a1", &log);
    EXPECT_EQ(form->ComponentCount(), 2);
    EXPECT_EQ(a->Owner(), form.get());
  }
  // Owned components go first, while their owner is still whole.
  const std::vector<std::string> expected = {"free b", "free a1", "free a", "free form"};
  EXPECT_EQ(log, expected);
}

TEST(Classes, ComponentFreedEarlyLeavesItsOwner) {
  std::vector<std::string> log;
  Owned<TProbe> form = CreateOwned<TProbe>("form", &log);
  auto* a = Create<TProbe>(form.get(), "a", &log);
  auto* b = Create<TProbe>(form.get(), "b", &log);
  a->Free();
  ASSERT_EQ(form->ComponentCount(), 1);
  EXPECT_EQ(form->Components(0), b);
  EXPECT_EQ(b->ComponentIndex(), 0);
  form.reset();
  const std::vector<std::string> expected = {"free a", "free b", "free form"};
  EXPECT_EQ(log, expected);  // a was not freed twice
}

TEST(Classes, FreeNotificationTellsTheWatcherEitherWay) {
  std::vector<std::string> log;
  Owned<TProbe> form = CreateOwned<TProbe>("form", &log);
  auto* list = Create<TProbe>(form.get(), "list", &log);
  Owned<TProbe> images = CreateOwned<TProbe>("images", &log);  // another owner
  list->watched = images.get();
  images->FreeNotification(list);
  images.reset();
  EXPECT_EQ(list->watched, nullptr);
  // Told while the watched component is still whole.
  EXPECT_EQ(log, (std::vector<std::string>{"list lost images", "free images"}));

  // After the watcher is gone, freeing the watched one must not reach it.
  Owned<TProbe> menu = CreateOwned<TProbe>("menu", &log);
  auto* button = Create<TProbe>(form.get(), "button", &log);
  button->watched = menu.get();
  menu->FreeNotification(button);
  button->Free();
  menu.reset();  // would touch freed memory if the link had stayed
  SUCCEED();
}

TEST(Classes, RemoveFreeNotificationStopsTheMessage) {
  std::vector<std::string> log;
  Owned<TProbe> a = CreateOwned<TProbe>("a", &log);
  Owned<TProbe> b = CreateOwned<TProbe>("b", &log);
  a->watched = b.get();
  b->FreeNotification(a.get());
  b->RemoveFreeNotification(a.get());
  b.reset();
  EXPECT_NE(a->watched, nullptr);
  EXPECT_EQ(log, std::vector<std::string>{"free b"});
}

TEST(Classes, SiblingsHearOfAComponentLeavingTheOwner) {
  std::vector<std::string> log;
  Owned<TProbe> form = CreateOwned<TProbe>("form", &log);
  auto* popup = Create<TProbe>(form.get(), "popup", &log);
  auto* list = Create<TProbe>(form.get(), "list", &log);
  list->watched = popup;
  popup->Free();
  EXPECT_EQ(list->watched, nullptr);
}

TEST(Classes, FindsOwnedComponentsByNameWithoutRegardToCase) {
  std::vector<std::string> log;
  Owned<TProbe> form = CreateOwned<TProbe>("form", &log);
  auto* edit = Create<TProbe>(form.get(), "lbledt_DeviseID", &log);
  EXPECT_EQ(form->FindComponent("LBLEDT_deviseid"), edit);
  EXPECT_EQ(form->FindComponent("missing"), nullptr);
  EXPECT_EQ(form->FindComponent(""), nullptr);
  EXPECT_THROW(form->Components(1), ERangeError);
  EXPECT_THROW(form->Components(-1), ERangeError);
}

TEST(Classes, InsertComponentMovesBetweenOwners) {
  std::vector<std::string> log;
  Owned<TProbe> a = CreateOwned<TProbe>("a", &log);
  Owned<TProbe> b = CreateOwned<TProbe>("b", &log);
  auto* c = Create<TProbe>(a.get(), "c", &log);
  b->InsertComponent(c);
  EXPECT_EQ(a->ComponentCount(), 0);
  EXPECT_EQ(c->Owner(), b.get());
  b->RemoveComponent(c);
  EXPECT_EQ(c->Owner(), nullptr);
  c->Free();
  EXPECT_EQ(b->ComponentCount(), 0);
}

TEST(Classes, EndLoadingCallsLoadedOnOwnedComponentsFirst) {
  std::vector<std::string> log;
  Owned<TProbe> form = CreateOwned<TProbe>("form", &log);
  form->BeginLoading();
  auto* a = Create<TProbe>(form.get(), "a", &log);
  Create<TProbe>(a, "a1", &log);
  Create<TProbe>(form.get(), "b", &log);
  EXPECT_TRUE(a->HasState(csLoading));
  form->EndLoading();
  const std::vector<std::string> expected = {"loaded a1", "loaded a", "loaded b", "loaded form"};
  EXPECT_EQ(log, expected);
  EXPECT_FALSE(a->HasState(csLoading));
  form->EndLoading();  // a second call does nothing
  EXPECT_EQ(log.size(), expected.size());
}

TEST(Classes, AConstructorThatThrowsLeavesNoEntryInTheOwner) {
  struct TFailing : TComponent {
    explicit TFailing(TComponent* owner) : TComponent(owner) { throw EInvalidOperation("no"); }
  };
  std::vector<std::string> log;
  Owned<TProbe> form = CreateOwned<TProbe>("form", &log);
  EXPECT_THROW(Create<TFailing>(form.get()), EInvalidOperation);
  EXPECT_EQ(form->ComponentCount(), 0);
}

TEST(Classes, ReportsClassNameWithoutNamespace) {
  std::vector<std::string> log;
  Owned<TProbe> p = CreateOwned<TProbe>("p", &log);
  EXPECT_EQ(p->ClassName(), "TProbe");
}

TEST(Classes, AssignOfUnrelatedClassesRaisesConvertError) {
  std::vector<std::string> log;
  Owned<TProbe> a = CreateOwned<TProbe>("a", &log);
  Owned<TProbe> b = CreateOwned<TProbe>("b", &log);
  try {
    a->Assign(*b);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Cannot assign a TProbe to a TProbe");
  }
}

}  // namespace
}  // namespace kv
