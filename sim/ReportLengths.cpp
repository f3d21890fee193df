#include "ReportLengths.h"

#include <algorithm>
#include <array>
#include <map>

namespace sim {

namespace {

enum Kind { kInput, kOutput, kFeature, kKindCount };

struct Item {
  std::uint8_t type = 0;  // 0 main, 1 global, 2 local
  std::uint8_t tag = 0;
  std::uint32_t value = 0;
};

// One short item at `pos`; false when it is a long item or runs past the end.
bool ReadItem(std::span<const std::uint8_t> bytes, std::size_t& pos, Item& item) {
  const std::uint8_t prefix = bytes[pos];
  if (prefix == 0xFE) return false;  // long items carry no report layout here
  const std::size_t size = (prefix & 0x03) == 3 ? 4 : (prefix & 0x03);
  if (bytes.size() - pos - 1 < size) return false;
  item.type = static_cast<std::uint8_t>((prefix >> 2) & 0x03);
  item.tag = static_cast<std::uint8_t>(prefix >> 4);
  item.value = 0;
  for (std::size_t i = 0; i < size; ++i) item.value |= std::uint32_t{bytes[pos + 1 + i]} << (8 * i);
  pos += 1 + size;
  return true;
}

class LayoutWalker {
 public:
  void Take(const Item& item) {
    if (item.type == 1) TakeGlobal(item);
    if (item.type == 2 && item.tag == 0 && !sawCollection_) usage_ = item.value & 0xFFFF;
    if (item.type == 0) TakeMain(item);
  }

  hidplatform::HidCaps Caps() const {
    hidplatform::HidCaps caps;
    caps.UsagePage = static_cast<std::uint16_t>(topUsagePage_);
    caps.Usage = static_cast<std::uint16_t>(topUsage_);
    caps.InputReportByteLength = LongestBytes(kInput);
    caps.OutputReportByteLength = LongestBytes(kOutput);
    caps.FeatureReportByteLength = LongestBytes(kFeature);
    return caps;
  }

 private:
  void TakeGlobal(const Item& item) {
    if (item.tag == 0) usagePage_ = item.value & 0xFFFF;
    if (item.tag == 7) reportSize_ = item.value;
    if (item.tag == 8) reportId_ = item.value & 0xFF;
    if (item.tag == 9) reportCount_ = item.value;
  }

  void TakeMain(const Item& item) {
    if (item.tag == 0x0A && !sawCollection_) {  // the first (top-level) collection
      sawCollection_ = true;
      topUsagePage_ = usagePage_;
      topUsage_ = usage_;
    }
    const int kind = item.tag == 0x08   ? kInput
                     : item.tag == 0x09 ? kOutput
                     : item.tag == 0x0B ? kFeature
                                        : -1;
    if (kind >= 0) bits_[kind][reportId_] += std::uint64_t{reportSize_} * reportCount_;
  }

  std::uint16_t LongestBytes(int kind) const {
    std::uint64_t longest = 0;
    for (const auto& [id, bits] : bits_[kind]) longest = std::max(longest, (bits + 7) / 8);
    if (bits_[kind].empty()) return 0;
    return static_cast<std::uint16_t>(std::min<std::uint64_t>(longest + 1, 0xFFFF));
  }

  std::uint32_t usagePage_ = 0, usage_ = 0, reportSize_ = 0, reportCount_ = 0, reportId_ = 0;
  std::uint32_t topUsagePage_ = 0, topUsage_ = 0;
  bool sawCollection_ = false;
  std::array<std::map<std::uint32_t, std::uint64_t>, kKindCount> bits_;
};

}  // namespace

hidplatform::HidCaps CapsFromDescriptor(std::span<const std::uint8_t> descriptor) {
  LayoutWalker walker;
  Item item;
  for (std::size_t pos = 0; pos < descriptor.size() && ReadItem(descriptor, pos, item);) {
    walker.Take(item);
  }
  return walker.Caps();
}

}  // namespace sim
