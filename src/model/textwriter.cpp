#include "model/textwriter.h"

#include <algorithm>
#include <ostream>

std::string_view WrapPiece(std::string_view& text, int width, bool atLineStart) {
  if (width < 1) return {};
  const std::size_t w = static_cast<std::size_t>(width);
  if (text.size() <= w) {
    const std::string_view piece = text;
    text = {};
    return piece;
  }
  std::size_t p = text.rfind(' ', w);
  if (p == std::string_view::npos) {
    p = atLineStart ? std::min(text.find(' '), text.size()) : 0;
  } else if (p == 0 && atLineStart) {
    // A leading space with no other break within the width: break at the
    // next space, or take the text whole, so that writing goes on.
    p = std::min(text.find(' ', 1), text.size());
  }
  const std::string_view piece = text.substr(0, p);
  if (p != 0) text = p < text.size() ? text.substr(p + 1) : std::string_view();
  return piece;
}

namespace {
constexpr std::size_t FlushSize = 64 * 1024;
}  // namespace

TTextWriter::~TTextWriter() { Flush(); }

void TTextWriter::Put(std::string_view text) {
  Pending.append(text);
  if (Pending.size() >= FlushSize) Flush();
}

void TTextWriter::Flush() {
  if (Pending.empty()) return;
  Out.write(Pending.data(), static_cast<std::streamsize>(Pending.size()));
  Pending.clear();
}

void TTextWriter::CloseItem() {
  if (!Open) return;
  Open = false;
  if (Last.EndsLine) {
    Put(TextLineEnd);
    Column = 0;
  } else if (Last.SpaceAfter) {
    Put(" ");
    ++Column;
  }
}

void TTextWriter::Write(const TItemView& item) {
  CloseItem();
  std::string_view text = item.Text;
  do {
    const std::string_view piece = WrapPiece(text, TextColumns - Column, Column == 0);
    Put(piece);
    if (!text.empty()) {
      Put(TextLineEnd);
      Column = 0;
    } else {
      Column += static_cast<int>(piece.size());
    }
  } while (!text.empty());
  Open = true;
  Last = item.Flags;
}

void TTextWriter::WriteRaw(std::string_view text) {
  CloseItem();
  Put(text);
  Column += static_cast<int>(text.size());
}

void TTextWriter::Finish() {
  if (Open) {
    Put(TextLineEnd);
    Column = 0;
  }
  Open = false;
  Flush();
}
