// The HID parser calls of THidDevice. Nothing in the program calls them; they keep the
// device's interface whole. No backend has a general report parser: while the device can be
// accessed each call answers kHidpStatusNotImplemented, otherwise kHidpStatusNull.

#include "hid/THidDevice.h"

std::uint32_t THidDevice::ParserStatus() const {
  return CanAccess() ? hidplatform::kHidpStatusNotImplemented : hidplatform::kHidpStatusNull;
}

std::uint32_t THidDevice::GetButtonCaps(THidpButtonCaps* ButtonCaps, std::uint16_t& Count) {
  return GetSpecificButtonCaps(ButtonCaps, Count);
}
std::uint32_t THidDevice::GetSpecificButtonCaps(THidpButtonCaps*, std::uint16_t&) {
  return ParserStatus();
}
std::uint32_t THidDevice::GetValueCaps(THidpValueCaps* ValueCaps, std::uint16_t& Count) {
  return GetSpecificValueCaps(ValueCaps, Count);
}
std::uint32_t THidDevice::GetSpecificValueCaps(THidpValueCaps*, std::uint16_t&) {
  return ParserStatus();
}
std::uint32_t THidDevice::GetData(THidpData*, std::uint32_t&, std::uint8_t*, std::uint32_t) {
  return ParserStatus();
}
std::uint32_t THidDevice::SetData(THidpData*, std::uint32_t&, std::uint8_t*, std::uint32_t) {
  return ParserStatus();
}
std::uint32_t THidDevice::GetUsages(std::uint16_t*, std::uint32_t&, std::uint8_t*, std::uint32_t) {
  return ParserStatus();
}
std::uint32_t THidDevice::GetButtons(std::uint16_t* UsageList, std::uint32_t& UsageLength,
                                     std::uint8_t* Report, std::uint32_t ReportLength) {
  return GetUsages(UsageList, UsageLength, Report, ReportLength);
}
std::uint32_t THidDevice::GetUsagesEx(THidpUsageAndPage*, std::uint32_t&, std::uint8_t*,
                                      std::uint32_t) {
  return ParserStatus();
}
std::uint32_t THidDevice::GetButtonsEx(THidpUsageAndPage* ButtonList, std::uint32_t& UsageLength,
                                       std::uint8_t* Report, std::uint32_t ReportLength) {
  return GetUsagesEx(ButtonList, UsageLength, Report, ReportLength);
}
std::uint32_t THidDevice::SetUsages(std::uint16_t*, std::uint32_t&, std::uint8_t*, std::uint32_t) {
  return ParserStatus();
}
std::uint32_t THidDevice::SetButtons(std::uint16_t* UsageList, std::uint32_t& UsageLength,
                                     std::uint8_t* Report, std::uint32_t ReportLength) {
  return SetUsages(UsageList, UsageLength, Report, ReportLength);
}
std::uint32_t THidDevice::UnsetUsages(std::uint16_t*, std::uint32_t&, std::uint8_t*,
                                      std::uint32_t) {
  return ParserStatus();
}
std::uint32_t THidDevice::UnsetButtons(std::uint16_t* UsageList, std::uint32_t& UsageLength,
                                       std::uint8_t* Report, std::uint32_t ReportLength) {
  return UnsetUsages(UsageList, UsageLength, Report, ReportLength);
}
std::uint32_t THidDevice::GetUsageValue(std::uint32_t&, const std::uint8_t*, std::uint32_t) {
  return ParserStatus();
}
std::uint32_t THidDevice::GetScaledUsageValue(std::int32_t&, const std::uint8_t*, std::uint32_t) {
  return ParserStatus();
}
std::uint32_t THidDevice::GetUsageValueArray(std::uint8_t*, std::uint16_t, const std::uint8_t*,
                                             std::uint32_t) {
  return ParserStatus();
}
std::uint32_t THidDevice::SetUsageValue(std::uint32_t, std::uint8_t*, std::uint32_t) {
  return ParserStatus();
}
std::uint32_t THidDevice::SetScaledUsageValue(std::int32_t, std::uint8_t*, std::uint32_t) {
  return ParserStatus();
}
std::uint32_t THidDevice::SetUsageValueArray(const std::uint8_t*, std::uint16_t, std::uint8_t*,
                                             std::uint32_t) {
  return ParserStatus();
}

std::uint32_t THidDevice::GetExtendedAttributes(std::uint32_t, std::uint16_t, void*,
                                                std::uint32_t*) {
  return hidplatform::kHidpStatusNotImplemented;
}

std::uint32_t THidDevice::InitializeReportForID(std::uint32_t, std::uint8_t, std::uint8_t*,
                                                std::uint32_t) {
  return hidplatform::kHidpStatusNotImplemented;
}
