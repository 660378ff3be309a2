#include "driver/run.h"

namespace gsd {

int run_program() { return 0; }

}  // namespace gsd
