#include "gui/field_text.h"

#include <QFile>

namespace ravelin::gui {

bool isValidUtf8(const std::string& bytes) {
  size_t i = 0;
  const size_t n = bytes.size();
  while (i < n) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    size_t len = 0;
    unsigned min = 0;
    unsigned cp = 0;
    if ((c & 0xE0) == 0xC0) {
      len = 2;
      min = 0x80;
      cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      len = 3;
      min = 0x800;
      cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      len = 4;
      min = 0x10000;
      cp = c & 0x07;
    } else {
      return false;
    }
    if (i + len > n) return false;
    for (size_t k = 1; k < len; ++k) {
      const auto cc = static_cast<unsigned char>(bytes[i + k]);
      if ((cc & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (cc & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += len;
  }
  return true;
}

QString fieldText(const std::string& bytes) {
  const auto size = static_cast<qsizetype>(bytes.size());
  if (isValidUtf8(bytes)) return QString::fromUtf8(bytes.data(), size);
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

}  // namespace ravelin::gui
