#include "hid/THidDeviceController.h"

#include <QSocketNotifier>
#include <algorithm>
#include <exception>

#include "hid/EControllerError.h"

using hidplatform::kDbtDevNodesChanged;
using hidplatform::kWmDeviceChange;

namespace {
// The start-up notification's last parameter; the platform's own notifications carry 0.
constexpr std::intptr_t kStartupLParam = -1;
}  // namespace

THidDeviceController::THidDeviceController(std::shared_ptr<hidplatform::HidPlatform> Platform,
                                           QObject* AOwner)
    : THidDeviceController(std::move(Platform), AOwner, {}, {}) {}

THidDeviceController::THidDeviceController(std::shared_ptr<hidplatform::HidPlatform> Platform,
                                           QObject* AOwner,
                                           const THidDeviceCreateError& AOnHidCtlDeviceCreateError,
                                           const TNotifyEvent& AOnDeviceChange)
    : QObject(AOwner), FPlatform(std::move(Platform)) {
  FAvailable = FPlatform && FPlatform->IsAvailable();
  SetOnDeviceChange(AOnDeviceChange);
  FOnDeviceCreateError = AOnHidCtlDeviceCreateError;
  BindPlatform();
}

THidDeviceController::THidDeviceController(std::shared_ptr<hidplatform::HidPlatform> Platform,
                                           const TStoredProperties& Stored, QObject* AOwner)
    : QObject(AOwner), FPlatform(std::move(Platform)) {
  FAvailable = FPlatform && FPlatform->IsAvailable();
  FLoading = true;
  SetDevPollingDelayTime(Stored.DevPollingDelayTime);
  SetDevThreadSleepTime(Stored.DevThreadSleepTime);
  SetOnArrival(Stored.OnArrival);
  SetOnEnumerate(Stored.OnEnumerate);
  SetOnDeviceChange(Stored.OnDeviceChange);
  SetOnDeviceCreateError(Stored.OnDeviceCreateError);
  SetOnDeviceData(Stored.OnDeviceData);
  SetOnDeviceDataError(Stored.OnDeviceDataError);
  SetOnDeviceUnplug(Stored.OnDeviceUnplug);
  SetOnRemoval(Stored.OnRemoval);
  FLoading = false;
  BindPlatform();
}

void THidDeviceController::BindPlatform() {
  if (!FAvailable) {
    FHidGuid = QString::fromStdU16String(hidplatform::DefaultHidClassGuid());
    return;
  }
  FHidGuid = QString::fromStdU16String(FPlatform->HidClassGuid());
  StartWatching();
  PostStartupNotification();
}

void THidDeviceController::StartWatching() {
  FWatch = FPlatform->WatchDeviceChanges(
      [this](std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
        HandleNotification(message, wParam, lParam);
      });
  if (!FWatch) return;
  // A pass run from a window procedure cannot throw past it: its error is thrown again from the
  // message loop, whose handler errors the application shows like any other.
  FWatch->SetCallbackErrorHandler([this](std::exception_ptr error) {
    QMetaObject::invokeMethod(
        this, [error] { std::rethrow_exception(error); }, Qt::QueuedConnection);
  });
  if (FWatch->NotificationFd() < 0) return;
  FNotifier = new QSocketNotifier(FWatch->NotificationFd(), QSocketNotifier::Read, this);
  connect(FNotifier, &QSocketNotifier::activated, this,
          [this] { FWatch->ProcessPendingNotifications(); });
}

void THidDeviceController::PostStartupNotification() {
  // Posted, not run: the first pass waits until the main loop turns, after the window and its
  // handlers are complete.
  QMetaObject::invokeMethod(
      this, [this] { HandleNotification(kWmDeviceChange, kDbtDevNodesChanged, kStartupLParam); },
      Qt::QueuedConnection);
}

THidDeviceController::~THidDeviceController() {
  FDestroying = true;
  try {
    SetOnDeviceChange({});
  } catch (...) {
    // A failing last pass must not stop the destruction.
  }
  SetOnDeviceUnplug({});
  FOnEnumerate = {};
  delete FNotifier;
  FNotifier = nullptr;
  FWatch.reset();
  std::vector<THidDevice*> devices;
  devices.swap(FList);
  for (THidDevice* device : devices) {
    device->FMyController = nullptr;
    const std::weak_ptr<int> alive = device->FLifeToken;
    if (device->FIsCheckedOut) device->MarkUnplugged();
    if (!alive.expired()) delete device;
  }
}

template <typename Event>
auto THidDeviceController::WhileEnumerated(THidDevice* Device, Event event) {
  const std::weak_ptr<int> alive = Device->FLifeToken;
  Device->FIsEnumerated = true;
  struct ClearFlag {
    THidDevice* device;
    const std::weak_ptr<int>& alive;
    ~ClearFlag() {
      if (!alive.expired()) device->FIsEnumerated = false;
    }
  } clear{Device, alive};
  return event();
}

// ---- notifications and the pass ----

void THidDeviceController::HandleNotification(std::uint32_t Message, std::uintptr_t WParam,
                                              std::intptr_t LParam) {
  if (FDestroying || Message != kWmDeviceChange || WParam != kDbtDevNodesChanged ||
      FInDeviceChange) {
    return;
  }
  FLParam = LParam;
  FInDeviceChange = true;
  try {
    DeviceChange();
  } catch (...) {
    FInDeviceChange = false;
    throw;
  }
  FInDeviceChange = false;
}

void THidDeviceController::DeviceChange() {
  bool changed = FLParam == kStartupLParam;
  auto present = ListPresentDevices();
  changed = RemoveVanished(present) || changed;
  DropDuplicates(present);
  changed = AppendArrivals(present) || changed;
  ReopenWhereReadWriteWasRefused();
  if (changed && FOnDeviceChange) FOnDeviceChange(this);
}

std::vector<std::unique_ptr<THidDevice>> THidDeviceController::ListPresentDevices() {
  std::vector<std::unique_ptr<THidDevice>> present;
  std::vector<hidplatform::InterfaceInfo> interfaces;
  if (!FAvailable || !FPlatform->ListInterfaces(interfaces)) return present;
  for (const auto& info : interfaces) {
    auto pnpInfo = std::make_unique<THidPnPInfo>(info);
    if (auto device = CreateDeviceWithRetries(pnpInfo)) present.push_back(std::move(device));
  }
  return present;
}

std::unique_ptr<THidDevice> THidDeviceController::CreateDeviceWithRetries(
    std::unique_ptr<THidPnPInfo>& PnPInfo) {
  bool retryCreate = false;
  for (;;) {
    try {
      return std::unique_ptr<THidDevice>(new THidDevice(PnPInfo, this));
    } catch (const EControllerError&) {
      if (!FOnDeviceCreateError) throw;
      bool handled = false;
      FOnDeviceCreateError(this, PnPInfo.get(), handled, retryCreate);
      if (!handled) throw;
      if (!retryCreate) return nullptr;
    }
  }
}

void THidDeviceController::ReopenWhereReadWriteWasRefused() {
  // Access granted after the device arrived (a udev rule applied late) takes effect at the next
  // pass, without a re-plug. Starting a reading thread raises no event.
  for (THidDevice* device : FList) {
    if (device->FIsCheckedOut && device->FIsPluggedIn && !device->FHasReadWriteAccess) {
      device->ReopenReadWrite();
    }
  }
}

bool THidDeviceController::RemoveVanished(std::vector<std::unique_ptr<THidDevice>>& Present) {
  bool changed = false;
  // From the end, so that entries removed by an event do not disturb those still to visit.
  for (std::size_t i = FList.size(); i-- > 0;) {
    if (i >= FList.size()) {
      i = FList.size();
      continue;
    }
    THidDevice* device = FList[i];
    const auto samePresent = [device](const std::unique_ptr<THidDevice>& candidate) {
      return candidate->FPnPInfo->DeviceID() == device->FPnPInfo->DeviceID();
    };
    if (device->FIsPluggedIn && std::any_of(Present.rbegin(), Present.rend(), samePresent)) {
      continue;
    }
    changed = true;
    const std::weak_ptr<int> alive = device->FLifeToken;
    device->MarkUnplugged();
    if (alive.expired()) continue;  // destroyed in its own unplug event
    WhileEnumerated(device, [&] {
      if (FOnRemoval) FOnRemoval(device);
    });
    if (alive.expired() || device->FIsCheckedOut) continue;
    RemoveEntry(device);
    device->FMyController = nullptr;
    delete device;
  }
  return changed;
}

void THidDeviceController::DropDuplicates(std::vector<std::unique_ptr<THidDevice>>& Present) {
  for (auto& device : Present) {
    if (IsListedAndPlugged(device->FPnPInfo->DeviceID())) {
      device->FMyController = nullptr;
      device.reset();
    }
  }
}

bool THidDeviceController::AppendArrivals(std::vector<std::unique_ptr<THidDevice>>& Present) {
  bool changed = false;
  for (auto& owned : Present) {
    if (!owned) continue;
    THidDevice* device = owned.release();
    FList.push_back(device);
    changed = true;
    WhileEnumerated(device, [&] {
      if (FOnArrival) FOnArrival(device);
    });
  }
  return changed;
}

template <typename Matches>
std::int32_t THidDeviceController::CountListed(Matches matches) const {
  return static_cast<std::int32_t>(std::count_if(FList.begin(), FList.end(), matches));
}

std::int32_t THidDeviceController::NumCheckedInDevices() const {
  return CountListed([](const THidDevice* device) { return !device->FIsCheckedOut; });
}

std::int32_t THidDeviceController::NumCheckedOutDevices() const {
  return CountListed([](const THidDevice* device) {
    return device->FIsCheckedOut && device->FIsPluggedIn;
  });
}

std::int32_t THidDeviceController::NumUnpluggedDevices() const {
  return CountListed([](const THidDevice* device) { return !device->FIsPluggedIn; });
}

bool THidDeviceController::IsListedAndPlugged(std::uint32_t DeviceID) const {
  return std::any_of(FList.begin(), FList.end(), [DeviceID](const THidDevice* device) {
    return device->FIsPluggedIn && device->FPnPInfo->DeviceID() == DeviceID;
  });
}

int THidDeviceController::IndexOf(const THidDevice* Device) const {
  const auto it = std::find(FList.begin(), FList.end(), Device);
  return it == FList.end() ? -1 : static_cast<int>(it - FList.begin());
}

void THidDeviceController::RemoveEntry(THidDevice* Device) {
  const int index = IndexOf(Device);
  if (index >= 0) FList.erase(FList.begin() + index);
}

void THidDeviceController::ReplaceOrDropEntry(THidDevice& Device, const THidDataEvent& OnData,
                                              const THidPlugEvent& OnUnplug) {
  const int index = IndexOf(&Device);
  if (index < 0) return;
  if (!Device.FIsPluggedIn) {
    FList.erase(FList.begin() + index);
    return;
  }
  try {
    auto* replacement = new THidDevice(Device.FPnPInfo, this);
    replacement->SetOnData(OnData);
    replacement->FOnUnplug = OnUnplug;
    replacement->SetPollingDelayTime(Device.FPollingDelayTime);
    replacement->SetThreadSleepTime(Device.FThreadSleepTime);
    FList[static_cast<std::size_t>(index)] = replacement;
  } catch (const EControllerError&) {
    FList.erase(FList.begin() + index);
  }
}

void THidDeviceController::CloseUnlessCheckedOut(THidDevice* Device) {
  if (!Device->FIsCheckedOut) Device->CloseAllHandles();
}

// ---- enumeration, check-out, check-in, counting ----

std::int32_t THidDeviceController::Enumerate() {
  const std::size_t entries = FList.size();
  std::int32_t count = 0;
  for (std::size_t i = 0; i < entries && i < FList.size(); ++i) {
    THidDevice* device = FList[i];
    if (!device->FIsPluggedIn) continue;
    ++count;
    if (!FOnEnumerate) break;
    const std::weak_ptr<int> alive = device->FLifeToken;
    const bool goOn =
        WhileEnumerated(device, [&] { return FOnEnumerate(device, static_cast<std::int32_t>(i)); });
    if (!alive.expired()) CloseUnlessCheckedOut(device);
    if (!goOn) break;
  }
  return count;
}

bool THidDeviceController::CheckOutAt(THidDevice*& HidDev, std::size_t Idx, bool Test) {
  THidDevice* device = FList[Idx];
  if (!Test || device->FIsCheckedOut) return false;
  HidDev = device;
  device->FIsCheckedOut = true;
  device->StartReadThread();
  return true;
}

template <typename Matches>
bool THidDeviceController::CheckOutFirst(THidDevice*& HidDev, Matches matches) {
  HidDev = nullptr;
  for (std::size_t i = 0; i < FList.size(); ++i) {
    if (CheckOutAt(HidDev, i, matches(FList[i]))) return true;
  }
  return false;
}

bool THidDeviceController::CheckOut(THidDevice*& HidDev) {
  return CheckOutFirst(HidDev, [](THidDevice*) { return true; });
}

bool THidDeviceController::CheckOutByIndex(THidDevice*& HidDev, std::int32_t Idx) {
  HidDev = nullptr;
  if (Idx < 0 || static_cast<std::size_t>(Idx) >= FList.size()) return false;
  return CheckOutAt(HidDev, static_cast<std::size_t>(Idx), true);
}

bool THidDeviceController::CheckOutByID(THidDevice*& HidDev, std::int32_t Vid, std::int32_t Pid) {
  return CheckOutFirst(HidDev, [Vid, Pid](THidDevice* device) {
    const auto& attributes = device->Attributes();
    return attributes.VendorID == Vid && (attributes.ProductID == Pid || Pid == -1);
  });
}

bool THidDeviceController::CheckOutByProductName(THidDevice*& HidDev, const QString& ProductName) {
  HidDev = nullptr;
  if (ProductName.isEmpty()) return false;
  return CheckOutFirst(
      HidDev, [&ProductName](THidDevice* device) { return device->ProductName() == ProductName; });
}

bool THidDeviceController::CheckOutByVendorName(THidDevice*& HidDev, const QString& VendorName) {
  HidDev = nullptr;
  if (VendorName.isEmpty()) return false;
  return CheckOutFirst(
      HidDev, [&VendorName](THidDevice* device) { return device->VendorName() == VendorName; });
}

bool THidDeviceController::CheckOutByClass(THidDevice*& HidDev, const QString& ClassName) {
  HidDev = nullptr;
  if (ClassName.isEmpty()) return false;
  return CheckOutFirst(HidDev, [&ClassName](THidDevice* device) {
    return device->PnPInfo().ClassDescr() == ClassName;
  });
}

bool THidDeviceController::CheckOutByCallback(THidDevice*& HidDev, THidCheckCallback Check) {
  HidDev = nullptr;
  if (Check == nullptr) return false;
  for (std::size_t i = 0; i < FList.size(); ++i) {
    THidDevice* device = FList[i];
    if (device->FIsCheckedOut) continue;
    const bool taken =
        WhileEnumerated(device, [&] { return CheckOutAt(HidDev, i, Check(device)); });
    if (taken) return true;
    CloseUnlessCheckedOut(device);
  }
  return false;
}

void THidDeviceController::CheckIn(THidDevice*& HidDev) {
  THidDevice* device = HidDev;
  if (device == nullptr) return;
  device->StopReadThread();
  device->CloseAllHandles();
  if (device->FIsPluggedIn) {
    device->FIsCheckedOut = false;
  } else {
    delete device;
  }
  HidDev = nullptr;
}

template <typename Matches>
std::int32_t THidDeviceController::CountPlugged(Matches matches) {
  std::int32_t count = 0;
  for (THidDevice* device : FList) {
    if (device->FIsPluggedIn && matches(device)) ++count;
  }
  return count;
}

std::int32_t THidDeviceController::CountByID(std::int32_t Vid, std::int32_t Pid) {
  return CountPlugged([Vid, Pid](THidDevice* device) {
    const auto& attributes = device->Attributes();
    return attributes.VendorID == Vid && (attributes.ProductID == Pid || Pid == -1);
  });
}

std::int32_t THidDeviceController::CountByProductName(const QString& ProductName) {
  return CountPlugged(
      [&ProductName](THidDevice* device) { return device->ProductName() == ProductName; });
}

std::int32_t THidDeviceController::CountByVendorName(const QString& VendorName) {
  return CountPlugged(
      [&VendorName](THidDevice* device) { return device->VendorName() == VendorName; });
}

std::int32_t THidDeviceController::CountByClass(const QString& ClassName) {
  return CountPlugged(
      [&ClassName](THidDevice* device) { return device->PnPInfo().ClassDescr() == ClassName; });
}

std::int32_t THidDeviceController::CountByCallback(THidCheckCallback Check) {
  if (Check == nullptr) return 0;
  return CountPlugged([this, Check](THidDevice* device) {
    const bool matches = WhileEnumerated(device, [&] { return Check(device); });
    CloseUnlessCheckedOut(device);
    return matches;
  });
}

// ---- properties ----

QString THidDeviceController::HidVersion() const {
  return FPlatform ? QString::fromStdU16String(FPlatform->HidVersion()) : QString();
}

void THidDeviceController::SetDevPollingDelayTime(std::int32_t Value) {
  for (THidDevice* device : FList) {
    if (device->PollingDelayTime() == FDevPollingDelayTime) device->SetPollingDelayTime(Value);
  }
  FDevPollingDelayTime = Value;
}

void THidDeviceController::SetDevThreadSleepTime(std::int32_t Value) {
  for (THidDevice* device : FList) {
    if (device->ThreadSleepTime() == FDevThreadSleepTime) device->SetThreadSleepTime(Value);
  }
  FDevThreadSleepTime = Value;
}

void THidDeviceController::SetOnDeviceChange(const TNotifyEvent& Value) {
  if (Value == FOnDeviceChange) return;
  FOnDeviceChange = Value;
  if (!FLoading) DeviceChange();
}

void THidDeviceController::SetOnDeviceData(const THidDataEvent& Value) {
  if (Value == FOnDeviceData) return;
  for (THidDevice* device : FList) {
    if (device->OnData() == FOnDeviceData) device->SetOnData(Value);
  }
  FOnDeviceData = Value;
}

void THidDeviceController::SetOnDeviceDataError(const THidDataErrorEvent& Value) {
  if (Value == FOnDeviceDataError) return;
  for (THidDevice* device : FList) {
    if (device->OnDataError() == FOnDeviceDataError) device->SetOnDataError(Value);
  }
  FOnDeviceDataError = Value;
}

void THidDeviceController::SetOnDeviceUnplug(const THidPlugEvent& Value) {
  if (Value == FOnDeviceUnplug) return;
  for (THidDevice* device : FList) {
    if (device->OnUnplug() == FOnDeviceUnplug) device->SetOnUnplug(Value);
  }
  FOnDeviceUnplug = Value;
}
