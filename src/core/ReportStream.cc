#include "core/ReportStream.h"

#include <iostream>
#include <streambuf>

namespace {

class DiscardingBuffer : public std::streambuf {
 protected:
  int_type overflow(int_type c) override { return traits_type::not_eof(c); }
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

thread_local std::ostream* currentReport = nullptr;
thread_local std::ostream* currentWarnings = nullptr;

}  // namespace

std::ostream& discardingStream() {
  thread_local DiscardingBuffer buffer;
  thread_local std::ostream stream(&buffer);
  return stream;
}

std::ostream& reportStream() {
  return currentReport != nullptr ? *currentReport : std::cout;
}

std::ostream& warningStream() {
  return currentWarnings != nullptr ? *currentWarnings : std::cerr;
}

ReportTo::ReportTo(std::ostream& report, std::ostream& warnings)
    : savedReport_(currentReport), savedWarnings_(currentWarnings) {
  currentReport = &report;
  currentWarnings = &warnings;
}

ReportTo::~ReportTo() {
  currentReport = savedReport_;
  currentWarnings = savedWarnings_;
}
