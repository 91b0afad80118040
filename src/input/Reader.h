#ifndef SURVEY_INPUT_READER_H_
#define SURVEY_INPUT_READER_H_

#include <cstddef>
#include <memory>
#include <string>

#include "core/Stream.h"
#include "input/InputSource.h"

// The first stage of every chain: hands out the input's bytes unchanged, in
// file order, CR, LF and every other byte included: a file's, standard
// input's ("-") or, for a gzip file, the decompressed ones (see InputKind).
// It reads in large blocks into a buffer of its own so that a byte costs no
// call. It has no upstream link and writes no report.
class Reader : public Stream<unsigned char> {
 public:
  // Opens `path` for reading as `kind` (inputKindOf(path), which the caller
  // has already asked) says; fails with "inFile false after construction:
  // ..." if the file cannot be opened.
  explicit Reader(const std::string& path, InputKind kind = InputKind::kFile);

  // Delivers the next byte. The end is the end of the file; once it has been
  // reported, every later call reports it again. A read that fails for any
  // other reason fails with "'get()' from file ... failed for a reason other
  // than end of file" (a damaged gzip file with "gzip input ... is damaged:
  // ..."), after every byte read before the failure was delivered.
  bool get(unsigned char& item) override {
    if (next_ == filled_ && !refill()) return false;
    item = buffer_[next_++];
    return true;
  }

  // As n calls of get(), copying whole stretches of the buffer at once.
  bool getMany(unsigned char* out, std::size_t n, std::size_t& got) override;

  const std::string fileName;

 private:
  // Makes at least one unread byte available; false at the end of the file.
  bool refill();

  std::unique_ptr<BlockSource> source_;
  std::unique_ptr<unsigned char[]> buffer_;
  std::size_t next_ = 0;    // index of the next byte to hand out
  std::size_t filled_ = 0;  // bytes of the buffer holding file data
};

#endif  // SURVEY_INPUT_READER_H_
