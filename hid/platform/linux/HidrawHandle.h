#pragma once
// An open handle on a hidraw node. Reads wait in poll() on the node, the handle's own close
// signal and the reading thread's waker, so closing the handle or stopping the thread ends a
// wait at once. The descriptor stays open until the last owner lets go, never while another
// thread may still use it.

#include <atomic>
#include <memory>
#include <optional>
#include <span>

#include "LayoutPreparsedData.h"
#include "SysfsHidNode.h"
#include "UniqueFd.h"
#include "hid/platform/HidPlatform.h"

namespace linuxhid {

// What a handle knows of its node besides the descriptor: found when the node is opened.
struct HidrawNodeInfo {
  std::optional<SysfsHidNode> sysfs;
  std::shared_ptr<const LayoutPreparsedData> preparsed;  // none without a readable descriptor
};

class HidrawHandle : public hidplatform::Handle {
 public:
  // node: the opened node (O_PATH for a query-only handle); closeSignal: an eventfd of its own.
  HidrawHandle(UniqueFd node, UniqueFd closeSignal, hidplatform::OpenMode mode,
               HidrawNodeInfo info);

  hidplatform::OpenMode Mode() const override { return mode_; }
  void Close() override;
  bool IsClosed() const override { return closed_.load(); }

  bool GetAttributes(hidplatform::HidAttributes& attributes) override;
  bool GetProductString(std::u16string& text) override;
  bool GetManufacturerString(std::u16string& text) override;
  bool GetSerialNumberString(std::u16string& text) override;
  bool GetIndexedString(std::uint32_t index, std::u16string& text) override;
  std::shared_ptr<const hidplatform::PreparsedData> GetPreparsedData() override;

  bool GetNumInputBuffers(std::uint32_t& count) override;
  bool SetNumInputBuffers(std::uint32_t count) override;

  bool Write(std::span<const std::uint8_t> report, std::uint32_t& written) override;
  std::uint32_t StartWrite(std::span<const std::uint8_t> report) override;

  std::uint32_t StartRead(std::span<std::uint8_t> buffer) override;
  hidplatform::ReadWait WaitRead(std::chrono::milliseconds slice,
                                 hidplatform::Waker& waker) override;
  std::uint32_t LastTransferCount() override;
  bool CancelRead() override;

  bool GetFeature(std::span<std::uint8_t> report) override;
  bool SetFeature(std::span<const std::uint8_t> report) override;
  bool GetInputReport(std::span<std::uint8_t> report) override;
  bool SetOutputReport(std::span<const std::uint8_t> report) override;
  bool HasGetInputReport() const override { return true; }
  bool HasSetOutputReport() const override { return true; }

 private:
  enum class ReadOutcome { completed, retry };

  bool CanTransfer() const;
  bool InputIsUnnumbered() const;
  std::uint16_t InputReportLength() const;
  ReadOutcome ReadReport();
  void CompleteRead(std::uint32_t bytes);
  void MarkGone();
  bool ReportIoctl(unsigned long request, void* report, std::size_t size);
  bool StringOf(const std::optional<std::string> SysfsHidNode::*field, std::u16string& text) const;

  UniqueFd node_;
  UniqueFd closeSignal_;
  const hidplatform::OpenMode mode_;
  const HidrawNodeInfo info_;
  std::atomic<bool> closed_{false};
  std::atomic<bool> gone_{false};
  std::atomic<std::uint32_t> lastTransfer_{0};
  // The outstanding read; used by the reading thread only.
  std::span<std::uint8_t> readBuffer_;
  bool readOutstanding_ = false;
};

}  // namespace linuxhid
