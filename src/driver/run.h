#pragma once

namespace gsd {

// Runs one design read from standard input; returns the process exit status.
int run_program();

}  // namespace gsd
