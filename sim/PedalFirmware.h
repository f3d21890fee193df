#pragma once
// A model of the pedal set's firmware: the settings it keeps, how it answers each command
// report, and the input reports it sends. No I/O and no locking: VirtualPedalSet feeds it.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace sim {

inline constexpr std::size_t kPedalCount = 3;
inline constexpr std::size_t kSettingsDataSize = 63;  // bytes of report 2 and 3 after the id
inline constexpr std::size_t kPositionsDataSize = 6;

using RawPositions = std::array<std::uint16_t, kPedalCount>;
using SettingsData = std::array<std::uint8_t, kSettingsDataSize>;

struct RawLimits {
  std::uint16_t min = 0;
  std::uint16_t max = 0;
  bool operator==(const RawLimits&) const = default;
};

class PedalFirmware {
 public:
  // Input reports sent between a settings request and the dump that answers it.
  static constexpr int kDefaultDumpDelay = 3;

  static constexpr std::uint8_t kUpdate = 11;
  static constexpr std::uint8_t kResetCalibration = 12;
  static constexpr std::uint8_t kFirstCalibrationStart = 161;
  static constexpr std::uint8_t kLastCalibrationEnd = 166;
  static constexpr std::uint8_t kSettingsRequest = 209;
  static constexpr std::uint8_t kDumpStatus = 210;
  static constexpr std::uint8_t kAcknowledge = 211;

  // dumpDelay: input reports between a settings request and its dump; negative: never answers.
  explicit PedalFirmware(int dumpDelay = kDefaultDumpDelay);

  static SettingsData FactorySettings();

  // The set is powered up again (plugged back in): what it kept in RAM is gone, a pending dump,
  // the acknowledgement and any unfinished calibration; the stored settings stay.
  void PowerUp();

  // Takes one output report as written by the host (first byte: the report id).
  void ReceiveOutputReport(std::span<const std::uint8_t> report);

  // The next input report (first byte: the report id) while the pedals stand at `positions`:
  // the settings dump when one is due, else a positions report.
  std::vector<std::uint8_t> NextInputReport(const RawPositions& positions);

  const SettingsData& Settings() const { return settings_; }
  bool Acknowledged() const { return acknowledged_; }
  int DumpsSent() const { return dumpsSent_; }
  std::uint16_t FlashCount() const;
  RawLimits RawLimitsOf(std::size_t pedal) const;
  bool IsCalibrating(std::size_t pedal) const { return calibrations_[pedal].active; }

 private:
  struct Calibration {
    bool active = false;
    RawLimits seen;
  };

  void RunCommand(std::uint8_t code, std::span<const std::uint8_t> data);
  void StoreUpdate(std::span<const std::uint8_t> data);
  void ResetCalibration();
  void StartCalibration(std::size_t pedal);
  void EndCalibration(std::size_t pedal);
  void RecordTravel(const RawPositions& positions);
  void SetRawLimits(std::size_t pedal, RawLimits limits);
  void CountFlashWrite();
  std::vector<std::uint8_t> DumpReport();

  SettingsData settings_;
  std::array<Calibration, kPedalCount> calibrations_{};
  int dumpDelay_;
  int reportsUntilDump_ = -1;  // -1: no request pending
  bool acknowledged_ = false;
  int dumpsSent_ = 0;
};

}  // namespace sim
