#pragma once
// The parsed report descriptor of a hidraw node, as the transport asks for it.

#include "hid/platform/HidPlatform.h"
#include "hid/platform/ReportDescriptor.h"

namespace linuxhid {

class LayoutPreparsedData : public hidplatform::PreparsedData {
 public:
  explicit LayoutPreparsedData(const hidplatform::ReportLayout& layout) : layout_(layout) {}
  hidplatform::HidCaps Caps() const override;
  const hidplatform::ReportLayout& Layout() const { return layout_; }

 private:
  hidplatform::ReportLayout layout_;
};

}  // namespace linuxhid
