#include "driver/run.h"

int main() { return gsd::run_program(); }
