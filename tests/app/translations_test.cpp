#include "app/translations.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QXmlStreamReader>
#include <map>
#include <string>

#include "harness/program_window.h"
#include "harness/temp_dir.h"
#include "ui/recording_form.h"
#include "ui/trend_window.h"
#include "ui/window_tools.h"

namespace dornvel::testing {
namespace {

// The messages of a .ts file: source text (with its context) -> translation,
// empty while unfinished.
std::map<std::string, std::string> Messages(const QString& tsFile) {
  QFile file(tsFile);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << tsFile.toStdString();
  QXmlStreamReader xml(&file);
  std::map<std::string, std::string> messages;
  QString context;
  QString source;
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    if (xml.name() == QLatin1String("name")) context = xml.readElementText();
    if (xml.name() == QLatin1String("source")) source = xml.readElementText();
    if (xml.name() == QLatin1String("translation")) {
      // "unfinished", "vanished" or "obsolete": not a translation in use.
      const bool inUse = xml.attributes().value(QLatin1String("type")).isEmpty();
      const QString translation = xml.readElementText();
      messages[(context + QStringLiteral(" | ") + source).toStdString()] = inUse ? translation.toStdString() : "";
    }
  }
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  return messages;
}

// lupdate over the sources, as the build's update_translations runs it, into a
// copy of the Russian .ts: a source text the copy gains, or one it loses, is
// a text the repository's translation does not match.
TEST(Translations, every_text_the_sources_translate_has_a_finished_russian_translation) {
  TempDir dir;
  const QString repository = QStringLiteral(DORNVEL_SOURCE_DIR "/translations/dornvel_ru.ts");
  const QString copy = QString::fromStdString((dir / "dornvel_ru.ts").string());
  ASSERT_TRUE(QFile::copy(repository, copy));
  QProcess lupdate;
  lupdate.start(QStringLiteral(DORNVEL_LUPDATE),
                {QStringLiteral(DORNVEL_SOURCE_DIR "/src/app"), QStringLiteral(DORNVEL_SOURCE_DIR "/src/ui"),
                 QStringLiteral(DORNVEL_SOURCE_DIR "/src/platform"), QStringLiteral("-extensions"),
                 QStringLiteral("cpp,h"), QStringLiteral("-locations"), QStringLiteral("none"),
                 QStringLiteral("-no-obsolete"), QStringLiteral("-ts"), copy});
  ASSERT_TRUE(lupdate.waitForFinished(60000));
  ASSERT_EQ(lupdate.exitCode(), 0) << lupdate.readAllStandardError().toStdString();

  const auto inRepository = Messages(repository);
  const auto fromSources = Messages(copy);
  for (const auto& [text, translation] : fromSources) {
    EXPECT_TRUE(inRepository.count(text)) << "not in translations/dornvel_ru.ts: " << text;
    EXPECT_FALSE(translation.empty()) << "no Russian translation: " << text;
  }
  for (const auto& [text, translation] : inRepository) {
    EXPECT_TRUE(fromSources.count(text)) << "no longer in the sources: " << text;
  }
}

TEST(Translations, a_language_is_used_when_it_has_a_translation_and_english_is_the_rest) {
  const struct {
    QLocale locale;
    QString language;
    QString findAction;
  } cases[] = {
      {QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("ru"), QStringLiteral("Найти измеритель…")},
      {QLocale(QLocale::English, QLocale::UnitedStates), QString(), QStringLiteral("Find the meter…")},
      {QLocale(QLocale::German, QLocale::Germany), QString(), QStringLiteral("Find the meter…")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.locale.name().toStdString());
    const Translations translations(c.locale);
    EXPECT_EQ(translations.Language(), c.language);
    ProgramWindow program({});
    EXPECT_EQ(program.Tools().FindAction()->text(), c.findAction);
  }
}

// Everything the program adds is Russian; what the window shares with the
// original program stays as it was; Qt's own buttons are Russian too.
TEST(Translations, a_russian_desktop_sees_the_window_and_its_tools_in_russian) {
  const Translations russian(QLocale(QLocale::Russian, QLocale::Russia));
  TempDir dir;
  ProgramWindow program({});
  program.Start();
  ASSERT_TRUE(program.RunTicks(1));
  FormMain& window = program.Window();

  EXPECT_EQ(program.Tools().FindAction()->text(), "Найти измеритель…");
  EXPECT_EQ(program.Tools().RecordAction()->text(), "Записывать показания…");
  EXPECT_EQ(program.Tools().TrendAction()->text(), "Тренд…");
  TrendWindow& trend = program.Tools().Trend();
  EXPECT_EQ(trend.windowTitle(), "Тренд");
  EXPECT_EQ(trend.findChild<QCheckBox*>(QStringLiteral("logarithmicAxis"))->text(),
            "Логарифмическая шкала сопротивления");
  EXPECT_EQ(trend.findChild<QPushButton*>(QStringLiteral("saveAsPng"))->text(), "Сохранить в PNG…");
  EXPECT_EQ(window.findChild<QComboBox*>(QStringLiteral("ProgCom"))->toolTip(),
            "Порт не выбран: выберите его в списке");
  EXPECT_EQ(CsvColumnNames().front(), "время");
  EXPECT_EQ(LocaleCsvForm(QLocale(QLocale::Russian, QLocale::Russia)), kSemicolonCsv);
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Отмена");

  EXPECT_EQ(window.windowTitle(), "NOLU");
  EXPECT_EQ(window.findChild<QGroupBox*>(QStringLiteral("Frame2"))->title(), "Device settings");
  EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("Label1"))->text(), "Сопротивление изоляции в кОм:");
  EXPECT_EQ(program.Message(), "MBData/GetData: Comm не открыт...");
}

}  // namespace
}  // namespace dornvel::testing
