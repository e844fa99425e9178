#include "client/ec_session.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/error_text.h"
#include "platform/file_io.h"
#include "platform/process.h"
#include "runtime/settings.h"

namespace ravelin::client {

namespace {

constexpr const char* kPrompt = "aMulecmd$ ";
constexpr const char* kConfigName = "ec.conf";
constexpr std::uint32_t kSliceMs = 50;

bool isHexDigest(const std::string& s) {
  if (s.size() != 32) return false;
  for (char c : s)
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'))) return false;
  return true;
}

// A host name, an IPv4 address or a bracketed IPv6 address: nothing that could end the
// line of the settings file.
bool isPlainHost(const std::string& s) {
  if (s.empty() || s.size() > 255) return false;
  for (char c : s)
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '.' ||
          c == '-' || c == ':' || c == '_' || c == '[' || c == ']'))
      return false;
  return true;
}

std::string upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

std::string trim(const std::string& s) {
  const auto b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return {};
  return s.substr(b, s.find_last_not_of(" \t\r\n") - b + 1);
}

// The console's lines without its " > " marks and without empty lines.
std::string replyLines(const std::string& text, const std::string& echoed) {
  std::string out;
  size_t start = 0;
  bool first = true;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = trim(text.substr(start, end - start));
    start = end + 1;
    // The console repeats the line it read.
    if (first && line == trim(echoed)) {
      first = false;
      continue;
    }
    first = false;
    if (line.rfind(">", 0) == 0) line = trim(line.substr(1));
    if (line.empty()) continue;
    if (!out.empty()) out += '\n';
    out += line;
  }
  return out;
}

// Why amulecmd gave up, from what it printed: the last line that says so.
std::string failureCause(const std::string& output, const std::string& address) {
  const auto find = [&](const char* marker) -> std::string {
    const auto at = output.rfind(marker);
    if (at == std::string::npos) return {};
    const auto end = output.find('\n', at);
    return trim(output.substr(at, end == std::string::npos ? std::string::npos : end - at));
  };
  if (std::string denied = find("Access denied"); !denied.empty())
    return "The client at " + address + " refused the connection (" + denied + ")";
  if (!find("empty password").empty())
    return "The client at " + address + " asks for a password that the settings do not hold";
  if (!find("Connection Failed").empty() || !find("Unable to connect").empty())
    return "No External Connection answers at " + address;
  std::string last;
  for (size_t start = 0; start < output.size();) {
    size_t end = output.find('\n', start);
    if (end == std::string::npos) end = output.size();
    if (std::string line = trim(output.substr(start, end - start)); !line.empty()) last = line;
    start = end + 1;
  }
  return std::string(kEcProgram) + " ended without a connection to " + address +
         (last.empty() ? "" : " (" + last + ")");
}

}  // namespace

EcEndpoint ecEndpoint(const runtime::Settings& settings) {
  return {settings.ECHost, settings.ECPort, settings.ECPassword};
}

bool ecReplyIsSuccess(const std::string& reply) {
  return reply.find("Operation was successful") != std::string::npos;
}

EcSession::EcSession(EcEndpoint endpoint, std::function<void()> idle)
    : endpoint_(std::move(endpoint)), idle_(std::move(idle)) {}

EcSession::~EcSession() {
  close();
}

std::string EcSession::address() const {
  return endpoint_.host + ":" + std::to_string(endpoint_.port);
}

void EcSession::open() {
  close();
  if (!isPlainHost(endpoint_.host) || endpoint_.port < 1 || endpoint_.port > 65535)
    throw EcError("ECHost and ECPort in ravelin.ini name no External Connection (" + address() +
                  ")");
  // Without a digest amulecmd would ask for the password on its input.
  if (!isHexDigest(endpoint_.passwordDigest))
    throw EcError("ECPassword in ravelin.ini holds no password digest (32 hexadecimal digits)");
  const std::string program = platform::findOnPath(kEcProgram);
  if (program.empty())
    throw EcError(std::string(kEcProgram) + " was not found; it comes with the package " +
                  kEcPackage);

  // amulecmd reads "-f NAME" below $HOME/.aMule, so the private directory is its home for
  // the run. The settings never appear on its command line, which every user can read.
  {
    platform::PrivateDirectory home("ravelin-ec");
    home.makeSubdirectory(".aMule");
    home.writeFile(std::string(".aMule/") + kConfigName,
                   "[EC]\nHost=" + endpoint_.host + "\nPort=" + std::to_string(endpoint_.port) +
                       "\nPassword=" + upper(endpoint_.passwordDigest) + "\n");
    std::vector<std::string> env = {"HOME=" + home.path(), "LC_ALL=C", "LANG=C"};
    if (const char* path = std::getenv("PATH")) env.push_back(std::string("PATH=") + path);
    process_ = std::make_unique<platform::PipedProcess>(
        program, std::vector<std::string>{"-f", kConfigName}, env);
    if (!process_->started()) {
      const int err = process_->startError();
      process_.reset();
      throw EcError(std::string(kEcProgram) + " cannot be started: " + platform::errorText(err));
    }
    buffer_.clear();
    try {
      readUntilPrompt(kConnectTimeoutMs, true);
    } catch (...) {
      process_.reset();
      throw;
    }
    // The program has read its settings; the directory goes here.
  }
}

std::string EcSession::readUntilPrompt(std::uint32_t timeoutMs, bool connecting) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    const auto at = buffer_.find(kPrompt);
    if (at != std::string::npos) {
      std::string before = buffer_.substr(0, at);
      buffer_.erase(0, at + std::strlen(kPrompt));
      return before;
    }
    // Asked for a password on its input: the settings file was not enough.
    if (buffer_.find("Enter password") != std::string::npos) process_->closeInput();
    const auto result = process_->read(buffer_, kSliceMs);
    if (result == platform::PipedProcess::ReadResult::Ended) {
      const std::string output = buffer_;
      process_->finish(1000);
      throw EcError(connecting ? failureCause(output, address())
                               : std::string(kEcProgram) + " ended before it answered");
    }
    if (std::chrono::steady_clock::now() >= deadline)
      throw EcError(std::string(kEcProgram) + " got no answer from " + address() + " within " +
                    std::to_string(timeoutMs / 1000) + " seconds");
    if (idle_) idle_();
  }
}

std::string EcSession::send(const std::string& line) {
  if (!process_) throw EcError("No External Connection is open");
  if (!process_->write(line + "\n")) throw EcError(std::string(kEcProgram) + " has ended");
  return replyLines(readUntilPrompt(kReplyTimeoutMs, false), line);
}

void EcSession::close() {
  if (!process_) return;
  process_->write("quit\n");
  process_->finish(2000);
  process_.reset();
}

}  // namespace ravelin::client
