// The window's side of the pedal link: the controller it owns, its handlers (one-line calls
// into the link), creation and closing, and the window's own reactions to the link's
// notifications.

#include "TConnectionHint.h"
#include "TMainForm.h"
#include "TPanel.h"
#include "hid/THidDeviceController.h"

void TMainForm::CreateController(std::shared_ptr<hidplatform::HidPlatform> platform) {
  THidDeviceController::TStoredProperties events;
  events.OnArrival = THidPlugEvent(this, &TMainForm::hidControllerArrival);
  events.OnEnumerate = THidEnumerateEvent(this, &TMainForm::hidControllerEnumerate);
  events.OnDeviceChange = TNotifyEvent(this, &TMainForm::hidControllerDeviceChange);
  events.OnDeviceData = THidDataEvent(this, &TMainForm::hidControllerDeviceData);
  events.OnDeviceUnplug = THidPlugEvent(this, &TMainForm::hidControllerDeviceUnplug);
  events.OnRemoval = THidPlugEvent(this, &TMainForm::hidControllerRemoval);
  hidController = new THidDeviceController(std::move(platform), events, this);
  hidController->setObjectName("hidController");
}

void TMainForm::AttachReadoutReactions() {
  Link.OnPositionsReceived.Add([this] {
    if (!SplashPanel->isHidden()) SplashPanel->hide();
  });
  Link.OnPositionsDecoded.Add([this] { UpdateBrakeLoadText(); });
  Link.OnReadoutDue.Add([this] {
    for (PedalName pedal : kAllPedals) UpdatePedalReadout(Link.Model.Pedal(pedal));
  });
  Link.OnConnectionLost.Add([this] { SplashPanel->show(); });
}

void TMainForm::FormCreate() {
  Link.FormCreate();
  // The splash covers the whole window, frame and title bar included, until the first report.
  const QSize outer = frameGeometry().size().expandedTo(size());
  SplashPanel->resize(SplashPanel->width(), outer.height());
  SplashPanel->resize(outer.width(), SplashPanel->height());
}

bool TMainForm::FormCloseQuery() {
  closeQueried_ = true;
  return Link.FormCloseQuery();
}

void TMainForm::hidControllerArrival(THidDevice* HidDev) { Link.hidControllerArrival(HidDev); }

bool TMainForm::hidControllerEnumerate(THidDevice* HidDev, std::int32_t Idx) {
  return Link.hidControllerEnumerate(HidDev, Idx);
}

void TMainForm::hidControllerDeviceChange(QObject* Sender) {
  Link.hidControllerDeviceChange(Sender);
  ConnectionHint->Refresh();
}

void TMainForm::hidControllerDeviceData(THidDevice* HidDev, std::uint8_t ReportID,
                                        const std::uint8_t* Data, std::uint16_t Size) {
  Link.hidControllerDeviceData(HidDev, ReportID, Data, Size);
}

void TMainForm::hidControllerDeviceUnplug(THidDevice* HidDev) {
  Link.hidControllerDeviceUnplug(HidDev);
}

void TMainForm::hidControllerRemoval(THidDevice* HidDev) { Link.hidControllerRemoval(HidDev); }
