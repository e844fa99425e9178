#pragma once
// BOT files ("BOT-File"): no header, a sequence of 10-byte records, each ":" (0x3A), the
// four address bytes, the port (2 bytes), the preference (0 Normal, 1 High, 2 Low) and
// the number of users (2 bytes), integers little-endian. Bytes between records that are
// not ":" are skipped one at a time.
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/app_context.h"
#include "runtime/progress_bar.h"
#include "runtime/translate.h"
#include "serverlist/save_flow.h"
#include "serverlist/server_list.h"

namespace ravelin::serverlist {

inline constexpr std::size_t kBotRecordSize = 10;
inline constexpr char kBotRecordMark = ':';
inline constexpr const char* kBotSaveErrorText = N_("Error saving BOT-File! Maybe data corrupted!");

// Pulls records from a whole BOT file held in memory.
class BotDecoder {
 public:
  explicit BotDecoder(std::string_view bytes) : data_(bytes) {}
  // The next record ("n/a" in the fields a BOT file does not hold); false at the end of
  // the data, or when it ends inside a record (truncated() then says so).
  bool next(Server& server);
  bool truncated() const { return truncated_; }

 private:
  std::string_view data_;
  std::size_t pos_ = 0;
  bool truncated_ = false;
};

// Decodes a whole BOT body: at most maxRecords records, a record cut off by the end of
// the body is dropped. No validity or duplicate test.
std::vector<Server> parseBot(std::string_view bytes,
                             std::size_t maxRecords = std::numeric_limits<std::size_t>::max());

// Merges the servers of the file into the list (ImportMerge), unpacked first when it
// comes packed (readImportSource), showing progress on bar, and logs "Refreshed <S div
// 10> servers from <file>" with S the size of the (unpacked) list. A file that cannot be
// read, or that ends inside a record, ends the import without a message or a log line;
// the servers added so far stay. Returns false for such a file and for an empty one (a
// download that failed), so that the caller does not report it as read.
bool readServersFromBOT(ServerList& list, const std::string& fileName, runtime::ProgressBar& bar,
                        runtime::AppContext& ctx);

// ReadServersFromBOT on a file already in memory; fileName only names it in the log.
void mergeServersFromBotData(ServerList& list, std::string_view data, const std::string& fileName,
                             runtime::ProgressBar& bar, runtime::AppContext& ctx);

// Writes every checked entry, in list order, replacing the file atomically, and logs
// "Saved <C> servers to <file>". After a failure the old file is untouched, the
// "Error saving BOT-File!" box is shown (unless a script runs) and the result is false.
bool writeServersToBOT(const ServerList& list, const std::string& fileName,
                       runtime::ProgressBar& bar, runtime::AppContext& ctx);

// The BOT format of the save flow: the "Error saving BOT-File!" box on failure, the bar
// running to the number of checked entries.
SaveFormat botSaveFormat();

// Appends one record; false, leaving out unchanged, when the address is not four
// integers or Port or Users is neither "n/a" nor a 32-bit integer.
bool encodeBotRecord(std::string& out, const Server& server);

// The bytes WriteServersToBOT would write, or nothing when an entry cannot be written.
std::optional<std::string> encodeBotFile(const ServerList& list);

}  // namespace ravelin::serverlist
