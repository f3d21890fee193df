// The transport's exception: devices that cannot be opened or identified, and misuse.
#pragma once

#include <QString>
#include <stdexcept>

class EControllerError : public std::runtime_error {
 public:
  explicit EControllerError(const QString& message)
      : std::runtime_error(message.toStdString()), message_(message) {}
  QString Message() const { return message_; }

 private:
  QString message_;
};

namespace hidmessages {
inline const char* const kDeviceCannotBeOpened = "Device cannot be opened";
inline const char* const kDeviceCannotBeIdentified = "Device cannot be identified";
inline const char* const kDirectDeviceCreation =
    "Direct creation of a THidDevice object is not allowed";
inline const char* const kDirectThreadCreation =
    "Direct creation of a TDeviceReadThread object is not allowed";
}  // namespace hidmessages
