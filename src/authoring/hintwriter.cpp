#include "authoring/hintwriter.h"

#include <utility>

#include "fileio/atomicfile.h"
#include "model/checksum.h"
#include "model/loader.h"
#include "model/textcase.h"

namespace {
// The keywords of the hunk kinds readers know; any other keyword is the
// author's own and is written as given.
bool IsKnownKeyword(const std::string& keyword) {
  static const char* const known[] = {"COMMENT", "CREDIT", "GIFA", "HINT", "SUBJECT", "VERSION", "BLANK", "INCENTIVE",
                                      "INFO", "LINK", "NESTHINT", "TEXT", "HYPERPNG", "OVERLAY", "SOUND"};
  const std::string upper = UpperCaseAtoZ(keyword);
  for (const char* k : known)
    if (upper == k) return true;
  return false;
}
}  // namespace

// ---- hunks ---------------------------------------------------------------

std::int64_t TWHunk::Lines() const {
  std::int64_t lines = 2;
  for (const TWLine& line : Body) lines += line.Nested ? line.Nested->Lines() : 1;
  return lines;
}

TWHunk& TWHunk::Plain(std::string text) { return Pieces({TWPiece::Literal(std::move(text))}); }

TWHunk& TWHunk::Scrambled88a(std::string text) {
  return Pieces({TWPiece::Literal(std::move(text))}, TWEncoding::Scramble88a);
}

TWHunk& TWHunk::Masked(std::string text) {
  return Pieces({TWPiece::Literal(std::move(text))}, TWEncoding::MaskNested);
}

TWHunk& TWHunk::Pieces(std::vector<TWPiece> pieces, TWEncoding encoding) {
  Body.push_back(TWLine{std::move(pieces), encoding, nullptr});
  return *this;
}

TWHunk& TWHunk::Nest(TWHunkPtr hunk) {
  Body.push_back(TWLine{{}, TWEncoding::Plain, std::move(hunk)});
  return *this;
}

TWHunkPtr MakeHunk(std::string keyword, std::string title) {
  auto hunk = std::make_shared<TWHunk>();
  hunk->Keyword = std::move(keyword);
  hunk->Title = std::move(title);
  return hunk;
}

TWHunkPtr Subject(std::string title, std::vector<TWHunkPtr> children) {
  auto hunk = MakeHunk("SUBJECT", std::move(title));
  for (auto& child : children) hunk->Nest(std::move(child));
  return hunk;
}

TWHunkPtr Hint(std::string title, std::vector<std::string> lines) {
  auto hunk = MakeHunk("HINT", std::move(title));
  for (auto& line : lines) {
    if (line == "-") {
      hunk->Plain("-");
    } else {
      hunk->Scrambled88a(std::move(line));
    }
  }
  return hunk;
}

TWHunkPtr NestHint(std::string title, std::vector<TWNestItem> items) {
  auto hunk = MakeHunk("NESTHINT", std::move(title));
  for (auto& item : items) {
    if (item.Hunk) {
      hunk->Plain("=");
      hunk->Nest(std::move(item.Hunk));
    } else if (item.Line == "-") {
      hunk->Plain("-");
    } else {
      hunk->Masked(std::move(item.Line));
    }
  }
  return hunk;
}

TWHunkPtr PlainHunk(std::string keyword, std::string title, std::vector<std::string> lines) {
  auto hunk = MakeHunk(std::move(keyword), std::move(title));
  for (auto& line : lines) hunk->Plain(std::move(line));
  return hunk;
}

TWHunkPtr Link(std::string title, const TWHunkPtr& target) {
  auto hunk = MakeHunk("LINK", std::move(title));
  hunk->Pieces({TWPiece::LineOf(target)});
  return hunk;
}

TWHunkPtr LinkToLine(std::string title, std::int32_t line) {
  auto hunk = MakeHunk("LINK", std::move(title));
  hunk->Pieces({TWPiece::Number(line)});
  return hunk;
}

TWHunkPtr Incentive(std::string title, std::vector<std::vector<TWIncentiveEntry>> lines) {
  auto hunk = MakeHunk("INCENTIVE", std::move(title));
  for (const auto& entries : lines) {
    std::vector<TWPiece> pieces;
    for (const TWIncentiveEntry& entry : entries) {
      if (!pieces.empty()) pieces.push_back(TWPiece::Literal(" "));
      pieces.push_back(entry.Target ? TWPiece::LineOf(entry.Target) : TWPiece::Number(entry.Line));
      pieces.push_back(TWPiece::Literal(std::string(1, entry.Class)));
    }
    hunk->Pieces(std::move(pieces), TWEncoding::MaskIncentive);
  }
  return hunk;
}

// ---- data hunks ----------------------------------------------------------

int THintFileWriter::AddBlob(std::string bytes) {
  Blobs.push_back(TBlob{std::move(bytes), {}, false});
  return static_cast<int>(Blobs.size()) - 1;
}

int THintFileWriter::AddTextBlob(std::vector<std::string> lines) {
  Blobs.push_back(TBlob{{}, std::move(lines), true});
  return static_cast<int>(Blobs.size()) - 1;
}

namespace {
TWHunkPtr DataHunk(std::string keyword, std::string title, int blob, std::vector<TWPiece> extra = {}) {
  auto hunk = MakeHunk(std::move(keyword), std::move(title));
  std::vector<TWPiece> pieces = {TWPiece::Literal("0 "), TWPiece::OffsetOf(blob), TWPiece::Literal(" "),
                                 TWPiece::LengthOf(blob)};
  for (auto& piece : extra) pieces.push_back(std::move(piece));
  hunk->Pieces(std::move(pieces));
  return hunk;
}
}  // namespace

TWHunkPtr THintFileWriter::Text(std::string title, std::int32_t flags, std::vector<std::string> lines) {
  const int blob = AddTextBlob(std::move(lines));
  auto hunk = MakeHunk("TEXT", std::move(title));
  hunk->Pieces({TWPiece::Literal("0 " + std::to_string(flags) + " "), TWPiece::OffsetOf(blob),
                TWPiece::Literal(" "), TWPiece::LengthOf(blob)});
  return hunk;
}

TWHunkPtr THintFileWriter::HyperPng(std::string title, std::string png, std::vector<TWRegion> regions) {
  auto hunk = DataHunk("HYPERPNG", std::move(title), AddBlob(std::move(png)));
  for (TWRegion& region : regions) {
    hunk->Plain(std::to_string(region.Left) + " " + std::to_string(region.Top) + " " +
                std::to_string(region.Right) + " " + std::to_string(region.Bottom));
    hunk->Nest(std::move(region.Target));
  }
  return hunk;
}

TWHunkPtr THintFileWriter::Overlay(std::string title, std::string png, std::int32_t x, std::int32_t y) {
  return DataHunk("OVERLAY", std::move(title), AddBlob(std::move(png)),
                  {TWPiece::Literal(" " + std::to_string(x) + " " + std::to_string(y))});
}

TWHunkPtr THintFileWriter::Gifa(std::string title, std::string bytes) {
  return DataHunk("GIFA", std::move(title), AddBlob(std::move(bytes)));
}

TWHunkPtr THintFileWriter::Sound(std::string title, std::string bytes) {
  return DataHunk("SOUND", std::move(title), AddBlob(std::move(bytes)));
}

// ---- layout --------------------------------------------------------------

namespace {
// Where the data and the checksum fall, for the current length of the text part.
struct TLayout {
  std::vector<std::int64_t> BlobOffsets;
  std::int64_t FileLength = 0;
};

void CheckLine(const std::string& line, const std::string& where) {
  const bool breaks = line.find('\n') != std::string::npos || line.find('\x1a') != std::string::npos ||
                      (!line.empty() && line.back() == '\r');
  if (breaks) throw TWriterError(where + ": a line cannot hold a line feed, a 0x1A byte or a final CR");
}

void AssignLineNumbers(TWHunk& hunk, std::int64_t& line) {
  hunk.LineNumber = static_cast<std::int32_t>(line);
  line += 2;
  for (TWLine& body : hunk.Body) {
    if (body.Nested) {
      AssignLineNumbers(*body.Nested, line);
    } else {
      ++line;
    }
  }
}

// The text part as static text and lines that depend on the layout.
class TTextPart {
 public:
  void AddStatic(const std::string& text) {
    if (Chunks.empty() || Chunks.back().Line != nullptr) Chunks.push_back({{}, nullptr, {}});
    Chunks.back().Text += text;
  }
  void AddDynamic(const TWLine* line, std::string where) { Chunks.push_back({{}, line, std::move(where)}); }

  struct TChunk {
    std::string Text;
    const TWLine* Line;
    std::string Where;
  };
  std::vector<TChunk> Chunks;
};

// One build of a file: the text part with its lines, the layout that the
// numbers in it settle on, and the bytes that follow.
}  // namespace

class THintFileWriter::TFileBuild {
 public:
  explicit TFileBuild(THintFileWriter& writer)
      : Writer(writer), Mask(writer.Hunks.empty() ? std::string() : TitleMask(writer.Hunks.front()->Title)) {}

  std::string Bytes() {
    std::int64_t lineNumber = 1;
    for (const TWHunkPtr& hunk : Writer.Hunks) AssignLineNumbers(*hunk, lineNumber);
    EncodeTextBlobs();
    Write88aSection();
    // The newer section, hunk by hunk.
    for (const TWHunkPtr& hunk : Writer.Hunks) WriteHunk(*hunk);
    std::string textPart;
    Settle(textPart);
    return Assemble(std::move(textPart));
  }

 private:
  void Add(const std::string& line, const std::string& where) {
    CheckLine(line, where);
    Text.AddStatic(line + Writer.LineEnd);
  }

  bool WithChecksum() const { return Writer.EndMarker && Writer.Checksum != TChecksum::None; }

  void EncodeTextBlobs() {
    // Text data blobs take their bytes now: they never depend on the layout.
    for (TBlob& blob : Writer.Blobs) {
      if (!blob.IsText) continue;
      blob.Bytes.clear();
      for (const std::string& line : blob.TextLines) {
        const std::string encoded = EncodeWithMask(line, Mask, TMaskVariant::TextData);
        CheckLine(encoded, "TEXT data");
        blob.Bytes += encoded + "\r\n";
      }
    }
  }

  void Write88aSection() {
    Add("ZEB", "line 1");
    Add(Writer.Title88a, "the 88a title");
    if (Writer.Raw88aNumbers) {
      Add(*Writer.Raw88aNumbers, "88a numbers");
      for (const std::string& line : Writer.Raw88aBody) Add(line, "88a body");
    } else {
      std::size_t questions = 0;
      std::size_t hints = 0;
      for (const TSubject& subject : Writer.Subjects) {
        if (subject.Questions.empty()) throw TWriterError("88a subject \"" + subject.Text + "\" has no question");
        questions += subject.Questions.size();
        for (const TQuestion& question : subject.Questions) {
          if (question.Hints.empty()) throw TWriterError("88a question \"" + question.Text + "\" has no hint");
          hints += question.Hints.size();
        }
      }
      const std::size_t firstHint = 2 * (Writer.Subjects.size() + questions) + 1;
      const std::size_t lastHint = firstHint + hints - 1;
      if (lastHint >= 1000 && hints > 0) throw TWriterError("The 88a section holds more than 999 lines");
      Add(std::to_string(firstHint) + " " + std::to_string(lastHint), "88a numbers");
      std::size_t questionIndex = 2 * Writer.Subjects.size() + 1;
      for (const TSubject& subject : Writer.Subjects) {
        Add(Encode88a(subject.Text), "88a subject");
        Add(std::to_string(questionIndex), "88a target");
        questionIndex += 2 * subject.Questions.size();
      }
      std::size_t hintIndex = firstHint;
      for (const TSubject& subject : Writer.Subjects) {
        for (const TQuestion& question : subject.Questions) {
          Add(Encode88a(question.Text), "88a question");
          Add(std::to_string(hintIndex), "88a target");
          hintIndex += question.Hints.size();
        }
      }
      for (const TSubject& subject : Writer.Subjects)
        for (const TQuestion& question : subject.Questions)
          for (const std::string& hint : question.Hints) Add(Encode88a(hint), "88a hint");
    }
    for (const std::string& line : Writer.NoteLines) {
      if (line == EndOf88aMarker) throw TWriterError("A note line cannot be the end marker");
      Add(line, "author's note");
    }
    if (Writer.EndMarker) Add(EndOf88aMarker, "end marker");
  }

  void WriteHunk(const TWHunk& hunk) {
    const std::int64_t count = hunk.CountOverride ? *hunk.CountOverride : hunk.Lines();
    const std::string keyword =
        Writer.LowerCaseKeywords && IsKnownKeyword(hunk.Keyword) ? LowerCaseAtoZ(hunk.Keyword) : hunk.Keyword;
    Add(std::to_string(count) + hunk.Separator + keyword, "header of \"" + hunk.Title + "\"");
    Add(hunk.Title, "title of \"" + hunk.Title + "\"");
    for (const TWLine& line : hunk.Body) {
      if (line.Nested) {
        WriteHunk(*line.Nested);
        continue;
      }
      Text.AddDynamic(&line, "a line of \"" + hunk.Title + "\"");
    }
  }

  // Renders one line with the layout's numbers, scrambled as it asks.
  std::string Render(const TWLine& line, const TLayout& layout, const std::string& where) const {
    std::string plain;
    for (const TWPiece& piece : line.Pieces) {
      switch (piece.Type) {
        case TWPiece::TType::Text:
          plain += piece.Text;
          break;
        case TWPiece::TType::BlobOffset:
          plain += std::to_string(layout.BlobOffsets.at(piece.Blob));
          break;
        case TWPiece::TType::BlobLength:
          plain += std::to_string(Writer.Blobs.at(piece.Blob).Bytes.size());
          break;
        case TWPiece::TType::LineOf:
          plain += std::to_string(piece.Hunk->LineNumber);
          break;
        case TWPiece::TType::FileLength:
          plain += std::to_string(layout.FileLength);
          break;
      }
    }
    std::string encoded;
    switch (line.Encoding) {
      case TWEncoding::Plain:
        encoded = plain;
        break;
      case TWEncoding::Scramble88a:
        encoded = Encode88a(plain);
        break;
      case TWEncoding::MaskNested:
        // A one-byte line must not scramble to a separator or a nested-hunk mark.
        encoded = EncodeWithMask(plain, Mask, TMaskVariant::NestedHint, plain.size() == 1 ? "-=" : "");
        break;
      case TWEncoding::MaskIncentive:
        encoded = EncodeWithMask(plain, Mask, TMaskVariant::NestedHint, "#");
        break;
    }
    // A scrambled line must not read as a separator or a nested-hunk mark.
    if (line.Encoding != TWEncoding::Plain && (encoded == "-" || encoded == "=") && plain != encoded)
      throw TWriterError(where + ": the line \"" + plain + "\" scrambles to \"" + encoded + "\", a separator");
    CheckLine(encoded, where);
    return encoded + Writer.LineEnd;
  }

  TLayout LayoutFor(std::int64_t textLength) const {
    TLayout layout;
    std::int64_t at = textLength + (Writer.EndOfTextByte ? 1 : 0);
    if (WithChecksum() && Writer.ChecksumPlace == TChecksumPlace::AfterEndOfText) at += 2;
    const std::int64_t afterChecksum = at;
    for (const TBlob& blob : Writer.Blobs) {
      layout.BlobOffsets.push_back(at);
      at += static_cast<std::int64_t>(blob.Bytes.size());
    }
    if (WithChecksum() && Writer.ChecksumPlace == TChecksumPlace::FileEnd) at += 2;
    layout.FileLength = (WithChecksum() && Writer.ChecksumPlace == TChecksumPlace::AfterEndOfText) ? afterChecksum : at;
    return layout;
  }

  // Numbers in the text move the data that they point at: settle the layout.
  void Settle(std::string& textPart) {
    TLayout layout = LayoutFor(0);
    for (int round = 0;; ++round) {
      textPart.clear();
      for (const auto& chunk : Text.Chunks)
        textPart += chunk.Line ? Render(*chunk.Line, layout, chunk.Where) : chunk.Text;
      if (Writer.TextLimit && textPart.size() > *Writer.TextLimit) textPart.resize(*Writer.TextLimit);
      const TLayout next = LayoutFor(static_cast<std::int64_t>(textPart.size()));
      if (next.BlobOffsets == layout.BlobOffsets && next.FileLength == layout.FileLength) break;
      if (round == 32) throw TWriterError("The layout of the file does not settle");
      layout = next;
    }
  }

  std::string Assemble(std::string textPart) const {
    std::string file = std::move(textPart);
    if (Writer.EndOfTextByte) file += '\x1a';
    const auto appendChecksum = [&] {
      std::uint16_t sum = HintChecksum(file);
      if (Writer.Checksum == TChecksum::Wrong) sum ^= 0x5A5A;
      file += static_cast<char>(sum & 0xFF);
      file += static_cast<char>(sum >> 8);
    };
    if (WithChecksum() && Writer.ChecksumPlace == TChecksumPlace::AfterEndOfText) appendChecksum();
    for (const TBlob& blob : Writer.Blobs) file += blob.Bytes;
    if (WithChecksum() && Writer.ChecksumPlace == TChecksumPlace::FileEnd) appendChecksum();
    return file;
  }

  THintFileWriter& Writer;
  const std::string Mask;
  TTextPart Text;
};

std::string THintFileWriter::Build() {
  if (!EndMarker && !Hunks.empty()) throw TWriterError("A file without the end marker cannot hold hunks");
  return TFileBuild(*this).Bytes();
}

void THintFileWriter::Save(const std::string& path) {
  const std::string bytes = Build();
  const std::string failure = ReplaceFileWith(path, bytes);
  if (!failure.empty()) throw TWriterError(failure);
}
