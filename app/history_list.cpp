#include "app/history_list.h"

#include "app/ini_file.h"
#include "platform/text.h"
#include "serverlist/ip_port.h"

namespace ravelin::app {

namespace {
std::string historyKey(int i) {
  return "History" + std::to_string(i);
}
}  // namespace

std::vector<std::string> HistoryList::paths() const {
  return isEmpty_ ? std::vector<std::string>{} : strings_;
}

void HistoryList::changed() const {
  if (onChange) onChange();
}

void HistoryList::loadFromIni(const std::string& iniPath, const std::string& section) {
  const IniFile ini = IniFile::settingsFile(iniPath);
  strings_.clear();
  isEmpty_ = true;
  for (int i = 0; i < maxEntries; ++i) {
    std::string path = ini.readString(section, historyKey(i), "");
    if (!path.empty()) {
      strings_.push_back(std::move(path));
      isEmpty_ = false;
    }
  }
  if (isEmpty_) strings_.push_back(kPlaceholder);
  changed();
}

void HistoryList::saveToIni(const std::string& iniPath, const std::string& section) const {
  if (isEmpty_) return;
  IniFile ini = IniFile::settingsFile(iniPath);
  for (size_t i = 0; i < strings_.size(); ++i)
    ini.writeString(section, historyKey(static_cast<int>(i)), strings_[i]);
  ini.updateFile();
}

void HistoryList::addFile(const std::string& path) {
  if (isEmpty_) {
    strings_.clear();
    isEmpty_ = false;
  }
  const std::string key = platform::lowerAscii(path);
  for (auto it = strings_.begin(); it != strings_.end(); ++it) {
    if (platform::lowerAscii(*it) == key) {
      strings_.erase(it);
      break;
    }
  }
  strings_.insert(strings_.begin(), path);
  while (static_cast<int>(strings_.size()) > maxEntries && !strings_.empty()) strings_.pop_back();
  changed();
}

std::vector<std::string> HistoryList::menuCaptions() const {
  if (isEmpty_) return {kPlaceholder};
  std::vector<std::string> captions;
  captions.reserve(strings_.size());
  for (size_t i = 0; i < strings_.size(); ++i)
    captions.push_back("&" + std::to_string(i + 1) + " " + strings_[i]);
  return captions;
}

std::optional<std::string> HistoryList::pathForCaption(std::string_view caption) const {
  if (isEmpty_ || caption.empty() || caption.front() != '&') return std::nullopt;
  const size_t blank = caption.find(' ');
  if (blank == std::string_view::npos) return std::nullopt;
  const auto number = platform::parseInt32(caption.substr(1, blank - 1));
  if (!number || *number <= 0 || static_cast<size_t>(*number) > strings_.size())
    return std::nullopt;
  return strings_[static_cast<size_t>(*number - 1)];
}

void HistoryList::choose(std::string_view caption) const {
  if (!onChosen) return;
  if (const auto path = pathForCaption(caption)) onChosen(*path);
}

}  // namespace ravelin::app
