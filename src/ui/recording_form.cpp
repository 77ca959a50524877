#include "ui/recording_form.h"

#include <QCoreApplication>

namespace dornvel {

namespace {

// The header's names in English, translated where they are shown.
const char* const kColumns[] = {
    QT_TRANSLATE_NOOP("dornvel::CsvColumns", "time"),
    QT_TRANSLATE_NOOP("dornvel::CsvColumns", "resistance_kohm"),
    QT_TRANSLATE_NOOP("dornvel::CsvColumns", "switch"),
    QT_TRANSLATE_NOOP("dornvel::CsvColumns", "device_slave_id"),
    QT_TRANSLATE_NOOP("dornvel::CsvColumns", "device_baud_rate"),
    QT_TRANSLATE_NOOP("dornvel::CsvColumns", "errors"),
    QT_TRANSLATE_NOOP("dornvel::CsvColumns", "message"),
};

const char* const kBusColumns[] = {
    QT_TRANSLATE_NOOP("dornvel::CsvColumns", "time"),      QT_TRANSLATE_NOOP("dornvel::CsvColumns", "slave_id"),
    QT_TRANSLATE_NOOP("dornvel::CsvColumns", "baud_rate"), QT_TRANSLATE_NOOP("dornvel::CsvColumns", "resistance_kohm"),
    QT_TRANSLATE_NOOP("dornvel::CsvColumns", "switch"),    QT_TRANSLATE_NOOP("dornvel::CsvColumns", "message"),
};

template <std::size_t N>
std::vector<std::string> Translated(const char* const (&columns)[N]) {
  std::vector<std::string> names;
  for (const char* column : columns) {
    names.push_back(QCoreApplication::translate("dornvel::CsvColumns", column).toStdString());
  }
  return names;
}

QString FilterOf(CsvForm form) {
  return form == kSemicolonCsv
             ? QCoreApplication::translate("dornvel::RecordingForm", "CSV, semicolons and decimal commas (*.csv)")
             : QCoreApplication::translate("dornvel::RecordingForm", "CSV, commas and decimal points (*.csv)");
}

}  // namespace

CsvForm LocaleCsvForm(const QLocale& locale) {
  return locale.decimalPoint() == QStringLiteral(",") ? kSemicolonCsv : kCommaCsv;
}

QStringList CsvFormFilters(const QLocale& locale) {
  const CsvForm first = LocaleCsvForm(locale);
  return {FilterOf(first), FilterOf(first == kCommaCsv ? kSemicolonCsv : kCommaCsv)};
}

CsvForm CsvFormOfFilter(const QString& filter) { return filter == FilterOf(kSemicolonCsv) ? kSemicolonCsv : kCommaCsv; }

std::vector<std::string> CsvColumnNames() { return Translated(kColumns); }

std::vector<std::string> BusCsvColumnNames() { return Translated(kBusColumns); }

}  // namespace dornvel
