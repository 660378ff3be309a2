#pragma once

namespace gsd {

// A numerically doubtful working value met by the hazard-ratio inverse
// while it passes a cut point: tmpp = S0(tau(k)) or the running multiplier
// rmlp below 0.000001. The computation goes on with the small value; the
// caller decides what to say.
enum class InverseWarning { kTmppTooSmall, kRmlpTooSmall };

// Told of each warning as it occurs, in order. Empty: nobody is told.
struct InverseWarnings {
  void (*warn)(void* context, InverseWarning warning) = nullptr;
  void* context = nullptr;
};

inline void tell_warning(const InverseWarnings& warnings, InverseWarning warning) {
  if (warnings.warn != nullptr) warnings.warn(warnings.context, warning);
}

}  // namespace gsd
