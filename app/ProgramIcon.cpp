#include "ProgramIcon.h"

// The images live in a static library: their resource must be registered by hand.
static void RegisterIconResource() { Q_INIT_RESOURCE(icon); }

QIcon ProgramIcon() {
  RegisterIconResource();
  QIcon icon;
  for (int size : {16, 32, 48, 256}) {
    icon.addFile(QStringLiteral(":/icon/quillfen-settings-%1.png").arg(size), QSize(size, size));
  }
  return icon;
}
