// What screen readers learn of hint windows: the shown text of the display
// control, its links (named, pressable), the focus among them, the
// announcement of a revealed hint, and the names of the button and dialogs.

#include <gtest/gtest.h>

#include <QAccessible>
#include <QDialog>

#include <functional>

#include "display/controlaccessible.h"
#include "settings/optionsform.h"
#include "support/scripteddialogs.h"
#include "windowfixture.h"

using namespace wintest;

namespace {

// Records the accessibility events the program sends, while it lives. Qt
// sends them only while a screen reader is connected, which an offscreen
// test run never has; the tests look at them only then.
class TEventRecorder {
 public:
  TEventRecorder() {
    Current = this;
    Previous = QAccessible::installUpdateHandler(&Record);
  }
  ~TEventRecorder() {
    QAccessible::installUpdateHandler(Previous);
    Current = nullptr;
  }
  struct TSeen {
    QAccessible::Event Type;
    QObject* Object;
    QString Text;
  };
  std::vector<TSeen> Seen;

 private:
  static void Record(QAccessibleEvent* event) {
    TSeen seen{event->type(), event->object(), {}};
    if (event->type() == QAccessible::TextInserted) seen.Text = static_cast<QAccessibleTextInsertEvent*>(event)->textInserted();
    Current->Seen.push_back(seen);
  }
  static inline TEventRecorder* Current = nullptr;
  QAccessible::UpdateHandler Previous = nullptr;
};

class Accessibility : public WindowTest {
 protected:
  // A subject with two hint lists, loaded from a file.
  TItemsHunk* LoadGame() {
    THintFileWriter writer;
    writer.Hunks = {Subject("Castle", {Hint("How do I cross the moat?", {"Find a barrel.", "-", "Ride the barrel."}),
                                       Hint("Where is the key?", {"Under the mat."})})};
    return Load(writer);
  }

  static QAccessibleInterface* ControlInterface(THintForm* form) {
    return QAccessible::queryAccessibleInterface(form->Control());
  }

  // Every button a screen reader finds in the window, by name.
  static QStringList ButtonsIn(QWidget* window) {
    QStringList buttons;
    const std::function<void(QAccessibleInterface*)> walk = [&](QAccessibleInterface* node) {
      if (node == nullptr) return;
      if (node->role() == QAccessible::Button) buttons << node->text(QAccessible::Name);
      for (int i = 0; i < node->childCount(); ++i) walk(node->child(i));
    };
    walk(QAccessible::queryAccessibleInterface(window));
    return buttons;
  }
};

}  // namespace

TEST_F(Accessibility, HintWindowShowsItsTextAndItsLinksCanBePressed) {
  UseArea();
  TItemsHunk* root = LoadGame();
  ASSERT_NE(root, nullptr);
  THintForm* form = Open(*root);
  ASSERT_NE(form, nullptr);

  // A read-only text view named after its own child window, not after the
  // window that holds the window area; without hints, it has no button.
  Area->setWindowTitle("ZEB Reader");
  QAccessibleInterface* control = ControlInterface(form);
  ASSERT_NE(control, nullptr);
  EXPECT_EQ(control->role(), QAccessible::EditableText);
  EXPECT_TRUE(control->state().readOnly);
  EXPECT_FALSE(control->state().editable);
  EXPECT_EQ(control->text(QAccessible::Name), QString("Castle"));
  EXPECT_EQ(ButtonsIn(form->SubWindow()), QStringList()) << "a hidden hint button is in the tree";
  QAccessibleTextInterface* text = control->textInterface();
  ASSERT_NE(text, nullptr);
  const QString shown = text->text(0, text->characterCount());
  EXPECT_TRUE(shown.contains("How do I cross the moat?")) << shown.toStdString();
  EXPECT_TRUE(shown.contains("Where is the key?")) << shown.toStdString();
  EXPECT_EQ(control->text(QAccessible::Value), shown);

  ASSERT_EQ(control->childCount(), 2);
  QAccessibleInterface* moat = control->child(0);
  ASSERT_NE(moat, nullptr);
  EXPECT_EQ(moat->role(), QAccessible::Link);
  EXPECT_EQ(moat->text(QAccessible::Name), QString("How do I cross the moat?"));
  EXPECT_EQ(moat->parent(), control);
  EXPECT_EQ(control->indexOfChild(moat), 0);
  EXPECT_EQ(control->child(1)->text(QAccessible::Name), QString("Where is the key?"));
  EXPECT_TRUE(moat->rect().isValid());
  EXPECT_EQ(control->childAt(moat->rect().center().x(), moat->rect().center().y()), moat);

  // Tab selects the first link: the focus among the children follows.
  form->Control()->setFocus();
  Type(Qt::Key_Tab);
  EXPECT_EQ(control->focusChild(), moat);
  EXPECT_TRUE(moat->state().focused);

  // Pressing the link through its action opens the hint list it names.
  QAccessibleActionInterface* action = moat->actionInterface();
  ASSERT_NE(action, nullptr);
  ASSERT_TRUE(action->actionNames().contains(QAccessibleActionInterface::pressAction()));
  THunk* moatNode = root->FindByTitle("How do I cross the moat?");
  ASSERT_EQ(moatNode->Window, nullptr);
  action->doAction(QAccessibleActionInterface::pressAction());
  Settle();
  EXPECT_NE(moatNode->Window, nullptr);
}

TEST_F(Accessibility, RevealingAHintAnnouncesItsText) {
  TItemsHunk* root = LoadGame();
  ASSERT_NE(root, nullptr);
  THunk* moat = root->FindByTitle("How do I cross the moat?");
  THintForm* form = Open(*moat);
  ASSERT_NE(form, nullptr);
  QAccessibleInterface* control = ControlInterface(form);
  QAccessibleTextInterface* text = control->textInterface();
  const QString first = text->text(0, text->characterCount());
  EXPECT_TRUE(first.startsWith("Find a barrel.\n")) << first.toStdString();
  EXPECT_FALSE(first.contains("Ride")) << first.toStdString();

  EXPECT_EQ(ButtonsIn(form), QStringList{"Hint 1 of 2.  Another hint?"});
  QAccessibleInterface* button = QAccessible::queryAccessibleInterface(form->HintButton());
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->role(), QAccessible::Button);
  EXPECT_EQ(button->text(QAccessible::Name), QString("Hint 1 of 2.  Another hint?"));
  EXPECT_FALSE(button->text(QAccessible::Description).isEmpty());

  TEventRecorder events;
  ASSERT_NE(button->actionInterface(), nullptr);
  form->HintButton()->click();
  Settle();
  EXPECT_TRUE(text->text(0, text->characterCount()).contains("Ride the barrel."));
  bool announced = false;
  for (const auto& seen : events.Seen)
    if (seen.Type == QAccessible::TextInserted && seen.Object == form->Control() && seen.Text.contains("Ride the barrel."))
      announced = true;
  if (QAccessible::isActive()) {
    EXPECT_TRUE(announced) << "the revealed hint is announced";
  }
  EXPECT_EQ(control->text(QAccessible::Description), QString("Ride the barrel.")) << "the hint revealed last";
  EXPECT_EQ(button->text(QAccessible::Name), QString("No more hints."));
}

TEST_F(Accessibility, DialogsAreNamedByTheirCaption) {
  TScriptedDialogs dialogs;
  TOptions working;
  TOptionsForm options(nullptr, working, dialogs);
  QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&options);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->role(), QAccessible::Dialog);
  EXPECT_EQ(window->text(QAccessible::Name), QString("Set Options"));
  // Its buttons are named too.
  bool okNamed = false;
  for (int i = 0; i < window->childCount(); ++i) {
    const std::function<void(QAccessibleInterface*)> visit = [&](QAccessibleInterface* node) {
      if (node == nullptr) return;
      if (node->role() == QAccessible::Button && node->text(QAccessible::Name).remove('&') == "OK") okNamed = true;
      for (int j = 0; j < node->childCount(); ++j) visit(node->child(j));
    };
    visit(window->child(i));
  }
  EXPECT_TRUE(okNamed);
}
