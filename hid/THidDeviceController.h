// Keeps the list of HID interfaces present on the machine as THidDevice objects, rebuilds it in
// a pass whenever the platform signals that device nodes changed, and reports through events:
// OnArrival for each new device, the device's unplug event and OnRemoval for each vanished one,
// OnDeviceChange after a pass that changed anything. Everything here runs on the main thread.
//
// Ownership: the controller owns its listed devices until one is checked out; the holder of a
// checked-out device destroys it (delete) to check it in. Destroying the controller destroys
// every listed device, checked out or not: drop your references first.
#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

#include "hid/HidEvents.h"
#include "hid/THidDevice.h"
#include "hid/platform/HidPlatform.h"

class QSocketNotifier;

class THidDeviceController final : public QObject {
 public:
  // The published properties as a window's stored description holds them. Constructing with
  // them stores every value without running a pass (the loading state).
  struct TStoredProperties {
    std::int32_t DevPollingDelayTime = 0;
    std::int32_t DevThreadSleepTime = 100;
    THidPlugEvent OnArrival;
    THidEnumerateEvent OnEnumerate;
    TNotifyEvent OnDeviceChange;
    THidDeviceCreateError OnDeviceCreateError;
    THidDataEvent OnDeviceData;
    THidDataErrorEvent OnDeviceDataError;
    THidPlugEvent OnDeviceUnplug;
    THidPlugEvent OnRemoval;
  };

  // Binds the platform and posts the start-up notification: the first pass runs when the main
  // loop next turns. An unavailable platform leaves the controller inert.
  THidDeviceController(std::shared_ptr<hidplatform::HidPlatform> Platform,
                       QObject* AOwner = nullptr);
  // As above; OnDeviceChange is assigned through its setter, so a non-empty one runs a pass at
  // once.
  THidDeviceController(std::shared_ptr<hidplatform::HidPlatform> Platform, QObject* AOwner,
                       const THidDeviceCreateError& AOnHidCtlDeviceCreateError,
                       const TNotifyEvent& AOnDeviceChange);
  THidDeviceController(std::shared_ptr<hidplatform::HidPlatform> Platform,
                       const TStoredProperties& Stored, QObject* AOwner = nullptr);
  ~THidDeviceController() override;

  // One pass: list the present interfaces, drop the vanished, append the new.
  void DeviceChange();
  std::int32_t Enumerate();

  bool CheckOut(THidDevice*& HidDev);
  bool CheckOutByIndex(THidDevice*& HidDev, std::int32_t Idx);
  bool CheckOutByID(THidDevice*& HidDev, std::int32_t Vid, std::int32_t Pid);
  bool CheckOutByProductName(THidDevice*& HidDev, const QString& ProductName);
  bool CheckOutByVendorName(THidDevice*& HidDev, const QString& VendorName);
  bool CheckOutByClass(THidDevice*& HidDev, const QString& ClassName);
  bool CheckOutByCallback(THidDevice*& HidDev, THidCheckCallback Check);
  void CheckIn(THidDevice*& HidDev);

  std::int32_t CountByID(std::int32_t Vid, std::int32_t Pid);
  std::int32_t CountByProductName(const QString& ProductName);
  std::int32_t CountByVendorName(const QString& VendorName);
  std::int32_t CountByClass(const QString& ClassName);
  std::int32_t CountByCallback(THidCheckCallback Check);

  // The platform's notification entry: a device-node change (kWmDeviceChange with
  // kDbtDevNodesChanged) runs a pass unless a notification-started pass is running.
  void HandleNotification(std::uint32_t Message, std::uintptr_t WParam, std::intptr_t LParam);

  QString HidVersion() const;
  QString HidGuid() const { return FHidGuid; }
  QString Version() const { return FVersion; }
  void SetVersion(const QString& Value) { FDummy = Value; }
  // Counted in the list: listed devices not checked out; checked-out devices still plugged in;
  // devices unplugged while checked out (listed until their holder destroys them).
  std::int32_t NumCheckedInDevices() const;
  std::int32_t NumCheckedOutDevices() const;
  std::int32_t NumUnpluggedDevices() const;
  bool IsInert() const { return !FAvailable; }
  // Whether devices plugged in from now on will be noticed: the platform watches for device
  // changes and its notifications actually arrive.
  bool NoticesDeviceChanges() const { return FWatch && FWatch->DeliversNotifications(); }
  // The device list in order of arrival (read-only view for callers and tests).
  const std::vector<THidDevice*>& Devices() const { return FList; }
  hidplatform::HidPlatform& Platform() const { return *FPlatform; }

  std::int32_t DevPollingDelayTime() const { return FDevPollingDelayTime; }
  void SetDevPollingDelayTime(std::int32_t Value);
  std::int32_t DevThreadSleepTime() const { return FDevThreadSleepTime; }
  void SetDevThreadSleepTime(std::int32_t Value);

  const THidPlugEvent& OnArrival() const { return FOnArrival; }
  void SetOnArrival(const THidPlugEvent& Value) { FOnArrival = Value; }
  const THidEnumerateEvent& OnEnumerate() const { return FOnEnumerate; }
  void SetOnEnumerate(const THidEnumerateEvent& Value) { FOnEnumerate = Value; }
  const TNotifyEvent& OnDeviceChange() const { return FOnDeviceChange; }
  void SetOnDeviceChange(const TNotifyEvent& Value);
  const THidDeviceCreateError& OnDeviceCreateError() const { return FOnDeviceCreateError; }
  void SetOnDeviceCreateError(const THidDeviceCreateError& Value) { FOnDeviceCreateError = Value; }
  const THidDataEvent& OnDeviceData() const { return FOnDeviceData; }
  void SetOnDeviceData(const THidDataEvent& Value);
  const THidDataErrorEvent& OnDeviceDataError() const { return FOnDeviceDataError; }
  void SetOnDeviceDataError(const THidDataErrorEvent& Value);
  const THidPlugEvent& OnDeviceUnplug() const { return FOnDeviceUnplug; }
  void SetOnDeviceUnplug(const THidPlugEvent& Value);
  const THidPlugEvent& OnRemoval() const { return FOnRemoval; }
  void SetOnRemoval(const THidPlugEvent& Value) { FOnRemoval = Value; }

 private:
  friend class THidDevice;

  void BindPlatform();
  void StartWatching();
  void PostStartupNotification();
  std::vector<std::unique_ptr<THidDevice>> ListPresentDevices();
  bool RemoveVanished(std::vector<std::unique_ptr<THidDevice>>& Present);
  void DropDuplicates(std::vector<std::unique_ptr<THidDevice>>& Present);
  bool AppendArrivals(std::vector<std::unique_ptr<THidDevice>>& Present);
  void ReopenWhereReadWriteWasRefused();
  template <typename Matches>
  std::int32_t CountListed(Matches matches) const;
  bool CheckOutAt(THidDevice*& HidDev, std::size_t Idx, bool Test);
  template <typename Matches>
  bool CheckOutFirst(THidDevice*& HidDev, Matches matches);
  template <typename Matches>
  std::int32_t CountPlugged(Matches matches);
  bool IsListedAndPlugged(std::uint32_t DeviceID) const;
  // Runs Event with the device's enumerated flag set; the flag is cleared afterwards unless the
  // event destroyed the device.
  template <typename Event>
  auto WhileEnumerated(THidDevice* Device, Event event);
  std::unique_ptr<THidDevice> CreateDeviceWithRetries(std::unique_ptr<THidPnPInfo>& PnPInfo);
  void RemoveEntry(THidDevice* Device);
  // A listed device's destruction: an unplugged one leaves the list; a plugged-in one is
  // replaced by a fresh, checked-in device on the same interface that keeps its events and
  // read parameters, or leaves the list when the interface cannot be opened again.
  void ReplaceOrDropEntry(THidDevice& Device, const THidDataEvent& OnData,
                          const THidPlugEvent& OnUnplug);
  void CloseUnlessCheckedOut(THidDevice* Device);
  int IndexOf(const THidDevice* Device) const;

  std::shared_ptr<hidplatform::HidPlatform> FPlatform;
  bool FAvailable = false;
  bool FLoading = false;
  bool FDestroying = false;
  QString FHidGuid;
  THidPlugEvent FOnArrival;
  TNotifyEvent FOnDeviceChange;
  THidEnumerateEvent FOnEnumerate;
  THidDataEvent FOnDeviceData;
  THidDataErrorEvent FOnDeviceDataError;
  THidPlugEvent FOnDeviceUnplug;
  THidPlugEvent FOnRemoval;
  THidDeviceCreateError FOnDeviceCreateError;
  std::int32_t FDevPollingDelayTime = 0;
  std::int32_t FDevThreadSleepTime = 100;
  QString FVersion = QStringLiteral("1.0.35");
  QString FDummy;
  std::vector<THidDevice*> FList;
  bool FInDeviceChange = false;
  std::intptr_t FLParam = 0;
  std::unique_ptr<hidplatform::DeviceChangeWatch> FWatch;
  QSocketNotifier* FNotifier = nullptr;
};
