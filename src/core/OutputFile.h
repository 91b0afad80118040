#ifndef SURVEY_CORE_OUTPUTFILE_H_
#define SURVEY_CORE_OUTPUTFILE_H_

#include <fstream>
#include <memory>
#include <string>

// A checked text output file: created (or emptied) at construction, which fails
// if the file cannot be made; checked again by finish(), which the driver calls
// at the end of the run. The destructor only closes and never raises.
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
  // closed either way. Calling it again does nothing.
  void finish();

  const std::string fileName;

 private:
  std::unique_ptr<char[]> buffer_;
  std::ofstream stream_;
};

#endif  // SURVEY_CORE_OUTPUTFILE_H_
