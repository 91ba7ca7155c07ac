#include "authoring/compiler.h"

#include <fstream>
#include <map>
#include <sstream>
#include <vector>

#include "authoring/hintwriter.h"
#include "model/loadcontext.h"
#include "model/textcase.h"

TCompileError::TCompileError(int line, const std::string& message)
    : std::runtime_error(line > 0 ? "line " + std::to_string(line) + ": " + message : message), Line(line) {}

namespace {
// Compiled files carry lower-case hunk keywords, as hint files in the wild
// do: header scans that look for "subject" or "info" find them.
THintFileWriter LowerCaseWriter() {
  THintFileWriter writer;
  writer.LowerCaseKeywords = true;
  return writer;
}

// A line of the source that starts with "@": a directive word, an optional
// [label] and the rest of the line as its argument.
struct TDirective {
  std::string Word;
  std::string Label;
  std::string Argument;
  int Line = 0;
};

class TSourceCompiler {
 public:
  TSourceCompiler(const std::string& source, std::string baseDir) : BaseDir(std::move(baseDir)) {
    std::istringstream in(source);
    std::string line;
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      Lines.push_back(line);
    }
  }

  std::string Compile() {
    bool have88a = false;
    while (NextLine()) {
      const TDirective d = Take();
      if (!IsDirective(d)) Fail(d.Line, "text outside a hunk; start a hunk with a directive such as @subject");
      if (d.Word == "88a") {
        if (have88a) Fail(d.Line, "a file has one @88a section");
        if (!Writer.Hunks.empty()) Fail(d.Line, "the @88a section comes before the hunks");
        have88a = true;
        Read88a(d);
      } else {
        Writer.Hunks.push_back(ReadHunk(d));
      }
    }
    if (!have88a && Writer.Hunks.empty()) Fail(0, "the source holds no hunk");
    if (!have88a) Writer.Title88a = Writer.Hunks.front()->Title;
    if (!Writer.EndMarker && !Writer.Hunks.empty())
      Fail(FirstHunkLine, "a file with @oldest has no hunks after its @88a section");
    ResolveReferences();
    try {
      return Writer.Build();
    } catch (const TWriterError& e) {
      Fail(0, e.what());
    }
  }

 private:
  // A reference to a label, resolved once every hunk is known.
  struct TReference {
    TWHunkPtr Hunk;
    std::size_t BodyLine;
    std::size_t Piece;
    std::string Label;
    int Line;
  };

  [[noreturn]] static void Fail(int line, const std::string& message) { throw TCompileError(line, message); }

  static bool IsDirective(const TDirective& d) { return !d.Word.empty(); }

  static bool IsBlank(const std::string& line) { return line.find_first_not_of(" \t") == std::string::npos; }

  // Skips blank lines and remarks; false at the end of the source. Counts the
  // blank lines skipped, for text bodies.
  bool NextLine(int* blanks = nullptr) {
    while (At < Lines.size()) {
      const std::string& line = Lines[At];
      const bool blank = IsBlank(line);
      if (blank || line.rfind("@rem", 0) == 0) {
        if (blank && blanks != nullptr) ++*blanks;
        ++At;
        continue;
      }
      return true;
    }
    return false;
  }

  // Takes the current line: a directive, or a text line (empty Word) whose
  // text is in Argument with a leading "@@" made "@".
  TDirective Take() {
    TDirective d;
    d.Line = static_cast<int>(At) + 1;
    const std::string& line = Lines[At++];
    if (line.size() < 2 || line[0] != '@' || line[1] == '@') {
      d.Argument = line.rfind("@@", 0) == 0 ? line.substr(1) : line;
      return d;
    }
    std::size_t i = 1;
    while (i < line.size() && line[i] != ' ' && line[i] != '[') ++i;
    d.Word = line.substr(1, i - 1);
    if (i < line.size() && line[i] == '[') {
      const std::size_t close = line.find(']', i);
      if (close == std::string::npos) Fail(d.Line, "a label needs its closing \"]\"");
      d.Label = line.substr(i + 1, close - i - 1);
      if (d.Label.empty() || d.Label.find(' ') != std::string::npos) Fail(d.Line, "a label is one word");
      i = close + 1;
    }
    if (i < line.size()) {
      if (line[i] != ' ') Fail(d.Line, "a space must follow the directive @" + d.Word);
      d.Argument = line.substr(i + 1);
    }
    return d;
  }

  // Reads the lines of a block up to its @end; calls onLine for each. In a
  // text body, blank lines between two text lines become " " lines, which
  // the reader shows as empty lines.
  template <typename F>
  void ReadBlock(const TDirective& opener, F onLine, bool textBody = false) {
    bool afterText = false;
    for (;;) {
      int blanks = 0;
      if (!NextLine(&blanks)) break;
      TDirective d = Take();
      if (d.Word == "end") return;
      const bool text = !IsDirective(d) && d.Argument != "-";
      if (textBody && text && afterText) {
        for (int i = 0; i < blanks; ++i) {
          TDirective space = d;
          space.Argument = " ";
          onLine(space);
        }
      }
      afterText = text;
      onLine(d);
    }
    Fail(opener.Line, "@" + opener.Word + " has no @end");
  }

  std::string ReadDataFile(const TDirective& d) {
    if (d.Argument.empty()) Fail(d.Line, "@file needs a file name");
    const std::string path = d.Argument.front() == '/' ? d.Argument : BaseDir + "/" + d.Argument;
    std::ifstream in(path, std::ios::binary);
    if (!in) Fail(d.Line, "cannot read " + path);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }

  void Label(const TDirective& d, const TWHunkPtr& hunk) {
    if (d.Label.empty()) return;
    if (!Labels.emplace(d.Label, hunk).second) Fail(d.Line, "the label [" + d.Label + "] is used twice");
  }

  static std::vector<std::int32_t> Numbers(const TDirective& d, std::size_t count) {
    std::istringstream in(d.Argument);
    std::vector<std::int32_t> numbers;
    std::int64_t n = 0;
    while (in >> n) {
      if (n < INT32_MIN || n > INT32_MAX) Fail(d.Line, "the number " + std::to_string(n) + " is too large");
      numbers.push_back(static_cast<std::int32_t>(n));
    }
    if (numbers.size() != count || !in.eof())
      Fail(d.Line, "@" + d.Word + " takes " + std::to_string(count) + " whole numbers");
    return numbers;
  }

  // A hunk that holds only plain text lines.
  TWHunkPtr PlainBlock(const TDirective& d, const std::string& keyword) {
    auto hunk = MakeHunk(keyword, d.Argument);
    ReadBlock(d, [&](const TDirective& line) {
      if (IsDirective(line)) Fail(line.Line, "@" + d.Word + " holds only text lines");
      hunk->Plain(line.Argument);
    }, true);
    return hunk;
  }

  // Reports text that a scrambling cannot carry at its own source line (the
  // writer would only find it when the whole file is laid out).
  void CheckScrambled(const TDirective& line, TWEncoding encoding, TMaskVariant variant = TMaskVariant::NestedHint) {
    try {
      if (encoding == TWEncoding::Scramble88a) {
        Encode88a(line.Argument);
      } else {
        const bool lone = variant == TMaskVariant::NestedHint && line.Argument.size() == 1;
        EncodeWithMask(line.Argument, TitleMask(RootTitle), variant, lone ? "-=" : "");
      }
    } catch (const TWriterError& e) {
      Fail(line.Line, e.what());
    }
  }

  // A hunk and what it holds; nested hunks go one level deeper.
  TWHunkPtr ReadHunk(const TDirective& d) {
    // The reader refuses a file whose hunks nest deeper than it follows.
    if (Depth >= TLoadContext::MaxDepth)
      Fail(d.Line, "hunks nest more than " + std::to_string(TLoadContext::MaxDepth - 1) +
                       " levels deep here; the reader does not open a file nested so deep");
    ++Depth;
    TWHunkPtr hunk = ReadHunkAndBody(d);
    --Depth;
    return hunk;
  }

  TWHunkPtr ReadHunkAndBody(const TDirective& d) {
    if (FirstHunkLine == 0) {
      FirstHunkLine = d.Line;
      RootTitle = d.Argument;
    }
    TWHunkPtr hunk;
    if (d.Word == "subject") {
      hunk = MakeHunk("SUBJECT", d.Argument);
      ReadBlock(d, [&](const TDirective& line) {
        if (!IsDirective(line)) Fail(line.Line, "a subject holds hunks, not text; put text in a @comment");
        hunk->Nest(ReadHunk(line));
      });
    } else if (d.Word == "hint") {
      hunk = MakeHunk("HINT", d.Argument);
      ReadBlock(d, [&](const TDirective& line) {
        if (IsDirective(line)) Fail(line.Line, "a @hint holds only text; use @nesthint to nest hunks among hints");
        if (line.Argument == "-") {
          hunk->Plain("-");
        } else {
          CheckScrambled(line, TWEncoding::Scramble88a);
          hunk->Scrambled88a(line.Argument);
        }
      }, true);
    } else if (d.Word == "nesthint") {
      hunk = MakeHunk("NESTHINT", d.Argument);
      ReadBlock(d, [&](const TDirective& line) {
        if (IsDirective(line)) {
          hunk->Plain("=");
          hunk->Nest(ReadHunk(line));
        } else if (line.Argument == "-") {
          hunk->Plain("-");
        } else {
          CheckScrambled(line, TWEncoding::MaskNested);
          hunk->Masked(line.Argument);
        }
      }, true);
    } else if (d.Word == "comment" || d.Word == "credit" || d.Word == "version") {
      hunk = PlainBlock(d, d.Word == "comment" ? "COMMENT" : d.Word == "credit" ? "CREDIT" : "VERSION");
    } else if (d.Word == "info") {
      hunk = MakeHunk("INFO", d.Argument);
      ReadBlock(d, [&](const TDirective& line) {
        if (IsDirective(line)) Fail(line.Line, "@info holds NAME=value lines");
        if (UpperCaseAtoZ(line.Argument) == "LENGTH=AUTO") {
          hunk->Pieces({TWPiece::Literal(line.Argument.substr(0, 7)), TWPiece::LengthOfFile()});
        } else {
          hunk->Plain(line.Argument);
        }
      });
    } else if (d.Word == "text") {
      std::int32_t flags = 0;
      std::vector<std::string> lines;
      ReadBlock(d, [&](const TDirective& line) {
        if (line.Word == "flags") {
          std::istringstream words(line.Argument);
          std::string word;
          while (words >> word) {
            if (word == "fixed") {
              flags |= 1;
            } else if (word == "nowrap") {
              flags |= 2;
            } else {
              Fail(line.Line, "@flags takes the words fixed and nowrap");
            }
          }
        } else if (IsDirective(line)) {
          Fail(line.Line, "@text holds text lines and @flags");
        } else {
          CheckScrambled(line, TWEncoding::MaskNested, TMaskVariant::TextData);
          lines.push_back(line.Argument);
        }
      }, true);
      hunk = Writer.Text(d.Argument, flags, std::move(lines));
    } else if (d.Word == "picture") {
      std::string png;
      std::vector<TWRegion> regions;
      bool haveFile = false;
      ReadBlock(d, [&](const TDirective& line) {
        if (line.Word == "file") {
          png = ReadDataFile(line);
          haveFile = true;
        } else if (line.Word == "region") {
          const auto r = Numbers(line, 4);
          if (!NextLine()) Fail(line.Line, "@region must be followed by the hunk it leads to");
          const TDirective target = Take();
          if (!IsDirective(target) || target.Word == "end")
            Fail(target.Line, "@region must be followed by the hunk it leads to");
          regions.push_back(TWRegion{r[0], r[1], r[2], r[3], ReadHunk(target)});
        } else {
          Fail(line.Line, "@picture holds @file and @region lines");
        }
      });
      if (!haveFile) Fail(d.Line, "@picture needs a @file");
      hunk = Writer.HyperPng(d.Argument, std::move(png), std::move(regions));
    } else if (d.Word == "overlay") {
      std::string png;
      std::vector<std::int32_t> at;
      ReadBlock(d, [&](const TDirective& line) {
        if (line.Word == "file") {
          png = ReadDataFile(line);
        } else if (line.Word == "at") {
          at = Numbers(line, 2);
        } else {
          Fail(line.Line, "@overlay holds @file and @at lines");
        }
      });
      if (png.empty() || at.empty()) Fail(d.Line, "@overlay needs a @file and an @at position");
      hunk = Writer.Overlay(d.Argument, std::move(png), at[0], at[1]);
    } else if (d.Word == "gifa" || d.Word == "sound") {
      std::string bytes;
      bool haveFile = false;
      ReadBlock(d, [&](const TDirective& line) {
        if (line.Word != "file") Fail(line.Line, "@" + d.Word + " holds a @file line");
        bytes = ReadDataFile(line);
        haveFile = true;
      });
      if (!haveFile) Fail(d.Line, "@" + d.Word + " needs a @file");
      hunk = d.Word == "gifa" ? Writer.Gifa(d.Argument, std::move(bytes)) : Writer.Sound(d.Argument, std::move(bytes));
    } else if (d.Word == "incentive") {
      hunk = MakeHunk("INCENTIVE", d.Argument);
      ReadBlock(d, [&](const TDirective& line) {
        if (IsDirective(line)) Fail(line.Line, "@incentive holds entries such as secret:Y");
        std::istringstream words(line.Argument);
        std::string word;
        std::vector<TWPiece> pieces;
        std::vector<std::pair<std::size_t, std::string>> refs;
        while (words >> word) {
          const std::size_t colon = word.rfind(':');
          if (colon == std::string::npos || colon == 0 || colon + 2 != word.size())
            Fail(line.Line, "an incentive entry is a label or line number, \":\" and one class letter");
          if (!pieces.empty()) pieces.push_back(TWPiece::Literal(" "));
          const std::string target = word.substr(0, colon);
          if (target.find_first_not_of("0123456789") == std::string::npos) {
            pieces.push_back(TWPiece::Literal(target));
          } else {
            refs.emplace_back(pieces.size(), target);
            pieces.push_back(TWPiece::LineOf(nullptr));
          }
          pieces.push_back(TWPiece::Literal(word.substr(colon + 1)));
        }
        hunk->Pieces(std::move(pieces), TWEncoding::MaskIncentive);
        for (auto& [index, label] : refs) References.push_back({hunk, hunk->Body.size() - 1, index, label, line.Line});
      });
    } else if (d.Word == "link") {
      const std::size_t arrow = d.Argument.rfind("->");
      if (arrow == std::string::npos) Fail(d.Line, "@link needs its target: @link Title -> label");
      std::string title = d.Argument.substr(0, arrow);
      while (!title.empty() && title.back() == ' ') title.pop_back();
      std::string target = d.Argument.substr(arrow + 2);
      while (!target.empty() && target.front() == ' ') target.erase(target.begin());
      while (!target.empty() && target.back() == ' ') target.pop_back();
      if (target.empty()) Fail(d.Line, "@link needs its target: @link Title -> label");
      hunk = MakeHunk("LINK", title);
      if (target.find_first_not_of("0123456789") == std::string::npos) {
        hunk->Pieces({TWPiece::Literal(target)});
      } else {
        hunk->Pieces({TWPiece::LineOf(nullptr)});
        References.push_back({hunk, 0, 0, target, d.Line});
      }
    } else if (d.Word == "blank") {
      hunk = MakeHunk("BLANK", d.Argument);
    } else if (d.Word == "unknown") {
      const std::size_t space = d.Argument.find(' ');
      const std::string keyword = d.Argument.substr(0, space);
      if (keyword.empty()) Fail(d.Line, "@unknown needs a keyword");
      auto opener = d;
      opener.Argument = space == std::string::npos ? "" : d.Argument.substr(space + 1);
      hunk = PlainBlock(opener, keyword);
    } else {
      Fail(d.Line, "unknown directive @" + d.Word);
    }
    Label(d, hunk);
    return hunk;
  }

  void Read88a(const TDirective& d) {
    Writer.Title88a = d.Argument;
    ReadBlock(d, [&](const TDirective& line) {
      if (line.Word == "subject") {
        CheckScrambled(line, TWEncoding::Scramble88a);
        THintFileWriter::TSubject subject{line.Argument, {}};
        ReadBlock(line, [&](const TDirective& q) {
          if (q.Word != "question") Fail(q.Line, "an 88a @subject holds @question blocks");
          CheckScrambled(q, TWEncoding::Scramble88a);
          THintFileWriter::TQuestion question{q.Argument, {}};
          ReadBlock(q, [&](const TDirective& hint) {
            if (IsDirective(hint)) Fail(hint.Line, "an 88a @question holds its hints, one per line");
            CheckScrambled(hint, TWEncoding::Scramble88a);
            question.Hints.push_back(hint.Argument);
          });
          subject.Questions.push_back(std::move(question));
        });
        Writer.Subjects.push_back(std::move(subject));
      } else if (line.Word == "note") {
        ReadBlock(line, [&](const TDirective& note) {
          if (IsDirective(note)) Fail(note.Line, "an 88a @note holds text lines");
          Writer.NoteLines.push_back(note.Argument);
        });
      } else if (line.Word == "oldest") {
        Writer.EndMarker = false;
      } else {
        Fail(line.Line, "@88a holds @subject, @note and @oldest");
      }
    });
  }

  void ResolveReferences() {
    for (const TReference& ref : References) {
      const auto found = Labels.find(ref.Label);
      if (found == Labels.end()) Fail(ref.Line, "no hunk has the label [" + ref.Label + "]");
      ref.Hunk->Body[ref.BodyLine].Pieces[ref.Piece].Hunk = found->second.get();
    }
  }

  std::vector<std::string> Lines;
  std::size_t At = 0;
  std::string BaseDir;
  THintFileWriter Writer = LowerCaseWriter();
  std::map<std::string, TWHunkPtr> Labels;
  std::vector<TReference> References;
  int FirstHunkLine = 0;
  std::string RootTitle;
  int Depth = 0;  // of the hunk being read: 0 at the top level
};
}  // namespace

std::string CompileHintSource(const std::string& source, const std::string& baseDir) {
  return TSourceCompiler(source, baseDir).Compile();
}
