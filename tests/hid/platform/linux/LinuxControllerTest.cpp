// The transport's controller on the Linux backend, on the machine the tests run on.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <filesystem>

#include "hid/THidDeviceController.h"
#include "hid/platform/NativeHidPlatform.h"

namespace {

bool MachineHasHidrawNodes() {
  std::error_code error;
  return std::filesystem::directory_iterator("/sys/class/hidraw", error) !=
         std::filesystem::directory_iterator();
}

struct EventLog {
  int arrivals = 0;
  int changes = 0;
  void Arrival(THidDevice*) { ++arrivals; }
  void Change(QObject*) { ++changes; }
};

TEST(LinuxControllerTest, WithoutHidDevicesTheStartUpPassListsNothingAndReportsOnce) {
  if (MachineHasHidrawNodes()) GTEST_SKIP() << "this machine has HID devices";
  EventLog log;
  THidDeviceController::TStoredProperties stored;
  stored.OnArrival = {&log, &EventLog::Arrival};
  stored.OnDeviceChange = {&log, &EventLog::Change};
  THidDeviceController controller(hidplatform::CreateNativeHidPlatform(), stored);
  EXPECT_FALSE(controller.IsInert());
  EXPECT_EQ(log.changes, 0) << "the start-up pass waits for the main loop";
  QCoreApplication::processEvents();
  EXPECT_EQ(log.changes, 1);
  EXPECT_EQ(log.arrivals, 0);
  EXPECT_TRUE(controller.Devices().empty());
  EXPECT_EQ(controller.Enumerate(), 0);
  QCoreApplication::processEvents();
  EXPECT_EQ(log.changes, 1);
}

}  // namespace
