#pragma once
// The pedal set's data types: which pedal, the 19 settings bytes of one pedal, the pedal object,
// and the report ids and command codes that travel with the reports.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

enum class PedalName : std::uint8_t { Throttle = 0, Brake = 1, Clutch = 2 };

inline constexpr std::array<PedalName, 3> kAllPedals = {PedalName::Throttle, PedalName::Brake,
                                                        PedalName::Clutch};

// One pedal's settings exactly as the pedal set stores them. The in-memory layout is packed to
// the wire's 19 bytes, but the bytes are always converted field by field (little-endian), so the
// host's byte order never matters.
#pragma pack(push, 1)
struct PedalData {
  std::uint8_t ConnectStatus = 0;
  std::uint16_t ProgressBarValMin = 0;
  std::uint16_t ProgressBarValMax = 0;
  std::uint16_t SliderRangeMin = 0;
  std::uint16_t SliderRangeMax = 0;
  std::uint16_t SliderPosLeft = 0;
  std::uint16_t SliderPosRight = 0;
  std::uint8_t FirstFilterStageKoeff = 0;
  std::uint8_t SecondFilterStageKoeff = 0;
  std::uint16_t DACRangeMin = 0;
  std::uint16_t DACRangeMax = 0;

  bool operator==(const PedalData&) const = default;
};
#pragma pack(pop)

inline constexpr std::size_t kPedalDataSize = 19;
static_assert(sizeof(PedalData) == kPedalDataSize, "PedalData must be exactly its wire size");

// The one reading of a 16-bit field of a report: low byte first.
inline std::uint16_t ReadLittleEndian16(std::span<const std::uint8_t, 2> bytes) {
  return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

// Reads the 19 wire bytes (little-endian fields) into a PedalData.
PedalData PedalDataFromBytes(std::span<const std::uint8_t, kPedalDataSize> bytes);
// Writes a PedalData as its 19 wire bytes (little-endian fields).
void PedalDataToBytes(const PedalData& data, std::span<std::uint8_t, kPedalDataSize> bytes);

struct TPedal {
  std::string name;
  PedalName mainname = PedalName::Throttle;
  PedalData data;
  std::uint16_t nPosition = 0;
  bool calibration = false;
};

// Report ids (the first byte of every report).
inline constexpr std::uint8_t kPositionsReportId = 1;
inline constexpr std::uint8_t kCommandReportId = 2;
inline constexpr std::uint8_t kSettingsReportId = 3;

// Command codes (byte 1 of the command report) and the status of a settings dump.
namespace PedalCommand {
inline constexpr std::uint8_t Update = 11;
inline constexpr std::uint8_t ResetCalibration = 12;
inline constexpr std::uint8_t ThrottleCalibrationStart = 161;
inline constexpr std::uint8_t ThrottleCalibrationEnd = 162;
inline constexpr std::uint8_t BrakeCalibrationStart = 163;
inline constexpr std::uint8_t BrakeCalibrationEnd = 164;
inline constexpr std::uint8_t ClutchCalibrationStart = 165;
inline constexpr std::uint8_t ClutchCalibrationEnd = 166;
inline constexpr std::uint8_t SettingsRequest = 209;
inline constexpr std::uint8_t SettingsDumpStatus = 210;  // only ever received
inline constexpr std::uint8_t Acknowledge = 211;

constexpr std::uint8_t CalibrationStart(PedalName pedal) {
  return static_cast<std::uint8_t>(ThrottleCalibrationStart + 2 * static_cast<int>(pedal));
}
constexpr std::uint8_t CalibrationEnd(PedalName pedal) {
  return static_cast<std::uint8_t>(ThrottleCalibrationEnd + 2 * static_cast<int>(pedal));
}
}  // namespace PedalCommand
