#pragma once
// Another program's top-level window that takes text from this one: it is found by a
// registered window message that it answers with that message's own value, and is handed
// text as a copy (a number that says what the text is, and the text). Only Windows has
// such windows; elsewhere none is ever found.
#include <cstdint>
#include <optional>
#include <string>

namespace ravelin::platform {

// A window of another program, as the system names it.
struct ClientWindow {
  std::intptr_t handle = 0;
};

// The first top-level window that answers the message registered under messageName with
// that message's value. Each window is given at most answerMs; a hung one is passed over.
std::optional<ClientWindow> findAnsweringWindow(const std::string& messageName,
                                                std::uint32_t answerMs);

// Hands text (UTF-8 here; UTF-16 with its terminating NUL to the window) over with the
// number kind and waits at most ms for the window to take it. Returns why it was not
// taken, in words; nothing when it was.
std::optional<std::string> sendTextToWindow(ClientWindow window, std::uintptr_t kind,
                                            const std::string& text, std::uint32_t ms);

}  // namespace ravelin::platform
