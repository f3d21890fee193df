#include "pedal/ConnectionTrouble.h"

namespace {

TConnectionTrouble TroubleOf(const TConnectionFacts& Facts) {
  if (!Facts.PedalSetPresent) return TConnectionTrouble::ctNoPedalSet;
  if (!Facts.OpenForReadWrite) return TConnectionTrouble::ctCannotOpen;
  if (!Facts.SettingsAnswered && Facts.SinceOpened >= kSettingsAnswerTime) {
    return TConnectionTrouble::ctNoAnswer;
  }
  return TConnectionTrouble::ctNone;
}

}  // namespace

TConnectionVerdict JudgeConnection(const TConnectionFacts& Facts) {
  const TConnectionTrouble trouble = TroubleOf(Facts);
  return {trouble, trouble != TConnectionTrouble::ctNone && !Facts.PlugInNoticed};
}
