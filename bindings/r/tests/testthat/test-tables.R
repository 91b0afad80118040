# Every cell and schema row read_survey() returns equals the --tables files
# of the same input, in each framing family and both value profiles, and over
# several runs of rows (the store keeps 256 rows a run).

samples <- expand.grid(year = c(70, 76, 78, 80, 88), values = c("light", "wide"),
                       records = 40, stringsAsFactors = FALSE)
samples <- rbind(samples, data.frame(year = 80, values = "wide", records = 1100))

for (i in seq_len(nrow(samples))) {
  local({
    year <- samples$year[[i]]
    values <- samples$values[[i]]
    records <- samples$records[[i]]
    test_that(sprintf("year %d, %s values, %d records: every cell equals the --tables file",
                      year, values, records), {
      input <- make_sample(year, values, records)
      cli <- cli_tables(input)
      expect_identical(cli$status, 0L)
      result <- read_quietly(input)
      expect_same_tables(result, cli)
      expect_identical(result$year, as.integer(year))
      expect_true(result$complete)
      expect_identical(nrow(result$rejects), 0L)
    })
  })
}
