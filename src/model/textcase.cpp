#include "model/textcase.h"

namespace {
// Without a branch, so that loops over many bytes run on many at once.
char Upper(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return static_cast<char>(byte - (static_cast<unsigned char>(byte - 'a') < 26 ? 32 : 0));
}
}  // namespace

std::string UpperCaseAtoZ(std::string text) {
  for (char& c : text) c = Upper(c);
  return text;
}

void AppendUpperCaseAtoZ(std::string& to, std::string_view text) {
  const std::size_t at = to.size();
  to.resize(at + text.size());
  char* out = to.data() + at;
  const char* in = text.data();
  const std::size_t n = text.size();
  for (std::size_t i = 0; i < n; ++i) out[i] = Upper(in[i]);
}

std::string LowerCaseAtoZ(std::string text) {
  for (char& c : text) c = LowerAtoZ(c);
  return text;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (LowerAtoZ(a[i]) != LowerAtoZ(b[i])) return false;
  return true;
}

bool StartsWithUpper(std::string_view text, std::string_view upperPrefix) {
  if (text.size() < upperPrefix.size()) return false;
  for (std::size_t i = 0; i < upperPrefix.size(); ++i)
    if (Upper(text[i]) != upperPrefix[i]) return false;
  return true;
}
