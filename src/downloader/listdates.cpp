#include "downloader/listdates.h"

#include <QLocale>
#include <QString>

#include "downloader/catalog.h"

namespace {
// The text's characters from position first (1-based), at most count of them.
std::string Chars(const std::string& text, std::size_t first, std::size_t count) {
  if (first > text.size()) return std::string();
  return text.substr(first - 1, count);
}

// The whole text as a decimal integer (leading blanks and a sign allowed).
bool WholeInteger(const std::string& text, int& value) {
  std::size_t i = text.find_first_not_of(' ');
  if (i == std::string::npos) return false;
  bool negative = false;
  if (text[i] == '+' || text[i] == '-') negative = text[i++] == '-';
  if (i == text.size()) return false;
  long long v = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    v = v * 10 + (text[i] - '0');
    if (v > 1000000) return false;  // no calendar date has such a field
  }
  value = static_cast<int>(negative ? -v : v);
  return true;
}
}  // namespace

QDate NoDate() { return QDate(1980, 1, 1); }

TListDate ParseListDate(const std::string& text) {
  TListDate result{QDate(), text};
  int day = 1;
  if (!WholeInteger(Chars(text, 1, 2), day)) day = 1;
  int year = 0;
  if (text.size() < 10) {
    if (!WholeInteger(Chars(text, 8, 2), year)) year = 80;
    year += year >= 80 ? 1900 : 2000;
  } else if (!WholeInteger(Chars(text, 8, 4), year)) {
    year = 1980;
  }
  int month = 1;
  const std::string name = Chars(text, 4, 3);
  for (int i = 0; i < 12; ++i)
    if (name == MonthNames[i]) month = i + 1;
  // Years before 1 have no calendar date here.
  const QDate date = year >= 1 ? QDate(year, month, day) : QDate();
  if (!date.isValid()) return {NoDate(), "unknown"};
  result.Date = date;
  return result;
}

std::string FormatFileSize(std::int64_t bytes, bool showBytes) {
  const QLocale locale;
  if (bytes >= 1048577) return (locale.toString(static_cast<double>(bytes) / 1048576.0, 'f', 1) + " MB").toStdString();
  if (showBytes && bytes < 1) return "unknown";
  if (showBytes && bytes <= 1024) return locale.toString(static_cast<qlonglong>(bytes)).toStdString();
  return (locale.toString(static_cast<double>(bytes) / 1024.0, 'f', 1) + " KB").toStdString();
}

QString ShortDateFormat() {
  const QLocale locale;
  if (locale.language() == QLocale::C) return QStringLiteral("yyyy-MM-dd");
  return locale.dateFormat(QLocale::ShortFormat);
}

QString ShortDateText(const QDate& date) { return QLocale().toString(date, ShortDateFormat()); }
