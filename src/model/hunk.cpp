#include "model/hunk.h"

#include <utility>

#include "model/loadcontext.h"

std::function<void(THunk&)> THunk::OpenHandler;

THunk::THunk(std::string title, TZEBObject* owner)
    : TZEBObject(std::move(title), owner, false) {}

THunk::~THunk() { CloseWindow(); }

std::uint8_t THunk::KindCode() const { return Kind::Unknown; }
bool THunk::IsNode() const { return true; }

int THunk::Open() {
  if (OpenHandler) OpenHandler(*this);
  return 0;
}

const char* THunk::ClassName() const { return "THunk"; }

std::string THunk::GetLabel() const { return Label; }

THunk* THunk::FindByLine(std::int32_t number) {
  return LineNumber == number ? this : nullptr;
}

THunk* THunk::FindByTitle(const std::string& title) {
  return Text == title ? this : nullptr;
}

void THunk::AssignLabels(const std::string& prefix) { Label = prefix; }
std::int64_t THunk::DataEnd() const { return 0; }

int THunk::CloseWindow() {
  if (Window != nullptr) {
    TNodeWindow* window = Window;
    Window = nullptr;
    window->CloseNodeWindow();
  }
  return 0;
}

void THunk::LoadDeferredData(TLoadContext&) {}
void THunk::RestoreHintsShown(std::string&) {}
void THunk::SaveHintsShown(std::string&) const {}
void THunk::ResetHintsShown() {}
void THunk::SetHintsShown(std::int32_t) {}
bool THunk::HintsShownValid() const { return true; }
std::int32_t THunk::GetHintsShown() const { return 0; }

THunk* THunk::RootNode() {
  TZEBObject* top = Root();
  return top->IsNode() ? static_cast<THunk*>(top) : nullptr;
}

void THunk::ReadBody(TLoadContext& context) { context.SkipBodyLines(3, LineCount); }
