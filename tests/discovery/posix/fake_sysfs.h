// A sysfs tree and a device folder made up in a temporary folder, for the Linux source.
// Device nodes are symbolic links to pty slaves, so the probe opens real ttys.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/posix/unique_fd.h"

namespace vantor {

class TFakeSysfs {
 public:
  TFakeSysfs();
  ~TFakeSysfs();

  const std::filesystem::path& Sys() const { return FSys; }
  const std::filesystem::path& Dev() const { return FDev; }

  // A USB device at <bus>/<Port> with its descriptor strings (empty: attribute missing).
  std::filesystem::path AddUsbDevice(const std::string& Port, const std::string& Manufacturer,
                                     const std::string& Product);
  // ttyACM<n>: tty below the device's interface 1.0, device link to the interface.
  void AddAcm(const std::filesystem::path& Usb, const std::string& Tty);
  // ttyUSB<n>: a port folder below the interface, the tty below that.
  void AddUsbSerial(const std::filesystem::path& Usb, const std::string& Tty);
  // An on-board UART with its serial-core "type" (0: a placeholder).
  void AddUart(const std::string& Tty, const std::string& Type);
  // A tty with no device behind it (virtual console, pty).
  void AddVirtual(const std::string& Tty);
  // A device node for Tty: a link to the slave of a new pty (the master is kept open).
  // Returns the slave's path.
  std::string AddNode(const std::string& Tty);

 private:
  void AddClassLink(const std::filesystem::path& TtyDir);

  std::filesystem::path FRoot, FSys, FDev;
  std::vector<TUniqueFd> FMasters;
};

void WriteFile(const std::filesystem::path& File, const std::string& Text);

}  // namespace vantor
