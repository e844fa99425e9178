#include "update/update_thread.h"

#include <filesystem>

#include "app/ui_thread.h"
#include "platform/file_io.h"
#include "platform/ticks.h"
#include "serverlist/bot_file.h"
#include "serverlist/ip_port.h"
#include "serverlist/met_tags.h"
#include "serverlist/server_links.h"
#include "update/http_cli.h"
#include "update/update_view.h"
#include "verify/wsocket.h"

// ---- pool (user-interface thread only) ----

void UpdatePool::ProcessResults(int slot) {
  if (!live || cancel || slot < 0 || slot >= kSlots) return;
  view->setSlotCaption(slot, "Thread " + std::to_string(slot + 1) + ":");
  view->slotBar(slot).setPosition(0);
  view->setSlotLabel(slot, "< Thread not used >");
  slotState[slot] = 0;
  --activeCount;
}

void UpdatePool::TransferResults(const std::string& location, std::vector<TServer>& records) {
  if (!live || cancel) return;
  view->urlsBar().stepIt();
  const auto count = static_cast<std::int32_t>(records.size());
  if (count != 0) {
    total += count;
    view->setDesc(std::to_string(total) + " IPs found!");
    results.insert(results.end(), std::make_move_iterator(records.begin()),
                   std::make_move_iterator(records.end()));
  }
  ctx->log.WriteLog("Updated from <" + location + "> and found <" + std::to_string(count) +
                    "> IPs");
}

void UpdatePool::SetSlot(int slot, const std::string& status, const std::string& caption,
                         std::uint32_t max, std::uint32_t position) {
  if (!live || cancel || slot < 0 || slot >= kSlots) return;
  view->setSlotLabel(slot, status);
  view->setSlotCaption(slot, caption);
  view->slotBar(slot).setMax(static_cast<int>(max));
  view->slotBar(slot).setPosition(static_cast<int>(position));
}

// ---- decoders ----

std::vector<TServer> DecodeMetBody(std::string_view body, std::size_t maxRecords) {
  std::vector<TServer> out;
  MetParseResult r = ParseMet(body, static_cast<std::uint32_t>(maxRecords));
  if (!r.headerOk) return out;
  out.reserve(r.records.size());
  for (MetRecord& rec : r.records) {
    if (rec.truncated) break;  // the body ended inside this record
    out.push_back(std::move(rec.server));
  }
  return out;
}

std::vector<TServer> DecodeBotBody(std::string_view body, std::size_t maxRecords) {
  return ParseBot(body, maxRecords);
}

std::vector<TServer> DecodeHtmlBody(std::string_view body, std::size_t maxRecords) {
  const std::size_t nul = body.find('\0');
  if (nul != std::string_view::npos) body = body.substr(0, nul);
  std::vector<TServer> out;
  ForEachServerLink(body, [&](std::string_view ip, std::string_view port) {
    if (out.size() >= maxRecords) return;
    TServer s;
    s.IP = std::string(ip);
    s.Port = std::string(port);
    out.push_back(std::move(s));
  });
  return out;
}

std::string NextField(std::string& rest) {
  if (rest.empty()) return kNA;
  const std::size_t comma = rest.find(',');
  if (comma == std::string::npos) {
    std::string field;
    field.swap(rest);
    return field;
  }
  std::string field = rest.substr(0, comma);
  rest.erase(0, comma + 1);
  return field.empty() ? std::string(kNA) : field;
}

// ---- worker ----

TUpdateThread::TUpdateThread(std::shared_ptr<UpdatePool> pool, int slot, AppContext& ctx)
    : pool_(std::move(pool)), slot_(slot), ctx_(ctx) {}

void TUpdateThread::execute() {
  if (terminated()) return;
  platform::EventLoop loop;
  loop_ = &loop;
  const std::string kind = Job.substr(0, 4);
  const std::string location = Job.size() > 4 ? Job.substr(4) : std::string();
  caption_ = "Checking " + location + "...";
  if (kind == "DNS|")
    dnsPass(location);
  else
    download(location);
  loop_ = nullptr;
}

void TUpdateThread::SetStatus(const std::string& status, const std::string& caption,
                              std::uint32_t max, std::uint32_t position) {
  progressMax_ = max;
  progressPos_ = position;
  auto pool = pool_;
  const int slot = slot_;
  ctx_.ui->invoke([&] { pool->SetSlot(slot, status, caption, max, position); });
}

void TUpdateThread::waitStep() {
  loop_->waitAndProcess(100);
}

void TUpdateThread::PauseWorker(std::uint32_t ms) {
  const std::uint32_t start = platform::ticks();
  do {
    const std::uint32_t passed = platform::ticks() - start;
    const std::uint32_t left = ms > passed ? ms - passed : 0;
    platform::sleepMs(std::min<std::uint32_t>(100, left));
    if (terminated()) return;
    loop_->processPending();
  } while (platform::ticks() - start < ms && !ctx_.ui->terminating());
}

void TUpdateThread::report(const std::string& location) {
  PauseWorker(1000);
  if (terminated()) return;
  auto pool = pool_;
  const int slot = slot_;
  ctx_.ui->invoke([&] { pool->TransferResults(location, results_); });
  ctx_.ui->invoke([&] { pool->ProcessResults(slot); });
}

void TUpdateThread::download(const std::string& location) {
  const std::string kind = Job.substr(0, 4);
  std::string body;
  bool timedOut = false, waitingOver = false, failed = false, succeeded = false,
       requestFinished = false;
  std::uint32_t lastShown = platform::ticks() - 1000;

  auto cli = std::make_unique<THttpCli>(*loop_);
  cli->Agent = "Mozilla/4.0";
  cli->MultiThreaded = true;
  cli->BodyString = &body;
  cli->URL = location;
  cli->TlsCaFile = TlsCaFile;
  if (!ProxyAddr.empty()) {
    cli->Proxy = ProxyAddr;
    cli->ProxyPort = std::to_string(ProxyPort);
  }
  cli->OnDocBegin = [&](THttpCli&) { waitingOver = true; };
  cli->OnDocData = [&](THttpCli& c, const char*, int) {
    // The slot shows the progress at most every 100 ms: each update waits for the user
    // interface, and a fast download brings many pieces in that time.
    const std::uint32_t now = platform::ticks();
    if (now - lastShown < 100) return;
    lastShown = now;
    if (c.ContentLength() == -1)
      SetStatus("Receiving data...", caption_, 100, std::min<std::uint32_t>(progressPos_ + 5, 100));
    else
      SetStatus("Receiving data...", caption_, static_cast<std::uint32_t>(c.ContentLength()),
                static_cast<std::uint32_t>(c.RcvdCount()));
  };
  cli->OnRequestDone = [&](THttpCli&, THttpRequest, std::uint16_t error) {
    if (error == 0) {
      SetStatus("Data received successfully!", caption_, 100, 100);
      succeeded = true;
    }
    waitingOver = true;
    requestFinished = true;
  };
  results_.clear();

  SetStatus("Request sent! Waiting for reply...", caption_, 100, 0);
  const std::uint32_t deadline = platform::ticks() + Timeout;
  try {
    cli->StartGet();
    while (!waitingOver && !terminated()) {
      waitStep();
      // Compared as a signed distance, so the wrap of the tick count does no harm.
      if (static_cast<std::int32_t>(platform::ticks() - deadline) > 0 && !waitingOver) {
        cli->Abort();
        timedOut = true;
        break;
      }
    }
  } catch (const std::exception&) {
    try {
      cli->Abort();
    } catch (const std::exception&) {
    }
    succeeded = false;
    failed = true;
  }
  while (!requestFinished && !terminated()) waitStep();

  if (terminated()) {
    cli->Abort();
    cli.reset();
    return;
  }
  cli.reset();
  if (succeeded) {
    if (kind == "HTM|")
      results_ = DecodeHtmlBody(body, kMaxResults);
    else if (kind == "MET|")
      results_ = DecodeMetBody(body, kMaxResults);
    else if (kind == "BOT|")
      results_ = DecodeBotBody(body, kMaxResults);
    std::string().swap(body);
    SetStatus(std::to_string(results_.size()) + " new IPs found!", caption_, 100, 100);
  } else if (timedOut) {
    SetStatus("URL timed out!", caption_, 100, 100);
  } else if (failed) {
    SetStatus("Error while processing request!", caption_, 100, 100);
  } else {
    SetStatus("Unknown error occured!", caption_, 100, 100);
  }
  report(location);
}

void TUpdateThread::dnsPass(const std::string& location) {
  results_.clear();
  std::error_code ec;
  if (!std::filesystem::is_regular_file(location, ec)) {
    SetStatus("DNS-File not found...", caption_, 1, 1);
    report(location);
    return;
  }
  std::vector<std::string> lines;
  try {
    const std::string text = platform::ReadWholeFile(location);
    std::size_t pos = 0;
    while (pos < text.size()) {
      std::size_t nl = text.find('\n', pos);
      if (nl == std::string::npos) nl = text.size();
      std::string line = text.substr(pos, nl - pos);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(std::move(line));
      pos = nl + 1;
    }
  } catch (const std::exception&) {
    SetStatus("DNS-File not found...", caption_, 1, 1);
    report(location);
    return;
  }
  const auto count = static_cast<std::uint32_t>(lines.size());
  SetStatus("Looking up DNS...", caption_, count, 0);

  bool waitingOver = false, lookupOk = false;
  auto socket = std::make_unique<TWSocket>(*loop_);
  socket->SetMultiThreaded(true);
  socket->SetProto("tcp");
  socket->OnDnsLookupDone = [&](TWSocket&, std::uint16_t error) {
    lookupOk = error == 0;
    waitingOver = true;
  };

  for (std::uint32_t i = 0; i < count && results_.size() < kMaxResults; ++i) {
    SetStatus("Looking up DNS...", caption_, count, i + 1);
    const std::string& line = lines[i];
    if (line.empty() || line.starts_with("//")) continue;
    std::string rest = line;
    TServer s;
    s.IP = NextField(rest);
    if (s.IP == kNA) continue;
    if (!IsValidIP(s.IP)) {
      waitingOver = false;
      lookupOk = false;
      try {
        socket->StartDnsLookup(s.IP);
      } catch (const std::exception&) {
        waitingOver = true;
        lookupOk = false;
      }
      while (!waitingOver && !terminated()) waitStep();
      if (terminated()) return;  // socket and lines go with the scope
      if (!lookupOk) continue;
      s.IP = socket->DnsResult();
    }
    s.Port = NextField(rest);
    if (!IsValidPort(s.Port)) continue;
    s.Name = NextField(rest);
    s.Desc = NextField(rest);
    results_.push_back(std::move(s));
  }
  socket.reset();
  lines.clear();
  SetStatus(std::to_string(results_.size()) + " new IPs found!", caption_, 100, 100);
  report(location);
}
