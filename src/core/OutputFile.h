#ifndef SURVEY_CORE_OUTPUTFILE_H_
#define SURVEY_CORE_OUTPUTFILE_H_

#include <memory>
#include <ostream>
#include <streambuf>
#include <string>

// A checked text output file. Construction opens the file, creating it if it
// is absent, and fails if it cannot be opened; an existing file keeps its
// contents until the first bytes reach it, so a run that fails before writing
// anything leaves an earlier run's file (or a mistyped input) as it was.
// finish(), which the driver calls at the end of the run, checks every write.
// The destructor only closes and never raises.
class OutputFile {
 public:
  explicit OutputFile(const std::string& path);
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  ~OutputFile();

  // The stream the writers use. Owned by this object.
  std::ostream& stream() { return stream_; }

  // Writes out everything buffered, then fails with "... false before
  // destruction." if any write so far (or this last one) failed; the file is
  // closed either way. `emptyIfUnwritten` empties a file that nothing was
  // written to, as a complete run must leave it; a failed run passes false
  // and leaves such a file untouched. Calling it again does nothing.
  void finish(bool emptyIfUnwritten = true);

  const std::string fileName;

 private:
  class FileBuffer;
  std::unique_ptr<FileBuffer> buffer_;
  std::ostream stream_;
};

#endif  // SURVEY_CORE_OUTPUTFILE_H_
