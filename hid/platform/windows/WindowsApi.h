// The Windows headers of the device-setup and HID services. The HID headers carry no C linkage
// of their own; the backend only takes their declarations' types, never links against them.
#pragma once

#include <windows.h>

#include <setupapi.h>
// NTSTATUS, which the HID parser's declarations use, for SDKs that do not bring it along.
#include <winternl.h>

extern "C" {
#include <hidsdi.h>
}
