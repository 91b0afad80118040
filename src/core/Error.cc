#include "core/Error.h"

void throwMessage(const std::string& message) {
  throw std::runtime_error(message);
}
