#include "display/displaycontext.h"

#include "model/zebobject.h"
#include "settings/options.h"

TDisplayContext& DisplayContext() {
  static TDisplayContext context;
  return context;
}

const TOptions& DisplayOptions() {
  static const TOptions defaults = [] {
    TOptions options;
    options.MainFont = TextToFont("Arial,10,400,0");
    options.FixedFont = TextToFont("Courier New,9,400,0");
    return options;
  }();
  const TDisplayContext& context = DisplayContext();
  return context.Options != nullptr ? *context.Options : defaults;
}

std::string RootFileName(const TZEBObject& node) {
  const TDisplayContext& context = DisplayContext();
  if (!context.FileOfTree) return std::string();
  const TZEBObject* top = &node;
  while (top->Owner != nullptr) top = top->Owner;
  return context.FileOfTree(*top);
}

void ShowStatusNote(const std::string& text) {
  const TDisplayContext& context = DisplayContext();
  if (context.ShowStatus) context.ShowStatus(text);
}
