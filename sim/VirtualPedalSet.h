#pragma once
// The pedal set as a virtual HID device: the firmware model on an interface of the virtual
// platform. It answers the host's command reports, streams input reports, either by itself at a
// steady rate with a smooth pedal motion (StartMoving) or one by one when a test asks
// (SendReports), and keeps every report the host wrote to it.
//
// Create, PlugIn and Unplug it on the main thread (they raise the platform's device-change
// notification there). Everything else may be called from any thread.

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "PedalFirmware.h"
#include "PedalMotion.h"
#include "PedalSetIdentity.h"
#include "hid/platform/virtual/VirtualHidPlatform.h"

namespace sim {

class VirtualPedalSet {
 public:
  struct Options {
    std::string product = kPedalSetProductString;
    int reportRateHz = 1000;  // a full-speed device's interrupt rate
    // Input reports between a settings request and its dump; negative: requests go unanswered.
    int dumpDelay = PedalFirmware::kDefaultDumpDelay;
    std::u16string devicePath{};  // the interface's path; empty: one the platform makes up
  };

  // The set starts unplugged and still.
  explicit VirtualPedalSet(hidplatform::VirtualHidPlatform& platform);
  VirtualPedalSet(hidplatform::VirtualHidPlatform& platform, Options options);
  ~VirtualPedalSet();
  VirtualPedalSet(const VirtualPedalSet&) = delete;
  VirtualPedalSet& operator=(const VirtualPedalSet&) = delete;

  // Plug in or out, and tell the platform's watchers that device nodes changed. Plugging in
  // powers the firmware up: it keeps its stored settings but nothing it held in RAM.
  void PlugIn();
  void Unplug();
  bool IsPluggedIn() const;

  // Streams input reports on a thread of its own at the report rate until StopMoving.
  void StartMoving();
  void StopMoving();
  bool IsMoving() const;

  // Queues `count` input reports now, from the calling thread. While the set is unplugged or
  // the host's input buffer is full, a report's turn passes without a report.
  void SendReports(int count = 1);
  // Holds the pedals at fixed raw positions instead of the smooth motion; nullopt lets go.
  void HoldPedals(std::optional<RawPositions> positions);
  // Every queued report has been handed to the host and the host waits for the next one.
  bool HostCaughtUp() const;
  // Reports the set could not send while plugged in because the host's input buffer was full.
  std::uint64_t ReportsHeldBack() const;

  // What the pedal set received and holds.
  std::vector<std::vector<std::uint8_t>> ReceivedReports() const;
  std::vector<std::uint8_t> ReceivedCommands() const;  // byte 1 of each command report
  SettingsData Settings() const;
  std::uint16_t FlashCount() const;
  RawLimits RawLimitsOf(std::size_t pedal) const;
  bool IsCalibrating(std::size_t pedal) const;
  bool Acknowledged() const;
  int DumpsSent() const;

  hidplatform::VirtualInterface& Interface() { return *interface_; }

 private:
  void OnOutputReport(std::span<const std::uint8_t> report);
  bool HostTakesReports() const;
  std::vector<std::uint8_t> NextReport();
  void LetTimePass(bool heldBack);
  void StreamUntilStopped();

  hidplatform::VirtualHidPlatform& platform_;
  Options options_;
  std::shared_ptr<hidplatform::VirtualInterface> interface_;
  PedalMotion motion_;

  mutable std::mutex mutex_;  // guards everything below
  PedalFirmware firmware_;
  std::optional<RawPositions> heldPositions_;
  std::uint64_t reportIndex_ = 0;
  std::uint64_t heldBack_ = 0;
  std::vector<std::vector<std::uint8_t>> received_;
  bool stopRequested_ = false;
  std::condition_variable stopChanged_;
  std::thread streamer_;
};

}  // namespace sim
