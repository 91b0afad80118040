#ifndef SURVEY_CORE_STREAM_H_
#define SURVEY_CORE_STREAM_H_

#include <cstddef>
#include <string>

// One stage of the decoding chain: hands out one item per get() and pulls its
// own input from the stage before it through an Upstream link. The driver owns
// every stage; a stage never destroys the stage that feeds it.
template <class T>
class Stream {
 public:
  Stream() = default;
  Stream(const Stream&) = delete;
  Stream& operator=(const Stream&) = delete;
  virtual ~Stream() = default;

  // Stores the next item in `item` and returns true, or returns false when no
  // item is left ("the end"), leaving `item` to the stage's own rules. A stage
  // may be asked again after the end; each stage says what it answers then.
  // Failures raise the decoder's error.
  virtual bool get(T& item) = 0;

  // Bulk form of get(), exactly equivalent to calling get() repeatedly: stores
  // up to `n` items in out[0], out[1], ..., adding 1 to `got` for each item as
  // soon as it is delivered (so the count is right even when a later item
  // fails). Callers pass `got` as 0, so it is also the next item's index.
  // Returns true after `n` items, false when one get() would have reported the
  // end after `*got` items. Stages on the byte path override it for speed.
  virtual bool getMany(T* out, std::size_t n, std::size_t& got) {
    for (std::size_t i = 0; i < n; ++i) {
      if (!get(out[i])) return false;
      ++got;
    }
    return true;
  }

  // Writes this stage's own end-of-run report, if it has one. The driver calls
  // it once, last stage first, before destroying the stage; it may raise.
  // The upstream link's statistics line follows when the stage is destroyed.
  virtual void finish() {}

  std::string name = "unnamed stream";
};

#endif  // SURVEY_CORE_STREAM_H_
