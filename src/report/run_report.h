#pragma once

#include "sim/report_writer.h"

namespace gsd {

// The report of a run as the program writes it: the seed line and the
// design summary first, the results last. Pass its address as
// SimulationOptions::writer.
const ReportWriter& run_report_writer();

}  // namespace gsd
