// The hand-over tests against a real amuled. The whole program moves into a network
// namespace of its own before anything else runs, so that amuled, amulecmd and
// ravelin-cli started from here reach nothing but this namespace's loopback.
#include <gtest/gtest.h>

#include "peers/amule_peer.h"

int main(int argc, char** argv) {
  test::SetPrivateNetworkFailure(test::EnterPrivateNetwork());
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
