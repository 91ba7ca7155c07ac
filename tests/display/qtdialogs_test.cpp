// Qt's own dialogs as the reader shows them, answered as a user answers
// them: the folder dialog with its prompt, the font dialog without effects,
// the list of windows wide enough for its titles, and message boxes wide
// enough for their captions.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QFontDialog>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QDir>
#include <QTimer>

#include <functional>

#include "dialogs/dialogs.h"
#include "display/qtdialogs.h"
#include "support/fixtures.h"

namespace {

// Runs look on the modal dialog of type T once it shows, then closes it
// with done(result).
template <typename T>
void WhenShown(const std::function<void(T&)>& look, int result = QDialog::Rejected) {
  auto* timer = new QTimer;
  QObject::connect(timer, &QTimer::timeout, [timer, look, result] {
    auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
    if (dialog == nullptr || !dialog->isVisible()) return;
    timer->stop();
    timer->deleteLater();
    look(*dialog);
    QMetaObject::invokeMethod(dialog, "done", Qt::QueuedConnection, Q_ARG(int, result));
  });
  timer->start(20);
}

TQtDialogs QtOwn;

}  // namespace

TEST(QtDialogs, TheFolderDialogShowsItsPromptAndGivesTheFolder) {
  TTempDir dir;
  const QString folder = QString::fromStdString(dir.Path().string());
  QString prompt;
  bool native = true;
  WhenShown<QFileDialog>(
      [&](QFileDialog& dialog) {
        native = !dialog.testOption(QFileDialog::DontUseNativeDialog);
        auto* label = dialog.findChild<QLabel*>("FolderPrompt");
        if (label != nullptr && label->isVisible()) prompt = label->text();
        dialog.selectFile(folder);
      },
      QDialog::Accepted);
  const auto chosen =
      QtOwn.ChooseFolder(nullptr, "Browse for Folder", "Select the new default folder for ZEB hint files.", folder);
  EXPECT_FALSE(native);
  EXPECT_EQ(prompt, "Select the new default folder for ZEB hint files.");
  ASSERT_TRUE(chosen);
  EXPECT_EQ(QDir(*chosen), QDir(folder));
}

TEST(QtDialogs, TheFontDialogHasNoEffectsBox) {
  QStringList shownGroups;
  WhenShown<QFontDialog>([&](QFontDialog& dialog) {
    for (QGroupBox* group : dialog.findChildren<QGroupBox*>())
      if (group->isVisible()) shownGroups << group->title();
  });
  QtOwn.ChooseFont(nullptr, QFont("Sans Serif", 10));
  for (const QString& title : shownGroups) EXPECT_FALSE(title.contains("Effects")) << title.toStdString();
  EXPECT_FALSE(shownGroups.isEmpty()) << "the dialog showed no group at all (sample)";
}

TEST(QtDialogs, TheWindowListIsWideEnoughForItsLongestTitle) {
  const QString longTitle = "How do I get past the locked front door of the manor without waking the dog?";
  int listWidth = 0;
  int textWidth = 0;
  WhenShown<QDialog>([&](QDialog& dialog) {
    auto* list = dialog.findChild<QListWidget*>();
    ASSERT_NE(list, nullptr);
    listWidth = list->viewport()->width();
    textWidth = list->fontMetrics().horizontalAdvance(longTitle);
  });
  QtOwn.ChooseFromList(nullptr, "Select Window", "&Select a window:", {"Moonfall", longTitle}, 0);
  EXPECT_GT(listWidth, textWidth) << "titles are cut";
}

// The caption of a narrow box (a short text under a long caption) is not
// cut: the box is as wide as the caption in a bold title font, with room
// for the title bar's buttons.
TEST(QtDialogs, AMessageBoxIsWideEnoughForItsCaption) {
  const QString caption = "Search Results for \"the lighthouse keeper's lantern\"";
  int boxWidth = 0;
  WhenShown<QMessageBox>([&](QMessageBox& box) { boxWidth = box.width(); });
  QtOwn.Message(nullptr, caption, "No hints were found with the requested string.", TDialogs::TIcon::None, false);
  QFont bold = QApplication::font("QMdiSubWindowTitleBar");
  bold.setBold(true);
  EXPECT_GE(boxWidth, QFontMetrics(bold).horizontalAdvance(caption) + 60);
}
