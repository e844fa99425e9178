#pragma once
#include <ctime>
#include <string>

namespace ravelin::app {

// The log folder holds one file per run, named after the run's start time; the oldest
// files are removed at start-up.

// The name (without folder) of this run's log file in logDir: the local start time to the
// second, "2026-12-07_14-03-09.log", and only when a file of that name is there already
// (two runs in one second) with the milliseconds, "2026-12-07_14-03-09-045.log".
std::string chooseLogFileName(const std::string& logDir, const std::tm& localStart,
                              int milliseconds);

// Removes the oldest log files of logDir until keep remain, counting this run's file
// thisRunName (which need not exist yet). keep 0 removes nothing. Only files named as
// chooseLogFileName names them (or in the older form "12-07-2026_14-03-09-045.log") count;
// their age is the start time in the name. Any other file stays, as does one that cannot
// be removed.
void pruneLogFiles(const std::string& logDir, const std::string& thisRunName, int keep);

}  // namespace ravelin::app
