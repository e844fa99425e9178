#pragma once
// How an AsyncSocket hands its events to their handlers, shared by the files that make up
// the socket (connect, send queue, SOCKS 5, name lookup).
#include <exception>
#include <memory>
#include <stdexcept>
#include <utility>

#include "net/async_socket.h"

namespace ravelin::net {

// A handler may destroy the socket: it runs on a copy of itself, and the answer tells
// whether the socket is still there to be touched.
template <class Event, class... Args>
bool AsyncSocket::fire(const Event& event, Args&&... args) {
  if (!event || destroying_) return true;
  std::shared_ptr<bool> alive = alive_;
  auto handler = event;
  handler(*this, std::forward<Args>(args)...);
  return *alive;
}

template <class F>
void AsyncSocket::guarded(F&& f) {
  std::shared_ptr<bool> alive = alive_;
  try {
    f();
  } catch (const std::exception& e) {
    if (*alive) handleBgException(e);
  } catch (...) {
    if (*alive) handleBgException(std::runtime_error("Unknown exception"));
  }
}

}  // namespace ravelin::net
