\name{gsd_analytic}
\alias{gsd_analytic}
\alias{print.gsd_analytic}
\title{Analytic power of a design}
\description{
The analytic counterpart of \code{\link{gsd_simulate}}, in milliseconds:
per statistic and look the expected events, the expected information, the
drift (mean of the standardised statistic under the design's
alternative), the critical value at the expected information and the
probabilities of rejecting there, from the asymptotic theory of weighted
log-rank statistics; per statistic the power and the expected stopping
time. The figures are those of the command line's \code{--analytic}.
}
\usage{
gsd_analytic(design)

\method{print}{gsd_analytic}(x, ...)
}
\arguments{
\item{design}{a design (\code{\link{gsd_design}}, \code{\link{gsd_read}}),
  or the name of a design file.}
\item{x}{a result of \code{gsd_analytic}.}
\item{...}{unused.}
}
\value{
An object of class \code{gsd_analytic}, a list with
\item{statistics}{a data frame, one row per statistic:
  \code{statistic}, \code{rho}, \code{tau}, \code{power},
  \code{expected_stopping_time}, \code{power_at_engine_bounds} (the
  power at the critical values the engine's own recursion computes
  from the expected information);}
\item{looks}{a data frame, one row per statistic and look:
  \code{statistic}, \code{look}, \code{time}, \code{expected_events},
  \code{information}, \code{drift}, \code{z_sd}, \code{bound},
  \code{engine_bound}, \code{reject_upper}, \code{reject_lower},
  \code{reject_probability}, \code{cumulative_power};}
\item{subjects}{the subjects per trial;}
\item{design}{the design.}
}
\seealso{
\code{\link{gsd_simulate}}
}
\examples{
a <- gsd_analytic(gsd_read(system.file("examples", "given_bounds.dsn",
                                       package = "gsdsim")))
a$statistics
}
