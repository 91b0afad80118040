#ifndef SURVEY_CORE_EXISTINGOUTPUT_H_
#define SURVEY_CORE_EXISTINGOUTPUT_H_

#include <functional>
#include <istream>
#include <string>
#include <string_view>

// What a run may do with a file it finds at one of its output paths: replace
// or remove one the decoder wrote, never one it did not.

// Fails with "Output file "PATH" exists and is not a decoded text file;
// refusing to overwrite it" when `path` names a non-empty regular file whose
// first 64 KiB hold a byte other than tab, line feed and 0x20 to 0x7E. Every
// file the decoder writes is such text, so a file with another byte (a raw
// survey file, a gzip file) is someone else's. Anything that is not a regular
// file, or cannot be read, passes: opening it for writing reports the fault.
void refuseToOverwriteForeignFile(const std::string& path);

// Whether the next bytes of `in` are `text`; reads as many bytes as it has.
bool streamStartsWith(std::istream& in, std::string_view text);

// Removes the regular file `path` when `startsWithHeader`, reading the file
// from its start, finds the header the decoder writes there; a file of that
// name holding anything else is the user's and stays. A file that cannot be
// read or removed stays too: it is left, never reported.
void removeDecoderFile(const std::string& path,
                       const std::function<bool(std::istream&)>& startsWithHeader);

#endif  // SURVEY_CORE_EXISTINGOUTPUT_H_
