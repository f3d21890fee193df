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
  milliseconds sinceOpened;
  bool plugInNoticed;
  TConnectionVerdict expected;
};
void PrintTo(const Row& row, std::ostream* out) { *out << row.name; }

constexpr milliseconds kJustBeforeDeadline = kSettingsAnswerTime - milliseconds(1);

class ConnectionTroubleTest : public ::testing::TestWithParam<Row> {};

TEST_P(ConnectionTroubleTest, JudgesWhatTheControllerSees) {
  const Row& row = GetParam();
  TConnectionFacts facts;
  facts.PedalSetPresent = row.present;
  facts.OpenForReadWrite = row.open;
  facts.SettingsAnswered = row.answered;
  facts.SinceOpened = row.sinceOpened;
  facts.PlugInNoticed = row.plugInNoticed;
  const TConnectionVerdict verdict = JudgeConnection(facts);
  EXPECT_EQ(verdict.Trouble, row.expected.Trouble);
  EXPECT_EQ(verdict.PlugInNotNoticed, row.expected.PlugInNotNoticed);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConnectionTroubleTest,
    ::testing::Values(
        Row{"Absent", false, false, false, milliseconds(0), true, {T::ctNoPedalSet, false}},
        // What an absent set was before does not matter.
        Row{"AbsentAfterAnAnswer", false, true, true, milliseconds(9000), true,
            {T::ctNoPedalSet, false}},
        Row{"AbsentWithoutHotPlug", false, false, false, milliseconds(0), false,
            {T::ctNoPedalSet, true}},
        Row{"PresentNotOpenable", true, false, false, milliseconds(0), true,
            {T::ctCannotOpen, false}},
        Row{"PresentNotOpenableWithoutHotPlug", true, false, false, milliseconds(0), false,
            {T::ctCannotOpen, true}},
        Row{"HandshakeUnderWay", true, true, false, milliseconds(0), true, {T::ctNone, false}},
        Row{"HandshakeJustUnderThreeSeconds", true, true, false, kJustBeforeDeadline, true,
            {T::ctNone, false}},
        // Nothing to say is nothing to add to, with or without hot-plug.
        Row{"HandshakeUnderWayWithoutHotPlug", true, true, false, milliseconds(0), false,
            {T::ctNone, false}},
        Row{"UnansweredForThreeSeconds", true, true, false, kSettingsAnswerTime, true,
            {T::ctNoAnswer, false}},
        Row{"UnansweredWithoutHotPlug", true, true, false, milliseconds(60000), false,
            {T::ctNoAnswer, true}},
        Row{"Answered", true, true, true, milliseconds(60000), true, {T::ctNone, false}},
        Row{"AnsweredWithoutHotPlug", true, true, true, milliseconds(60000), false,
            {T::ctNone, false}}));

}  // namespace
