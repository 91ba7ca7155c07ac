// Hint files dragged from a file manager and dropped on the main window.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMdiArea>
#include <QMimeData>
#include <QUrl>

#include "shell/mainfixture.h"

namespace {

QMimeData* FileUrls(const std::vector<std::string>& paths) {
  auto* data = new QMimeData;
  QList<QUrl> urls;
  for (const std::string& path : paths) urls.push_back(QUrl::fromLocalFile(QString::fromStdString(path)));
  data->setUrls(urls);
  return data;
}

// Drags the data over the window area and drops it there, as a file manager
// does; the events go to the widget under the pointer and on to the window
// that takes drops. True when the drag was accepted.
bool DragAndDrop(TZEBMain& main, QMimeData* data) {
  QWidget* target = main.WindowArea()->viewport();
  const QPoint at = target->rect().center();
  QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &enter);
  if (!enter.isAccepted()) {
    delete data;
    return false;
  }
  QDropEvent drop(QPointF(at), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &drop);
  delete data;
  return true;
}

}  // namespace

TEST_F(MainWindowTest, DroppedHintFileOpensAndOfSeveralTheFirst) {
  TZEBMain& main = Start(THelpFile::None);
  main.show();
  const std::string first = Save("FIRST.ZEB", GameFileWriter("First Game"));
  const std::string second = Save("SECOND.ZEB", GameFileWriter("Second Game"));

  ASSERT_TRUE(DragAndDrop(main, FileUrls({first, second})));
  ASSERT_NE(main.FileRoot(), nullptr);
  EXPECT_EQ(main.FileRoot()->Text, "First Game");
  EXPECT_EQ(main.CurrentFile(), first);
  EXPECT_TRUE(Messages().empty());

  ASSERT_TRUE(DragAndDrop(main, FileUrls({second})));
  EXPECT_EQ(main.FileRoot()->Text, "Second Game");
}

TEST_F(MainWindowTest, DroppedFileThatIsNoHintFileGivesTheLoadersMessage) {
  TZEBMain& main = Start(THelpFile::None);
  main.show();
  const std::string game = SaveGame();
  main.OpenHintFile(game);
  const std::string notes = Files.Write("NOTES.TXT", "Shopping list\r\nmilk\r\n");

  ASSERT_TRUE(DragAndDrop(main, FileUrls({notes})));
  const auto messages = Messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].Text.toStdString(), "The file you have tried to open is not a ZEB file.");
  EXPECT_EQ(main.CurrentFile(), game) << "the open file stays open";
}

TEST_F(MainWindowTest, DragsWithoutALocalFileAreRefused) {
  TZEBMain& main = Start(THelpFile::None);
  main.show();
  auto* text = new QMimeData;
  text->setText("How do I open the gate?");
  EXPECT_FALSE(DragAndDrop(main, text));
  auto* web = new QMimeData;
  web->setUrls({QUrl("https://example.org/GAME.ZEB")});
  EXPECT_FALSE(DragAndDrop(main, web));
  EXPECT_EQ(main.FileRoot(), nullptr);
  EXPECT_TRUE(Messages().empty());
}
