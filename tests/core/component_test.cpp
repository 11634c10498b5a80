// TComponent ownership, names, fields, state and class registry; TPersistent assignment;
// the application object's destroying flag.
#include <gtest/gtest.h>

#include <memory>

#include "core/Application.h"
#include "core/Exceptions.h"
#include "core/StringList.h"
#include "peer_classes.h"

namespace {
std::vector<std::string>* destroyLog = nullptr;

class Tracked : public TComponent {
  STOWAWAY_CLASS(Tracked, TComponent)
  explicit Tracked(TComponent* owner) : TComponent(owner) {}
  ~Tracked() override {
    if (destroyLog)
      destroyLog->push_back(Name() + (ApplicationDestroying() ? " app-destroying" : "") +
                            (IsDestroying() ? " destroying" : ""));
  }
};
}  // namespace

const TClassInfo& Tracked::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<Tracked>("Tracked").Build();
  return info;
}

namespace {
TEST(Component, OwnerDestroysOwnedLastFirstAndChildLeavesOwner) {
  std::vector<std::string> log;
  destroyLog = &log;
  {
    auto owner = std::make_unique<Tracked>(nullptr);
    owner->SetName("Owner");
    for (const char* n : {"A", "B", "C"}) (new Tracked(owner.get()))->SetName(n);
    delete owner->FindComponent("b");  // deleted first: leaves the owner's list
    EXPECT_EQ(owner->ComponentCount(), 2);
    EXPECT_EQ(owner->Components(1)->Name(), "C");
    EXPECT_EQ(owner->Components(1)->ComponentIndex(), 1);
  }
  destroyLog = nullptr;
  EXPECT_EQ(log, (std::vector<std::string>{"B", "Owner", "C destroying", "A destroying"}));
}

TEST(Component, NamesAreIdentifiersUniqueWithinTheOwner) {
  TComponent owner(nullptr);
  auto* a = new TComponent(&owner);
  auto* b = new TComponent(&owner);
  a->SetName("Label1");
  EXPECT_THROW(b->SetName("LABEL1"), EComponentError);
  EXPECT_THROW(b->SetName("1abel"), EComponentError);
  EXPECT_THROW(b->SetName("La bel"), EComponentError);
  EXPECT_EQ(b->Name(), "");
  b->SetName("_x9");
  EXPECT_EQ(owner.FindComponent("_X9"), b);
  EXPECT_EQ(owner.FindComponent(""), nullptr);
  a->SetName("");
  b->SetName("Label1");  // the name is free again
  EXPECT_THROW(owner.Components(2), EListError);
}

TEST(Component, FindComponentFollowsRenamesMovesAndDeletions) {
  TComponent owner(nullptr), other(nullptr);
  auto* a = new TComponent(&owner);
  a->SetName("First");
  a->SetName("Second");
  EXPECT_EQ(owner.FindComponent("first"), nullptr);
  EXPECT_EQ(owner.FindComponent("SECOND"), a);
  other.InsertComponent(a);
  EXPECT_EQ(owner.FindComponent("Second"), nullptr);
  EXPECT_EQ(other.FindComponent("Second"), a);
  delete a;
  EXPECT_EQ(other.FindComponent("Second"), nullptr);
  EXPECT_EQ(other.ComponentCount(), 0);
}

TEST(Component, InsertComponentWithAClashingNameLeavesTheComponentWithItsOwner) {
  TComponent from(nullptr), to(nullptr);
  (new TComponent(&to))->SetName("Twin");
  auto* moving = new TComponent(&from);
  moving->SetName("TWIN");
  EXPECT_THROW(to.InsertComponent(moving), EComponentError);
  EXPECT_EQ(moving->Owner(), &from);
  EXPECT_EQ(from.FindComponent("Twin"), moving);
  EXPECT_EQ(to.ComponentCount(), 1);
}

TEST(Component, FreeNotificationReachesTheComponentsThatAsked) {
  struct Watcher : TComponent {
    using TComponent::TComponent;
    std::vector<TComponent*> gone;
    void Notification(TComponent* c, TOperation op) override {
      TComponent::Notification(c, op);
      if (op == opRemove) gone.push_back(c);
    }
  };
  Watcher watcher(nullptr);
  auto* a = new TComponent(nullptr);
  auto* b = new TComponent(nullptr);
  a->FreeNotification(&watcher);
  b->FreeNotification(&watcher);
  b->RemoveFreeNotification(&watcher);
  delete a;
  delete b;
  EXPECT_EQ(watcher.gone, std::vector<TComponent*>{a});
  // The watcher goes first: the watched component forgets it.
  auto* c = new TComponent(nullptr);
  auto* early = new Watcher(nullptr);
  c->FreeNotification(early);
  delete early;
  delete c;  // would call the freed watcher
}

TEST(Component, PublishedFieldFollowsTheNamedComponent) {
  TPeerRoot root(nullptr);
  auto* item = new TPeerItem(&root);
  item->SetName("ItemA");
  EXPECT_EQ(root.ItemA, item);
  item->SetName("Other");
  EXPECT_EQ(root.ItemA, nullptr);
  item->SetName("ItemA");
  delete item;
  EXPECT_EQ(root.ItemA, nullptr);
  auto* wrong = new TComponent(&root);  // a field of class TPeerItem cannot hold it
  EXPECT_THROW(wrong->SetName("ItemA"), EComponentError);
  EXPECT_EQ(wrong->Name(), "");
  EXPECT_EQ(root.ItemA, nullptr);
}

TEST(Component, StateAndDesigning) {
  TComponent owner(nullptr);
  auto* child = new TComponent(&owner);
  EXPECT_TRUE(owner.ComponentState().Empty());
  owner.SetDesigning(true);
  EXPECT_TRUE(child->IsDesigning());
  owner.SetDesigning(false, false);
  EXPECT_FALSE(owner.IsDesigning());
  EXPECT_TRUE(child->IsDesigning());
  child->IncludeState(csLoading);
  child->Loaded();
  EXPECT_FALSE(child->IsLoading());
}

TEST(Component, ClassRegistryCreatesByName) {
  RegisterPeerClasses();
  RegisterPeerClasses();  // registering again is harmless
  EXPECT_THROW(FindClass("TNoSuchClass"), EClassNotFound);
  EXPECT_EQ(GetClass("tpeeritem"), &TPeerItem::StaticClassInfo());
  TComponent owner(nullptr);
  TComponent* c = FindClass("TPeerItem").CreateInstance(&owner);
  EXPECT_EQ(c->ClassName(), "TPeerItem");
  EXPECT_TRUE(c->InheritsFrom<TComponent>());
  EXPECT_FALSE(c->InheritsFrom<TPeerRoot>());
  EXPECT_EQ(c->Owner(), &owner);
  static const TClassInfo clash("TPeerItem", &TComponent::StaticClassInfo());
  EXPECT_THROW(RegisterClass(clash), EFilerError);
  EXPECT_THROW(TApplication::StaticClassInfo().CreateInstance(nullptr), EClassNotFound);
}

TEST(Persistent, AssignBetweenUnrelatedClassesRaises) {
  TPeerInner inner;
  TStringList list;
  try {
    inner.Assign(&list);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "Cannot assign a TStringList to a TPeerInner.");
  }
  EXPECT_THROW(list.Assign(nullptr), EConvertError);
  TStringList other;
  other.Add("x");
  list.Assign(&other);
  EXPECT_EQ(list.Text(), "x\n");
}

TEST(Application, DestroyingFlagIsVisibleWhileOwnedComponentsGo) {
  ASSERT_EQ(Application, nullptr);
  std::vector<std::string> log;
  destroyLog = &log;
  {
    auto app = std::make_unique<TApplication>(nullptr);
    EXPECT_EQ(Application, app.get());
    app->SetTitle("Installation");
    (new Tracked(app.get()))->SetName("Form1");
    EXPECT_FALSE(ApplicationDestroying());
  }
  destroyLog = nullptr;
  EXPECT_EQ(Application, nullptr);
  EXPECT_EQ(log, (std::vector<std::string>{"Form1 app-destroying destroying"}));
}
}  // namespace
