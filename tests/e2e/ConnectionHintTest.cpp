// The splash's second line on the virtual platform: what it says with no pedal set, with one
// that may not be opened, with one that never answers, and that it goes once the set answers;
// and that a set whose read/write open was refused connects by itself once access is granted.

#include <QLabel>
#include <chrono>

#include "EndToEndFixture.h"
#include "TConnectionHint.h"
#include "TLabel.h"
#include "hid/THidDevice.h"

namespace {

using namespace std::chrono_literals;

constexpr char kNoPedalSet[] = "No pedal set found. Plug it in.";
constexpr char kNotNoticed[] =
    "Plug-in is not noticed here: start the program after plugging the pedal set in.";
constexpr char kNoAnswer[] = "The pedal set does not answer. Plug it in again.";

class ConnectionHintTest : public EndToEndFixture {
 protected:
  // The window with its link on a clock the test moves.
  void CreateWithTestClock() {
    CreateAndShowForm();
    form_->Link.Now = [this] { return now_; };
  }
  void WaitForFirstPass() {
    ASSERT_TRUE(WaitUntil([&] { return platform_->ListingCount() >= 1; }));
  }
  // What the once-a-second timer would do next.
  QString LineNow() {
    form_->ConnectionHint->Refresh();
    return form_->ConnectionHint->Line()->text();
  }
  QString CannotOpenLine(const QString& path) const {
    return TConnectionHint::TextFor({TConnectionTrouble::ctCannotOpen, false}, path);
  }
  void UsePedalSet(sim::VirtualPedalSet::Options options) {
    pedals_ = std::make_unique<sim::VirtualPedalSet>(*platform_, std::move(options));
  }

  std::chrono::steady_clock::time_point now_ = std::chrono::steady_clock::now();
};

TEST_F(ConnectionHintTest, NoDeviceWithTheIdsSaysPlugItIn) {
  CreateAndShowForm();
  ASSERT_NO_FATAL_FAILURE(WaitForFirstPass());
  EXPECT_EQ(form_->ConnectionHint->Line()->text(), kNoPedalSet);
  EXPECT_TRUE(form_->ConnectionHint->IsRefreshing());
  EXPECT_EQ(form_->ConLabel->text(), "Connecting...");
}

TEST_F(ConnectionHintTest, WithoutHotPlugNotificationsItSaysToStartAfterPluggingIn) {
  platform_->SetDeliversNotifications(false);
  CreateAndShowForm();
  ASSERT_NO_FATAL_FAILURE(WaitForFirstPass());
  EXPECT_EQ(form_->ConnectionHint->Line()->text(), QString(kNoPedalSet) + "\n" + kNotNoticed);
}

TEST_F(ConnectionHintTest, RefusedOpenNamesTheNodeAndConnectsByItselfOnceAccessIsGranted) {
  UsePedalSet({.devicePath = u"/dev/hidraw7"});
  pedals_->Interface().SetReadWriteAccess(false);
  const std::uint32_t instance = [&] {
    pedals_->PlugIn();
    return pedals_->Interface().DeviceInstance();
  }();
  CreateAndShowForm();
  ASSERT_TRUE(WaitUntil([&] { return form_->Link.PedalsDevice() != nullptr; }));
  EXPECT_EQ(form_->ConnectionHint->Line()->text(), CannotOpenLine("/dev/hidraw7"));
  // Linux names the node this user may not open; Windows says only that it could not be opened.
  if (TConnectionHint::kPlatformWording == TConnectionHint::TWording::Linux) {
    EXPECT_TRUE(form_->ConnectionHint->Line()->text().contains("may not open it (/dev/hidraw7)"));
  }
  EXPECT_TRUE(form_->Link.IsRetryingReadWriteOpen());
  pedals_->SendReports(5);
  EXPECT_TRUE(pedals_->ReceivedReports().empty()) << "nothing reaches a set it cannot open";

  // The udev rule applied, no cable touched: the link's own retry opens it.
  pedals_->Interface().SetReadWriteAccess(true);
  ASSERT_TRUE(WaitUntil([&] { return form_->Link.PedalsDevice()->HasReadWriteAccess(); }));
  EXPECT_FALSE(form_->Link.IsRetryingReadWriteOpen());
  ASSERT_NO_FATAL_FAILURE(StepUntilLoaded());
  ASSERT_NO_FATAL_FAILURE(Step());
  EXPECT_TRUE(form_->SplashPanel->isHidden());
  EXPECT_TRUE(pedals_->Acknowledged());
  EXPECT_EQ(pedals_->Interface().DeviceInstance(), instance) << "never plugged in again";
  EXPECT_FALSE(form_->ConnectionHint->IsRefreshing()) << "no timer wakes a connected program";
}

TEST_F(ConnectionHintTest, OpenSetThatNeverAnswersIsToldAfterThreeSecondsWithoutSendingAnything) {
  UsePedalSet({.dumpDelay = -1});
  pedals_->PlugIn();
  CreateWithTestClock();
  ASSERT_TRUE(WaitUntil([&] { return form_->Link.PedalsDevice() != nullptr; }));
  ASSERT_NO_FATAL_FAILURE(Step(12));
  EXPECT_EQ(LineNow(), "") << "the handshake is still under way";

  now_ += 2999ms;
  EXPECT_EQ(LineNow(), "");
  now_ += 1ms;
  const std::size_t received = pedals_->ReceivedReports().size();
  EXPECT_EQ(LineNow(), kNoAnswer);
  EXPECT_EQ(LineNow(), kNoAnswer);
  EXPECT_EQ(pedals_->ReceivedReports().size(), received) << "the line sends nothing";
  EXPECT_FALSE(form_->Link.SettingsLoaded);
  EXPECT_FALSE(form_->SplashPanel->isHidden());
}

TEST_F(ConnectionHintTest, LineGoesOnceTheSetAnswersAndComesBackWithTheSplash) {
  pedals_->PlugIn();
  CreateWithTestClock();
  ASSERT_TRUE(WaitUntil([&] { return form_->Link.PedalsDevice() != nullptr; }));
  ASSERT_NO_FATAL_FAILURE(StepUntilLoaded());
  now_ += 60s;
  EXPECT_EQ(LineNow(), "") << "answered, however late";
  ASSERT_NO_FATAL_FAILURE(Step());
  ASSERT_TRUE(form_->SplashPanel->isHidden());
  EXPECT_FALSE(form_->ConnectionHint->IsRefreshing());

  pedals_->Unplug();
  EXPECT_FALSE(form_->SplashPanel->isHidden());
  EXPECT_TRUE(form_->ConnectionHint->IsRefreshing());
  EXPECT_EQ(form_->ConnectionHint->Line()->text(), kNoPedalSet);
}

}  // namespace
