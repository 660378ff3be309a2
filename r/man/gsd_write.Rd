\name{gsd_write}
\alias{gsd_write}
\title{Write a design file}
\description{
Writes a design as a keyed (TOML) file or as a positional (classic,
145-line) file with its comment lines. Either file read back with
\code{\link{gsd_read}} gives the same design, and the program runs it
with the same results.
}
\usage{
gsd_write(design, path, format = c("toml", "classic"))
}
\arguments{
\item{design}{a design (\code{\link{gsd_design}}, \code{\link{gsd_read}}).}
\item{path}{the file to write; an existing file is replaced.}
\item{format}{\code{"toml"} (the default) or \code{"classic"}.}
}
\value{
\code{path}, invisibly.
}
\examples{
d <- gsd_design(report = "demo.rpt", looks = list(times = c(12, 24)),
                control = list(median = 12),
                treatment = list(hazard_ratio = 0.7),
                accrual = list(period = 18, subjects = 300))
path <- tempfile(fileext = ".toml")
gsd_write(d, path)
identical(gsd_read(path), d)
}
