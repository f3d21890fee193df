#pragma once
// Device-change notifications from the udev monitor: udev announces a hidraw node only once its
// permissions are set, so a pass that follows never races them.

#include <libudev.h>

#include "hid/platform/HidPlatform.h"

namespace linuxhid {

// The control socket that a running udev daemon keeps; the usual test for the daemon.
inline constexpr char kUdevControlSocket[] = "/run/udev/control";
bool UdevDaemonRunning(const char* controlSocket = kUdevControlSocket);

class UdevDeviceWatch : public hidplatform::DeviceChangeWatch {
 public:
  // Takes over one reference to the monitor, which must already receive.
  UdevDeviceWatch(udev_monitor* monitor, hidplatform::DeviceChangeCallback callback);
  ~UdevDeviceWatch() override;
  UdevDeviceWatch(const UdevDeviceWatch&) = delete;
  UdevDeviceWatch& operator=(const UdevDeviceWatch&) = delete;

  int NotificationFd() const override;
  // Reads every pending event and, when a node came or went, calls the callback once.
  void ProcessPendingNotifications() override;
  // The monitor hears only what a running udev daemon sends.
  bool DeliversNotifications() const override { return UdevDaemonRunning(); }

 private:
  udev_monitor* monitor_;
  hidplatform::DeviceChangeCallback callback_;
};

// A monitor of hidraw nodes on udev's own netlink group, already receiving; nullptr when none
// can be made.
udev_monitor* CreateHidrawMonitor(udev* context);

}  // namespace linuxhid
