// The transport's event types.
#pragma once

#include <cstdint>

#include "hid/Delegate.h"

class QObject;
class THidDevice;
class THidDeviceController;
class THidPnPInfo;

// Data points at the report's bytes after the report id and is valid only during the call.
using THidDataEvent = TDelegate<void(THidDevice* HidDev, std::uint8_t ReportID,
                                     const std::uint8_t* Data, std::uint16_t Size)>;
using THidDataErrorEvent = TDelegate<void(THidDevice* HidDev, std::uint32_t Error)>;
using THidPlugEvent = TDelegate<void(THidDevice* HidDev)>;
// Returns true to go on enumerating.
using THidEnumerateEvent = TDelegate<bool(THidDevice* HidDev, std::int32_t Idx)>;
using THidDeviceCreateError = TDelegate<void(THidDeviceController* Controller, THidPnPInfo* PnPInfo,
                                             bool& Handled, bool& RetryCreate)>;
using TNotifyEvent = TDelegate<void(QObject* Sender)>;
// A plain function, not bound to a receiver.
using THidCheckCallback = bool (*)(THidDevice* HidDev);
