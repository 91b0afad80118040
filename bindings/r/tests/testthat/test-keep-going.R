# keep_going = TRUE keeps what -k --tables keeps and rejects what it rejects.

damages <- read.table(header = TRUE, stringsAsFactors = FALSE, text = "
  year values kind       seed
  70   light  delete     1
  70   wide   lose-crlf  2
  76   light  insert     3
  78   wide   delete     4
  78   light  overwrite  5
  80   wide   duplicate  6
  80   light  lose-crlf  7
  88   wide   truncate   8
  88   light  insert     9
")

for (i in seq_len(nrow(damages))) {
  local({
    case <- damages[i, ]
    test_that(sprintf("year %d, %s values, %s damage: keep_going matches -k", case$year,
                      case$values, case$kind), {
      input <- damaged_sample(make_sample(case$year, case$values, records = 60), case$kind,
                              case$seed)
      cli <- cli_tables(input, keep_going = TRUE)
      expect_identical(cli$status, if (is.null(cli$rejects)) 0L else 2L)
      result <- read_quietly(input, keep_going = TRUE)
      expect_same_tables(result, cli)
      expect_same_rejects(result, cli)
      expect_true(result$complete)
    })
  })
}

test_that("the damages reject records, so the cases above compare rejects", {
  rejected <- vapply(seq_len(nrow(damages)), function(i) {
    case <- damages[i, ]
    input <- damaged_sample(make_sample(case$year, case$values, records = 60), case$kind,
                            case$seed)
    nrow(read_quietly(input, keep_going = TRUE)$rejects)
  }, integer(1))
  expect_gt(sum(rejected > 0), nrow(damages) / 2)
})
