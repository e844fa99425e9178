#pragma once
#include <string>
#include <vector>

#include "runtime/url_source.h"

namespace ravelin::runtime {

// The range of MaxListMB: the expanded size cap of a compressed list, in MiB.
inline constexpr int kMaxListMBMin = 1;
inline constexpr int kMaxListMBMax = 4096;

// One field per key of ravelin.ini, with the defaults that apply when a key is absent.
struct Settings {
  // [general]
  // The folder of the client's files (server.met, ...): aMule's ~/.aMule/ on Linux, eMule's
  // configuration folder on Windows (see emuleConfigFolder).
  std::string EDPath = defaultEDPath();
  // The client program: a path when it holds a separator, otherwise a name looked up in
  // EDPath, then (on Windows) among the running programs, then on PATH (see
  // client::clientExecutable).
  std::string EDFilename = defaultEDFilename();
  // true: servers go to the client on this machine through its ED2KLinks file; false:
  // through its External Connection (ECHost, ECPort, ECPassword).
  bool EDGUI = true;
  int EDWaittime = 100;
  bool LOG = false;
  // How many log files the log folder keeps: at each start only the newest LogKeep remain,
  // this run's one included. 0 keeps them all.
  int LogKeep = 100;
  bool NegCompare = false;
  std::string ProxyAddr;
  int ProxyPort = 0;
  bool NoRegCheck = false;
  // Write the address and port tags into every server.met entry. Today's Linux client
  // refuses files that carry them, so it is off where EDPath points at that client.
  bool MetAddressTags = defaultMetAddressTags();
  // The client's External Connection. ECPassword holds the MD5 digest of the password in
  // hexadecimal, as the client's own configuration files do; the password itself is
  // never stored.
  std::string ECHost = "127.0.0.1";
  int ECPort = 4712;
  std::string ECPassword;
  // A list of blocked address ranges (the client's ipfilter.dat or a PeerGuardian text
  // list); servers inside them are left out of every import and update. Empty: none.
  std::string IPFilterFile;
  // Where the new-version check downloads its update information. Empty: no check.
  std::string UpdateInfoURL;
  // [URLs]
  std::vector<UrlSource> URLs;
  // [update]
  int UpdThreadCount = 1;
  int UpdTimeout = 5;
  // The largest list, in MiB, that a compressed download or file may expand to.
  int MaxListMB = 64;
  // [verify]
  // The rows of the verify window: how many of the latest attempts it shows.
  int VrfThreadCount = 1;
  // Servers tried at once, and through the SOCKS 5 proxy, which is one machine for all.
  int VrfParallel = 256;
  int VrfProxyParallel = 16;
  int VrfTimeout = 5;
  bool VrfWarning = true;
  // Also ask every tested server for its users and files over UDP.
  bool VrfUdpStatus = false;
  // [script]
  bool ScrSyntaxCheck = false;
  bool ScrExecOrEdit = false;
  // [support]
  bool SupportMe = false;
  // [ad]
  int waittime1 = 5000;
  int waittime2 = 7000;

  static std::string defaultEDPath();
  static std::string defaultEDFilename();
  static bool defaultMetAddressTags();
};

// The path of a file in the client's directory: EDPath, one separator unless EDPath is
// empty or already ends in one, then the file name.
std::string clientFile(const std::string& dir, const std::string& fileName);

}  // namespace ravelin::runtime
