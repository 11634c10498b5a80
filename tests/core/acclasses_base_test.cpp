// TacPersistent, TacAddon and TacComponent.
#include <gtest/gtest.h>

#include <memory>

#include "core/Exceptions.h"
#include "core/acClasses.h"

namespace {

class CountingAddon : public TacAddon {
 public:
  using TacAddon::TacAddon;
  int changes = 0;

 protected:
  void Changed() override { ++changes; }
};

class OtherPersistent : public TacPersistent {
 public:
  using TacPersistent::TacPersistent;
};

}  // namespace

TEST(TacAddon, SetEnabledCallsChangedOnlyOnARealChange) {
  CountingAddon a(nullptr);
  const struct {
    bool value;
    int changesAfter;
  } steps[] = {{false, 0}, {true, 1}, {true, 1}, {false, 2}};
  for (const auto& s : steps) {
    a.SetEnabled(s.value);
    EXPECT_EQ(a.Enabled(), s.value);
    EXPECT_EQ(a.changes, s.changesAfter);
  }
}

TEST(TacAddon, AssignCopiesEnabledOnlyAndRefusesOtherSources) {
  TComponent ownerA(nullptr), ownerB(nullptr);
  CountingAddon source(&ownerA), dest(&ownerB);
  source.SetEnabled(true);
  dest.Assign(&source);
  EXPECT_TRUE(dest.Enabled());
  EXPECT_EQ(dest.changes, 1);
  EXPECT_EQ(dest.Owner(), &ownerB);

  OtherPersistent other(nullptr);
  EXPECT_THROW(dest.Assign(&other), EConvertError);
  EXPECT_TRUE(dest.Enabled());
}

TEST(TacPersistent, IsDesigningFollowsTheOwner) {
  TComponent owner(nullptr);
  OtherPersistent p(&owner), orphan(nullptr);
  EXPECT_FALSE(p.IsDesigning());
  owner.SetDesigning(true);
  EXPECT_TRUE(p.IsDesigning());
  EXPECT_FALSE(orphan.IsDesigning());
}

TEST(TacComponent, FormLinkIsTheOwnerAndGetOwnerFormNeedsAForm) {
  auto owner = std::make_unique<TComponent>(nullptr);
  auto* c = new TacComponent(owner.get());
  EXPECT_EQ(c->FormLink(), owner.get());
  EXPECT_EQ(c->GetOwnerForm(), nullptr);  // the owner is no form
  TacComponent orphan(nullptr);
  EXPECT_EQ(orphan.FormLink(), nullptr);
  EXPECT_EQ(orphan.GetOwnerForm(), nullptr);
  c->UpdateFormLink(nullptr);
  EXPECT_EQ(c->FormLink(), nullptr);
}

TEST(TacComponent, FormLinkIsClearedWhenTheLinkedComponentGoes) {
  TacComponent c(nullptr);
  auto* first = new TComponent(nullptr);
  auto* second = new TComponent(nullptr);
  c.SetFormLink(first);
  c.SetFormLink(second);
  delete first;  // no longer linked: nothing to clear
  EXPECT_EQ(c.FormLink(), second);
  delete second;
  EXPECT_EQ(c.FormLink(), nullptr);
  EXPECT_EQ(c.GetOwnerForm(), nullptr);
  // A component that left its owner keeps the link until the owner goes.
  auto owner = std::make_unique<TComponent>(nullptr);
  TacComponent* child = new TacComponent(owner.get());
  owner->RemoveComponent(child);
  std::unique_ptr<TacComponent> kept(child);
  EXPECT_EQ(kept->FormLink(), owner.get());
  owner.reset();
  EXPECT_EQ(kept->FormLink(), nullptr);
}

TEST(TacComponent, AboutIsPublishedButNotStored) {
  const TPropInfo* about = TacComponent::StaticClassInfo().FindProperty("About");
  ASSERT_NE(about, nullptr);
  TacComponent c(nullptr);
  c.About = "text";
  ASSERT_TRUE(about->Stored);
  EXPECT_FALSE(about->Stored(c));
  const TPropInfo* enabled = TacAddon::StaticClassInfo().FindProperty("Enabled");
  ASSERT_NE(enabled, nullptr);
}
