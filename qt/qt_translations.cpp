#include "qt/qt_translations.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QRegularExpression>
#include <QTranslator>

#include "runtime/translate.h"

namespace ravelin::qt {

void loadQtTranslations() {
  static QTranslator translator;
  QApplication::removeTranslator(&translator);
  // The header of the catalogue in use (gettext's answer to the empty text) names its
  // language; without a catalogue there is none.
  const QString header = QString::fromUtf8(platform::catalogueHeader(runtime::kTextDomain));
  const QRegularExpressionMatch language =
      QRegularExpression(QStringLiteral("^Language: *([A-Za-z_@]+)"),
                         QRegularExpression::MultilineOption)
          .match(header);
  if (language.hasMatch() && translator.load(QStringLiteral("qtbase_") + language.captured(1),
                                             QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QApplication::installTranslator(&translator);
}

}  // namespace ravelin::qt
