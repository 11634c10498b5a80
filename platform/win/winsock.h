// Windows Sockets start-up and the host-name services.
//
// On Linux the socket functions are the C library's own (gethostname,
// inet_ntoa, struct hostent ...); this header adds the Windows start-up and
// end calls with their record, and gethostbyname with Windows' answer for
// the local host (see posix/sockets.cpp).
#pragma once

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <unistd.h>

#include "wintypes.h"

#define WSADESCRIPTION_LEN 256
#define WSASYS_STATUS_LEN 128

typedef struct WSAData {
  WORD wVersion;
  WORD wHighVersion;
  unsigned short iMaxSockets;
  unsigned short iMaxUdpDg;
  char* lpVendorInfo;
  char szDescription[WSADESCRIPTION_LEN + 1];
  char szSystemStatus[WSASYS_STATUS_LEN + 1];
} WSADATA, *LPWSADATA;

#ifndef MAKEWORD
#define MAKEWORD(low, high) ((WORD)(((BYTE)(low)) | (((WORD)((BYTE)(high))) << 8)))
#endif
#ifndef LOBYTE
#define LOBYTE(w) ((BYTE)((w)&0xFF))
#endif
#ifndef HIBYTE
#define HIBYTE(w) ((BYTE)(((WORD)(w) >> 8) & 0xFF))
#endif

#define SOCKET_ERROR (-1)
#define WSABASEERR 10000
#define WSAEFAULT 10014L
#define WSAEINVAL 10022L
#define WSASYSNOTREADY 10091L
#define WSAVERNOTSUPPORTED 10092L
#define WSANOTINITIALISED 10093L
#define WSAHOST_NOT_FOUND 11001L
#define WSANO_RECOVERY 11003L

// Starts the sockets layer for the caller: fills the record with the version
// granted (the one requested, at most 2.2) and answers 0; a version below 1.0
// answers WSAVERNOTSUPPORTED. Calls are counted; each WSACleanup takes one
// back. Linux sockets need no start-up, so the host-name services work
// without it.
int WSAStartup(WORD wVersionRequested, LPWSADATA lpWSAData);
// Ends one WSAStartup; SOCKET_ERROR (WSANOTINITIALISED) when none is open.
int WSACleanup();
// The error of the last sockets call of this thread.
int WSAGetLastError();

// Resolves a host name to its IPv4 addresses, as Windows does: for the local
// host's own name (as gethostname gives it) the addresses of the network
// interfaces that are up and have a link, those other than loopback first,
// 127.0.0.1 when no other exists, read from the local configuration alone
// (null with WSANO_RECOVERY when the interfaces cannot be listed); any other
// name through the system's resolver. The entry is the calling thread's own
// and stays valid until its next call. Null when the name cannot be resolved
// (WSAGetLastError tells WSAHOST_NOT_FOUND).
struct hostent* WinGetHostByName(const char* name);
#define gethostbyname WinGetHostByName
