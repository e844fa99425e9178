// The verification run end to end: the attempt engine's loops on their own threads, the
// user-interface thread served by the test's event loop on a manual clock that the tests
// move on, and real peers on loopback (listeners that accept, ports nobody listens on, a
// listener whose accept queue is full, danted).
#include <gtest/gtest.h>

#include <memory>

#include "app/ini_file.h"
#include "app/settings_store.h"
#include "peers/dante_proxy.h"
#include "peers/loopback_peers.h"
#include "platform/clock.h"
#include "runtime/loop_ui_thread.h"
#include "serverlist/ip_port.h"
#include "verify/verify_support.h"

using namespace ravelin;
using namespace ravelin::platform;
using namespace ravelin::runtime;
using namespace ravelin::serverlist;
using namespace ravelin::verify;
using namespace ravelin::app;

namespace {

using test::LoopbackListener;
using test::RecordingVerifyView;

class VerifyTest : public ::testing::Test {
 protected:
  VerifyTest() : ui(clock, loop) {
    app.ctx.ui = &ui;
    app.ctx.clock = &clock;
    app.ctx.settings.VrfWarning = false;
    app.ctx.settings.VrfTimeout = 1;
    app.ctx.settings.VrfThreadCount = 5;
    view.displayPauses = false;  // the manual clock would hold a pause for ever
  }
  void add(const std::string& ip, const std::string& port, bool checked) {
    Server s;
    s.ip = ip;
    s.port = port;
    list.append(s, checked);
  }
  void add(const std::string& ip, std::uint16_t port, bool checked) {
    add(ip, std::to_string(port), checked);
  }
  bool checked(std::size_t row) const { return list[row].checked; }
  std::string line(std::uint16_t port, const std::string& ending,
                   const std::string& ip = "127.0.0.1") {
    return "Host (" + ip + ":" + std::to_string(port) + ")" + ending;
  }

  platform::EventLoop loop;
  ManualClock clock;
  test::ClockedUiThread ui;
  test::TestApp app;
  ServerList list;
  RecordingVerifyView view;
};

TEST_F(VerifyTest, EmptyList) {
  runVerify(list, app.ctx, view, false);
  EXPECT_EQ(app.logLines(), (std::vector<std::string>{"Verifying 0 server IPs",
                                                      "Verification ended successfully"}));
  EXPECT_EQ(view.headlines, std::vector<std::string>{"Verifying 0 server IPs..."});
  EXPECT_EQ(view.descriptions, std::vector<std::string>{"(0/0)"});
  EXPECT_EQ(view.bar.max(), 0);
  EXPECT_EQ(view.shows, 1);
  EXPECT_EQ(view.closes, 1);
  EXPECT_EQ(view.mainEnabledHistory, (std::vector<bool>{false, true}));
  EXPECT_FALSE(app.ctx.state.operationDone);
}

TEST_F(VerifyTest, AcceptedRefusedAndTimedOut) {
  LoopbackListener accepting;
  LoopbackListener full(/*accepting=*/false, /*backlog=*/0);
  const int filled = full.fillAcceptQueue();
  ASSERT_TRUE(filled >= 1 && filled < 64);
  const std::uint16_t closed = test::ClosedLoopbackPort();
  add("127.0.0.1", accepting.port(), true);
  add("127.0.0.1", closed, true);
  add("127.0.0.1", full.port(), true);
  add("127.0.0.1", accepting.port(), false);  // not tested: VerifyAll is off
  // The silent server's time-out passes once the others have their verdicts.
  ui.ready = [&] {
    return view.linesContaining("accepted") + view.linesContaining("refused") == 2;
  };

  runVerify(list, app.ctx, view, /*verifyAll=*/false);

  EXPECT_TRUE(checked(0));
  EXPECT_FALSE(checked(1));
  EXPECT_FALSE(checked(2));
  EXPECT_FALSE(checked(3));
  EXPECT_EQ(accepting.acceptedOnceAt(1), 1);

  const auto* ok = view.findLine(line(accepting.port(), " accepted the connection!"));
  ASSERT_NE(ok, nullptr);
  EXPECT_EQ(ok->mark, SlotMark::Ok);
  const auto* refused = view.findLine(line(closed, " refused the connection!"));
  ASSERT_NE(refused, nullptr);
  EXPECT_EQ(refused->mark, SlotMark::Failed);
  const auto* timedOut = view.findLine(line(full.port(), " timed out!"));
  ASSERT_NE(timedOut, nullptr);
  EXPECT_EQ(timedOut->mark, SlotMark::Failed);
  const auto* contacted =
      view.findLine(line(accepting.port(), " has been contacted! Waiting for connection..."));
  ASSERT_NE(contacted, nullptr);
  EXPECT_EQ(contacted->mark, SlotMark::Neutral);
  // Each server keeps its line: the last one shown there is its verdict.
  EXPECT_EQ(view.slots.size(), 3u);
  for (auto& [slot, lines] : view.slots) EXPECT_NE(lines.back().mark, SlotMark::Neutral);
  EXPECT_EQ(view.bar.position(), 4);
  EXPECT_EQ(view.bar.max(), 4);
  EXPECT_EQ(view.descriptions.back(), "(4/4)");
  EXPECT_EQ(app.logLines(), (std::vector<std::string>{"Verifying 4 server IPs",
                                                      "Verification ended successfully"}));
  EXPECT_EQ(view.headlines, std::vector<std::string>{"Verifying 4 server IPs..."});
  EXPECT_FALSE(app.ctx.state.operationDone);
  EXPECT_TRUE(view.mainEnabled);
  EXPECT_EQ(list.statusText(), statusTextCounting(4, 1));
}

TEST_F(VerifyTest, VerifyAllChecksServersThatAccept) {
  LoopbackListener accepting;
  const std::uint16_t closed = test::ClosedLoopbackPort();
  add("127.0.0.1", accepting.port(), false);
  add("127.0.0.1", closed, true);
  add("127.0.0.1", accepting.port(), false);
  runVerify(list, app.ctx, view, /*verifyAll=*/true);
  EXPECT_TRUE(checked(0));
  EXPECT_FALSE(checked(1));
  EXPECT_TRUE(checked(2));
  EXPECT_EQ(accepting.acceptedOnceAt(2), 2);
}

TEST_F(VerifyTest, VerifyCheckedLeavesUncheckedServersAlone) {
  LoopbackListener accepting;
  for (int i = 0; i < 10; ++i) add("127.0.0.1", accepting.port(), i < 3);
  runVerify(list, app.ctx, view, /*verifyAll=*/false);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(checked(static_cast<std::size_t>(i)), i < 3) << i;
  EXPECT_EQ(accepting.acceptedOnceAt(3), 3);
  EXPECT_EQ(view.bar.position(), 10);
  EXPECT_EQ(view.descriptions.back(), "(10/10)");
}

TEST_F(VerifyTest, UntestableCaptionsAndPortsAreUncheckedWithoutATest) {
  LoopbackListener accepting;
  const std::string port = std::to_string(accepting.port());
  add(" 127.0.0.1 ", port, true);  // trimmed, then tested
  for (const char* bad : {"010.0.0.1", "0.1.2.3", "1.2.3", "1.2.3.4.", "1..2.3", "256.1.1.1"})
    add(bad, port, true);
  add("127.0.0.1", "0", true);
  add("127.0.0.1", " " + port + " ", true);  // port trimmed for the test
  runVerify(list, app.ctx, view, /*verifyAll=*/false);
  EXPECT_TRUE(checked(0));
  for (std::size_t i = 1; i <= 7; ++i) EXPECT_FALSE(checked(i)) << list[i].server.ip;
  EXPECT_TRUE(checked(8));
  EXPECT_EQ(accepting.acceptedOnceAt(2), 2) << "only the two testable servers were contacted";
  EXPECT_NE(view.findLine(line(accepting.port(), " accepted the connection!")), nullptr);
  EXPECT_EQ(view.bar.position(), 9);
  // Captions that are tested (not connected to here: only the rule is checked).
  EXPECT_TRUE(isValidIP("1.0.0.1"));
  EXPECT_TRUE(isValidIP("1.00.2.3"));
}

// One server at a time: strictly one after the other, all on the only status line.
TEST_F(VerifyTest, OneAtOnceTestsStrictlyOneAfterTheOther) {
  app.ctx.settings.VrfThreadCount = 1;
  app.ctx.settings.VrfParallel = 1;
  LoopbackListener accepting;
  for (int i = 0; i < 3; ++i) add("127.0.0.1", accepting.port(), true);
  runVerify(list, app.ctx, view, false);
  EXPECT_EQ(view.slots.size(), 1u);
  ASSERT_EQ(view.slots.count(0), 1u);
  EXPECT_EQ(view.slots[0].size(), 6u);  // contacted and verdict per server
  EXPECT_EQ(view.maxInFlight, 1);
  EXPECT_EQ(accepting.acceptedOnceAt(3), 3);
}

// Many at once on a mix of servers: every verdict right, as many in flight as allowed, the
// few status lines showing the latest attempts, the tally complete.
TEST_F(VerifyTest, ManyAtOnceOnAMixOfServers) {
  app.ctx.settings.VrfThreadCount = 4;
  app.ctx.settings.VrfParallel = 24;
  LoopbackListener accepting;
  LoopbackListener full(/*accepting=*/false, /*backlog=*/0);
  ASSERT_LT(full.fillAcceptQueue(), 64);
  const std::uint16_t closed = test::ClosedLoopbackPort();
  const std::uint16_t ports[] = {accepting.port(), closed, full.port()};
  for (int i = 0; i < 60; ++i) add("127.0.0.1", ports[i % 3], true);
  ui.ready = [&] { return view.done == 40; };  // then the silent ones time out
  runVerify(list, app.ctx, view, false);
  for (std::size_t i = 0; i < 60; ++i) EXPECT_EQ(checked(i), i % 3 == 0) << i;
  EXPECT_EQ(accepting.acceptedOnceAt(20), 20);
  EXPECT_EQ(view.maxInFlight, 24);
  EXPECT_EQ(view.slots.size(), 4u);
  EXPECT_EQ(view.linesContaining("timed out!"), 20);
  EXPECT_EQ(view.done, 60);
  EXPECT_EQ(view.reachable, 20);
  EXPECT_EQ(view.bar.position(), 60);
  EXPECT_EQ(view.descriptions.back(), "(60/60)");
}

TEST_F(VerifyTest, ThreadCountOutsideThePoolIsBroughtIntoIt) {
  LoopbackListener accepting;
  add("127.0.0.1", accepting.port(), true);
  app.ctx.settings.VrfThreadCount = 0;
  runVerify(list, app.ctx, view, false);
  EXPECT_TRUE(checked(0));
  app.ctx.settings.VrfThreadCount = 99;
  runVerify(list, app.ctx, view, false);
  EXPECT_TRUE(checked(0));
}

TEST_F(VerifyTest, CancelWhileAllSlotsAreBusy) {
  app.ctx.settings.VrfThreadCount = 3;
  app.ctx.settings.VrfParallel = 3;
  app.ctx.settings.VrfTimeout = 30;
  LoopbackListener full(/*accepting=*/false, /*backlog=*/0);
  ASSERT_LT(full.fillAcceptQueue(), 64);
  for (int i = 0; i < 6; ++i) add("127.0.0.1", full.port(), true);
  add("127.0.0.1", full.port(), false);
  int contacted = 0;
  std::size_t headlinesAtCancel = 0;
  view.onSlotCaption = [&](int, const std::string& text) {
    if (text.find("has been contacted") != std::string::npos && ++contacted == 3) {
      view.cancel();
      headlinesAtCancel = view.headlines.size();
    }
  };
  runVerify(list, app.ctx, view, false);
  EXPECT_EQ(clock.ticks(), 0u) << "the 30 s time-outs were not waited for";
  ASSERT_EQ(contacted, 3);
  EXPECT_EQ(view.headlines.back(), "Waiting for working threads to close...");
  EXPECT_EQ(headlinesAtCancel, view.headlines.size()) << "the headline changes at once";
  // The three interrupted servers stay checked and step the bar, as does the unchecked one
  // that the walk passed over before any attempt; the rest is untouched.
  for (int i = 0; i < 6; ++i) EXPECT_TRUE(checked(static_cast<std::size_t>(i)));
  EXPECT_FALSE(checked(6));
  EXPECT_EQ(view.bar.position(), 4);
  EXPECT_EQ(view.linesContaining("timed out"), 0);
  EXPECT_EQ(view.linesContaining("refused"), 0);
  EXPECT_EQ(app.logLines(),
            (std::vector<std::string>{"Verifying 7 server IPs", "Verification cancelled"}));
  EXPECT_TRUE(view.mainEnabled);
  EXPECT_EQ(view.closes, 1);
  EXPECT_FALSE(app.ctx.state.operationDone);
}

TEST_F(VerifyTest, CancelAfterTheLastServerWasHandedOut) {
  // Every server is in flight: Cancel comes while the run waits for the last verdicts.
  app.ctx.settings.VrfThreadCount = 3;
  app.ctx.settings.VrfTimeout = 30;
  LoopbackListener full(/*accepting=*/false, /*backlog=*/0);
  ASSERT_LT(full.fillAcceptQueue(), 64);
  add("127.0.0.1", full.port(), true);
  add("127.0.0.1", full.port(), true);
  int contacted = 0;
  view.onSlotCaption = [&](int, const std::string& text) {
    if (text.find("has been contacted") != std::string::npos && ++contacted == 2) view.cancel();
  };
  runVerify(list, app.ctx, view, false);
  EXPECT_EQ(view.headlines.back(), "Waiting for working threads to close...");
  EXPECT_TRUE(checked(0) && checked(1));
  EXPECT_EQ(app.logLines(),
            (std::vector<std::string>{"Verifying 2 server IPs", "Verification cancelled"}));
  EXPECT_EQ(view.closes, 1);
}

// The run gives the details panel its slots and leaves it shown or hidden as the user did.
TEST_F(VerifyTest, DetailsPanelKeepsTheUsersStateAndShowsTheRunsSlots) {
  app.ctx.settings.VrfThreadCount = 3;
  runVerify(list, app.ctx, view, false);
  EXPECT_TRUE(view.detailsShown());
  EXPECT_EQ(view.slotCount(), 3);
  view.toggleDetails();
  app.ctx.settings.VrfThreadCount = 40;  // edited by hand: the pool has 20 slots
  runVerify(list, app.ctx, view, false);
  EXPECT_FALSE(view.detailsShown());
  EXPECT_EQ(view.slotCount(), 20);
}

TEST_F(VerifyTest, WarningDialogComesFirstUnlessAScriptRuns) {
  LoopbackListener accepting;
  add("127.0.0.1", accepting.port(), false);
  app.ctx.settings.VrfWarning = true;
  const std::string ini = app.dir.file("ravelin.ini");
  const auto save = [&] { storeVrfWarning(app.ctx.settings.VrfWarning, ini); };
  test::ScriptedWarningDialog dialog;

  // Cancel: nothing happens at all.
  dialog.proceed = false;
  runVerify(list, app.ctx, view, true, &dialog, save);
  EXPECT_EQ(dialog.shown, 1);
  EXPECT_EQ(dialog.lastText, verifyWarningText());
  EXPECT_FALSE(dialog.initialChecked);
  EXPECT_EQ(view.shows, 0);
  EXPECT_TRUE(view.mainEnabledHistory.empty());
  EXPECT_TRUE(app.logLines().empty());
  EXPECT_FALSE(checked(0));
  EXPECT_TRUE(app.ctx.settings.VrfWarning);
  EXPECT_FALSE(IniFile(ini).valueExists("verify", "VrfWarning"));

  // A script never sees the dialog.
  app.ctx.state.scriptRunning = true;
  runVerify(list, app.ctx, view, true, &dialog, save);
  EXPECT_EQ(dialog.shown, 1);
  EXPECT_TRUE(checked(0));
  app.ctx.state.scriptRunning = false;

  // Ticking the box and cancelling turns the warning off and still cancels.
  list.setChecked(0, false);
  dialog.tick = true;
  runVerify(list, app.ctx, view, true, &dialog, save);
  EXPECT_EQ(dialog.shown, 2);
  EXPECT_FALSE(app.ctx.settings.VrfWarning);
  EXPECT_EQ(IniFile(ini).readString("verify", "VrfWarning", "?"), "0");
  EXPECT_FALSE(checked(0));

  // Now no dialog: the run goes ahead.
  runVerify(list, app.ctx, view, true, &dialog, save);
  EXPECT_EQ(dialog.shown, 2);
  EXPECT_TRUE(checked(0));
}

TEST(VerifyWarningTest, TextAndProceed) {
  const std::string text = verifyWarningText();
  EXPECT_EQ(text.rfind("It is recommended NOT to use server verification.\r\n", 0), 0u);
  EXPECT_EQ(text.substr(text.size() - 32), "although they are still working.");
  int breaks = 0;
  for (std::size_t p = text.find("\r\n"); p != std::string::npos; p = text.find("\r\n", p + 1))
    ++breaks;
  EXPECT_EQ(breaks, 7);
  test::TestApp app;
  app.ctx.settings.VrfWarning = true;
  test::ScriptedWarningDialog dialog;
  dialog.proceed = true;
  EXPECT_TRUE(confirmVerification(dialog, app.ctx, {}));
  EXPECT_TRUE(app.ctx.settings.VrfWarning);
}

TEST_F(VerifyTest, ThroughDanteAsSocksProxy) {
  test::DanteProxy dante;
  ASSERT_EQ(dante.failure(), "");
  LoopbackListener accepting;
  const std::uint16_t closed = test::ClosedLoopbackPort();
  add("127.0.0.1", accepting.port(), false);
  add("127.0.0.1", closed, true);
  for (int i = 0; i < 4; ++i) add("127.0.0.1", accepting.port(), false);
  app.ctx.settings.ProxyAddr = "127.0.0.1";
  app.ctx.settings.ProxyPort = dante.port();
  app.ctx.settings.VrfTimeout = 5;
  // The proxy is one machine: it gets its own, smaller share of attempts at once.
  app.ctx.settings.VrfProxyParallel = 2;
  runVerify(list, app.ctx, view, true);
  EXPECT_TRUE(checked(0)) << dante.log();
  EXPECT_FALSE(checked(1));
  for (std::size_t i = 2; i < 6; ++i) EXPECT_TRUE(checked(i)) << i;
  EXPECT_EQ(accepting.acceptedOnceAt(5), 5);
  EXPECT_EQ(view.maxInFlight, 2);
  // Either share stays within what the process may hold open.
  EXPECT_EQ(attemptsInFlight(app.ctx.settings, 1024), 2u);
  app.ctx.settings.ProxyAddr.clear();
  EXPECT_EQ(attemptsInFlight(app.ctx.settings, 100000), 256u);
  app.ctx.settings.VrfParallel = 4096;
  EXPECT_EQ(attemptsInFlight(app.ctx.settings, 1024), 960u);
  EXPECT_EQ(attemptsInFlight(app.ctx.settings, 10), 1u);
  EXPECT_NE(view.findLine(line(closed, " refused the connection!")), nullptr);
  // The proxy's log names the connection it relayed to the listener.
  EXPECT_NE(dante.log().find("127.0.0.1." + std::to_string(accepting.port())), std::string::npos)
      << dante.log();
}

TEST_F(VerifyTest, ProxyThatIsNotThereRefusesEveryServer) {
  LoopbackListener accepting;
  add("127.0.0.1", accepting.port(), true);
  app.ctx.settings.ProxyAddr = "127.0.0.1";
  app.ctx.settings.ProxyPort = test::ClosedLoopbackPort();
  runVerify(list, app.ctx, view, false);
  EXPECT_FALSE(checked(0));
  EXPECT_EQ(accepting.accepted(), 0);
}

// Offline every attempt fails: a run that reaches none of five or more tested servers
// gives them their check marks back and says so; with one reached, or fewer than five
// tested, the verdicts stand.
TEST_F(VerifyTest, NoServerReachedLeavesTheCheckMarksAsTheyWere) {
  const std::uint16_t refusing = test::ClosedLoopbackPort();
  for (int i = 0; i < 10; ++i) add("127.0.0.1", refusing, i % 3 != 0);
  add("127.0.0.1", "0", true);  // never tested: unchecked by the run's own rule
  EXPECT_EQ(runVerify(list, app.ctx, view, /*verifyAll=*/true), VerifyOutcome::NetworkDown);
  for (std::size_t i = 0; i < 11; ++i) EXPECT_EQ(checked(i), i % 3 != 0 && i < 10) << i;
  EXPECT_EQ(view.linesContaining("refused the connection!"), 10);
  EXPECT_EQ(app.logLines(),
            (std::vector<std::string>{"Verifying 11 server IPs", kNetworkDownText}));
  ASSERT_EQ(app.prompter.shown.size(), 1u);
  EXPECT_EQ(app.prompter.shown[0].text, kNetworkDownText);
  EXPECT_EQ(app.prompter.shown[0].icon, MsgIcon::Error);

  LoopbackListener accepting;
  list.clear();
  for (int i = 0; i < 10; ++i) add("127.0.0.1", i == 4 ? accepting.port() : refusing, true);
  EXPECT_EQ(runVerify(list, app.ctx, view, false), VerifyOutcome::Ended);
  for (std::size_t i = 0; i < 10; ++i) EXPECT_EQ(checked(i), i == 4) << i;
  list.clear();
  for (int i = 0; i < 4; ++i) add("127.0.0.1", refusing, true);
  EXPECT_EQ(runVerify(list, app.ctx, view, false), VerifyOutcome::Ended);
  EXPECT_EQ(list.checkedCount(), 0u);
  EXPECT_EQ(app.logLines().back(), "Verification ended successfully");
  EXPECT_EQ(app.prompter.shown.size(), 1u);
}

}  // namespace
