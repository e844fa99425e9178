#include "platform/tls_session.h"

#include <algorithm>

#include <openssl/bio.h>
#include <openssl/crypto.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include "platform/socket.h"

namespace ravelin::platform {

namespace {

struct CtxFree {
  void operator()(SSL_CTX* c) const { SSL_CTX_free(c); }
};
struct SslFree {
  void operator()(SSL* s) const { SSL_free(s); }
};

std::string OpenSslErrors() {
  std::string text;
  unsigned long e;
  while ((e = ERR_get_error()) != 0) {
    char buf[256];
    ERR_error_string_n(e, buf, sizeof buf);
    if (!text.empty()) text += "; ";
    text += buf;
  }
  return text;
}

bool IsIPv4Literal(const std::string& host) {
  return parseDottedQuad(host).has_value();
}

}  // namespace

struct TlsSession::Impl {
  std::unique_ptr<SSL_CTX, CtxFree> ctx;
  std::unique_ptr<SSL, SslFree> ssl;
  BIO* in = nullptr;   // owned by ssl
  BIO* out = nullptr;  // owned by ssl
  bool isClient = true;
};

TlsSession::TlsSession(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
TlsSession::~TlsSession() = default;

static std::unique_ptr<TlsSession::Impl> MakeImpl(const SSL_METHOD* method, std::string& error) {
  auto impl = std::make_unique<TlsSession::Impl>();
  ERR_clear_error();
  impl->ctx.reset(SSL_CTX_new(method));
  if (!impl->ctx) {
    error = "TLS set-up failed: " + OpenSslErrors();
    return impl;
  }
  SSL_CTX_set_min_proto_version(impl->ctx.get(), TLS1_2_VERSION);
  return impl;
}

static bool AttachSsl(TlsSession::Impl& impl, std::string& error) {
  impl.ssl.reset(SSL_new(impl.ctx.get()));
  if (!impl.ssl) {
    error = "TLS set-up failed: " + OpenSslErrors();
    return false;
  }
  impl.in = BIO_new(BIO_s_mem());
  impl.out = BIO_new(BIO_s_mem());
  if (!impl.in || !impl.out) {
    BIO_free(impl.in);
    BIO_free(impl.out);
    impl.in = impl.out = nullptr;
    error = "TLS set-up failed: out of memory";
    return false;
  }
  // An empty memory BIO means "no data yet", not end of stream.
  BIO_set_mem_eof_return(impl.in, -1);
  SSL_set_bio(impl.ssl.get(), impl.in, impl.out);
  return true;
}

std::unique_ptr<TlsSession> TlsSession::client(const std::string& host,
                                               const ClientOptions& options) {
  std::string error;
  auto impl = MakeImpl(TLS_client_method(), error);
  if (impl->ctx) {
    SSL_CTX* ctx = impl->ctx.get();
    SSL_CTX_set_verify(ctx, SSL_VERIFY_PEER, nullptr);
    if (options.caFile.empty() && options.caDir.empty()) {
      if (SSL_CTX_set_default_verify_paths(ctx) != 1)
        error = "TLS: cannot load the system's trusted certificates: " + OpenSslErrors();
    } else if (SSL_CTX_load_verify_locations(
                   ctx, options.caFile.empty() ? nullptr : options.caFile.c_str(),
                   options.caDir.empty() ? nullptr : options.caDir.c_str()) != 1) {
      error = "TLS: cannot load the trusted certificates from " +
              (options.caFile.empty() ? options.caDir : options.caFile) + ": " + OpenSslErrors();
    }
    if (error.empty() && AttachSsl(*impl, error)) {
      SSL* ssl = impl->ssl.get();
      X509_VERIFY_PARAM* param = SSL_get0_param(ssl);
      if (IsIPv4Literal(host)) {
        if (X509_VERIFY_PARAM_set1_ip_asc(param, host.c_str()) != 1)
          error = "TLS: cannot check the address " + host;
      } else {
        X509_VERIFY_PARAM_set_hostflags(param, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
        if (X509_VERIFY_PARAM_set1_host(param, host.c_str(), host.size()) != 1 ||
            SSL_set_tlsext_host_name(ssl, host.c_str()) != 1)
          error = "TLS: cannot check the host name " + host;
      }
      SSL_set_connect_state(ssl);
    }
  }
  std::unique_ptr<TlsSession> s(new TlsSession(std::move(impl)));
  if (!error.empty()) {
    s->status_ = Status::Error;
    s->error_ = error;
  }
  return s;
}

std::unique_ptr<TlsSession> TlsSession::server(const std::string& certFile,
                                               const std::string& keyFile) {
  std::string error;
  auto impl = MakeImpl(TLS_server_method(), error);
  impl->isClient = false;
  if (impl->ctx) {
    if (SSL_CTX_use_certificate_chain_file(impl->ctx.get(), certFile.c_str()) != 1 ||
        SSL_CTX_use_PrivateKey_file(impl->ctx.get(), keyFile.c_str(), SSL_FILETYPE_PEM) != 1)
      error = "TLS: cannot load the certificate or key: " + OpenSslErrors();
    else if (AttachSsl(*impl, error))
      SSL_set_accept_state(impl->ssl.get());
  }
  std::unique_ptr<TlsSession> s(new TlsSession(std::move(impl)));
  if (!error.empty()) {
    s->status_ = Status::Error;
    s->error_ = error;
  }
  return s;
}

void TlsSession::receive(std::string_view cipher) {
  if (status_ != Status::Ok || !impl_->in) return;
  while (!cipher.empty()) {
    const int chunk = static_cast<int>(std::min<std::size_t>(cipher.size(), 1 << 30));
    const int n = BIO_write(impl_->in, cipher.data(), chunk);
    if (n <= 0) break;
    cipher.remove_prefix(static_cast<std::size_t>(n));
  }
}

TlsSession::Status TlsSession::fail(std::string text) {
  status_ = Status::Error;
  error_ = std::move(text);
  return status_;
}

// "TLS <what> failed: " and the reason for an SSL call that returned sslResult.
static std::string FailureText(const TlsSession::Impl& impl, bool handshakeDone,
                               const std::string& what, int sslResult) {
  SSL* ssl = impl.ssl.get();
  const int err = SSL_get_error(ssl, sslResult);
  std::string detail;
  if (impl.isClient && !handshakeDone) {
    const long verify = SSL_get_verify_result(ssl);
    if (verify != X509_V_OK)
      detail = std::string("certificate verify failed: ") + X509_verify_cert_error_string(verify);
  }
  const std::string lib = OpenSslErrors();
  if (detail.empty()) detail = lib;
  if (detail.empty())
    detail = err == SSL_ERROR_SYSCALL || err == SSL_ERROR_ZERO_RETURN
                 ? "connection ended unexpectedly"
                 : "error " + std::to_string(err);
  return "TLS " + what + " failed: " + detail;
}

TlsSession::Status TlsSession::advanceHandshake() {
  if (status_ != Status::Ok || handshakeDone_) return status_;
  SSL* ssl = impl_->ssl.get();
  ERR_clear_error();
  const int r = SSL_do_handshake(ssl);
  if (r != 1) {
    const int err = SSL_get_error(ssl, r);
    if (err == SSL_ERROR_WANT_READ || err == SSL_ERROR_WANT_WRITE) return status_;
    return fail(FailureText(*impl_, handshakeDone_, "handshake", r));
  }
  handshakeDone_ = true;
  return flushPending();
}

TlsSession::Status TlsSession::pump(std::string& plainOut) {
  if (advanceHandshake() != Status::Ok || !handshakeDone_) return status_;
  SSL* ssl = impl_->ssl.get();
  ERR_clear_error();
  char buf[16384];
  while (true) {
    const int n = SSL_read(ssl, buf, sizeof buf);
    if (n > 0) {
      plainOut.append(buf, static_cast<std::size_t>(n));
      continue;
    }
    const int err = SSL_get_error(ssl, n);
    if (err == SSL_ERROR_WANT_READ || err == SSL_ERROR_WANT_WRITE) return status_;
    if (err == SSL_ERROR_ZERO_RETURN) {
      status_ = Status::Closed;
      return status_;
    }
    return fail(FailureText(*impl_, handshakeDone_, "read", n));
  }
}

TlsSession::Status TlsSession::write(std::string_view plain) {
  if (status_ != Status::Ok) return status_;
  if (!handshakeDone_) {
    pendingPlain_.append(plain);
    return advanceHandshake();  // starts the handshake (the client speaks first)
  }
  SSL* ssl = impl_->ssl.get();
  ERR_clear_error();
  while (!plain.empty()) {
    const int chunk = static_cast<int>(std::min<std::size_t>(plain.size(), 1 << 20));
    const int n = SSL_write(ssl, plain.data(), chunk);
    if (n <= 0) return fail(FailureText(*impl_, handshakeDone_, "write", n));
    plain.remove_prefix(static_cast<std::size_t>(n));
  }
  return status_;
}

std::string TlsSession::takeOutgoing() {
  std::string out;
  if (!impl_->out) return out;
  const std::size_t pending = BIO_ctrl_pending(impl_->out);
  if (pending == 0) return out;
  out.resize(pending);
  const int n = BIO_read(impl_->out, out.data(), static_cast<int>(pending));
  out.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  return out;
}

bool TlsSession::hasOutgoing() const {
  return impl_->out && BIO_ctrl_pending(impl_->out) > 0;
}

void releaseThreadTlsState() {
  OPENSSL_thread_stop();
}

}  // namespace ravelin::platform
