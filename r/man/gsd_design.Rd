\name{gsd_design}
\alias{gsd_design}
\alias{print.gsd_design}
\title{A design from named arguments}
\description{
Builds a design of a two-arm group-sequential survival trial from named
arguments that mirror the keys of a keyed (TOML) design file: every
argument is a key of the file, a list is a table of the file, and an
argument left \code{NULL} takes the file's default. The design is checked
by the same reader as a keyed file, so a bad value gives the file's error
message, naming the argument as the key it stands for (for example
\code{"accrual.subjects"}).
}
\usage{
gsd_design(..., report = NULL, seed = NULL, trials = NULL, alpha = NULL,
           sides = NULL, looks = NULL, statistics = NULL, boundary = NULL,
           control = NULL, treatment = NULL, accrual = NULL,
           censoring = NULL, crossover = NULL)

\method{print}{gsd_design}(x, ...)
}
\arguments{
\item{...}{further keys; none is known, so each gives an error naming it
  (with the nearest known key). Unused by \code{print}.}
\item{report}{name of the report, a plain file name of at most 12
  characters (written only by \code{gsd_simulate(report_file = ...)}).}
\item{seed}{seed of the random numbers (default -123457).}
\item{trials}{number of simulated trials (default 1000).}
\item{alpha}{overall type-I error (default 0.05).}
\item{sides}{1 (one-sided) or 2 (two-sided, the default).}
\item{looks}{\code{list(times = ...)}: the calendar times of the 1 to 15
  looks, increasing; or \code{list(events = ..., max_time = ...)}: looks
  when the trial's events (both groups) reach each target, or at
  \code{max_time} when that comes first.}
\item{statistics}{a data frame with columns \code{rho} and \code{tau}, one
  row per Fleming-Harrington statistic (1 to 5), or a list of such columns;
  \code{NULL} is the log-rank statistic alone.}
\item{boundary}{\code{list(method = ..., ...)}: \code{method} one of
  \code{"error-split"}, \code{"spending"} (default), \code{"haybittle"},
  \code{"critical-values"}; \code{spending} one of
  \code{"obrien-fleming"} (default), \code{"pocock"}, \code{"linear"},
  \code{"siegmund"}; \code{b}; \code{error_split} or
  \code{critical_values}, one value per look.}
\item{control}{survival of the control group: \code{list(median = 12)} or
  \code{list(times = ..., survival = ...)}.}
\item{treatment}{the treatment group: \code{list(hazard_ratio = 0.7)},
  \code{list(hazard_ratios = ..., cuts = ...)} or
  \code{list(times = ..., survival = ...)}.}
\item{accrual}{\code{list(period = 18, subjects = 600)} or
  \code{list(period = ..., rate = ...)}.}
\item{censoring}{loss to follow-up: \code{list(control = list(times = ...,
  survival = ...), treatment = list(...))}; omitted groups lose nobody.}
\item{crossover}{\code{list(drop_in = list(times = ..., probabilities =
  ...), drop_out = list(...))}; omitted lists mean no crossover.}
\item{x}{a design.}
}
\value{
A design: a list of class \code{gsd_design} holding the keys
given, as the keyed reader read them (an omitted key takes its default
when simulated), with the reader's notes of the defaults it applied in
\code{attr(, "notes")}. \code{print} shows it as its keyed file.
}
\seealso{
\code{\link{gsd_read}}, \code{\link{gsd_write}},
\code{\link{gsd_simulate}}
}
\examples{
d <- gsd_design(report = "demo.rpt", trials = 200,
                looks = list(times = c(12, 18, 24)),
                control = list(median = 12),
                treatment = list(hazard_ratio = 0.7),
                accrual = list(period = 18, subjects = 300))
d$accrual
}
