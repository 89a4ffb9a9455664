#pragma once
// String helpers for names: the next numbered variant of a name, and random names from the
// process-wide Mersenne Twister (any thread; the generator is locked).
#include <QString>

namespace zem {

// "name" -> "name_001", "name_001" -> "name_002", "x9" -> "x010": trailing digits count up,
// written with at least digits digits.
QString get_string_number(const QString& name, int digits);
// length characters of [a-z0-9].
QString random_name(int length);

} // namespace zem
