#include "model/displaydocument.h"

#include <ostream>
#include <utility>

#include "model/datahunks.h"
#include "model/pngobject.h"
#include "model/texthunk.h"

namespace {
constexpr const char* NotRecognized =
    "This data type was not recognized.  You may need to upgrade your ZEB reader.";
constexpr const char* UnsupportedImage =
    "This section contains image data in an unsupported format.  You will need to get a newer version of "
    "this hint file to display the image.";
constexpr const char* SoundData =
    "This section contains sound data.  You will need to open it from within the reader to play the sound.";
constexpr const char* CannotConvert = "This section contains graphics or sounds that cannot be converted to text.";

// Appends an item made for the document; the document is its owner.
void AppendMade(TItemsHunk& document, std::string text, bool endsLine) {
  auto item = std::make_unique<TZEBObject>(std::move(text), &document, endsLine);
  document.Append(item.get());
  item.release();
}

bool IsHintList(std::uint8_t kind) { return kind == Kind::Hint || kind == Kind::NestHint; }
}  // namespace

std::unique_ptr<TMetaTextHunk> MakeDocument(std::string title) {
  return std::make_unique<TMetaTextHunk>(std::move(title), nullptr, Kind::Subject);
}

void FreeDocument(std::unique_ptr<TMetaTextHunk> document) {
  if (!document) return;
  for (TZEBObject*& item : document->Items) {
    if (item->Owner == document.get()) {
      delete item;
      item = nullptr;
    }
  }
  document->SetOwnsItems(false);
  document.reset();
}

// ---- headings and displays -------------------------------------------------

void THunk::AppendHeading(TItemsHunk& document) {
  if (Label.empty()) return;
  const bool ownerIsSubject = Owner != nullptr && Owner->KindCode() == Kind::Subject;
  if (!(Label == "1." && ownerIsSubject)) {
    AppendMade(document, "", true);
    AppendMade(document, "", true);
  }
  AppendMade(document, Label + " " + Text, true);
  if (KindCode() != Kind::Subject) AppendMade(document, "", true);
}

void THunk::AppendDisplay(TItemsHunk& document) {
  AppendHeading(document);
  AppendMade(document, NotRecognized, true);
}

void TItemsHunk::AppendDisplay(TItemsHunk& document) {
  AppendHeading(document);
  for (TZEBObject* item : Items) {
    if (item->IsNode()) {
      static_cast<THunk*>(item)->AppendDisplay(document);
    } else {
      document.Append(item);
    }
  }
}

void TMetaTextHunk::AppendDisplay(TItemsHunk& document) {
  AppendHeading(document);
  const bool subject = Kind == Kind::Subject;
  if (IsHintList(Kind)) {
    for (const TZEBObject* item : Items) {
      if (item->Text == "-") {
        AppendMade(document, "* ", false);  // the first hint's bullet
        break;
      }
    }
  }
  for (TZEBObject* item : Items) {
    if (item->IsNode()) {
      if (subject) continue;
      if (item->KindCode() == Kind::PngObject) {
        document.Append(item);
      } else {
        const auto* node = static_cast<const THunk*>(item);
        AppendMade(document, node->Text + " [see " + node->GetLabel() + "]", item->EndsLine != 0);
      }
    } else if (item->Text == "-") {
      AppendMade(document, "* ", false);  // the next hint's bullet
    } else {
      document.Append(item);
    }
  }
  if (!subject && !Items.empty() && Items.back()->EndsLine == 0) AppendMade(document, "", true);
  for (TZEBObject* item : Items) {
    if (item->IsNode() && item->KindCode() != Kind::PngObject)
      static_cast<THunk*>(item)->AppendDisplay(document);
  }
}

void TTextHunk::AppendDisplay(TItemsHunk& document) {
  AppendHeading(document);
  for (TZEBObject* item : Items) document.Append(item);
}

void TPNGObject::AppendDisplay(TItemsHunk& document) {
  document.Append(this);
  for (TZEBObject* item : Items) {
    if (item->IsNode() && item->KindCode() != Kind::Overlay) static_cast<THunk*>(item)->AppendDisplay(document);
  }
}

void TGIFaHunk::AppendDisplay(TItemsHunk& document) {
  AppendHeading(document);
  AppendMade(document, UnsupportedImage, true);
}

void TSoundHunk::AppendDisplay(TItemsHunk& document) {
  AppendHeading(document);
  AppendMade(document, SoundData, true);
}

void TOverlayHunk::AppendDisplay(TItemsHunk& document) { AppendHeading(document); }
void TLinkHunk::AppendDisplay(TItemsHunk&) {}
void TBlankHunk::AppendDisplay(TItemsHunk&) {}

// ---- text output -----------------------------------------------------------

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

void THunk::WriteText(std::ostream& out, int) const {
  out << (KindCode() == Kind::Unknown ? NotRecognized : CannotConvert) << TextLineEnd;
}

void TItemsHunk::WriteText(std::ostream& out, int count) const {
  const std::size_t n = count < 0 ? Items.size() : std::min<std::size_t>(static_cast<std::size_t>(count), Items.size());
  const bool bullets = IsHintList(KindCode());
  int column = 0;
  if (bullets) {
    for (std::size_t i = 0; i < n; ++i) {
      if (Items[i]->Text == "-") {
        out << "* ";
        column += 2;
        break;
      }
    }
  }
  for (std::size_t i = 0; i < n; ++i) {
    const TZEBObject* item = Items[i];
    if (bullets && !item->IsNode() && item->Text == "-") {
      out << "* ";
      column += 2;
      continue;
    }
    std::string_view text = item->Text;
    do {
      const std::string_view piece = WrapPiece(text, TextColumns - column, column == 0);
      out << piece;
      if (!text.empty()) {
        out << TextLineEnd;
        column = 0;
      } else {
        column += static_cast<int>(piece.size());
      }
    } while (!text.empty());
    if (item->EndsLine || i + 1 == n) {
      out << TextLineEnd;
      column = 0;
    } else if (item->SpaceAfter) {
      out << ' ';
      ++column;
    }
  }
}

// ---- decoding --------------------------------------------------------------

void DecodeToText(THunk& root, std::ostream& out) {
  auto document = MakeDocument("Hints for " + root.GetText());
  root.AssignLabels("");
  root.AppendDisplay(*document);
  out << "ZEB: " << document->Text << TextLineEnd << TextLineEnd << TextLineEnd;
  document->WriteText(out, -1);
  FreeDocument(std::move(document));
}
