#pragma once
// The parsed report descriptor of a hidraw node, as the transport asks for it.

#include "ReportDescriptor.h"
#include "hid/platform/HidPlatform.h"

namespace linuxhid {

class LayoutPreparsedData : public hidplatform::PreparsedData {
 public:
  explicit LayoutPreparsedData(const ReportLayout& layout) : layout_(layout) {}
  hidplatform::HidCaps Caps() const override;
  const ReportLayout& Layout() const { return layout_; }

 private:
  ReportLayout layout_;
};

}  // namespace linuxhid
