#pragma once
// Why there is no connection yet, decided from what the link and the controller see. The
// window turns the answer into the splash's second line; deciding changes nothing and sends
// nothing.

#include <QString>
#include <chrono>

enum class TConnectionTrouble {
  ctNone,        // connected, or the handshake is simply under way
  ctNoPedalSet,  // no device with the pedal set's ids is present
  ctCannotOpen,  // one is present but cannot be opened for reading and writing
  ctNoAnswer,    // open, but the settings request has gone unanswered too long
};

// How long an open pedal set may take to answer the settings request before that counts as
// trouble.
inline constexpr std::chrono::milliseconds kSettingsAnswerTime{3000};

struct TConnectionFacts {
  bool PedalSetPresent = false;
  bool OpenForReadWrite = false;
  bool SettingsAnswered = false;             // the dump has been taken and acknowledged
  std::chrono::milliseconds SinceOpened{0};  // since it became open for reading and writing
  bool PlugInNoticed = true;  // devices plugged in later are noticed (hot-plug notifications)
  QString PedalSetPath;       // the present pedal set's device path, empty when none
};

struct TConnectionVerdict {
  TConnectionTrouble Trouble = TConnectionTrouble::ctNone;
  // A plug-in will not be noticed here, which matters to every advice that involves one.
  bool PlugInNotNoticed = false;

  bool operator==(const TConnectionVerdict&) const = default;
};

TConnectionVerdict JudgeConnection(const TConnectionFacts& Facts);
