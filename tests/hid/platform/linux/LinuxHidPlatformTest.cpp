// The Linux platform on the machine the tests run on, which may have no HID device at all.

#include "LinuxHidPlatform.h"
#include "UdevDeviceWatch.h"

#include <gtest/gtest.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <vector>

#include "hid/platform/NativeHidPlatform.h"
#include "hid/platform/TextConversion.h"
#include "hid/platform/virtual/VirtualHidPlatform.h"

using hidplatform::InterfaceInfo;

namespace {

// The nodes sysfs shows that also have their device file.
std::size_t OpenableHidrawNodes() {
  std::error_code error;
  std::size_t count = 0;
  for (const auto& entry : std::filesystem::directory_iterator("/sys/class/hidraw", error)) {
    if (std::filesystem::is_character_file("/dev" / entry.path().filename(), error)) ++count;
  }
  return count;
}

TEST(LinuxHidPlatformTest, ListsEveryHidrawNodeWithNumbersThatStay) {
  const auto platform = hidplatform::CreateLinuxHidPlatform();
  ASSERT_TRUE(platform->IsAvailable());
  std::vector<InterfaceInfo> first, second;
  ASSERT_TRUE(platform->ListInterfaces(first));
  ASSERT_TRUE(platform->ListInterfaces(second));
  EXPECT_EQ(first.size(), OpenableHidrawNodes());
  ASSERT_EQ(first.size(), second.size());
  std::set<std::uint32_t> numbers;
  for (std::size_t i = 0; i < first.size(); ++i) {
    EXPECT_EQ(first[i].DeviceInstance, second[i].DeviceInstance);
    EXPECT_TRUE(numbers.insert(first[i].DeviceInstance).second);
  }
}

TEST(LinuxHidPlatformTest, HidVersionIsTheKernelRelease) {
  utsname names{};
  ASSERT_EQ(::uname(&names), 0);
  EXPECT_EQ(hidplatform::CreateLinuxHidPlatform()->HidVersion(),
            hidplatform::Utf8ToUtf16(names.release));
}

TEST(LinuxHidPlatformTest, OpensOnlyHidrawNodes) {
  const auto platform = hidplatform::CreateLinuxHidPlatform();
  std::uint32_t error = hidplatform::kErrorSuccess;
  EXPECT_EQ(platform->Open(u"/dev/hidraw-none", hidplatform::OpenMode::QueryOnly, &error), nullptr);
  EXPECT_EQ(error, hidplatform::kErrorFileNotFound);
  EXPECT_EQ(platform->Open(u"/dev/null", hidplatform::OpenMode::ReadWrite, &error), nullptr);
  EXPECT_NE(error, hidplatform::kErrorSuccess);
}

TEST(LinuxHidPlatformTest, WatchOffersItsDescriptorAndStaysQuietWithoutChanges) {
  const auto platform = hidplatform::CreateLinuxHidPlatform();
  int calls = 0;
  const auto watch = platform->WatchDeviceChanges(
      [&calls](std::uint32_t, std::uintptr_t, std::intptr_t) { ++calls; });
  ASSERT_NE(watch, nullptr);
  EXPECT_GE(watch->NotificationFd(), 0);
  watch->ProcessPendingNotifications();
  EXPECT_EQ(calls, 0);
}

TEST(LinuxHidPlatformTest, NotificationsCountAsDeliveredOnlyWhileTheUdevDaemonKeepsItsSocket) {
  const std::filesystem::path socket =
      std::filesystem::temp_directory_path() / ("qf-udev-control-" + std::to_string(::getpid()));
  std::filesystem::remove(socket);
  EXPECT_FALSE(linuxhid::UdevDaemonRunning(socket.c_str()));
  std::ofstream(socket).put('\n');
  EXPECT_TRUE(linuxhid::UdevDaemonRunning(socket.c_str()));
  std::filesystem::remove(socket);

  const auto watch = hidplatform::CreateLinuxHidPlatform()->WatchDeviceChanges(
      [](std::uint32_t, std::uintptr_t, std::intptr_t) {});
  ASSERT_NE(watch, nullptr);
  EXPECT_EQ(watch->DeliversNotifications(), linuxhid::UdevDaemonRunning());
}

TEST(LinuxHidPlatformTest, WakerStaysSignalled) {
  const auto waker = hidplatform::CreateLinuxHidPlatform()->CreateWaker();
  ASSERT_NE(waker, nullptr);
  EXPECT_FALSE(waker->IsSignalled());
  waker->Signal();
  EXPECT_TRUE(waker->IsSignalled());
  EXPECT_TRUE(waker->Wait(std::chrono::milliseconds(0)));
}

TEST(LinuxHidPlatformTest, IsTheNativePlatformOfLinuxBuilds) {
  const auto native = hidplatform::CreateNativeHidPlatform();
  EXPECT_EQ(dynamic_cast<hidplatform::VirtualHidPlatform*>(native.get()), nullptr);
  EXPECT_TRUE(native->IsAvailable());
}

}  // namespace
