#pragma once
// Device instance numbers for hidraw nodes. Linux reuses node names (hidraw0 comes back for the
// next device plugged in), so a node is known by its sysfs path and device number, and a number
// is handed out once per presence of a node: it stays while the node is listed and is never
// given to another node, nor to the same node when it comes back, while the program runs.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace linuxhid {

class InstanceNumbers {
 public:
  // The numbers of the nodes of one complete listing, in the order given. Nodes absent from it
  // are forgotten.
  std::vector<std::uint32_t> AssignForListing(const std::vector<std::string>& nodeKeys);

 private:
  std::map<std::string, std::uint32_t> present_;
};

}  // namespace linuxhid
