#pragma once
#include <functional>

namespace ravelin::runtime {

// Hands fn to another thread through post and blocks until that thread has run it. post
// queues the task it is given and answers whether it took it; a task that its queue drops
// unrun (the thread's loop ended) releases the caller too. Throws std::runtime_error when
// fn was not run, and rethrows in the caller what fn threw.
void callBlocking(const std::function<bool(std::function<void()>)>& post,
                  const std::function<void()>& fn);

}  // namespace ravelin::runtime
