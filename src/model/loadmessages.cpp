#include "model/loadmessages.h"

#include "model/loadcontext.h"
#include "model/loader.h"

namespace {
// 10239 as "10,239".
std::string GroupedNumber(std::size_t value) {
  std::string digits = std::to_string(value);
  for (std::size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, ",");
  return digits;
}
}  // namespace

std::string LoadErrorMessage(int code, const std::string& path, TDamage damage) {
  if (code == LoadResult::BadChecksum && damage == TDamage::NestedTooDeep)
    return "The hint file you have tried to open is damaged: its hints are nested more than " +
           std::to_string(TLoadContext::MaxDepth - 1) + " levels deep.";
  if (code == LoadResult::BadChecksum && damage == TDamage::LineTooLong)
    return "The hint file you have tried to open is damaged: a line of its text is longer than " +
           GroupedNumber(THintReader::MaxLine) + " characters.";
  switch (code) {
    case LoadResult::NotHintFile:
      return "The file you have tried to open is not a ZEB file.";
    case LoadResult::BadChecksum:
      return "The hint file you have tried to open has been corrupted.  Try downloading it again, and contact "
             "the ZEB for support if you continue receive this error.";
    case LoadResult::OutOfMemory:
      return "Out of memory.  Close any open applications and try loading this file again.";
    case LoadResult::ZipArchive:
      return "The file you have tried to open is a ZIP-compressed archive.  You must first uncompress .ZIP "
             "files before loading them into the ZEB reader.";
    case LoadResult::CannotOpen:
      return path + " could not be opened.  Make sure that this file exists, and that no other application is "
                    "using it.";
    default:
      return "";
  }
}
