#include <cstdio>
#include <iostream>

#include "driver/run.h"

int main() { return gsd::run_design(std::cin, stdout); }
