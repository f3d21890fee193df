// The HID service's parsed report descriptor of one interface, released with the service's own
// call. It keeps the service bound for as long as it lives.
#pragma once

#include <memory>
#include <vector>

#include "hid/platform/HidPlatform.h"
#include "hid/platform/windows/WindowsHidServices.h"

namespace hidplatform::windows {

class WindowsPreparsedData final : public PreparsedData {
 public:
  WindowsPreparsedData(std::shared_ptr<const HidServices> services, PHIDP_PREPARSED_DATA data);
  ~WindowsPreparsedData() override;
  WindowsPreparsedData(const WindowsPreparsedData&) = delete;
  WindowsPreparsedData& operator=(const WindowsPreparsedData&) = delete;

  HidCaps Caps() const override;
  std::uint32_t MaxDataListLength(std::uint32_t reportType) const override;
  std::uint32_t MaxUsageListLength(std::uint32_t reportType,
                                   std::uint16_t usagePage) const override;
  std::uint32_t GetLinkCollectionNodes(std::vector<HidLinkCollectionNode>& nodes) const override;

 private:
  std::shared_ptr<const HidServices> services_;
  PHIDP_PREPARSED_DATA data_;
};

}  // namespace hidplatform::windows
