#include "driver/Conversion.h"

int main(int argc, char** argv) {
  return runGuarded(argc, argv);
}
