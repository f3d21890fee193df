#include "PedalModel.h"

#include <algorithm>

#include "Rounding.h"

namespace {

TPedal MakePedal(const char* name, PedalName mainname) {
  TPedal pedal;
  pedal.name = name;
  pedal.mainname = mainname;
  return pedal;
}

// The brake constant travels as one byte in tenths: the decimal value rounded, then only its low
// 8 bits.
std::uint8_t BrakeKgConstToTenths(double brakeKgConst) {
  const std::int64_t tenths = RoundTenthsHalfEven(brakeKgConst);
  return static_cast<std::uint8_t>(static_cast<std::uint64_t>(tenths) & 0xFF);
}

// The 16-bit field at `offset` of a report.
std::uint16_t WordAt(std::span<const std::uint8_t> bytes, std::size_t offset) {
  return ReadLittleEndian16(bytes.subspan(offset).first<2>());
}

}  // namespace

PedalModel::PedalModel()
    : ThrottlePedal(MakePedal("Throttle", PedalName::Throttle)),
      BrakePedal(MakePedal("Brake", PedalName::Brake)),
      ClutchPedal(MakePedal("Clutch", PedalName::Clutch)) {}

TPedal& PedalModel::Pedal(PedalName name) {
  switch (name) {
    case PedalName::Brake:
      return BrakePedal;
    case PedalName::Clutch:
      return ClutchPedal;
    case PedalName::Throttle:
      break;
  }
  return ThrottlePedal;
}

const TPedal& PedalModel::Pedal(PedalName name) const {
  return const_cast<PedalModel*>(this)->Pedal(name);
}

TSettingsReport PedalModel::BuildCommandReport(std::uint8_t code) const {
  TSettingsReport report{};
  std::copy_n(SettingsReport.begin(), SettingsOffset::Uninterpreted, report.begin());
  report[SettingsOffset::ReportId] = kCommandReportId;
  report[SettingsOffset::CommandOrStatus] = code;
  for (PedalName name : kAllPedals) {
    const auto slice = std::span(report).subspan(SettingsOffset::Pedal(name));
    PedalDataToBytes(Pedal(name).data, slice.first<kPedalDataSize>());
  }
  report[SettingsOffset::BrakeKgTenths] = BrakeKgConstToTenths(BrakeKgConst);
  return report;
}

bool PedalModel::AcceptSettingsReport(const std::uint8_t* data, std::size_t size) {
  if (data == nullptr || size < kSettingsReportDataSize) return false;
  TSettingsReport received{};
  std::copy_n(data, kSettingsReportDataSize, received.begin() + 1);
  SettingsReport = received;
  for (PedalName name : kAllPedals) UnpackPedalData(Pedal(name));
  BrakeKgConst = SettingsReport[SettingsOffset::BrakeKgTenths] / 10.0;
  return true;
}

void PedalModel::UnpackPedalData(TPedal& pedal) {
  const auto slice =
      std::span<const std::uint8_t>(SettingsReport).subspan(SettingsOffset::Pedal(pedal.mainname));
  pedal.data = PedalDataFromBytes(slice.first<kPedalDataSize>());
}

bool PedalModel::DecodePositions(const std::uint8_t* data, std::size_t size) {
  if (data == nullptr || size < kPositionsReportDataSize) return false;
  // One 16-bit position a pedal, in the order of the pedals.
  const std::span<const std::uint8_t> positions(data, kPositionsReportDataSize);
  for (PedalName name : kAllPedals) {
    Pedal(name).nPosition = WordAt(positions, 2 * static_cast<std::size_t>(name));
  }
  return true;
}

std::uint16_t PedalModel::FlashCount() const {
  return WordAt(SettingsReport, SettingsOffset::FlashCount);
}

std::uint16_t PedalModel::McuVersion() const {
  return WordAt(SettingsReport, SettingsOffset::McuVersion);
}
