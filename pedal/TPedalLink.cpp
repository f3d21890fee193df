#include "TPedalLink.h"

#include <QLatin1String>
#include <algorithm>
#include <utility>
#include <vector>

#include "hid/THidDevice.h"
#include "pedal/LinkLog.h"

bool HasPedalSetIds(const THidDevice& HidDev) {
  return HidDev.Attributes().VendorID == kPedalSetVendorId &&
         HidDev.Attributes().ProductID == kPedalSetProductId;
}

namespace {
QString PathOf(const THidDevice& HidDev) { return HidDev.PnPInfo().DevicePath(); }
}  // namespace

TPedalLink::TPedalLink() {
  FReopenTimer.setInterval(kReopenInterval);
  QObject::connect(&FReopenTimer, &QTimer::timeout, [this] { RetryReadWriteOpen(); });
}

TPedalLink::~TPedalLink() { ReleasePedalsDevice(); }

void TPedalLink::FormCreate() {
  SettingsLoaded = false;
  // The three pedal objects were made with the model and keep their names for good.
  joyPID = kPedalSetProductId;
  joyVID = kPedalSetVendorId;
}

bool TPedalLink::FormCloseQuery() {
  Closing = true;
  ReleasePedalsDevice();
  return true;
}

void TPedalLink::hidControllerDeviceChange(QObject* Sender) {
  FPedalsDevice = nullptr;
  if (auto* controller = dynamic_cast<THidDeviceController*>(Sender)) controller->Enumerate();
  TrackOpenState();
}

bool TPedalLink::hidControllerEnumerate(THidDevice* HidDev, std::int32_t /*Idx*/) {
  if (HidDev != nullptr && HasPedalSetIds(*HidDev)) {
    FPedalsDevice = HidDev;
    // Normally checked out already by the arrival handler; then this simply fails.
    HidDev->CheckOut();
  }
  return true;
}

void TPedalLink::hidControllerArrival(THidDevice* HidDev) {
  if (HidDev == nullptr || !HasPedalSetIds(*HidDev)) return;
  qCInfo(lcLink).noquote() << "pedal set found:" << PathOf(*HidDev);
  if (!HidDev->CheckOut()) return;
  // Settings loaded from a device held before are not this one's: its own handshake runs.
  if (FPedalsDevice != HidDev) SettingsLoaded = false;
  FPedalsDevice = HidDev;
  qCInfo(lcLink).noquote() << "checked out" << PathOf(*HidDev)
                           << (HidDev->HasReadWriteAccess() ? "for reading and writing"
                                                            : "query-only: it cannot send yet");
}

void TPedalLink::hidControllerRemoval(THidDevice* /*HidDev*/) {}

void TPedalLink::hidControllerDeviceUnplug(THidDevice* HidDev) {
  // Another device with the pedal set's ids going changes nothing of the held one's connection.
  if (HidDev == nullptr || !HasPedalSetIds(*HidDev) || HidDev != FPedalsDevice) return;
  qCInfo(lcLink).noquote() << "pedal set lost:" << PathOf(*HidDev);
  OnConnectionLost.Raise();
  SettingsLoaded = false;
  ReleasePedalsDevice();
}

void TPedalLink::hidControllerDeviceData(THidDevice* HidDev, std::uint8_t ReportID,
                                         const std::uint8_t* Data, std::uint16_t Size) {
  // Only the held pedal set's reports count: not those of another device with its ids, nor a
  // report its reading thread still hands over while the device is being released.
  if (Closing || HidDev == nullptr || HidDev != FPedalsDevice) return;
  joyPID = HidDev->Attributes().ProductID;
  joyVID = HidDev->Attributes().VendorID;
  joyPn = HidDev->ProductName();
  if (!SettingsLoaded) RunRequestCycle(ReportID, Data, Size);
  if (!LatestSenderIsPedalSet() || !SettingsLoaded) return;
  // A positions report too short to decode is passed over like a report of another id.
  if (ReportID == kPositionsReportId && Size >= kPositionsReportDataSize) {
    OnPositionsReceived.Raise();
    Model.DecodePositions(Data, Size);
    OnPositionsDecoded.Raise();
  }
  OnReadoutDue.Raise();
}

void TPedalLink::RunRequestCycle(std::uint8_t ReportID, const std::uint8_t* Data,
                                 std::uint16_t Size) {
  if (DataEventCount % kRequestInterval == 0) RequestSettings();
  // Only the phase of the count matters, so it wraps instead of growing without bound.
  DataEventCount = (DataEventCount + 1) % kRequestInterval;
  // A settings report too short to take is ignored; the cycle goes on.
  if (ReportID == kSettingsReportId && Model.AcceptSettingsReport(Data, Size)) {
    NotePedalSetHolds();
    OnSettingsTaken.Raise();
  }
  if (Model.SettingsReport[SettingsOffset::CommandOrStatus] == PedalCommand::SettingsDumpStatus) {
    CompleteHandshake();
  }
}

void TPedalLink::RequestSettings() {
  const bool sent = SendCommand(PedalCommand::SettingsRequest);
  if (FRequestLogged) return;
  FRequestLogged = true;
  if (sent) {
    qCInfo(lcLink) << "settings requested";
  } else {
    qCWarning(lcLink) << "the settings request could not be written";
  }
}

void TPedalLink::CompleteHandshake() {
  OnSettingsDumpTaken.Raise();
  qCInfo(lcLink) << "settings dump taken";
  FRequestLogged = false;
  // Marks the dump as seen, so the same bytes are never taken for a new dump.
  Model.SettingsReport[SettingsOffset::CommandOrStatus] = PedalCommand::SettingsRequest;
  if (SendCommand(PedalCommand::Acknowledge)) {
    qCInfo(lcLink) << "settings acknowledged";
  } else {
    qCWarning(lcLink) << "the acknowledgement could not be written";
  }
  DataEventCount = 0;
  SettingsLoaded = true;
}

bool TPedalLink::LatestSenderIsPedalSet() const {
  return joyPID == kPedalSetProductId && joyVID == kPedalSetVendorId &&
         joyPn == QLatin1String(kPedalSetProductName);
}

bool TPedalLink::SendCommand(std::uint8_t code) {
  if (FPedalsDevice == nullptr) return false;
  const std::uint16_t length = FPedalsDevice->Caps().OutputReportByteLength;
  if (length == 0) return false;  // a device without an output report takes no command
  const TSettingsReport built = Model.BuildCommandReport(code);
  // Exactly as long as the device's output report: cut short, or padded with zeros.
  std::vector<std::uint8_t> report(length, 0);
  std::copy_n(built.begin(), std::min<std::size_t>(length, built.size()), report.begin());
  std::uint32_t written = 0;
  const bool whole = FPedalsDevice->WriteFile(report.data(), length, written) && written == length;
  if (whole && code == PedalCommand::Update) NotePedalSetHolds();
  return whole;
}

void TPedalLink::NotePedalSetHolds() {
  for (PedalName name : kAllPedals) {
    FHeldByPedalSet[static_cast<std::size_t>(name)] = Model.Pedal(name).data;
  }
}

TConnectionFacts TPedalLink::ConnectionFacts(const THidDeviceController& Controller) const {
  TConnectionFacts facts;
  for (const THidDevice* device : Controller.Devices()) {
    if (!device->IsPluggedIn() || !HasPedalSetIds(*device)) continue;
    if (!facts.PedalSetPresent) facts.PedalSetPath = PathOf(*device);
    facts.PedalSetPresent = true;
  }
  const bool held = FPedalsDevice != nullptr && FPedalsDevice->IsPluggedIn();
  if (held) facts.PedalSetPath = PathOf(*FPedalsDevice);
  facts.OpenForReadWrite = held && FPedalsDevice->HasReadWriteAccess();
  facts.SettingsAnswered = SettingsLoaded;
  if (facts.OpenForReadWrite && FOpenedAt) {
    facts.SinceOpened = std::chrono::duration_cast<std::chrono::milliseconds>(Now() - *FOpenedAt);
  }
  facts.PlugInNoticed = Controller.NoticesDeviceChanges();
  return facts;
}

void TPedalLink::RetryReadWriteOpen() {
  if (FPedalsDevice != nullptr && FPedalsDevice->IsPluggedIn()) FPedalsDevice->ReopenReadWrite();
  TrackOpenState();
}

void TPedalLink::TrackOpenState() {
  const bool present = FPedalsDevice != nullptr && FPedalsDevice->IsPluggedIn();
  const bool open = present && FPedalsDevice->HasReadWriteAccess();
  if (open && !FOpenedAt) FOpenedAt = Now();
  if (present && !open) {
    if (!FReopenTimer.isActive()) FReopenTimer.start();
  } else {
    FReopenTimer.stop();
  }
}

void TPedalLink::ReleasePedalsDevice() {
  FReopenTimer.stop();
  FOpenedAt.reset();
  FRequestLogged = false;
  // Cleared before the delete: stopping the reading thread may still deliver a pending report,
  // whose handler must not write to the device being destroyed.
  delete std::exchange(FPedalsDevice, nullptr);
}

THidDeviceController::TStoredProperties TPedalLink::ControllerEvents() {
  THidDeviceController::TStoredProperties events;
  events.OnArrival = THidPlugEvent(this, &TPedalLink::hidControllerArrival);
  events.OnEnumerate = THidEnumerateEvent(this, &TPedalLink::hidControllerEnumerate);
  events.OnDeviceChange = TNotifyEvent(this, &TPedalLink::hidControllerDeviceChange);
  events.OnDeviceData = THidDataEvent(this, &TPedalLink::hidControllerDeviceData);
  events.OnDeviceUnplug = THidPlugEvent(this, &TPedalLink::hidControllerDeviceUnplug);
  events.OnRemoval = THidPlugEvent(this, &TPedalLink::hidControllerRemoval);
  return events;
}
