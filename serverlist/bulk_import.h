#pragma once
#include <optional>
#include <string>

#include "platform/file_io.h"
#include "runtime/progress_bar.h"
#include "serverlist/server_list.h"

namespace ravelin::serverlist {

// The whole source file of a MET or BOT import. A file that cannot be read ends the import
// quietly: no message, no log line, the status recounted and the bar hidden.
inline std::optional<std::string> readImportSource(const std::string& fileName, ServerList& list,
                                                   runtime::ProgressBar& bar) {
  try {
    return platform::readWholeFile(fileName);
  } catch (const platform::FileError&) {
    list.recount();
    bar.hide();
    return std::nullopt;
  }
}

// The bulk-change frame of an import: suspends repainting and the status count while it
// lives, and on the way out, however the import ends, resumes both, recounts once and
// hides the progress bar.
class BulkImport {
 public:
  BulkImport(ServerList& list, runtime::ProgressBar& bar) : list_(list), bar_(bar) {
    list_.beginUpdate();
    list_.statusCounting = false;
  }
  ~BulkImport() {
    list_.endUpdate();
    list_.statusCounting = true;
    list_.recount();
    bar_.hide();
  }
  BulkImport(const BulkImport&) = delete;
  BulkImport& operator=(const BulkImport&) = delete;

 private:
  ServerList& list_;
  runtime::ProgressBar& bar_;
};

}  // namespace ravelin::serverlist
