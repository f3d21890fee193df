// An error escaping a handler of the message loop is shown in the error box with its text, and
// the loop goes on. Runs under the program's own application object.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <memory>
#include <stdexcept>

#include "TApplication.h"

namespace {

TApplication* app = nullptr;

class ApplicationEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    app = new TApplication(argc_, argv_);
  }
  void TearDown() override {
    delete app;
    app = nullptr;
  }

 private:
  int argc_ = 1;
  char name_[16] = "notify-test";
  char* argv_[2] = {name_, nullptr};
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

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

}  // namespace
