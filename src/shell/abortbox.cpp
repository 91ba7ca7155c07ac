#include "shell/abortbox.h"

#include <thread>

#include <QApplication>
#include <QGroupBox>
#include <QWindow>
#include <QLabel>
#include <QPushButton>

#include "display/displaycontext.h"
#include "shell/centering.h"

// The box has no parent widget: a child window is disabled with its parent,
// and the box must stay the one window that takes input. It stays above its
// owner as the owner's transient window instead.
TAbortDialog::TAbortDialog(QWidget* owner, volatile std::uint8_t* cancelFlag)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint),
      CancelFlag(cancelFlag),
      Created(std::chrono::steady_clock::now()) {
  setFixedSize(340, 142);
  auto* frame = new QGroupBox(this);
  frame->setGeometry(10, 8, 316, 89);
  Status = new QLabel(frame);
  Status->setGeometry(8, 16, 300, 65);
  Status->setAlignment(Qt::AlignCenter);
  Status->setWordWrap(true);
  Status->setTextFormat(Qt::PlainText);
  Cancel = new QPushButton("Cancel", this);
  Cancel->setGeometry(133, 108, 75, 25);
  connect(Cancel, &QPushButton::clicked, this, &TAbortDialog::CancelButtonClick);

  // Everything but this box is disabled while it is up.
  // Every state is read before any window is disabled: disabling a window
  // disables the windows it parents (its menus), which would otherwise be
  // recorded as disabled and stay so.
  for (QWidget* window : QApplication::topLevelWidgets())
    if (window != this) Windows.push_back({window, window->isEnabled()});
  for (const TWindowState& state : Windows) state.Window->setEnabled(false);
  if (owner != nullptr) {
    winId();
    if (QWindow* parent = owner->window()->windowHandle()) windowHandle()->setTransientParent(parent);
  }
  CenterOnMainWindow(this);
  show();
}

TAbortDialog::~TAbortDialog() { Close(); }

void TAbortDialog::SetStatusText(const QString& text) { Status->setText(text); }

void TAbortDialog::CancelButtonClick() {
  if (CancelFlag != nullptr) *CancelFlag = 1;
  Close();
}

void TAbortDialog::reject() { CancelButtonClick(); }

void TAbortDialog::Finish() {
  if (CancelFlag == nullptr || *CancelFlag == 0) Close();
}

void TAbortDialog::Close() {
  if (Closed) return;
  Closed = true;
  // Sleep out the rest of the minimum time without handling events.
  const auto shown = std::chrono::steady_clock::now() - Created;
  if (shown < MinimumTime) std::this_thread::sleep_for(MinimumTime - shown);
  for (const TWindowState& state : Windows)
    if (state.Window) state.Window->setEnabled(state.Enabled);
  Windows.clear();
  hide();
}

namespace {
class TAbortBoxProgress : public TProgressBox {
 public:
  TAbortBoxProgress(QWidget* owner, const QString& caption, volatile std::uint8_t* cancelFlag)
      : Box(std::make_unique<TAbortDialog>(owner, cancelFlag)) {
    Box->setWindowTitle(caption);
  }
  void SetStatusText(const QString& text) override { Box->SetStatusText(text); }
  void Finish() override { Box->Finish(); }

 private:
  std::unique_ptr<TAbortDialog> Box;
};
}  // namespace

std::unique_ptr<TProgressBox> ShowAbortBox(QWidget* owner, const QString& caption, volatile std::uint8_t* cancelFlag) {
  return std::make_unique<TAbortBoxProgress>(owner, caption, cancelFlag);
}
