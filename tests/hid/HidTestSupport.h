// A controller on the virtual platform with every event recorded, for the transport's tests.
#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "hid/THidDeviceController.h"
#include "hid/THidDeviceReadThread.h"
#include "hid/platform/virtual/VirtualHidPlatform.h"

namespace hidtest {

using hidplatform::VirtualHidPlatform;
using hidplatform::VirtualInterface;
using hidplatform::VirtualInterfaceSpec;

constexpr std::uint16_t kVendor = 0x0483;
constexpr auto kWait = std::chrono::seconds(10);

inline VirtualInterfaceSpec Spec(std::uint16_t productId, std::string product = "Device",
                                 bool readWrite = true) {
  VirtualInterfaceSpec spec;
  spec.Attributes = {kVendor, productId, 0x0200};
  spec.Product = std::move(product);
  spec.Manufacturer = "Maker";
  spec.SerialNumber = "SN" + std::to_string(productId);
  spec.Caps.InputReportByteLength = 8;
  spec.Caps.OutputReportByteLength = 4;
  spec.ReadWrite = readWrite;
  spec.Properties[hidplatform::property::kClass] = std::u16string(u"HIDClass");
  return spec;
}

// Records every event as text ("arrival 1", "unplug 2", ...) naming devices by product id.
struct Recorder {
  std::vector<std::string> log;
  struct Data {
    THidDevice* device;
    std::uint8_t reportId;
    std::vector<std::uint8_t> bytes;
  };
  std::vector<Data> data;
  std::vector<std::uint32_t> errors;
  bool enumerateResult = true;
  int enumerateStopAt = -1;  // return false for the k-th call (0-based)
  int enumerateCalls = 0;
  bool throwOnData = false;
  THidDevice* destroyOnUnplug = nullptr;
  THidDevice* checkOutOnArrival = nullptr;

  static std::string Name(THidDevice* d) { return std::to_string(d->Attributes().ProductID); }
  void Arrival(THidDevice* d) {
    log.push_back("arrival " + Name(d) + (d->IsEnumerated() ? "" : " (not enumerated)"));
  }
  void Removal(THidDevice* d) { log.push_back("removal " + Name(d)); }
  void Unplug(THidDevice* d) {
    log.push_back("unplug " + Name(d));
    if (d == destroyOnUnplug) {
      destroyOnUnplug = nullptr;
      delete d;
    }
  }
  void Change(QObject*) { log.push_back("change"); }
  bool Enumerate(THidDevice* d, std::int32_t idx) {
    log.push_back("enumerate " + Name(d) + " at " + std::to_string(idx));
    return enumerateCalls++ != enumerateStopAt;
  }
  void OnData(THidDevice* d, std::uint8_t id, const std::uint8_t* bytes, std::uint16_t size) {
    data.push_back({d, id, std::vector<std::uint8_t>(bytes, bytes + size)});
    if (throwOnData) throw std::runtime_error("handler failed");
  }
  void OnError(THidDevice*, std::uint32_t error) { errors.push_back(error); }
};

class ControllerTest : public ::testing::Test {
 protected:
  std::shared_ptr<VirtualHidPlatform> platform = std::make_shared<VirtualHidPlatform>();
  Recorder rec;
  std::unique_ptr<THidDeviceController> controller;

  THidDeviceController::TStoredProperties Stored() {
    THidDeviceController::TStoredProperties stored;
    stored.OnArrival = {&rec, &Recorder::Arrival};
    stored.OnRemoval = {&rec, &Recorder::Removal};
    stored.OnDeviceUnplug = {&rec, &Recorder::Unplug};
    stored.OnDeviceChange = {&rec, &Recorder::Change};
    stored.OnEnumerate = {&rec, &Recorder::Enumerate};
    stored.OnDeviceData = {&rec, &Recorder::OnData};
    return stored;
  }
  // Creates the controller and lets the main loop run its posted start-up pass.
  void Start() { Start(Stored()); }
  void Start(const THidDeviceController::TStoredProperties& stored) {
    controller = std::make_unique<THidDeviceController>(platform, stored);
    QCoreApplication::processEvents();
  }
  std::shared_ptr<VirtualInterface> Add(std::uint16_t productId, std::string product = "Device",
                                        bool readWrite = true) {
    return platform->AddInterface(Spec(productId, std::move(product), readWrite));
  }
  void Unplug(VirtualInterface& iface) {
    platform->Unplug(iface);
    platform->RaiseDeviceChange();
  }
  void Replug(VirtualInterface& iface) {
    platform->Plug(iface);
    platform->RaiseDeviceChange();
  }
  std::vector<std::string> TakeLog() { return std::exchange(rec.log, {}); }
  std::vector<int> Counters() const {
    return {controller->NumCheckedInDevices(), controller->NumCheckedOutDevices(),
            controller->NumUnpluggedDevices()};
  }
  THidDevice* Listed(std::size_t index) const { return controller->Devices().at(index); }
  // Runs the main loop until pred holds (hand-offs are served meanwhile).
  template <typename Pred>
  static bool WaitFor(Pred pred) {
    return QTest::qWaitFor(pred, static_cast<int>(std::chrono::milliseconds(kWait).count()));
  }
};

}  // namespace hidtest
