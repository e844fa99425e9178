// The dead-network guard where this machine's own network answers: a forked child in a
// private network namespace of its own, whose only link is loopback, so 192.0.2.x has no
// route and a connect to it fails at once. Nothing can leave the namespace.
#include <gtest/gtest.h>
#include <sched.h>

#include <cstdlib>

#include "peers/loopback_peers.h"
#include "platform/clock.h"
#include "support/child_process.h"
#include "verify/verify_support.h"

using namespace ravelin;
using namespace ravelin::serverlist;
using namespace ravelin::verify;

namespace {

// In a child process: a network namespace of its own (which takes root) with loopback up.
bool EnterPrivateNetwork() {
  return ::unshare(CLONE_NEWNET) == 0 && std::system("ip link set lo up") == 0;
}

// The first five verdicts come from this machine (no route): the run stops there, the
// servers still connecting are not waited for, a verdict that was already on its way (the
// accepting server at the end) changes nothing, and every tested server keeps the check
// mark it had.
TEST(NetworkDownTest, FirstVerdictsWithoutRouteEndTheRunAtOnce) {
  const std::string result = test::RunInChild([]() -> std::string {
    if (!EnterPrivateNetwork()) return "skip";
    platform::EventLoop loop;
    platform::ManualClock clock;
    test::ClockedUiThread ui(clock, loop);
    test::TestApp app;
    app.ctx.ui = &ui;
    app.ctx.clock = &clock;
    test::RecordingVerifyView view;
    test::LoopbackListener silent(/*accepting=*/false, /*backlog=*/0);
    if (silent.fillAcceptQueue() < 1) return "accept queue not filled";
    test::LoopbackListener accepting;
    ServerList list;
    for (int i = 1; i <= 5; ++i)
      list.append(Server{"192.0.2." + std::to_string(i), "4661"}, i != 2);
    for (int i = 0; i < 2; ++i) list.append(Server{"127.0.0.1", std::to_string(silent.port())}, i);
    list.append(Server{"127.0.0.1", std::to_string(accepting.port())}, false);
    // Without the guard, time passes once the five have their verdicts: the silent servers
    // time out and the accepting one is reached.
    ui.ready = [&] { return view.linesContaining("refused the connection!") >= 5; };

    const VerifyOutcome outcome = runVerify(list, app.ctx, view, /*verifyAll=*/true);
    std::string seen = outcome == VerifyOutcome::NetworkDown ? "down, marks " : "up, marks ";
    for (std::size_t i = 0; i < list.size(); ++i) seen += list[i].checked ? '1' : '0';
    seen += ", refused " + std::to_string(view.linesContaining("refused the connection!")) +
            ", timed out " + std::to_string(view.linesContaining("timed out!")) + ", log";
    for (const std::string& line : app.logLines()) seen += " | " + line;
    for (const auto& box : app.prompter.shown) seen += ", box " + box.text;
    return seen;
  });
  if (result == "skip") GTEST_SKIP() << "no private network namespace";
  EXPECT_EQ(result, std::string("down, marks 10111010, refused 5, timed out 0, log | Verifying 8 "
                                "server IPs | ") +
                        kNetworkDownText + ", box " + kNetworkDownText);
}

}  // namespace
