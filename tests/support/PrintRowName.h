#pragma once
// Table-driven tests: a row with a `name` prints as that name. Without it GoogleTest prints a row
// as its raw bytes (padding and pointers included), which ctest then shows in every test name.
// Bring it into the namespace of the row types with `using qf_test::PrintTo;`.

#include <ostream>

namespace qf_test {

// Constrained, so it wins over GoogleTest's own catch-all PrintTo template.
template <class Row>
requires requires(const Row& row, std::ostream& out) { out << row.name; }
void PrintTo(const Row& row, std::ostream* out) { *out << row.name; }

}  // namespace qf_test
