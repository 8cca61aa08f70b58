// The Linux port source: the serial ttys of a sysfs tree, named by their device path.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "discovery/port_source.h"
#include "discovery/posix/udev_handles.h"

namespace vantor {

class TSysfsPortSource : public TPortSource {
 public:
  // The product reads "/sys" and "/dev"; a port's name is "<DevRoot>/<tty>".
  TSysfsPortSource(std::filesystem::path SysfsRoot, std::filesystem::path DevRoot);

  // Only real serial ports are listed (see ListSerialTtys), all under the device folder,
  // so the prefix that sorts serial from parallel ports on Windows is the folder here.
  std::u16string_view SerialPrefix() const override { return FPrefix; }
  bool Next(TPresentPort& Port) override;
  std::unique_ptr<TProbeHandle> Probe(const std::u16string& PortName) override;

 private:
  std::string FriendlyName(const std::string& Tty) const;

  std::filesystem::path FSysfsRoot;
  std::filesystem::path FDevRoot;
  std::u16string FPrefix;
  TUdevPtr FUdev;  // null without udev: the names come from sysfs alone
  bool FListed = false;
  std::vector<std::string> FTtys;
  std::size_t FIndex = 0;
};

}  // namespace vantor
