// TLS through SChannel, which works on memory buffers like the rest of this class. SChannel
// is told to leave the server's certificate alone (manual validation): the chain and the
// name are checked here, so that every error of the chain is refused and names and
// addresses are matched by the same rules on every system.
#define SECURITY_WIN32
#define SCHANNEL_USE_BLACKLISTS  // SCH_CREDENTIALS
#include <windows.h>
// After windows.h, which they need.
#include <subauth.h>
// After subauth.h, whose UNICODE_STRING it uses.
#include <schannel.h>
#include <security.h>
#include <wincrypt.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/error_text.h"
#include "platform/file_io.h"
#include "platform/socket.h"
#include "platform/tls_session.h"
#include "platform/wide_text.h"

namespace ravelin::platform {

namespace {

constexpr ULONG kRequest = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT |
                           ISC_REQ_CONFIDENTIALITY | ISC_REQ_ALLOCATE_MEMORY | ISC_REQ_STREAM |
                           ISC_REQ_EXTENDED_ERROR;
constexpr unsigned char kAlertRecord = 21;  // the content type of a TLS 1.2 alert record

// Whether bytes can start a TLS record: a known content type (change_cipher_spec 20 up to
// heartbeat 24) and major version 3. SChannel on wine waits for the rest of a "record" that
// an HTTP answer seems to announce, so an answer that is no TLS at all is caught here.
bool StartsRecord(const std::string& bytes) {
  const auto type = static_cast<unsigned char>(bytes[0]);
  return type >= 20 && type <= 24 && (bytes.size() < 2 || bytes[1] == 3);
}

std::string StatusText(SECURITY_STATUS status) {
  char code[16];
  std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(status));
  return errorText(static_cast<int>(status)) + " (" + code + ")";
}

std::string EnvironmentValue(const wchar_t* name) {
  const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
  if (size == 0) return {};
  std::wstring value(size, L'\0');
  value.resize(GetEnvironmentVariableW(name, value.data(), size));
  return utf8FromWide(value);
}

// Adds each PEM certificate in text to store; returns how many were added.
int AddPemCertificates(HCERTSTORE store, const std::string& text) {
  constexpr std::string_view kBegin = "-----BEGIN CERTIFICATE-----";
  constexpr std::string_view kEnd = "-----END CERTIFICATE-----";
  int added = 0;
  for (std::size_t pos = text.find(kBegin); pos != std::string::npos;
       pos = text.find(kBegin, pos)) {
    pos += kBegin.size();
    const std::size_t end = text.find(kEnd, pos);
    if (end == std::string::npos) break;
    const DWORD length = static_cast<DWORD>(end - pos);
    DWORD size = 0;
    if (CryptStringToBinaryA(text.data() + pos, length, CRYPT_STRING_BASE64, nullptr, &size,
                             nullptr, nullptr)) {
      std::string der(size, '\0');
      if (CryptStringToBinaryA(text.data() + pos, length, CRYPT_STRING_BASE64,
                               reinterpret_cast<BYTE*>(der.data()), &size, nullptr, nullptr) &&
          CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING,
                                           reinterpret_cast<const BYTE*>(der.data()), size,
                                           CERT_STORE_ADD_USE_EXISTING, nullptr))
        ++added;
    }
    pos = end + kEnd.size();
  }
  return added;
}

// The trust anchors that the options (or SSL_CERT_FILE) name, in a store of their own; null
// when the system's are used, or with error set when they cannot be read.
HCERTSTORE LoadAnchors(const TlsSession::ClientOptions& options, std::string& error) {
  std::string file = options.caFile;
  if (file.empty() && options.caDir.empty()) file = EnvironmentValue(L"SSL_CERT_FILE");
  if (file.empty() && options.caDir.empty()) return nullptr;
  HCERTSTORE store =
      CertOpenStore(CERT_STORE_PROV_MEMORY, 0, 0, CERT_STORE_CREATE_NEW_FLAG, nullptr);
  if (!store) {
    error = "TLS set-up failed: " + errorText(static_cast<int>(GetLastError()));
    return nullptr;
  }
  int count = 0;
  std::string reason;
  try {
    if (!file.empty()) count += AddPemCertificates(store, readWholeFile(file));
    if (!options.caDir.empty()) {
      namespace fs = std::filesystem;
      std::error_code e;
      for (const auto& entry : fs::directory_iterator(fs::path(wideFromUtf8(options.caDir)), e))
        if (entry.is_regular_file(e))
          count += AddPemCertificates(store, readWholeFile(utf8FromWide(entry.path().wstring())));
      if (e) reason = e.message();
    }
  } catch (const FileError& e) {
    reason = e.reason().empty() ? e.what() : e.reason();
  }
  if (reason.empty() && count == 0) reason = "no certificate in it";
  if (reason.empty()) return store;
  CertCloseStore(store, 0);
  error = "TLS: cannot load the trusted certificates from " +
          (file.empty() ? options.caDir : file) + ": " + reason;
  return nullptr;
}

// A chain engine whose only roots are the anchors.
HCERTCHAINENGINE MakeEngine(HCERTSTORE anchors) {
  CERT_CHAIN_ENGINE_CONFIG config{};
  // The size that Windows 7 gave the structure (hExclusiveRoot is its addition): every later
  // system takes it, and wine takes no larger one.
  config.cbSize = offsetof(CERT_CHAIN_ENGINE_CONFIG, dwExclusiveFlags);
  config.hExclusiveRoot = anchors;
  HCERTCHAINENGINE engine = nullptr;
  return CertCreateCertificateChainEngine(&config, &engine) ? engine : nullptr;
}

// Every error bit of a chain refuses it; the text names the known ones.
std::string TrustErrorText(DWORD bits) {
  static constexpr struct {
    DWORD bit;
    const char* text;
  } kKnown[] = {
      {CERT_TRUST_IS_UNTRUSTED_ROOT, "the root is not trusted"},
      {CERT_TRUST_IS_PARTIAL_CHAIN, "the chain does not reach a trusted root"},
      {CERT_TRUST_IS_NOT_TIME_VALID, "a certificate has expired or is not yet valid"},
      {CERT_TRUST_IS_NOT_SIGNATURE_VALID, "a signature is not valid"},
      {CERT_TRUST_IS_NOT_VALID_FOR_USAGE, "a certificate is not for TLS servers"},
      {CERT_TRUST_IS_REVOKED, "a certificate is revoked"},
  };
  std::string text;
  for (const auto& known : kKnown) {
    if (!(bits & known.bit)) continue;
    text += (text.empty() ? "" : "; ") + std::string(known.text);
    bits &= ~known.bit;
  }
  if (bits != 0) {
    char rest[40];
    std::snprintf(rest, sizeof rest, "chain error 0x%08lX", static_cast<unsigned long>(bits));
    text += (text.empty() ? "" : "; ") + std::string(rest);
  }
  return text;
}

// Why the chain of cert is refused; empty when it reaches a trusted root without fault.
std::string CheckChain(HCERTCHAINENGINE engine, PCCERT_CONTEXT cert) {
  LPSTR serverAuth = const_cast<LPSTR>(szOID_PKIX_KP_SERVER_AUTH);
  CERT_CHAIN_PARA para{};
  para.cbSize = sizeof para;
  para.RequestedUsage.dwType = USAGE_MATCH_TYPE_AND;
  para.RequestedUsage.Usage.cUsageIdentifier = 1;
  para.RequestedUsage.Usage.rgpszUsageIdentifier = &serverAuth;
  PCCERT_CHAIN_CONTEXT chain = nullptr;
  // The certificate's own store holds the intermediate certificates that the server sent.
  if (!CertGetCertificateChain(engine, cert, nullptr, cert->hCertStore, &para, 0, nullptr, &chain))
    return "no chain: " + errorText(static_cast<int>(GetLastError()));
  std::string why = TrustErrorText(chain->TrustStatus.dwErrorStatus);
  if (why.empty()) {
    // The system's own rules for TLS server chains on top; names are matched apart (no
    // server name given), since the system's rules refuse an address that the certificate
    // names on some systems.
    SSL_EXTRA_CERT_CHAIN_POLICY_PARA ssl{};
    ssl.cbSize = sizeof ssl;
    ssl.dwAuthType = AUTHTYPE_SERVER;
    CERT_CHAIN_POLICY_PARA policy{};
    policy.cbSize = sizeof policy;
    policy.pvExtraPolicyPara = &ssl;
    CERT_CHAIN_POLICY_STATUS status{};
    status.cbSize = sizeof status;
    if (!CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain, &policy, &status))
      why = errorText(static_cast<int>(GetLastError()));
    else if (status.dwError != 0)
      why = StatusText(static_cast<SECURITY_STATUS>(status.dwError));
  }
  CertFreeCertificateChain(chain);
  return why;
}

char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

// A certificate name for host: equal without regard to case, or "*." and at least two more
// labels standing for one whole first label of host ("*.example.org" names
// "www.example.org", neither "example.org" nor "a.b.example.org").
bool NameMatches(std::string_view pattern, std::string_view host) {
  if (SameName(pattern, host)) return true;
  if (pattern.substr(0, 2) != "*.") return false;
  const std::string_view rest = pattern.substr(1);
  if (rest.find('*') != std::string_view::npos || std::count(rest.begin(), rest.end(), '.') < 2)
    return false;
  const std::size_t dot = host.find('.');
  return dot != std::string_view::npos && dot > 0 && SameName(host.substr(dot), rest);
}

// Whether cert names host: an address must be one of its IP addresses, a name one of its
// DNS names, or its common name when it has no DNS name at all (as OpenSSL does).
bool NamesHost(PCCERT_CONTEXT cert, const std::string& host) {
  const auto address = parseDottedQuad(host);
  bool dnsNames = false;
  bool match = false;
  const CERT_INFO& info = *cert->pCertInfo;
  if (PCERT_EXTENSION extension =
          CertFindExtension(szOID_SUBJECT_ALT_NAME2, info.cExtension, info.rgExtension)) {
    CERT_ALT_NAME_INFO* names = nullptr;
    DWORD size = 0;
    if (CryptDecodeObjectEx(X509_ASN_ENCODING, X509_ALTERNATE_NAME, extension->Value.pbData,
                            extension->Value.cbData, CRYPT_DECODE_ALLOC_FLAG, nullptr, &names,
                            &size)) {
      for (DWORD i = 0; i < names->cAltEntry && !match; ++i) {
        const CERT_ALT_NAME_ENTRY& entry = names->rgAltEntry[i];
        if (entry.dwAltNameChoice == CERT_ALT_NAME_DNS_NAME) {
          dnsNames = true;
          match = !address && NameMatches(utf8FromWide(entry.pwszDNSName), host);
        } else if (entry.dwAltNameChoice == CERT_ALT_NAME_IP_ADDRESS && address &&
                   entry.IPAddress.cbData == 4) {
          const BYTE* b = entry.IPAddress.pbData;
          match = (std::uint32_t{b[0]} << 24 | std::uint32_t{b[1]} << 16 |
                   std::uint32_t{b[2]} << 8 | b[3]) == *address;
        }
      }
      LocalFree(names);
    }
  }
  if (!match && !address && !dnsNames) {
    wchar_t common[256];
    if (CertGetNameStringW(cert, CERT_NAME_ATTR_TYPE, 0, const_cast<char*>(szOID_COMMON_NAME),
                           common, 256) > 1)
      match = NameMatches(utf8FromWide(common), host);
  }
  return match;
}

SECURITY_STATUS AcquireCredentials(CredHandle& credentials) {
  const DWORD flags =
      SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS | SCH_USE_STRONG_CRYPTO;
  TLS_PARAMETERS tls{};
  tls.grbitDisabledProtocols = ~DWORD{SP_PROT_TLS1_2_CLIENT | SP_PROT_TLS1_3_CLIENT};
  SCH_CREDENTIALS current{};
  current.dwVersion = SCH_CREDENTIALS_VERSION;
  current.dwFlags = flags;
  current.cTlsParameters = 1;
  current.pTlsParameters = &tls;
  TimeStamp expiry;
  wchar_t* package = const_cast<wchar_t*>(UNISP_NAME_W);
  if (AcquireCredentialsHandleW(nullptr, package, SECPKG_CRED_OUTBOUND, nullptr, &current, nullptr,
                                nullptr, &credentials, &expiry) == SEC_E_OK)
    return SEC_E_OK;
  // Systems before Windows 10 1809 know only the older structure, and TLS 1.2 at most.
  SCHANNEL_CRED older{};
  older.dwVersion = SCHANNEL_CRED_VERSION;
  older.grbitEnabledProtocols = SP_PROT_TLS1_2_CLIENT;
  older.dwFlags = flags;
  return AcquireCredentialsHandleW(nullptr, package, SECPKG_CRED_OUTBOUND, nullptr, &older, nullptr,
                                   nullptr, &credentials, &expiry);
}

}  // namespace

struct TlsSession::Impl {
  std::string host;
  std::wstring serverName;            // sent as SNI: names only, never an address
  HCERTSTORE anchors = nullptr;       // null: the system's "ROOT" store
  HCERTCHAINENGINE engine = nullptr;  // null: the system's engine
  CredHandle credentials{};
  bool haveCredentials = false;
  CtxtHandle context{};
  bool haveContext = false;
  ULONG request = kRequest;
  // In a handshake: the first one, or one that the server started later (a renegotiation,
  // or TLS 1.3's messages after the handshake).
  bool handshaking = true;
  bool callBeforeInput = true;  // the next handshake call speaks first (ClientHello)
  SecPkgContext_StreamSizes sizes{};
  std::string in;   // encrypted bytes not consumed yet
  std::string out;  // encrypted bytes for the peer

  ~Impl() {
    if (haveContext) DeleteSecurityContext(&context);
    if (haveCredentials) FreeCredentialsHandle(&credentials);
    if (engine) CertFreeCertificateChainEngine(engine);
    if (anchors) CertCloseStore(anchors, 0);
  }

  // Why the server's certificate is refused; empty when it is accepted.
  std::string checkPeer() {
    PCCERT_CONTEXT cert = nullptr;
    if (QueryContextAttributesW(&context, SECPKG_ATTR_REMOTE_CERT_CONTEXT, &cert) != SEC_E_OK ||
        !cert)
      return "the server sent no certificate";
    std::string why = CheckChain(engine, cert);
    if (why.empty() && !NamesHost(cert, host))
      why = parseDottedQuad(host) ? "IP address mismatch" : "hostname mismatch";
    CertFreeCertificateContext(cert);
    return why;
  }
};

TlsSession::TlsSession(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
TlsSession::~TlsSession() = default;

std::unique_ptr<TlsSession> TlsSession::client(const std::string& host,
                                               const ClientOptions& options) {
  auto impl = std::make_unique<Impl>();
  impl->host = host;
  if (!parseDottedQuad(host)) impl->serverName = wideFromUtf8(host);
  std::string error;
  impl->anchors = LoadAnchors(options, error);
  if (impl->anchors && !(impl->engine = MakeEngine(impl->anchors)))
    error = "TLS set-up failed: " + platform::errorText(static_cast<int>(GetLastError()));
  if (error.empty()) {
    const SECURITY_STATUS r = AcquireCredentials(impl->credentials);
    impl->haveCredentials = r == SEC_E_OK;
    if (r != SEC_E_OK) error = "TLS set-up failed: " + StatusText(r);
  }
  std::unique_ptr<TlsSession> s(new TlsSession(std::move(impl)));
  if (!error.empty()) s->fail(error);
  return s;
}

// This program only ever speaks TLS as a client on Windows.
std::unique_ptr<TlsSession> TlsSession::server(const std::string&, const std::string&) {
  std::unique_ptr<TlsSession> s(new TlsSession(std::make_unique<Impl>()));
  s->fail("TLS server sessions are not available on Windows");
  return s;
}

TlsSession::Status TlsSession::fail(std::string text) {
  status_ = Status::Error;
  error_ = std::move(text);
  return status_;
}

void TlsSession::receive(std::string_view cipher) {
  if (status_ == Status::Ok) impl_->in.append(cipher);
}

TlsSession::Status TlsSession::advanceHandshake() {
  Impl& s = *impl_;
  while (status_ == Status::Ok && s.handshaking && (s.callBeforeInput || !s.in.empty())) {
    if (!s.in.empty() && !StartsRecord(s.in))
      return fail("TLS handshake failed: the server's answer is not TLS");
    const bool first = !s.haveContext;
    const std::size_t inputSize = s.in.size();
    SecBuffer inBuffers[2] = {{static_cast<ULONG>(inputSize), SECBUFFER_TOKEN, s.in.data()},
                              {0, SECBUFFER_EMPTY, nullptr}};
    SecBufferDesc input{SECBUFFER_VERSION, 2, inBuffers};
    SecBuffer outBuffer{0, SECBUFFER_TOKEN, nullptr};
    SecBufferDesc output{SECBUFFER_VERSION, 1, &outBuffer};
    ULONG attributes = 0;
    const SECURITY_STATUS r = InitializeSecurityContextW(
        &s.credentials, first ? nullptr : &s.context,
        s.serverName.empty() ? nullptr : s.serverName.data(), s.request, 0, 0,
        first ? nullptr : &input, 0, first ? &s.context : nullptr, &output, &attributes, nullptr);
    s.callBeforeInput = false;
    // Handshake messages, or the alert that tells the server why we stop.
    if (outBuffer.pvBuffer) {
      s.out.append(static_cast<const char*>(outBuffer.pvBuffer), outBuffer.cbBuffer);
      FreeContextBuffer(outBuffer.pvBuffer);
    }
    if (r == SEC_E_INCOMPLETE_MESSAGE) return status_;
    if (r == SEC_I_INCOMPLETE_CREDENTIALS && !(s.request & ISC_REQ_USE_SUPPLIED_CREDS)) {
      // The server asks for a client certificate: go on without one.
      s.request |= ISC_REQ_USE_SUPPLIED_CREDS;
      continue;
    }
    if (r != SEC_E_OK && r != SEC_I_CONTINUE_NEEDED)
      return fail("TLS handshake failed: " + StatusText(r));
    s.haveContext = true;
    if (!first) {
      const bool extra = inBuffers[1].BufferType == SECBUFFER_EXTRA;
      s.in.erase(0, extra ? inputSize - std::min<std::size_t>(inBuffers[1].cbBuffer, inputSize)
                          : inputSize);
    }
    if (r == SEC_I_CONTINUE_NEEDED) {
      if (s.in.size() == inputSize) return status_;  // nothing consumed: wait for more
      continue;
    }
    // wine's SChannel takes SCH_CREDENTIALS but not the protocols it disables.
    SecPkgContext_ConnectionInfo connection{};
    if (QueryContextAttributesW(&s.context, SECPKG_ATTR_CONNECTION_INFO, &connection) != SEC_E_OK ||
        !(connection.dwProtocol & (SP_PROT_TLS1_2_CLIENT | SP_PROT_TLS1_3_CLIENT)))
      return fail("TLS handshake failed: the server speaks no TLS 1.2 or newer");
    const std::string why = s.checkPeer();
    if (!why.empty()) return fail("TLS handshake failed: certificate verify failed: " + why);
    const SECURITY_STATUS sizes =
        QueryContextAttributesW(&s.context, SECPKG_ATTR_STREAM_SIZES, &s.sizes);
    if (sizes != SEC_E_OK) return fail("TLS handshake failed: " + StatusText(sizes));
    s.handshaking = false;
    handshakeDone_ = true;
    return flushPending();
  }
  return status_;
}

TlsSession::Status TlsSession::pump(std::string& plainOut) {
  Impl& s = *impl_;
  while (advanceHandshake() == Status::Ok && !s.handshaking && !s.in.empty()) {
    const std::size_t inputSize = s.in.size();
    if (!StartsRecord(s.in)) return fail("TLS read failed: the server's answer is not TLS");
    const bool alert = static_cast<unsigned char>(s.in[0]) == kAlertRecord;
    SecBuffer buffers[4] = {{static_cast<ULONG>(inputSize), SECBUFFER_DATA, s.in.data()},
                            {0, SECBUFFER_EMPTY, nullptr},
                            {0, SECBUFFER_EMPTY, nullptr},
                            {0, SECBUFFER_EMPTY, nullptr}};
    SecBufferDesc message{SECBUFFER_VERSION, 4, buffers};
    const SECURITY_STATUS r = DecryptMessage(&s.context, &message, 0, nullptr);
    if (r == SEC_E_INCOMPLETE_MESSAGE) break;
    if (r == SEC_I_CONTEXT_EXPIRED) {  // the server's close_notify
      status_ = Status::Closed;
      break;
    }
    if (r != SEC_E_OK && r != SEC_I_RENEGOTIATE) return fail("TLS read failed: " + StatusText(r));
    std::size_t plain = 0;
    std::size_t extra = 0;
    for (const SecBuffer& b : buffers) {
      if (b.BufferType == SECBUFFER_DATA && b.pvBuffer) {
        plainOut.append(static_cast<const char*>(b.pvBuffer), b.cbBuffer);
        plain += b.cbBuffer;
      } else if (b.BufferType == SECBUFFER_EXTRA) {
        extra = std::min<std::size_t>(b.cbBuffer, inputSize);
      }
    }
    // The bytes after the record are the last ones of the input.
    s.in.erase(0, inputSize - extra);
    if (r == SEC_I_RENEGOTIATE) {
      s.handshaking = true;
      s.callBeforeInput = true;
      continue;
    }
    // wine's SChannel takes the close_notify alert for an empty record (SEC_E_OK, no data).
    if (alert && plain == 0) {
      status_ = Status::Closed;
      break;
    }
    if (s.in.size() == inputSize) break;  // nothing consumed: wait for more
  }
  return status_;
}

TlsSession::Status TlsSession::write(std::string_view plain) {
  if (status_ != Status::Ok) return status_;
  Impl& s = *impl_;
  if (s.handshaking) {
    pendingPlain_.append(plain);
    return advanceHandshake();  // starts the handshake (the client speaks first)
  }
  const SecPkgContext_StreamSizes& z = s.sizes;
  const std::size_t most = z.cbMaximumMessage ? z.cbMaximumMessage : 16384;
  while (!plain.empty()) {
    const std::size_t n = std::min(plain.size(), most);
    std::string record(z.cbHeader + n + z.cbTrailer, '\0');
    std::memcpy(record.data() + z.cbHeader, plain.data(), n);
    SecBuffer buffers[4] = {{z.cbHeader, SECBUFFER_STREAM_HEADER, record.data()},
                            {static_cast<ULONG>(n), SECBUFFER_DATA, record.data() + z.cbHeader},
                            {z.cbTrailer, SECBUFFER_STREAM_TRAILER, record.data() + z.cbHeader + n},
                            {0, SECBUFFER_EMPTY, nullptr}};
    SecBufferDesc message{SECBUFFER_VERSION, 4, buffers};
    const SECURITY_STATUS r = EncryptMessage(&s.context, 0, &message, 0);
    if (r != SEC_E_OK) return fail("TLS write failed: " + StatusText(r));
    s.out.append(record.data(), buffers[0].cbBuffer + buffers[1].cbBuffer + buffers[2].cbBuffer);
    plain.remove_prefix(n);
  }
  return status_;
}

std::string TlsSession::takeOutgoing() {
  std::string out;
  out.swap(impl_->out);
  return out;
}

bool TlsSession::hasOutgoing() const {
  return !impl_->out.empty();
}

// SChannel keeps nothing per thread.
void releaseThreadTlsState() {}

}  // namespace ravelin::platform
