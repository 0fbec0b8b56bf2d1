/*
 * Reader.h - the device library through which Tagdesk talks to a UHF RFID reader.
 *
 * Eleven C functions; every one returns a 16-bit status, 0 on success. The
 * program itself only tells zero from non-zero; the named codes below say why a
 * call failed, for logs and for the library's own tests.
 *
 * Built from devicelib/ as the shared library Reader (libReader.so, Reader.dll).
 * Any library with the same exports can stand in for it.
 *
 * Linkage and calling convention: the functions have C linkage and are
 * exported by their plain names. Reader.dll is built for 64-bit Windows
 * (x86-64), which has a single calling convention: a caller that declares
 * them __stdcall (C#'s CallingConvention.StdCall, Delphi's stdcall) or
 * __cdecl reaches them alike. Built for 32-bit Windows, READER_CALL would
 * make them __stdcall. On Linux they follow the C calling convention.
 */
#ifndef TAGDESK_READER_H
#define TAGDESK_READER_H

#include <stdint.h>

#if defined(_WIN32)
#  if defined(READER_BUILDING_LIBRARY)
#    define READER_EXPORT __declspec(dllexport)
#  else
#    define READER_EXPORT __declspec(dllimport)
#  endif
#  if defined(_M_IX86) || defined(__i386__)
#    define READER_CALL __stdcall
#  else
#    define READER_CALL
#  endif
#else
#  define READER_EXPORT __attribute__((visibility("default")))
#  define READER_CALL
#endif

/* Status codes. Caller's mistakes first, then link faults, then the reader's word. */
#define READER_OK             0x0000u /* the call succeeded */
#define READER_BAD_ARGUMENT   0x0001u /* a NULL pointer, a length of 0 or too long, an unknown port kind, a malformed port text */
#define READER_BAD_HANDLE     0x0002u /* the handle is 0, unknown or already closed */
#define READER_OPEN_FAILED    0x0010u /* the port or connection could not be opened */
#define READER_LINK_LOST      0x0011u /* the link failed while sending or receiving (peer closed, port gone) */
#define READER_TIMEOUT        0x0012u /* the reader gave no answer in time */
#define READER_BAD_FRAME      0x0013u /* the answer did not fit the request (wrong command or length) */
#define READER_ACCESS_DENIED  0x0014u /* the port exists but this user may not open it (on Linux: not in the group owning it, usually dialout) */
#define READER_CONNECTION_REFUSED 0x0015u /* TCP: nothing listens at that address and port */
#define READER_UNREACHABLE    0x0016u /* TCP: no route from this machine to that address (host or network unreachable) */
#define READER_CONNECT_TIMEOUT 0x0017u /* TCP: no answer to the connection within the connect timeout */
#define READER_REFUSED        0x0020u /* the reader answered and refused the request */
#define READER_NO_RESOURCES   0x0030u /* no memory or no free handle left */

/* Port kinds for OpenReader. */
#define READER_PORT_SERIAL 1u /* portText "COM1".."COM8" */
#define READER_PORT_TCP    2u /* portText a dotted IPv4 address, optionally ":PORT" (else READER_TCP_PORT or 4001) */
#define READER_PORT_USB    3u /* portText NULL */

/* Codes for SetBaudRate: the line rate of the serial link to the reader. Not the
 * RS-485 rate codes of parameter 131, which count differently (its 0 is 9600). */
#define READER_LINK_RATE_115200 0u /* 115200 bit/s: the reader's default, the rate every link opens at */
#define READER_LINK_RATE_57600  1u /* 57600 bit/s */
#define READER_LINK_RATE_38400  2u /* 38400 bit/s */
#define READER_LINK_RATE_19200  3u /* 19200 bit/s */
#define READER_LINK_RATE_9600   4u /* 9600 bit/s */

/* Station number meaning "whichever station is on the line". */
#define READER_STATION_ANY 255u

#ifdef __cplusplus
extern "C" {
#endif

/* Opens a link and writes a new non-zero handle to *handle. portKind is one of
 * READER_PORT_*; portText is the serial port name ("COM3") or the IP address with an
 * optional port ("192.168.1.200", "192.168.1.200:5000"); NULL for USB.
 * Opening does not talk to the reader; the first call that does is StopRFwork. */
READER_EXPORT uint16_t READER_CALL OpenReader(uint32_t* handle, uint8_t portKind, const char* portText);

/* Closes the link; the handle is invalid afterwards. Closing twice gives READER_BAD_HANDLE. */
READER_EXPORT uint16_t READER_CALL CloseReader(uint32_t handle);

/* Stops the reader's RF work (tag reading) so that it listens to settings. */
READER_EXPORT uint16_t READER_CALL StopRFwork(uint32_t handle);

/* Writes the reader's firmware version to version[0..3], most significant part first. */
READER_EXPORT uint16_t READER_CALL GetFirmwareVersion(uint32_t handle, uint8_t* version);

/* Writes this library's own version to version[0..3]; needs an open handle, no reader traffic. */
READER_EXPORT uint16_t READER_CALL GetSdkVersion(uint32_t handle, uint8_t* version);

/* Reads length bytes of parameter memory from address into buffer (written only on success). */
READER_EXPORT uint16_t READER_CALL GetParameter(uint32_t handle, uint8_t address, uint8_t length, uint8_t* buffer);

/* Writes length bytes from buffer to parameter memory at address. */
READER_EXPORT uint16_t READER_CALL SetParameter(uint32_t handle, uint8_t address, uint8_t length, const uint8_t* buffer);

/* Switches the off-line function on (1) or off (0); the only way to change parameter 87. */
READER_EXPORT uint16_t READER_CALL SetOLEnable(uint32_t handle, uint8_t flag);

/* Sets the line rate of the reader's serial link to one of READER_LINK_RATE_*;
 * READER_LINK_RATE_115200 restores the reader's default. */
READER_EXPORT uint16_t READER_CALL SetBaudRate(uint32_t handle, uint8_t value);

/* Restarts the reader so that written parameters take effect. */
READER_EXPORT uint16_t READER_CALL ResetReader(uint32_t handle);

/* Chooses the station address (1..10) put into every following frame; 255 lets any station answer. */
READER_EXPORT uint16_t READER_CALL SelectStation(uint8_t station);

#ifdef __cplusplus
}
#endif

#endif /* TAGDESK_READER_H */
