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
