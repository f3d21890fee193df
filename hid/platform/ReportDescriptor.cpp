#include "ReportDescriptor.h"

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

namespace hidplatform {

const ReportKindLayout& ReportLayout::Of(ReportKind kind) const {
  switch (kind) {
    case ReportKind::output:
      return output;
    case ReportKind::feature:
      return feature;
    case ReportKind::input:
      break;
  }
  return input;
}

namespace {

enum class ItemType : std::uint8_t { main = 0, global = 1, local = 2, reserved = 3 };

namespace MainTag {
constexpr std::uint8_t input = 0x8, output = 0x9, collection = 0xA, feature = 0xB,
                       endCollection = 0xC;
}
namespace GlobalTag {
constexpr std::uint8_t usagePage = 0x0, reportSize = 0x7, reportId = 0x8, reportCount = 0x9,
                       push = 0xA, pop = 0xB;
}
namespace LocalTag {
constexpr std::uint8_t usage = 0x0;
}
constexpr std::uint8_t longItemPrefix = 0xFE;
constexpr std::uint32_t applicationCollection = 1;
// Deeper than any real device; bounds what a hostile descriptor can make us allocate.
constexpr std::size_t maxGlobalStackDepth = 32;
// Far beyond the 16-bit lengths reported; keeps the running sums from overflowing.
constexpr std::uint64_t maxReportBits = std::uint64_t{1} << 40;

struct Item {
  ItemType type;
  std::uint8_t tag;
  std::uint32_t data;
  std::size_t dataSize;
};

struct GlobalState {
  std::uint32_t usagePage = 0;
  std::uint32_t reportSize = 0;
  std::uint32_t reportCount = 0;
  std::uint8_t reportId = 0;
};

// Reads the item at `pos`, or nothing when it runs past the end. Long items are skipped whole.
std::optional<Item> ReadItem(std::span<const std::uint8_t> bytes, std::size_t& pos) {
  const std::uint8_t prefix = bytes[pos];
  if (prefix == longItemPrefix) {
    if (bytes.size() - pos < 3) return std::nullopt;
    const std::size_t longSize = 3u + bytes[pos + 1];
    if (bytes.size() - pos < longSize) return std::nullopt;
    pos += longSize;
    return Item{ItemType::reserved, 0, 0, 0};
  }
  static constexpr std::array<std::size_t, 4> sizes{0, 1, 2, 4};
  const std::size_t dataSize = sizes[prefix & 0x3u];
  if (bytes.size() - pos < 1 + dataSize) return std::nullopt;
  std::uint32_t data = 0;
  for (std::size_t i = 0; i < dataSize; ++i) data |= std::uint32_t{bytes[pos + 1 + i]} << (8 * i);
  pos += 1 + dataSize;
  return Item{static_cast<ItemType>((prefix >> 2) & 0x3u), static_cast<std::uint8_t>(prefix >> 4),
              data, dataSize};
}

class DescriptorWalker {
 public:
  ReportLayout Walk(std::span<const std::uint8_t> bytes) {
    std::size_t pos = 0;
    while (pos < bytes.size() && layout_.wellFormed) {
      const std::optional<Item> item = ReadItem(bytes, pos);
      if (!item) {
        layout_.wellFormed = false;
        break;
      }
      Apply(*item);
    }
    Finish();
    return layout_;
  }

 private:
  void Apply(const Item& item) {
    switch (item.type) {
      case ItemType::main:
        ApplyMain(item);
        localUsage_.reset();
        break;
      case ItemType::global:
        ApplyGlobal(item);
        break;
      case ItemType::local:
        if (item.tag == LocalTag::usage && !localUsage_) localUsage_ = item;
        break;
      case ItemType::reserved:
        break;
    }
  }

  void ApplyMain(const Item& item) {
    switch (item.tag) {
      case MainTag::input:
        AddField(ReportKind::input);
        break;
      case MainTag::output:
        AddField(ReportKind::output);
        break;
      case MainTag::feature:
        AddField(ReportKind::feature);
        break;
      case MainTag::collection:
        OpenCollection(item.data);
        break;
      default:
        break;
    }
  }

  void ApplyGlobal(const Item& item) {
    switch (item.tag) {
      case GlobalTag::usagePage:
        globals_.usagePage = item.data;
        break;
      case GlobalTag::reportSize:
        globals_.reportSize = item.data;
        break;
      case GlobalTag::reportCount:
        globals_.reportCount = item.data;
        break;
      case GlobalTag::reportId:
        // Report ids are one byte and 0 is reserved for "no id".
        if (item.data == 0 || item.data > 0xFF) layout_.wellFormed = false;
        globals_.reportId = static_cast<std::uint8_t>(item.data);
        break;
      case GlobalTag::push:
        if (stack_.size() == maxGlobalStackDepth)
          layout_.wellFormed = false;
        else
          stack_.push_back(globals_);
        break;
      case GlobalTag::pop:
        if (stack_.empty()) {
          layout_.wellFormed = false;
        } else {
          globals_ = stack_.back();
          stack_.pop_back();
        }
        break;
      default:
        break;
    }
  }

  void AddField(ReportKind kind) {
    const auto k = static_cast<std::size_t>(kind);
    const std::uint64_t fieldBits = std::uint64_t{globals_.reportSize} * globals_.reportCount;
    std::uint64_t& reportBits = bits_[k][globals_.reportId];
    reportBits = std::min(reportBits + std::min(fieldBits, maxReportBits), maxReportBits);
    if (globals_.reportId != 0) numbered_[k] = true;
  }

  void OpenCollection(std::uint32_t collectionType) {
    ++collections_;
    if (collectionType != applicationCollection || applicationSeen_) return;
    applicationSeen_ = true;
    std::uint32_t page = globals_.usagePage;
    std::uint32_t usage = 0;
    if (localUsage_) {
      usage = localUsage_->data & 0xFFFFu;
      // A four-byte usage carries its own usage page in the upper half.
      if (localUsage_->dataSize == 4) page = localUsage_->data >> 16;
    }
    layout_.usagePage = static_cast<std::uint16_t>(page);
    layout_.usage = static_cast<std::uint16_t>(usage);
  }

  void Finish() {
    layout_.collectionCount =
        static_cast<std::uint16_t>(std::min<std::uint32_t>(collections_, 0xFFFF));
    FinishKind(ReportKind::input, layout_.input);
    FinishKind(ReportKind::output, layout_.output);
    FinishKind(ReportKind::feature, layout_.feature);
  }

  void FinishKind(ReportKind kind, ReportKindLayout& out) const {
    const auto k = static_cast<std::size_t>(kind);
    const std::uint64_t longestBits = *std::max_element(bits_[k].begin(), bits_[k].end());
    out.numbered = numbered_[k];
    if (longestBits == 0) return;
    const std::uint64_t bytesWithId = (longestBits + 7) / 8 + 1;
    out.byteLength = static_cast<std::uint16_t>(std::min<std::uint64_t>(bytesWithId, 0xFFFF));
  }

  ReportLayout layout_;
  GlobalState globals_;
  std::vector<GlobalState> stack_;
  std::optional<Item> localUsage_;
  std::array<std::array<std::uint64_t, 256>, 3> bits_{};
  std::array<bool, 3> numbered_{};
  std::uint32_t collections_ = 0;
  bool applicationSeen_ = false;
};

}  // namespace

HidCaps ReportLayout::Caps() const {
  HidCaps caps;
  caps.Usage = usage;
  caps.UsagePage = usagePage;
  caps.InputReportByteLength = input.byteLength;
  caps.OutputReportByteLength = output.byteLength;
  caps.FeatureReportByteLength = feature.byteLength;
  caps.NumberLinkCollectionNodes = collectionCount;
  return caps;
}

ReportLayout ParseReportDescriptor(std::span<const std::uint8_t> descriptor) {
  return DescriptorWalker{}.Walk(descriptor);
}

}  // namespace hidplatform
