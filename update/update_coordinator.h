#pragma once
#include <functional>
#include <memory>

#include "runtime/app_context.h"
#include "runtime/progress_bar.h"
#include "runtime/translate.h"
#include "serverlist/server_list.h"
#include "update/update_view.h"
#include "update/update_worker.h"

namespace ravelin::update {

// How an update run ended. NoSourceRead: at least one source was tried and none could be
// read (every one answered an error status, timed out, failed or was unusable).
enum class UpdateOutcome { Ended, Cancelled, NoSourceRead };

inline constexpr const char* kNoSourceReadText = N_("Update failed: no source could be read");
// An update from all sources with an empty URL list.
inline constexpr const char* kNoUrlsText = N_("no update URLs configured");

// Runs one update: hands every job of the settings' URL list to a pool of at most eight
// update workers (UpdThreadCount, 1 to 8, told to the view as its slot count), shows
// their progress in the view, and when all have reported merges their records into the
// server list (trimmed, valid, new keys only, appended checked). Runs on the user-interface thread
// and serves the interface while it waits for its workers. Cancel drops everything gathered and
// leaves the list unchanged; the workers still running are told to end and waited for, and report
// nothing.
class UpdateCoordinator {
 public:
  // loadSaveBar is the main window's progress bar, used while merging.
  UpdateCoordinator(serverlist::ServerList& list, runtime::AppContext& ctx, UpdateView& view,
                    runtime::ProgressBar& loadSaveBar);
  ~UpdateCoordinator();
  UpdateCoordinator(const UpdateCoordinator&) = delete;
  UpdateCoordinator& operator=(const UpdateCoordinator&) = delete;

  // The window's activation: runs the update once (later calls do nothing) and sets
  // operationDone on every way out.
  void start();
  // The window's Cancel.
  void cancel();

  // Trust anchors handed to the workers for https downloads (empty: the system's store).
  std::string tlsCaFile;

  // The number of records the workers reported and the number of servers added by the
  // last run.
  std::size_t reported() const { return reported_; }
  std::size_t added() const { return added_; }
  UpdateOutcome outcome() const { return outcome_; }

 private:
  void run();
  // Serves the user interface until done() holds or the run was cancelled.
  void waitForWorkers(const std::function<bool()>& done);
  void endCancelledRun();

  serverlist::ServerList& list_;
  runtime::AppContext& ctx_;
  UpdateView& view_;
  runtime::ProgressBar& loadSaveBar_;
  const int poolSize_;
  std::shared_ptr<UpdateRun> run_;
  bool started_ = false;
  std::size_t reported_ = 0;
  std::size_t added_ = 0;
  UpdateOutcome outcome_ = UpdateOutcome::Ended;
};

}  // namespace ravelin::update
