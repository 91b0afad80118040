#ifndef SURVEY_INPUT_INPUTSOURCE_H_
#define SURVEY_INPUT_INPUTSOURCE_H_

#include <cstddef>
#include <memory>
#include <span>
#include <string>

// Where the input's bytes come from.
enum class InputKind {
  kFile,           // a plain file, read as it is
  kStandardInput,  // the path "-", gzip data or not (told by its first bytes)
  kGzipFile,       // a file starting with the gzip signature, whatever its name
};

// The kind of `path`. Reads at most the first two bytes of the file; a file
// that cannot be opened counts as plain, and the Reader reports it. Standard
// input is not read here: openBlockSource() tells its kind.
InputKind inputKindOf(const std::string& path);

// The part of `path` that carries the survey year: for a gzip file the path
// without a final ".gz" when it has one, else the whole path.
std::string yearNameOf(const std::string& path, InputKind kind);

// The input's bytes, delivered a block at a time.
class BlockSource {
 public:
  virtual ~BlockSource() = default;
  // Stores up to `n` bytes at `out` and returns how many; 0 only at the end,
  // which is then reported again on every call. Fails with the decoder's
  // error when the input cannot be read or (gzip) is damaged.
  virtual std::size_t read(unsigned char* out, std::size_t n) = 0;
};

// Opens `path` as `kind`; standard input is decompressed when it starts with
// the gzip signature, its first bytes read once and delivered all the same.
// Fails with "inFile false after construction:
// probably file "PATH" does not exist" if it cannot be opened. Messages of
// later failures name `path`.
std::unique_ptr<BlockSource> openBlockSource(const std::string& path, InputKind kind);

// The bytes of `bytes` (not copied: they must outlive the source), inflated
// when they start with the gzip signature; `name` names them in messages.
std::unique_ptr<BlockSource> openMemorySource(std::span<const unsigned char> bytes,
                                              const std::string& name);

#endif  // SURVEY_INPUT_INPUTSOURCE_H_
