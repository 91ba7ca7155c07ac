#include "model/zebobject.h"

#include <utility>

const char* const KindNames[18] = {
    "COMMENT", "CREDIT",   "GIFA",     "HINT",    "SUBJECT", "VERHUNK",
    "BLANK",   "INCENTIVE", "INFO",    "LINK",    "NESTHINT", "TEXT",
    "HYPERPNG", "OVERLAY", "SOUND",    "UNKNOWN", "PNGOBJECT", "ABSTRACT"};

TZEBObject::TZEBObject(std::string text, TZEBObject* owner, bool endsLine)
    : Text(std::move(text)), EndsLine(endsLine ? 1 : 0), Owner(owner) {}

std::string TZEBObject::GetText() const { return Text; }
void TZEBObject::SetText(std::string text) { Text = std::move(text); }
std::uint8_t TZEBObject::KindCode() const { return Kind::Abstract; }
bool TZEBObject::IsNode() const { return false; }
int TZEBObject::Open() { return 0; }
const char* TZEBObject::ClassName() const { return "TZEBObject"; }

TZEBObject* TZEBObject::Root() {
  TZEBObject* top = this;
  while (top->Owner != nullptr) top = top->Owner;
  return top;
}

THunkLine::THunkLine(std::string text, TZEBObject* owner)
    : TZEBObject(std::move(text), owner, false) {}

const char* THunkLine::ClassName() const { return "THunkLine"; }

bool HasOwnWindow(std::uint8_t kind) {
  switch (kind) {
    case Kind::Subject:
    case Kind::Hint:
    case Kind::NestHint:
    case Kind::Comment:
    case Kind::Credit:
    case Kind::VerHunk:
    case Kind::Info:
    case Kind::Text:
    case Kind::HyperPng:
      return true;
    default:
      return false;
  }
}
