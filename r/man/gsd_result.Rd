\name{gsd_result}
\alias{gsd_result}
\alias{print.gsd_result}
\alias{summary.gsd_result}
\alias{print.summary.gsd_result}
\alias{as.data.frame.gsd_result}
\alias{plot.gsd_result}
\title{Show, summarise and plot a simulation result}
\description{
\code{print} shows the number of trials and the figures of every
statistic; \code{summary} adds per look and statistic the share of trials
that stopped and rejected there; \code{as.data.frame} gives the
per-statistic figures (\code{which = "statistics"}) or the per-look ones
(\code{which = "looks"}); \code{plot} draws the cumulative share of trials
that rejected by each look, one line per statistic, with ggplot2 when it
is installed and base graphics otherwise.
}
\usage{
\method{print}{gsd_result}(x, ...)

\method{summary}{gsd_result}(object, ...)

\method{print}{summary.gsd_result}(x, ...)

\method{as.data.frame}{gsd_result}(x, row.names = NULL, optional = FALSE, ...,
  which = c("statistics", "looks"))

\method{plot}{gsd_result}(x, y, ..., graphics = c("auto", "ggplot2", "base"))
}
\arguments{
\item{x, object}{a result of \code{\link{gsd_simulate}}.}
\item{which}{\code{"statistics"} or \code{"looks"}.}
\item{row.names, optional}{unused (for the generic).}
\item{y}{unused.}
\item{graphics}{\code{"auto"} (ggplot2 when installed), \code{"ggplot2"}
  or \code{"base"}.}
\item{...}{unused.}
}
\value{
\code{print} and \code{plot} (base graphics) return \code{x}
invisibly; \code{plot} with ggplot2 returns the plot object;
\code{summary} an object of class \code{summary.gsd_result};
\code{as.data.frame} a data frame.
}
\examples{
r <- gsd_simulate(gsd_read(system.file("examples", "given_bounds.dsn",
                                       package = "gsdsim")), threads = 1)
r
summary(r)
as.data.frame(r, which = "looks")
plot(r, graphics = "base")
}
