#include "platform/process.h"

#include <algorithm>
#include <chrono>

#include "platform/system.h"
#include "platform/text.h"

namespace ravelin::platform {

bool isProcessRunning(const std::string& executablePath) {
  if (executablePath.empty()) return false;
  const std::string resolved = resolvedExecutablePath(executablePath);
  for (const std::string& running : runningExecutables()) {
    if (equalsNoCase(running, executablePath)) return true;
    if (!resolved.empty() && equalsNoCase(running, resolved)) return true;
  }
  return false;
}

std::vector<std::string> runningExecutablesNamed(const std::string& fileName) {
  std::vector<std::string> found;
  for (std::string& running : runningExecutables()) {
    const auto slash = running.find_last_of(kPathSeparators);
    if (equalsNoCase(slash == std::string::npos ? running : running.substr(slash + 1), fileName))
      found.push_back(std::move(running));
  }
  return found;
}

ProgramResult runProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<std::string>& environment, std::uint32_t ms) {
  ProgramResult result;
  PipedProcess process(program, args, environment);
  if (!process.started()) return result;
  process.closeInput();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    if (process.read(result.output, static_cast<std::uint32_t>(left.count())) !=
        PipedProcess::ReadResult::Data)
      break;
  }
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      deadline - std::chrono::steady_clock::now());
  result.exitStatus =
      process.finish(static_cast<std::uint32_t>(std::max<std::int64_t>(left.count(), 0)));
  return result;
}

}  // namespace ravelin::platform
