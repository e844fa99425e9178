#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "net/http_proxy.h"
#include "platform/event_loop.h"
#include "platform/worker_thread.h"
#include "runtime/app_context.h"
#include "runtime/url_source.h"
#include "runtime/worker_pool.h"
#include "serverlist/list_unpack.h"
#include "serverlist/server.h"

namespace ravelin::update {

class UpdateView;
class UpdateWorker;

// The state of one update run, shared by the coordinator and its workers: a cancelled
// worker may still be running when the coordinator is gone. It is only ever touched on the
// user-interface thread (workers reach it through ctx.ui->invoke), so it needs no lock.
// Once the run is over (finished or cancelled) `live` is false and a worker that still
// calls in changes nothing.
struct UpdateRun : std::enable_shared_from_this<UpdateRun> {
  UpdateRun(runtime::AppContext& ctx, UpdateView& view, int poolSize);

  runtime::AppContext& ctx;
  UpdateView& view;
  runtime::WorkerPool<UpdateWorker> pool;
  bool live = true;
  std::int32_t total = 0;
  std::vector<serverlist::Server> results;
  // Jobs whose source was read, and jobs whose source could not be.
  int sourcesRead = 0;
  int sourcesFailed = 0;

  // A worker has finished: its slot is free again.
  void processResults(int slot);
  // A worker hands over its records and the log lines of its job: notes (an archive
  // member taken) first, then failure, the line that says why the source could not be
  // read, or, when that is empty, "Updated from <location> and found <n> IPs".
  void transferResults(const std::string& location, std::vector<serverlist::Server>& records,
                       const std::vector<std::string>& notes = {}, const std::string& failure = {});
  // A worker's status update of its slot.
  void setSlot(int slot, const std::string& status, const std::string& caption, std::uint32_t max,
               std::uint32_t position);
  bool active() const { return live && !pool.cancelled(); }
};

// The worker's decoders of downloaded bodies. Each stops after maxRecords records and
// makes no validity or duplicate test; records start as "n/a" in every field but Pref
// ("Normal").
std::vector<serverlist::Server> decodeMetBody(std::string_view body, std::size_t maxRecords);
std::vector<serverlist::Server> decodeBotBody(std::string_view body, std::size_t maxRecords);
// Server links ("|server|IP|port|"): only IP and Port are set. The text ends at its
// first NUL byte.
std::vector<serverlist::Server> decodeHtmlBody(std::string_view body, std::size_t maxRecords);

// One comma-separated field of a DNS-file line, taken off the front of rest: the text
// before the first comma ("n/a" when empty), or the whole rest when it holds no comma;
// "n/a" when rest is empty. Fields are not trimmed.
std::string nextField(std::string& rest);

// One update job on a thread of its own: a download decoded by the kind of its source, or
// the DNS file resolved line by line. Shows its
// progress in its display slot and hands its records and its slot back to the
// coordinator, everything through the user-interface thread. The HTTP client and the
// name-lookup socket live on the worker's own event loop. A worker told to terminate
// reports nothing.
class UpdateWorker : public platform::WorkerThread {
 public:
  static constexpr std::size_t kMaxResults = 10000;
  static constexpr std::uint32_t kForever = 0xFFFFFFFF;

  UpdateWorker(std::shared_ptr<UpdateRun> run, int slot);

  // Set by the coordinator before resume().
  runtime::UrlSource job;
  std::uint32_t timeout = 5000;  // milliseconds until the response must have begun
  std::string proxyAddr;
  int proxyPort = 0;
  // The proxy variables, consulted when proxyAddr is empty.
  net::ProxyEnvironment proxyEnvironment;
  // Trust anchors for https downloads (empty: the system's trust store).
  std::string tlsCaFile;
  // The most that a packed list may expand to (MaxListMB).
  std::uint64_t maxListBytes = std::uint64_t{64} << 20;
  // Whether the verdict of the job stays on its slot for a second before it is reported.
  bool displayPauses = true;

  int slot() const { return slot_; }

 protected:
  void execute() override;

 private:
  void download(const std::string& location);
  void dnsPass(const std::string& location);
  void setStatus(const std::string& status, const std::string& caption, std::uint32_t max,
                 std::uint32_t position);
  // Runs the thread's events until done() holds, ms have passed or the thread is told to
  // terminate; returns done()'s last answer.
  bool waitFor(std::uint32_t ms, const std::function<bool()>& done);
  void report(const std::string& location);
  // The list inside a downloaded body or the DNS file; nothing when its packing cannot be
  // used (the job's failure then says why).
  std::optional<std::string> unpack(std::string bytes, serverlist::ListContent content,
                                    const std::string& location);

  std::shared_ptr<UpdateRun> run_;
  int slot_;
  runtime::AppContext& ctx_;
  platform::Clock& clock_;
  platform::EventLoop* loop_ = nullptr;  // the worker thread's own, during execute()
  std::string caption_;
  std::uint32_t progressPos_ = 0;
  std::uint32_t progressMax_ = 100;
  std::vector<serverlist::Server> results_;
  std::vector<std::string> notes_;
  // Why the job's source could not be read, as its log line; empty when it was read.
  std::string failure_;
};

}  // namespace ravelin::update
