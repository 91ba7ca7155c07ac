#pragma once
// Dates and sizes as the update list and the download dialog show them.

#include <cstdint>
#include <string>

#include <QDate>
#include <QString>

// 1 January 1980: a missing or unusable date.
QDate NoDate();

struct TListDate {
  QDate Date;
  std::string Display;
};

// Reads DD-Mon-YY (years 80 to 99 are 19xx) and DD-Mon-YYYY by character
// positions; an impossible date gives NoDate and the text "unknown".
TListDate ParseListDate(const std::string& text);

// The user's short date format. The "C" locale has none of its own (Qt
// gives it "d MMM yyyy"): there the short form is ISO 8601, "2026-12-10".
QString ShortDateFormat();
QString ShortDateText(const QDate& date);

// "1.5 MB", "12.0 KB", or with showBytes the byte count for small sizes, in
// the locale's number format.
std::string FormatFileSize(std::int64_t bytes, bool showBytes);
