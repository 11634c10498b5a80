// TList: notifications, their order, range checks, and the last-to-first clearing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Exceptions.h"
#include "core/PointerList.h"

namespace {
int a = 1, b = 2, c = 3, d = 4;

class RecordingList : public TList {
 public:
  explicit RecordingList(std::vector<std::string>* log) : log_(log) {}
  ~RecordingList() override { ClearOnDestroy(); }

 protected:
  void Notify(void* item, TListNotification action) override {
    static const char* names[] = {"added", "extracted", "deleted"};
    // The list no longer holds a deleted or extracted item when it is notified.
    bool present = IndexOf(item) >= 0;
    log_->push_back(std::string(names[action]) + " " + std::to_string(*static_cast<int*>(item)) +
                    (present ? " in" : " out"));
  }

 private:
  std::vector<std::string>* log_;
};

struct ListCase {
  const char* name;
  void (*run)(TList&);
  std::vector<std::string> expected;
};

class ListNotify : public ::testing::TestWithParam<ListCase> {};

TEST_P(ListNotify, CallsNotifyAsDocumented) {
  std::vector<std::string> log;
  {
    RecordingList list(&log);
    list.Add(&a);
    list.Add(&b);
    list.Add(&c);
    log.clear();
    GetParam().run(list);
  }
  EXPECT_EQ(log, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Operations, ListNotify,
    ::testing::Values(ListCase{"Destroy", [](TList&) {}, {"deleted 3 out", "deleted 2 out", "deleted 1 out"}},
                      ListCase{"Clear",
                               [](TList& l) {
                                 l.Clear();
                                 EXPECT_EQ(l.Count(), 0);
                               },
                               {"deleted 3 out", "deleted 2 out", "deleted 1 out"}},
                      ListCase{
                          "Delete", [](TList& l) { l.Delete(1); }, {"deleted 2 out", "deleted 3 out", "deleted 1 out"}},
                      ListCase{"Remove",
                               [](TList& l) { EXPECT_EQ(l.Remove(&c), 2); },
                               {"deleted 3 out", "deleted 2 out", "deleted 1 out"}},
                      ListCase{"Extract",
                               [](TList& l) { EXPECT_EQ(l.Extract(&a), &a); },
                               {"extracted 1 out", "deleted 3 out", "deleted 2 out"}},
                      ListCase{"Put",
                               [](TList& l) { l.Put(0, &d); },
                               {"deleted 1 out", "added 4 in", "deleted 3 out", "deleted 2 out", "deleted 4 out"}},
                      ListCase{"InsertAndNil",
                               [](TList& l) {
                                 l.Insert(0, &d);
                                 l.Add(nullptr);  // nil items are not notified
                                 l.Delete(4);
                               },
                               {"added 4 in", "deleted 3 out", "deleted 2 out", "deleted 1 out", "deleted 4 out"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PointerList, RangeChecksRaiseListError) {
  TList list;
  list.Add(&a);
  EXPECT_EQ(list.IndexOf(&a), 0);
  EXPECT_EQ(list.IndexOf(&b), -1);
  EXPECT_EQ(list.Extract(&b), nullptr);
  EXPECT_EQ(list.Remove(&b), -1);
  try {
    list.Get(1);
    FAIL();
  } catch (const EListError& e) {
    EXPECT_STREQ(e.what(), "List index (1) out of bounds");
  }
  EXPECT_THROW(list.Get(-1), EListError);
  EXPECT_THROW(list.Delete(1), EListError);
  EXPECT_THROW(list.Put(3, &b), EListError);
  EXPECT_THROW(list.Insert(2, &b), EListError);
}
}  // namespace
