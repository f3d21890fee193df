#include "PedalTypes.h"

namespace {

// Sequential little-endian reader/writer over one pedal's 19 bytes.
class LittleEndianReader {
 public:
  explicit LittleEndianReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  std::uint8_t U8() { return bytes_[pos_++]; }
  std::uint16_t U16() {
    const std::uint16_t value = ReadLittleEndian16(bytes_.subspan(pos_).first<2>());
    pos_ += 2;
    return value;
  }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t pos_ = 0;
};

class LittleEndianWriter {
 public:
  explicit LittleEndianWriter(std::span<std::uint8_t> bytes) : bytes_(bytes) {}
  void U8(std::uint8_t value) { bytes_[pos_++] = value; }
  void U16(std::uint16_t value) {
    bytes_[pos_++] = static_cast<std::uint8_t>(value & 0xFF);
    bytes_[pos_++] = static_cast<std::uint8_t>(value >> 8);
  }

 private:
  std::span<std::uint8_t> bytes_;
  std::size_t pos_ = 0;
};

}  // namespace

PedalData PedalDataFromBytes(std::span<const std::uint8_t, kPedalDataSize> bytes) {
  LittleEndianReader in(bytes);
  PedalData data;
  data.ConnectStatus = in.U8();
  data.ProgressBarValMin = in.U16();
  data.ProgressBarValMax = in.U16();
  data.SliderRangeMin = in.U16();
  data.SliderRangeMax = in.U16();
  data.SliderPosLeft = in.U16();
  data.SliderPosRight = in.U16();
  data.FirstFilterStageKoeff = in.U8();
  data.SecondFilterStageKoeff = in.U8();
  data.DACRangeMin = in.U16();
  data.DACRangeMax = in.U16();
  return data;
}

void PedalDataToBytes(const PedalData& data, std::span<std::uint8_t, kPedalDataSize> bytes) {
  LittleEndianWriter out(bytes);
  out.U8(data.ConnectStatus);
  out.U16(data.ProgressBarValMin);
  out.U16(data.ProgressBarValMax);
  out.U16(data.SliderRangeMin);
  out.U16(data.SliderRangeMax);
  out.U16(data.SliderPosLeft);
  out.U16(data.SliderPosRight);
  out.U8(data.FirstFilterStageKoeff);
  out.U8(data.SecondFilterStageKoeff);
  out.U16(data.DACRangeMin);
  out.U16(data.DACRangeMax);
}
