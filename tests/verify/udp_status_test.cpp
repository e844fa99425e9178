// The servers' live status over UDP in real verification runs against loopback eD2k peers
// (a TCP listener and a status responder on its port + 4).
#include <gtest/gtest.h>

#include <algorithm>

#include "peers/ed2k_status_peer.h"
#include "runtime/loop_ui_thread.h"
#include "verify/verify_support.h"

namespace {

using Answer = test::Ed2kStatusPeer::Answer;
using Fields = std::vector<std::string>;

class UdpStatusTest : public ::testing::Test {
 protected:
  UdpStatusTest() : ui(app.manualClock, loop) {
    app.ctx.ui = &ui;
    app.ctx.settings.VrfWarning = false;
    app.ctx.settings.VrfTimeout = 2;
    app.ctx.settings.VrfUdpStatus = true;
    view.displayPauses = false;
  }
  void add(Answer answer, std::uint32_t users = 0, std::uint32_t files = 0, bool tcp = true) {
    peers.push_back(std::make_unique<test::Ed2kStatusPeer>(answer, users, files, tcp));
    list.append(Server{"127.0.0.1", std::to_string(peers.back()->tcpPort())}, true);
  }
  Fields fields(std::size_t row) const {
    const Server& s = list[row].server;
    return {s.users, s.files, list[row].checked ? "checked" : "unchecked"};
  }

  EventLoop loop;
  test::TestApp app;
  test::ClockedUiThread ui;
  ServerList list;
  test::RecordingVerifyView view;
  std::vector<std::unique_ptr<test::Ed2kStatusPeer>> peers;
};

// Every server answers (the peers answer only well-formed requests), so the real clock
// waits for nothing. A server that refuses TCP still gets its counts and stays unchecked;
// one whose UDP port would pass 65535 is not asked.
TEST_F(UdpStatusTest, AnswersFillUsersFilesAndPing) {
  app.ctx.clock = &systemClock();
  add(Answer::Counts, 1234, 56789);
  add(Answer::AllFields, 7, 8);
  add(Answer::LongTail, 4000000000u, 0);
  add(Answer::Counts, 3, 4, /*tcp=*/false);
  list.append(Server{"127.0.0.1", "65533"}, true);
  EXPECT_EQ(runVerify(list, app.ctx, view, false), VerifyOutcome::Ended);
  EXPECT_EQ(fields(0), (Fields{"1234", "56789", "checked"}));
  EXPECT_EQ(fields(1), (Fields{"7", "8", "checked"}));
  EXPECT_EQ(fields(2), (Fields{"4000000000", "0", "checked"}));
  EXPECT_EQ(fields(3), (Fields{"3", "4", "unchecked"}));
  EXPECT_EQ(list[4].server.users, "n/a");
  for (std::size_t row = 0; row < 4; ++row) EXPECT_LT(std::stoul(list[row].server.ping), 2000u);
  EXPECT_EQ(app.logLines(), (Fields{"Verifying 5 server IPs", "Verification ended successfully"}));
}

// On the manual clock: answers that do not match and silence change nothing, and the
// check marks follow the TCP verdict alone. Cancel ends the wait for answers.
TEST_F(UdpStatusTest, MismatchedAnswersAndSilenceChangeNothing) {
  app.useManualClock();
  for (Answer a : {Answer::WrongChallenge, Answer::OtherPort, Answer::TooShort, Answer::Silent})
    add(a, 11, 22);
  add(Answer::Silent, 11, 22, /*tcp=*/false);
  add(Answer::Counts, 5, 6);
  list.setField(3, fUsers, "77");
  ui.ready = [this] {
    return std::all_of(peers.begin(), peers.end(), [](auto& p) { return p->handled() > 0; }) &&
           view.bar.position() == view.bar.max();
  };
  EXPECT_EQ(runVerify(list, app.ctx, view, false), VerifyOutcome::Ended);
  for (std::size_t row = 0; row < 5; ++row) {
    EXPECT_EQ(fields(row),
              (Fields{row == 3 ? "77" : "n/a", "n/a", row == 4 ? "unchecked" : "checked"}))
        << row;
    EXPECT_EQ(list[row].server.ping, "n/a");
    EXPECT_EQ(peers[row]->handled(), 1);
  }
  EXPECT_EQ(fields(5), (Fields{"5", "6", "checked"}));

  // The clock stands still from here: only Cancel ends the wait for the silent server.
  list.clear();
  add(Answer::Silent);
  ui.wasReady = false;
  ui.ready = [this] {
    if (view.bar.position() == 1) view.cancel();  // the TCP verdict is in: answers awaited
    return false;
  };
  EXPECT_EQ(runVerify(list, app.ctx, view, false), VerifyOutcome::Cancelled);
  const Fields lines = app.logLines();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(Fields(lines.end() - 2, lines.end()),
            (Fields{"Verifying 1 server IPs", "Verification cancelled"}));
}

// The right port on another address is not the server either.
TEST_F(UdpStatusTest, AnswerFromAnotherAddressChangesNothing) {
  app.useManualClock();
  add(Answer::OtherAddress, 11, 22);
  if (const std::string why = peers[0]->unavailable(); !why.empty()) GTEST_SKIP() << why;
  ui.ready = [this] { return peers[0]->handled() > 0 && view.bar.position() == view.bar.max(); };
  EXPECT_EQ(runVerify(list, app.ctx, view, false), VerifyOutcome::Ended);
  EXPECT_EQ(fields(0), (Fields{"n/a", "n/a", "checked"}));
  EXPECT_EQ(peers[0]->handled(), 1);
}

// Off by default; with a SOCKS proxy the query is skipped and the log says so once a run.
TEST_F(UdpStatusTest, OffByDefaultAndSkippedWithAProxy) {
  app.ctx.clock = &systemClock();
  app.ctx.settings.VrfUdpStatus = runtime::Settings{}.VrfUdpStatus;
  add(Answer::Counts, 1, 2);
  add(Answer::Counts, 1, 2);
  runVerify(list, app.ctx, view, false);
  app.ctx.settings.VrfUdpStatus = true;
  app.ctx.settings.ProxyAddr = "127.0.0.1";
  app.ctx.settings.ProxyPort = test::ClosedLoopbackPort();
  runVerify(list, app.ctx, view, true);
  EXPECT_EQ(peers[0]->handled() + peers[1]->handled(), 0);
  const Fields lines = app.logLines();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), kUdpStatusProxyText), 1);
}

}  // namespace
