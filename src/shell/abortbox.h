#pragma once
// The progress box of long operations: a status text and a Cancel button.
// While it is up every other window is disabled; the caller keeps working,
// pumps events between steps and polls the cancel flag that Cancel sets.

#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

#include <QDialog>
#include <QPointer>

class QLabel;
class QPushButton;

class TAbortDialog : public QDialog {
  Q_OBJECT

 public:
  // Shows the box at once, above the owner's window; cancelFlag must
  // outlive it. The box is no child of the owner (whom it disables): its
  // creator owns it.
  TAbortDialog(QWidget* owner, volatile std::uint8_t* cancelFlag);
  ~TAbortDialog() override;

  void SetStatusText(const QString& text);
  QLabel* StatusText() const { return Status; }
  QPushButton* CancelButton() const { return Cancel; }

  // The caller's end of the work: closes the box unless Cancel already did.
  void Finish();
  void CancelButtonClick();

  // The box stays up at least this long, so that it never just flickers.
  static constexpr std::chrono::milliseconds MinimumTime{500};

 protected:
  void reject() override;  // Escape cancels

 private:
  void Close();

  struct TWindowState {
    QPointer<QWidget> Window;
    bool Enabled;
  };
  volatile std::uint8_t* CancelFlag;
  std::vector<TWindowState> Windows;
  std::chrono::steady_clock::time_point Created;
  bool Closed = false;
  QLabel* Status;
  QPushButton* Cancel;
};

class QString;
class TProgressBox;

// A progress box for the display's long work (formatting and printing):
// a TAbortDialog with the caption, owned by the returned object.
std::unique_ptr<TProgressBox> ShowAbortBox(QWidget* owner, const QString& caption, volatile std::uint8_t* cancelFlag);
