#include "PedalFirmware.h"

#include <algorithm>

namespace sim {

namespace {

// Offsets within the 63 settings bytes (the report's bytes after the id).
constexpr std::size_t kStatus = 0;
constexpr std::size_t kBrakeTenths = 1;
constexpr std::size_t kFirstPedal = 2;
constexpr std::size_t kPedalSize = 19;
constexpr std::size_t kFlashCount = 59;
constexpr std::size_t kFirmwareVersion = 61;

// Offsets within one pedal's 19 bytes.
constexpr std::size_t kConnectStatus = 0;
constexpr std::size_t kRawMin = 1;
constexpr std::size_t kRawMax = 3;
constexpr std::size_t kSliderRangeMin = 5;
constexpr std::size_t kSliderRangeMax = 7;
constexpr std::size_t kSliderPosLeft = 9;
constexpr std::size_t kSliderPosRight = 11;
constexpr std::size_t kFirstFilter = 13;
constexpr std::size_t kSecondFilter = 14;
constexpr std::size_t kDacMin = 15;
constexpr std::size_t kDacMax = 17;

constexpr std::uint8_t kPositionsReportId = 1;
constexpr std::uint8_t kCommandReportId = 2;
constexpr std::uint8_t kSettingsReportId = 3;

// Factory raw limits: the travel a new pedal set measures on its 12-bit sensors.
constexpr std::array<RawLimits, kPedalCount> kFactoryRawLimits = {
    RawLimits{350, 3750}, RawLimits{120, 3980}, RawLimits{500, 3600}};

std::size_t PedalOffset(std::size_t pedal) { return kFirstPedal + kPedalSize * pedal; }

void Put16(SettingsData& settings, std::size_t offset, std::uint16_t value) {
  settings[offset] = static_cast<std::uint8_t>(value & 0xFF);
  settings[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

std::uint16_t Get16(const SettingsData& settings, std::size_t offset) {
  return static_cast<std::uint16_t>(settings[offset] | (settings[offset + 1] << 8));
}

void PutFactoryPedal(SettingsData& settings, std::size_t pedal) {
  const std::size_t at = PedalOffset(pedal);
  settings[at + kConnectStatus] = 1;
  Put16(settings, at + kRawMin, kFactoryRawLimits[pedal].min);
  Put16(settings, at + kRawMax, kFactoryRawLimits[pedal].max);
  Put16(settings, at + kSliderRangeMin, 0);
  Put16(settings, at + kSliderRangeMax, 1000);
  Put16(settings, at + kSliderPosLeft, 20);
  Put16(settings, at + kSliderPosRight, 980);
  settings[at + kFirstFilter] = 2;
  settings[at + kSecondFilter] = 1;
  Put16(settings, at + kDacMin, 0);
  Put16(settings, at + kDacMax, 65535);
}

}  // namespace

PedalFirmware::PedalFirmware(int dumpDelay) : settings_(FactorySettings()), dumpDelay_(dumpDelay) {}

SettingsData PedalFirmware::FactorySettings() {
  SettingsData settings{};
  settings[kBrakeTenths] = 15;  // 1.5: a 144 kg load cell at full scale
  for (std::size_t pedal = 0; pedal < kPedalCount; ++pedal) PutFactoryPedal(settings, pedal);
  Put16(settings, kFlashCount, 3);
  Put16(settings, kFirmwareVersion, 10203);  // two decimal digits a part: 1.2.3
  return settings;
}

void PedalFirmware::PowerUp() {
  reportsUntilDump_ = -1;
  acknowledged_ = false;
  calibrations_ = {};
}

void PedalFirmware::ReceiveOutputReport(std::span<const std::uint8_t> report) {
  // A report that is not a whole command report is ignored, as firmware would drop it.
  if (report.size() < 2 || report[0] != kCommandReportId) return;
  const auto data = report.subspan(1);
  RunCommand(data[0], data);
}

void PedalFirmware::RunCommand(std::uint8_t code, std::span<const std::uint8_t> data) {
  if (code == kSettingsRequest) {
    if (dumpDelay_ >= 0 && reportsUntilDump_ < 0) reportsUntilDump_ = dumpDelay_;
    acknowledged_ = false;
  } else if (code == kAcknowledge) {
    acknowledged_ = true;
  } else if (code == kUpdate) {
    StoreUpdate(data);
  } else if (code == kResetCalibration) {
    ResetCalibration();
  } else if (code >= kFirstCalibrationStart && code <= kLastCalibrationEnd) {
    const std::size_t pedal = (code - kFirstCalibrationStart) / 2;
    const bool isStart = (code - kFirstCalibrationStart) % 2 == 0;
    isStart ? StartCalibration(pedal) : EndCalibration(pedal);
  }
}

void PedalFirmware::StoreUpdate(std::span<const std::uint8_t> data) {
  if (data.size() < kFlashCount) return;
  // The brake constant and the three pedals; the flash count and version are the firmware's.
  std::copy(data.begin() + kBrakeTenths, data.begin() + kFlashCount,
            settings_.begin() + kBrakeTenths);
  CountFlashWrite();
}

void PedalFirmware::ResetCalibration() {
  for (std::size_t pedal = 0; pedal < kPedalCount; ++pedal) {
    calibrations_[pedal].active = false;
    SetRawLimits(pedal, kFactoryRawLimits[pedal]);
  }
  CountFlashWrite();
}

void PedalFirmware::StartCalibration(std::size_t pedal) {
  calibrations_[pedal] = Calibration{.active = true, .seen = {0xFFFF, 0}};
}

void PedalFirmware::EndCalibration(std::size_t pedal) {
  Calibration& calibration = calibrations_[pedal];
  if (!calibration.active) return;
  calibration.active = false;
  // Without any travel seen the old limits stay: a zero-width range would be useless.
  if (calibration.seen.min >= calibration.seen.max) return;
  SetRawLimits(pedal, calibration.seen);
  CountFlashWrite();
}

void PedalFirmware::RecordTravel(const RawPositions& positions) {
  for (std::size_t pedal = 0; pedal < kPedalCount; ++pedal) {
    Calibration& calibration = calibrations_[pedal];
    if (!calibration.active) continue;
    calibration.seen.min = std::min(calibration.seen.min, positions[pedal]);
    calibration.seen.max = std::max(calibration.seen.max, positions[pedal]);
  }
}

void PedalFirmware::SetRawLimits(std::size_t pedal, RawLimits limits) {
  Put16(settings_, PedalOffset(pedal) + kRawMin, limits.min);
  Put16(settings_, PedalOffset(pedal) + kRawMax, limits.max);
}

void PedalFirmware::CountFlashWrite() {
  Put16(settings_, kFlashCount, static_cast<std::uint16_t>(FlashCount() + 1));
}

std::uint16_t PedalFirmware::FlashCount() const { return Get16(settings_, kFlashCount); }

RawLimits PedalFirmware::RawLimitsOf(std::size_t pedal) const {
  return {Get16(settings_, PedalOffset(pedal) + kRawMin),
          Get16(settings_, PedalOffset(pedal) + kRawMax)};
}

std::vector<std::uint8_t> PedalFirmware::NextInputReport(const RawPositions& positions) {
  RecordTravel(positions);
  if (reportsUntilDump_ == 0) {
    reportsUntilDump_ = -1;
    return DumpReport();
  }
  if (reportsUntilDump_ > 0) --reportsUntilDump_;
  std::vector<std::uint8_t> report = {kPositionsReportId};
  for (std::uint16_t position : positions) {
    report.push_back(static_cast<std::uint8_t>(position & 0xFF));
    report.push_back(static_cast<std::uint8_t>(position >> 8));
  }
  return report;
}

std::vector<std::uint8_t> PedalFirmware::DumpReport() {
  ++dumpsSent_;
  // Sized up front: g++ 12 at -O2 misreads insert() into a one-element vector as out of bounds.
  std::vector<std::uint8_t> report(1 + settings_.size());
  report[0] = kSettingsReportId;
  std::copy(settings_.begin(), settings_.end(), report.begin() + 1);
  report[1 + kStatus] = kDumpStatus;
  return report;
}

}  // namespace sim
