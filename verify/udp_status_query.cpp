#include "verify/udp_status_query.h"

#include "net/async_socket.h"
#include "net/socket_errors.h"
#include "platform/text.h"

namespace ravelin::verify {

namespace {
// The UDP port of a server is its TCP port + 4.
constexpr std::int32_t kUdpPortOffset = 4;
// Challenges differ in their low 16 bits only.
constexpr std::size_t kMaxInFlight = 0x10000;
}  // namespace

UdpStatusQuery::UdpStatusQuery(serverlist::ServerList& list, runtime::AppContext& ctx,
                               std::uint32_t timeoutMs)
    : list_(list),
      ui_(*ctx.ui),
      log_(ctx.log),
      clock_(*ctx.clock),
      timeoutMs_(timeoutMs),
      random_(std::random_device{}()) {}

void UdpStatusQuery::ask(const std::string& address, const std::string& tcpPort, std::size_t row) {
  const std::optional<std::int32_t> port = platform::parseInt32(tcpPort);
  if (!port || *port < 0 || *port > 0xFFFF - kUdpPortOffset) return;
  const auto to = net::udpEndpoint(address, static_cast<std::uint16_t>(*port + kUdpPortOffset));
  if (!to || finished()) return;
  ++outstanding_;
  platform::EventLoop::Handle wake;
  {
    std::lock_guard lock(mutex_);
    queue_.push_back({*to, row});
    wake = wake_;
  }
  wake.post([] {});
}

void UdpStatusQuery::sendQueued(net::UdpSocket& socket) {
  std::vector<Request> requests;
  {
    std::lock_guard lock(mutex_);
    requests.swap(queue_);
  }
  std::uniform_int_distribution<unsigned> low(0, 0xFFFF);
  for (const Request& r : requests) {
    if (inFlight_.size() >= kMaxInFlight) {
      ++dropped_;
      continue;
    }
    std::uint32_t challenge;
    do challenge = statusChallenge(static_cast<std::uint16_t>(low(random_)));
    while (inFlight_.count(challenge));
    if (socket.sendTo(r.to, buildStatusRequest(challenge)) != 0) {
      ++dropped_;
      continue;
    }
    inFlight_.emplace(challenge, InFlight{r.to, r.row, clock_.ticks()});
  }
}

void UdpStatusQuery::received(std::string_view datagram, net::UdpEndpoint from) {
  const std::uint32_t now = clock_.ticks();
  const std::optional<ServerStatus> status = parseStatusReply(datagram);
  if (!status) return;
  const auto it = inFlight_.find(status->challenge);
  if (it == inFlight_.end() || !(it->second.to == from)) return;
  answers_.push_back({it->second.row, *status, now - it->second.sentTick});
  inFlight_.erase(it);
}

void UdpStatusQuery::expire() {
  const std::uint32_t now = clock_.ticks();
  for (auto it = inFlight_.begin(); it != inFlight_.end();) {
    if (now - it->second.sentTick >= timeoutMs_) {
      it = inFlight_.erase(it);
      ++dropped_;
    } else {
      ++it;
    }
  }
}

void UdpStatusQuery::handOver() {
  std::vector<Answer> answers;
  answers.swap(answers_);
  const int settledNow = static_cast<int>(answers.size()) + dropped_;
  dropped_ = 0;
  ui_.invoke([&] {
    for (const Answer& a : answers) {
      if (a.row >= list_.size()) continue;
      list_.setField(a.row, serverlist::fUsers, std::to_string(a.status.users));
      list_.setField(a.row, serverlist::fFiles, std::to_string(a.status.files));
      list_.setField(a.row, serverlist::fPing, std::to_string(a.pingMs));
    }
    outstanding_ -= settledNow;
  });
}

void UdpStatusQuery::execute() {
  platform::EventLoop loop;
  attachLoop(&loop);
  struct Detach {
    UdpStatusQuery& q;
    ~Detach() {
      q.attachLoop(nullptr);
      std::lock_guard lock(q.mutex_);
      q.wake_ = {};
    }
  } detach{*this};
  {
    std::lock_guard lock(mutex_);
    wake_ = loop.handle();
  }
  try {
    net::UdpSocket socket(loop);
    try {
      socket.open();
    } catch (const net::SocketError& e) {
      const std::string text = net::socketErrorText(e.errorCode());
      ui_.invoke([&] { log_.writeLog("UDP server status not queried: " + text); });
      return;
    }
    socket.onDatagram = [this](std::string_view datagram, net::UdpEndpoint from) {
      received(datagram, from);
    };
    while (!terminated()) {
      sendQueued(socket);
      expire();
      if (!answers_.empty() || dropped_ > 0) handOver();
      if (terminated()) break;
      loop.waitAndProcess(kPollMs);
    }
  } catch (...) {
    // The user interface went away under a hand-over: there is nobody left to tell.
  }
}

}  // namespace ravelin::verify
