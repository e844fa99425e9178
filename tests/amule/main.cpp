// The hand-over tests against a real amuled. The program enters a network namespace of
// its own before anything else, so that amuled, amulecmd and ravelin-cli started from here
// reach nothing but its loopback.
#include <gtest/gtest.h>

#include "peers/amule_peer.h"

int main(int argc, char** argv) {
  test::PrivateNetworkFailure() = test::EnterPrivateNetwork();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
