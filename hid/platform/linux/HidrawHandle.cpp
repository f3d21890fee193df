#include "HidrawHandle.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "EventFdWaker.h"
#include "HidrawIdentity.h"
#include "hid/platform/TextConversion.h"

namespace linuxhid {

using hidplatform::OpenMode;
using hidplatform::ReadWait;

namespace {

// The kernel queues up to this many input reports for every open hidraw descriptor; the number
// is fixed when the kernel is built.
constexpr std::uint32_t kernelQueueLength = 64;
// A waker that is not an eventfd is looked at between polls of at most this length.
constexpr auto foreignWakerPollStep = std::chrono::milliseconds(10);
// The largest buffer an ioctl request code can describe.
constexpr std::size_t maxIoctlBuffer = (std::size_t{1} << _IOC_SIZEBITS) - 1;

bool MeansDeviceGone(int error) { return error == EIO || error == ENODEV || error == ENXIO; }

int WakerFdOf(hidplatform::Waker& waker) {
  const auto* ownWaker = dynamic_cast<const EventFdWaker*>(&waker);
  return ownWaker != nullptr ? ownWaker->Fd() : -1;
}

}  // namespace

HidrawHandle::HidrawHandle(UniqueFd node, UniqueFd closeSignal, OpenMode mode, HidrawNodeInfo info)
    : node_(std::move(node)),
      closeSignal_(std::move(closeSignal)),
      mode_(mode),
      info_(std::move(info)) {}

void HidrawHandle::Close() {
  if (closed_.exchange(true)) return;
  SignalEventFd(closeSignal_.Get());
}

bool HidrawHandle::CanTransfer() const { return !closed_.load() && !gone_.load(); }

void HidrawHandle::MarkGone() { gone_.store(true); }

bool HidrawHandle::GetAttributes(hidplatform::HidAttributes& attributes) {
  if (closed_.load()) return false;
  const std::uint16_t version = info_.sysfs ? info_.sysfs->versionNumber : 0;
  hidraw_devinfo rawInfo{};
  // A query-only handle is an O_PATH descriptor, which takes no ioctl: sysfs answers for it.
  if (mode_ != OpenMode::QueryOnly && ::ioctl(node_.Get(), HIDIOCGRAWINFO, &rawInfo) == 0) {
    attributes = AttributesFromRawInfo(rawInfo, version);
    return true;
  }
  if (!info_.sysfs) return false;
  attributes.VendorID = info_.sysfs->vendorId;
  attributes.ProductID = info_.sysfs->productId;
  attributes.VersionNumber = version;
  return true;
}

bool HidrawHandle::StringOf(const std::optional<std::string> SysfsHidNode::*field,
                            std::u16string& text) const {
  if (closed_.load() || !info_.sysfs) return false;
  const std::optional<std::string>& value = (*info_.sysfs).*field;
  if (!value || value->empty()) return false;
  text = hidplatform::Utf8ToUtf16(*value);
  return true;
}

bool HidrawHandle::GetProductString(std::u16string& text) {
  return StringOf(&SysfsHidNode::product, text);
}

bool HidrawHandle::GetManufacturerString(std::u16string& text) {
  return StringOf(&SysfsHidNode::manufacturer, text);
}

bool HidrawHandle::GetSerialNumberString(std::u16string& text) {
  return StringOf(&SysfsHidNode::serialNumber, text);
}

// Reaching other string descriptors takes raw USB control requests, which need more rights
// than an ordinary user has.
bool HidrawHandle::GetIndexedString(std::uint32_t, std::u16string&) { return false; }

std::shared_ptr<const hidplatform::PreparsedData> HidrawHandle::GetPreparsedData() {
  if (closed_.load()) return nullptr;
  return info_.preparsed;
}

bool HidrawHandle::GetNumInputBuffers(std::uint32_t& count) {
  if (closed_.load()) return false;
  count = kernelQueueLength;
  return true;
}

bool HidrawHandle::SetNumInputBuffers(std::uint32_t) { return false; }

// The report goes out as given: for a device without report ids the kernel itself drops the
// leading 0.
bool HidrawHandle::Write(std::span<const std::uint8_t> report, std::uint32_t& written) {
  if (mode_ != OpenMode::ReadWrite || !CanTransfer() || report.empty()) return false;
  ssize_t result = 0;
  do {
    result = ::write(node_.Get(), report.data(), report.size());
  } while (result < 0 && errno == EINTR);
  if (result < 0) {
    if (MeansDeviceGone(errno)) MarkGone();
    return false;
  }
  written = static_cast<std::uint32_t>(result);
  return static_cast<std::size_t>(result) == report.size();
}

std::uint32_t HidrawHandle::StartWrite(std::span<const std::uint8_t> report) {
  if (mode_ != OpenMode::OverlappedWrite) return hidplatform::kErrorInvalidParameter;
  if (closed_.load()) return hidplatform::kErrorInvalidHandle;
  if (gone_.load()) return hidplatform::kErrorDeviceNotConnected;
  lastTransfer_.store(0);
  ssize_t result = 0;
  do {
    result = ::write(node_.Get(), report.data(), report.size());
  } while (result < 0 && errno == EINTR);
  if (result < 0) {
    if (MeansDeviceGone(errno)) MarkGone();
    return gone_.load() ? hidplatform::kErrorDeviceNotConnected : hidplatform::kErrorGenFailure;
  }
  lastTransfer_.store(static_cast<std::uint32_t>(result));
  return hidplatform::kErrorSuccess;
}

std::uint16_t HidrawHandle::InputReportLength() const {
  return info_.preparsed ? info_.preparsed->Layout().input.byteLength : 0;
}

bool HidrawHandle::InputIsUnnumbered() const {
  return info_.preparsed && !info_.preparsed->Layout().input.numbered;
}

std::uint32_t HidrawHandle::StartRead(std::span<std::uint8_t> buffer) {
  if (mode_ != OpenMode::OverlappedRead) return hidplatform::kErrorInvalidParameter;
  if (closed_.load()) return hidplatform::kErrorInvalidHandle;
  if (gone_.load()) return hidplatform::kErrorDeviceNotConnected;
  // Two bytes at least: the report id and one byte of report.
  if (buffer.size() < std::max<std::size_t>(InputReportLength(), 2))
    return hidplatform::kErrorInvalidUserBuffer;
  lastTransfer_.store(0);
  readBuffer_ = buffer;
  readOutstanding_ = true;
  return hidplatform::kErrorSuccess;
}

void HidrawHandle::CompleteRead(std::uint32_t bytes) {
  lastTransfer_.store(bytes);
  readOutstanding_ = false;
  readBuffer_ = {};
}

// Linux hands over a report without its id byte when the device numbers none; the transport
// always expects one, so a 0 goes in front.
HidrawHandle::ReadOutcome HidrawHandle::ReadReport() {
  const bool unnumbered = InputIsUnnumbered();
  const std::span<std::uint8_t> target = unnumbered ? readBuffer_.subspan(1) : readBuffer_;
  const ssize_t result = ::read(node_.Get(), target.data(), target.size());
  if (result > 0) {
    if (unnumbered) readBuffer_[0] = 0;
    CompleteRead(static_cast<std::uint32_t>(result) + (unnumbered ? 1u : 0u));
    return ReadOutcome::completed;
  }
  if (result < 0 && (errno == EAGAIN || errno == EINTR)) return ReadOutcome::retry;
  // End of file or a failed read: the device has gone (or the read is lost with 0 bytes).
  if (result == 0 || MeansDeviceGone(errno)) MarkGone();
  CompleteRead(0);
  return ReadOutcome::completed;
}

ReadWait HidrawHandle::WaitRead(std::chrono::milliseconds slice, hidplatform::Waker& waker) {
  if (!readOutstanding_) return ReadWait::Completed;
  const int wakerFd = WakerFdOf(waker);
  const auto deadline = std::chrono::steady_clock::now() + slice;
  for (;;) {
    if (wakerFd < 0 && waker.IsSignalled()) return ReadWait::Interrupted;
    auto wait =
        std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (wakerFd < 0) wait = std::min(wait, foreignWakerPollStep);
    pollfd fds[3] = {
        {node_.Get(), POLLIN, 0}, {closeSignal_.Get(), POLLIN, 0}, {wakerFd, POLLIN, 0}};
    const int ready = ::poll(fds, wakerFd < 0 ? 2 : 3, PollTimeout(wait));
    if (ready < 0 && errno != EINTR) {
      CompleteRead(0);
      return ReadWait::Completed;
    }
    if (closed_.load() || (fds[1].revents & POLLIN) != 0) {
      CompleteRead(0);
      return ReadWait::Completed;
    }
    // A report still queued when the device went is handed over before the loss is seen.
    const short nodeEvents = fds[0].revents;
    if ((nodeEvents & POLLIN) != 0) {
      if (ReadReport() == ReadOutcome::completed) return ReadWait::Completed;
    } else if ((nodeEvents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
      MarkGone();
      CompleteRead(0);
      return ReadWait::Completed;
    }
    if (wakerFd >= 0 && (fds[2].revents & POLLIN) != 0) return ReadWait::Interrupted;
    if (std::chrono::steady_clock::now() >= deadline) return ReadWait::TimedOut;
  }
}

std::uint32_t HidrawHandle::LastTransferCount() {
  // A read that completed before the handle closed keeps its count: its report is not lost.
  if (readOutstanding_) return 0;
  return lastTransfer_.load();
}

// Reads happen inside WaitRead on the reading thread, so once the request is dropped nothing
// can write into its buffer any more.
bool HidrawHandle::CancelRead() {
  if (readOutstanding_) lastTransfer_.store(0);
  readOutstanding_ = false;
  readBuffer_ = {};
  return mode_ == OpenMode::OverlappedRead && !closed_.load();
}

bool HidrawHandle::ReportIoctl(unsigned long request, void* report, std::size_t size) {
  if (mode_ != OpenMode::ReadWrite || !CanTransfer() || size == 0 || size > maxIoctlBuffer)
    return false;
  int result = 0;
  do {
    result = ::ioctl(node_.Get(), request, report);
  } while (result < 0 && errno == EINTR);
  if (result < 0 && MeansDeviceGone(errno)) MarkGone();
  return result >= 0;
}

bool HidrawHandle::GetFeature(std::span<std::uint8_t> report) {
  return ReportIoctl(HIDIOCGFEATURE(report.size()), report.data(), report.size());
}

bool HidrawHandle::SetFeature(std::span<const std::uint8_t> report) {
  // The kernel only reads from the buffer for a "set" request.
  return ReportIoctl(HIDIOCSFEATURE(report.size()), const_cast<std::uint8_t*>(report.data()),
                     report.size());
}

bool HidrawHandle::GetInputReport(std::span<std::uint8_t> report) {
  return ReportIoctl(HIDIOCGINPUT(report.size()), report.data(), report.size());
}

bool HidrawHandle::SetOutputReport(std::span<const std::uint8_t> report) {
  return ReportIoctl(HIDIOCSOUTPUT(report.size()), const_cast<std::uint8_t*>(report.data()),
                     report.size());
}

}  // namespace linuxhid
