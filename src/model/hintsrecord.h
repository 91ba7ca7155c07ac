#pragma once
// Reading a hints-shown record ("2,0,1,") from its front while a walk over
// the tree restores the counts. Each hint list takes the next value; when no
// "," is left, the last value serves every later list.
//
// Erasing each value from the record as it is read would move the rest of
// the record once per hint list: quadratic for a file of a hundred thousand
// lists. The walk instead keeps how far it has read, and the outermost
// reading erases that much once, when it ends, so the record is left as if
// each value had been erased in turn.

#include <cstddef>
#include <cstdint>
#include <string>

class THintsRecordReading {
 public:
  // Joins the reading of this record under way, or starts one.
  explicit THintsRecordReading(std::string& record);
  ~THintsRecordReading();
  THintsRecordReading(const THintsRecordReading&) = delete;
  THintsRecordReading& operator=(const THintsRecordReading&) = delete;

  // The next value, taken off the front of what is left.
  std::int32_t Next();

 private:
  std::string& Record;
  std::string* OuterRecord;
  std::size_t OuterRead;
};
