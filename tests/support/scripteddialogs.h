#pragma once
// A scripted stand-in for the program's dialogs: answers are queued by the
// test, and every question asked is recorded.

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/dialogs.h"

class TScriptedDialogs : public TDialogs {
 public:
  struct TAsked {
    std::string Kind;  // "message", "open", "save", "text", "folder", "list", "print", "printer setup", "font", "color", "ask", "skippable"
    QString Caption;
    QString Text;
    TIcon Icon = TIcon::None;
    bool HelpButton = false;
    QString Initial;  // the initial file name of a file question
  };

  TScriptedDialogs() { SetDialogs(this); }
  ~TScriptedDialogs() override { SetDialogs(nullptr); }

  TAnswer Message(QWidget*, const QString& caption, const QString& text, TIcon icon, bool helpButton) override {
    Asked.push_back({"message", caption, text, icon, helpButton, {}});
    if (MessageAnswers.empty()) return TAnswer::Ok;
    const TAnswer answer = MessageAnswers.front();
    MessageAnswers.pop_front();
    return answer;
  }
  TAnswer Ask(QWidget*, const QString& caption, const QString& text, TButtons buttons) override {
    Asked.push_back({"ask", caption, text, TIcon::None, false, {}});
    AskedButtons.push_back(buttons);
    if (AskAnswers.empty()) return buttons == TButtons::Ok ? TAnswer::Ok : TAnswer::Yes;
    const TAnswer answer = AskAnswers.front();
    AskAnswers.pop_front();
    return answer;
  }
  std::optional<QString> OpenFile(QWidget*, const TFileQuestion& question) override {
    Asked.push_back({"open", question.Title, question.Filter, TIcon::None, false, question.InitialName});
    return Next();
  }
  std::optional<QString> SaveFile(QWidget*, const TFileQuestion& question) override {
    Asked.push_back({"save", question.Title, question.Filter, TIcon::None, false, question.InitialName});
    return Next();
  }
  std::optional<QString> GetText(QWidget*, const QString& caption, const QString& prompt, const QString&) override {
    Asked.push_back({"text", caption, prompt, TIcon::None, false, {}});
    return Next();
  }
  std::optional<QString> ChooseFolder(QWidget*, const QString& caption, const QString& prompt, const QString&) override {
    Asked.push_back({"folder", caption, prompt, TIcon::None, false, {}});
    return Next();
  }

  std::optional<int> ChooseFromList(QWidget*, const QString& caption, const QString& prompt,
                                    const QStringList& entries, int) override {
    Asked.push_back({"list", caption, prompt, TIcon::None, false, {}});
    ListsShown.push_back(entries);
    if (ListAnswers.empty()) return std::nullopt;
    const auto answer = ListAnswers.front();
    ListAnswers.pop_front();
    return answer;
  }

  std::optional<TPageRange> ChoosePrintRange(QWidget*, QPrinter& printer, int minPage, int maxPage) override {
    Asked.push_back({"print", QString::number(minPage), QString::number(maxPage), TIcon::None, false, {}});
    if (BeforePrintAnswer) BeforePrintAnswer(printer);
    if (PrintAnswers.empty()) return TPageRange{minPage, maxPage, false};
    const auto answer = PrintAnswers.front();
    PrintAnswers.pop_front();
    return answer;
  }
  bool PrinterSetup(QWidget*, QPrinter& printer) override {
    Asked.push_back({"printer setup", {}, {}, TIcon::None, false, {}});
    if (BeforePrintAnswer) BeforePrintAnswer(printer);
    return true;
  }

  std::optional<QFont> ChooseFont(QWidget*, const QFont& initial) override {
    Asked.push_back({"font", initial.family(), QString::number(initial.pointSize()), TIcon::None, false, {}});
    if (FontAnswers.empty()) return std::nullopt;
    const auto answer = FontAnswers.front();
    FontAnswers.pop_front();
    return answer;
  }
  std::optional<QColor> ChooseColor(QWidget*, const QColor& initial) override {
    Asked.push_back({"color", initial.name(), {}, TIcon::None, false, {}});
    if (ColorAnswers.empty()) return std::nullopt;
    const auto answer = ColorAnswers.front();
    ColorAnswers.pop_front();
    return answer;
  }

  void SkippableMessage(QWidget*, const QString& caption, const QString& text, bool showSkipAll, bool& skipNext,
                        bool& skipAll) override {
    Asked.push_back({"skippable", caption, text, TIcon::None, showSkipAll, {}});
    if (SkippableAnswers.empty()) return;
    const auto [next, all] = SkippableAnswers.front();
    SkippableAnswers.pop_front();
    skipNext = next;
    skipAll = all;
  }

  // Answers for file, text and folder questions, in order; none = cancel.
  std::deque<std::optional<QString>> Answers;
  std::deque<TAnswer> MessageAnswers;
  // Answers for questions (none left: Yes, or OK), and the buttons each had.
  std::deque<TAnswer> AskAnswers;
  // The check boxes a skippable message closes with (none left: as opened).
  std::deque<std::pair<bool, bool>> SkippableAnswers;
  std::vector<TButtons> AskedButtons;
  // Answers for list questions (an index; none = cancel), and the lists shown.
  std::deque<std::optional<int>> ListAnswers;
  std::vector<QStringList> ListsShown;
  // Answers for print dialogs (none = cancel; no answer left: all pages),
  // and what the user changes in the printer before answering.
  std::deque<std::optional<TPageRange>> PrintAnswers;
  std::function<void(QPrinter&)> BeforePrintAnswer;
  // Answers for font and colour dialogs (none = cancel).
  std::deque<std::optional<QFont>> FontAnswers;
  std::deque<std::optional<QColor>> ColorAnswers;
  std::vector<TAsked> Asked;

 private:
  std::optional<QString> Next() {
    if (Answers.empty()) return std::nullopt;
    auto answer = Answers.front();
    Answers.pop_front();
    return answer;
  }
};
