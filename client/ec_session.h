#pragma once
// A conversation with the client's External Connection through its console program
// amulecmd: one program per session, one console line after the other.
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

namespace ravelin::runtime {
struct Settings;
}
namespace ravelin::platform {
class PipedProcess;
class PrivateDirectory;
}  // namespace ravelin::platform

namespace ravelin::client {

// Where the External Connection is: host, port and the password's MD5 digest.
struct EcEndpoint {
  std::string host;
  int port = 0;
  std::string passwordDigest;
};

EcEndpoint ecEndpoint(const runtime::Settings& settings);

// The session could not be opened or was lost; what() says why in words, never with the
// password or its digest.
class EcError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The console program and the package that brings it.
inline constexpr const char* kEcProgram = "amulecmd";
inline constexpr const char* kEcPackage = "amule-utils";

class EcSession {
 public:
  static constexpr std::uint32_t kConnectTimeoutMs = 15000;
  static constexpr std::uint32_t kReplyTimeoutMs = 10000;

  // idle runs between the slices of every wait for the program (the user interface is
  // served there).
  explicit EcSession(EcEndpoint endpoint, std::function<void()> idle = {});
  ~EcSession();
  EcSession(const EcSession&) = delete;
  EcSession& operator=(const EcSession&) = delete;

  // Starts amulecmd and waits until it has connected and asks for a line. Its settings,
  // the digest among them, go through a 0600 file in a private temporary directory that
  // is removed again as soon as the program has read it. Throws EcError.
  void open();
  // Sends one console line and returns the reply: its lines without the console's marks,
  // joined by "\n". Throws EcError when the program does not answer.
  std::string send(const std::string& line);
  // Ends the conversation; never throws.
  void close();

  const EcEndpoint& endpoint() const { return endpoint_; }
  std::string address() const;

 private:
  // Reads until the console asks for the next line; returns what came before. While
  // connecting, a program that ends says why it could not connect.
  std::string readUntilPrompt(std::uint32_t timeoutMs, bool connecting);

  EcEndpoint endpoint_;
  std::function<void()> idle_;
  std::unique_ptr<platform::PipedProcess> process_;
  std::string buffer_;
};

// The reply to "add <link>" says that the link was taken.
bool ecReplyIsSuccess(const std::string& reply);

}  // namespace ravelin::client
