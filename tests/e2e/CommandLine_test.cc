#include <gtest/gtest.h>

#include "e2e/RunProgram.h"

namespace {

TEST(CommandLineSmoke, DecoderStartsAndExits) {
  ScratchDir dir;
  RunResult r = runDecoder({}, dir.path());
  EXPECT_NE(r.exitStatus, 127);
}

}  // namespace
