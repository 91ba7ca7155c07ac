#pragma once
// The local catalog: header summaries of the hint files in one folder, with
// the summaries cached in "zeblocal.dat" and reused while a file's name and
// size are unchanged. The cache is only ever appended to.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "downloader/fileinfo.h"
#include "model/collectionsearch.h"  // IsHintFileName

using TCatalog = std::vector<std::unique_ptr<TFileInfo>>;

// The fixed English month abbreviations, January first.
extern const char* const MonthNames[12];


// The title of the program's own help file, which title listings leave out.
inline constexpr const char* HelpFileTitle = "ZEB Reader Documentation";

// The summaries a by-title listing shows, sorted by title: those with a title
// other than the help file's, equal keys in catalog order.
std::vector<const TFileInfo*> ListedByTitle(const TCatalog& catalog);

// Scans folder (ending with "/") into catalog through the cache file. The
// cancel flag is checked before each file; progress is called before each
// file too (the program keeps its windows alive there). A folder that
// cannot be listed leaves the catalog empty and the cache untouched; the
// result says why (empty when the folder was listed).
std::error_code ScanHintFolder(const std::string& folder, TCatalog& catalog, const volatile std::uint8_t& cancel,
                               const std::string& cacheFile, const std::function<void()>& progress = {});
