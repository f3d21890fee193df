// One HID interface present on the machine. Created only by the controller's pass (and as the
// replacement of a destroyed listed device); opens the interface on demand, reads its identity,
// strings and report lengths, writes output reports and, once checked out, runs a reading
// thread that hands every input report to the main thread as one OnData call.
//
// Threads: every member function runs on the main thread. The reading thread uses only the
// overlapped read handle (guarded by FReadHandleLock), the flags that CanAccess reads, the read
// parameters (all atomic) and the report lengths, fixed before it starts.
#pragma once

#include <QString>
#include <QStringList>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "hid/HidEvents.h"
#include "hid/THidPnPInfo.h"
#include "hid/platform/HidPlatform.h"

class THidDeviceReadThread;

using THiddAttributes = hidplatform::HidAttributes;
using THidpCaps = hidplatform::HidCaps;
using THiddConfiguration = hidplatform::HidConfiguration;
using THidpLinkCollectionNode = hidplatform::HidLinkCollectionNode;
using TPhysicalDescriptor = std::vector<std::uint16_t>;

enum class THidOpenExMode { omhRead, omhWrite };

// Records of the HID parser calls, with the fields a caller looks at.
struct THidpButtonCaps {
  std::uint16_t UsagePage = 0;
  std::uint8_t ReportID = 0;
  std::uint16_t LinkCollection = 0;
  std::uint16_t UsageMin = 0;
  std::uint16_t UsageMax = 0;
  std::uint16_t DataIndexMin = 0;
  std::uint16_t DataIndexMax = 0;
};
struct THidpValueCaps {
  std::uint16_t UsagePage = 0;
  std::uint8_t ReportID = 0;
  std::uint16_t LinkCollection = 0;
  std::uint16_t BitSize = 0;
  std::uint16_t ReportCount = 0;
  std::int32_t LogicalMin = 0;
  std::int32_t LogicalMax = 0;
  std::uint16_t UsageMin = 0;
  std::uint16_t UsageMax = 0;
  std::uint16_t DataIndexMin = 0;
  std::uint16_t DataIndexMax = 0;
};
struct THidpData {
  std::uint16_t DataIndex = 0;
  std::uint32_t RawValue = 0;
};
struct THidpUsageAndPage {
  std::uint16_t Usage = 0;
  std::uint16_t UsagePage = 0;
};

class THidDevice final {
 public:
  // Always raises EControllerError: devices come from the controller only.
  THidDevice();
  THidDevice(const THidDevice&) = delete;
  THidDevice& operator=(const THidDevice&) = delete;
  // Stops the reading thread and, for a listed device, acts as a check-in: the controller's
  // list keeps a fresh, checked-in object in its place while the interface is attached.
  ~THidDevice();

  // What the pedal link uses.
  const THiddAttributes& Attributes() const { return FAttributes; }
  QString ProductName();
  THidpCaps Caps();
  bool WriteFile(const std::uint8_t* Report, std::uint32_t ToWrite, std::uint32_t& BytesWritten);
  bool CheckOut();
  const THidDataEvent& OnData() const { return FOnData; }
  void SetOnData(const THidDataEvent& Value);

  // State.
  THidDeviceController* MyController() const { return FMyController; }
  bool IsPluggedIn() const { return FIsPluggedIn; }
  bool IsCheckedOut() const { return FIsCheckedOut; }
  bool IsEnumerated() const { return FIsEnumerated; }
  bool HasReadWriteAccess() const { return FHasReadWriteAccess; }
  // The platform's code of the last refused read/write open (kErrorSuccess before any).
  std::uint32_t ReadWriteOpenError() const { return FReadWriteOpenError; }
  // A checked-out device that opened query-only (its node's permissions not yet applied, a
  // transient error) has no reading thread. This tries the read/write open again; once it
  // succeeds the device has read/write access and its reading thread runs. Returns
  // kErrorSuccess then, otherwise the platform's code (kErrorDeviceNotConnected for a device
  // that is not checked out or has gone).
  std::uint32_t ReopenReadWrite();
  const THidPnPInfo& PnPInfo() const { return *FPnPInfo; }
  hidplatform::HandlePtr HidFileHandle() const { return FHidFileHandle; }
  hidplatform::HandlePtr HidOverlappedRead() const;
  hidplatform::HandlePtr HidOverlappedWrite() const { return FHidOverlappedWrite; }
  THidDeviceReadThread* DataThread() const { return FDataThread.get(); }

  // Strings and descriptors.
  QString VendorName();
  QString SerialNumber();
  QStringList LanguageStrings();
  QString DeviceStrings(std::uint8_t Idx);
  QString DeviceStringsUnicode(std::uint8_t Idx) { return DeviceStrings(Idx); }
  TPhysicalDescriptor PhysicalDescriptor();
  std::shared_ptr<const hidplatform::PreparsedData> PreparsedData();
  THidpLinkCollectionNode LinkCollectionNodes(std::uint16_t Idx);
  THiddConfiguration Configuration();
  void SetConfiguration(const THiddConfiguration& Value);

  // Parameters.
  std::int32_t NumInputBuffers() const { return FNumInputBuffers; }
  void SetNumInputBuffers(std::int32_t Value);
  std::int32_t NumOverlappedBuffers() const;
  void SetNumOverlappedBuffers(std::int32_t Value);
  std::int32_t PollingDelayTime() const { return FPollingDelayTime; }
  void SetPollingDelayTime(std::int32_t Value);
  std::int32_t ThreadSleepTime() const { return FThreadSleepTime; }
  void SetThreadSleepTime(std::int32_t Value);
  std::uint32_t ReportTypeParam() const { return FReportTypeParam; }
  void SetReportTypeParam(std::uint32_t Value);
  std::uint16_t UsagePageParam() const { return FUsagePageParam; }
  void SetUsagePageParam(std::uint16_t Value);
  std::uint16_t LinkCollectionParam() const { return FLinkCollectionParam; }
  void SetLinkCollectionParam(std::uint16_t Value) { FLinkCollectionParam = Value; }
  std::uint16_t UsageParam() const { return FUsageParam; }
  void SetUsageParam(std::uint16_t Value) { FUsageParam = Value; }
  std::uint32_t MaxDataListLength() const { return FMaxDataListLength; }
  std::uint32_t MaxUsageListLength() const { return FMaxUsageListLength; }
  std::uint32_t MaxButtonListLength() const { return FMaxButtonListLength; }
  std::int32_t Tag() const { return FTag; }
  void SetTag(std::int32_t Value) { FTag = Value; }

  // Events besides OnData.
  const THidDataErrorEvent& OnDataError() const { return FOnDataError; }
  void SetOnDataError(const THidDataErrorEvent& Value) { FOnDataError = Value; }
  const THidPlugEvent& OnUnplug() const { return FOnUnplug; }
  void SetOnUnplug(const THidPlugEvent& Value) { FOnUnplug = Value; }

  // Handles and I/O.
  bool OpenFile();
  bool OpenFileEx(THidOpenExMode Mode);
  void CloseFile();
  void CloseFileEx(THidOpenExMode Mode);
  bool CancelIO(THidOpenExMode Mode);
  std::uint32_t HidOverlappedReadResult() const;
  std::uint32_t HidOverlappedWriteResult() const;
  bool ReadFile(std::uint8_t* Report, std::uint32_t ToRead, std::uint32_t& BytesRead);
  // Starts one asynchronous read into Report (the reading thread's call); a platform error
  // code, kErrorSuccess when the read is outstanding.
  std::uint32_t ReadFileEx(std::uint8_t* Report, std::uint32_t ToRead);
  bool WriteFileEx(const std::uint8_t* Report, std::uint32_t ToWrite);
  bool FlushQueue();
  bool GetFeature(std::uint8_t* Report, std::uint32_t Size);
  bool SetFeature(const std::uint8_t* Report, std::uint32_t Size);
  bool GetInputReport(std::uint8_t* Report, std::uint32_t Size);
  bool SetOutputReport(const std::uint8_t* Report, std::uint32_t Size);

  // HID parser calls (THidDeviceParserCalls.cpp) with ReportTypeParam, UsagePageParam, LinkCollectionParam, UsageParam and
  // the preparsed data; each answers an HIDP status: kHidpStatusNull while the device cannot be
  // accessed, otherwise the parser's answer (the backends have no general report parser and
  // answer kHidpStatusNotImplemented). The Button calls are the matching Usage calls; the
  // non-specific caps calls ask for every usage page, link collection and usage.
  std::uint32_t GetButtonCaps(THidpButtonCaps* ButtonCaps, std::uint16_t& Count);
  std::uint32_t GetSpecificButtonCaps(THidpButtonCaps* ButtonCaps, std::uint16_t& Count);
  std::uint32_t GetValueCaps(THidpValueCaps* ValueCaps, std::uint16_t& Count);
  std::uint32_t GetSpecificValueCaps(THidpValueCaps* ValueCaps, std::uint16_t& Count);
  std::uint32_t GetData(THidpData* DataList, std::uint32_t& DataLength, std::uint8_t* Report,
                        std::uint32_t ReportLength);
  std::uint32_t SetData(THidpData* DataList, std::uint32_t& DataLength, std::uint8_t* Report,
                        std::uint32_t ReportLength);
  std::uint32_t GetUsages(std::uint16_t* UsageList, std::uint32_t& UsageLength,
                          std::uint8_t* Report, std::uint32_t ReportLength);
  std::uint32_t GetButtons(std::uint16_t* UsageList, std::uint32_t& UsageLength,
                           std::uint8_t* Report, std::uint32_t ReportLength);
  std::uint32_t GetUsagesEx(THidpUsageAndPage* ButtonList, std::uint32_t& UsageLength,
                            std::uint8_t* Report, std::uint32_t ReportLength);
  std::uint32_t GetButtonsEx(THidpUsageAndPage* ButtonList, std::uint32_t& UsageLength,
                             std::uint8_t* Report, std::uint32_t ReportLength);
  std::uint32_t SetUsages(std::uint16_t* UsageList, std::uint32_t& UsageLength,
                          std::uint8_t* Report, std::uint32_t ReportLength);
  std::uint32_t SetButtons(std::uint16_t* UsageList, std::uint32_t& UsageLength,
                           std::uint8_t* Report, std::uint32_t ReportLength);
  std::uint32_t UnsetUsages(std::uint16_t* UsageList, std::uint32_t& UsageLength,
                            std::uint8_t* Report, std::uint32_t ReportLength);
  std::uint32_t UnsetButtons(std::uint16_t* UsageList, std::uint32_t& UsageLength,
                             std::uint8_t* Report, std::uint32_t ReportLength);
  std::uint32_t GetUsageValue(std::uint32_t& UsageValue, const std::uint8_t* Report,
                              std::uint32_t ReportLength);
  std::uint32_t GetScaledUsageValue(std::int32_t& UsageValue, const std::uint8_t* Report,
                                    std::uint32_t ReportLength);
  std::uint32_t GetUsageValueArray(std::uint8_t* UsageValue, std::uint16_t UsageValueByteLength,
                                   const std::uint8_t* Report, std::uint32_t ReportLength);
  std::uint32_t SetUsageValue(std::uint32_t UsageValue, std::uint8_t* Report,
                              std::uint32_t ReportLength);
  std::uint32_t SetScaledUsageValue(std::int32_t UsageValue, std::uint8_t* Report,
                                    std::uint32_t ReportLength);
  std::uint32_t SetUsageValueArray(const std::uint8_t* UsageValue,
                                   std::uint16_t UsageValueByteLength, std::uint8_t* Report,
                                   std::uint32_t ReportLength);
  std::uint32_t GetExtendedAttributes(std::uint32_t ReportType, std::uint16_t DataIndex,
                                      void* Attributes, std::uint32_t* LengthAttributes);
  std::uint32_t InitializeReportForID(std::uint32_t ReportType, std::uint8_t ReportID,
                                      std::uint8_t* Report, std::uint32_t ReportLength);

  void StartReadThread();
  void StopReadThread();

 private:
  friend class THidDeviceController;
  friend class THidDeviceReadThread;

  // Construction by the controller: opens the interface once and reads its identity. Raises
  // EControllerError without consuming PnPInfo (the caller keeps it to retry or release).
  THidDevice(std::unique_ptr<THidPnPInfo>& PnPInfo, THidDeviceController* Controller);

  bool CanAccess() const;
  std::uint32_t ParserStatus() const;
  // The reading thread's request: opens the read handle if needed and starts one read into
  // Report; Handle receives the handle the read is outstanding on.
  std::uint32_t StartOverlappedRead(std::vector<std::uint8_t>& Report,
                                    hidplatform::HandlePtr& Handle);
  hidplatform::HandlePtr AcquireReadHandle();
  // Opens the synchronous handle read/write, else query-only; kErrorSuccess when either
  // opened, otherwise the platform's code of the query-only attempt.
  std::uint32_t OpenSynchronousHandle(const std::u16string& Path);
  void ApplyNumInputBuffers();
  void ReportRefusedReadWriteOpen();
  QString CachedString(QString& Cache, bool (hidplatform::Handle::*Query)(std::u16string&));
  std::vector<std::uint16_t> LanguageIds();
  void MarkUnplugged();
  void CloseAllHandles();

  THidDeviceController* FMyController = nullptr;
  std::shared_ptr<hidplatform::HidPlatform> FPlatform;
  std::atomic<bool> FIsPluggedIn{true};
  std::atomic<bool> FIsCheckedOut{false};
  std::atomic<bool> FIsEnumerated{false};
  hidplatform::HandlePtr FHidFileHandle;
  hidplatform::HandlePtr FHidOverlappedRead;  // guarded by FReadHandleLock
  hidplatform::HandlePtr FHidOverlappedWrite;
  THiddAttributes FAttributes;
  std::unique_ptr<THidPnPInfo> FPnPInfo;
  QString FVendorName;
  QString FProductName;
  QString FSerialNumber;
  TPhysicalDescriptor FPhysicalDescriptor;
  std::shared_ptr<const hidplatform::PreparsedData> FPreparsedData;
  QStringList FLanguageStrings;
  std::int32_t FNumInputBuffers = 0;
  std::int32_t FNumOverlappedBuffers = 0;  // guarded by FReadHandleLock
  std::atomic<std::int32_t> FPollingDelayTime{0};
  std::atomic<std::int32_t> FThreadSleepTime{0};
  std::vector<THidpLinkCollectionNode> FLinkCollection;
  bool FLinkCollectionRead = false;
  std::uint32_t FMaxDataListLength = 0;
  std::uint32_t FMaxUsageListLength = 0;
  std::uint32_t FMaxButtonListLength = 0;
  std::uint32_t FReportTypeParam = 0;
  std::uint16_t FUsagePageParam = 0;
  std::uint16_t FLinkCollectionParam = 0;
  std::uint16_t FUsageParam = 0;
  THidDataEvent FOnData;
  THidDataErrorEvent FOnDataError;
  THidPlugEvent FOnUnplug;
  std::atomic<bool> FHasReadWriteAccess{false};
  std::uint32_t FReadWriteOpenError = 0;
  std::uint32_t FReportedOpenError = 0;  // the last refusal logged
  std::unique_ptr<THidDeviceReadThread> FDataThread;
  std::int32_t FTag = 0;
  mutable std::mutex FReadHandleLock;
  // The thread whose read went out last on the overlapped read handle: CancelIO cancels only
  // the calling thread's own request.
  std::atomic<std::thread::id> FReadIssuer{};
  // Expires when the device is destroyed: lets the controller notice a device that an event
  // handler destroyed.
  std::shared_ptr<int> FLifeToken = std::make_shared<int>(0);
};
