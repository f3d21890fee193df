#include "UdevDeviceWatch.h"

#include <unistd.h>

#include <string_view>
#include <utility>

namespace linuxhid {

namespace {

bool AddsOrRemovesANode(udev_device* device) {
  const char* action = udev_device_get_action(device);
  if (action == nullptr) return false;
  const std::string_view name(action);
  return name == "add" || name == "remove";
}

}  // namespace

bool UdevDaemonRunning(const char* controlSocket) { return ::access(controlSocket, F_OK) == 0; }

udev_monitor* CreateHidrawMonitor(udev* context) {
  udev_monitor* monitor = udev_monitor_new_from_netlink(context, "udev");
  if (monitor == nullptr) return nullptr;
  if (udev_monitor_filter_add_match_subsystem_devtype(monitor, "hidraw", nullptr) < 0 ||
      udev_monitor_enable_receiving(monitor) < 0) {
    udev_monitor_unref(monitor);
    return nullptr;
  }
  return monitor;
}

UdevDeviceWatch::UdevDeviceWatch(udev_monitor* monitor, hidplatform::DeviceChangeCallback callback)
    : monitor_(monitor), callback_(std::move(callback)) {}

UdevDeviceWatch::~UdevDeviceWatch() { udev_monitor_unref(monitor_); }

int UdevDeviceWatch::NotificationFd() const { return udev_monitor_get_fd(monitor_); }

void UdevDeviceWatch::ProcessPendingNotifications() {
  bool nodesChanged = false;
  // The monitor's socket does not block: this ends when nothing more is pending.
  while (udev_device* device = udev_monitor_receive_device(monitor_)) {
    nodesChanged = nodesChanged || AddsOrRemovesANode(device);
    udev_device_unref(device);
  }
  if (nodesChanged && callback_)
    callback_(hidplatform::kWmDeviceChange, hidplatform::kDbtDevNodesChanged, 0);
}

}  // namespace linuxhid
