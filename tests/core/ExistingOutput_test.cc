#include "core/ExistingOutput.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "core/FailureText.h"
#include "e2e/RunProgram.h"

namespace {

const std::size_t kLookedAt = 64 * 1024;

// Only text the decoder could have written may be replaced; only the first
// 64 KiB of a regular file are looked at.
TEST(ExistingOutput, ForeignFileIsRefusedByAnyOtherByteInItsFirst64KiB) {
  struct Case {
    const char* what;
    std::optional<std::string> contents;  // nullopt: no file
    bool refused;
  };
  const Case cases[] = {
      {"absent", std::nullopt, false},
      {"empty", "", false},
      {"decoded text", "468\t0\tD RC0J ~}{\n\t\t\n", false},
      {"CR LF", "1\t2\r\n", true},
      {"gzip", "\x1f\x8b\x08", true},
      {"a NUL", std::string("ab\0c", 4), true},
      {"DEL", "ab\x7f", true},
      {"a high byte", "caf\xc3\xa9", true},
      {"last looked-at byte", std::string(kLookedAt - 1, 'x') + "\x01", true},
      {"first byte past them", std::string(kLookedAt, 'x') + "\x01", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchDir dir;
    const std::string path = (dir / "out.txt").string();
    if (c.contents) writeFile(path, *c.contents);
    EXPECT_EQ(failureOf([&] { refuseToOverwriteForeignFile(path); }),
              c.refused ? "Output file \"" + path +
                              "\" exists and is not a decoded text file; refusing to overwrite it"
                        : "no failure");
    EXPECT_EQ(std::filesystem::exists(path), c.contents.has_value());
    if (c.contents) {
      EXPECT_EQ(readFile(path), *c.contents);
    }
  }
  // Not a regular file: nothing is read from it.
  for (const char* path : {"/dev/null", "/dev/zero", "/"}) {
    EXPECT_EQ(failureOf([&] { refuseToOverwriteForeignFile(path); }), "no failure") << path;
  }
}

}  // namespace
