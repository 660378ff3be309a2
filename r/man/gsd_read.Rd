\name{gsd_read}
\alias{gsd_read}
\title{Read a design file}
\description{
Reads a design from a keyed file (a name ending in \code{.toml}) or from a
positional (classic, 145-line) design file (any other name). A design the
program refuses gives an error with the program's message, naming the
design line (positional) or the key (keyed). A positional design becomes
its keyed equivalent (as \code{gsdsim --convert toml} writes it): every
item the file gave becomes its key; a note of a default that no key can
carry is shown as a message.
}
\usage{
gsd_read(path)
}
\arguments{
\item{path}{the file to read.}
}
\value{
A design of class \code{gsd_design} (see \code{\link{gsd_design}}).
}
\seealso{
\code{\link{gsd_write}}, \code{\link{gsd_simulate}}
}
\examples{
d <- gsd_read(system.file("examples", "lan_demets.dsn", package = "gsdsim"))
d$looks
}
