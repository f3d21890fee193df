// The reading thread of a checked-out device: issues one asynchronous read at a time and hands
// every completed report (and every refused read request) to the main thread, blocking until the
// handler has run. Created and stopped only by its device (StartReadThread, StopReadThread).
#pragma once

#include <QString>
#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "hid/THandOff.h"
#include "hid/platform/HidPlatform.h"

class THidDevice;

class THidDeviceReadThread final {
 public:
  // Always raises EControllerError: reading threads come from StartReadThread only.
  explicit THidDeviceReadThread(bool CreateSuspended);
  THidDeviceReadThread(const THidDeviceReadThread&) = delete;
  THidDeviceReadThread& operator=(const THidDeviceReadThread&) = delete;
  ~THidDeviceReadThread();

  THidDevice* Device() const { return FDevice; }
  // True once the loop has ended (asked to stop, or a handler's error ended it).
  bool Finished() const { return FFinished; }
  std::uint32_t Err() const { return FErr; }
  std::uint32_t NumBytesRead() const { return FNumBytesRead; }

 private:
  friend class THidDevice;

  THidDeviceReadThread(THidDevice* Device, std::size_t ReportLength,
                       std::unique_ptr<hidplatform::Waker> Waker);
  // Main thread: asks the loop to stop, serves its hand-offs until it has ended, joins it.
  void Stop();
  void Execute();
  void RunLoop(hidplatform::HandlePtr& Outstanding);
  bool WaitForRead(hidplatform::Handle& Handle);
  void DeliverData();
  void DeliverError();
  void Pause(std::int32_t Milliseconds);
  // Logs a refused read request, once per kind of error: a device whose requests keep failing
  // (one per slice) must not fill the log.
  void ReportReadError(std::uint32_t Error);

  THidDevice* FDevice = nullptr;
  QString FDevicePath;  // for the log, taken on the main thread
  std::uint32_t FReportedErr = 0;
  std::vector<std::uint8_t> FReport;
  std::atomic<std::uint32_t> FNumBytesRead{0};
  std::atomic<std::uint32_t> FErr{0};
  std::atomic<bool> FTerminated{false};
  std::atomic<bool> FFinished{false};
  std::unique_ptr<hidplatform::Waker> FWaker;
  THandOff FHandOff;
  std::thread FThread;
};
