#include "qt/app_identity.h"

#include <QApplication>
#include <QIcon>
#include <string_view>

#include "app/file_association.h"

namespace ravelin::qt {

void setApplicationIdentity() {
  QApplication::setApplicationName(QStringLiteral("Ravelin"));
  QApplication::setApplicationVersion(QStringLiteral(RAVELIN_VERSION));
  std::string_view entry = app::kDesktopEntryName;
  entry.remove_suffix(std::string_view(".desktop").size());
  QGuiApplication::setDesktopFileName(
      QString::fromLatin1(entry.data(), static_cast<qsizetype>(entry.size())));
  // The installed icon (none when the program runs uninstalled).
  QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("ravelin")));
}

}  // namespace ravelin::qt
