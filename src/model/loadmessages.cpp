#include "model/loadmessages.h"

#include "model/loader.h"

std::string LoadErrorMessage(int code, const std::string& path) {
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
