#pragma once
// The pedal link: finds the pedal set among the controller's devices, runs the settings
// handshake, decodes live positions into the model and sends every command. It holds no widget:
// the window's handlers are one-line calls into it, and the window attaches its reactions to the
// six notifications. Everything here runs on the main thread, one handler at a time.

#include <QString>
#include <QTimer>
#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>

#include "hid/HidEvents.h"
#include "hid/THidDeviceController.h"
#include "pedal/ConnectionTrouble.h"
#include "pedal/PedalModel.h"
#include "pedal/TLinkNotification.h"

class QObject;
class THidDevice;

// Identity of the pedal set.
inline constexpr std::uint16_t kPedalSetVendorId = 0x0483;
inline constexpr std::uint16_t kPedalSetProductId = 0x574E;
inline constexpr char kPedalSetProductName[] = "Quillfen Pedals";  // exact, case-sensitive

class TPedalLink {
 public:
  // While the settings are not loaded, a settings request goes out on every this-many-th
  // data event, starting with the first.
  static constexpr std::int32_t kRequestInterval = 10;

  // While the held pedal set is present but not open for reading and writing, its read/write
  // open is tried again this often (and at every controller pass).
  static constexpr std::chrono::milliseconds kReopenInterval{1000};

  TPedalLink();
  // Releases the pedal set if it is still held.
  ~TPedalLink();
  TPedalLink(const TPedalLink&) = delete;
  TPedalLink& operator=(const TPedalLink&) = delete;

  // The window's create handler: not loaded, the pedal set's ids as the last seen ones.
  void FormCreate();
  // The window's close-query handler: ignore data from now on and release the pedal set.
  // Returns whether the window may close (always).
  bool FormCloseQuery();

  // The controller's events. ControllerEvents() binds all of them to this link, ready for the
  // controller's constructor; the window may bind its own one-line handlers instead.
  void hidControllerDeviceChange(QObject* Sender);
  bool hidControllerEnumerate(THidDevice* HidDev, std::int32_t Idx);
  void hidControllerArrival(THidDevice* HidDev);
  void hidControllerRemoval(THidDevice* HidDev);
  void hidControllerDeviceUnplug(THidDevice* HidDev);
  void hidControllerDeviceData(THidDevice* HidDev, std::uint8_t ReportID, const std::uint8_t* Data,
                               std::uint16_t Size);
  THidDeviceController::TStoredProperties ControllerEvents();

  // Builds the command report from the model and writes it to the pedal set, as long as its
  // output report is. Nothing is retried; without a pedal set nothing is sent. Returns whether
  // the whole report was written, for the few callers that tell the user.
  bool SendCommand(std::uint8_t code);

  // A pedal's settings as the pedal set holds them, as far as the link knows: those of the last
  // settings report taken, or of the last update written whole since.
  const PedalData& HeldByPedalSet(PedalName pedal) const {
    return FHeldByPedalSet[static_cast<std::size_t>(pedal)];
  }

  // The checked-out pedal set, or nullptr.
  THidDevice* PedalsDevice() const { return FPedalsDevice; }

  // What the link and the controller see of the connection, for telling the user why there is
  // none. Reading it changes nothing.
  TConnectionFacts ConnectionFacts(const THidDeviceController& Controller) const;
  // The once-a-second retry: tries the held pedal set's read/write open again (its reading
  // thread starts, and the handshake with it, once that succeeds). Runs by itself while needed.
  void RetryReadWriteOpen();
  bool IsRetryingReadWriteOpen() const { return FReopenTimer.isActive(); }
  // The steady clock the link reads; tests put one of their own.
  std::function<std::chrono::steady_clock::time_point()> Now = &std::chrono::steady_clock::now;

  PedalModel Model;

  std::uint16_t joyPID = 0;
  std::uint16_t joyVID = 0;
  QString joyPn;
  // Clear it (with the pedal set attached) to run the handshake again.
  bool SettingsLoaded = false;
  // Data events since the last load, kept modulo kRequestInterval: only its phase matters.
  std::int32_t DataEventCount = 0;
  bool Closing = false;

  TLinkNotification OnSettingsTaken;
  TLinkNotification OnSettingsDumpTaken;
  TLinkNotification OnPositionsReceived;
  TLinkNotification OnPositionsDecoded;
  TLinkNotification OnReadoutDue;
  TLinkNotification OnConnectionLost;

 private:
  void RunRequestCycle(std::uint8_t ReportID, const std::uint8_t* Data, std::uint16_t Size);
  void RequestSettings();
  // Notes when the held pedal set became open for reading and writing, and runs the retry
  // timer while it is present but not open.
  void TrackOpenState();
  void CompleteHandshake();
  bool LatestSenderIsPedalSet() const;
  void ReleasePedalsDevice();
  void NotePedalSetHolds();

  THidDevice* FPedalsDevice = nullptr;
  std::array<PedalData, 3> FHeldByPedalSet{};
  QTimer FReopenTimer;
  std::optional<std::chrono::steady_clock::time_point> FOpenedAt;
  bool FRequestLogged = false;  // the log tells the first request of each handshake only
};

// Whether a device carries the pedal set's vendor and product ids (the product string aside).
bool HasPedalSetIds(const THidDevice& HidDev);
