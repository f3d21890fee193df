#include "LayoutPreparsedData.h"

namespace linuxhid {

hidplatform::HidCaps LayoutPreparsedData::Caps() const {
  hidplatform::HidCaps caps;
  caps.Usage = layout_.usage;
  caps.UsagePage = layout_.usagePage;
  caps.InputReportByteLength = layout_.input.byteLength;
  caps.OutputReportByteLength = layout_.output.byteLength;
  caps.FeatureReportByteLength = layout_.feature.byteLength;
  caps.NumberLinkCollectionNodes = layout_.collectionCount;
  return caps;
}

}  // namespace linuxhid
