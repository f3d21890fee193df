#include "hid/platform/windows/WindowsHidHandle.h"

#include <algorithm>
#include <array>
#include <utility>

#include "hid/platform/windows/WindowsPreparsedData.h"
#include "hid/platform/windows/WindowsText.h"
#include "hid/platform/windows/WindowsWaker.h"

namespace hidplatform::windows {
namespace {

// The device strings' buffer: 508 bytes, 254 UTF-16 units.
constexpr std::size_t kStringUnits = 254;
// How often a wait that cannot watch the waker's event looks at the waker.
constexpr DWORD kWakerPollMilliseconds = 10;

// The request record's event member carries the request itself: the overlapped services with a
// completion routine leave that member to the caller.
void CALLBACK RequestCompleted(DWORD /*error*/, DWORD /*bytes*/, LPOVERLAPPED overlapped) {
  static_cast<OverlappedRequest*>(overlapped->hEvent)->outstanding = false;
}

DWORD ByteCount(std::size_t size) {
  return static_cast<DWORD>(std::min<std::size_t>(size, MAXDWORD));
}

// The language-id list (string 0) comes back in a buffer filled with 0xFF first: its entries end
// after the last one that is neither 0xFFFF nor 0.
std::u16string LanguageIdList(const std::array<wchar_t, kStringUnits>& units) {
  std::size_t count = units.size();
  while (count > 0 && (units[count - 1] == 0xFFFF || units[count - 1] == 0)) --count;
  return std::u16string(units.begin(), units.begin() + static_cast<std::ptrdiff_t>(count));
}

}  // namespace

WindowsHidHandle::WindowsHidHandle(std::shared_ptr<const HidServices> services, HANDLE handle,
                                   OpenMode mode)
    : services_(std::move(services)), handle_(handle), mode_(mode) {}

WindowsHidHandle::~WindowsHidHandle() {
  AbandonOutstanding(read_);
  AbandonOutstanding(write_);
  ::CloseHandle(handle_);
}

void WindowsHidHandle::Close() {
  const std::lock_guard lock(closeMutex_);
  if (closed_) return;
  closed_ = true;
  // Ends the outstanding requests of every thread: a waiting reader sees its read complete.
  ::CancelIoEx(handle_, nullptr);
}

bool WindowsHidHandle::IsClosed() const {
  const std::lock_guard lock(closeMutex_);
  return closed_;
}

bool WindowsHidHandle::IsSynchronous() const {
  return mode_ == OpenMode::ReadWrite || mode_ == OpenMode::QueryOnly;
}

// --- identity, strings, parsed descriptor, buffering

bool WindowsHidHandle::GetAttributes(HidAttributes& attributes) {
  if (IsClosed()) return false;
  HIDD_ATTRIBUTES platform{};
  platform.Size = sizeof(HIDD_ATTRIBUTES);
  if (!services_->HidD_GetAttributes(handle_, &platform)) return false;
  attributes = {platform.VendorID, platform.ProductID, platform.VersionNumber};
  return true;
}

bool WindowsHidHandle::ReadString(StringCall call, std::u16string& text) {
  if (IsClosed()) return false;
  std::array<wchar_t, kStringUnits> units{};
  if (!call(handle_, units.data(), sizeof units)) return false;
  text = TextUpToZero(units);
  return true;
}

bool WindowsHidHandle::GetProductString(std::u16string& text) {
  return ReadString(services_->HidD_GetProductString, text);
}

bool WindowsHidHandle::GetManufacturerString(std::u16string& text) {
  return ReadString(services_->HidD_GetManufacturerString, text);
}

bool WindowsHidHandle::GetSerialNumberString(std::u16string& text) {
  return ReadString(services_->HidD_GetSerialNumberString, text);
}

bool WindowsHidHandle::GetIndexedString(std::uint32_t index, std::u16string& text) {
  if (IsClosed()) return false;
  std::array<wchar_t, kStringUnits> units{};
  if (index == 0) units.fill(static_cast<wchar_t>(0xFFFF));
  if (!services_->HidD_GetIndexedString(handle_, index, units.data(), sizeof units)) return false;
  text = index == 0 ? LanguageIdList(units) : TextUpToZero(units);
  return true;
}

std::shared_ptr<const PreparsedData> WindowsHidHandle::GetPreparsedData() {
  if (IsClosed()) return nullptr;
  PHIDP_PREPARSED_DATA data = nullptr;
  if (!services_->HidD_GetPreparsedData(handle_, &data)) return nullptr;
  return std::make_shared<WindowsPreparsedData>(services_, data);
}

bool WindowsHidHandle::GetNumInputBuffers(std::uint32_t& count) {
  if (IsClosed()) return false;
  ULONG platform = 0;
  if (!services_->HidD_GetNumInputBuffers(handle_, &platform)) return false;
  count = platform;
  return true;
}

bool WindowsHidHandle::SetNumInputBuffers(std::uint32_t count) {
  return !IsClosed() && services_->HidD_SetNumInputBuffers(handle_, count);
}

// --- blocking transfers on the synchronous handle

bool WindowsHidHandle::Write(std::span<const std::uint8_t> report, std::uint32_t& written) {
  // A blocking call on an overlapped handle would be undefined; those have StartWrite.
  if (!IsSynchronous() || IsClosed()) return false;
  DWORD count = 0;
  const BOOL ok = ::WriteFile(handle_, report.data(), ByteCount(report.size()), &count, nullptr);
  written = count;
  return ok != FALSE;
}

bool WindowsHidHandle::Read(std::span<std::uint8_t> report, std::uint32_t& read) {
  if (!IsSynchronous() || IsClosed()) return false;
  DWORD count = 0;
  const BOOL ok = ::ReadFile(handle_, report.data(), ByteCount(report.size()), &count, nullptr);
  read = count;
  return ok != FALSE;
}

// --- overlapped transfers

template <typename Issue>
std::uint32_t WindowsHidHandle::IssueRequest(OverlappedRequest& request, Issue issue) {
  if (request.outstanding) return kErrorInvalidParameter;
  const std::lock_guard lock(closeMutex_);
  if (closed_) return kErrorInvalidHandle;
  request.overlapped = {};
  request.overlapped.hEvent = &request;
  request.issuingThread = ::GetCurrentThreadId();
  request.outstanding = true;
  if (!issue(&request.overlapped)) {
    request.outstanding = false;
    return ::GetLastError();
  }
  return kErrorSuccess;
}

std::uint32_t WindowsHidHandle::StartRead(std::span<std::uint8_t> buffer) {
  if (mode_ != OpenMode::OverlappedRead) return kErrorAccessDenied;
  return IssueRequest(*read_, [&](LPOVERLAPPED overlapped) {
    return ::ReadFileEx(handle_, buffer.data(), ByteCount(buffer.size()), overlapped,
                        RequestCompleted);
  });
}

std::uint32_t WindowsHidHandle::StartWrite(std::span<const std::uint8_t> report) {
  if (mode_ != OpenMode::OverlappedWrite) return kErrorAccessDenied;
  // The platform reads the report until the request completes, so it writes from a copy.
  if (!write_->outstanding) writeBuffer_.assign(report.begin(), report.end());
  return IssueRequest(*write_, [&](LPOVERLAPPED overlapped) {
    return ::WriteFileEx(handle_, writeBuffer_.data(), ByteCount(writeBuffer_.size()), overlapped,
                         RequestCompleted);
  });
}

// Alertable waits in slices: the read's completion routine ends the wait, so does the waker.
// Another completion routine of the thread (not this read's) does not.
ReadWait WindowsHidHandle::WaitRead(std::chrono::milliseconds slice, Waker& waker) {
  auto* windowsWaker = dynamic_cast<WindowsWaker*>(&waker);
  const ULONGLONG deadline = ::GetTickCount64() + WaitMilliseconds(slice);
  for (;;) {
    if (!read_->outstanding) return ReadWait::Completed;
    if (waker.IsSignalled()) return ReadWait::Interrupted;
    const ULONGLONG now = ::GetTickCount64();
    if (now >= deadline) return ReadWait::TimedOut;
    const DWORD remaining = static_cast<DWORD>(deadline - now);
    if (windowsWaker != nullptr) {
      ::WaitForSingleObjectEx(windowsWaker->Event(), remaining, TRUE);
    } else {
      ::SleepEx(std::min(remaining, kWakerPollMilliseconds), TRUE);
    }
  }
}

// Also after Close: a read that completed before it keeps its count (the handle itself stays
// open until the last user lets go), while one that Close aborted reports a failure.
std::uint32_t WindowsHidHandle::LastTransferCount() {
  OverlappedRequest& request = mode_ == OpenMode::OverlappedWrite ? *write_ : *read_;
  DWORD count = 0;
  if (!::GetOverlappedResult(handle_, &request.overlapped, &count, FALSE)) return 0;
  return count;
}

bool WindowsHidHandle::CancelRead() {
  if (!read_->outstanding) return true;
  const BOOL cancelled = read_->issuingThread == ::GetCurrentThreadId()
                             ? ::CancelIo(handle_)
                             : ::CancelIoEx(handle_, &read_->overlapped);
  WaitUntilCompletionRan(*read_);
  return cancelled != FALSE || !read_->outstanding;
}

// Only the issuing thread runs the completion routine; any other thread can only wait until the
// platform is done with the buffer.
void WindowsHidHandle::WaitUntilCompletionRan(OverlappedRequest& request) {
  if (request.issuingThread == ::GetCurrentThreadId()) {
    while (request.outstanding) ::SleepEx(INFINITE, TRUE);
  } else {
    while (!HasOverlappedIoCompleted(&request.overlapped)) ::Sleep(1);
  }
}

// A request still outstanding when the handle goes: cancel it and wait until the platform no
// longer touches its buffer. Its completion routine may still be queued for the issuing thread,
// so a request whose routine has not run is left allocated for it.
void WindowsHidHandle::AbandonOutstanding(std::unique_ptr<OverlappedRequest>& request) {
  if (!request->outstanding) return;
  ::CancelIoEx(handle_, &request->overlapped);
  WaitUntilCompletionRan(*request);
  if (request->outstanding) static_cast<void>(request.release());
}

// --- optional services

bool WindowsHidHandle::FlushQueue() { return !IsClosed() && services_->HidD_FlushQueue(handle_); }

bool WindowsHidHandle::GetFeature(std::span<std::uint8_t> report) {
  return !IsClosed() &&
         services_->HidD_GetFeature(handle_, report.data(), ByteCount(report.size()));
}

// The platform's setters take a writable buffer; they get a copy.
bool WindowsHidHandle::SetFeature(std::span<const std::uint8_t> report) {
  std::vector<std::uint8_t> copy(report.begin(), report.end());
  return !IsClosed() && services_->HidD_SetFeature(handle_, copy.data(), ByteCount(copy.size()));
}

bool WindowsHidHandle::GetInputReport(std::span<std::uint8_t> report) {
  return HasGetInputReport() && !IsClosed() &&
         services_->HidD_GetInputReport(handle_, report.data(), ByteCount(report.size()));
}

bool WindowsHidHandle::SetOutputReport(std::span<const std::uint8_t> report) {
  std::vector<std::uint8_t> copy(report.begin(), report.end());
  return HasSetOutputReport() && !IsClosed() &&
         services_->HidD_SetOutputReport(handle_, copy.data(), ByteCount(copy.size()));
}

bool WindowsHidHandle::GetConfiguration(HidConfiguration& configuration) {
  if (IsClosed()) return false;
  HIDD_CONFIGURATION platform{};
  if (!services_->HidD_GetConfiguration(handle_, &platform, sizeof platform)) return false;
  configuration = {.RingBufferSize = platform.RingBufferSize, .Reserved1 = platform.size};
  return true;
}

bool WindowsHidHandle::SetConfiguration(const HidConfiguration& configuration) {
  if (IsClosed()) return false;
  HIDD_CONFIGURATION platform{};
  platform.size = configuration.Reserved1;
  platform.RingBufferSize = configuration.RingBufferSize;
  return services_->HidD_SetConfiguration(handle_, &platform, sizeof platform);
}

std::uint32_t WindowsHidHandle::GetPhysicalDescriptor(std::span<std::uint8_t> buffer) {
  if (IsClosed()) return kErrorInvalidHandle;
  if (services_->HidD_GetPhysicalDescriptor(handle_, buffer.data(), ByteCount(buffer.size()))) {
    return kErrorSuccess;
  }
  return ::GetLastError();
}

}  // namespace hidplatform::windows
