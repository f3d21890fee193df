// The first HID interface the platform lists; under Wine one of its own virtual devices.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "hid/platform/windows/WindowsHidPlatform.h"

namespace hidplatform::windows {

class WindowsHidDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(platform.IsAvailable());
    std::vector<InterfaceInfo> interfaces;
    ASSERT_TRUE(platform.ListInterfaces(interfaces));
    ASSERT_FALSE(interfaces.empty()) << "no HID interface present";
    path = interfaces.front().DevicePath;
  }

  HandlePtr OpenOrFail(OpenMode mode) {
    std::uint32_t error = kErrorSuccess;
    HandlePtr handle = platform.Open(path, mode, &error);
    EXPECT_NE(handle, nullptr) << "open failed with " << error;
    return handle;
  }

  HidCaps CapsOf(Handle& handle) {
    const auto preparsed = handle.GetPreparsedData();
    return preparsed ? preparsed->Caps() : HidCaps{};
  }

  WindowsHidPlatform platform;
  std::u16string path;
};

}  // namespace hidplatform::windows
