#include "core/Interruption.h"
#include "driver/Conversion.h"
#include "driver/StandardStreams.h"

int main(int argc, char** argv) {
  openClosedStandardDescriptors();
  catchInterruptions();
  return runGuarded(argc, argv);
}
