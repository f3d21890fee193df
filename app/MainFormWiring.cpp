// Which handler each event of the window's controls calls. The handlers are wired by name, the
// way a form resource wires them, so that each part of the window only declares its handlers as
// slots under their names; a handler not declared (yet) is listed by UnwiredHandlers().

#include <QMetaMethod>
#include <array>

#include "TMainForm.h"

namespace {

struct Wire {
  const char* source;   // object name of the control, "MainForm" for the window
  const char* event;    // the control's signal
  const char* handler;  // the window's slot
};

constexpr const char* kClick = "clicked()";
constexpr const char* kSliderMouseMove = "OnMouseMove(Qt::KeyboardModifiers,int,int)";
constexpr const char* kMouseUp = "OnMouseUp(Qt::MouseButton,Qt::KeyboardModifiers,int,int)";
constexpr const char* kComboChange = "activated(int)";
constexpr const char* kEditKeyUp = "OnKeyUp(int,Qt::KeyboardModifiers)";

constexpr std::array<Wire, 35> kWiring{{
    {"MainForm", "OnKeyDown(int)", "FormKeyDown"},
    {"TrCalibrateBtn", kClick, "TrCalibrateBtnClick"},
    {"BrCalibrateBtn", kClick, "BrCalibrateBtnClick"},
    {"ClCalibrateBtn", kClick, "ClCalibrateBtnClick"},
    {"TrAdvButt", kClick, "TrAdvButtClick"},
    {"BrAdvButt", kClick, "BrAdvButtClick"},
    {"ClAdvButt", kClick, "ClAdvButtClick"},
    {"TrRangeSlider", kSliderMouseMove, "TrRangeSliderMouseMove"},
    {"BrRangeSlider", kSliderMouseMove, "BrRangeSliderMouseMove"},
    {"ClRangeSlider", kSliderMouseMove, "ClRangeSliderMouseMove"},
    {"TrRangeSlider", kMouseUp, "TrRangeSliderMouseUp"},
    {"BrRangeSlider", kMouseUp, "BrRangeSliderMouseUp"},
    {"ClRangeSlider", kMouseUp, "ClRangeSliderMouseUp"},
    {"TrFSValue", kComboChange, "TrFSValueChang"},
    {"BrFSValueBox", kComboChange, "BrFSValueBoxChange"},
    {"ClFSValueBox", kComboChange, "ClFSValueBoxChange"},
    {"TrSSValue", kComboChange, "TrSSValueChange"},
    {"BrSSValueBox", kComboChange, "BrSSValueBoxChange"},
    {"ClSSValueBox", kComboChange, "ClSSValueBoxChange"},
    {"TrConnectCheckBox", kMouseUp, "TrConnectCheckBoxMouseUp"},
    {"BrConnectCheckBox", kMouseUp, "BrConnectCheckBoxMouseUp"},
    {"ClConnectCheckBox", kMouseUp, "ClConnectCheckBoxMouseUp"},
    {"DebugPedalSelectorBox", kComboChange, "DebugPedalSelectorBoxChange"},
    {"USBMinEdit", kEditKeyUp, "USBMinEditKeyUp"},
    {"USBMaxEdit", kEditKeyUp, "USBMaxEditKeyUp"},
    {"FanatecMinEdit", kEditKeyUp, "FanatecMinEditKeyUp"},
    {"FanatecMaxEdit", kEditKeyUp, "FanatecMaxEditKeyUp"},
    {"SliderRangeMinEdit", kEditKeyUp, "SliderRangeMinEditKeyUp"},
    {"SliderRangeMaxEdit", kEditKeyUp, "SliderRangeMaxEditKeyUp"},
    {"SliderPosLeftEdit", kEditKeyUp, "SliderPosLeftEditKeyUp"},
    {"SliderPosRightEdit", kEditKeyUp, "SliderPosRightEditKeyUp"},
    {"BrCalEdit", kEditKeyUp, "BrCalEditKeyUp"},
    {"FlashCountEdit", kEditKeyUp, "BrCalEditKeyUp"},
    {"ReadSetButton", kClick, "ReadSetButtonClick"},
    {"ResetCalibrButt", kClick, "ResetCalibrButtClick"},
}};

// The slot called `name` that accepts the signal's arguments (or a leading part of them).
QMetaMethod FindHandler(const QMetaObject* form, const QMetaMethod& signal, const char* name) {
  for (int i = form->methodOffset(); i < form->methodCount(); ++i) {
    const QMetaMethod method = form->method(i);
    if (method.methodType() == QMetaMethod::Slot && method.name() == name &&
        QMetaObject::checkConnectArgs(signal, method)) {
      return method;
    }
  }
  return {};
}

}  // namespace

void TMainForm::WireHandlers() {
  unwiredHandlers_.clear();
  for (const Wire& wire : kWiring) {
    QObject* source = QLatin1String(wire.source) == QLatin1String("MainForm")
                          ? static_cast<QObject*>(this)
                          : findChild<QObject*>(QLatin1String(wire.source));
    Q_ASSERT(source != nullptr);
    const QMetaObject* meta = source->metaObject();
    const QMetaMethod signal =
        meta->method(meta->indexOfSignal(QMetaObject::normalizedSignature(wire.event)));
    Q_ASSERT(signal.isValid());
    const QMetaMethod handler = FindHandler(metaObject(), signal, wire.handler);
    if (handler.isValid()) {
      connect(source, signal, this, handler);
    } else {
      unwiredHandlers_ << QString::fromLatin1(wire.handler);
    }
  }
}
