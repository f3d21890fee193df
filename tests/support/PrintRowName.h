#pragma once
// Table-driven tests: a row with a `name` prints as that name and names its test case. Without
// it GoogleTest prints a row as its raw bytes (padding and pointers included), which ctest then
// shows in every test name.
//   Bring the printer into the namespace of the row types with `using qf_test::PrintTo;`, and
//   pass `qf_test::RowName()` as the last argument of INSTANTIATE_TEST_SUITE_P.

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace qf_test {

template <class Row>
concept NamedRow = requires(const Row& row, std::ostream& out) { out << row.name; };

// Constrained, so it wins over GoogleTest's own catch-all PrintTo template.
template <NamedRow Row>
void PrintTo(const Row& row, std::ostream* out) {
  *out << row.name;
}

// The test case of each row is called by the row's name.
struct RowName {
  template <NamedRow Row>
  std::string operator()(const ::testing::TestParamInfo<Row>& info) const {
    return std::string(info.param.name);
  }
};

}  // namespace qf_test
