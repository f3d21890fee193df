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

}  // namespace
