// zebtool print: a whole hint file printed as Print File prints it (the same
// print job, fonts, header and footer) into a PDF, without a display.

#include <cstdlib>
#include <memory>
#include <optional>
#include <ostream>
#include <regex>

#include <QApplication>
#include <QPrinter>

#include "display/dialogs.h"
#include "display/displaycontext.h"
#include "display/hunkprintout.h"
#include "model/displaydocument.h"
#include "model/hunk.h"
#include "settings/homefolder.h"
#include "settings/inifile.h"
#include "settings/options.h"
#include "tools/commands.h"

namespace {
// The questions of a print without a user: the print dialog answers with
// the pages asked for on the command line; messages go to standard error.
class TBatchDialogs : public TDialogs {
 public:
  TBatchDialogs(std::ostream& err, std::optional<TPageRange> pages) : Err(err), Pages(pages) { SetDialogs(this); }
  ~TBatchDialogs() override { SetDialogs(nullptr); }
  TBatchDialogs(const TBatchDialogs&) = delete;
  TBatchDialogs& operator=(const TBatchDialogs&) = delete;

  TAnswer Message(QWidget*, const QString&, const QString& text, TIcon, bool) override {
    Err << "zebtool: " << text.toStdString() << "\n";
    return TAnswer::Ok;
  }
  std::optional<QString> OpenFile(QWidget*, const TFileQuestion&) override { return std::nullopt; }
  std::optional<QString> SaveFile(QWidget*, const TFileQuestion&) override { return std::nullopt; }
  std::optional<QString> GetText(QWidget*, const QString&, const QString&, const QString&) override {
    return std::nullopt;
  }
  std::optional<QString> ChooseFolder(QWidget*, const QString&, const QString&, const QString&) override {
    return std::nullopt;
  }
  std::optional<TPageRange> ChoosePrintRange(QWidget*, QPrinter&, int minPage, int maxPage) override {
    return Pages ? *Pages : TPageRange{minPage, maxPage, false};
  }
  bool PrinterSetup(QWidget*, QPrinter&) override { return false; }
  std::optional<QFont> ChooseFont(QWidget*, const QFont&) override { return std::nullopt; }
  std::optional<QColor> ChooseColor(QWidget*, const QColor&) override { return std::nullopt; }
  std::optional<int> ChooseFromList(QWidget*, const QString&, const QString&, const QStringList&, int) override {
    return std::nullopt;
  }

 private:
  std::ostream& Err;
  std::optional<TPageRange> Pages;
};

// Qt's printing needs an application object; a headless one is made when
// the tool has none.
class THeadlessApplication {
 public:
  THeadlessApplication() {
    if (QCoreApplication::instance() != nullptr) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "zebtool";
    static char* argv[] = {name, nullptr};
    App = std::make_unique<QApplication>(argc, argv);
  }

 private:
  std::unique_ptr<QApplication> App;
};
}  // namespace

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
  const TBatchDialogs dialogs(err, pages);

  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(outPath));

  auto document = MakeDocument("Hints for " + root->GetText());
  root->AssignLabels("");
  root->AppendDisplay(*document);
  THunkPrintout job(*document, static_cast<int>(document->ItemCount()), true);
  const THunkPrintout::TOutcome outcome = job.Print(printer);
  FreeDocument(std::move(document));
  ClearList(list);
  context = TDisplayContext{};
  if (outcome != THunkPrintout::TOutcome::Printed) {
    err << "zebtool: cannot write " << outPath << "\n";
    return ExitCode::CannotCreate;
  }
  return ExitCode::Ok;
}
