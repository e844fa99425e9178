#pragma once
// Small builders and observers for tests of the server list.
#include <string>
#include <vector>

#include "serverlist/server_list.h"

using namespace ravelin;
using namespace ravelin::serverlist;

namespace test {

// The system's reason for a file whose folder does not exist, as file errors carry it.
#ifdef _WIN32
inline constexpr const char* kNoSuchFolderReason = "Path not found";
#else
inline constexpr const char* kNoSuchFolderReason = "No such file or directory";
#endif

// A record with the given IP and port and "n/a"/"Normal" elsewhere.
inline Server makeServer(const std::string& ip, const std::string& port = "4661") {
  Server s;
  s.ip = ip;
  s.port = port;
  return s;
}

// A record with one field set besides IP and port.
inline Server serverWith(int field, const std::string& value, const std::string& ip = "1.2.3.4") {
  Server s = makeServer(ip);
  s.field(field) = value;
  return s;
}

// The values of one field, in list order.
inline std::vector<std::string> Column(const ServerList& list, int field) {
  std::vector<std::string> out;
  for (const ServerEntry& e : list.entries()) out.push_back(e.server.field(field));
  return out;
}

inline std::vector<bool> Marks(const ServerList& list) {
  std::vector<bool> out;
  for (const ServerEntry& e : list.entries()) out.push_back(e.checked);
  return out;
}

// Records the status texts the list reports and counts the other notifications.
class RecordingObserver : public ServerListObserver {
 public:
  explicit RecordingObserver(const ServerList& list) : list_(list) {}
  std::vector<std::string> statuses;
  int inserted = 0, removed = 0, changed = 0, resets = 0;
  void rowsInserted(size_t, size_t count) override { inserted += static_cast<int>(count); }
  void rowsRemoved(size_t, size_t count) override { removed += static_cast<int>(count); }
  void rowChanged(size_t) override { ++changed; }
  void listReset() override { ++resets; }
  void statusChanged() override { statuses.push_back(list_.statusText()); }
  void updatesSuspended(bool) override {}

 private:
  const ServerList& list_;
};

}  // namespace test
