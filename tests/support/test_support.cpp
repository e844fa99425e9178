#include "support/test_support.h"

#include "app/settings_store.h"

#include <unistd.h>
#include <atomic>
#include <cstdlib>
#include <random>

using namespace ravelin;
using namespace ravelin::runtime;

// A proxy in the environment of whoever runs the tests must not carry their loopback traffic.
[[maybe_unused]] static const int kProxyVariablesCleared =
    unsetenv("http_proxy") + unsetenv("HTTP_PROXY") + unsetenv("https_proxy") +
    unsetenv("HTTPS_PROXY") + unsetenv("no_proxy") + unsetenv("NO_PROXY");

namespace test {

TempDir::TempDir() {
  static std::atomic<int> counter{0};
  std::random_device rd;
  path_ = std::filesystem::temp_directory_path() /
          ("ravelin-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + "-" +
           std::to_string(rd()));
  std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
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
