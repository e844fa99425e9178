#pragma once
#include <memory>
#include <string>
#include <string_view>

namespace ravelin::platform {

// One TLS connection driven entirely through memory: the caller moves the encrypted
// bytes between this object and its own non-blocking socket (receive() what arrived,
// send takeOutgoing()), and reads and writes the plain bytes here. Nothing blocks and no
// descriptor is touched, so it works over any transport and in tests without one.
class TlsSession {
 public:
  struct ClientOptions {
    // Trust anchors: a PEM file and/or a directory of certificates; when one is given,
    // nothing else is trusted. When both are empty the system's trust store is used.
    // With OpenSSL the directory holds hashed names, and SSL_CERT_FILE and SSL_CERT_DIR
    // redirect the system's store. On Windows the system's store is the "ROOT" store,
    // SSL_CERT_FILE (when set) takes its place, and every file in the directory is read
    // for PEM certificates.
    std::string caFile;
    std::string caDir;
  };

  enum class Status {
    Ok,      // nothing wrong; more may come
    Closed,  // the peer ended the TLS stream (close_notify)
    Error,   // handshake or record failure: errorText() says why
  };

  // A client for the given host name or IPv4 address: certificates are verified against
  // the trust anchors and must name that host (SNI is sent for names). Returns a session
  // in the Error state when the library cannot be set up.
  static std::unique_ptr<TlsSession> client(const std::string& host, const ClientOptions& options);
  // A server with a PEM certificate chain and key (used where a program needs to answer
  // TLS itself, e.g. tests of the client side). The program never answers TLS on Windows:
  // there the session is in the Error state from the start.
  static std::unique_ptr<TlsSession> server(const std::string& certFile,
                                            const std::string& keyFile);

  ~TlsSession();
  TlsSession(const TlsSession&) = delete;
  TlsSession& operator=(const TlsSession&) = delete;

  // Encrypted bytes from the peer.
  void receive(std::string_view cipher);
  // Advances the handshake and appends every plain byte that can be decrypted now to
  // plainOut.
  Status pump(std::string& plainOut);
  // Plain bytes to send; held back until the handshake is done.
  Status write(std::string_view plain);
  // Encrypted bytes waiting to go to the peer (and forgets them).
  std::string takeOutgoing();
  bool hasOutgoing() const;

  bool handshakeDone() const { return handshakeDone_; }
  Status status() const { return status_; }
  const std::string& errorText() const { return error_; }

  struct Impl;  // the library's objects; opaque to callers

 private:
  explicit TlsSession(std::unique_ptr<Impl> impl);
  Status fail(std::string text);
  Status flushPending();
  Status advanceHandshake();

  std::unique_ptr<Impl> impl_;
  bool handshakeDone_ = false;
  Status status_ = Status::Ok;
  std::string error_;
  std::string pendingPlain_;
};

// Frees what the TLS library keeps for the calling thread (its random generators, its
// error queue). A worker thread calls it as it ends, so that nothing of it is left when the
// program exits right after.
void releaseThreadTlsState();

}  // namespace ravelin::platform
