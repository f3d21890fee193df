#include "hid/platform/windows/WindowsPreparsedData.h"

#include <utility>

namespace hidplatform::windows {

WindowsPreparsedData::WindowsPreparsedData(std::shared_ptr<const HidServices> services,
                                           PHIDP_PREPARSED_DATA data)
    : services_(std::move(services)), data_(data) {}

WindowsPreparsedData::~WindowsPreparsedData() { services_->HidD_FreePreparsedData(data_); }

HidCaps WindowsPreparsedData::Caps() const {
  HIDP_CAPS caps{};
  if (services_->HidP_GetCaps(data_, &caps) != HIDP_STATUS_SUCCESS) return {};
  return HidCaps{
      .Usage = caps.Usage,
      .UsagePage = caps.UsagePage,
      .InputReportByteLength = caps.InputReportByteLength,
      .OutputReportByteLength = caps.OutputReportByteLength,
      .FeatureReportByteLength = caps.FeatureReportByteLength,
      .NumberLinkCollectionNodes = caps.NumberLinkCollectionNodes,
      .NumberInputButtonCaps = caps.NumberInputButtonCaps,
      .NumberInputValueCaps = caps.NumberInputValueCaps,
      .NumberInputDataIndices = caps.NumberInputDataIndices,
      .NumberOutputButtonCaps = caps.NumberOutputButtonCaps,
      .NumberOutputValueCaps = caps.NumberOutputValueCaps,
      .NumberOutputDataIndices = caps.NumberOutputDataIndices,
      .NumberFeatureButtonCaps = caps.NumberFeatureButtonCaps,
      .NumberFeatureValueCaps = caps.NumberFeatureValueCaps,
      .NumberFeatureDataIndices = caps.NumberFeatureDataIndices,
  };
}

std::uint32_t WindowsPreparsedData::MaxDataListLength(std::uint32_t reportType) const {
  return services_->HidP_MaxDataListLength(static_cast<HIDP_REPORT_TYPE>(reportType), data_);
}

std::uint32_t WindowsPreparsedData::MaxUsageListLength(std::uint32_t reportType,
                                                       std::uint16_t usagePage) const {
  return services_->HidP_MaxUsageListLength(static_cast<HIDP_REPORT_TYPE>(reportType), usagePage,
                                            data_);
}

std::uint32_t WindowsPreparsedData::GetLinkCollectionNodes(
    std::vector<HidLinkCollectionNode>& nodes) const {
  std::vector<HIDP_LINK_COLLECTION_NODE> platformNodes(nodes.size());
  ULONG length = static_cast<ULONG>(platformNodes.size());
  const NTSTATUS status =
      services_->HidP_GetLinkCollectionNodes(platformNodes.data(), &length, data_);
  if (status != HIDP_STATUS_SUCCESS) return static_cast<std::uint32_t>(status);
  for (std::size_t i = 0; i < nodes.size() && i < length; ++i) {
    const HIDP_LINK_COLLECTION_NODE& node = platformNodes[i];
    nodes[i] = HidLinkCollectionNode{
        .LinkUsage = node.LinkUsage,
        .LinkUsagePage = node.LinkUsagePage,
        .Parent = node.Parent,
        .NumberOfChildren = node.NumberOfChildren,
        .NextSibling = node.NextSibling,
        .FirstChild = node.FirstChild,
        .CollectionType = node.CollectionType,
        .IsAlias = node.IsAlias,
    };
  }
  return static_cast<std::uint32_t>(status);
}

}  // namespace hidplatform::windows
