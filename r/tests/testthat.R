library(testthat)
library(gsdsim)

test_check("gsdsim")
