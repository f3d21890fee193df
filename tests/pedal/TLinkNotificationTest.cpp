#include <gtest/gtest.h>

#include <string>

#include "pedal/TLinkNotification.h"

namespace {

TEST(TLinkNotificationTest, RunsReactionsInTheOrderAddedAndEachRaiseAgain) {
  TLinkNotification notification;
  std::string log;
  notification.Raise();  // none yet: nothing happens
  notification.Add([&] { log += "a"; });
  notification.Add([&] { log += "b"; });
  notification.Raise();
  notification.Raise();
  EXPECT_EQ(log, "abab");
}

TEST(TLinkNotificationTest, ReactionAddedWhileRaisingRunsFromTheNextRaise) {
  TLinkNotification notification;
  std::string log;
  notification.Add([&] {
    log += "a";
    notification.Add([&] { log += "late"; });
  });
  notification.Raise();
  EXPECT_EQ(log, "a");
  notification.Raise();
  EXPECT_EQ(log, "aalate");
}

// A reaction that attaches further reactions (enough to make the list grow) and then goes on
// using what it captured must still find its captures where they were.
TEST(TLinkNotificationTest, ReactionKeepsItsCapturesAfterAddingReactions) {
  TLinkNotification notification;
  std::string log;
  // Two references: small enough to be stored inside the std::function itself.
  notification.Add([&notification, &log] {
    for (int i = 0; i < 8; ++i) notification.Add([] {});
    log += "after";
  });
  notification.Raise();
  EXPECT_EQ(log, "after");
}

TEST(TLinkNotificationTest, ReactionThatClearsTheListEndsTheRaise) {
  TLinkNotification notification;
  std::string log;
  notification.Add([&] {
    log += "a";
    notification.Clear();
    notification.Add([&] { log += "new"; });
  });
  notification.Add([&] { log += "b"; });
  notification.Raise();
  EXPECT_EQ(log, "a");
  notification.Raise();
  EXPECT_EQ(log, "anew");
}

}  // namespace
