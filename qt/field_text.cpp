#include "qt/field_text.h"

#include <QFile>

#include "serverlist/shown_text.h"

namespace ravelin::qt {

QString fieldText(const std::string& bytes) {
  const std::string text = serverlist::shownText(bytes);
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string fieldBytes(const QString& text, const std::string& original) {
  if (text == fieldText(original)) return original;
  return text.toStdString();
}

std::string pathBytes(const QString& path) {
  const QByteArray encoded = QFile::encodeName(path);
  return std::string(encoded.constData(), static_cast<size_t>(encoded.size()));
}

}  // namespace ravelin::qt
