// The pedal link's log: the pedal set found, checked out, asked for its settings, its dump
// taken and acknowledged, lost. Nothing shows by default; QT_LOGGING_RULES="quillfen.link=true"
// shows it all. Never a line per report.
#pragma once

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcLink)
