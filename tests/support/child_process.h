#pragma once
// Runs a piece of a test in a forked child, for what must not touch the test process
// itself: giving up root to meet a directory that is really not writable, lowering the
// file size limit to provoke a write error.
#include <functional>
#include <string>

namespace test {

// Runs fn in a child process and returns the text fn returned (empty means success), or
// a description of how the child died.
std::string RunInChild(const std::function<std::string()>& fn);

// In a child process: gives up root (becomes nobody) so that permissions apply. Returns
// false when it could not.
bool DropRoot();

// In a child process: limits the size of files it writes and turns the signal of an
// oversized write into an error return.
void LimitFileSize(long bytes);

}  // namespace test
