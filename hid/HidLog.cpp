#include "hid/HidLog.h"

#include "hid/platform/HidPlatform.h"

Q_LOGGING_CATEGORY(lcHid, "quillfen.hid", QtWarningMsg)

namespace {

// The codes the backends hand up (the Windows values); a native backend may pass others on.
const char* MeaningOf(std::uint32_t code) {
  switch (code) {
    case hidplatform::kErrorSuccess:
      return "success";
    case hidplatform::kErrorFileNotFound:
      return "no such device node";
    case hidplatform::kErrorAccessDenied:
      return "access denied";
    case hidplatform::kErrorInvalidHandle:
      return "invalid handle";
    case hidplatform::kErrorGenFailure:
      return "the device does not work";
    case 32:  // ERROR_SHARING_VIOLATION
      return "in use by another program";
    case hidplatform::kErrorNotSupported:
      return "not supported";
    case hidplatform::kErrorInvalidParameter:
      return "invalid parameter";
    case hidplatform::kErrorInsufficientBuffer:
      return "buffer too small";
    case hidplatform::kErrorOperationAborted:
      return "operation aborted";
    case hidplatform::kErrorIoPending:
      return "still pending";
    case hidplatform::kErrorDeviceNotConnected:
      return "device not connected";
    case hidplatform::kErrorInvalidUserBuffer:
      return "invalid buffer";
    default:
      return nullptr;
  }
}

}  // namespace

QString HidErrorText(std::uint32_t code) {
  const char* meaning = MeaningOf(code);
  if (meaning == nullptr) return QStringLiteral("error %1").arg(code);
  return QStringLiteral("error %1 (%2)").arg(code).arg(QLatin1String(meaning));
}
