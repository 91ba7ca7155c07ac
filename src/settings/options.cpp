#include "settings/options.h"

#include <cstdlib>
#include <filesystem>
#include <utility>
#include <vector>

#include "model/hunk.h"
#include "model/textcase.h"
#include "model/version.h"
#include "settings/filepaths.h"
#include "settings/inifile.h"
#include "settings/textnumbers.h"

namespace {
std::string FlagText(bool on) { return on ? "On" : "Off"; }
bool IsOn(const std::string& text) { return text == "On"; }

// The text after the n-th comma (n from 1), or "" when there are fewer commas.
std::string AfterComma(const std::string& text, int n) {
  std::size_t at = 0;
  for (int i = 0; i < n; ++i) {
    const std::size_t comma = text.find(',', at);
    if (comma == std::string::npos) return std::string();
    at = comma + 1;
  }
  return text.substr(at);
}

TColor ReadColor(const TIniValues& values, const char* key, TColor fallback) {
  return AtolModulo32(values.Get(key, std::to_string(fallback)));
}

// The key text of a file's record, safe on a line of the settings file: a
// "=" would end the key early, a line break would end the line, a "[" in
// front would read as a section, blanks at either end would be trimmed away,
// and "%" is the escape itself. Each becomes %XX; other paths keep their text.
std::string EscapeKey(const std::string& key) {
  const std::size_t first = key.find_first_not_of(" \t");
  const std::size_t last = key.find_last_not_of(" \t");
  std::string escaped;
  escaped.reserve(key.size());
  for (std::size_t i = 0; i < key.size(); ++i) {
    const char c = key[i];
    const bool edgeBlank = (c == ' ' || c == '\t') && (first == std::string::npos || i < first || i > last);
    if (c == '%' || c == '=' || c == '\r' || c == '\n' || (c == '[' && i == 0) || edgeBlank) {
      static const char digits[] = "0123456789ABCDEF";
      escaped += '%';
      escaped += digits[static_cast<unsigned char>(c) >> 4];
      escaped += digits[static_cast<unsigned char>(c) & 15];
    } else {
      escaped += c;
    }
  }
  return escaped;
}

std::string PlainMemoryKey(const std::string& path, std::int64_t length) {
  return FilePathKey(path + "." + std::to_string(length));
}
}  // namespace

TBrowserDefaults TBrowserDefaults::WithProxy(const std::string& proxy) {
  TBrowserDefaults defaults;
  std::string text = proxy;
  if (text.empty()) return defaults;
  defaults.ProxySwitch = "On";
  const std::size_t scheme = text.find("://");
  if (scheme != std::string::npos) text.erase(0, scheme + 3);
  const std::size_t slash = text.find('/');
  if (slash != std::string::npos) text.resize(slash);
  const std::size_t at = text.rfind('@');
  if (at != std::string::npos) text.erase(0, at + 1);
  const std::size_t colon = text.find(':');
  if (colon != std::string::npos) {
    defaults.ProxyHost = text.substr(0, colon);
    defaults.ProxyPort = text.substr(colon + 1);
  }
  return defaults;
}

TBrowserDefaults TBrowserDefaults::FromEnvironment() {
  const char* proxy = std::getenv("http_proxy");
  return WithProxy(proxy != nullptr ? proxy : "");
}

std::string FontToText(const TFontSpec& font) {
  return font.Face + "," + std::to_string(font.Size) + "," + (font.Bold ? "700" : "400") + "," +
         (font.Italic ? "1" : "0");
}

TFontSpec TextToFont(const std::string& text) {
  TFontSpec font;
  const std::size_t comma = text.find(',');
  font.Face = comma == std::string::npos ? std::string() : text.substr(0, comma);
  font.Size = Atol32(AfterComma(text, 1));
  font.Bold = Atol32(AfterComma(text, 2)) > 400;
  font.Italic = AfterComma(text, 3) == "1";
  return font;
}

TColor ParseColorTriple(const std::string& text) {
  std::string rest = text;
  const auto next = [&rest]() {
    const std::size_t comma = rest.find(',');
    const std::uint32_t value = AtolModulo32(rest.substr(0, comma));
    rest = comma == std::string::npos ? std::string() : rest.substr(comma + 1);
    return value;
  };
  const std::uint32_t red = next();
  const std::uint32_t green = next();
  const std::uint32_t blue = AtolModulo32(rest);
  return red + green * 256u + blue * 65536u;
}

void LoadSettings(TIniFile& ini, TOptions& options, const TBrowserDefaults& defaults,
                  const std::string& defaultInstallDir) {
  // One reading of the file for every key: with a large hint memory the
  // file is big, and reading it again for each key made start-up slow.
  const TIniValues values = ini.ReadIniStrings(SettingsSection);
  options.MainFont = TextToFont(values.Get("MainFont", "Arial,10,400,0"));
  options.FixedFont = TextToFont(values.Get("FixedFont", "Courier New,9,400,0"));
  options.Counting = IsOn(values.Get("Counting", "On"));
  options.Memory = IsOn(values.Get("Memory", "On"));
  options.StretchGraphics = IsOn(values.Get("StretchGraphics", "On"));
  options.DisplayInfo = IsOn(values.Get("DisplayInfo", "On"));
  options.TextColor = ReadColor(values, "TextColor", defaults.LinkColor);
  options.FontColor = ReadColor(values, "FontColor", defaults.TextColor);
  options.WindowBackColor = ReadColor(values, "WindowBackColor", defaults.BackgroundColor);
  options.InstallDir = values.Get("InstallDir", defaultInstallDir);
  options.ProxyOn = IsOn(values.Get("ProxyOn", defaults.ProxySwitch));
  options.ProxyIP = values.Get("ProxyIP", defaults.ProxyHost);
  options.ProxyPort = values.Get("ProxyPort", defaults.ProxyPort);
  options.SkipUpdateBeforeDownload = IsOn(values.Get("SkipUpdateBeforeDownload", "Off"));
  options.SkipUpdateAfterDownload = IsOn(values.Get("SkipUpdateAfterDownload", "Off"));
  options.SkipUpdateMessages = IsOn(values.Get("SkipUpdateMessages", "Off"));
  options.LastUpdateMessage = values.Get("LastUpdateMessage", "");
  options.UpdateServer = values.Get("UpdateServer", "");
  options.ShowOutline = IsOn(values.Get("ShowOutline", "Off"));
  options.OutlineFilter = values.Get("OutlineFilter", "");
  options.WindowPlacement = values.Get("WindowPlacement", "");
  options.ReopenLastFile = IsOn(values.Get("ReopenLastFile", "Off"));
  options.LastFile = values.Get("LastFile", "");
  options.LastWindows = values.Get("LastWindows", "");
}

std::string MemoryKey(const std::string& path, std::int64_t length) {
  return EscapeKey(PlainMemoryKey(path, length));
}

std::int64_t FileLengthOrMinusOne(const std::string& path) {
  // A folder opens as a stream here but is no file: ask for a file's size.
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  return error ? -1 : static_cast<std::int64_t>(size);
}

bool SaveSettings(TIniFile& ini, const TOptions& options, const std::string* currentFilePath, const THunk* root) {
  std::vector<TIniChange> changes;
  if (currentFilePath != nullptr && root != nullptr) {
    std::string record;
    root->SaveHintsShown(record);
    const std::int64_t length = FileLengthOrMinusOne(*currentFilePath);
    const std::string key = MemoryKey(*currentFilePath, length);
    // A record of nothing revealed means what no record means: none is
    // kept, and an old one goes.
    const bool nothingShown = record.find_first_not_of("0,") == std::string::npos;
    changes.push_back({MemorySection, key, nothingShown ? std::nullopt : std::optional<std::string>(record),
                       TKeyMatch::Exact});
    // A record under the key's old, unescaped text gives way to the new one.
    const std::string plain = PlainMemoryKey(*currentFilePath, length);
    if (plain != key) changes.push_back({MemorySection, plain, std::nullopt, TKeyMatch::Exact});
  }
  // Every key in the order they are saved, written to the file in one go.
  std::vector<std::pair<std::string, std::string>> keys;
  const auto write = [&keys](const char* key, const std::string& value) { keys.emplace_back(key, value); };
  write("MainFont", FontToText(options.MainFont));
  write("FixedFont", FontToText(options.FixedFont));
  write("Counting", FlagText(options.Counting));
  write("Memory", FlagText(options.Memory));
  write("StretchGraphics", FlagText(options.StretchGraphics));
  write("DisplayInfo", FlagText(options.DisplayInfo));
  write("TextColor", std::to_string(options.TextColor));
  write("WindowBackColor", std::to_string(options.WindowBackColor));
  write("FontColor", std::to_string(options.FontColor));
  write("InstallDir", options.InstallDir);
  write("LastVersionRun", ZebVersion);
  write("ProxyOn", FlagText(options.ProxyOn));
  write("ProxyIP", options.ProxyIP);
  write("ProxyPort", options.ProxyPort);
  write("SkipUpdateBeforeDownload", FlagText(options.SkipUpdateBeforeDownload));
  write("SkipUpdateAfterDownload", FlagText(options.SkipUpdateAfterDownload));
  write("SkipUpdateMessages", FlagText(options.SkipUpdateMessages));
  write("LastUpdateMessage", options.LastUpdateMessage);
  write("UpdateServer", options.UpdateServer);
  write("ShowOutline", FlagText(options.ShowOutline));
  write("OutlineFilter", options.OutlineFilter);
  write("WindowPlacement", options.WindowPlacement);
  write("ReopenLastFile", FlagText(options.ReopenLastFile));
  write("LastFile", options.LastFile);
  write("LastWindows", options.LastWindows);
  for (auto& [key, value] : keys) changes.push_back({SettingsSection, key, std::move(value), TKeyMatch::IgnoreCase});
  // The record and the settings in one write: both land, or neither does.
  return ini.Apply(changes);
}

std::string ReadHintsShownRecord(TIniFile& ini, const std::string& path) {
  // Keys are paths: matched exactly, so A.ZEB and a.zeb keep two records
  // where the file system holds two files. A record too long to read whole
  // is passed over rather than applied in part. A record saved before keys
  // were escaped is found under its plain text, when that was a usable key.
  const std::int64_t length = FileLengthOrMinusOne(path);
  const std::string key = MemoryKey(path, length);
  auto record = ini.ReadWholeValue(MemorySection, key, TKeyMatch::Exact, MaxHintsShownRecordLength);
  const std::string plain = PlainMemoryKey(path, length);
  if (!record && plain != key && plain.find_first_of("=\r\n") == std::string::npos)
    record = ini.ReadWholeValue(MemorySection, plain, TKeyMatch::Exact, MaxHintsShownRecordLength);
  return record.value_or(std::string());
}
