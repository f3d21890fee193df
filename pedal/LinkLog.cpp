#include "pedal/LinkLog.h"

Q_LOGGING_CATEGORY(lcLink, "quillfen.link", QtWarningMsg)
