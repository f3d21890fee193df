// The transport's log: devices that cannot be opened, read errors, reading threads ended by an
// error. Warnings show by default; QT_LOGGING_RULES="quillfen.hid=true" shows everything.
#pragma once

#include <QLoggingCategory>
#include <QString>
#include <cstdint>

Q_DECLARE_LOGGING_CATEGORY(lcHid)

// A platform error code for a log line: its number and what it means, e.g.
// "error 5 (access denied)".
QString HidErrorText(std::uint32_t code);
