// survey-damage KIND SEED INPUT OUTPUT [AT]: writes INPUT with one damage of
// KIND to OUTPUT, and prints what it did: the kind, the offset where the
// damage starts, and the bytes removed and added there.

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "survey-damage/Damage.h"

int main(int argc, char** argv) {
  if (argc != 5 && argc != 6) {
    std::cerr << "usage: survey-damage KIND SEED INPUT OUTPUT [AT]\n"
                 "KIND: flip, delete, insert, lose-crlf, overwrite, truncate or duplicate\n";
    return 2;
  }
  const auto kind = damage::kindNamed(argv[1]);
  if (!kind) {
    std::cerr << "survey-damage: unknown kind \"" << argv[1] << "\"\n";
    return 2;
  }
  const std::uint64_t seed = std::strtoull(argv[2], nullptr, 10);
  std::ifstream in(argv[3], std::ios::binary);
  if (!in) {
    std::cerr << "survey-damage: cannot read \"" << argv[3] << "\"\n";
    return 1;
  }
  std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const damage::Done done =
      argc == 6 ? damage::damageAt(file, *kind, std::strtoull(argv[5], nullptr, 10), seed)
                : damage::damage(file, *kind, seed);
  std::ofstream out(argv[4], std::ios::binary);
  out << file;
  if (!out.flush()) {
    std::cerr << "survey-damage: cannot write \"" << argv[4] << "\"\n";
    return 1;
  }
  std::cout << damage::nameOf(done.kind) << '\t' << done.at << '\t' << done.removed << '\t'
            << done.added << '\n';
  return 0;
}
