#pragma once

#include "design/design.h"

namespace gsd {

// The boundary method of a design (line 11 of the positional file), by its
// code.
enum class Method {
  kErrorSplit = 1,   // e(1..K) given: the type-I error spent at each look
  kUseFunction = 2,  // Lan-DeMets use function (UseFunction)
  kHaybittle = 3,    // constant b at the interim looks, a computed final value
  kGivenBounds = 4,  // critical values c(1..K) given
};

// The use function of the Lan-DeMets method (line 70), by its code.
enum class UseFunction {
  kObrienFleming = 1,
  kPocock = 2,
  kLinear = 3,
  kSiegmund = 4,  // Haybittle-type, with b; also what any other code means
};

// Valid once the design input has checked the code (1 to 4).
inline Method method_of(const Design& design) { return static_cast<Method>(design.method_code); }

inline bool has_method(const Design& design, Method method) {
  return design.method_code == static_cast<int>(method);
}

// Codes other than 1 to 3 all mean the Siegmund use function, and every one
// has its b checked by the calibration (uses_siegmund_check).
inline UseFunction use_function_of(int use_function_code) {
  switch (use_function_code) {
    case 1: return UseFunction::kObrienFleming;
    case 2: return UseFunction::kPocock;
    case 3: return UseFunction::kLinear;
    default: return UseFunction::kSiegmund;
  }
}

inline UseFunction use_function_of(const Design& design) {
  return use_function_of(design.use_function_code);
}

// The calibration raises b until Siegmund's approximation spends at most
// alpha: under the use-function method with every code that means the
// Siegmund function (4 and above; codes 5 and above once skipped the check,
// so the same design gave power 0.27 with code 4 and 0.705 with code 5).
inline bool uses_siegmund_check(const Design& design) {
  return has_method(design, Method::kUseFunction) &&
         use_function_of(design) == UseFunction::kSiegmund;
}

}  // namespace gsd
