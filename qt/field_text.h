#pragma once
#include <QString>
#include <string>

namespace ravelin::qt {

// Server fields and file names are bytes, shown as serverlist::shownText says: UTF-8 when
// they are valid UTF-8, otherwise Latin-1.
QString fieldText(const std::string& bytes);

// The bytes of an edited text. A text the user left as it was shown keeps its original
// bytes, so that a Latin-1 name survives an edit of another field unchanged.
std::string fieldBytes(const QString& text, const std::string& original);

// A path from a file dialog as the core's file functions take it.
std::string pathBytes(const QString& path);

}  // namespace ravelin::qt
