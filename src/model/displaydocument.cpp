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

// Appends an item made for the document; the document is its owner. A
// document that is written out as it is built gets the text alone.
void AppendMade(TItemsHunk& document, std::string text, bool endsLine) {
  if (document.Writer != nullptr) {
    TItemView made;
    made.Text = text;
    made.Flags.EndsLine = endsLine ? 1 : 0;
    document.Writer->Write(made);
    return;
  }
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
  TItemList& items = document->Items;
  for (std::size_t i = 0; i < items.size(); ++i) {
    TZEBObject* item = items.ObjectAt(i);
    if (item != nullptr && item->Owner == document.get()) {
      delete item;
      items.Replace(i, nullptr);
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
  for (std::size_t i = 0; i < Items.size(); ++i) {
    if (THunk* node = NodeAt(i)) {
      node->AppendDisplay(document);
    } else {
      document.AppendFrom(*this, i);
    }
  }
}

void TMetaTextHunk::AppendDisplay(TItemsHunk& document) {
  AppendHeading(document);
  const bool subject = Kind == Kind::Subject;
  if (IsHintList(Kind)) {
    for (std::size_t i = 0; i < Items.size(); ++i) {
      if (Items.View(i).Text == "-") {
        AppendMade(document, "* ", false);  // the first hint's bullet
        break;
      }
    }
  }
  for (std::size_t i = 0; i < Items.size(); ++i) {
    if (THunk* node = NodeItems != 0 ? NodeAt(i) : nullptr) {
      if (subject) continue;
      if (node->KindCode() == Kind::PngObject) {
        document.Append(node);
      } else {
        AppendMade(document, node->Text + " [see " + node->GetLabel() + "]", node->EndsLine != 0);
      }
    } else if (Items.View(i).Text == "-") {
      AppendMade(document, "* ", false);  // the next hint's bullet
    } else {
      document.AppendFrom(*this, i);
    }
  }
  if (!subject && !Items.empty() && Items.View(Items.size() - 1).Flags.EndsLine == 0) AppendMade(document, "", true);
  if (NodeItems == 0) return;
  for (std::size_t i = 0; i < Items.size(); ++i) {
    if (THunk* node = NodeAt(i); node != nullptr && node->KindCode() != Kind::PngObject) node->AppendDisplay(document);
  }
}

void TTextHunk::AppendDisplay(TItemsHunk& document) {
  AppendHeading(document);
  for (std::size_t i = 0; i < Items.size(); ++i) document.AppendFrom(*this, i);
}

void TPNGObject::AppendDisplay(TItemsHunk& document) {
  document.Append(this);
  for (std::size_t i = 0; i < Items.size(); ++i) {
    if (THunk* node = NodeAt(i); node != nullptr && node->KindCode() != Kind::Overlay) node->AppendDisplay(document);
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

void THunk::WriteText(std::ostream& out, int) const {
  out << (KindCode() == Kind::Unknown ? NotRecognized : CannotConvert) << TextLineEnd;
}

void TItemsHunk::WriteText(std::ostream& out, int count) const {
  const std::size_t n = count < 0 ? Items.size() : std::min<std::size_t>(static_cast<std::size_t>(count), Items.size());
  const bool bullets = IsHintList(KindCode());
  TTextWriter writer(out);
  if (bullets) {
    for (std::size_t i = 0; i < n; ++i) {
      if (Items.View(i).Text == "-") {
        writer.WriteRaw("* ");
        break;
      }
    }
  }
  for (std::size_t i = 0; i < n; ++i) {
    const TItemView item = Items.View(i);
    if (bullets && !item.IsNode() && item.Text == "-") {
      writer.WriteRaw("* ");
      continue;
    }
    writer.Write(item);
  }
  writer.Finish();
}

// ---- decoding --------------------------------------------------------------

void DecodeToText(THunk& root, std::ostream& out) {
  auto document = MakeDocument("Hints for " + root.GetText());
  root.AssignLabels("");
  out << "ZEB: " << document->Text << TextLineEnd << TextLineEnd << TextLineEnd;
  // The items go out as the display is built: the document stays empty.
  TTextWriter writer(out);
  document->Writer = &writer;
  root.AppendDisplay(*document);
  document->Writer = nullptr;
  writer.Finish();
  FreeDocument(std::move(document));
}
