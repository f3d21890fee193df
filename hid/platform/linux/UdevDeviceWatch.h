#pragma once
// Device-change notifications from the udev monitor: udev announces a hidraw node only once its
// permissions are set, so a pass that follows never races them.

#include <libudev.h>

#include "hid/platform/HidPlatform.h"

namespace linuxhid {

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

 private:
  udev_monitor* monitor_;
  hidplatform::DeviceChangeCallback callback_;
};

// A monitor of hidraw nodes on udev's own netlink group, already receiving; nullptr when none
// can be made.
udev_monitor* CreateHidrawMonitor(udev* context);

}  // namespace linuxhid
