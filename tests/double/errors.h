// Error codes of the test double (README.md).
#pragma once

namespace kelbrin_double {

enum Error {
    errorNullArgument = -1,
    errorUnknownName = -2,
    errorUnknownTemplate = -3,
    errorNotPlain = -20,
    errorNotComplex = -21,
    errorBadTree = -99, // a script tree that is not in the documented form
};

} // namespace kelbrin_double
