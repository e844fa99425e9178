#include "net/socket_errors.h"

#include "net/net_errors.h"

namespace ravelin::net {

std::string socketErrorText(int code) {
  switch (code) {
    case 0:
      return "No Error";
    case wsaeIntr:
      return "Interrupted system call";
    case wsaeBadF:
      return "Bad file number";
    case wsaeAcces:
      return "Permission denied";
    case wsaeFault:
      return "Bad address";
    case wsaeInval:
      return "Invalid argument";
    case wsaeMFile:
      return "Too many open files";
    case wsaeWouldBlock:
      return "Operation would block";
    case wsaeInProgress:
      return "Operation now in progress";
    case wsaeAlready:
      return "Operation already in progress";
    case wsaeNotSock:
      return "Socket operation on non-socket";
    case wsaeDestAddrReq:
      return "Destination address required";
    case wsaeMsgSize:
      return "Message too long";
    case wsaeProtoType:
      return "Protocol wrong type for socket";
    case wsaeNoProtoOpt:
      return "Protocol not available";
    case wsaeProtoNoSupport:
      return "Protocol not supported";
    case wsaeSocktNoSupport:
      return "Socket type not supported";
    case wsaeOpNotSupp:
      return "Operation not supported on socket";
    case wsaePfNoSupport:
      return "Protocol family not supported";
    case wsaeAfNoSupport:
      return "Address family not supported by protocol family";
    case wsaeAddrInUse:
      return "Address already in use";
    case wsaeAddrNotAvail:
      return "Address not available";
    case wsaeNetDown:
      return "Network is down";
    case wsaeNetUnreach:
      return "Network is unreachable";
    case wsaeNetReset:
      return "Network dropped connection on reset";
    case wsaeConnAborted:
      return "Connection aborted";
    case wsaeConnReset:
      return "Connection reset by peer";
    case wsaeNoBufs:
      return "No buffer space available";
    case wsaeIsConn:
      return "Socket is already connected";
    case wsaeNotConn:
      return "Socket is not connected";
    case wsaeShutdown:
      return "Can't send after socket shutdown";
    case wsaeTooManyRefs:
      return "Too many references: can't splice";
    case wsaeTimedOut:
      return "Connection timed out";
    case wsaeConnRefused:
      return "Connection refused";
    case wsaeLoop:
      return "Too many levels of symbolic links";
    case wsaeNameTooLong:
      return "File name too long";
    case wsaeHostDown:
      return "Host is down";
    case wsaeHostUnreach:
      return "No route to host";
    case wsaeNotEmpty:
      return "Directory not empty";
    case wsaeProcLim:
      return "Too many processes";
    case wsaeUsers:
      return "Too many users";
    case wsaeDQuot:
      return "Disc quota exceeded";
    case wsaeStale:
      return "Stale NFS file handle";
    case wsaeRemote:
      return "Too many levels of remote in path";
    case wsaSysNotReady:
      return "Network sub-system is unusable";
    case wsaVerNotSupported:
      return "WinSock DLL cannot support this application";
    case wsaNotInitialised:
      return "WinSock not initialized";
    case wsaHostNotFound:
      return "Host not found";
    case wsaTryAgain:
      return "Non-authoritative host not found";
    case wsaNoRecovery:
      return "Non-recoverable error";
    case wsaNoData:
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
