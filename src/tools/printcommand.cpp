// zebtool print: a whole hint file printed as Print File prints it (the same
// print job, fonts, header and footer) into a PDF, without a display.

#include <cstdlib>
#include <memory>
#include <optional>
#include <ostream>
#include <regex>

#include <QApplication>
#include <QPrinter>

#include "dialogs/dialogs.h"
#include "display/displaycontext.h"
#include "display/hunkprintout.h"
#include "model/hunk.h"
#include "settings/homefolder.h"
#include "settings/inifile.h"
#include "settings/options.h"
#include "tools/batchdialogs.h"
#include "tools/commands.h"

int PrintCommand(const TArgs& args, std::ostream&, std::ostream& err) {
  std::string path;
  std::string outPath;
  std::optional<TDialogs::TPageRange> pages;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "-o") {
      if (++i == args.size()) return UsageError(err, "-o needs a file name");
      outPath = args[i];
    } else if (args[i] == "--pages") {
      std::smatch match;
      if (++i == args.size() || !std::regex_match(args[i], match, std::regex("([0-9]{1,6})-([0-9]{1,6})")))
        return UsageError(err, "--pages needs a range A-B, such as 2-5");
      pages = TDialogs::TPageRange{std::stoi(match[1]), std::stoi(match[2]), true};
      if (pages->From < 1 || pages->To < pages->From) return UsageError(err, "--pages needs 1 <= A <= B");
    } else if (path.empty()) {
      path = args[i];
    } else {
      return UsageError(err, "print takes one FILE");
    }
  }
  if (path.empty() || outPath.empty()) return UsageError(err, "print takes FILE -o OUT.pdf");
  if (const int refused = RefuseOutputsOverInputs({outPath}, {path}, err)) return refused;

  TObjectList list;
  const int code = LoadForCommand(path, list, err);
  if (code != LoadResult::Loaded) return code;
  THunk* root = ListRootNode(list);
  if (root == nullptr) {
    ClearList(list);
    err << "zebtool: " << path << " holds nothing to print\n";
    return ExitCode::Usage;
  }

  const THeadlessApplication app;
  TOptions options;
  TIniFile ini(THomeFolder::SettingsFile());
  LoadSettings(ini, options, TBrowserDefaults::FromEnvironment(), THomeFolder::DefaultHintFolder());
  TDisplayContext& context = DisplayContext();
  context = TDisplayContext{};
  context.Options = &options;
  context.FileOfTree = [&path](const TZEBObject&) { return path; };
  TBatchDialogs dialogs(err);
  dialogs.Pages = pages;

  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(outPath));

  THunkPrintout job(*root, "Hints for " + root->GetText());
  const THunkPrintout::TOutcome outcome = job.Print(printer);
  ClearList(list);
  context = TDisplayContext{};
  if (outcome != THunkPrintout::TOutcome::Printed) {
    err << "zebtool: cannot write " << outPath << "\n";
    return ExitCode::CannotCreate;
  }
  return ExitCode::Ok;
}
