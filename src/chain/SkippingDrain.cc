#include "chain/SkippingDrain.h"

#include <exception>

#include "chain/DecodedRecordWriter.h"
#include "core/Interruption.h"
#include "typing/ValueFormat.h"

std::function<void(const TypedRecord&)> writerCheckAfter(const std::uint64_t& written,
                                                         const RecordSink* rows) {
  return [&written, rows](const TypedRecord& record) {
    if (acceptRecord(record, written + 1) < record.size()) failUnrecognizedType();
    if (rows != nullptr) rows->check(record, written + 1);
  };
}

void drainSkippingDamage(Stream<TypedRecord>& stage, std::ostream& out, std::uint64_t& written,
                         Reader& reader, Recovery& recovery, RejectsLog& rejects,
                         RecordSink* rows) {
  LineWriter lines(out);
  TypedRecord record;
  try {
    for (;;) {
      throwIfInterrupted();
      recovery.beginRecord();
      bool more;
      try {
        more = stage.get(record);
      } catch (const std::exception& failure) {
        if (reader.failed()) throw;
        const Recovery::Loss loss = recovery.lost();
        rejects.reject(written, loss.start, failure.what(), reader, loss.records);
        recovery.recover();
        continue;
      }
      if (!more) break;
      rejects.resume(recovery.delivered().start);
      // The stage's check has passed the record (see Chain's drain).
      const std::string_view text = lines.addAccepted(record);
      ++written;
      if (rows != nullptr) rows->add(record, written, text);
    }
  } catch (...) {
    // A failed input ends the open stretch where the input ended.
    rejects.finish(reader.failed() ? reader.received() : reader.offset());
    lines.write();
    throw;
  }
  rejects.finish(reader.offset());
  lines.write();
  out.flush();
}
