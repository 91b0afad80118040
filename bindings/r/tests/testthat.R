library(testthat)
library(surveydecoder)

test_check("surveydecoder")
