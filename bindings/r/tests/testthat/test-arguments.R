# The arguments of read_survey() on the sample the package ships.

shipped <- function() system.file("extdata", "sample80.dat", package = "surveydecoder")

test_that("the shipped sample reads into typed tables", {
  result <- read_quietly(shipped())
  expect_named(result, c("tables", "schema", "rejects", "year", "complete"))
  expect_named(result$tables, c("District", "School"))
  expect_named(result$schema, c("District", "School"))
  expect_identical(result$year, 80L)
  expect_true(result$complete)
  expect_named(result$rejects, c("lines_before", "start_offset", "resume_offset",
                                 "records_rejected", "message", "first_bytes"))
  district <- result$tables$District
  expect_identical(names(district), c("record", paste0("a", 1:1564)))
  expect_identical(result$schema$District$column, names(district))
  # Every line of the output file is in one table or the other.
  lines <- sort(c(district$record, result$tables$School$record))
  expect_identical(lines, as.numeric(seq_along(lines)))
  classes <- vapply(district, class, "")
  schema <- result$schema$District
  expect_identical(unname(classes),
                   ifelse(schema$type == "", "logical",
                          ifelse(schema$column_type == "string", "character", "numeric")))
})

selections <- list(
  list(year = 1980, formats = NULL, columns = NULL),
  list(year = 80, formats = "School", columns = NULL),
  list(year = NULL, formats = c("District_Summary", "District"), columns = NULL),
  list(year = NULL, formats = NULL, columns = c("a65", "a3", "record", "a2000")),
  list(year = NULL, formats = "District", columns = "record")
)

for (selection in selections) {
  local({
    test_that(sprintf("year %s, formats %s, columns %s keep the same cells",
                      deparse(selection$year), deparse(selection$formats),
                      deparse(selection$columns)), {
      full <- read_quietly(shipped())
      chosen <- read_quietly(shipped(), year = selection$year, formats = selection$formats,
                            columns = selection$columns)
      formats <- intersect(names(full$tables), selection$formats %||% names(full$tables))
      expect_named(chosen$tables, formats)
      for (format in formats) {
        kept <- names(full$tables[[format]])
        if (!is.null(selection$columns)) {
          kept <- kept[kept %in% c("record", selection$columns)]
        }
        expect_identical(chosen$tables[[format]], full$tables[[format]][kept])
        schema <- full$schema[[format]]
        schema <- schema[schema$column %in% kept, ]
        rownames(schema) <- NULL
        expect_identical(chosen$schema[[format]], schema)
      }
    })
  })
}

refusals <- list(
  list(args = list(year = 75),
       message = "year needs one of the survey years 68 to 74, 76, 78, 80, 82, 86 and 88 (as 80 or 1980), not 75"),
  list(args = list(year = "80"), message = "not \"80\""),
  list(args = list(year = 80.5), message = "not 80.5"),
  list(args = list(formats = "Schools"), message = "not \"Schools\""),
  list(args = list(columns = c("a1", "b2")), message = "not c(\"a1\", \"b2\")"),
  list(args = list(columns = "a0"), message = "not \"a0\""),
  list(args = list(keep_going = NA), message = "keep_going must be TRUE or FALSE")
)

for (refusal in refusals) {
  local({
    test_that(paste("refuses", deparse(refusal$args)), {
      expect_error(do.call(read_quietly, c(list(shipped()), refusal$args)), refusal$message,
                   fixed = TRUE)
    })
  })
}

# The shipped sample with the four bytes at `address` of its first District
# record replaced by `word` (hex).
with_word <- function(address, word) {
  bytes <- readBin(shipped(), "raw", file.size(shipped()))
  line <- read_quietly(shipped(), formats = "District", columns = "record")$tables$District$record[[1]]
  at <- (line - 1) * 2642 + (address - 1) * 4
  bytes[at + 1:4] <- as.raw(strtoi(substring(word, c(1, 3, 5, 7), c(2, 4, 6, 8)), 16L))
  path <- file.path(tempdir(), sprintf("word-%s-80.dat", word))
  writeBin(bytes, path)
  list(path = path, line = line)
}

# The double's eight bytes, most significant first, in hex.
double_bits <- function(x) paste(rev(writeBin(x, raw(), size = 8, endian = "little")), collapse = "")

floats <- read.table(header = TRUE, colClasses = "character", text = "
  word      double            nan
  3DCCCCCD  3fb99999a0000000  FALSE
  00000001  36a0000000000000  FALSE
  80000000  8000000000000000  FALSE
  7F7FFFFF  47efffffe0000000  FALSE
  FF800000  fff0000000000000  FALSE
  7FC00000  7ff8000000000000  TRUE
  FFC00001  fff8000020000000  TRUE
  7F800001  7ff0000020000000  TRUE
")

for (i in seq_len(nrow(floats))) {
  local({
    word <- floats$word[[i]]
    expected <- floats$double[[i]]
    nan <- as.logical(floats$nan[[i]])
    test_that(sprintf("the float %s reads as the double %s", word, expected), {
      input <- with_word(65, word)
      value <- read_quietly(input$path, formats = "District",
                           columns = "a65")$tables$District$a65[[1]]
      expect_identical(double_bits(value), expected)
      expect_identical(is.nan(value), nan)
      expect_identical(is.na(value), nan)
    })
  })
}
