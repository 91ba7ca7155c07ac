// The reader of the settings file: sections, keys in either letter case,
// whole long values, and writing a value back.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzzfile.h"
#include "settings/inifile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& path = WriteInput(data, size);
  TIniFile ini(path);
  for (const char* section : {"ZEBWIN", "Memory", "Recent Files", "zebwin", ""})
    for (const char* key : {"UpdateServer", "MainFont", "File1", "", "a"}) ini.ReadIniString(section, key, "-");
  ini.ReadWholeValue("Memory", "/tmp/GAME.ZEB.1000", TKeyMatch::Exact, 1 << 16);
  ini.WriteIniStrings("ZEBWIN", {{"Counting", "1"}, {"Memory", "0"}});
  return 0;
}
