// Binding the setup and HID services by name: all or nothing, and shared by every user.
#include <gtest/gtest.h>

#include <array>

#include "hid/platform/windows/WindowsHidServices.h"
#include "hid/platform/windows/WindowsLibraryBinding.h"

namespace hidplatform::windows {
namespace {

bool IsHidLibraryLoaded() { return ::GetModuleHandleW(L"hid.dll") != nullptr; }

TEST(WindowsBinding, BindsBothServicesWithTheCallsTheBackendMakes) {
  const auto services = HidServices::Acquire();
  ASSERT_TRUE(services->IsAvailable());
  EXPECT_NE(services->SetupDiGetClassDevsW, nullptr);
  EXPECT_NE(services->SetupDiGetDeviceRegistryPropertyW, nullptr);
  EXPECT_NE(services->HidD_GetHidGuid, nullptr);
  EXPECT_NE(services->HidD_GetProductString, nullptr);
  EXPECT_NE(services->HidP_GetCaps, nullptr);
  // Every supported Windows version has these.
  EXPECT_NE(services->HidD_GetInputReport, nullptr);
  EXPECT_NE(services->HidD_SetOutputReport, nullptr);
}

TEST(WindowsBinding, UsersShareOneLoadAndTheLastReleaseUnloads) {
  ASSERT_FALSE(IsHidLibraryLoaded());
  auto first = HidServices::Acquire();
  auto second = HidServices::Acquire();
  EXPECT_EQ(first.get(), second.get());
  EXPECT_TRUE(IsHidLibraryLoaded());

  first.reset();
  EXPECT_TRUE(IsHidLibraryLoaded());
  second.reset();
  EXPECT_FALSE(IsHidLibraryLoaded());
}

TEST(WindowsBinding, LibraryMissingOneFunctionIsReleasedAgain) {
  constexpr std::array kNames = {"HidD_GetHidGuid", "HidD_NoSuchFunction"};
  LibraryBinding binding;
  EXPECT_FALSE(binding.Load(L"hid.dll", kNames));
  EXPECT_FALSE(binding.IsLoaded());
  EXPECT_FALSE(IsHidLibraryLoaded());
}

TEST(WindowsBinding, MissingLibraryFailsQuietly) {
  constexpr std::array kNames = {"AnyFunction"};
  LibraryBinding binding;
  EXPECT_FALSE(binding.Load(L"qf-no-such-library.dll", kNames));
  EXPECT_EQ(binding.Find<void (*)()>("AnyFunction"), nullptr);
}

}  // namespace
}  // namespace hidplatform::windows
