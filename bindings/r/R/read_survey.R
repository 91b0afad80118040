format_names <- c("District", "School", "District_Summary")

read_survey <- function(path, year = NULL, keep_going = FALSE, formats = NULL, columns = NULL) {
  if (!is.character(path) || length(path) != 1L || is.na(path)) {
    stop("path must be one file path")
  }
  if (!is.logical(keep_going) || length(keep_going) != 1L || is.na(keep_going)) {
    stop("keep_going must be TRUE or FALSE")
  }
  decoded <- .decode_survey(path.expand(path), survey_year(year), keep_going,
                            format_names %in% chosen_formats(formats), !is.null(columns),
                            chosen_addresses(columns))
  # The library's warnings (a file size other than the year's), as the command line's.
  for (text in decoded$warnings) warning(text)
  if (!is.null(decoded$failure)) {
    # Without keep_going, or before any record, a failure leaves nothing to return.
    if (is.null(decoded$tables)) stop(decoded$failure)
    warning(decoded$failure)
  }
  list(tables = decoded$tables, schema = decoded$schema, rejects = decoded$rejects,
       year = decoded$year, complete = decoded$complete)
}

# The survey year as the decoder takes it (80 for 80 and 1980), NA_integer_
# for the year of the file name; any other value is refused, naming the years.
survey_year <- function(year) {
  if (is.null(year)) {
    return(NA_integer_)
  }
  handled <- .survey_years()
  whole <- is.numeric(year) && length(year) == 1L && !is.na(year) && year == trunc(year)
  two_digits <- if (whole && year >= 1900 && year <= 1999) year - 1900 else year
  if (!whole || !(two_digits %in% handled$years)) {
    stop(sprintf("year needs one of the survey years %s (as 80 or 1980), not %s",
                 handled$text, paste(deparse(year), collapse = " ")))
  }
  as.integer(two_digits)
}

chosen_formats <- function(formats) {
  if (is.null(formats)) {
    return(format_names)
  }
  unknown <- setdiff(formats, format_names)
  if (!is.character(formats) || length(unknown) != 0L) {
    stop(sprintf("formats names record formats among %s, not %s",
                 paste(format_names, collapse = ", "),
                 paste(deparse(if (is.character(formats)) unknown else formats),
                       collapse = " ")))
  }
  formats
}

# The addresses of the columns a1, a2, ... kept; `record` is always kept.
chosen_addresses <- function(columns) {
  if (is.null(columns)) {
    return(integer(0))
  }
  named <- if (is.character(columns)) setdiff(columns, "record") else columns
  valid <- is.character(columns) && !anyNA(named) &&
    all(grepl("^a[1-9][0-9]{0,8}$", named))
  if (!valid) {
    stop(sprintf("columns names table columns such as \"record\" or \"a12\", not %s",
                 paste(deparse(columns), collapse = " ")))
  }
  sort(unique(as.integer(substring(named, 2L))))
}
