// TacUniqueList and TacObjectList: add-once, ownership, event order, streams, record sets.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/Application.h"
#include "core/MemoryStream.h"
#include "core/acClasses.h"

namespace {

// An item that records its own destruction in a shared log.
class Tracked : public TObject {
 public:
  Tracked(std::string name, std::vector<std::string>& log) : name(std::move(name)), log_(log) {}
  ~Tracked() override { log_.push_back("free " + name); }
  std::string name;

 private:
  std::vector<std::string>& log_;
};

struct ListWithLog {
  std::vector<std::string> log;
  TacObjectList list{true, 0};

  ListWithLog() {
    list.OnAdded.Bind([this](TObject*, TObject* item) { log.push_back("added " + Name(item)); });
    list.OnRemoved.Bind([this](TObject*, TObject* item) { log.push_back("removed " + Name(item)); });
    list.OnChanged.Bind([this](TObject* sender) {
      EXPECT_EQ(sender, &list);
      log.push_back("changed");
    });
  }
  Tracked* Make(const std::string& name) { return new Tracked(name, log); }
  static std::string Name(TObject* item) { return static_cast<Tracked*>(item)->name; }
};

using Log = std::vector<std::string>;

}  // namespace

TEST(TacObjectList, AddOnceRefusesNilAndDuplicatesWithoutFreeingThem) {
  ListWithLog l;
  Tracked* a = l.Make("a");
  EXPECT_EQ(l.list.Add(a), 0);
  EXPECT_EQ(l.list.Add(a), -1);
  EXPECT_EQ(l.list.Add(static_cast<TObject*>(nullptr)), -1);
  EXPECT_EQ(l.list.Count(), 1);
  EXPECT_EQ(l.log, (Log{"added a", "changed"}));
}

TEST(TacObjectList, NotificationsComeInOrderAndOwnedItemsAreFreed) {
  struct Case {
    const char* name;
    void (*act)(ListWithLog&);
    Log expected;
  };
  const Case cases[] = {
      {"delete by index", [](ListWithLog& l) { l.list.Delete(1); }, {"removed b", "free b", "changed"}},
      {"remove by identity",
       [](ListWithLog& l) { l.list.Remove(l.list.Items(0)); },
       {"removed a", "free a", "changed"}},
      {"extract keeps the item alive",
       [](ListWithLog& l) {
         std::unique_ptr<TObject> kept(static_cast<TObject*>(l.list.Extract(l.list.Items(2))));
         l.log.push_back("still alive " + ListWithLog::Name(kept.get()));
       },
       {"removed c", "changed", "still alive c", "free c"}},
      {"clear goes last to first",
       [](ListWithLog& l) { l.list.Clear(); },
       {"removed c", "free c", "changed", "removed b", "free b", "changed", "removed a", "free a", "changed"}},
      {"replace deletes the old item",
       [](ListWithLog& l) { l.list.Put(0, l.Make("x")); },
       {"removed a", "free a", "changed", "added x", "changed"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ListWithLog l;
    for (const char* n : {"a", "b", "c"}) l.list.Add(l.Make(n));
    l.log.clear();
    c.act(l);
    EXPECT_EQ(l.log, c.expected);
  }
}

TEST(TacObjectList, ListThatDoesNotOwnLeavesItemsAlive) {
  std::vector<std::string> log;
  Tracked a("a", log);
  {
    TacObjectList list(false, 7);
    EXPECT_EQ(list.Value(), 7);
    list.Add(&a);
    list.Delete(0);
    list.Add(&a);
  }
  EXPECT_TRUE(log.empty());
}

TEST(TacObjectList, DestructionFreesTheItemsLastFirst) {
  std::vector<std::string> log;
  {
    TacObjectList list(true, 0);
    list.Add(new Tracked("a", log));
    list.Add(new Tracked("b", log));
  }
  EXPECT_EQ(log, (Log{"free b", "free a"}));
}

TEST(TacObjectList, RefusedByCanAddIsFreedOnlyWhenOwned) {
  class Refusing : public TacObjectList {
   public:
    using TacObjectList::TacObjectList;
    bool CanAdd(TObject*) override { return false; }
  };
  std::vector<std::string> log;
  Refusing owning(true, 0);
  EXPECT_EQ(owning.Add(new Tracked("a", log)), -1);
  EXPECT_EQ(log, (Log{"free a"}));
  Refusing notOwning(false, 0);
  Tracked b("b", log);
  EXPECT_EQ(notOwning.Add(&b), -1);
  EXPECT_EQ(log, (Log{"free a"}));
}

TEST(TacObjectList, NoEventsWhileTheApplicationIsDestroyed) {
  auto log = std::make_shared<Log>();
  {
    auto app = std::make_unique<TApplication>(nullptr);
    // A component owned by the application holds a list; it goes while the application is
    // being destroyed.
    struct Holder : TComponent {
      Holder(TComponent* owner, std::shared_ptr<Log> log) : TComponent(owner), list(true, 0) {
        list.Add(new Tracked("a", *log));
        list.OnRemoved.Bind([log](TObject*, TObject*) { log->push_back("removed"); });
        list.OnChanged.Bind([log](TObject*) { log->push_back("changed"); });
      }
      TacObjectList list;
    };
    new Holder(app.get(), log);
  }
  EXPECT_EQ(*log, (Log{"free a"}));
}

TEST(TacObjectList, SaveToStreamWritesTheCountThenEachItem) {
  class Writing : public TacObjectList {
   public:
    using TacObjectList::TacObjectList;
    void WriteItem(int index, TStream& stream) override { stream.WriteByte(static_cast<uint8_t>(0xA0 + index)); }
  };
  std::vector<std::string> log;
  TacObjectList plain(true, 0);
  plain.Add(new Tracked("a", log));
  plain.Add(new Tracked("b", log));
  TMemoryStream s;
  plain.SaveToStream(s);
  EXPECT_EQ(s.Bytes(), std::string("\x02\x00\x00\x00", 4));

  Writing writing(true, 0);
  writing.Add(new Tracked("c", log));
  TMemoryStream t;
  writing.SaveToStream(t);
  EXPECT_EQ(t.Bytes(), std::string("\x01\x00\x00\x00\xA0", 5));
}

TEST(TacObjectList, LoadFromStreamReadsTheCountAndCallsReadItem) {
  class Reading : public TacObjectList {
   public:
    using TacObjectList::TacObjectList;
    std::vector<int> read;
    void ReadItem(TStream& stream) override { read.push_back(stream.ReadByte()); }
  };
  struct Case {
    std::string bytes;
    bool clear;
    std::vector<int> expected;
    int countAfter;
  };
  const Case cases[] = {
      {std::string("\x02\x00\x00\x00\x05\x06", 6), true, {5, 6}, 0},
      {std::string("\x00\x00\x00\x00", 4), false, {}, 1},
      {std::string("\xFF\xFF\xFF\xFF", 4), false, {}, 1},  // a negative count reads nothing
  };
  for (const Case& c : cases) {
    std::vector<std::string> log;
    Reading list(true, 0);
    list.Add(new Tracked("x", log));
    TMemoryStream s(c.bytes);
    list.LoadFromStream(s, c.clear);
    EXPECT_EQ(list.read, c.expected);
    EXPECT_EQ(list.Count(), c.countAfter);
  }
}

TEST(TacObjectList, LoadFromDataSetWalksEveryRecordAndClosesWhenAsked) {
  class Records : public TacRecordSet {
   public:
    explicit Records(int n) : n_(n) {}
    int32_t RecordCount() override { return n_; }
    void First() override {
      pos_ = 0;
      log.push_back("first");
    }
    void Next() override { ++pos_; }
    bool Eof() override { return pos_ >= n_; }
    void Close() override { log.push_back("close"); }
    int pos_ = -1;
    Log log;

   private:
    int n_;
  };
  class Reading : public TacObjectList {
   public:
    using TacObjectList::TacObjectList;
    void ReadRecord(TacRecordSet& r) override {
      ++records;
      static_cast<Records&>(r).log.push_back("read");
    }
    int records = 0;
  };
  struct Case {
    int records;
    bool closeAfter;
    Log expected;
  };
  const Case cases[] = {
      {2, true, {"first", "read", "read", "close"}},
      {0, true, {"close"}},
      {1, false, {"first", "read"}},
  };
  for (const Case& c : cases) {
    Records r(c.records);
    Reading list(true, 0);
    list.LoadFromDataSet(r, true, c.closeAfter);
    EXPECT_EQ(r.log, c.expected);
  }
}

TEST(TacObjectList, AnItemAlreadyInTheListIsNeverFreedByARefusedAdd) {
  class OneOnly : public TacObjectList {
   public:
    using TacObjectList::TacObjectList;
    bool CanAdd(TObject*) override { return Count() == 0; }
  };
  std::vector<std::string> log;
  {
    OneOnly list(true, 0);
    Tracked* a = new Tracked("a", log);
    EXPECT_EQ(list.Add(a), 0);
    EXPECT_EQ(list.Add(a), -1);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(list.Items(0), a);
  }
  EXPECT_EQ(log, (Log{"free a"}));
}

TEST(TacUniqueList, PutAndInsertRefuseAnItemAlreadyThere) {
  std::vector<std::string> log;
  {
    TacObjectList list(true, 0);
    Tracked* a = new Tracked("a", log);
    Tracked* b = new Tracked("b", log);
    list.Add(a);
    list.Add(b);
    EXPECT_FALSE(list.Insert(0, b));
    EXPECT_FALSE(list.Put(0, b));
    EXPECT_TRUE(list.Put(1, b));  // the same item in its own place changes nothing
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Items(0), a);
    EXPECT_EQ(list.Items(1), b);
    EXPECT_TRUE(log.empty());
    Tracked* c = new Tracked("c", log);
    EXPECT_TRUE(list.Insert(1, c));
    EXPECT_EQ(list.IndexOf(c), 1);
  }
  EXPECT_EQ(log, (Log{"free b", "free c", "free a"}));
}

TEST(TacUniqueList, StreamCreationAndDestructionReachTheDescendant) {
  class Reading : public TacObjectList {
   public:
    explicit Reading(std::vector<std::string>& log) : TacObjectList(true, 0), log_(log) {}
    ~Reading() override { ClearOnDestroy(); }
    void ReadItem(TStream& stream) override { Add(new Tracked(std::to_string(stream.ReadByte()), log_)); }
    void DoRemoved(TObject* item) override { log_.push_back("removed " + ListWithLog::Name(item)); }

   private:
    std::vector<std::string>& log_;
  };
  std::vector<std::string> log;
  TMemoryStream s(std::string("\x02\x00\x00\x00\x05\x06", 6));
  // The descendant is complete before the stream is read: its ReadItem makes the items.
  std::unique_ptr<Reading> list = TacUniqueList::CreateFromStream<Reading>(s, log);
  ASSERT_EQ(list->Count(), 2);
  list.reset();
  EXPECT_EQ(log, (Log{"removed 6", "free 6", "removed 5", "free 5"}));
}
