#ifndef SURVEY_INPUT_READER_H_
#define SURVEY_INPUT_READER_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "core/Stream.h"
#include "input/InputSource.h"

// The first stage of every chain: hands out the input's bytes unchanged, in
// file order, CR, LF and every other byte included: a file's, standard
// input's ("-") or, for a gzip file, the decompressed ones (see InputKind).
// It reads in large blocks into a buffer of its own so that a byte costs no
// call. It has no upstream link and writes no report.
//
// For a run that skips damaged records it is also the window on the file in
// which the damage is searched: it knows every byte's file offset, can show
// bytes ahead of the next one and can go back over the bytes it keeps.
class Reader : public Stream<unsigned char> {
 public:
  // Opens `path` for reading as `kind` (inputKindOf(path), which the caller
  // has already asked) says; fails with "inFile false after construction:
  // ..." if the file cannot be opened.
  explicit Reader(const std::string& path, InputKind kind = InputKind::kFile);
  // Reads the bytes of `source` (owned from here on), at most `blockSize` at
  // a time; `path` names it.
  Reader(std::unique_ptr<BlockSource> source, const std::string& path,
         std::size_t blockSize = kBlockSize);

  static constexpr std::size_t kBlockSize = 256 * 1024;

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

  // From here on keeps at least the last `bytes` bytes delivered, so that
  // seek() can go back over them. The buffer grows as the kept bytes need.
  void keepBehind(std::size_t bytes) { keepBehind_ = bytes; }

  // File offset (0-based) of the byte get() delivers next.
  std::uint64_t offset() const { return base_ + next_; }

  // Makes the bytes from file offset `at` on available, up to `n` of them,
  // and stores their address in `bytes`; returns how many there are (fewer
  // than `n` only where the file ends). `at` must not lie before the bytes
  // kept (see keepBehind()). The pointer holds until the next call of any
  // member. Read failures are raised as get() raises them.
  std::size_t view(std::uint64_t at, std::size_t n, const unsigned char*& bytes);

  // Makes the byte at file offset `at` the next one delivered; `at` must not
  // lie before the bytes kept. An offset past the end means the end.
  void seek(std::uint64_t at);

  // File offset of the oldest byte kept; view() and seek() reach back to it.
  std::uint64_t oldestKept() const { return base_; }

  // File offset just past the last byte read from the input so far: where
  // the input ended, once a read has failed.
  std::uint64_t received() const { return base_ + filled_; }

  // Whether a read of the input failed (rather than the input ending).
  bool failed() const { return failed_; }

  const std::string fileName;

 private:
  // Makes at least one unread byte available; false at the end of the file.
  bool refill();
  // Moves the bytes from buffer index `keepFrom` on to the front, then reads
  // once into the space after them (at most a block); returns the bytes read.
  std::size_t fill(std::size_t keepFrom);
  // Makes the buffer hold at least `bytes`, keeping its contents.
  void reserve(std::size_t bytes);

  std::unique_ptr<BlockSource> source_;
  std::unique_ptr<unsigned char[]> buffer_;
  const std::size_t blockSize_;
  std::size_t capacity_;
  std::uint64_t base_ = 0;  // file offset of buffer_[0]
  std::size_t next_ = 0;    // index of the next byte to hand out
  std::size_t filled_ = 0;  // bytes of the buffer holding file data
  std::size_t keepBehind_ = 0;
  bool ended_ = false;
  bool failed_ = false;
};

#endif  // SURVEY_INPUT_READER_H_
