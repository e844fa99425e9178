#include "platform/tls_session.h"

// What both systems' sessions share.

namespace ravelin::platform {

TlsSession::Status TlsSession::flushPending() {
  if (pendingPlain_.empty()) return status_;
  std::string data;
  data.swap(pendingPlain_);
  return write(data);
}

}  // namespace ravelin::platform
