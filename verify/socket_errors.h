#pragma once
#include <string>

// Network error numbers and their texts. Errors are reported with the Winsock numbers
// (10061 connection refused, 10060 timed out, ...) whatever the platform, and the SOCKS
// negotiation uses 20001..20017 above that range.

// The description of a network error code: "Connection refused" for 10061, "No Error"
// for 0, "Not a WinSock error" for anything the table does not hold.
std::string WSocketErrorDesc(int code);

// The network error number for a POSIX errno value (ECONNREFUSED -> 10061, ...). Values
// without a counterpart map to 10000 + errno when that lands in the table's gaps,
// otherwise to themselves.
int WinsockErrorFromErrno(int err);

// The network error number for a getaddrinfo() result (EAI_NONAME -> 11001, ...).
// sysErr is errno, used for EAI_SYSTEM.
int WinsockErrorFromGai(int gaiError, int sysErr);

// "Error 10061 in function Connect\r\nConnection refused"
std::string WSocketErrorMessage(int code, const std::string& function);
