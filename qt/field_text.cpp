#include "qt/field_text.h"

#include <QFile>

#include "platform/text_encoding.h"

namespace ravelin::qt {

QString fieldText(const std::string& bytes) {
  const auto size = static_cast<qsizetype>(bytes.size());
  if (platform::isValidUtf8(bytes)) return QString::fromUtf8(bytes.data(), size);
  return QString::fromLatin1(bytes.data(), size);
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
