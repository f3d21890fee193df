// Why there is no connection: the verdict for each combination of what the link and the
// controller see.

#include <gtest/gtest.h>

#include <chrono>
#include <ostream>

#include "pedal/ConnectionTrouble.h"

namespace {

using std::chrono::milliseconds;
using T = TConnectionTrouble;

struct Row {
  const char* name;
  bool present;
  bool open;
  bool answered;
  int sinceOpenedMs;
  bool plugInNoticed;
  TConnectionTrouble trouble;
  bool plugInNotNoticed;
};
void PrintTo(const Row& row, std::ostream* out) { *out << row.name; }

constexpr int kDeadlineMs = static_cast<int>(kSettingsAnswerTime.count());

class ConnectionTroubleTest : public ::testing::TestWithParam<Row> {};

TEST_P(ConnectionTroubleTest, JudgesWhatTheControllerSees) {
  const Row& row = GetParam();
  TConnectionFacts facts;
  facts.PedalSetPresent = row.present;
  facts.OpenForReadWrite = row.open;
  facts.SettingsAnswered = row.answered;
  facts.SinceOpened = milliseconds(row.sinceOpenedMs);
  facts.PlugInNoticed = row.plugInNoticed;
  const TConnectionVerdict verdict = JudgeConnection(facts);
  EXPECT_EQ(verdict.Trouble, row.trouble);
  EXPECT_EQ(verdict.PlugInNotNoticed, row.plugInNotNoticed);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, ConnectionTroubleTest, ::testing::Values(
    //  name                 present open   answer ms since open    noticed verdict
    Row{"Absent",              false, false, false, 0,               true,  T::ctNoPedalSet, false},
    // What an absent set was before does not matter.
    Row{"AbsentAfterAnAnswer", false, true,  true,  9000,            true,  T::ctNoPedalSet, false},
    Row{"AbsentNoHotPlug",     false, false, false, 0,               false, T::ctNoPedalSet, true},
    Row{"NotOpenable",         true,  false, false, 0,               true,  T::ctCannotOpen, false},
    Row{"NoOpenNoHotPlug",     true,  false, false, 0,               false, T::ctCannotOpen, true},
    Row{"HandshakeUnderWay",   true,  true,  false, 0,               true,  T::ctNone,       false},
    Row{"UnderWayUnder3s",     true,  true,  false, kDeadlineMs - 1, true,  T::ctNone,       false},
    // Nothing to say is nothing to add to.
    Row{"UnderWayNoHotPlug",   true,  true,  false, 0,               false, T::ctNone,       false},
    Row{"Unanswered3s",        true,  true,  false, kDeadlineMs,     true,  T::ctNoAnswer,   false},
    Row{"UnansweredNoHotPlug", true,  true,  false, 60000,           false, T::ctNoAnswer,   true},
    Row{"Answered",            true,  true,  true,  60000,           true,  T::ctNone,       false},
    Row{"AnsweredNoHotPlug",   true,  true,  true,  60000,           false, T::ctNone,       false}));
// clang-format on

}  // namespace
