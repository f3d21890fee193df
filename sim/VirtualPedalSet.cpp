#include "VirtualPedalSet.h"

#include <chrono>

#if defined(__linux__)
#include <pthread.h>
#endif

#include "PedalSetIdentity.h"
#include "hid/platform/ReportDescriptor.h"

namespace sim {

namespace {

// The host's input buffer. While it is full the pedal set's reports have nowhere to go: the
// pedals move on, but the firmware sends nothing, so a due settings dump waits for room
// instead of being lost.
constexpr std::size_t kHostInputBufferReports = 64;

hidplatform::VirtualInterfaceSpec PedalSetSpec(const std::string& product,
                                               const std::u16string& devicePath) {
  hidplatform::VirtualInterfaceSpec spec;
  spec.DevicePath = devicePath;
  spec.Attributes = {.VendorID = kPedalSetVendorId,
                     .ProductID = kPedalSetProductId,
                     .VersionNumber = kPedalSetVersion};
  spec.Product = product;
  spec.Manufacturer = kPedalSetManufacturerString;
  spec.Caps = hidplatform::ParseReportDescriptor(PedalSetReportDescriptor()).Caps();
  return spec;
}

}  // namespace

VirtualPedalSet::VirtualPedalSet(hidplatform::VirtualHidPlatform& platform)
    : VirtualPedalSet(platform, Options{}) {}

VirtualPedalSet::VirtualPedalSet(hidplatform::VirtualHidPlatform& platform, Options options)
    : platform_(platform),
      options_(std::move(options)),
      interface_(platform.AddInterface(PedalSetSpec(options_.product, options_.devicePath),
                                       /*plugIn=*/false)),
      motion_(options_.reportRateHz),
      firmware_(options_.dumpDelay) {
  interface_->SetOutputReportHandler(
      [this](std::span<const std::uint8_t> report) { OnOutputReport(report); });
}

VirtualPedalSet::~VirtualPedalSet() {
  StopMoving();
  interface_->SetOutputReportHandler(nullptr);
  if (interface_->IsPluggedIn()) platform_.Unplug(*interface_);
}

void VirtualPedalSet::PlugIn() {
  if (interface_->IsPluggedIn()) return;
  {
    std::lock_guard lock(mutex_);
    firmware_.PowerUp();
  }
  platform_.Plug(*interface_);
  platform_.RaiseDeviceChange();
}

void VirtualPedalSet::Unplug() {
  if (!interface_->IsPluggedIn()) return;
  platform_.Unplug(*interface_);
  platform_.RaiseDeviceChange();
}

bool VirtualPedalSet::IsPluggedIn() const { return interface_->IsPluggedIn(); }

void VirtualPedalSet::StartMoving() {
  std::lock_guard lock(mutex_);
  if (streamer_.joinable()) return;
  stopRequested_ = false;
  streamer_ = std::thread([this] { StreamUntilStopped(); });
}

void VirtualPedalSet::StopMoving() {
  std::thread streamer;
  {
    std::lock_guard lock(mutex_);
    stopRequested_ = true;
    streamer.swap(streamer_);
  }
  stopChanged_.notify_all();
  if (streamer.joinable()) streamer.join();
}

bool VirtualPedalSet::IsMoving() const {
  std::lock_guard lock(mutex_);
  return streamer_.joinable();
}

void VirtualPedalSet::StreamUntilStopped() {
#if defined(__linux__)
  pthread_setname_np(pthread_self(), "VirtualPedalSet");
#endif
  using Clock = std::chrono::steady_clock;
  const auto period = std::chrono::duration_cast<Clock::duration>(
      std::chrono::duration<double>(1.0 / std::max(options_.reportRateHz, 1)));
  auto due = Clock::now();
  std::unique_lock lock(mutex_);
  while (!stopRequested_) {
    lock.unlock();
    SendReports(1);
    lock.lock();
    due += period;
    // After a long stall (a debugger, a loaded machine) carry on from now instead of bursting.
    if (Clock::now() - due > std::chrono::milliseconds(100)) due = Clock::now();
    stopChanged_.wait_until(lock, due, [this] { return stopRequested_; });
  }
}

void VirtualPedalSet::SendReports(int count) {
  for (int i = 0; i < count; ++i) {
    if (HostTakesReports()) {
      interface_->QueueInputReport(NextReport());
    } else {
      LetTimePass(interface_->IsPluggedIn());
    }
  }
}

bool VirtualPedalSet::HostTakesReports() const {
  return interface_->IsPluggedIn() && interface_->PendingInputReports() < kHostInputBufferReports;
}

std::vector<std::uint8_t> VirtualPedalSet::NextReport() {
  std::lock_guard lock(mutex_);
  const RawPositions positions = heldPositions_.value_or(motion_.At(reportIndex_));
  ++reportIndex_;
  return firmware_.NextInputReport(positions);
}

void VirtualPedalSet::LetTimePass(bool heldBack) {
  std::lock_guard lock(mutex_);
  ++reportIndex_;
  if (heldBack) ++heldBack_;
}

std::uint64_t VirtualPedalSet::ReportsHeldBack() const {
  std::lock_guard lock(mutex_);
  return heldBack_;
}

void VirtualPedalSet::HoldPedals(std::optional<RawPositions> positions) {
  std::lock_guard lock(mutex_);
  heldPositions_ = positions;
}

bool VirtualPedalSet::HostCaughtUp() const {
  return interface_->PendingInputReports() == 0 &&
         interface_->WaitUntilReadOutstanding(std::chrono::milliseconds(0));
}

void VirtualPedalSet::OnOutputReport(std::span<const std::uint8_t> report) {
  std::lock_guard lock(mutex_);
  received_.emplace_back(report.begin(), report.end());
  firmware_.ReceiveOutputReport(report);
}

std::vector<std::vector<std::uint8_t>> VirtualPedalSet::ReceivedReports() const {
  std::lock_guard lock(mutex_);
  return received_;
}

std::vector<std::uint8_t> VirtualPedalSet::ReceivedCommands() const {
  std::lock_guard lock(mutex_);
  std::vector<std::uint8_t> codes;
  for (const auto& report : received_) {
    if (report.size() >= 2) codes.push_back(report[1]);
  }
  return codes;
}

SettingsData VirtualPedalSet::Settings() const {
  std::lock_guard lock(mutex_);
  return firmware_.Settings();
}

std::uint16_t VirtualPedalSet::FlashCount() const {
  std::lock_guard lock(mutex_);
  return firmware_.FlashCount();
}

RawLimits VirtualPedalSet::RawLimitsOf(std::size_t pedal) const {
  std::lock_guard lock(mutex_);
  return firmware_.RawLimitsOf(pedal);
}

bool VirtualPedalSet::IsCalibrating(std::size_t pedal) const {
  std::lock_guard lock(mutex_);
  return firmware_.IsCalibrating(pedal);
}

bool VirtualPedalSet::Acknowledged() const {
  std::lock_guard lock(mutex_);
  return firmware_.Acknowledged();
}

int VirtualPedalSet::DumpsSent() const {
  std::lock_guard lock(mutex_);
  return firmware_.DumpsSent();
}

}  // namespace sim
