#include "net/socket_errors.h"

#include "net/net_errors.h"

namespace ravelin::net {

std::string socketErrorText(int code) {
  switch (code) {
    case 0:
      return "No Error";
    case WSAEINTR:
      return "Interrupted system call";
    case WSAEBADF:
      return "Bad file number";
    case WSAEACCES:
      return "Permission denied";
    case WSAEFAULT:
      return "Bad address";
    case WSAEINVAL:
      return "Invalid argument";
    case WSAEMFILE:
      return "Too many open files";
    case WSAEWOULDBLOCK:
      return "Operation would block";
    case WSAEINPROGRESS:
      return "Operation now in progress";
    case WSAEALREADY:
      return "Operation already in progress";
    case WSAENOTSOCK:
      return "Socket operation on non-socket";
    case WSAEDESTADDRREQ:
      return "Destination address required";
    case WSAEMSGSIZE:
      return "Message too long";
    case WSAEPROTOTYPE:
      return "Protocol wrong type for socket";
    case WSAENOPROTOOPT:
      return "Protocol not available";
    case WSAEPROTONOSUPPORT:
      return "Protocol not supported";
    case WSAESOCKTNOSUPPORT:
      return "Socket type not supported";
    case WSAEOPNOTSUPP:
      return "Operation not supported on socket";
    case WSAEPFNOSUPPORT:
      return "Protocol family not supported";
    case WSAEAFNOSUPPORT:
      return "Address family not supported by protocol family";
    case WSAEADDRINUSE:
      return "Address already in use";
    case WSAEADDRNOTAVAIL:
      return "Address not available";
    case WSAENETDOWN:
      return "Network is down";
    case WSAENETUNREACH:
      return "Network is unreachable";
    case WSAENETRESET:
      return "Network dropped connection on reset";
    case WSAECONNABORTED:
      return "Connection aborted";
    case WSAECONNRESET:
      return "Connection reset by peer";
    case WSAENOBUFS:
      return "No buffer space available";
    case WSAEISCONN:
      return "Socket is already connected";
    case WSAENOTCONN:
      return "Socket is not connected";
    case WSAESHUTDOWN:
      return "Can't send after socket shutdown";
    case WSAETOOMANYREFS:
      return "Too many references: can't splice";
    case WSAETIMEDOUT:
      return "Connection timed out";
    case WSAECONNREFUSED:
      return "Connection refused";
    case WSAELOOP:
      return "Too many levels of symbolic links";
    case WSAENAMETOOLONG:
      return "File name too long";
    case WSAEHOSTDOWN:
      return "Host is down";
    case WSAEHOSTUNREACH:
      return "No route to host";
    case WSAENOTEMPTY:
      return "Directory not empty";
    case WSAEPROCLIM:
      return "Too many processes";
    case WSAEUSERS:
      return "Too many users";
    case WSAEDQUOT:
      return "Disc quota exceeded";
    case WSAESTALE:
      return "Stale NFS file handle";
    case WSAEREMOTE:
      return "Too many levels of remote in path";
    case WSASYSNOTREADY:
      return "Network sub-system is unusable";
    case WSAVERNOTSUPPORTED:
      return "WinSock DLL cannot support this application";
    case WSANOTINITIALISED:
      return "WinSock not initialized";
    case WSAHOST_NOT_FOUND:
      return "Host not found";
    case WSATRY_AGAIN:
      return "Non-authoritative host not found";
    case WSANO_RECOVERY:
      return "Non-recoverable error";
    case WSANO_DATA:
      return "No Data";
    default:
      return "Not a WinSock error";
  }
}

std::string socketErrorMessage(int code, const std::string& function) {
  return "Error " + std::to_string(code) + " in function " + function + "\r\n" +
         socketErrorText(code);
}

}  // namespace ravelin::net
