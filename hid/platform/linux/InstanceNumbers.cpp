#include "InstanceNumbers.h"

#include <atomic>

namespace linuxhid {

namespace {

// Shared by every platform object of the process, so no two ever hand out the same number.
std::uint32_t NextInstanceNumber() {
  static std::atomic<std::uint32_t> next{1};
  return next.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace

std::vector<std::uint32_t> InstanceNumbers::AssignForListing(
    const std::vector<std::string>& nodeKeys) {
  std::map<std::string, std::uint32_t> listed;
  std::vector<std::uint32_t> numbers;
  numbers.reserve(nodeKeys.size());
  for (const std::string& key : nodeKeys) {
    auto [entry, added] = listed.try_emplace(key, 0);
    if (added) {
      const auto known = present_.find(key);
      entry->second = known != present_.end() ? known->second : NextInstanceNumber();
    }
    numbers.push_back(entry->second);
  }
  present_ = std::move(listed);
  return numbers;
}

}  // namespace linuxhid
