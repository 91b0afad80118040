// The README's recipe for decoding a whole archive, taken from the README as it
// stands and run by bash as a reader would paste it.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include "e2e/DurationLine.h"
#include "e2e/RunProgram.h"

namespace {

namespace fs = std::filesystem;

// The shell lines between the README's recipe markers, without the code fence.
std::string recipeFromReadme() {
  const std::string readme = readFile(fs::path(SURVEY_SOURCE_DIR) / "README.md");
  const std::string begin = "<!-- archive-recipe -->\n";
  const std::size_t from = readme.find(begin);
  const std::size_t to = readme.find("<!-- /archive-recipe -->");
  if (from == std::string::npos || to == std::string::npos || to < from) return "";
  std::istringstream block(readme.substr(from + begin.size(), to - from - begin.size()));
  std::string script;
  for (std::string line; std::getline(block, line);) {
    if (line.rfind("```", 0) != 0) script += line + "\n";
  }
  return script;
}

TEST(ArchiveRecipe, DecodesEveryFileAsADirectRunDoesAndListsTheFailedOne) {
  ScratchDir dir;
  const std::string recipe = recipeFromReadme();
  ASSERT_NE(recipe, "") << "no recipe between the README's markers";
  writeFile(dir / "recipe.sh", recipe);
  fs::create_directory(dir / "archive");
  ASSERT_EQ(runSample({"69", "archive/data69.dat", "--records", "20"}, dir.path()).exitStatus, 0);
  ASSERT_EQ(runSample({"80", "archive/data80.dat", "--records", "5"}, dir.path()).exitStatus, 0);
  // A name that gives no survey year: its run fails, and the recipe must say so.
  fs::copy_file(dir / "archive/data69.dat", dir / "archive/data75.dat");

  const char* path = std::getenv("PATH");
  const std::string searchPath = fs::path(SURVEY_DECODER_EXE).parent_path().string() + ":" +
                                 (path != nullptr ? path : "/usr/bin:/bin");
  const RunResult run =
      runProgram("/usr/bin/env", {"PATH=" + searchPath, "bash", "recipe.sh"}, dir.path());
  ASSERT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_EQ(run.out, "decoded/data75: could not find metadata for year 75\n");
  EXPECT_EQ(run.err, "");

  for (const std::string name : {"data69", "data80", "data75"}) {
    SCOPED_TRACE(name);
    const std::string direct = "direct-" + name + ".txt";
    const RunResult expected = runDecoder({"archive/" + name + ".dat", direct}, dir.path());
    const fs::path decoded = dir / "decoded" / name;
    EXPECT_EQ(readFile(decoded.string() + ".status"), std::to_string(expected.exitStatus) + "\n");
    EXPECT_EQ(readFile(decoded.string() + ".txt"), readFile(dir / direct));
    EXPECT_EQ(readFile(decoded.string() + ".txt.meta.txt"), readFile(dir / (direct + ".meta.txt")));
    EXPECT_EQ(readFile(decoded.string() + ".stats"), expected.out);
    EXPECT_EQ(maskDuration(readFile(decoded.string() + ".err")), maskDuration(expected.err));
  }
}

}  // namespace
