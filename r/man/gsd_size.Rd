\name{gsd_size}
\alias{gsd_size}
\alias{print.gsd_size}
\title{The sample size for a target power}
\description{
The smallest number of subjects per trial (the accrual period fixed, the
rate varying) whose simulated power for one statistic reaches the
target: the analytic power brackets the answer, simulations on a grid of
subjects settle it (as the command line's \code{--size-for-power}). Every
candidate is the design with \code{accrual.subjects} replaced, simulated as
\code{\link{gsd_simulate}} simulates it.
}
\usage{
gsd_size(design, power, statistic = 1, threads = NULL)

\method{print}{gsd_size}(x, ...)
}
\arguments{
\item{design}{a design (\code{\link{gsd_design}}, \code{\link{gsd_read}}),
  or the name of a design file.}
\item{power}{the power wanted, between 0 and 1.}
\item{statistic}{the statistic (1-based, in the design's order).}
\item{threads}{number of threads; \code{NULL} uses every hardware thread.}
\item{x}{a result of \code{gsd_size}.}
\item{...}{unused.}
}
\value{
A list of class \code{gsd_size}: \code{subjects} (the answer),
its \code{power} and \code{sd}; \code{below}, the same one \code{step}
of subjects below (which misses the target); \code{analytic_subjects}
and \code{analytic_power}, the analytic answer; \code{simulated}, a
data frame of every simulation run (\code{subjects}, \code{power},
\code{sd}); \code{text}, the account the command line prints.
}
\seealso{
\code{\link{gsd_sweep}}
}
\examples{
\donttest{
d <- gsd_read(system.file("examples", "given_bounds.dsn", package = "gsdsim"))
gsd_size(d, power = 0.5, threads = 1)
}
}
