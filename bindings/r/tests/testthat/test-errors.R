# A failure is an R error carrying the message the command line prints.

# `input` cut to `keep` bytes, its year kept in its name.
cut_sample <- function(input, keep) {
  year <- substring(input, nchar(input) - 5L, nchar(input) - 4L)
  path <- file.path(work_dir(), sprintf("cut-%d-%s-%s.dat", keep, basename(input), year))
  writeBin(readBin(input, "raw", keep), path)
  path
}

renamed <- function(input, name) {
  path <- file.path(work_dir(), name)
  file.copy(input, path, overwrite = TRUE)
  path
}

failures <- list(
  "a year-80 file cut inside a record" = function() cut_sample(make_sample(80), 5000),
  "a year-70 file cut inside a quartet" = function() cut_sample(make_sample(70), 1203),
  "a year-78 file cut inside a record" = function() cut_sample(make_sample(78), 2000),
  "a year-88 file cut inside a line end" = function() cut_sample(make_sample(88), 2801),
  "a year the decoder does not handle" = function() renamed(make_sample(80), "unknown75.dat"),
  "a path too short for a year" = function() renamed(make_sample(80), "x.da"),
  "a file that does not exist" = function() file.path(work_dir(), "missing80.dat")
)

for (what in names(failures)) {
  local({
    make_input <- failures[[what]]
    test_that(paste0(what, ": the error is the command line's message"), {
      input <- make_input()
      run <- run_decoder(c(input, file.path(work_dir(), "failed.txt")))
      expect_identical(run$status, 1L)
      expected <- cli_failure(run)
      expect_false(is.na(expected))
      message <- tryCatch({
        read_quietly(input)
        NA_character_
      }, error = conditionMessage)
      expect_identical(message, expected)
    })
  })
}

test_that("keep_going rejects the cut record, as -k does", {
  input <- cut_sample(make_sample(80), 5000)
  cli <- cli_tables(input, keep_going = TRUE)
  result <- read_quietly(input, keep_going = TRUE)
  expect_identical(nrow(result$rejects), 1L)
  expect_same_tables(result, cli)
  expect_same_rejects(result, cli)
})

test_that("keep_going does not hide a file that cannot be decoded at all", {
  input <- renamed(make_sample(80), "unknown75.dat")
  expect_error(read_quietly(input, keep_going = TRUE), "75")
})

test_that("the size warning is the command line's", {
  input <- make_sample(80)
  run <- run_decoder(c(input, file.path(work_dir(), "warned.txt")))
  expected <- grep("^pseudoFileSize", run$stderr, value = TRUE)
  expect_length(expected, 1)
  expect_warning(read_survey(input), expected, fixed = TRUE)
})

test_that("with keep_going, a gzip stream cut short warns and keeps the records before it", {
  input <- make_sample(80, records = 400)
  packed <- file.path(work_dir(), "cut-400-80.dat.gz")
  connection <- gzfile(packed, "wb")
  writeBin(readBin(input, "raw", file.size(input)), connection)
  close(connection)
  cut <- sub("\\.dat\\.gz$", "-80.dat.gz", packed)
  writeBin(readBin(packed, "raw", file.size(packed) %/% 2), cut)
  run <- run_decoder(c("-k", cut, file.path(work_dir(), "cut-gzip.txt")))
  expect_identical(run$status, 1L)
  result <- NULL
  expect_warning(result <- read_quietly(cut, keep_going = TRUE), cli_failure(run), fixed = TRUE)
  expect_false(result$complete)
  decoded <- length(readLines(file.path(work_dir(), "cut-gzip.txt")))
  expect_gt(decoded, 0)
  expect_identical(sum(vapply(result$tables, nrow, 0L)), decoded)
})
