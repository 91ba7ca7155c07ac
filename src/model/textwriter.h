#pragma once
// Text output of items: each item's text wrapped at 75 columns, CR LF line
// ends. The writer is fed one item at a time, so a whole file can be written
// while its display is built, without holding the display.

#include <iosfwd>
#include <string>
#include <string_view>

#include "model/itemlist.h"

// The line end of every text file the program writes.
inline constexpr std::string_view TextLineEnd = "\r\n";
// Text output wraps at this many columns.
inline constexpr int TextColumns = 75;

// Takes one piece of at most width characters off the front of text,
// breaking at a space (which is dropped). A word longer than the width at
// the start of a line comes whole.
std::string_view WrapPiece(std::string_view& text, int width, bool atLineStart);

class TTextWriter {
 public:
  explicit TTextWriter(std::ostream& out) : Out(out) {}
  ~TTextWriter();
  TTextWriter(const TTextWriter&) = delete;
  TTextWriter& operator=(const TTextWriter&) = delete;

  // Writes the item's text. What follows it (a line end when it ends its
  // line, else a space when it asks for one) is written with the next item;
  // after the last item, Finish ends the line.
  void Write(const TItemView& item);
  // Writes text as it is, after what the previous item left to write; the
  // previous item then has no line end of its own to come.
  void WriteRaw(std::string_view text);
  // Ends the last item's line and hands everything to the stream.
  void Finish();

 private:
  void CloseItem();
  // Text gathers here and goes to the stream in large writes: a stream call
  // per item would cost more than the item.
  void Put(std::string_view text);
  void Flush();

  std::string Pending;
  std::ostream& Out;
  int Column = 0;
  bool Open = false;  // an item was written and what follows it was not
  TItemFlags Last;
};
