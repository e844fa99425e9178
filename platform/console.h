#pragma once
// The console a command-line program runs in.
#include <string>
#include <vector>

namespace ravelin::platform {

// The program's arguments after its name, in UTF-8: argv as it is on POSIX; on Windows, where
// argv holds them in the ANSI code page, read again from the wide command line.
std::vector<std::string> programArguments(int argc, char** argv);

// Makes the console show UTF-8 output as text: Windows' console is switched to the UTF-8
// code page; a terminal elsewhere takes the bytes as they are.
void useUtf8Console();

// Whether standard error is a terminal (one that can redraw a line).
bool standardErrorIsTerminal();
// Whether standard error is the system journal's stream (systemd names it in
// JOURNAL_STREAM as "device:inode"), which reads a syslog priority ("<3>") before a line.
bool standardErrorIsJournal();

// Lets standard error's terminal take the escape sequences that erase a line: a terminal
// elsewhere does; Windows' console is switched to virtual terminal processing, which
// consoles before Windows 10 lack. False: draw without escapes.
bool enableTerminalEscapes();

// Requests to stop from outside: Ctrl+C and the request to end (SIGINT and SIGTERM; on
// Windows also Ctrl+Break and the console window's closing). Once caught, the first request
// only sets a flag for the program to look at; a second one ends the program at once.
void catchInterrupts();
bool interruptRequested();
// The exit status of a run that such a request stopped, as a shell reports a program that
// it ended: 130 for Ctrl+C, 143 for the request to end; 130 while none came.
int interruptExitStatus();

}  // namespace ravelin::platform
