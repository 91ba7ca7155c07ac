#pragma once
// Every modal question the program asks goes through this interface: the Qt
// dialogs in the program, a scripted stand-in in tests, so that whole
// commands can be driven headless and checked for what was asked.

#include <exception>
#include <optional>

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>

class QPrinter;
class QWidget;

class TDialogs {
 public:
  enum class TIcon { None, Stop, Information };
  enum class TAnswer { Ok, Help, Yes, No, Cancel };
  enum class TButtons { Ok, YesNo, YesNoCancel };

  struct TFileQuestion {
    QString Title;
    QString Filter;            // Qt filter text, e.g. "ZEB Hint Files (*.ZEB *.zeb);;All Files (*)"
    QString InitialName;       // initial file name, may be empty
    QString DefaultExtension;  // added when the typed name has none, e.g. "TXT"
    QString Folder;            // initial folder, may be empty
    // Whether choosing an existing file asks before replacing it; off where
    // the file is extended, not replaced.
    bool ConfirmOverwrite = true;
  };

  // The pages the user chose in the print dialog.
  struct TPageRange {
    int From = 0;
    int To = 0;
    bool Chosen = false;  // false: all pages
  };

  virtual ~TDialogs() = default;

  // A message box with an OK button, and a Help button when asked for.
  virtual TAnswer Message(QWidget* owner, const QString& caption, const QString& text, TIcon icon,
                          bool helpButton = false) = 0;
  // A question without an icon; the answer is the button pressed (closing
  // the box answers Cancel, or No where there is no Cancel button).
  virtual TAnswer Ask(QWidget* owner, const QString& caption, const QString& text, TButtons buttons) = 0;
  // An existing file to open, or none when cancelled.
  virtual std::optional<QString> OpenFile(QWidget* owner, const TFileQuestion& question) = 0;
  // A file to write, or none when cancelled.
  virtual std::optional<QString> SaveFile(QWidget* owner, const TFileQuestion& question) = 0;
  // A one-line text, or none when cancelled.
  virtual std::optional<QString> GetText(QWidget* owner, const QString& caption, const QString& prompt,
                                         const QString& initial) = 0;
  // A folder, or none when cancelled.
  virtual std::optional<QString> ChooseFolder(QWidget* owner, const QString& caption, const QString& prompt,
                                              const QString& initial) = 0;
  // The print dialog for the printer, offering the pages from minPage to
  // maxPage; the printer takes the user's choices. None when cancelled.
  virtual std::optional<TPageRange> ChoosePrintRange(QWidget* owner, QPrinter& printer, int minPage, int maxPage) = 0;
  // The printer-setup dialog; the printer takes the user's choices.
  virtual bool PrinterSetup(QWidget* owner, QPrinter& printer) = 0;
  // A font, starting from initial (no effects: underline and strike-out are
  // not offered), or none when cancelled.
  virtual std::optional<QFont> ChooseFont(QWidget* owner, const QFont& initial) = 0;
  // A colour, starting from initial, or none when cancelled.
  virtual std::optional<QColor> ChooseColor(QWidget* owner, const QColor& initial) = 0;
  // A message the user may switch off: the two check boxes "Do not show
  // this message again" and (with showSkipAll) "Do not show any messages
  // like this again" start from the flags and are written back to them.
  virtual void SkippableMessage(QWidget* owner, const QString& caption, const QString& text, bool showSkipAll,
                                bool& skipNext, bool& skipAll) = 0;
  // One entry of a list (its index), or none when cancelled.
  virtual std::optional<int> ChooseFromList(QWidget* owner, const QString& caption, const QString& prompt,
                                            const QStringList& entries, int current) = 0;
};

// The dialogs of the running program. The program that shows windows
// makes Qt's dialogs the fallback; a test or a batch run installs its own
// over it (none: back to the fallback). With neither, asking is an error.
TDialogs& Dialogs();
void SetDialogs(TDialogs* dialogs);
void SetFallbackDialogs(TDialogs* dialogs);

// Tells the user that a command stopped on an unexpected error: "ZEB Reader
// could not finish what it was doing (what)."
void TellUnexpectedError(QWidget* owner, const QString& what);

// Runs a command at the edge of the event loop: an exception it throws is
// told to the user there and goes no further into Qt.
template <typename TCommandBody>
void RunAtEventEdge(QWidget* owner, TCommandBody&& command) {
  try {
    command();
  } catch (const std::exception& error) {
    TellUnexpectedError(owner, QString::fromLocal8Bit(error.what()));
  }
}
