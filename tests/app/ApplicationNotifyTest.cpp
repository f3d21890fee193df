// An error escaping a handler of the message loop is shown in the error box with its text, and
// the loop goes on. Runs under the program's own application object.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <memory>
#include <stdexcept>

#include "TApplication.h"
#include "hid/EControllerError.h"
#include "hid/THidDeviceController.h"
#include "hid/platform/virtual/VirtualHidPlatform.h"
#include "tests/support/ProgramApplication.h"

namespace {

TApplication* const& app = ProgramApplicationEnvironment::application;

// Throws from its event handler when it receives the failing event type.
class FailingReceiver : public QObject {
 public:
  static constexpr QEvent::Type kFail = QEvent::User;
  static constexpr QEvent::Type kWork = static_cast<QEvent::Type>(QEvent::User + 1);
  int workDone = 0;

 protected:
  bool event(QEvent* e) override {
    if (e->type() == kFail) throw std::runtime_error("Device cannot be opened");
    if (e->type() == kWork) {
      ++workDone;
      return true;
    }
    return QObject::event(e);
  }
};

class ApplicationNotify : public ::testing::Test {
 protected:
  void SetUp() override {
    app->SetErrorBox([this](const QString& text) { shown_ << text; });
  }
  void TearDown() override { app->SetErrorBox(nullptr); }

  QStringList shown_;
};

TEST_F(ApplicationNotify, ErrorFromAHandlerIsShownAndTheLoopGoesOn) {
  FailingReceiver receiver;
  QCoreApplication::postEvent(&receiver, new QEvent(FailingReceiver::kFail));
  QCoreApplication::postEvent(&receiver, new QEvent(FailingReceiver::kWork));
  QCoreApplication::processEvents();
  EXPECT_EQ(shown_, QStringList{"Device cannot be opened"});
  EXPECT_EQ(receiver.workDone, 1);
}

TEST_F(ApplicationNotify, ErrorFromATimerSlotIsShown) {
  bool fired = false;
  QTimer::singleShot(0, app, [&] {
    fired = true;
    throw std::logic_error("Bad index");
  });
  while (!fired) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  EXPECT_EQ(shown_, QStringList{"Bad index"});
}

TEST_F(ApplicationNotify, ErrorThatIsNoStandardExceptionStillGetsAText) {
  struct Odd {};
  bool fired = false;
  QTimer::singleShot(0, app, [&] {
    fired = true;
    throw Odd{};
  });
  while (!fired) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  ASSERT_EQ(shown_.size(), 1);
  EXPECT_FALSE(shown_.front().isEmpty());
}

// On Windows the device-change pass runs from a hidden window's procedure, outside the loop's
// dispatch: an error of the pass still reaches the error box, and the program goes on.
TEST_F(ApplicationNotify, ErrorOfADeviceChangePassRunFromAWindowProcedureIsShown) {
  auto platform = std::make_shared<hidplatform::VirtualHidPlatform>();
  bool failing = false;
  int passes = 0;
  auto onChange = [&](QObject*) {
    ++passes;
    if (failing) throw EControllerError(QStringLiteral("Device cannot be opened"));
  };
  THidDeviceController::TStoredProperties events;
  events.OnDeviceChange = TNotifyEvent::Callable(&onChange);
  THidDeviceController controller(platform, events);
  QCoreApplication::processEvents();  // the start-up pass
  ASSERT_EQ(passes, 1);

  hidplatform::VirtualInterfaceSpec spec;
  spec.Attributes.VendorID = 0x1209;
  failing = true;
  platform->AddInterface(spec);
  EXPECT_NO_THROW(platform->RaiseDeviceChangeFromAWindowProcedure());
  EXPECT_EQ(passes, 2);
  QCoreApplication::processEvents();
  EXPECT_EQ(shown_, QStringList{"Device cannot be opened"});

  failing = false;
  platform->AddInterface(spec);
  platform->RaiseDeviceChangeFromAWindowProcedure();
  QCoreApplication::processEvents();
  EXPECT_EQ(passes, 3) << "the next pass runs as usual";
  EXPECT_EQ(shown_.size(), 1);
}

}  // namespace
