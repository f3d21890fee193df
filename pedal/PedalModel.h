#pragma once
// The working copy of the pedal set's settings: three pedal objects, the last settings report
// received (which is also the template of every command report) and the brake load constant.
// Builds report bytes and takes report bytes apart; does no I/O.

#include <array>
#include <cstddef>
#include <cstdint>

#include "PedalTypes.h"

inline constexpr std::size_t kSettingsReportSize = 68;
// Data bytes (after the report id) that a settings report must carry to be taken.
inline constexpr std::size_t kSettingsReportDataSize = 63;
// Data bytes (after the report id) that a positions report must carry to be decoded.
inline constexpr std::size_t kPositionsReportDataSize = 6;

using TSettingsReport = std::array<std::uint8_t, kSettingsReportSize>;

// Byte offsets within TSettingsReport.
namespace SettingsOffset {
inline constexpr std::size_t ReportId = 0;
inline constexpr std::size_t CommandOrStatus = 1;
inline constexpr std::size_t BrakeKgTenths = 2;
inline constexpr std::size_t FirstPedal = 3;
inline constexpr std::size_t FlashCount = 60;
inline constexpr std::size_t McuVersion = 62;
inline constexpr std::size_t Uninterpreted = 64;

constexpr std::size_t Pedal(PedalName pedal) {
  return FirstPedal + kPedalDataSize * static_cast<std::size_t>(pedal);
}
}  // namespace SettingsOffset

class PedalModel {
 public:
  PedalModel();

  TPedal ThrottlePedal;
  TPedal BrakePedal;
  TPedal ClutchPedal;
  TSettingsReport SettingsReport{};
  double BrakeKgConst = 0.0;

  TPedal& Pedal(PedalName name);
  const TPedal& Pedal(PedalName name) const;

  // The command report for `code`: the last received bytes with the id, the code, the three
  // pedals and the brake constant put in. SettingsReport itself is left as it is.
  TSettingsReport BuildCommandReport(std::uint8_t code) const;

  // Takes a settings report (`data` = the bytes after the report id). A report with fewer than
  // 63 data bytes is not taken at all and false is returned; bytes beyond the 63rd are ignored.
  bool AcceptSettingsReport(const std::uint8_t* data, std::size_t size);

  // Copies the pedal's slice of SettingsReport into its data.
  void UnpackPedalData(TPedal& pedal);

  // Takes the three raw positions of a positions report (`data` = the bytes after the report
  // id). A report with fewer than 6 data bytes changes nothing and false is returned.
  bool DecodePositions(const std::uint8_t* data, std::size_t size);

  // How often the pedal set has written its flash, and its firmware version, from the last
  // settings report received (0 before the first).
  std::uint16_t FlashCount() const;
  std::uint16_t McuVersion() const;
};
