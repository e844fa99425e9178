#include "update/update_worker.h"

#include <filesystem>

#include "net/async_socket.h"
#include "net/http_client.h"
#include "platform/clock.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "runtime/translate.h"
#include "runtime/ui_thread.h"
#include "serverlist/bot_file.h"
#include "serverlist/ip_port.h"
#include "serverlist/met_tags.h"
#include "serverlist/server_links.h"
#include "update/update_view.h"

namespace ravelin::update {

// ---- run state (user-interface thread only) ----

UpdateRun::UpdateRun(runtime::AppContext& context, UpdateView& window, int poolSize)
    : ctx(context), view(window), pool(poolSize, [this](int slot) {
        return std::make_shared<UpdateWorker>(shared_from_this(), slot);
      }) {}

void UpdateRun::processResults(int slot) {
  if (!active() || slot < 0 || slot >= UpdateView::kSlots) return;
  view.showIdleSlot(slot);
  pool.release(slot);
}

void UpdateRun::transferResults(const std::string& location,
                                std::vector<serverlist::Server>& records,
                                const std::vector<std::string>& notes, const std::string& failure) {
  if (!active()) return;
  for (const std::string& note : notes) ctx.log.writeLog(note);
  ++(failure.empty() ? sourcesRead : sourcesFailed);
  view.urlsBar().stepIt();
  const auto count = static_cast<std::int32_t>(records.size());
  if (count != 0) {
    total += count;
    view.setDescription(runtime::fillIn(_("%s IPs found!"), {std::to_string(total)}));
    results.insert(results.end(), std::make_move_iterator(records.begin()),
                   std::make_move_iterator(records.end()));
  }
  ctx.log.writeLog(failure.empty() ? "Updated from <" + location + "> and found <" +
                                         std::to_string(count) + "> IPs"
                                   : failure);
  if (!failure.empty()) view.sourceFailed(failure);
}

void UpdateRun::setSlot(int slot, const std::string& status, const std::string& caption,
                        std::uint32_t max, std::uint32_t position) {
  if (!active() || slot < 0 || slot >= UpdateView::kSlots) return;
  view.setSlotLabel(slot, status);
  view.setSlotCaption(slot, caption);
  view.slotBar(slot).setMax(static_cast<int>(max));
  view.slotBar(slot).setPosition(static_cast<int>(position));
}

// ---- decoders ----

std::vector<serverlist::Server> decodeMetBody(std::string_view body, std::size_t maxRecords) {
  std::vector<serverlist::Server> out;
  serverlist::MetParseResult r = serverlist::parseMet(body, static_cast<std::uint32_t>(maxRecords));
  if (!r.headerOk) return out;
  out.reserve(r.records.size());
  for (serverlist::MetRecord& rec : r.records) {
    if (rec.truncated) break;  // the body ended inside this record
    out.push_back(std::move(rec.server));
  }
  return out;
}

std::vector<serverlist::Server> decodeBotBody(std::string_view body, std::size_t maxRecords) {
  return serverlist::parseBot(body, maxRecords);
}

std::vector<serverlist::Server> decodeHtmlBody(std::string_view body, std::size_t maxRecords) {
  const std::size_t nul = body.find('\0');
  if (nul != std::string_view::npos) body = body.substr(0, nul);
  std::vector<serverlist::Server> out;
  serverlist::forEachServerLink(body, [&](std::string_view ip, std::string_view port) {
    if (out.size() >= maxRecords) return;
    serverlist::Server s;
    s.ip = std::string(ip);
    s.port = std::string(port);
    out.push_back(std::move(s));
  });
  return out;
}

std::string nextField(std::string& rest) {
  if (rest.empty()) return serverlist::kNA;
  const std::size_t comma = rest.find(',');
  if (comma == std::string::npos) {
    std::string field;
    field.swap(rest);
    return field;
  }
  std::string field = rest.substr(0, comma);
  rest.erase(0, comma + 1);
  return field.empty() ? std::string(serverlist::kNA) : field;
}

// ---- worker ----

namespace {
std::string fetchFailedLogLine(const std::string& location, const std::string& cause) {
  return "Update from <" + location + "> failed: " + cause;
}
}  // namespace

UpdateWorker::UpdateWorker(std::shared_ptr<UpdateRun> run, int slot)
    : run_(std::move(run)), slot_(slot), ctx_(run_->ctx), clock_(*run_->ctx.clock) {}

void UpdateWorker::execute() {
  if (terminated()) return;
  platform::EventLoop loop;
  loop_ = &loop;
  attachLoop(&loop);
  // What the slot and the log name: the address after the kind marker.
  const std::string location = job.kind == runtime::SourceKind::Other
                                   ? (job.location.size() > 4 ? job.location.substr(4) : "")
                                   : job.location;
  caption_ = runtime::fillIn(_("Checking %s..."), {location});
  if (job.kind == runtime::SourceKind::DNS)
    dnsPass(location);
  else
    download(location);
  attachLoop(nullptr);
  loop_ = nullptr;
}

void UpdateWorker::setStatus(const std::string& status, const std::string& caption,
                             std::uint32_t max, std::uint32_t position) {
  progressMax_ = max;
  progressPos_ = position;
  auto run = run_;
  const int slot = slot_;
  ctx_.ui->invoke([&] { run->setSlot(slot, status, caption, max, position); });
}

bool UpdateWorker::waitFor(std::uint32_t ms, const std::function<bool()>& done) {
  const std::uint32_t start = clock_.ticks();
  for (;;) {
    if (done && done()) return true;
    const std::uint32_t passed = clock_.ticks() - start;
    if (passed >= ms || terminated()) return false;
    // Ends early on the event waited for and on a termination request (which wakes it).
    loop_->waitAndProcess(clock_.blockSliceMs(ms - passed));
  }
}

void UpdateWorker::report(const std::string& location) {
  // The verdict stays readable on the slot for a second.
  if (displayPauses) waitFor(1000, [this] { return ctx_.ui->terminating(); });
  if (terminated()) return;
  auto run = run_;
  const int slot = slot_;
  ctx_.ui->invoke([&] { run->transferResults(location, results_, notes_, failure_); });
  ctx_.ui->invoke([&] { run->processResults(slot); });
}

std::optional<std::string> UpdateWorker::unpack(std::string bytes, serverlist::ListContent content,
                                                const std::string& location) {
  try {
    serverlist::UnpackedList list = serverlist::unpackList(std::move(bytes), content, maxListBytes);
    if (!list.member.empty()) notes_.push_back(serverlist::unpackedLogLine(list.member, location));
    return std::move(list.data);
  } catch (const serverlist::ListUnpackError& e) {
    failure_ = serverlist::skippedLogLine(location, e);
    return std::nullopt;
  }
}

void UpdateWorker::download(const std::string& location) {
  std::string body;
  bool timedOut = false, waitingOver = false, failed = false, succeeded = false,
       requestFinished = false;
  std::uint32_t lastShown = clock_.ticks() - 1000;
  std::optional<serverlist::ListUnpackError> decodeError;
  // Why the source could not be read: an error status, a network error, a failed start.
  std::string cause;

  auto cli = std::make_unique<net::HttpClient>(*loop_);
  cli->agent = "Mozilla/4.0";
  cli->multiThreaded = true;
  cli->bodyString = &body;
  cli->url = location;
  cli->tlsCaFile = tlsCaFile;
  cli->maxDecodedBody = static_cast<std::int64_t>(maxListBytes);
  cli->onDocBegin = [&](net::HttpClient&) { waitingOver = true; };
  cli->onDocData = [&](net::HttpClient& c, const char*, int) {
    // The slot shows the progress at most every 100 ms: each update waits for the user
    // interface, and a fast download brings many pieces in that time.
    const std::uint32_t now = clock_.ticks();
    if (now - lastShown < 100) return;
    lastShown = now;
    if (c.contentLength() == -1)
      setStatus(_("Receiving data..."), caption_, 100,
                std::min<std::uint32_t>(progressPos_ + 5, 100));
    else
      setStatus(_("Receiving data..."), caption_, static_cast<std::uint32_t>(c.contentLength()),
                static_cast<std::uint32_t>(c.rcvdCount()));
  };
  cli->onRequestDone = [&](net::HttpClient& c, net::HttpRequest, std::uint16_t error) {
    // A gzip body that could not be expanded is logged like a packed list that could not.
    if (error == net::httperrBodyTooLarge) decodeError = serverlist::tooLargeError(maxListBytes);
    if (error == net::httperrBadEncoding) decodeError.emplace(c.reasonPhrase(), false);
    // The first cause stands: a failed start aborts the request, which ends it here.
    if (cause.empty() && error != 0) cause = c.reasonPhrase();
    // Any complete response ends with error 0; an error status means the list is not there.
    if (cause.empty() && c.statusCode() >= 400)
      cause =
          std::to_string(c.statusCode()) + (c.reasonPhrase().empty() ? "" : " " + c.reasonPhrase());
    if (error == 0) {
      setStatus(_("Data received successfully!"), caption_, 100, 100);
      succeeded = true;
    }
    waitingOver = true;
    requestFinished = true;
  };
  results_.clear();
  notes_.clear();
  failure_.clear();

  setStatus(_("Request sent! Waiting for reply..."), caption_, 100, 0);
  bool proxyChosen = false;
  try {
    net::useProxyRules(*cli, location, proxyAddr, proxyPort, proxyEnvironment);
    proxyChosen = true;
    cli->startGet();
    // The response must have begun within the time-out.
    if (!waitFor(timeout, [&] { return waitingOver; }) && !terminated()) {
      cli->abort();
      timedOut = true;
    }
  } catch (const std::exception& e) {
    cause = e.what();
    try {
      cli->abort();
    } catch (const std::exception&) {
    }
    succeeded = false;
    failed = true;
    // A proxy variable that cannot be used: no request was started, none will end.
    if (!proxyChosen) requestFinished = true;
  }
  waitFor(kForever, [&] { return requestFinished; });

  if (terminated()) {
    cli->abort();
    cli.reset();
    return;
  }
  cli.reset();
  if (succeeded && cause.empty()) {
    using serverlist::ListContent;
    std::optional<std::string> list;
    if (job.kind == runtime::SourceKind::HTML) {
      if ((list = unpack(std::move(body), ListContent::Links, location)))
        results_ = decodeHtmlBody(*list, kMaxResults);
    } else if (job.kind == runtime::SourceKind::MET) {
      if ((list = unpack(std::move(body), ListContent::Met, location)))
        results_ = decodeMetBody(*list, kMaxResults);
    } else if (job.kind == runtime::SourceKind::BOT) {
      if ((list = unpack(std::move(body), ListContent::Bot, location)))
        results_ = decodeBotBody(*list, kMaxResults);
    }
    std::string().swap(body);
    setStatus(runtime::fillIn(_("%s new IPs found!"), {std::to_string(results_.size())}), caption_,
              100, 100);
  } else if (timedOut) {
    failure_ = fetchFailedLogLine(location,
                                  "timed out after " + std::to_string(timeout / 1000) + " seconds");
    setStatus(_("URL timed out!"), caption_, 100, 100);
  } else if (failed || !cause.empty()) {
    // An error page is no list; the slot says why, as the log does.
    failure_ = decodeError ? serverlist::skippedLogLine(location, *decodeError)
                           : fetchFailedLogLine(location, cause);
    setStatus(_("Error while processing request!") + (cause.empty() ? "" : " (" + cause + ")"),
              caption_, 100, 100);
  } else {
    failure_ = fetchFailedLogLine(location, cause);
    setStatus(_("Unknown error occurred!"), caption_, 100, 100);
  }
  report(location);
}

void UpdateWorker::dnsPass(const std::string& location) {
  results_.clear();
  notes_.clear();
  failure_.clear();
  std::error_code ec;
  if (!std::filesystem::is_regular_file(platform::pathFromUtf8(location), ec)) {
    failure_ = fetchFailedLogLine(location, "file not found");
    setStatus(_("DNS-File not found..."), caption_, 1, 1);
    report(location);
    return;
  }
  std::vector<std::string> lines;
  try {
    std::optional<std::string> unpacked =
        unpack(platform::readWholeFile(location), serverlist::ListContent::Text, location);
    const std::string text = unpacked ? std::move(*unpacked) : std::string();
    std::size_t pos = 0;
    while (pos < text.size()) {
      std::size_t nl = text.find('\n', pos);
      if (nl == std::string::npos) nl = text.size();
      std::string line = text.substr(pos, nl - pos);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(std::move(line));
      pos = nl + 1;
    }
  } catch (const std::exception& e) {
    failure_ = fetchFailedLogLine(location, e.what());
    setStatus(_("DNS-File not found..."), caption_, 1, 1);
    report(location);
    return;
  }
  const auto count = static_cast<std::uint32_t>(lines.size());
  setStatus(_("Looking up DNS..."), caption_, count, 0);

  bool waitingOver = false, lookupOk = false;
  auto socket = std::make_unique<net::AsyncSocket>(*loop_);
  socket->setMultiThreaded(true);
  socket->setProto(net::SocketProto::Tcp);
  socket->onDnsLookupDone = [&](net::AsyncSocket&, std::uint16_t error) {
    lookupOk = error == 0;
    waitingOver = true;
  };

  for (std::uint32_t i = 0; i < count && results_.size() < kMaxResults; ++i) {
    setStatus(_("Looking up DNS..."), caption_, count, i + 1);
    const std::string& line = lines[i];
    if (line.empty() || line.starts_with("//")) continue;
    std::string rest = line;
    serverlist::Server s;
    s.ip = nextField(rest);
    if (s.ip == serverlist::kNA) continue;
    if (!serverlist::isValidIP(s.ip)) {
      waitingOver = false;
      lookupOk = false;
      try {
        socket->startDnsLookup(s.ip);
      } catch (const std::exception&) {
        waitingOver = true;
        lookupOk = false;
      }
      waitFor(kForever, [&] { return waitingOver; });
      if (terminated()) return;  // socket and lines go with the scope
      if (!lookupOk) continue;
      s.ip = socket->dnsResult();
    }
    s.port = nextField(rest);
    if (!serverlist::isValidPort(s.port)) continue;
    s.name = nextField(rest);
    s.desc = nextField(rest);
    results_.push_back(std::move(s));
  }
  socket.reset();
  lines.clear();
  setStatus(runtime::fillIn(_("%s new IPs found!"), {std::to_string(results_.size())}), caption_,
            100, 100);
  report(location);
}

}  // namespace ravelin::update
