#include "LinuxHidPlatform.h"

#include <fcntl.h>
#include <libudev.h>
#include <linux/hidraw.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/utsname.h>

#include <algorithm>
#include <cerrno>
#include <mutex>
#include <string>
#include <vector>

#include "ConditionWaker.h"
#include "DeviceProperties.h"
#include "EventFdWaker.h"
#include "HidrawHandle.h"
#include "InstanceNumbers.h"
#include "SysfsHidNode.h"
#include "UdevDeviceWatch.h"
#include "UniqueFd.h"
#include "hid/platform/ReportDescriptor.h"
#include "hid/platform/TextConversion.h"

namespace linuxhid {

using hidplatform::HandlePtr;
using hidplatform::OpenMode;

namespace {

struct ListedNode {
  std::string key;
  std::string devnode;
  SysfsHidNode sysfs;
};

std::uint32_t ErrorCodeOf(int error) {
  switch (error) {
    case ENOENT:
      return hidplatform::kErrorFileNotFound;
    case EACCES:
    case EPERM:
      return hidplatform::kErrorAccessDenied;
    case ENODEV:
    case ENXIO:
      return hidplatform::kErrorDeviceNotConnected;
    default:
      return hidplatform::kErrorGenFailure;
  }
}

// A query-only handle is a path descriptor: it needs no access to the node itself.
int OpenFlagsFor(OpenMode mode) {
  switch (mode) {
    case OpenMode::ReadWrite:
      return O_RDWR;
    case OpenMode::QueryOnly:
      return O_PATH;
    case OpenMode::OverlappedRead:
      return O_RDONLY | O_NONBLOCK;
    case OpenMode::OverlappedWrite:
      return O_WRONLY;
  }
  return O_PATH;
}

std::vector<std::uint8_t> DescriptorFromNode(int fd) {
  int size = 0;
  if (::ioctl(fd, HIDIOCGRDESCSIZE, &size) < 0 || size <= 0) return {};
  hidraw_report_descriptor descriptor{};
  descriptor.size = static_cast<std::uint32_t>(std::min(size, HID_MAX_DESCRIPTOR_SIZE));
  if (::ioctl(fd, HIDIOCGRDESC, &descriptor) < 0) return {};
  return {descriptor.value, descriptor.value + descriptor.size};
}

// What the handle needs to know of the node it opened, found from the descriptor itself so it
// is the very node opened, not whatever now has its name.
HidrawNodeInfo DescribeOpenNode(int fd, OpenMode mode) {
  HidrawNodeInfo info;
  struct stat status {};
  if (::fstat(fd, &status) != 0 || !S_ISCHR(status.st_mode)) return info;
  const std::string charDevice = "/sys/dev/char/" + std::to_string(major(status.st_rdev)) + ":" +
                                 std::to_string(minor(status.st_rdev));
  info.sysfs = ReadSysfsHidNode(charDevice);
  std::vector<std::uint8_t> descriptor;
  if (info.sysfs) descriptor = ReadReportDescriptor(info.sysfs->hidDevice);
  if (descriptor.empty() && mode != OpenMode::QueryOnly) descriptor = DescriptorFromNode(fd);
  if (!descriptor.empty())
    info.preparsed =
        std::make_shared<LayoutPreparsedData>(hidplatform::ParseReportDescriptor(descriptor));
  return info;
}

class LinuxHidPlatform : public hidplatform::HidPlatform {
 public:
  LinuxHidPlatform() : udev_(udev_new()) {}
  ~LinuxHidPlatform() override {
    if (udev_ != nullptr) udev_unref(udev_);
  }
  LinuxHidPlatform(const LinuxHidPlatform&) = delete;
  LinuxHidPlatform& operator=(const LinuxHidPlatform&) = delete;

  bool IsAvailable() const override { return udev_ != nullptr; }

  std::u16string HidVersion() const override {
    utsname names{};
    if (::uname(&names) != 0) return {};
    return hidplatform::Utf8ToUtf16(names.release);
  }

  bool ListInterfaces(std::vector<hidplatform::InterfaceInfo>& interfaces) override {
    std::vector<ListedNode> nodes;
    if (!ListHidrawNodes(nodes)) return false;
    std::vector<std::string> keys;
    for (const ListedNode& node : nodes) keys.push_back(node.key);
    std::vector<std::uint32_t> numbers;
    {
      const std::lock_guard lock(mutex_);
      numbers = instanceNumbers_.AssignForListing(keys);
    }
    interfaces.clear();
    for (std::size_t i = 0; i < nodes.size(); ++i) {
      interfaces.push_back({numbers[i], hidplatform::Utf8ToUtf16(nodes[i].devnode),
                            DevicePropertiesOf(nodes[i].sysfs)});
    }
    return true;
  }

  HandlePtr Open(const std::u16string& devicePath, OpenMode mode, std::uint32_t* error) override {
    const std::string path = hidplatform::Utf16ToUtf8(devicePath);
    UniqueFd node(::open(path.c_str(), OpenFlagsFor(mode) | O_CLOEXEC | O_NOCTTY));
    const int openError = errno;
    UniqueFd closeSignal = MakeEventFd();
    if (!node.IsValid() || !closeSignal.IsValid()) {
      if (error != nullptr) *error = ErrorCodeOf(node.IsValid() ? errno : openError);
      return nullptr;
    }
    HidrawNodeInfo info = DescribeOpenNode(node.Get(), mode);
    if (!info.sysfs) {
      if (error != nullptr) *error = hidplatform::kErrorFileNotFound;
      return nullptr;
    }
    if (error != nullptr) *error = hidplatform::kErrorSuccess;
    return std::make_shared<HidrawHandle>(std::move(node), std::move(closeSignal), mode,
                                          std::move(info));
  }

  std::unique_ptr<hidplatform::Waker> CreateWaker() override {
    UniqueFd eventFd = MakeEventFd();
    if (!eventFd.IsValid()) return std::make_unique<ConditionWaker>();
    return std::make_unique<EventFdWaker>(std::move(eventFd));
  }

  std::unique_ptr<hidplatform::DeviceChangeWatch> WatchDeviceChanges(
      hidplatform::DeviceChangeCallback callback) override {
    if (udev_ == nullptr) return nullptr;
    udev_monitor* monitor = CreateHidrawMonitor(udev_);
    if (monitor == nullptr) return nullptr;
    return std::make_unique<UdevDeviceWatch>(monitor, std::move(callback));
  }

 private:
  bool ListHidrawNodes(std::vector<ListedNode>& nodes) const {
    if (udev_ == nullptr) return false;
    udev_enumerate* enumerate = udev_enumerate_new(udev_);
    if (enumerate == nullptr) return false;
    const bool scanned = udev_enumerate_add_match_subsystem(enumerate, "hidraw") >= 0 &&
                         udev_enumerate_scan_devices(enumerate) >= 0;
    if (scanned) {
      udev_list_entry* entry = nullptr;
      udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate)) {
        AddNode(udev_list_entry_get_name(entry), nodes);
      }
    }
    udev_enumerate_unref(enumerate);
    return scanned;
  }

  // A node whose details cannot be read is left out of the listing.
  void AddNode(const char* syspath, std::vector<ListedNode>& nodes) const {
    udev_device* device = udev_device_new_from_syspath(udev_, syspath);
    if (device == nullptr) return;
    const char* devnode = udev_device_get_devnode(device);
    const dev_t number = udev_device_get_devnum(device);
    // A node without a device file (a container without devtmpfs) cannot be opened by anyone.
    struct stat status {};
    if (devnode != nullptr && ::stat(devnode, &status) == 0 && S_ISCHR(status.st_mode)) {
      if (std::optional<SysfsHidNode> sysfs = ReadSysfsHidNode(syspath)) {
        std::string key = sysfs->nodeDir.string() + "|" + std::to_string(major(number)) + ":" +
                          std::to_string(minor(number));
        nodes.push_back({std::move(key), devnode, std::move(*sysfs)});
      }
    }
    udev_device_unref(device);
  }

  udev* udev_;
  mutable std::mutex mutex_;
  InstanceNumbers instanceNumbers_;
};

}  // namespace

}  // namespace linuxhid

namespace hidplatform {

std::unique_ptr<HidPlatform> CreateLinuxHidPlatform() {
  return std::make_unique<linuxhid::LinuxHidPlatform>();
}

}  // namespace hidplatform
