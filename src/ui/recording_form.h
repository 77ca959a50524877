#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>
#include <string>
#include <vector>

#include "readings/csv_row.h"

namespace dornvel {

// The form of a readings file that a spreadsheet of `locale` opens as columns:
// ';' and decimal commas where the locale's decimal mark is a comma, ',' and
// decimal points elsewhere.
CsvForm LocaleCsvForm(const QLocale& locale = QLocale());

// The file types of the record dialog, one for each form, the locale's first.
QStringList CsvFormFilters(const QLocale& locale = QLocale());
// The form of one of those file types.
CsvForm CsvFormOfFilter(const QString& filter);

// The names of the columns in the user's language.
std::vector<std::string> CsvColumnNames();
// Those of the bus view's readings (see BusCsvRow).
std::vector<std::string> BusCsvColumnNames();

}  // namespace dornvel
