// An open handle on one HID interface. The operating system's handle stays open until the last
// user lets go; Close() only marks it closed and cancels what is outstanding on it, so a reading
// thread that still holds it never sees the handle value reused.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

#include "hid/platform/HidPlatform.h"
#include "hid/platform/windows/WindowsHidServices.h"

namespace hidplatform::windows {

// One overlapped request: its record and what its completion routine reported. Completion
// routines run on the thread that issued the request, while it waits alertably.
struct OverlappedRequest {
  OVERLAPPED overlapped{};
  std::atomic<bool> outstanding = false;
  DWORD issuingThread = 0;
};

class WindowsHidHandle final : public Handle {
 public:
  WindowsHidHandle(std::shared_ptr<const HidServices> services, HANDLE handle, OpenMode mode);
  ~WindowsHidHandle() override;
  WindowsHidHandle(const WindowsHidHandle&) = delete;
  WindowsHidHandle& operator=(const WindowsHidHandle&) = delete;

  OpenMode Mode() const override { return mode_; }
  void Close() override;
  bool IsClosed() const override;

  bool GetAttributes(HidAttributes& attributes) override;
  bool GetProductString(std::u16string& text) override;
  bool GetManufacturerString(std::u16string& text) override;
  bool GetSerialNumberString(std::u16string& text) override;
  bool GetIndexedString(std::uint32_t index, std::u16string& text) override;
  std::shared_ptr<const PreparsedData> GetPreparsedData() override;

  bool GetNumInputBuffers(std::uint32_t& count) override;
  bool SetNumInputBuffers(std::uint32_t count) override;

  bool Write(std::span<const std::uint8_t> report, std::uint32_t& written) override;
  bool Read(std::span<std::uint8_t> report, std::uint32_t& read) override;

  std::uint32_t StartRead(std::span<std::uint8_t> buffer) override;
  ReadWait WaitRead(std::chrono::milliseconds slice, Waker& waker) override;
  std::uint32_t LastTransferCount() override;
  bool CancelRead() override;
  std::uint32_t StartWrite(std::span<const std::uint8_t> report) override;

  bool FlushQueue() override;
  bool GetFeature(std::span<std::uint8_t> report) override;
  bool SetFeature(std::span<const std::uint8_t> report) override;
  bool GetInputReport(std::span<std::uint8_t> report) override;
  bool SetOutputReport(std::span<const std::uint8_t> report) override;
  bool GetConfiguration(HidConfiguration& configuration) override;
  bool SetConfiguration(const HidConfiguration& configuration) override;
  std::uint32_t GetPhysicalDescriptor(std::span<std::uint8_t> buffer) override;
  bool HasGetInputReport() const override { return services_->HidD_GetInputReport != nullptr; }
  bool HasSetOutputReport() const override { return services_->HidD_SetOutputReport != nullptr; }

 private:
  using StringCall = decltype(&::HidD_GetProductString);
  bool ReadString(StringCall call, std::u16string& text);
  bool IsSynchronous() const;
  // Issues one overlapped request unless the handle is closed; a platform error code.
  template <typename Issue>
  std::uint32_t IssueRequest(OverlappedRequest& request, Issue issue);
  void WaitUntilCompletionRan(OverlappedRequest& request);
  void AbandonOutstanding(std::unique_ptr<OverlappedRequest>& request);

  const std::shared_ptr<const HidServices> services_;
  const HANDLE handle_;
  const OpenMode mode_;
  mutable std::mutex closeMutex_;  // orders Close() against issuing a request
  bool closed_ = false;
  std::unique_ptr<OverlappedRequest> read_ = std::make_unique<OverlappedRequest>();
  std::unique_ptr<OverlappedRequest> write_ = std::make_unique<OverlappedRequest>();
  std::vector<std::uint8_t> writeBuffer_;
};

}  // namespace hidplatform::windows
