// zebtool html: a hint file as one self-contained web page.

#include <ostream>

#include "model/creditsentry.h"
#include "model/hunk.h"
#include "tools/commands.h"
#include "webpage/webpage.h"

int LoadTreeAsShown(const std::string& path, TObjectList& list, std::ostream& err, THunk*& root) {
  root = nullptr;
  const int code = LoadForCommand(path, list, err);
  if (code != LoadResult::Loaded) return code;
  root = ListRootNode(list);
  if (root == nullptr) {
    err << "zebtool: " << path << " holds no hints to show\n";
    return LoadResult::NotHintFile;
  }
  // The tree as the reader shows it once the file is open.
  AppendCreditsEntry(list, *root);
  return LoadResult::Loaded;
}

int WritePageFile(THunk& root, const std::string& hintFilePath, const std::string& outPath, TAtomicFile::TLinks links,
                  std::ostream& err) {
  std::string error;
  switch (WriteWebPageFile(root, hintFilePath, outPath, links, error)) {
    case TPageFileResult::Written:
      return ExitCode::Ok;
    case TPageFileResult::HintFileUnreadable:
      err << "zebtool: " << error << "\n";
      return LoadResult::CannotOpen;
    case TPageFileResult::CannotWrite:
      break;
  }
  err << "zebtool: " << error << "\n";
  return ExitCode::CannotCreate;
}

int HtmlCommand(const TArgs& args, std::ostream& out, std::ostream& err) {
  std::string path;
  std::string outPath;
  if (const int usage = ReadFileAndOutput(args, "html", path, outPath, err)) return usage;
  if (!outPath.empty())
    if (const int refused = RefuseOutputsOverInputs({outPath}, {path}, err)) return refused;
  TObjectList list;
  THunk* root = nullptr;
  if (const int code = LoadTreeAsShown(path, list, err, root)) return code;
  if (!outPath.empty()) return WritePageFile(*root, path, outPath, TAtomicFile::TLinks::Follow, err);
  if (!WriteWebPage(*root, path, out)) {
    err << "zebtool: cannot read " << path << " again\n";
    return LoadResult::CannotOpen;
  }
  out.flush();
  return ExitCode::Ok;
}
