# Shared helpers: samples made by the project's tools, runs of the command
# line, its tables loaded as the README loads them, and comparisons of a
# read_survey() result with them. The tools come from the environment
# (tools/run-tests sets it); tests that need them are skipped without.

tool <- function(name) {
  path <- Sys.getenv(name)
  if (!nzchar(path)) skip(paste(name, "is not set: run the tests through tools/run-tests"))
  path
}

work_dir <- function() {
  dir <- file.path(tempdir(), "surveydecoder-tests")
  dir.create(dir, showWarnings = FALSE)
  dir
}

# A sample of `year` in value profile `values`, named so that its name gives
# the year, made once per session.
make_sample <- function(year, values = "light", records = 40, seed = 1) {
  path <- file.path(work_dir(), sprintf("%s-%d-s%d-%02d.dat", values, records, seed, year))
  if (!file.exists(path)) {
    status <- system2(tool("SURVEY_SAMPLE"), c(year, path, "--records", records, "--seed", seed,
                                               "--values", values), stdout = FALSE)
    stopifnot(status == 0)
  }
  path
}

# `input` with one damage of `kind` made by survey-damage, the year kept in its name.
damaged_sample <- function(input, kind, seed) {
  year <- substring(input, nchar(input) - 5L, nchar(input) - 4L)
  path <- file.path(work_dir(), sprintf("%s-%d-%s-%s.dat", kind, seed, basename(input), year))
  status <- system2(tool("SURVEY_DAMAGE"), c(kind, seed, input, path), stdout = FALSE)
  stopifnot(status == 0)
  path
}

# A run of the command line: its exit status and standard error's lines.
run_decoder <- function(args) {
  err <- tempfile(tmpdir = work_dir())
  status <- system2(tool("SURVEY_DECODER"), args, stdout = FALSE, stderr = err)
  lines <- readLines(err)
  unlink(err)
  list(status = status, stderr = lines)
}

# The failure message the command line prints: the line after the report's
# first one.
cli_failure <- function(run) {
  at <- match("Caught std::exception whose 'what()' output appears below.", run$stderr)
  if (is.na(at)) NA_character_ else run$stderr[[at + 1L]]
}

# The README's loader, through base R: the table typed by its schema, only an
# empty cell missing.
load_table <- function(path) {
  schema <- read.delim(sub("\\.tsv$", ".schema.tsv", path), colClasses = "character",
                       na.strings = character(0), quote = "", comment.char = "")
  classes <- setNames(ifelse(schema$column_type == "string", "character", "numeric"),
                      schema$column)
  read.delim(path, colClasses = classes, na.strings = "", quote = "", comment.char = "",
             strip.white = FALSE, check.names = FALSE)
}

# What `survey-decoder [-k] --tables input` wrote: its tables, schemas and
# rejects file as data frames, and its exit status.
cli_tables <- function(input, keep_going = FALSE) {
  out <- file.path(work_dir(), paste0(basename(input), if (keep_going) ".k", ".txt"))
  run <- run_decoder(c(if (keep_going) "-k", "--tables", input, out))
  tables <- list()
  schemas <- list()
  for (format in c("District", "School", "District_Summary")) {
    path <- paste0(out, ".", format, ".tsv")
    if (!file.exists(path)) next
    tables[[format]] <- load_table(path)
    schemas[[format]] <- read.delim(sub("\\.tsv$", ".schema.tsv", path),
                                    colClasses = "character", na.strings = character(0),
                                    quote = "", comment.char = "")
  }
  rejects_path <- paste0(out, ".rejects.tsv")
  rejects <- if (file.exists(rejects_path)) {
    read.delim(rejects_path, colClasses = c(rep("numeric", 4), "character", "character"),
               na.strings = character(0), quote = "", comment.char = "")
  }
  list(status = run$status, tables = tables, schemas = schemas, rejects = rejects,
       table_path = paste0(out, "."))
}

# x rounded to single precision, NA kept: what a float cell of the tables
# holds, which they print as the shortest decimal of the single.
single <- function(x) {
  y <- readBin(writeBin(x, raw(), size = 4), "double", size = 4, n = length(x))
  y[is.na(x) & !is.nan(x)] <- NA
  y
}

expect_same_column <- function(ours, theirs, column_type, label) {
  if (column_type == "string") {
    # A text of zero bytes alone is "" here and an empty cell there.
    ours[!is.na(ours) & ours == ""] <- NA
    expect_identical(ours, theirs, label = label)
  } else if (column_type == "float32") {
    expect_identical(ours, single(ours), label = paste(label, "is single-exact"))
    expect_identical(ours, single(theirs), label = label)
    # identical() takes -0 for 0; their reciprocals tell them apart.
    expect_identical(1 / ours, 1 / single(theirs), label = paste(label, "(signed zeros)"))
  } else {
    expect_identical(ours, theirs, label = label)
  }
}

# Every table, cell and schema row of `result` equals what the command line wrote.
expect_same_tables <- function(result, cli) {
  expect_identical(names(result$tables), names(cli$tables))
  for (format in names(cli$tables)) {
    ours <- result$tables[[format]]
    theirs <- cli$tables[[format]]
    expect_identical(names(ours), names(theirs))
    expect_identical(nrow(ours), nrow(theirs))
    types <- setNames(cli$schemas[[format]]$column_type, cli$schemas[[format]]$column)
    letters <- setNames(cli$schemas[[format]]$type, cli$schemas[[format]]$column)
    for (column in names(theirs)) {
      if (letters[[column]] == "") {
        # A column that never held a value: logical NA here, an empty text column there.
        expect_identical(ours[[column]], rep(NA, nrow(theirs)), label = paste(format, column))
        expect_true(all(is.na(theirs[[column]])))
        next
      }
      expect_same_column(ours[[column]], theirs[[column]], types[[column]],
                         paste(format, column))
    }
    schema <- result$schema[[format]]
    schema$address <- ifelse(is.na(schema$address), "", as.character(schema$address))
    expect_identical(schema, cli$schemas[[format]], label = paste(format, "schema"))
  }
}

# The rejects rows of `result` equal the command line's rejects file (none
# when it wrote none). A record past its table's last column names the table,
# where the command line names its file.
expect_same_rejects <- function(result, cli) {
  theirs <- cli$rejects
  if (is.null(theirs)) {
    expect_identical(nrow(result$rejects), 0L)
    return(invisible())
  }
  path <- gsub("([][{}()+*^$|\\\\?.])", "\\\\\\1", cli$table_path)
  theirs$message <- gsub(paste0("the last column of ", path, "(\\w+)\\.tsv"),
                         "the last column of the \\1 table", theirs$message)
  expect_identical(result$rejects, theirs)
}

`%||%` <- function(x, y) if (is.null(x)) y else x

# read_survey() without the size warning that every sample, shorter than a
# full year, gives (test-errors.R checks that warning).
read_quietly <- function(...) {
  withCallingHandlers(read_survey(...), warning = function(w) {
    if (startsWith(conditionMessage(w), "pseudoFileSize != ")) invokeRestart("muffleWarning")
  })
}
