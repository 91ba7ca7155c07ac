#pragma once
// The settings record and its storage in section "ZEBWIN" of the settings
// file, with the per-file record of revealed hints in section "Memory".

#include <cstddef>
#include <cstdint>
#include <string>

class TIniFile;
class THunk;

// A font as the settings keep it: "Face,size,weight,italic".
struct TFontSpec {
  std::string Face;
  std::int32_t Size = 0;
  bool Bold = false;
  bool Italic = false;

  bool operator==(const TFontSpec&) const = default;
};

// Colours are 0x00BBGGRR, or 0x80000000 plus a system colour index.
using TColor = std::uint32_t;
inline constexpr TColor SystemWindowColor = 0x80000005;
inline constexpr TColor SystemWindowTextColor = 0x80000008;

struct TOptions {
  std::string InstallDir;
  TColor FontColor = 0;
  TColor WindowBackColor = 0xFFFFFF;
  TColor TextColor = 0xFF0000;  // the colour of links
  TFontSpec MainFont;
  TFontSpec FixedFont;
  bool Counting = true;
  bool Memory = true;
  bool StretchGraphics = true;
  bool DisplayInfo = true;
  std::string ProxyIP;
  std::string ProxyPort;
  std::string LastUpdateMessage;
  // The host name (and port) of the update server; empty: none is set.
  std::string UpdateServer;
  bool SkipUpdateBeforeDownload = false;
  bool SkipUpdateMessages = false;
  bool SkipUpdateAfterDownload = false;
  bool ProxyOn = false;
  // The outline pane beside the windows, and the text its filter holds.
  bool ShowOutline = false;
  std::string OutlineFilter;
  // The reader as it was left: the main window's place as
  // "left,top,width,height,maximised" (empty: never saved), and, when
  // ReopenLastFile is on, the file open at close with the header lines of
  // its open windows, back to front, the active one last.
  std::string WindowPlacement;
  bool ReopenLastFile = false;
  std::string LastFile;
  std::string LastWindows;
};

// Defaults that the original platform took from the browser's settings:
// fixed colours here, and the proxy from the http_proxy variable.
struct TBrowserDefaults {
  TColor LinkColor = 0xFF0000;
  TColor BackgroundColor = 0xFFFFFF;
  TColor TextColor = 0;
  std::string ProxySwitch = "Off";
  std::string ProxyHost;
  std::string ProxyPort;

  // From the environment: http_proxy as host:port, with or without "http://".
  static TBrowserDefaults FromEnvironment();
  // From a proxy text such as "http://proxy.example:3128/"; empty means none.
  static TBrowserDefaults WithProxy(const std::string& proxy);
};

inline constexpr const char* SettingsSection = "ZEBWIN";
inline constexpr const char* MemorySection = "Memory";
// The longest hints-shown record read back: two characters a hint list
// allow some 30 million lists, far beyond any hint file.
inline constexpr std::size_t MaxHintsShownRecordLength = 64u * 1024 * 1024;

std::string FontToText(const TFontSpec& font);
TFontSpec TextToFont(const std::string& text);
// "R,G,B" as R + G * 256 + B * 65536.
TColor ParseColorTriple(const std::string& text);

// Fills the record from the settings file; missing keys take their defaults.
void LoadSettings(TIniFile& ini, TOptions& options, const TBrowserDefaults& defaults,
                  const std::string& defaultInstallDir);

// The key of a hint file's record of revealed hints: its path as opened, ".",
// its length in bytes; lower-cased only where file names ignore case. "%",
// "=", CR, LF, a "[" in front and blanks at either end are written as %XX,
// so that every path makes a key that reads back; other paths keep the key
// they always had.
std::string MemoryKey(const std::string& path, std::int64_t length);
// The length of a file in bytes, or -1 when it cannot be opened.
std::int64_t FileLengthOrMinusOne(const std::string& path);

// Writes the record, and first the revealed-hints record of the open file
// when one is open (root and currentFilePath given), in one write of the
// file; false when it could not be written (ini.LastError() says why), and
// the file then keeps its old content.
bool SaveSettings(TIniFile& ini, const TOptions& options, const std::string* currentFilePath, const THunk* root);

// The remembered revealed-hints record of a file, read whole ("" when there
// is none or it is too long to read whole).
std::string ReadHintsShownRecord(TIniFile& ini, const std::string& path);
