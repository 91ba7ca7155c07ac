// zebtool html: a hint file as one self-contained web page.

#include <ostream>

#include "fileio/atomicfile.h"
#include "model/creditsentry.h"
#include "model/hunk.h"
#include "tools/commands.h"
#include "webpage/webpage.h"

int HtmlCommand(const TArgs& args, std::ostream& out, std::ostream& err) {
  std::string path;
  std::string outPath;
  if (const int usage = ReadFileAndOutput(args, "html", path, outPath, err)) return usage;
  TObjectList list;
  const int code = LoadForCommand(path, list, err);
  if (code != LoadResult::Loaded) return code;
  THunk* root = ListRootNode(list);
  if (root == nullptr) {
    err << "zebtool: " << path << " holds no hints to show\n";
    return LoadResult::NotHintFile;
  }
  // The tree as the reader shows it once the file is open.
  AppendCreditsEntry(list, *root);
  if (outPath.empty()) {
    if (!WriteWebPage(*root, path, out)) {
      err << "zebtool: cannot read " << path << " again\n";
      return LoadResult::CannotOpen;
    }
    out.flush();
    return ExitCode::Ok;
  }
  TAtomicFile file(outPath, TAtomicFile::TLinks::Follow, 1 << 20);
  if (file.Open() && !WriteWebPage(*root, path, file.Stream())) {
    file.Discard();
    err << "zebtool: cannot read " << path << " again\n";
    return LoadResult::CannotOpen;
  }
  if (!file.Commit()) {
    err << "zebtool: " << file.Error() << "\n";
    return ExitCode::CannotCreate;
  }
  return ExitCode::Ok;
}
