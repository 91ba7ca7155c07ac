// The loader on a whole hint file (the checksum and the embedded pictures
// included), then what the program does with a loaded tree: numbering,
// decoding to text, the web page, searching, the record of revealed hints,
// and freeing.
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <streambuf>
#include <string>

#include "fuzzfile.h"
#include "model/displaydocument.h"
#include "model/hunk.h"
#include "model/loader.h"
#include "model/search.h"
#include "webpage/webpage.h"

namespace {
class TNullBuffer : public std::streambuf {
 protected:
  int_type overflow(int_type c) override { return traits_type::not_eof(c); }
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& path = WriteInput(data, size);
  for (const bool inlineImages : {false, true}) {
    TObjectList list;
    if (LoadHintFile(path, list, inlineImages) == LoadResult::Loaded) {
      if (THunk* top = ListRootNode(list)) {
        THunk& root = *top;
        TNullBuffer null;
        std::ostream out(&null);
        DecodeToText(root, out);
        WriteWebPage(root, path, out);
        FindInFile(root, "the");
        std::string record;
        root.SaveHintsShown(record);
        root.RestoreHintsShown(record);
        root.HintsShownValid();
        root.FindByLine(5);
      }
    }
    ClearList(list);
  }
  return 0;
}
