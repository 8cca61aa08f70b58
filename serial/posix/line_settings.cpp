// termios2 from the kernel headers; <termios.h> must not be included in this file, its
// struct termios is not the kernel's.
#include "serial/posix/line_settings.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>

#include <cerrno>
#include <cstdint>
#include <iterator>

namespace vantor {

extern "C" int ioctl(int Fd, unsigned long Request, ...);

namespace {

struct TSpeed {
  std::uint32_t BitsPerSecond;
  tcflag_t Code;
};

constexpr TSpeed kStandardSpeeds[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
};

tcflag_t SpeedCode(std::uint32_t BitsPerSecond) {
  for (const TSpeed& Speed : kStandardSpeeds) {
    if (Speed.BitsPerSecond == BitsPerSecond) {
      return Speed.Code;
    }
  }
  return BOTHER;  // any other rate, given in c_ospeed
}

tcflag_t SizeFlag(std::uint8_t ByteSize) {
  switch (ByteSize) {
    case 5:
      return CS5;
    case 6:
      return CS6;
    case 7:
      return CS7;
    default:
      return CS8;
  }
}

bool Valid(const TSioDCB& Dcb) {
  if (Dcb.BaudRate == 0 || Dcb.ByteSize < 5 || Dcb.ByteSize > 8 || Dcb.Parity > 4 ||
      Dcb.StopBits > 2) {
    return false;
  }
  // As on Windows: one and a half stop bits only with 5-bit characters (CS5 with CSTOPB on
  // a UART), two stop bits only with longer ones.
  return Dcb.StopBits == 0 || (Dcb.StopBits == 1) == (Dcb.ByteSize == 5);
}

}  // namespace

bool MakeRawLine(int Fd) {
  termios2 Line{};
  if (ioctl(Fd, TCGETS2, &Line) != 0) {
    return false;
  }
  Line.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF |
                    IXANY | IUCLC | IMAXBEL | INPCK);
  Line.c_oflag &= ~OPOST;
  Line.c_lflag &= ~(ECHO | ECHONL | ECHOE | ECHOK | ICANON | ISIG | IEXTEN);
  Line.c_cflag &= ~(CSIZE | PARENB);
  Line.c_cflag |= CS8 | CLOCAL | CREAD;
  Line.c_cc[VMIN] = 0;
  Line.c_cc[VTIME] = 0;
  return ioctl(Fd, TCSETS2, &Line) == 0;
}

bool ApplyLineSettings(int Fd, const TSioDCB& Dcb, bool& FramingKept) {
  if (!Valid(Dcb)) {
    errno = EINVAL;
    return false;
  }
  termios2 Line{};
  if (ioctl(Fd, TCGETS2, &Line) != 0) {
    return false;
  }
  const tcflag_t Code = SpeedCode(Dcb.BaudRate);
  Line.c_cflag &=
      ~(CBAUD | (CBAUD << IBSHIFT) | CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
  Line.c_cflag |= Code | SizeFlag(Dcb.ByteSize) | CLOCAL | CREAD;  // input speed = output
  Line.c_ispeed = Dcb.BaudRate;
  Line.c_ospeed = Dcb.BaudRate;
  switch (Dcb.Parity) {
    case 1:
      Line.c_cflag |= PARENB | PARODD;
      break;
    case 2:
      Line.c_cflag |= PARENB;
      break;
    case 3:
      Line.c_cflag |= PARENB | CMSPAR | PARODD;
      break;
    case 4:
      Line.c_cflag |= PARENB | CMSPAR;
      break;
    default:
      break;
  }
  if (Dcb.StopBits != 0) {
    Line.c_cflag |= CSTOPB;
  }
  // Linux has one switch for both directions of the RTS/CTS handshake.
  if ((Dcb.Flags & kDcbOutxCtsFlow) != 0 || (Dcb.Flags & kDcbRtsControlMask) == 0x2000) {
    Line.c_cflag |= CRTSCTS;
  }
  Line.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK);
  if ((Dcb.Flags & kDcbOutX) != 0) {
    Line.c_iflag |= IXON;
  }
  if ((Dcb.Flags & kDcbInX) != 0) {
    Line.c_iflag |= IXOFF;
  }
  if ((Dcb.Flags & kDcbParity) != 0) {
    Line.c_iflag |= INPCK;
  }
  Line.c_cc[VSTART] = static_cast<cc_t>(Dcb.XonChar);
  Line.c_cc[VSTOP] = static_cast<cc_t>(Dcb.XoffChar);
  Line.c_cc[VMIN] = 0;
  Line.c_cc[VTIME] = 0;
  if (ioctl(Fd, TCSETS2, &Line) != 0) {
    return false;
  }
  termios2 Kept{};
  if (ioctl(Fd, TCGETS2, &Kept) != 0) {
    return false;
  }
  FramingKept = (Kept.c_cflag & (CSIZE | PARENB)) == (Line.c_cflag & (CSIZE | PARENB));
  return true;
}

bool ReadLineSettings(int Fd, TSioDCB& Dcb) {
  termios2 Line{};
  if (ioctl(Fd, TCGETS2, &Line) != 0) {
    return false;
  }
  Dcb.BaudRate = Line.c_ospeed;
  switch (Line.c_cflag & CSIZE) {
    case CS5:
      Dcb.ByteSize = 5;
      break;
    case CS6:
      Dcb.ByteSize = 6;
      break;
    case CS7:
      Dcb.ByteSize = 7;
      break;
    default:
      Dcb.ByteSize = 8;
      break;
  }
  if ((Line.c_cflag & PARENB) == 0) {
    Dcb.Parity = 0;
  } else if ((Line.c_cflag & CMSPAR) != 0) {
    Dcb.Parity = (Line.c_cflag & PARODD) != 0 ? 3 : 4;
  } else {
    Dcb.Parity = (Line.c_cflag & PARODD) != 0 ? 1 : 2;
  }
  // CSTOPB is one and a half stop bits with 5-bit characters.
  Dcb.StopBits = (Line.c_cflag & CSTOPB) == 0 ? 0 : (Dcb.ByteSize == 5 ? 1 : 2);
  Dcb.Flags |= kDcbBinary;
  const bool RtsHandshake = (Dcb.Flags & kDcbRtsControlMask) == 0x2000;
  Dcb.Flags &= ~(kDcbOutX | kDcbInX | kDcbParity);
  if ((Line.c_cflag & CRTSCTS) == 0) {
    Dcb.Flags &= ~kDcbOutxCtsFlow;
    if (RtsHandshake) {
      Dcb.Flags = (Dcb.Flags & ~kDcbRtsControlMask) | 0x1000;
    }
  } else if (!RtsHandshake) {
    Dcb.Flags |= kDcbOutxCtsFlow;
  }
  if ((Line.c_iflag & IXON) != 0) {
    Dcb.Flags |= kDcbOutX;
  }
  if ((Line.c_iflag & IXOFF) != 0) {
    Dcb.Flags |= kDcbInX;
  }
  if ((Line.c_iflag & INPCK) != 0) {
    Dcb.Flags |= kDcbParity;
  }
  Dcb.XonChar = static_cast<char>(Line.c_cc[VSTART]);
  Dcb.XoffChar = static_cast<char>(Line.c_cc[VSTOP]);
  return true;
}

}  // namespace vantor
