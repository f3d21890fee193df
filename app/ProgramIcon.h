#pragma once
// The program icon: one picture of three pedals at 16, 32, 48 and 256 pixels.

#include <QIcon>

QIcon ProgramIcon();
