#include "SysfsHidNode.h"

#include <charconv>
#include <fstream>
#include <iterator>
#include <map>
#include <string_view>
#include <system_error>

namespace linuxhid {

namespace fs = std::filesystem;

namespace {

using Uevent = std::map<std::string, std::string, std::less<>>;

// A report descriptor is at most 4 KiB in the kernel; anything far beyond is not one.
constexpr std::streamsize maxDescriptorBytes = 64 * 1024;
// A HID device sits a few levels below its USB device; stop well before the sysfs root.
constexpr int maxParentLevels = 8;

std::optional<std::string> ReadAttribute(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) return std::nullopt;
  if (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

std::optional<Uevent> ReadUevent(const fs::path& dir) {
  const std::optional<std::string> text = ReadAttribute(dir / "uevent");
  if (!text) return std::nullopt;
  Uevent entries;
  std::string_view rest = *text;
  while (!rest.empty()) {
    const std::size_t end = rest.find('\n');
    const std::string_view line = rest.substr(0, end);
    const std::size_t equals = line.find('=');
    if (equals != std::string_view::npos)
      entries.emplace(std::string(line.substr(0, equals)), std::string(line.substr(equals + 1)));
    rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
  }
  return entries;
}

std::string ValueOf(const Uevent& uevent, std::string_view key) {
  const auto it = uevent.find(key);
  return it == uevent.end() ? std::string{} : it->second;
}

std::optional<std::uint32_t> ParseNumber(std::string_view text, int base) {
  std::uint32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// HID_ID is "bus:vendor:product" in hexadecimal, e.g. "0003:00000483:0000574E".
bool ParseHidId(std::string_view hidId, SysfsHidNode& node) {
  const std::size_t first = hidId.find(':');
  const std::size_t second = hidId.find(':', first == std::string_view::npos ? 0 : first + 1);
  if (first == std::string_view::npos || second == std::string_view::npos) return false;
  const auto bus = ParseNumber(hidId.substr(0, first), 16);
  const auto vendor = ParseNumber(hidId.substr(first + 1, second - first - 1), 16);
  const auto product = ParseNumber(hidId.substr(second + 1), 16);
  if (!bus || !vendor || !product) return false;
  node.busType = static_cast<std::uint16_t>(*bus);
  node.vendorId = static_cast<std::uint16_t>(*vendor);
  node.productId = static_cast<std::uint16_t>(*product);
  return true;
}

void ReadUsbDevice(const fs::path& dir, const Uevent& uevent, SysfsHidNode& node) {
  node.onUsb = true;
  node.manufacturer = ReadAttribute(dir / "manufacturer");
  node.product = ReadAttribute(dir / "product");
  node.serialNumber = ReadAttribute(dir / "serial");
  if (const auto bcd = ReadAttribute(dir / "bcdDevice"))
    node.versionNumber = static_cast<std::uint16_t>(ParseNumber(*bcd, 16).value_or(0));
  std::string busnum = ReadAttribute(dir / "busnum").value_or(ValueOf(uevent, "BUSNUM"));
  node.usbBusNumber = ParseNumber(busnum, 10).value_or(0);
}

// Walks up from the HID device to the USB interface and device it belongs to, if any.
void ReadUsbParents(SysfsHidNode& node) {
  fs::path dir = node.hidDevice.parent_path();
  for (int level = 0; level < maxParentLevels && dir.has_relative_path(); ++level) {
    const std::optional<Uevent> uevent = ReadUevent(dir);
    if (!uevent) return;
    const std::string devType = ValueOf(*uevent, "DEVTYPE");
    if (devType == "usb_interface") {
      node.usbInterfaceModalias = ValueOf(*uevent, "MODALIAS");
      node.usbInterfaceDriver = ValueOf(*uevent, "DRIVER");
    } else if (devType == "usb_device") {
      ReadUsbDevice(dir, *uevent, node);
      return;
    }
    dir = dir.parent_path();
  }
}

std::optional<std::string> NonEmpty(std::string text) {
  if (text.empty()) return std::nullopt;
  return text;
}

}  // namespace

std::optional<SysfsHidNode> ReadSysfsHidNode(const fs::path& hidrawSysPath) {
  std::error_code error;
  SysfsHidNode node;
  node.nodeDir = fs::canonical(hidrawSysPath, error);
  if (error) return std::nullopt;
  node.hidDevice = fs::canonical(node.nodeDir / "device", error);
  if (error) return std::nullopt;
  const std::optional<Uevent> uevent = ReadUevent(node.hidDevice);
  if (!uevent || !ParseHidId(ValueOf(*uevent, "HID_ID"), node)) return std::nullopt;
  node.hidName = ValueOf(*uevent, "HID_NAME");
  node.hidPhys = ValueOf(*uevent, "HID_PHYS");
  node.hidUniq = ValueOf(*uevent, "HID_UNIQ");
  node.driver = ValueOf(*uevent, "DRIVER");
  node.modalias = ValueOf(*uevent, "MODALIAS");
  if (node.busType == kBusUsb) ReadUsbParents(node);
  if (!node.onUsb) {
    node.product = NonEmpty(node.hidName);
    node.serialNumber = NonEmpty(node.hidUniq);
  }
  return node;
}

std::vector<std::uint8_t> ReadReportDescriptor(const fs::path& hidDevice) {
  std::ifstream in(hidDevice / "report_descriptor", std::ios::binary);
  if (!in) return {};
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(maxDescriptorBytes));
  in.read(reinterpret_cast<char*>(bytes.data()), maxDescriptorBytes);
  if (in.bad()) return {};
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  return bytes;
}

}  // namespace linuxhid
