\name{gsdsim-package}
\alias{gsdsim-package}
\alias{gsdsim}
\docType{package}
\title{gsdsim: group-sequential designs of survival trials by exact simulation}
\description{
The package runs the gsdsim program's C++ engine in-process. A design is
built from named arguments (\code{\link{gsd_design}}) or read from a design
file (\code{\link{gsd_read}}), simulated with \code{\link{gsd_simulate}}
and written back with \code{\link{gsd_write}}. The figures are those of
the command line, bit for bit: the engine is compiled from the same
sources with the same floating-point flags.
}
\keyword{internal}
