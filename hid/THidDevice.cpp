#include "hid/THidDevice.h"

#include <algorithm>
#include <thread>

#include "hid/EControllerError.h"
#include "hid/HidLog.h"
#include "hid/THidDeviceController.h"
#include "hid/THidDeviceReadThread.h"

namespace {

using hidplatform::OpenMode;

// The HID string services fill a 508-byte buffer: at most 254 UTF-16 units, cut at the first 0.
constexpr std::size_t kMaxStringUnits = 254;
constexpr std::uint16_t kUnfilledEntry = 0xFFFF;
constexpr std::int32_t kMinPollingDelay = 0;
constexpr std::int32_t kMinThreadSleep = 10;
constexpr std::int32_t kMaxDelay = 10000;
constexpr std::size_t kMaxPhysicalDescriptorWords = 2048;

std::u16string BufferText(std::u16string text) {
  text = text.substr(0, std::min(text.find(u'\0'), kMaxStringUnits));
  return text;
}

// The 254-entry buffer the string service fills, pre-filled with 0xFFFF; a shorter answer ends
// with a 0.
std::vector<std::uint16_t> PrefilledBuffer(const std::u16string& answer) {
  std::vector<std::uint16_t> buffer(kMaxStringUnits, kUnfilledEntry);
  const std::size_t count = std::min(answer.size(), kMaxStringUnits);
  std::copy_n(answer.begin(), count, buffer.begin());
  if (count < kMaxStringUnits) buffer[count] = 0;
  return buffer;
}

// The number of language ids: the position after the last entry that is neither 0xFFFF nor 0.
std::size_t LanguageCount(const std::vector<std::uint16_t>& buffer) {
  for (std::size_t i = buffer.size(); i > 0; --i) {
    if (buffer[i - 1] != kUnfilledEntry && buffer[i - 1] != 0) return i;
  }
  return 0;
}

void CloseHandle(hidplatform::HandlePtr& handle) {
  if (handle) handle->Close();
  handle.reset();
}

}  // namespace

THidDevice::THidDevice() {
  throw EControllerError(QString::fromLatin1(hidmessages::kDirectDeviceCreation));
}

THidDevice::THidDevice(std::unique_ptr<THidPnPInfo>& PnPInfo, THidDeviceController* Controller)
    : FMyController(Controller),
      FPlatform(Controller->FPlatform),
      FPollingDelayTime(Controller->FDevPollingDelayTime),
      FThreadSleepTime(Controller->FDevThreadSleepTime) {
  SetOnData(Controller->FOnDeviceData);
  FOnUnplug = Controller->FOnDeviceUnplug;
  const std::uint32_t error = OpenSynchronousHandle(PnPInfo->PlatformPath());
  if (!FHidFileHandle) {
    qCWarning(lcHid).noquote()
        << QStringLiteral("cannot open %1: %2").arg(PnPInfo->DevicePath(), HidErrorText(error));
    throw EControllerError(QString::fromLatin1(hidmessages::kDeviceCannotBeOpened));
  }
  if (!FHidFileHandle->GetAttributes(FAttributes)) {
    CloseFile();
    throw EControllerError(QString::fromLatin1(hidmessages::kDeviceCannotBeIdentified));
  }
  CloseFile();
  FPnPInfo = std::move(PnPInfo);
}

THidDevice::~THidDevice() {
  const THidDataEvent rememberedData = FOnData;
  const THidPlugEvent rememberedUnplug = FOnUnplug;
  SetOnData({});
  FOnUnplug = {};
  CloseAllHandles();
  FPreparsedData.reset();
  FLanguageStrings.clear();
  if (FMyController != nullptr) {
    FMyController->ReplaceOrDropEntry(*this, rememberedData, rememberedUnplug);
  }
}

// ---- access and handles ----

bool THidDevice::CanAccess() const { return FIsPluggedIn && (FIsCheckedOut || FIsEnumerated); }

std::uint32_t THidDevice::OpenSynchronousHandle(const std::u16string& Path) {
  std::uint32_t error = hidplatform::kErrorGenFailure;
  FHidFileHandle = FPlatform->Open(Path, OpenMode::ReadWrite, &error);
  FHasReadWriteAccess = FHidFileHandle != nullptr;
  if (FHidFileHandle) return hidplatform::kErrorSuccess;
  FReadWriteOpenError = error;
  FHidFileHandle = FPlatform->Open(Path, OpenMode::QueryOnly, &error);
  return FHidFileHandle ? hidplatform::kErrorSuccess : error;
}

void THidDevice::ApplyNumInputBuffers() {
  if (FNumInputBuffers != 0) {
    FHidFileHandle->SetNumInputBuffers(static_cast<std::uint32_t>(FNumInputBuffers));
  }
  std::uint32_t count = 0;
  if (FHidFileHandle->GetNumInputBuffers(count)) {
    FNumInputBuffers = static_cast<std::int32_t>(count);
  }
}

bool THidDevice::OpenFile() {
  if (CanAccess() && !FHidFileHandle && FPnPInfo &&
      OpenSynchronousHandle(FPnPInfo->PlatformPath()) == hidplatform::kErrorSuccess) {
    ApplyNumInputBuffers();
  }
  return FHidFileHandle != nullptr;
}

std::uint32_t THidDevice::ReopenReadWrite() {
  if (!FIsPluggedIn || !FIsCheckedOut) return hidplatform::kErrorDeviceNotConnected;
  if (!FHasReadWriteAccess) {
    std::uint32_t error = hidplatform::kErrorGenFailure;
    hidplatform::HandlePtr handle =
        FPlatform->Open(FPnPInfo->PlatformPath(), OpenMode::ReadWrite, &error);
    if (!handle) {
      FReadWriteOpenError = error;
      ReportRefusedReadWriteOpen();
      return error;
    }
    // The read/write handle takes the place of a query-only one still open.
    CloseFile();
    FHidFileHandle = std::move(handle);
    FHasReadWriteAccess = true;
    ApplyNumInputBuffers();
    qCInfo(lcHid).noquote()
        << QStringLiteral("%1 is open for reading and writing now").arg(FPnPInfo->DevicePath());
  }
  StartReadThread();
  return hidplatform::kErrorSuccess;
}

void THidDevice::ReportRefusedReadWriteOpen() {
  // Once per kind of refusal: the open is tried again every second while it fails.
  if (FReadWriteOpenError == FReportedOpenError) return;
  FReportedOpenError = FReadWriteOpenError;
  qCWarning(lcHid).noquote() << QStringLiteral("cannot open %1 for reading and writing: %2")
                                    .arg(FPnPInfo->DevicePath(), HidErrorText(FReadWriteOpenError));
}

hidplatform::HandlePtr THidDevice::AcquireReadHandle() {
  std::lock_guard lock(FReadHandleLock);
  if (!CanAccess()) return nullptr;
  if (!FHidOverlappedRead) {
    FHidOverlappedRead = FPlatform->Open(FPnPInfo->PlatformPath(), OpenMode::OverlappedRead);
    if (FHidOverlappedRead) {
      if (FNumOverlappedBuffers != 0) {
        FHidOverlappedRead->SetNumInputBuffers(static_cast<std::uint32_t>(FNumOverlappedBuffers));
      }
      std::uint32_t count = 0;
      if (FHidOverlappedRead->GetNumInputBuffers(count)) {
        FNumOverlappedBuffers = static_cast<std::int32_t>(count);
      }
    }
  }
  return FHidOverlappedRead;
}

bool THidDevice::OpenFileEx(THidOpenExMode Mode) {
  if (Mode == THidOpenExMode::omhRead) return AcquireReadHandle() != nullptr;
  if (!CanAccess()) return false;
  if (!FHidOverlappedWrite) {
    FHidOverlappedWrite = FPlatform->Open(FPnPInfo->PlatformPath(), OpenMode::OverlappedWrite);
  }
  return FHidOverlappedWrite != nullptr;
}

void THidDevice::CloseFile() {
  CloseHandle(FHidFileHandle);
  FNumInputBuffers = 0;
}

void THidDevice::CloseFileEx(THidOpenExMode Mode) {
  if (Mode == THidOpenExMode::omhRead) {
    std::lock_guard lock(FReadHandleLock);
    CloseHandle(FHidOverlappedRead);
    FNumOverlappedBuffers = 0;
  } else {
    CloseHandle(FHidOverlappedWrite);
  }
}

void THidDevice::CloseAllHandles() {
  CloseFile();
  CloseFileEx(THidOpenExMode::omhRead);
  CloseFileEx(THidOpenExMode::omhWrite);
}

hidplatform::HandlePtr THidDevice::HidOverlappedRead() const {
  std::lock_guard lock(FReadHandleLock);
  return FHidOverlappedRead;
}

bool THidDevice::CancelIO(THidOpenExMode Mode) {
  if (Mode == THidOpenExMode::omhWrite) return FHidOverlappedWrite != nullptr;  // writes finish
  const auto handle = HidOverlappedRead();
  if (!handle) return false;
  // Only the calling thread's own read: the reading thread's read is its own to cancel.
  if (FReadIssuer.load() != std::this_thread::get_id()) return true;
  return handle->CancelRead();
}

std::uint32_t THidDevice::HidOverlappedReadResult() const {
  const auto handle = HidOverlappedRead();
  return handle ? handle->LastTransferCount() : 0;
}

std::uint32_t THidDevice::HidOverlappedWriteResult() const {
  return FHidOverlappedWrite ? FHidOverlappedWrite->LastTransferCount() : 0;
}

// ---- strings, descriptors, caps ----

QString THidDevice::CachedString(QString& Cache,
                                 bool (hidplatform::Handle::*Query)(std::u16string&)) {
  if (Cache.isEmpty() && OpenFile()) {
    std::u16string text;
    if (((*FHidFileHandle).*Query)(text)) Cache = QString::fromStdU16String(BufferText(text));
    CloseFile();
  }
  return Cache;
}

QString THidDevice::ProductName() {
  return CachedString(FProductName, &hidplatform::Handle::GetProductString);
}

QString THidDevice::VendorName() {
  return CachedString(FVendorName, &hidplatform::Handle::GetManufacturerString);
}

std::vector<std::uint16_t> THidDevice::LanguageIds() {
  std::u16string answer;
  if (!FHidFileHandle->GetIndexedString(0, answer)) return {};
  auto buffer = PrefilledBuffer(answer);
  buffer.resize(LanguageCount(buffer));
  return buffer;
}

QString THidDevice::SerialNumber() {
  if (FSerialNumber.isEmpty() && OpenFile()) {
    std::u16string serial;
    if (FHidFileHandle->GetSerialNumberString(serial)) {
      serial = BufferText(serial);
      std::vector<std::uint16_t> serialBuffer(kMaxStringUnits, 0);
      std::copy(serial.begin(), serial.end(), serialBuffer.begin());
      const auto languages = LanguageIds();
      // A device without a serial number may answer with its language list instead.
      const bool differs = !std::equal(languages.begin(), languages.end(), serialBuffer.begin());
      if (differs) FSerialNumber = QString::fromStdU16String(serial);
    }
    CloseFile();
  }
  return FSerialNumber;
}

QStringList THidDevice::LanguageStrings() {
  if (FLanguageStrings.isEmpty() && OpenFile()) {
    for (const std::uint16_t id : LanguageIds()) {
      const std::u16string name = FPlatform->LanguageName(id);
      FLanguageStrings.append(name.empty() ? QString::asprintf("Unknown Locale ID $%.4x", id)
                                           : QString::fromStdU16String(name));
    }
    CloseFile();
  }
  return FLanguageStrings;
}

QString THidDevice::DeviceStrings(std::uint8_t Idx) {
  if (Idx == 0 || !OpenFile()) return {};
  std::u16string text;
  if (!FHidFileHandle->GetIndexedString(Idx, text)) return {};
  return QString::fromStdU16String(BufferText(text));
}

TPhysicalDescriptor THidDevice::PhysicalDescriptor() {
  if (FPhysicalDescriptor.empty() && OpenFile()) {
    std::vector<std::uint8_t> buffer(kMaxPhysicalDescriptorWords * 2);
    for (std::size_t words = 0; words <= kMaxPhysicalDescriptorWords; ++words) {
      const auto error = FHidFileHandle->GetPhysicalDescriptor({buffer.data(), words * 2});
      if (error == hidplatform::kErrorSuccess) {
        FPhysicalDescriptor.resize(words);
        for (std::size_t i = 0; i < words; ++i) {
          FPhysicalDescriptor[i] =
              static_cast<std::uint16_t>(buffer[2 * i] | buffer[2 * i + 1] << 8);
        }
        break;
      }
      if (error != hidplatform::kErrorInsufficientBuffer) break;
    }
    CloseFile();
  }
  return FPhysicalDescriptor;
}

std::shared_ptr<const hidplatform::PreparsedData> THidDevice::PreparsedData() {
  if (!FPreparsedData && OpenFile()) {
    FPreparsedData = FHidFileHandle->GetPreparsedData();
    CloseFile();
  }
  return FPreparsedData;
}

THidpCaps THidDevice::Caps() {
  const auto preparsed = PreparsedData();
  return preparsed ? preparsed->Caps() : THidpCaps{};
}

THidpLinkCollectionNode THidDevice::LinkCollectionNodes(std::uint16_t Idx) {
  if (!FLinkCollectionRead) {
    const auto preparsed = PreparsedData();
    if (preparsed) {
      FLinkCollection.resize(preparsed->Caps().NumberLinkCollectionNodes);
      if (preparsed->GetLinkCollectionNodes(FLinkCollection) != hidplatform::kHidpStatusSuccess) {
        std::fill(FLinkCollection.begin(), FLinkCollection.end(), THidpLinkCollectionNode{});
      }
      FLinkCollectionRead = true;
    }
  }
  return Idx < FLinkCollection.size() ? FLinkCollection[Idx] : THidpLinkCollectionNode{};
}

THiddConfiguration THidDevice::Configuration() {
  THiddConfiguration configuration;
  if (OpenFile() && !FHidFileHandle->GetConfiguration(configuration)) configuration = {};
  return configuration;
}

void THidDevice::SetConfiguration(const THiddConfiguration& Value) {
  if (OpenFile()) FHidFileHandle->SetConfiguration(Value);
}

// ---- parameters ----

void THidDevice::SetNumInputBuffers(std::int32_t Value) {
  if (Value == FNumInputBuffers || !OpenFile()) return;
  FHidFileHandle->SetNumInputBuffers(static_cast<std::uint32_t>(Value));
  std::uint32_t count = 0;
  if (FHidFileHandle->GetNumInputBuffers(count))
    FNumInputBuffers = static_cast<std::int32_t>(count);
}

std::int32_t THidDevice::NumOverlappedBuffers() const {
  std::lock_guard lock(FReadHandleLock);
  return FNumOverlappedBuffers;
}

void THidDevice::SetNumOverlappedBuffers(std::int32_t Value) {
  if (Value == NumOverlappedBuffers()) return;
  const auto handle = AcquireReadHandle();
  if (!handle) return;
  handle->SetNumInputBuffers(static_cast<std::uint32_t>(Value));
  std::uint32_t count = 0;
  if (handle->GetNumInputBuffers(count)) {
    std::lock_guard lock(FReadHandleLock);
    FNumOverlappedBuffers = static_cast<std::int32_t>(count);
  }
}

void THidDevice::SetPollingDelayTime(std::int32_t Value) {
  if (Value >= kMinPollingDelay && Value <= kMaxDelay) FPollingDelayTime = Value;
}

void THidDevice::SetThreadSleepTime(std::int32_t Value) {
  if (Value >= kMinThreadSleep && Value <= kMaxDelay) FThreadSleepTime = Value;
}

void THidDevice::SetReportTypeParam(std::uint32_t Value) {
  FReportTypeParam = Value;
  if (!CanAccess()) return;
  if (const auto preparsed = PreparsedData()) {
    FMaxDataListLength = preparsed->MaxDataListLength(FReportTypeParam);
    FMaxUsageListLength = preparsed->MaxUsageListLength(FReportTypeParam, FUsagePageParam);
    FMaxButtonListLength = FMaxUsageListLength;
  }
}

void THidDevice::SetUsagePageParam(std::uint16_t Value) {
  FUsagePageParam = Value;
  SetReportTypeParam(FReportTypeParam);
}

// ---- reports ----

bool THidDevice::WriteFile(const std::uint8_t* Report, std::uint32_t ToWrite,
                           std::uint32_t& BytesWritten) {
  if ((Report == nullptr && ToWrite > 0) || !OpenFile()) return false;
  std::uint32_t written = 0;
  const bool ok = FHidFileHandle->Write({Report, ToWrite}, written);
  BytesWritten = written;
  return ok;
}

bool THidDevice::ReadFile(std::uint8_t* Report, std::uint32_t ToRead, std::uint32_t& BytesRead) {
  if ((Report == nullptr && ToRead > 0) || !OpenFile()) return false;
  return FHidFileHandle->Read({Report, ToRead}, BytesRead);
}

std::uint32_t THidDevice::StartOverlappedRead(std::vector<std::uint8_t>& Report,
                                              hidplatform::HandlePtr& Handle) {
  Handle = AcquireReadHandle();
  if (!Handle) return hidplatform::kErrorDeviceNotConnected;
  const std::uint32_t error = Handle->StartRead(Report);
  if (error == hidplatform::kErrorSuccess) FReadIssuer = std::this_thread::get_id();
  return error;
}

std::uint32_t THidDevice::ReadFileEx(std::uint8_t* Report, std::uint32_t ToRead) {
  const auto handle = AcquireReadHandle();
  if (!handle) return hidplatform::kErrorDeviceNotConnected;
  if (Report == nullptr) return hidplatform::kErrorInvalidUserBuffer;
  const std::uint32_t error = handle->StartRead({Report, ToRead});
  if (error == hidplatform::kErrorSuccess) FReadIssuer = std::this_thread::get_id();
  return error;
}

bool THidDevice::WriteFileEx(const std::uint8_t* Report, std::uint32_t ToWrite) {
  if ((Report == nullptr && ToWrite > 0) || !OpenFileEx(THidOpenExMode::omhWrite)) return false;
  return FHidOverlappedWrite->StartWrite({Report, ToWrite}) == hidplatform::kErrorSuccess;
}

bool THidDevice::FlushQueue() { return OpenFile() && FHidFileHandle->FlushQueue(); }

bool THidDevice::GetFeature(std::uint8_t* Report, std::uint32_t Size) {
  return Report != nullptr && OpenFile() && FHidFileHandle->GetFeature({Report, Size});
}

bool THidDevice::SetFeature(const std::uint8_t* Report, std::uint32_t Size) {
  return Report != nullptr && OpenFile() && FHidFileHandle->SetFeature({Report, Size});
}

bool THidDevice::GetInputReport(std::uint8_t* Report, std::uint32_t Size) {
  return Report != nullptr && OpenFile() && FHidFileHandle->HasGetInputReport() &&
         FHidFileHandle->GetInputReport({Report, Size});
}

bool THidDevice::SetOutputReport(const std::uint8_t* Report, std::uint32_t Size) {
  return Report != nullptr && OpenFile() && FHidFileHandle->HasSetOutputReport() &&
         FHidFileHandle->SetOutputReport({Report, Size});
}

// ---- check-out and the reading thread ----

bool THidDevice::CheckOut() {
  if (FMyController == nullptr || !FIsPluggedIn || FIsCheckedOut) return false;
  FIsCheckedOut = true;
  // Checked out without read/write access, the device delivers nothing: say why.
  if (!FHasReadWriteAccess) ReportRefusedReadWriteOpen();
  StartReadThread();
  return true;
}

void THidDevice::SetOnData(const THidDataEvent& Value) {
  if (!Value) StopReadThread();
  FOnData = Value;
  StartReadThread();
}

void THidDevice::StartReadThread() {
  if (!FOnData || !FIsPluggedIn || !FIsCheckedOut || !FHasReadWriteAccess || FDataThread) return;
  const std::size_t length = Caps().InputReportByteLength;
  FDataThread.reset(new THidDeviceReadThread(this, length, FPlatform->CreateWaker()));
}

void THidDevice::StopReadThread() {
  if (!FDataThread) return;
  FDataThread->Stop();
  FDataThread.reset();
}

void THidDevice::MarkUnplugged() {
  {
    // Not plugged in before the read handle closes: a reading thread woken by its aborted read
    // must find the device inaccessible, not open the handle again.
    std::lock_guard lock(FReadHandleLock);
    FIsPluggedIn = false;
  }
  CloseAllHandles();
  if (FOnUnplug) {
    const std::weak_ptr<int> alive = FLifeToken;
    const THidPlugEvent handler = FOnUnplug;
    handler(this);
    if (alive.expired()) return;  // the handler destroyed the device
  }
  // Cleared after the call, also when the handler assigned another one: raised at most once.
  FOnUnplug = {};
}
