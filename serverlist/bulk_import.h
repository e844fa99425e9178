#pragma once
#include "app/progress_bar.h"
#include "serverlist/server_list.h"

// The bulk-change frame of an import: suspends repainting and the status count while it
// lives, and on the way out, however the import ends, resumes both, recounts once and
// hides the progress bar.
class BulkImport {
 public:
  BulkImport(ServerList& list, ProgressBar& bar) : list_(list), bar_(bar) {
    list_.beginUpdate();
    list_.StatusCounting = false;
  }
  ~BulkImport() {
    list_.endUpdate();
    list_.StatusCounting = true;
    list_.recount();
    bar_.hide();
  }
  BulkImport(const BulkImport&) = delete;
  BulkImport& operator=(const BulkImport&) = delete;

 private:
  ServerList& list_;
  ProgressBar& bar_;
};
