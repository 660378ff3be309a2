\name{gsd_sweep}
\alias{gsd_sweep}
\title{Power over a grid of scenarios}
\description{
Simulates every combination of the values given for some keys of the
design (the last key varying fastest), each scenario being the design
with those keys replaced, checked as a keyed file is and simulated as
\code{\link{gsd_simulate}} simulates it (with the design's seed, so the
scenarios share their random numbers). The figures of a scenario are
those of a single run of it, and those of the command line's
\code{--sweep}.
}
\usage{
gsd_sweep(design, ..., threads = NULL)
}
\arguments{
\item{design}{a design (\code{\link{gsd_design}}, \code{\link{gsd_read}}),
  or the name of a design file.}
\item{...}{the swept keys, each a dotted key of the design with its
  values: \code{treatment.hazard_ratio = c(0.6, 0.7)},
  \code{accrual.subjects = c(400, 600)}; a key that holds a list takes a
  list of them: \code{looks.times = list(c(12, 24), c(12, 18, 24))}.}
\item{threads}{number of threads; \code{NULL} uses every hardware thread.
  The results are the same for every number.}
}
\value{
A data frame, one row per scenario and
statistic: \code{scenario}, a column per swept key with its value,
\code{statistic}, \code{rho}, \code{tau}, \code{subjects}, \code{trials},
\code{power}, \code{sd}, \code{average_stopping_time},
\code{analytic_power}, and \code{expected_events} and
\code{expected_subjects} at the look where the statistic stops; the
reader's notes in \code{attr(, "notes")}.
}
\seealso{
\code{\link{gsd_simulate}}
}
\examples{
d <- gsd_read(system.file("examples", "given_bounds.dsn", package = "gsdsim"))
gsd_sweep(d, treatment.hazard_ratio = c(0.6, 0.8), threads = 1)
}
