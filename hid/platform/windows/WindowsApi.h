// The Windows headers of the device-setup and HID services. The HID headers carry no C linkage
// of their own; the backend only takes their declarations' types, never links against them.
#pragma once

#include <windows.h>

#include <setupapi.h>

extern "C" {
#include <hidsdi.h>
}
