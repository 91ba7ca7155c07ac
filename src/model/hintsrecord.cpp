#include "model/hintsrecord.h"

#include <string_view>

#include "model/numbers.h"

namespace {
// The reading under way: its record and how much of it was read.
thread_local std::string* ReadingRecord = nullptr;
thread_local std::size_t ReadSoFar = 0;
}  // namespace

THintsRecordReading::THintsRecordReading(std::string& record)
    : Record(record), OuterRecord(ReadingRecord), OuterRead(ReadSoFar) {
  if (ReadingRecord != &record) {
    ReadingRecord = &record;
    ReadSoFar = 0;
  }
}

THintsRecordReading::~THintsRecordReading() {
  if (OuterRecord == &Record) return;  // an inner reading: the outermost one erases
  Record.erase(0, ReadSoFar);
  ReadingRecord = OuterRecord;
  ReadSoFar = OuterRead;
}

std::int32_t THintsRecordReading::Next() {
  const std::string_view rest = std::string_view(Record).substr(ReadSoFar);
  const std::size_t comma = rest.find(',');
  if (comma == std::string_view::npos) return LeadingNumber(rest);
  ReadSoFar += comma + 1;
  return LeadingNumber(rest.substr(0, comma));
}
