// The platform services that the HID transport stands on: listing the HID interfaces present on
// the machine, opening them, their identity, strings and report lengths, whole-report writes and
// asynchronous whole-report reads, and device-change notifications. Plain C++ (no Qt), so every
// backend can be built and tested on its own, also cross-compiled for Windows.
//
// Conventions shared by every backend:
// - Text is UTF-16 (std::u16string), as the HID string services deliver it; TextConversion.h
//   converts from and to UTF-8.
// - Calls that can fail return bool, or a platform error code (kErrorSuccess on success); the
//   codes are the Windows ones, which the transport passes on to its callers unchanged.
// - Every call may be made from any thread unless its comment says otherwise; a handle may be
//   used by two threads at once (the main thread closes what a reading thread waits on).
#pragma once

#include <chrono>
#include <cstdint>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace hidplatform {

// Error codes (the Windows values, so a native backend passes its own through unchanged).
inline constexpr std::uint32_t kErrorSuccess = 0;
inline constexpr std::uint32_t kErrorFileNotFound = 2;
inline constexpr std::uint32_t kErrorAccessDenied = 5;
inline constexpr std::uint32_t kErrorInvalidHandle = 6;
inline constexpr std::uint32_t kErrorGenFailure = 31;
inline constexpr std::uint32_t kErrorNotSupported = 50;
inline constexpr std::uint32_t kErrorInvalidParameter = 87;
inline constexpr std::uint32_t kErrorInsufficientBuffer = 122;
inline constexpr std::uint32_t kErrorOperationAborted = 995;
inline constexpr std::uint32_t kErrorIoPending = 997;
inline constexpr std::uint32_t kErrorDeviceNotConnected = 1167;
inline constexpr std::uint32_t kErrorInvalidUserBuffer = 1784;

// HID parser status codes.
inline constexpr std::uint32_t kHidpStatusSuccess = 0x00110000;
inline constexpr std::uint32_t kHidpStatusNull = 0x80110001;
inline constexpr std::uint32_t kHidpStatusNotImplemented = 0xC0110020;

// Device-change notification: the message and parameter that mean "device nodes changed".
inline constexpr std::uint32_t kWmDeviceChange = 0x0219;
inline constexpr std::uintptr_t kDbtDevNodesChanged = 7;

// The HID interface class id as text, "{4D1E55B2-F16F-11CF-88CB-001111000030}".
using ClassGuid = std::u16string;
ClassGuid DefaultHidClassGuid();

struct HidAttributes {
  std::uint16_t VendorID = 0;
  std::uint16_t ProductID = 0;
  std::uint16_t VersionNumber = 0;
};

// Report lengths in bytes always include the report-id byte, also for devices that use no
// report ids (their id byte is 0).
struct HidCaps {
  std::uint16_t Usage = 0;
  std::uint16_t UsagePage = 0;
  std::uint16_t InputReportByteLength = 0;
  std::uint16_t OutputReportByteLength = 0;
  std::uint16_t FeatureReportByteLength = 0;
  std::uint16_t NumberLinkCollectionNodes = 0;
  std::uint16_t NumberInputButtonCaps = 0;
  std::uint16_t NumberInputValueCaps = 0;
  std::uint16_t NumberInputDataIndices = 0;
  std::uint16_t NumberOutputButtonCaps = 0;
  std::uint16_t NumberOutputValueCaps = 0;
  std::uint16_t NumberOutputDataIndices = 0;
  std::uint16_t NumberFeatureButtonCaps = 0;
  std::uint16_t NumberFeatureValueCaps = 0;
  std::uint16_t NumberFeatureDataIndices = 0;
};

struct HidConfiguration {
  std::uint32_t RingBufferSize = 0;
  std::uint32_t Reserved1 = 0;
  std::uint32_t Reserved2 = 0;
};

struct HidLinkCollectionNode {
  std::uint16_t LinkUsage = 0;
  std::uint16_t LinkUsagePage = 0;
  std::uint16_t Parent = 0;
  std::uint16_t NumberOfChildren = 0;
  std::uint16_t NextSibling = 0;
  std::uint16_t FirstChild = 0;
  std::uint32_t CollectionType = 0;
  std::uint32_t IsAlias = 0;
};

// The parsed report descriptor of one interface. It answers without device access and stays
// valid after every handle of the interface has been closed. The parser calls beyond Caps are
// optional: a backend may answer "not implemented".
class PreparsedData {
 public:
  virtual ~PreparsedData() = default;
  virtual HidCaps Caps() const = 0;
  virtual std::uint32_t MaxDataListLength(std::uint32_t reportType) const;
  virtual std::uint32_t MaxUsageListLength(std::uint32_t reportType, std::uint16_t usagePage) const;
  // Fills nodes (sized by the caller to Caps().NumberLinkCollectionNodes); an HIDP status.
  virtual std::uint32_t GetLinkCollectionNodes(std::vector<HidLinkCollectionNode>& nodes) const;
};

// Device node registry property codes (the device setup service's SPDRP_ values).
namespace property {
inline constexpr std::uint32_t kDeviceDesc = 0;
inline constexpr std::uint32_t kHardwareId = 1;
inline constexpr std::uint32_t kCompatibleIds = 2;
inline constexpr std::uint32_t kService = 4;
inline constexpr std::uint32_t kClass = 7;
inline constexpr std::uint32_t kClassGuid = 8;
inline constexpr std::uint32_t kDriver = 9;
inline constexpr std::uint32_t kConfigFlags = 10;
inline constexpr std::uint32_t kMfg = 11;
inline constexpr std::uint32_t kFriendlyName = 12;
inline constexpr std::uint32_t kLocationInformation = 13;
inline constexpr std::uint32_t kPhysicalDeviceObjectName = 14;
inline constexpr std::uint32_t kCapabilities = 15;
inline constexpr std::uint32_t kUiNumber = 16;
inline constexpr std::uint32_t kUpperFilters = 17;
inline constexpr std::uint32_t kLowerFilters = 18;
inline constexpr std::uint32_t kBusTypeGuid = 19;
inline constexpr std::uint32_t kLegacyBusType = 20;
inline constexpr std::uint32_t kBusNumber = 21;
inline constexpr std::uint32_t kEnumeratorName = 22;
inline constexpr std::uint32_t kSecuritySds = 24;
inline constexpr std::uint32_t kDevType = 25;
inline constexpr std::uint32_t kExclusive = 26;
inline constexpr std::uint32_t kCharacteristics = 27;
inline constexpr std::uint32_t kAddress = 28;
inline constexpr std::uint32_t kUiNumberDescFormat = 30;
}  // namespace property

// A registry-like property value: a 32-bit number, a text, or a list of texts. A property that
// a device node does not have is simply absent from the map.
using DeviceProperty = std::variant<std::uint32_t, std::u16string, std::vector<std::u16string>>;

// One HID interface present on the machine, as the listing found it.
struct InterfaceInfo {
  // The device instance number of the interface's device node. It stays the same for as long
  // as the interface is present, and is never reused for another interface while the program
  // runs: the transport matches interfaces from one listing to the next by it.
  std::uint32_t DeviceInstance = 0;
  std::u16string DevicePath;  // what Open takes
  std::map<std::uint32_t, DeviceProperty> Properties;
};

enum class OpenMode {
  ReadWrite,        // synchronous handle with read and write access
  QueryOnly,        // synchronous handle with no access: identity, strings, caps only
  OverlappedRead,   // asynchronous reads (StartRead / WaitRead / CancelRead)
  OverlappedWrite,  // asynchronous writes (StartWrite)
};

// An interruptible wait object owned by one reading thread. Signal() may be called from any
// thread; once signalled it stays signalled, so a wait that starts after the signal returns at
// once. A backend makes WaitRead return when the waker given to it is signalled.
class Waker {
 public:
  virtual ~Waker() = default;
  virtual void Signal() = 0;
  virtual bool IsSignalled() const = 0;
  // Waits up to timeout; true when signalled (at once if it already was).
  virtual bool Wait(std::chrono::milliseconds timeout) = 0;
};

enum class ReadWait {
  Completed,    // the outstanding read completed (possibly with 0 bytes: failed or aborted)
  TimedOut,     // the slice passed; the read is still outstanding
  Interrupted,  // the waker was signalled; the read is still outstanding
};

// An open handle on one interface, shared by the threads that use it (std::shared_ptr). Close()
// marks it closed and wakes a thread waiting in WaitRead (its read completes with 0 bytes); the
// operating system's handle is released when the last shared_ptr lets go, so a thread that still
// holds the handle never sees its descriptor reused. After Close every call fails
// (kErrorInvalidHandle, false or 0).
class Handle {
 public:
  virtual ~Handle() = default;

  virtual OpenMode Mode() const = 0;
  virtual void Close() = 0;  // idempotent
  virtual bool IsClosed() const = 0;

  // Identity and strings (any synchronous handle, query-only included). A string is the
  // device's text without a terminating zero; false when the device has none or fails.
  virtual bool GetAttributes(HidAttributes& attributes) = 0;
  virtual bool GetProductString(std::u16string& text) = 0;
  virtual bool GetManufacturerString(std::u16string& text) = 0;
  virtual bool GetSerialNumberString(std::u16string& text) = 0;
  // Index 0 gives the language-id list, one id per UTF-16 unit.
  virtual bool GetIndexedString(std::uint32_t index, std::u16string& text) = 0;
  virtual std::shared_ptr<const PreparsedData> GetPreparsedData() = 0;

  // How many input reports the platform queues for this handle.
  virtual bool GetNumInputBuffers(std::uint32_t& count) = 0;
  virtual bool SetNumInputBuffers(std::uint32_t count) = 0;

  // Blocking write of one whole output report (first byte: the report id) on a read/write
  // synchronous handle; a query-only handle refuses. written receives the bytes written.
  virtual bool Write(std::span<const std::uint8_t> report, std::uint32_t& written) = 0;

  // One asynchronous read of one whole input report (first byte: the report id) on an
  // overlapped-read handle. Returns kErrorSuccess when the read is outstanding, else the error.
  // The buffer must stay valid until WaitRead reported Completed or CancelRead returned; a
  // buffer shorter than the input report length is refused (kErrorInvalidUserBuffer).
  // StartRead, WaitRead and CancelRead are called by one thread, the reading thread.
  virtual std::uint32_t StartRead(std::span<std::uint8_t> buffer) = 0;
  // Waits up to slice for the outstanding read; also returns when waker is signalled or the
  // handle is closed (then the read has completed with 0 bytes).
  virtual ReadWait WaitRead(std::chrono::milliseconds slice, Waker& waker) = 0;
  // Bytes of the last completed request on this overlapped handle, without waiting; 0 when the
  // request failed, was aborted (by Close or CancelRead) or is still outstanding. A read that
  // completed before the handle was closed keeps its count, so its report is not lost.
  virtual std::uint32_t LastTransferCount() = 0;
  // Cancels the outstanding read; when it returns, the read no longer writes into its buffer.
  virtual bool CancelRead() = 0;

  // Optional services; the defaults answer "not supported".
  // Blocking read of one whole input report on a synchronous handle.
  virtual bool Read(std::span<std::uint8_t> report, std::uint32_t& read);
  virtual std::uint32_t StartWrite(std::span<const std::uint8_t> report);  // overlapped write
  virtual bool FlushQueue();
  virtual bool GetFeature(std::span<std::uint8_t> report);
  virtual bool SetFeature(std::span<const std::uint8_t> report);
  virtual bool GetInputReport(std::span<std::uint8_t> report);
  virtual bool SetOutputReport(std::span<const std::uint8_t> report);
  virtual bool GetConfiguration(HidConfiguration& configuration);
  virtual bool SetConfiguration(const HidConfiguration& configuration);
  // Physical descriptor into buffer; kErrorInsufficientBuffer when it is longer than buffer.
  virtual std::uint32_t GetPhysicalDescriptor(std::span<std::uint8_t> buffer);
  virtual bool HasGetInputReport() const { return false; }
  virtual bool HasSetOutputReport() const { return false; }
};

using HandlePtr = std::shared_ptr<Handle>;

// Device-change notifications. While the watch object lives, the backend calls the callback on
// the main thread for every device-node change, with the message (kWmDeviceChange) and its two
// parameters (kDbtDevNodesChanged and 0 for a change of device nodes; other values are possible
// and mean nothing to the transport). Two ways of reaching the main thread, by backend:
// - A backend with a notification descriptor (Linux: the udev monitor's fd) returns it from
//   NotificationFd(). The caller (the Qt glue in hid/) watches it for readability on the main
//   thread and then calls ProcessPendingNotifications(), which reads what is pending and calls
//   the callback, on the calling thread.
// - A backend whose notifications arrive as window messages (Windows: a hidden top-level tool
//   window receiving WM_DEVICECHANGE; its messages are pumped by the application's own event
//   loop on the main thread) returns -1 from NotificationFd() and calls the callback from its
//   window procedure. ProcessPendingNotifications() then has nothing to do.
// The callback must not destroy the watch object.
using DeviceChangeCallback =
    std::function<void(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)>;

// Receives an error thrown by the callback where no caller could catch it.
using CallbackErrorHandler = std::function<void(std::exception_ptr error)>;

class DeviceChangeWatch {
 public:
  virtual ~DeviceChangeWatch() = default;
  virtual int NotificationFd() const { return -1; }
  virtual void ProcessPendingNotifications() {}

  // A callback run from a window procedure must not throw past it (the platform's message
  // dispatch cannot unwind): such a backend catches what the callback throws and hands it to
  // this handler, or drops it without one. A backend that calls back from the caller's own call
  // (ProcessPendingNotifications) lets the error reach the caller instead.
  void SetCallbackErrorHandler(CallbackErrorHandler handler) { errorHandler_ = std::move(handler); }

  // Whether notifications actually arrive: a watch can exist while the service behind it does
  // not run (Linux without a udev daemon, as in many containers), and then nothing plugged in
  // later is ever noticed. Asked anew at each call.
  virtual bool DeliversNotifications() const { return true; }

 protected:
  // Runs the callback, handing what it throws to the error handler.
  void CallBackCatchingErrors(const DeviceChangeCallback& callback, std::uint32_t message,
                              std::uintptr_t wParam, std::intptr_t lParam) const {
    try {
      callback(message, wParam, lParam);
    } catch (...) {
      if (errorHandler_) errorHandler_(std::current_exception());
    }
  }

 private:
  CallbackErrorHandler errorHandler_;
};

class HidPlatform {
 public:
  virtual ~HidPlatform() = default;

  // False when the HID or device-setup services cannot be reached: the transport then stays
  // inert (lists nothing, gets no notifications).
  virtual bool IsAvailable() const = 0;
  virtual ClassGuid HidClassGuid() const { return DefaultHidClassGuid(); }
  // The HID service's version text; empty when it offers none.
  virtual std::u16string HidVersion() const = 0;
  // The display name of a language id of the device strings; empty when the platform has none.
  virtual std::u16string LanguageName(std::uint16_t /*languageId*/) const { return {}; }

  // The present HID interfaces in the platform's listing order, or false when the listing
  // itself failed. An interface whose details cannot be read is left out.
  virtual bool ListInterfaces(std::vector<InterfaceInfo>& interfaces) = 0;

  // Opens an interface path; nullptr on failure, with the platform's code in *error.
  virtual HandlePtr Open(const std::u16string& devicePath, OpenMode mode,
                         std::uint32_t* error = nullptr) = 0;

  // A waker for one reading thread (see Waker and Handle::WaitRead).
  virtual std::unique_ptr<Waker> CreateWaker() = 0;

  // Starts watching for device-node changes (see DeviceChangeCallback); call on the main
  // thread. Watching starts before this returns, so a listing made afterwards misses nothing.
  // nullptr when the platform cannot notify.
  virtual std::unique_ptr<DeviceChangeWatch> WatchDeviceChanges(DeviceChangeCallback callback) = 0;
};

}  // namespace hidplatform
