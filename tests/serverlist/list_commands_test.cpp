#include <gtest/gtest.h>

#include <stdexcept>

#include "serverlist/batch_scope.h"
#include "serverlist/list_commands.h"
#include "support/server_list_support.h"
#include "support/test_support.h"

using namespace ravelin;
using namespace ravelin::runtime;
using namespace ravelin::serverlist;

using test::Column;
using test::makeServer;
using test::Marks;
using Strings = std::vector<std::string>;

namespace {

// Three rows, the first checked.
void FillThree(ServerList& list) {
  list.append(makeServer("1.1.1.1"), true);
  list.append(makeServer("2.2.2.2"), false);
  list.append(makeServer("3.3.3.3"), false);
}

const std::string kShortThree = " EDonkey2000 servers (3 IPs)";

}  // namespace

TEST(CheckCommands, CheckAllUncheckAllAndInvertWithTheirLogLines) {
  test::TestApp app;
  ServerList list;
  FillThree(list);
  checkAllServers(list, app.ctx);
  EXPECT_EQ(Marks(list), (std::vector<bool>{true, true, true}));
  EXPECT_EQ(list.statusText(), " EDonkey2000 servers (3 IPs) [3/0 - 100% checked]");
  uncheckAllServers(list, app.ctx);
  EXPECT_EQ(Marks(list), (std::vector<bool>{false, false, false}));
  EXPECT_EQ(list.statusText(), " EDonkey2000 servers (3 IPs) [0/3 - 0% checked]");
  list.setChecked(1, true);
  invertCheckMarks(list, app.ctx);
  EXPECT_EQ(Marks(list), (std::vector<bool>{true, false, true}));
  EXPECT_EQ(list.statusText(), " EDonkey2000 servers (3 IPs) [2/1 - 66.67% checked]");
  EXPECT_EQ(app.logLines(),
            (Strings{"Server selection completely checked", "Server selection completely unchecked",
                     "Server selection inverted"}));
  EXPECT_TRUE(app.prompter.shown.empty());
}

TEST(CheckCommands, FollowTheBulkChangeProtocol) {
  test::TestApp app;
  ServerList list;
  FillThree(list);
  test::RecordingObserver obs(list);
  list.setObserver(&obs);
  invertCheckMarks(list, app.ctx);
  // One notification per row while counting is off, then one full recount.
  ASSERT_EQ(obs.statuses.size(), 4u);
  for (size_t i = 0; i < 3; ++i) EXPECT_EQ(obs.statuses[i], kShortThree);
  EXPECT_EQ(obs.statuses[3], " EDonkey2000 servers (3 IPs) [2/1 - 66.67% checked]");
  EXPECT_TRUE(list.statusCounting);
}

TEST(BatchScope, RestoresCountingWhenTheChangeThrows) {
  ServerList list;
  FillThree(list);
  EXPECT_THROW(
      {
        BatchScope batch(list);
        list.setChecked(7, true);
      },
      std::out_of_range);
  EXPECT_TRUE(list.statusCounting);
  EXPECT_EQ(list.statusText(), " EDonkey2000 servers (3 IPs) [1/2 - 33.33% checked]");
}

TEST(BatchScope, NestedBatchesRecountOnceWhenTheOutermostEnds) {
  ServerList list;
  FillThree(list);
  test::RecordingObserver obs(list);
  list.setObserver(&obs);
  test::RecordingProgressBar bar;
  bar.start(1);
  {
    BatchScope import(list, bar);
    BatchScope(list).endWithShortStatus();
    { BatchScope inner(list); }
    EXPECT_FALSE(list.statusCounting);
    EXPECT_TRUE(bar.visible());
  }
  EXPECT_TRUE(list.statusCounting);
  EXPECT_FALSE(bar.visible());
  EXPECT_EQ(obs.statuses,
            (Strings{kShortThree, " EDonkey2000 servers (3 IPs) [1/2 - 33.33% checked]"}));
}

TEST(DeleteServer, AsksAndRemovesTheSelectedRowOnYes) {
  test::TestApp app;
  ServerList list;
  FillThree(list);
  list.select(0);
  app.prompter.answers.push_back(MsgResult::Yes);
  EXPECT_TRUE(deleteServer(list, app.ctx));
  ASSERT_EQ(app.prompter.shown.size(), 1u);
  const auto& box = app.prompter.shown[0];
  EXPECT_EQ(box.title, "Warning");
  EXPECT_EQ(box.text, "Do you really want to delete this server ?\r\n1.1.1.1:4661");
  EXPECT_EQ(box.icon, MsgIcon::Exclamation);
  EXPECT_EQ(box.buttons, MsgButtons::YesNo);
  EXPECT_EQ(Column(list, fIP), (Strings{"2.2.2.2", "3.3.3.3"}));
  EXPECT_EQ(list.statusText(), " EDonkey2000 servers (2 IPs) [0/2 - 0% checked]");
  EXPECT_EQ(app.logLines(), (Strings{"Server deleted"}));
  EXPECT_FALSE(list.selected());
}

TEST(DeleteServer, NoLeavesListAndLogUnchangedButRecounts) {
  test::TestApp app;
  ServerList list;
  FillThree(list);
  list.select(1);
  list.statusCounting = false;
  list.recount();
  list.statusCounting = true;
  app.prompter.answers.push_back(MsgResult::No);
  EXPECT_FALSE(deleteServer(list, app.ctx));
  EXPECT_EQ(list.size(), 3u);
  EXPECT_EQ(list.selected(), 1u);
  EXPECT_EQ(list.statusText(), " EDonkey2000 servers (3 IPs) [1/2 - 33.33% checked]");
  EXPECT_TRUE(app.logLines().empty());
}

TEST(DeleteServer, WithoutSelectionDoesNothing) {
  test::TestApp app;
  ServerList list;
  FillThree(list);
  EXPECT_FALSE(deleteServer(list, app.ctx));
  EXPECT_TRUE(app.prompter.shown.empty());
  EXPECT_EQ(list.size(), 3u);
}

TEST(ClearServerList, YesRemovesAllRowsAndLeavesTheShortForm) {
  test::TestApp app;
  ServerList list;
  FillThree(list);
  app.prompter.answers.push_back(MsgResult::Yes);
  EXPECT_TRUE(clearServerList(list, app.ctx));
  ASSERT_EQ(app.prompter.shown.size(), 1u);
  const auto& box = app.prompter.shown[0];
  EXPECT_EQ(box.title, "Warning");
  EXPECT_EQ(box.text, "Do you really want to clear the whole list?");
  EXPECT_EQ(box.icon, MsgIcon::Exclamation);
  EXPECT_EQ(box.buttons, MsgButtons::YesNo);
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(list.statusText(), " EDonkey2000 servers (0 IPs)");
  EXPECT_TRUE(list.statusCounting);
  EXPECT_EQ(app.logLines(), (Strings{"Serverlist completely cleared"}));
  // The next change of the list counts again.
  list.append(makeServer("4.4.4.4"), true);
  EXPECT_EQ(list.statusText(), " EDonkey2000 servers (1 IPs) [1/0 - 100% checked]");
}

TEST(ClearServerList, NoKeepsTheRowsButAlsoLeavesTheShortForm) {
  test::TestApp app;
  ServerList list;
  FillThree(list);
  app.prompter.answers.push_back(MsgResult::No);
  EXPECT_FALSE(clearServerList(list, app.ctx));
  EXPECT_EQ(list.size(), 3u);
  EXPECT_EQ(list.statusText(), kShortThree);
  EXPECT_TRUE(list.statusCounting);
  EXPECT_TRUE(app.logLines().empty());
}

TEST(ClearServerList, WhileAScriptRunsClearsWithoutAsking) {
  test::TestApp app;
  app.ctx.state.scriptRunning = true;
  ServerList list;
  FillThree(list);
  EXPECT_TRUE(clearServerList(list, app.ctx));
  EXPECT_TRUE(app.prompter.shown.empty());
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(app.logLines(), (Strings{"Serverlist completely cleared"}));
}

TEST(SetPreferenceOfChecked, SetsPrefOfCheckedRowsOnly) {
  ServerList list;
  FillThree(list);
  list.setChecked(2, true);
  test::RecordingObserver obs(list);
  list.setObserver(&obs);
  setPreferenceOfChecked(list, "High");
  EXPECT_EQ(Column(list, fPref), (Strings{"High", "Normal", "High"}));
  ASSERT_FALSE(obs.statuses.empty());
  EXPECT_EQ(obs.statuses.front(), kShortThree);
  EXPECT_EQ(obs.statuses.back(), " EDonkey2000 servers (3 IPs) [2/1 - 66.67% checked]");
  EXPECT_TRUE(list.statusCounting);
}

TEST(PopupMenu, ItemsNeedASelectedRowExceptAddAndClear) {
  ServerList list;
  FillThree(list);
  EXPECT_STREQ(kPopupItemCaptions[kPopupDefaultItem], "Edit server...");
  auto enabled = popupItemsEnabled(list);
  for (int i = 0; i < kPopupItemCount; ++i) {
    EXPECT_EQ(enabled[static_cast<size_t>(i)], i == piAddServer || i == piClearList)
        << kPopupItemCaptions[static_cast<size_t>(i)];
  }
  list.select(2);
  enabled = popupItemsEnabled(list);
  for (bool e : enabled) EXPECT_TRUE(e);
}

TEST(PopupMenu, DeleteKeyAndDoubleClickNeedASelectedRow) {
  ServerList list;
  FillThree(list);
  EXPECT_FALSE(deleteKeyRunsDelete(list));
  EXPECT_FALSE(doubleClickRunsEdit(list));
  list.select(0);
  EXPECT_TRUE(deleteKeyRunsDelete(list));
  EXPECT_TRUE(doubleClickRunsEdit(list));
}
