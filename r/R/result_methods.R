#' Show, summarise and plot a simulation result
#'
#' \code{print} shows the number of trials and the figures of every
#' statistic; \code{summary} adds per look and statistic the share of trials
#' that stopped and rejected there; \code{as.data.frame} gives the
#' per-statistic figures (\code{which = "statistics"}) or the per-look ones
#' (\code{which = "looks"}); \code{plot} draws the cumulative share of trials
#' that rejected by each look, one line per statistic, with ggplot2 when it
#' is installed and base graphics otherwise.
#'
#' @param x,object a result of \code{\link{gsd_simulate}}.
#' @param which \code{"statistics"} or \code{"looks"}.
#' @param row.names,optional unused (for the generic).
#' @param y unused.
#' @param graphics \code{"auto"} (ggplot2 when installed), \code{"ggplot2"}
#'   or \code{"base"}.
#' @param ... unused.
#' @return \code{print} and \code{plot} (base graphics) return \code{x}
#'   invisibly; \code{plot} with ggplot2 returns the plot object;
#'   \code{summary} an object of class \code{summary.gsd_result};
#'   \code{as.data.frame} a data frame.
#' @examples
#' r <- gsd_simulate(gsd_read(system.file("examples", "given_bounds.dsn",
#'                                        package = "gsdsim")), threads = 1)
#' r
#' summary(r)
#' as.data.frame(r, which = "looks")
#' plot(r, graphics = "base")
#' @name gsd_result
#' @aliases print.gsd_result summary.gsd_result print.summary.gsd_result
#'   as.data.frame.gsd_result plot.gsd_result
NULL

#' @rdname gsd_result
#' @export
print.gsd_result <- function(x, ...) {
  cat(sprintf("gsdsim result: %d trials, %d looks, method %d, %d subjects per trial\n",
              x$trials, length(unique(x$looks$look)), x$method,
              x$calibration$subject_count))
  print(x$statistics[c("statistic", "rho", "tau", "power", "sd", "average_stopping_time")],
        row.names = FALSE)
  invisible(x)
}

#' @rdname gsd_result
#' @export
summary.gsd_result <- function(object, ...) {
  looks <- object$looks
  looks$stopped_share <- looks$stopped / object$trials
  looks$rejected_share <- looks$rejected / object$trials
  looks$cumulative_power <- stats_cumsum(looks$rejected, looks$statistic) / object$trials
  structure(list(statistics = object$statistics, looks = looks, trials = object$trials,
                 method = object$method, calibration = object$calibration),
            class = "summary.gsd_result")
}

# Cumulative sums within each statistic (rows ordered by look).
stats_cumsum <- function(x, group) {
  unlist(lapply(split(x, group), cumsum), use.names = FALSE)[order(order(group))]
}

#' @rdname gsd_result
#' @export
print.summary.gsd_result <- function(x, ...) {
  cat(sprintf("gsdsim result: %d trials, method %d, %d subjects per trial\n\n",
              x$trials, x$method, x$calibration$subject_count))
  print(x$statistics, row.names = FALSE)
  cat("\nPer look (shares of all trials):\n")
  print(x$looks[c("statistic", "look", "time", "mean_subjects", "mean_events",
                  "stopped_share", "rejected_share", "cumulative_power")],
        row.names = FALSE, digits = 4)
  invisible(x)
}

#' @rdname gsd_result
#' @export
as.data.frame.gsd_result <- function(x, row.names = NULL, optional = FALSE, ...,
                                     which = c("statistics", "looks")) {
  which <- match.arg(which)
  x[[which]]
}

#' @rdname gsd_result
#' @export
plot.gsd_result <- function(x, y, ..., graphics = c("auto", "ggplot2", "base")) {
  graphics <- match.arg(graphics)
  s <- summary(x)$looks
  s$label <- sprintf("%d: FH(%g, %g)", s$statistic,
                     x$statistics$rho[s$statistic], x$statistics$tau[s$statistic])
  if (graphics == "auto") {
    graphics <- if (requireNamespace("ggplot2", quietly = TRUE)) "ggplot2" else "base"
  }
  if (graphics == "ggplot2") {
    if (!requireNamespace("ggplot2", quietly = TRUE)) {
      stop("graphics = \"ggplot2\" needs the ggplot2 package", call. = FALSE)
    }
    .data <- ggplot2::.data
    return(ggplot2::ggplot(s, ggplot2::aes(x = .data$time, y = .data$cumulative_power,
                                           colour = .data$label)) +
             ggplot2::geom_line() + ggplot2::geom_point() +
             ggplot2::labs(x = "look time", y = "share of trials rejected by the look",
                           colour = "statistic"))
  }
  times <- unique(s$time)
  power <- matrix(s$cumulative_power, nrow = length(times))
  labels <- unique(s$label)
  colours <- hcl.colors(max(2, length(labels)), "Dark 3")[seq_along(labels)]
  matplot(times, power, type = "b", pch = 19, lty = 1, col = colours,
          xlab = "look time", ylab = "share of trials rejected by the look",
          ylim = c(0, max(power, 0.05)))
  legend("topleft", legend = labels, col = colours, lty = 1, pch = 19, bty = "n")
  invisible(x)
}
