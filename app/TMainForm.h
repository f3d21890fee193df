#pragma once
// The program's only window: a page control with side tabs whose "Main" page holds the three
// pedal panels and whose "Debug" page holds the service tools, under a "Connecting..." splash
// that covers everything until the pedal set is live.
//
// Every control is a public member under its own name so that the window's handlers, the tests
// and the other parts of the window reach it directly. The window owns all of them (Qt parents).

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "pedal/ReadoutTexts.h"
#include "pedal/TPedalLink.h"

class TCheckBox;
class TConnectionHint;
class QComboBox;
class QKeyEvent;
class QPlainTextEdit;
class QPushButton;
class TLabel;
class TPanel;
class TNumericEdit;
class TRangeSlider;
class TSideTabPageControl;
class TSmoothProgressBar;
class TTabSheet;
class TopAlignedStack;
class THidDevice;
class THidDeviceController;
namespace hidplatform {
class HidPlatform;
}

class TMainForm : public QWidget {
  Q_OBJECT

 public:
  // Builds every control and the controller on `platform`, whose first scan of the attached
  // devices runs only once the message loop turns (after the window is on screen).
  explicit TMainForm(std::shared_ptr<hidplatform::HidPlatform> platform, QWidget* parent = nullptr);
  ~TMainForm() override;

  // Centres the window on its screen and shows it.
  void ShowCentred();

  // ---- The pedal link and the transport ------------------------------------------------------
  // The pedal model, the handshake and every command to the pedal set (SendCommand).
  TPedalLink Link;
  THidDeviceController* hidController = nullptr;

  // The window's handlers of the controller's events: one-line calls into the link.
  void FormCreate();
  bool FormCloseQuery();
  void hidControllerArrival(THidDevice* HidDev);
  bool hidControllerEnumerate(THidDevice* HidDev, std::int32_t Idx);
  void hidControllerDeviceChange(QObject* Sender);
  void hidControllerDeviceData(THidDevice* HidDev, std::uint8_t ReportID, const std::uint8_t* Data,
                               std::uint16_t Size);
  void hidControllerDeviceUnplug(THidDevice* HidDev);
  void hidControllerRemoval(THidDevice* HidDev);

  // ---- Live readout (MainFormReadout.cpp) -----------------------------------------------------
  // The brake's last load text ("min", "max" or e.g. "50.5kg") and the kilograms the brake
  // slider's thumbs stand for (written by the pedal panels).
  QString BrakeKgText;
  std::uint16_t BrakeLeftKg = 0;
  std::uint16_t BrakeRightKg = 0;

  // Reaction to OnPositionsDecoded: the brake's load text from the bar's previous position.
  void UpdateBrakeLoadText();
  // Reaction to OnReadoutDue, for each pedal: bar, percentage, calibration marquee.
  void UpdatePedalReadout(TPedal& pedal);

  // One pedal panel's controls, in one record for code that treats the three pedals alike. The
  // same fields serve twice: as the controls themselves (TPedalControls), and in the panel
  // table that names each pedal's controls when the panels are built (MainFormPedalLayout.cpp).
  // A control every panel gets is one field here, one line in the panel's layout, and its names
  // in the panel table.
  template <template <class> class Hold>
  struct TPedalControlSet {
    Hold<TPanel> panel{};
    Hold<TLabel> nameLabel{};
    Hold<TLabel> valueLabel{};
    Hold<TLabel> loadLabel{};  // brake only, else none
    Hold<TLabel> infoLabel{};
    Hold<TSmoothProgressBar> bar{};
    Hold<TRangeSlider> slider{};
    Hold<TLabel> fromCaption{};
    Hold<TLabel> fromValue{};
    Hold<TLabel> toCaption{};
    Hold<TLabel> toValue{};
    Hold<TLabel> leftThumbLoad{};   // brake only, else none
    Hold<TLabel> rightThumbLoad{};  // brake only, else none
    Hold<QPushButton> calibrateButton{};
    Hold<QPushButton> advancedButton{};
    Hold<TPanel> advancedPanel{};
    Hold<TLabel> firstStageCaption{};
    Hold<TLabel> secondStageCaption{};
    Hold<TLabel> connectionCaption{};
    Hold<QComboBox> firstStage{};
    Hold<QComboBox> secondStage{};
    Hold<TCheckBox> connection{};
    // How the settings dump on the Debug page names the pedal, e.g. "TrPedal.".
    const char* dumpPrefix = nullptr;
  };
  template <class T>
  using ControlPointer = T*;
  using TPedalControls = TPedalControlSet<ControlPointer>;
  const TPedalControls& ControlsOf(PedalName pedal) const {
    return pedalControls_[static_cast<std::size_t>(pedal)];
  }

  // Handlers of the wiring list whose control was never built (none, in a whole window).
  QStringList UnwiredHandlers() const { return unwiredHandlers_; }

  // ---- The window ------------------------------------------------------------------------
  TSideTabPageControl* MyPageControl = nullptr;
  TTabSheet* TabSheet1 = nullptr;  // "Main"
  TTabSheet* TabSheet3 = nullptr;  // "Debug"
  TPanel* SplashPanel = nullptr;

  // ---- Splash ----------------------------------------------------------------------------
  TLabel* ConLabel = nullptr;
  TSmoothProgressBar* SplashProgressBar = nullptr;
  // The line under them that says why there is no connection yet.
  TConnectionHint* ConnectionHint = nullptr;

  // ---- Main page: the panels, stacked from the top -----------------------------------------
  TPanel* ButtonPanel = nullptr;
  TPanel* TrottlePanel = nullptr;
  TPanel* BrPanel = nullptr;
  TPanel* ClPanel = nullptr;
  TPanel* Panel1 = nullptr;
  // Restacks the panels after one of them changed height (it follows by itself once shown).
  TopAlignedStack* MainPageStack = nullptr;

  // ---- Throttle panel ----------------------------------------------------------------------
  TLabel* TrLevLableText = nullptr;
  TLabel* trabsvaluelable = nullptr;
  TLabel* TrInfoLable = nullptr;
  TSmoothProgressBar* TrProgressBar = nullptr;
  TRangeSlider* TrRangeSlider = nullptr;
  TLabel* TrFromLableText = nullptr;
  TLabel* TrFromLableValue = nullptr;
  TLabel* TrToLableText = nullptr;
  TLabel* TrToLableValue = nullptr;
  QPushButton* TrCalibrateBtn = nullptr;
  QPushButton* TrAdvButt = nullptr;
  TPanel* TrAdvPanel = nullptr;
  TLabel* Label1 = nullptr;
  TLabel* Label2 = nullptr;
  TLabel* Label3 = nullptr;
  QComboBox* TrFSValue = nullptr;
  QComboBox* TrSSValue = nullptr;
  TCheckBox* TrConnectCheckBox = nullptr;

  // ---- Brake panel -------------------------------------------------------------------------
  TLabel* BrLevLableText = nullptr;
  TLabel* Brabsvaluelable = nullptr;
  TLabel* BrKgValueLabel = nullptr;
  TLabel* BrInfoLable = nullptr;
  TSmoothProgressBar* BrProgressBar = nullptr;
  TRangeSlider* BrRangeSlider = nullptr;
  TLabel* BrFromLableText = nullptr;
  TLabel* BrFromLableValue = nullptr;
  TLabel* BrToLableText = nullptr;
  TLabel* BrToLableValue = nullptr;
  TLabel* BrLSliderKgValueLable = nullptr;
  TLabel* BrRSliderKgValueLable = nullptr;
  QPushButton* BrCalibrateBtn = nullptr;
  QPushButton* BrAdvButt = nullptr;
  TPanel* BrAdvPanel = nullptr;
  TLabel* Label4 = nullptr;
  TLabel* Label5 = nullptr;
  TLabel* Label6 = nullptr;
  QComboBox* BrFSValueBox = nullptr;
  QComboBox* BrSSValueBox = nullptr;
  TCheckBox* BrConnectCheckBox = nullptr;

  // ---- Clutch panel ------------------------------------------------------------------------
  TLabel* ClLevLableText = nullptr;
  TLabel* Clabsvaluelable = nullptr;
  TLabel* ClInfoLable = nullptr;
  TSmoothProgressBar* ClProgressBar = nullptr;
  TRangeSlider* ClRangeSlider = nullptr;
  TLabel* ClFromLableText = nullptr;
  TLabel* ClFromLableValue = nullptr;
  TLabel* ClToLableText = nullptr;
  TLabel* ClToLableValue = nullptr;
  QPushButton* ClCalibrateBtn = nullptr;
  QPushButton* ClAdvButt = nullptr;
  TPanel* ClAdvPanel = nullptr;
  TLabel* Label7 = nullptr;
  TLabel* Label8 = nullptr;
  TLabel* Label9 = nullptr;
  QComboBox* ClFSValueBox = nullptr;
  QComboBox* ClSSValueBox = nullptr;
  TCheckBox* ClConnectCheckBox = nullptr;

  // ---- Debug page --------------------------------------------------------------------------
  QPlainTextEdit* DebugMemo = nullptr;
  TPanel* DebugDataPanel = nullptr;
  QComboBox* DebugPedalSelectorBox = nullptr;
  TLabel* VersionLable = nullptr;
  TLabel* Label17 = nullptr;
  TLabel* Label10 = nullptr;
  TLabel* Label15 = nullptr;
  TLabel* Label14 = nullptr;
  TLabel* Label16 = nullptr;
  TLabel* Label18 = nullptr;
  TNumericEdit* USBMinEdit = nullptr;
  TNumericEdit* USBMaxEdit = nullptr;
  TNumericEdit* SliderRangeMinEdit = nullptr;
  TNumericEdit* SliderRangeMaxEdit = nullptr;
  TLabel* Label13 = nullptr;
  TLabel* Label19 = nullptr;
  TLabel* Label11 = nullptr;
  TLabel* Label12 = nullptr;
  TLabel* Label20 = nullptr;
  TLabel* Label21 = nullptr;
  TNumericEdit* FanatecMinEdit = nullptr;
  TNumericEdit* FanatecMaxEdit = nullptr;
  TNumericEdit* SliderPosLeftEdit = nullptr;
  TNumericEdit* SliderPosRightEdit = nullptr;
  TLabel* Label22 = nullptr;
  TLabel* Label23 = nullptr;
  TNumericEdit* BrCalEdit = nullptr;
  TNumericEdit* FlashCountEdit = nullptr;
  QPushButton* ResetCalibrButt = nullptr;
  QPushButton* ReadSetButton = nullptr;

  // The controls' events reach these handlers through the typed list in MainFormWiring.cpp: a
  // new handler is declared here under its own name (for example `void TrCalibrateBtnClick();`)
  // and given a row there. A handler may take the leading arguments of its event or none.
 public:
  // ---- Pedal panels' handlers and operations (MainFormPanels.cpp) ----------------------------
  void TrRangeSliderMouseMove();
  void BrRangeSliderMouseMove();
  void ClRangeSliderMouseMove();
  void TrRangeSliderMouseUp();
  void BrRangeSliderMouseUp();
  void ClRangeSliderMouseUp();
  void TrCalibrateBtnClick();
  void BrCalibrateBtnClick();
  void ClCalibrateBtnClick();
  void TrAdvButtClick();
  void BrAdvButtClick();
  void ClAdvButtClick();
  void TrFSValueChang(int index);
  void BrFSValueBoxChange(int index);
  void ClFSValueBoxChange(int index);
  void TrSSValueChange(int index);
  void BrSSValueBoxChange(int index);
  void ClSSValueBoxChange(int index);
  void TrConnectCheckBoxMouseUp();
  void BrConnectCheckBoxMouseUp();
  void ClConnectCheckBoxMouseUp();

 public:
  void ApplyPedalLimits(TPedal& pedal);
  void ValidateSliderPositions();
  void ShowConnectionStates();
  void BeginCalibration(TPedal& pedal);
  void EndCalibration(TPedal& pedal);
  void ToggleAdvancedPanel(TPedal& pedal);

  // Heights of a pedal panel with its advanced strip folded and unfolded.
  static constexpr int CollapsedPanelHeight = 89;
  static constexpr int ExpandedPanelHeight = 130;
  static constexpr int ExpandedBrakePanelHeight = 150;
  // A thumb moved by the mouse wheel is sent once the wheel has rested this long.
  static constexpr int WheelRestMs = 300;

 private:
  // The From and To labels (the brake's also its thumbs' kilograms) from the slider.
  void RefreshSliderLabels(PedalName pedal);
  void StoreSliderPositions(PedalName pedal);
  // Stores the thumbs, refreshes the labels and sends them when they differ from the pedal's.
  void CommitKeyboardGesture(PedalName pedal);
  void OnCalibrateClicked(PedalName pedal);
  void LeaveCalibrations();
  void OnFilterStageChosen(PedalName pedal, bool firstStage, int index);
  void ToggleConnection(PedalName pedal);
  void WatchPanelGestures();

  // ---- Debug tab's handlers and the service mode (MainFormDebugTab.cpp) ----------------------
 public:
  void FormKeyDown(int key);
  void DebugPedalSelectorBoxChange();
  void USBMinEditKeyUp(int key);
  void USBMaxEditKeyUp(int key);
  void FanatecMinEditKeyUp(int key);
  void FanatecMaxEditKeyUp(int key);
  void SliderRangeMinEditKeyUp(int key);
  void SliderRangeMaxEditKeyUp(int key);
  void SliderPosLeftEditKeyUp(int key);
  void SliderPosRightEditKeyUp(int key);
  void BrCalEditKeyUp(int key);
  void ReadSetButtonClick();
  void ResetCalibrButtClick();

 public:
  // Pressed first, before the first settings dump, it keeps the Debug tab and the Advanced
  // buttons (the service mode). Recognised by its key code alone.
  static constexpr Qt::Key ServiceKey = Qt::Key_F12;
  // Set by the first press of the service key, never cleared.
  bool ServiceKeyPressed = false;

  void ApplyServiceMode();
  void DumpSettingsToDebug();

  // The eight raw 16-bit fields of the selected pedal that the Debug page edits.
  enum class TRawLimit { UsbMin, UsbMax, DacMin, DacMax, RangeMin, RangeMax, PosLeft, PosRight };

  // Every message the window shows goes through here: a modal box unless a test answers it.
  enum class TMessageKind { Information, Error };
  using TMessageBox = std::function<void(TMessageKind kind, const QString& text)>;
  TMessageBox ShowMessage;

 private:
  void OnRawLimitEnter(TRawLimit field, int key);
  TNumericEdit* RawLimitEdit(TRawLimit field) const;
  TPedal* SelectedDebugPedal();
  void ShowDefaultMessageBox(TMessageKind kind, const QString& text);

 signals:
  // Raised by the key preview for every key pressed anywhere in the window, before the focused
  // control sees the key.
  void OnKeyDown(int key);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool closeQueried_ = false;

  // Layout, one function per place (MainFormLayout.cpp, MainFormPedalLayout.cpp,
  // MainFormDebugLayout.cpp).
  void BuildWindow();
  void BuildSplash();
  void BuildMainPage();
  void BuildPedalPanels();
  void BuildDebugPage();
  // The window's background from the desktop's palette, again whenever that palette changes.
  void ApplyWindowPalette();
  // Names and descriptions that screen readers announce (MainFormAccessibility.cpp).
  void DescribeControlsForAccessibility();
  void SetTabOrder();
  void WireHandlers();  // MainFormWiring.cpp
  void AttachReadoutReactions();
  // Attaches the panels' and the Debug tab's reactions to the link's settings notifications
  // (MainFormSettingsReactions.cpp).
  void AttachSettingsReactions();
  void CreateController(std::shared_ptr<hidplatform::HidPlatform> platform);
  // Grows the splash to the window's outer size (frame and title bar included) once the
  // platform knows the frame; before the window is first shown that is only the client area.
  void CoverWindowWithSplash();

  // Key preview: sees each key press once, before the focused control (`receiver`) does. Returns
  // whether the key was used up (Esc clicking the cancel button, Enter a focused button, or a
  // click key the splash keeps from the controls it covers).
  bool PreviewKeyPress(QKeyEvent* key, QWidget* receiver);
  // TrCalibrateBtn is the window's cancel button: Esc clicks it while it is enabled and the
  // Main page is active.
  bool ClickCancelButton();

  // Filled while the pedal panels are built, in the order of kAllPedals.
  std::array<TPedalControls, kAllPedals.size()> pedalControls_{};
  NumberSymbolsCache readoutSymbols_;  // the user's locale's, for the readout's texts
  QStringList unwiredHandlers_;
  const QEvent* lastPreviewedKey_ = nullptr;
  QPointer<QObject> lastKeyReceiver_;
};
