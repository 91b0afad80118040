#include "core/ReportStream.h"

#include <iostream>
#include <streambuf>

namespace {

class DiscardingBuffer : public std::streambuf {
 protected:
  int_type overflow(int_type c) override { return traits_type::not_eof(c); }
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

thread_local std::ostream* current = nullptr;

}  // namespace

std::ostream& discardingStream() {
  thread_local DiscardingBuffer buffer;
  thread_local std::ostream stream(&buffer);
  return stream;
}

std::ostream& reportStream() {
  return current != nullptr ? *current : std::cout;
}

ReportTo::ReportTo(std::ostream* out) : saved_(current) {
  current = out != nullptr ? out : &discardingStream();
}

ReportTo::~ReportTo() {
  current = saved_;
}
