// Save Window, Copy to Clipboard and Print Window: what a hint window shows
// leaves it as text (appended to a file, or on the clipboard), as a picture
// (an 8-bit Windows bitmap file, or on the clipboard), or on paper.

#include <sstream>

#include <QApplication>
#include <QClipboard>

#include "display/bmpfile.h"
#include "display/hunkprintout.h"
#include "display/savequestion.h"
#include "display/stringcontrol.h"
#include "display/textcodec.h"
#include "fileio/appendfile.h"
#include "model/displaydocument.h"
#include "model/itemshunk.h"
#include "model/pngobject.h"
#include "display/pngdecode.h"

namespace {
const QImage* LonePicture(const TItemsHunk* node) {
  if (!IsJustAGraphic(node)) return nullptr;
  const QImage* image = DecodedPicture(*node->ItemAt(0));
  return image != nullptr && !image->isNull() ? image : nullptr;
}
}  // namespace

int TStringControl::SavedItemCount() const {
  if (Node == nullptr) return 0;
  const int shown = ShownCount();
  // A partly revealed node ends its display with the separator of the last
  // revealed hint, which is left out.
  return shown < static_cast<int>(Node->ItemCount()) ? std::max(shown - 1, 0) : shown;
}

QString TStringControl::ContentsText() const {
  QString text;
  if (Node == nullptr) return text;
  const int shown = std::min<int>(ShownCount(), static_cast<int>(Node->ItemCount()));
  for (int i = 0; i < shown; ++i) {
    const TZEBObject& item = *Node->ItemAt(static_cast<std::size_t>(i));
    if (item.IsRule) {
      text += "\r\n";
      continue;
    }
    text += ItemText(item);
    if (item.EndsLine || i + 1 == shown) {
      text += "\r\n";
    } else if (item.SpaceAfter) {
      text += ' ';
    }
  }
  return text;
}

void TStringControl::SaveContents() {
  if (Node == nullptr) return;
  const QImage* picture = LonePicture(Node);
  TDialogs::TFileQuestion question;
  question.Title = "Save Window As";
  const QString title = FromCp1252(Node->GetText());
  if (picture != nullptr) {
    question.Filter = "Windows Bitmap Files (*.BMP *.bmp);;All Files (*)";
    question.DefaultExtension = "BMP";
  } else {
    question.Filter = "Text Files (*.TXT *.txt);;All Files (*)";
    question.DefaultExtension = "TXT";
    // The text is appended to a file that exists: nothing to confirm.
    question.ConfirmOverwrite = false;
  }
  question.InitialName = FileNameFromTitle(title, question.DefaultExtension);
  const auto path = AskFileToWrite(window(), question);
  if (!path) return;

  if (picture != nullptr) {
    if (!SaveBitmap8(*picture, path->toStdString())) ReportCannotWrite(window(), *path);
    return;
  }
  // Appended, never replacing what the file holds: the window's text goes
  // in whole, or the file is left as it was.
  std::ostringstream text;
  text << Node->GetText() << TextLineEnd << TextLineEnd;
  Node->WriteText(text, SavedItemCount());
  text << TextLineEnd << TextLineEnd;
  TAppendFile out(path->toStdString());
  const bool saved = out.Open() && out.Append(text.str());
  if (!out.Close() || !saved) ReportCannotWrite(window(), *path);
}

void TStringControl::CopyContents() {
  if (Node == nullptr) return;
  QClipboard* clipboard = QApplication::clipboard();
  if (const QImage* picture = LonePicture(Node)) {
    clipboard->setImage(*picture);
  } else {
    clipboard->setText(ContentsText());
  }
}

void TStringControl::PrintContents() {
  if (Node != nullptr) RunPrintJob(*Node, ShownCount(), false, window());
}
