#include "app/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace dornvel {

namespace {

bool IsEnglish(const QString& language) { return language == u"en" || language.startsWith(u"en_"); }

}  // namespace

Translations::Translations(const QLocale& locale) {
  for (QString language : locale.uiLanguages()) {
    // "ru-RU" names the file dornvel_ru_RU.qm; load() falls back to dornvel_ru.qm.
    language.replace(u'-', u'_');
    if (IsEnglish(language) || language == u"C") return;
    if (!own_.load(QStringLiteral("dornvel_") + language, QStringLiteral(":/i18n"))) continue;
    language_ = QLocale::languageToCode(QLocale(language).language());
    QCoreApplication::installTranslator(&own_);
    if (qt_.load(QStringLiteral("qtbase_") + language, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
      QCoreApplication::installTranslator(&qt_);
    }
    return;
  }
}

Translations::~Translations() {
  QCoreApplication::removeTranslator(&qt_);
  QCoreApplication::removeTranslator(&own_);
}

}  // namespace dornvel
