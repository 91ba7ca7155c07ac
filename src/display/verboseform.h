#pragma once
// The "ZEB Hint Files by Title" window: a hint window whose document lists
// the header summaries of the hint files in one folder, sorted by title,
// each a link that opens its file. The bottom panel names the folder and
// offers "Change Folder...".

#include <memory>
#include <string>
#include <system_error>

#include "display/stringchild.h"

class QLabel;
class QString;
class TMetaTextHunk;

class TVerboseForm : public THintForm {
  Q_OBJECT

 public:
  static constexpr const char* DocumentTitle = "ZEB Hint Files by Title";

  // Owns the document; folder ends with "/".
  TVerboseForm(std::unique_ptr<TMetaTextHunk> document, std::string folder);

  // Change Folder: the folder dialog, then the new folder listed.
  void HintButtonClick() override;
  // Lists the hint files of the folder by title, under the "Searching
  // Files" progress box; Cancel lists what was found until then.
  void ListFolder(const std::string& folder);

  const std::string& Folder() const { return FolderShown; }
  QLabel* FolderLabel() const { return Label; }

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void PanelResize();

  std::string FolderShown;
  QLabel* Label;
};

// The message for a folder of hint files that cannot be listed.
QString FolderErrorText(const std::string& folder, const std::error_code& error);

// Opens the by-title window in the window area, listing the folder.
TVerboseForm* ShowVerboseWindow(const std::string& folder);
