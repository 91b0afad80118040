#ifndef SURVEY_CORE_UPSTREAM_H_
#define SURVEY_CORE_UPSTREAM_H_

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <type_traits>

#include "core/Error.h"
#include "core/ReportStream.h"
#include "core/Stream.h"

// The counted link from a stage to the stage that feeds it. Every request for
// input goes through here, so moreGets and noMoreGets cover all of them. The
// link does not own the upstream stage. Destroying the link writes its
// statistics line to standard output.
template <class U>
class Upstream {
 public:
  explicit Upstream(Stream<U>* upstream) : stage(upstream) {}
  Upstream(const Upstream&) = delete;
  Upstream& operator=(const Upstream&) = delete;

  ~Upstream() {
    reportStream() << stage->name << "\tmoreGets\tnoMoreGets\t" << moreGets << '\t' << noMoreGets
                   << std::endl;
  }

  // Requests one item; counts the answer.
  bool get(U& item) {
    bool delivered = stage->get(item);
    ++(delivered ? moreGets : noMoreGets);
    return delivered;
  }

  // Requests up to `n` items at once; counts exactly as `n` single requests
  // stopping at the first end would, also when the upstream fails midway.
  // Returns the number delivered; fewer than `n` means the end was reported.
  std::size_t getMany(U* out, std::size_t n) {
    std::size_t got = 0;
    bool complete;
    try {
      complete = stage->getMany(out, n, got);
    } catch (...) {
      moreGets += static_cast<std::uint32_t>(got);
      throw;
    }
    moreGets += static_cast<std::uint32_t>(got);
    if (!complete) ++noMoreGets;
    return got;
  }

  // Pulls one byte that must be `wanted`; fails with "stream ended ..." or
  // "stream contained ..." and the 1-based input location otherwise.
  unsigned char expect(unsigned char wanted) requires std::is_same_v<U, unsigned char> {
    unsigned char byte = 0;
    if (!get(byte)) {
      throwMessage("stream ended", " at input location", " ", moreGets, " but", " ",
                   static_cast<unsigned>(wanted), " was expected");
    }
    if (byte != wanted) {
      throwMessage("stream contained ", static_cast<unsigned>(byte), " at input location", " ",
                   moreGets, " but", " ", static_cast<unsigned>(wanted), " was expected");
    }
    return byte;
  }

  Stream<U>* stage;
  std::uint32_t moreGets = 0;
  std::uint32_t noMoreGets = 0;
};

#endif  // SURVEY_CORE_UPSTREAM_H_
