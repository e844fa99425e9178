#include <gtest/gtest.h>

#include <stdexcept>

#include "serverlist/batch_scope.h"
#include "support/server_list_support.h"
#include "support/test_support.h"

using namespace ravelin;
using namespace ravelin::serverlist;

namespace {

const std::string kShort = " EDonkey2000 servers (2 IPs)";
const std::string kCounted = " EDonkey2000 servers (2 IPs) [2/0 - 100% checked]";

void FillTwo(ServerList& list) {
  list.append(test::makeServer("1.1.1.1"), true);
  list.append(test::makeServer("2.2.2.2"), false);
}

// The list's notifications and the bar's visibility, in the order they happen.
class EventLog : public test::RecordingObserver {
 public:
  explicit EventLog(const ServerList& list) : RecordingObserver(list) {}
  std::vector<std::string> events;
  void statusChanged() override {
    RecordingObserver::statusChanged();
    events.push_back("status");
  }
  void updatesSuspended(bool suspended) override {
    events.push_back(suspended ? "suspend" : "resume");
  }
};

class LoggedBar : public runtime::ProgressBar {
 public:
  explicit LoggedBar(std::vector<std::string>& events) : events_(events) {}

 protected:
  void changed() override {
    if (!visible()) events_.push_back("bar hidden");
  }

 private:
  std::vector<std::string>& events_;
};

}  // namespace

TEST(BatchScope, RestoresCountingWhenTheChangeThrows) {
  ServerList list;
  FillTwo(list);
  const auto failingBatch = [&list] {
    BatchScope batch(list);
    list.setChecked(1, true);
    list.setChecked(7, true);
  };
  EXPECT_THROW(failingBatch(), std::out_of_range);
  EXPECT_TRUE(list.statusCounting);
  EXPECT_EQ(list.statusText(), kCounted);
}

TEST(BatchScope, NestedBatchesRecountOnceWhenTheOutermostEnds) {
  ServerList list;
  FillTwo(list);
  test::RecordingObserver obs(list);
  list.setObserver(&obs);
  {
    BatchScope outer(list);
    {
      BatchScope inner(list);
      list.setChecked(1, true);
    }
    EXPECT_FALSE(list.statusCounting);
    EXPECT_EQ(list.statusText(), kShort);
  }
  EXPECT_TRUE(list.statusCounting);
  EXPECT_EQ(obs.statuses, (std::vector<std::string>{kShort, kCounted}));

  // Ended early with the short status: the end of the scope recounts nothing more.
  obs.statuses.clear();
  {
    BatchScope batch(list);
    batch.endWithShortStatus();
    EXPECT_TRUE(list.statusCounting);
  }
  EXPECT_EQ(obs.statuses, std::vector<std::string>{kShort});
}

TEST(BatchScope, ImportFrameResumesRepaintingThenRecountsThenHidesTheBar) {
  for (const bool fails : {false, true}) {
    ServerList list;
    FillTwo(list);
    EventLog log(list);
    list.setObserver(&log);
    LoggedBar bar(log.events);
    bar.start(2);
    try {
      BatchScope frame(list, bar);
      EXPECT_FALSE(list.statusCounting);
      list.setChecked(1, true);
      if (fails) throw std::runtime_error("import interrupted");
    } catch (const std::runtime_error&) {
    }
    EXPECT_TRUE(list.statusCounting);
    EXPECT_EQ(log.events,
              (std::vector<std::string>{"suspend", "status", "resume", "status", "bar hidden"}))
        << fails;
    EXPECT_EQ(log.statuses.back(), kCounted);
  }
}
