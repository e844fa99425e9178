#pragma once
// Other programs as processes: which ones run, and starting one without waiting for it.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ravelin::platform {

// True when a running process's executable is the given path, compared as a whole and
// without regard to letter case. Processes whose executable cannot be read (other users')
// are skipped. The given path also matches in its resolved form (symbolic links and "."
// or ".." parts removed), which is how the system reports an executable.
bool isProcessRunning(const std::string& executablePath);

// The executable paths of all processes this user may inspect.
std::vector<std::string> runningExecutables();
// Those of them whose file name is fileName, compared without regard to letter case.
std::vector<std::string> runningExecutablesNamed(const std::string& fileName);
// path in the form the system reports an executable in: absolute, "." and ".." removed
// (and symbolic links followed, on POSIX); empty when it cannot be resolved.
std::string resolvedExecutablePath(const std::string& path);

// Starts a program without waiting for it; a helper thread reaps it when it ends. With
// searchPath the program is looked up in PATH. Returns false when it could not be started.
bool spawnDetached(const std::string& program, const std::vector<std::string>& args,
                   bool searchPath);

// Opens a file or an address with the desktop's default application for it (xdg-open;
// the shell's "open" on Windows) without waiting. Returns false when that could not start.
bool openWithDefaultApplication(const std::string& fileOrAddress);

// This process's PATH (the system's usual directories when it is not set).
std::string searchPath();

// The first file of that name in the directories of PATH (or of dirs, a list in the same
// form) that this user may execute; empty when there is none.
std::string findOnPath(const std::string& name);
std::string findOnPath(const std::string& name, const std::string& dirs);

// This process's environment as "NAME=value" entries, with the given variables set to
// new values (or added).
std::vector<std::string> environmentWith(const std::vector<std::string>& overrides);

// What a program run to its end printed (output and error together) and its exit status
// (-1 when it could not be started or had to be killed).
struct ProgramResult {
  int exitStatus = -1;
  std::string output;
};
// Runs program (a path) with the arguments and environment and waits at most ms for it to
// end; a program still running then is killed.
ProgramResult runProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<std::string>& environment, std::uint32_t ms);

// A program whose standard input, output and error are connected to this process, for a
// conversation in lines: write a line, read what it answers, with bounded waits. Writing
// to a program that has ended is an error, never a signal. The program is killed and
// reaped, at the latest, when the object goes.
class PipedProcess {
 public:
  enum class ReadResult { Data, TimedOut, Ended };

  // Starts program (a path) with the arguments and exactly the given environment
  // ("NAME=value" entries). Check started() afterwards.
  PipedProcess(const std::string& program, const std::vector<std::string>& args,
               const std::vector<std::string>& environment);
  ~PipedProcess();
  PipedProcess(const PipedProcess&) = delete;
  PipedProcess& operator=(const PipedProcess&) = delete;

  bool started() const { return pid_ > 0; }
  // The system's error number when the start failed.
  int startError() const { return startError_; }

  // Writes all bytes to the program's input; false when it no longer reads them.
  bool write(std::string_view bytes);
  // The program sees the end of its input.
  void closeInput();
  // Waits at most ms for output and appends what arrived to out: Data when something
  // came, TimedOut when nothing did, Ended when the program closed its output.
  ReadResult read(std::string& out, std::uint32_t ms);
  // Closes the input and waits at most ms for the program to end, then kills it. Returns
  // its exit status, or -1 when it had to be killed.
  int finish(std::uint32_t ms);

 private:
  // The system's handles: on POSIX fd_ is a socket to the program (both directions) and
  // pid_ its process id; on Windows fd_ reads its output, inputFd_ writes its input and
  // pid_ is the process handle.
  std::intptr_t fd_ = -1;
  [[maybe_unused]] std::intptr_t inputFd_ = -1;  // Windows only
  std::intptr_t pid_ = 0;
  int startError_ = 0;
  bool reaped_ = false;
  int status_ = -1;
};

}  // namespace ravelin::platform
