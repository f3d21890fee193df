#include "hid/THidDeviceReadThread.h"

#include <algorithm>
#include <chrono>

#include "hid/EControllerError.h"
#include "hid/HidLog.h"
#include "hid/THidDevice.h"

#if defined(__linux__)
#include <pthread.h>
#endif

namespace {

// A slice below 1 ms would make the loop spin without waiting.
std::chrono::milliseconds SliceOf(std::int32_t milliseconds) {
  return std::chrono::milliseconds(std::max<std::int32_t>(milliseconds, 1));
}

void NameCurrentThread() {
#if defined(__linux__)
  // Linux keeps 15 characters of a thread name.
  pthread_setname_np(pthread_self(), "THidDeviceRead");
#endif
}

}  // namespace

THidDeviceReadThread::THidDeviceReadThread(bool) {
  throw EControllerError(QString::fromLatin1(hidmessages::kDirectThreadCreation));
}

THidDeviceReadThread::THidDeviceReadThread(THidDevice* Device, std::size_t ReportLength,
                                           std::unique_ptr<hidplatform::Waker> Waker)
    : FDevice(Device),
      FDevicePath(Device->PnPInfo().DevicePath()),
      FReport(ReportLength),
      FWaker(std::move(Waker)) {
  FThread = std::thread([this] { Execute(); });
}

THidDeviceReadThread::~THidDeviceReadThread() { Stop(); }

void THidDeviceReadThread::Stop() {
  if (!FThread.joinable()) return;
  FTerminated = true;
  FWaker->Signal();
  FHandOff.ServeUntilFinished();
  FThread.join();
}

void THidDeviceReadThread::Execute() {
  NameCurrentThread();
  hidplatform::HandlePtr outstanding;
  try {
    RunLoop(outstanding);
  } catch (const std::exception& error) {
    // An error from a handler ends the thread; the device delivers nothing until it restarts.
    qCWarning(lcHid).noquote() << QStringLiteral("the reading thread of %1 ended by an error: %2")
                                      .arg(FDevicePath, QString::fromLocal8Bit(error.what()));
  } catch (...) {
    qCWarning(lcHid).noquote()
        << QStringLiteral("the reading thread of %1 ended by an unknown error").arg(FDevicePath);
  }
  // The buffer must not be written once the thread is gone: cancel a read still outstanding.
  if (outstanding) outstanding->CancelRead();
  FFinished = true;
  FHandOff.MarkFinished();
}

void THidDeviceReadThread::RunLoop(hidplatform::HandlePtr& Outstanding) {
  while (!FTerminated) {
    std::fill(FReport.begin(), FReport.end(), std::uint8_t{0});
    hidplatform::HandlePtr handle;
    const std::uint32_t error = FDevice->StartOverlappedRead(FReport, handle);
    if (error != hidplatform::kErrorSuccess) {
      FErr = error;
      ReportReadError(error);
      DeliverError();
      FWaker->Wait(SliceOf(FDevice->ThreadSleepTime()));
      continue;
    }
    Outstanding = handle;
    if (!WaitForRead(*handle)) return;
    Outstanding.reset();
    FNumBytesRead = std::min<std::uint32_t>(handle->LastTransferCount(),
                                            static_cast<std::uint32_t>(FReport.size()));
    // A read that ended with 0 bytes (failed, or aborted by a closed handle) delivers nothing.
    if (FNumBytesRead > 0) DeliverData();
    Pause(FDevice->PollingDelayTime());
  }
}

bool THidDeviceReadThread::WaitForRead(hidplatform::Handle& Handle) {
  for (;;) {
    // A read that completed is still delivered when a stop request came meanwhile, so a report
    // already taken from the device is never lost.
    const auto result = Handle.WaitRead(SliceOf(FDevice->ThreadSleepTime()), *FWaker);
    if (result == hidplatform::ReadWait::Completed) return true;
    if (FTerminated) return false;
  }
}

void THidDeviceReadThread::DeliverData() {
  FHandOff.Call([this] {
    const auto size = static_cast<std::uint16_t>(FNumBytesRead - 1);
    if (FDevice->FOnData) FDevice->FOnData(FDevice, FReport[0], FReport.data() + 1, size);
  });
}

void THidDeviceReadThread::DeliverError() {
  FHandOff.Call([this] {
    if (FDevice->FOnDataError) FDevice->FOnDataError(FDevice, FErr);
  });
}

void THidDeviceReadThread::Pause(std::int32_t Milliseconds) {
  if (Milliseconds > 0) FWaker->Wait(std::chrono::milliseconds(Milliseconds));
}

void THidDeviceReadThread::ReportReadError(std::uint32_t Error) {
  if (Error == FReportedErr) return;
  FReportedErr = Error;
  // A device that has gone refuses every request until it is checked in: expected, not a fault.
  if (Error == hidplatform::kErrorDeviceNotConnected) {
    qCInfo(lcHid).noquote()
        << QStringLiteral("read refused on %1: %2").arg(FDevicePath, HidErrorText(Error));
  } else {
    qCWarning(lcHid).noquote()
        << QStringLiteral("read error on %1: %2").arg(FDevicePath, HidErrorText(Error));
  }
}
