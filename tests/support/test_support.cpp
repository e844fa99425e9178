#include "support/test_support.h"

#include "app/settings_store.h"

#include <atomic>
#include <cstdlib>
#include <random>

using namespace ravelin;
using namespace ravelin::runtime;

namespace {

// value nullptr removes the variable.
int setVariable(const char* name, const char* value) {
#ifdef _WIN32
  return _putenv_s(name, value ? value : "");
#else
  return value ? setenv(name, value, 1) : unsetenv(name);
#endif
}

int clearVariable(const char* name) {
  return setVariable(name, nullptr);
}

// A proxy in the environment of whoever runs the tests must not carry their loopback traffic.
[[maybe_unused]] const int kProxyVariablesCleared =
    clearVariable("http_proxy") + clearVariable("HTTP_PROXY") + clearVariable("https_proxy") +
    clearVariable("HTTPS_PROXY") + clearVariable("no_proxy") + clearVariable("NO_PROXY");

}  // namespace

namespace test {

ScopedVariable::ScopedVariable(const char* name, const char* value) : name_(name) {
  if (const char* old = std::getenv(name)) old_ = old;
  setVariable(name, value);
}

ScopedVariable::~ScopedVariable() {
  setVariable(name_.c_str(), old_ ? old_->c_str() : nullptr);
}

TempDir::TempDir() {
  static std::atomic<int> counter{0};
  std::random_device rd;
  // Two random draws tell the test processes that run at once apart.
  path_ = std::filesystem::temp_directory_path() /
          ("ravelin-test-" + std::to_string(rd()) + "-" + std::to_string(rd()) + "-" +
           std::to_string(counter++));
  std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

bool PumpUntil(platform::EventLoop& loop, const std::function<bool()>& pred,
               std::uint32_t timeoutMs) {
  const std::uint32_t start = platform::systemClock().ticks();
  while (!pred()) {
    if (platform::systemClock().ticks() - start >= timeoutMs) return pred();
    loop.waitAndProcess(20);
  }
  return true;
}

void PumpFor(platform::EventLoop& loop, std::uint32_t ms) {
  const std::uint32_t start = platform::systemClock().ticks();
  while (platform::systemClock().ticks() - start < ms) loop.waitAndProcess(10);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string SystemLines(const std::string& text) {
  std::string out;
  for (char c : text) out += c == '\n' ? std::string(platform::kLineEnd) : std::string(1, c);
  return out;
}

std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s.push_back(static_cast<char>(v));
  return s;
}

TestApp::TestApp() {
  ctx.prompter = &prompter;
  ctx.ui = &ui;
  ctx.log.loggingActive = true;
  ctx.log.logFileName = dir.file("test.log");
}

std::vector<std::string> LogMessages(const std::string& logFile) {
  std::vector<std::string> lines;
  std::ifstream in(logFile, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const auto dash = line.find(" - ");
    lines.push_back(dash == std::string::npos ? line : line.substr(dash + 3));
  }
  return lines;
}

std::vector<std::string> TestApp::logLines() const {
  return LogMessages(ctx.log.logFileName);
}

UrlSource Source(const std::string& entry) {
  return app::parseUrlSource(entry);
}

std::vector<UrlSource> Sources(const std::vector<std::string>& entries) {
  std::vector<UrlSource> out;
  for (const std::string& e : entries) out.push_back(Source(e));
  return out;
}

}  // namespace test
