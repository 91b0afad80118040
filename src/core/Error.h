#ifndef SURVEY_CORE_ERROR_H_
#define SURVEY_CORE_ERROR_H_

#include <sstream>
#include <stdexcept>
#include <string>

// The decoder fails in one way only: a std::runtime_error carrying one message.
// Callers tell failures apart by text, never by type.

// Raises the decoder's error with `message` as its what() text.
[[noreturn]] void throwMessage(const std::string& message);

// Assembles a message from its pieces with the stream's default formatting
// (literal texts, decimal numbers, strings) and raises it.
template <class... Pieces>
[[noreturn]] void throwMessage(const Pieces&... pieces) {
  std::ostringstream text;
  (text << ... << pieces);
  throwMessage(text.str());
}

#endif  // SURVEY_CORE_ERROR_H_
