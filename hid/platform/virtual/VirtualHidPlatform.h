// An in-memory HID platform: interfaces that tests, the demo and device models create, plug in
// and out, feed with input reports and read output reports from. It is a full backend, not a
// mock: the transport runs on it unchanged. Every method is thread-safe.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "hid/platform/HidPlatform.h"

namespace hidplatform {

struct VirtualInterfaceSpec {
  HidAttributes Attributes;
  // Device strings in UTF-8; std::nullopt: the device has no such string (the request fails).
  std::optional<std::string> Product;
  std::optional<std::string> Manufacturer;
  std::optional<std::string> SerialNumber;
  std::vector<std::uint16_t> LanguageIds{0x0409};
  // Report lengths (the report-id byte included) and the top-level usage.
  HidCaps Caps;
  // False: only query-only handles open (read/write and overlapped opens are refused).
  bool ReadWrite = true;
  std::map<std::uint32_t, DeviceProperty> Properties;
  std::u16string DevicePath;  // generated when empty
};

class VirtualInterfaceState;

// One virtual interface. Stays valid after it was unplugged; plugging it in again gives it a new
// device instance number, like a new device node.
class VirtualInterface {
 public:
  using OutputReportHandler = std::function<void(std::span<const std::uint8_t> report)>;

  explicit VirtualInterface(std::shared_ptr<VirtualInterfaceState> state);

  std::uint32_t DeviceInstance() const;
  std::u16string DevicePath() const;
  bool IsPluggedIn() const;
  HidCaps Caps() const;

  // Input: each queued report completes one read, whole (first byte: report id). An empty
  // report completes a read with 0 bytes.
  void QueueInputReport(std::vector<std::uint8_t> report);
  std::size_t PendingInputReports() const;
  // Output: every report written (blocking or overlapped) is recorded, then handed to the
  // handler on the writer's thread, outside the interface's lock (it may queue input reports).
  void SetOutputReportHandler(OutputReportHandler handler);
  std::vector<std::vector<std::uint8_t>> WrittenReports() const;
  void ClearWrittenReports();

  // Failures on demand. Test knobs only: the demo and the virtual devices never set them.
  void SetOpenFailures(int count);  // the next count opens fail; -1: every open fails
  void SetAttributesFail(bool fail);
  void SetStringsFail(bool fail);
  void SetReadError(std::uint32_t error);  // StartRead refuses with it; kErrorSuccess: no error
  void SetWriteFails(bool fail);
  // Whether read/write and overlapped opens are allowed (VirtualInterfaceSpec::ReadWrite),
  // changed while the interface stays plugged in: access granted or taken away at run time.
  void SetReadWriteAccess(bool allowed);

  // Called on the closing thread, outside the interface's lock, each time a handle of the
  // interface is closed by its owner (not by an unplug); nullptr: no observer.
  void SetCloseObserver(std::function<void(OpenMode mode)> observer);

  // Called on the reading thread, outside the interface's lock, the moment an overlapped read
  // completes with a report (benchmarks time the hand-off from there); nullptr: no observer.
  void SetReadCompletionObserver(std::function<void()> observer);

  // Observations for tests.
  int OpenCount(OpenMode mode) const;  // successful opens so far
  int OpenHandleCount() const;         // handles open now
  int ReadsStarted() const;
  // Waits until a read is outstanding (a reading thread waits for a report); false on timeout.
  bool WaitUntilReadOutstanding(std::chrono::milliseconds timeout) const;
  // Waits until every queued input report has been read; false on timeout.
  bool WaitUntilInputConsumed(std::chrono::milliseconds timeout) const;

  std::shared_ptr<VirtualInterfaceState> State() const { return state_; }

 private:
  std::shared_ptr<VirtualInterfaceState> state_;
};

class VirtualHidPlatform : public HidPlatform {
 public:
  VirtualHidPlatform();
  ~VirtualHidPlatform() override;

  // Creates an interface, plugged in unless plugIn is false. Raises no notification.
  std::shared_ptr<VirtualInterface> AddInterface(const VirtualInterfaceSpec& spec,
                                                 bool plugIn = true);
  // Plug in (with a new device instance number) or unplug: unplugging closes every handle of the
  // interface (outstanding reads complete with 0 bytes), drops its queued input and makes
  // later opens fail. Neither raises a notification: call RaiseDeviceChange.
  void Plug(VirtualInterface& iface);
  void Unplug(VirtualInterface& iface);
  // Calls every watcher's callback on the calling thread (the main thread).
  void RaiseDeviceChange(std::uintptr_t wParam = kDbtDevNodesChanged, std::intptr_t lParam = 0);
  // The same, but as a backend whose callbacks run from a window procedure does it: what a
  // callback throws goes to its watch's error handler, not to the caller.
  void RaiseDeviceChangeFromAWindowProcedure(std::uintptr_t wParam = kDbtDevNodesChanged,
                                             std::intptr_t lParam = 0);

  // Test knobs and observations only: the demo and the virtual devices never use them.
  void SetAvailable(bool available);
  void SetListingFails(bool fail);
  void SetHidVersion(std::u16string version);
  // False: watches exist but, like a udev monitor without a udev daemon, report that their
  // notifications do not arrive (RaiseDeviceChange still calls them).
  void SetDeliversNotifications(bool delivers);
  int WatchCount() const;
  int ListingCount() const;

  bool IsAvailable() const override;
  std::u16string HidVersion() const override;
  std::u16string LanguageName(std::uint16_t languageId) const override;
  bool ListInterfaces(std::vector<InterfaceInfo>& interfaces) override;
  HandlePtr Open(const std::u16string& devicePath, OpenMode mode,
                 std::uint32_t* error = nullptr) override;
  std::unique_ptr<Waker> CreateWaker() override;
  std::unique_ptr<DeviceChangeWatch> WatchDeviceChanges(DeviceChangeCallback callback) override;

 private:
  class Watch;
  struct Shared;
  std::shared_ptr<Shared> shared_;
};

}  // namespace hidplatform
