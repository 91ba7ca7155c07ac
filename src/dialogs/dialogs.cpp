#include "dialogs/dialogs.h"

#include <stdexcept>

namespace {
TDialogs* Installed = nullptr;
TDialogs* Fallback = nullptr;
}  // namespace

TDialogs& Dialogs() {
  if (Installed != nullptr) return *Installed;
  if (Fallback != nullptr) return *Fallback;
  throw std::logic_error("a question was asked before any dialogs were installed");
}

void SetDialogs(TDialogs* dialogs) { Installed = dialogs; }

void SetFallbackDialogs(TDialogs* dialogs) { Fallback = dialogs; }

void TellUnexpectedError(QWidget* owner, const QString& what) {
  Dialogs().Message(owner, "Error", QString("ZEB Reader could not finish what it was doing (%1).").arg(what),
                    TDialogs::TIcon::Stop);
}
