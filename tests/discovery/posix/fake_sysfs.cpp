#include "fake_sysfs.h"

#include <pty.h>
#include <stdlib.h>

#include <fstream>
#include <stdexcept>

namespace vantor {

namespace fs = std::filesystem;

void WriteFile(const fs::path& File, const std::string& Text) {
  fs::create_directories(File.parent_path());
  std::ofstream(File) << Text << "\n";
}

TFakeSysfs::TFakeSysfs() {
  std::string Template = (fs::temp_directory_path() / "discovery-sysfs-XXXXXX").string();
  if (!::mkdtemp(Template.data()))
    throw std::runtime_error("mkdtemp");
  FRoot = Template;
  FSys = FRoot / "sys";
  FDev = FRoot / "dev";
  fs::create_directories(FSys / "class" / "tty");
  fs::create_directories(FSys / "devices" / "virtual" / "tty");
  fs::create_directories(FDev);
}

TFakeSysfs::~TFakeSysfs() {
  std::error_code Ignored;
  fs::remove_all(FRoot, Ignored);
}

fs::path TFakeSysfs::AddUsbDevice(const std::string& Port, const std::string& Manufacturer,
                                  const std::string& Product) {
  fs::path Usb = FSys / "devices" / "pci0000:00" / "0000:00:14.0" / "usb1" / Port;
  WriteFile(Usb / "idVendor", "16c0");
  if (!Manufacturer.empty())
    WriteFile(Usb / "manufacturer", Manufacturer);
  if (!Product.empty())
    WriteFile(Usb / "product", Product);
  return Usb;
}

void TFakeSysfs::AddClassLink(const fs::path& TtyDir) {
  fs::create_directory_symlink(fs::relative(TtyDir, FSys / "class" / "tty"),
                               FSys / "class" / "tty" / TtyDir.filename());
  WriteFile(TtyDir / "dev", "166:0");
}

void TFakeSysfs::AddAcm(const fs::path& Usb, const std::string& Tty) {
  const fs::path Interface = Usb / (Usb.filename().string() + ":1.0");
  const fs::path TtyDir = Interface / "tty" / Tty;
  fs::create_directories(TtyDir);
  fs::create_directory_symlink("../../../" + Interface.filename().string(), TtyDir / "device");
  AddClassLink(TtyDir);
}

void TFakeSysfs::AddUsbSerial(const fs::path& Usb, const std::string& Tty) {
  const fs::path PortDir = Usb / (Usb.filename().string() + ":1.0") / Tty;
  const fs::path TtyDir = PortDir / "tty" / Tty;
  fs::create_directories(TtyDir);
  fs::create_directory_symlink("../../../" + Tty, TtyDir / "device");
  AddClassLink(TtyDir);
}

void TFakeSysfs::AddUart(const std::string& Tty, const std::string& Type) {
  const fs::path Port = FSys / "devices" / "platform" / "serial8250" / ("serial8250:0." + Tty);
  const fs::path TtyDir = Port / "tty" / Tty;
  fs::create_directories(TtyDir);
  fs::create_directory_symlink("../../../" + Port.filename().string(), TtyDir / "device");
  WriteFile(TtyDir / "type", Type);
  AddClassLink(TtyDir);
}

void TFakeSysfs::AddVirtual(const std::string& Tty) {
  const fs::path TtyDir = FSys / "devices" / "virtual" / "tty" / Tty;
  fs::create_directories(TtyDir);
  AddClassLink(TtyDir);
}

std::string TFakeSysfs::AddNode(const std::string& Tty) {
  int Master = -1, Slave = -1;
  char Name[256] = {};
  if (::openpty(&Master, &Slave, Name, nullptr, nullptr) != 0)
    throw std::runtime_error("openpty");
  FMasters.emplace_back(Master);
  ::close(Slave);  // like the simulator: only the master stays open
  fs::create_symlink(Name, FDev / Tty);
  return Name;
}

}  // namespace vantor
