#pragma once

#include <QLocale>
#include <QTranslator>

namespace dornvel {

// The program in the user's language, for as long as this object lives: its
// own texts (dornvel_<language>.qm, built into the program) and Qt's
// (qtbase_<language>.qm from Qt's translations, for standard buttons and the
// file dialog), for the first of the locale's UI languages that is not
// English. English, the language of the source texts, needs none; nor does a
// language without a translation, which keeps English. The texts the window,
// the meter and the settings file share with the original program are no
// source texts and read the same in every language.
class Translations {
 public:
  explicit Translations(const QLocale& locale = QLocale::system());
  ~Translations();
  Translations(const Translations&) = delete;
  Translations& operator=(const Translations&) = delete;

  // The code of the language whose translations are in use ("ru"); empty
  // for English.
  QString Language() const { return language_; }

 private:
  QTranslator own_;
  QTranslator qt_;
  QString language_;
};

}  // namespace dornvel
