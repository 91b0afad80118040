#ifndef SURVEY_DRIVER_STANDARDSTREAMS_H_
#define SURVEY_DRIVER_STANDARDSTREAMS_H_

// Points each of descriptors 0, 1 and 2 that the process was started without
// at /dev/null, so that no file the run opens can take its place and receive
// the statistics or the warnings. A standard output that was closed is marked
// failed, so that the run reports it (see checkStandardOutput()); a closed
// standard error just stays silent. Call it first, before any file is opened.
void openClosedStandardDescriptors();

// Flushes standard output and fails with "write error on standard output" if
// any write to it failed.
void checkStandardOutput();

#endif  // SURVEY_DRIVER_STANDARDSTREAMS_H_
