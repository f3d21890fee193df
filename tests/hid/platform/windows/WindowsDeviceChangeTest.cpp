// The hidden window that receives the platform's device-change broadcast.
#include <gtest/gtest.h>

#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

#include "hid/platform/windows/WindowsDeviceChangeWatch.h"
#include "hid/platform/windows/WindowsHidPlatform.h"

namespace hidplatform::windows {
namespace {

struct Notification {
  std::uint32_t message;
  std::uintptr_t wParam;
  std::intptr_t lParam;
  bool operator==(const Notification&) const = default;
};

// Runs what the thread's message queue holds, as the program's message loop would.
void RunPendingMessages() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

class WindowsDeviceChange : public ::testing::Test {
 protected:
  void SetUp() override {
    watch = platform.WatchDeviceChanges(
        [this](std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
          received.push_back({message, wParam, lParam});
        });
    ASSERT_NE(watch, nullptr);
    window = dynamic_cast<WindowsDeviceChangeWatch*>(watch.get());
    ASSERT_NE(window, nullptr);
  }

  WindowsHidPlatform platform;
  std::unique_ptr<DeviceChangeWatch> watch;
  WindowsDeviceChangeWatch* window = nullptr;
  std::vector<Notification> received;
};

TEST_F(WindowsDeviceChange, ChangedDeviceNodesReachTheHandlerWhenTheLoopTurns) {
  EXPECT_EQ(watch->NotificationFd(), -1);
  ASSERT_TRUE(window->Post(kDbtDevNodesChanged, -1));
  EXPECT_TRUE(received.empty()) << "posted, not sent";
  RunPendingMessages();
  EXPECT_EQ(received, (std::vector<Notification>{{kWmDeviceChange, kDbtDevNodesChanged, -1}}));
}

TEST_F(WindowsDeviceChange, OtherDeviceChangeParametersAreIgnored) {
  // Parameters from 0x8000 on carry a pointer and cannot be posted.
  constexpr std::uintptr_t kDbtQueryChangeConfig = 0x0017;
  constexpr std::uintptr_t kDbtConfigChanged = 0x0018;
  ASSERT_TRUE(window->Post(kDbtQueryChangeConfig, 0));
  ASSERT_TRUE(window->Post(kDbtConfigChanged, 0));
  ASSERT_TRUE(window->Post(kDbtDevNodesChanged, 0));
  RunPendingMessages();
  EXPECT_EQ(received, (std::vector<Notification>{{kWmDeviceChange, kDbtDevNodesChanged, 0}}));
}

TEST_F(WindowsDeviceChange, WindowIsAHiddenTopLevelToolWindowThatGoesWithTheWatch) {
  const HWND handle = window->Window();
  EXPECT_EQ(::GetParent(handle), nullptr);
  EXPECT_FALSE(::IsWindowVisible(handle));
  EXPECT_NE(::GetWindowLongPtrW(handle, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
  watch.reset();
  EXPECT_FALSE(::IsWindow(handle));
}

TEST_F(WindowsDeviceChange, NotificationPostedBeforeTheWatchEndsIsNotDelivered) {
  ASSERT_TRUE(window->Post(kDbtDevNodesChanged, 0));
  watch.reset();
  RunPendingMessages();
  EXPECT_TRUE(received.empty());
}

// No exception may leave a window procedure: what the callback throws goes to the watch's error
// handler, the message gets its default handling and the next notification is delivered again.
TEST(WindowsDeviceChangeErrors, ErrorOfTheCallbackGoesToTheHandlerNotThroughTheMessageLoop) {
  WindowsHidPlatform platform;
  int calls = 0;
  auto watch = platform.WatchDeviceChanges([&](std::uint32_t, std::uintptr_t, std::intptr_t) {
    if (++calls == 1) throw std::runtime_error("interface cannot be opened");
  });
  ASSERT_NE(watch, nullptr);
  std::vector<std::string> errors;
  watch->SetCallbackErrorHandler([&](std::exception_ptr error) {
    try {
      std::rethrow_exception(error);
    } catch (const std::exception& caught) {
      errors.emplace_back(caught.what());
    }
  });
  auto* window = dynamic_cast<WindowsDeviceChangeWatch*>(watch.get());
  ASSERT_NE(window, nullptr);

  // Sent: the procedure runs inside this call, as the platform's dispatch would run it.
  ::SendMessageW(window->Window(), WM_DEVICECHANGE, kDbtDevNodesChanged, 0);
  EXPECT_EQ(errors, std::vector<std::string>{"interface cannot be opened"});
  ASSERT_TRUE(window->Post(kDbtDevNodesChanged, 0));
  RunPendingMessages();
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(errors.size(), 1u);

  // Without a handler the error is dropped, still inside the procedure.
  calls = 0;
  watch->SetCallbackErrorHandler({});
  ::SendMessageW(window->Window(), WM_DEVICECHANGE, kDbtDevNodesChanged, 0);
  EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace hidplatform::windows
