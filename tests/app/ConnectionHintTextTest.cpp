// The words of the splash's second line for each verdict, on Linux and on Windows.

#include <gtest/gtest.h>

#include <ostream>

#include "TConnectionHint.h"

namespace {

using T = TConnectionTrouble;
using W = TConnectionHint::TWording;

struct Row {
  const char* name;
  TConnectionVerdict verdict;
  W wording;
  const char* expected;
};
void PrintTo(const Row& row, std::ostream* out) { *out << row.name; }

class ConnectionHintTextTest : public ::testing::TestWithParam<Row> {};

TEST_P(ConnectionHintTextTest, SaysWhatIsWrongAndWhatToDo) {
  const Row& row = GetParam();
  EXPECT_EQ(TConnectionHint::TextFor(row.verdict, "/dev/hidraw3", row.wording), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConnectionHintTextTest,
    ::testing::Values(
        Row{"Nothing", {T::ctNone, false}, W::Linux, ""},
        Row{"NoPedalSet", {T::ctNoPedalSet, false}, W::Linux, "No pedal set found. Plug it in."},
        Row{"NoPedalSetWindows",
            {T::ctNoPedalSet, false},
            W::Windows,
            "No pedal set found. Plug it in."},
        Row{"CannotOpenLinux",
            {T::ctCannotOpen, false},
            W::Linux,
            "The pedal set was found, but this user may not open it (/dev/hidraw3). Install the "
            "udev rule (see README) and plug the pedal set in again."},
        Row{"CannotOpenWindows",
            {T::ctCannotOpen, false},
            W::Windows,
            "The pedal set was found, but it could not be opened. Close other programs that use "
            "it."},
        Row{"NoAnswer",
            {T::ctNoAnswer, false},
            W::Linux,
            "The pedal set does not answer. Plug it in again."},
        Row{"NoPedalSetNotNoticed",
            {T::ctNoPedalSet, true},
            W::Linux,
            "No pedal set found. Plug it in.\nPlug-in is not noticed here: start the program "
            "after plugging the pedal set in."},
        Row{"CannotOpenNotNoticed",
            {T::ctCannotOpen, true},
            W::Linux,
            "The pedal set was found, but this user may not open it (/dev/hidraw3). Install the "
            "udev rule (see README) and plug the pedal set in again.\nPlug-in is not noticed "
            "here: start the program after plugging the pedal set in."}));

}  // namespace
