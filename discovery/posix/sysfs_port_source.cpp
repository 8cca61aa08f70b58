#include "discovery/posix/sysfs_port_source.h"

#include "discovery/available_ports.h"

#include "discovery/posix/exclusive_probe.h"
#include "discovery/posix/sysfs_ttys.h"
#include "base/utf.h"

namespace vantor {

namespace {

std::string Property(udev_device* Device, const char* Name) {
  const char* Value = Device ? udev_device_get_property_value(Device, Name) : nullptr;
  return Value ? Value : "";
}

const std::string& FirstOf(const std::string& A, const std::string& B) {
  return A.empty() ? B : A;
}

}  // namespace

TSysfsPortSource::TSysfsPortSource(std::filesystem::path SysfsRoot, std::filesystem::path DevRoot)
    : FSysfsRoot(std::move(SysfsRoot)),
      FDevRoot(std::move(DevRoot)),
      FPrefix(ToUtf16((FDevRoot / "").string())),
      FUdev(udev_new()) {}

bool TSysfsPortSource::Next(TPresentPort& Port) {
  if (!FListed) {
    FTtys = ListSerialTtys(FSysfsRoot);
    FListed = true;
  }
  if (FIndex >= FTtys.size())
    return false;
  const std::string& Tty = FTtys[FIndex++];
  Port.PortName = ToUtf16((FDevRoot / Tty).string());
  Port.FriendlyName = ToUtf16(FriendlyName(Tty));
  return true;
}

std::unique_ptr<TProbeHandle> TSysfsPortSource::Probe(const std::u16string& PortName) {
  return ProbeExclusive(ToUtf8(PortName));
}

// "<vendor> <model>" as udev knows them (the hardware database's names first), else as
// the USB device reports them in sysfs; a tty without either still counts (an on-board
// UART) and gets an empty friendly name.
std::string TSysfsPortSource::FriendlyName(const std::string& Tty) const {
  TUdevDevicePtr Device;
  if (FUdev) {
    // A tree outside the real sysfs is unknown to udev: this stays null then.
    const std::string SysPath = (FSysfsRoot / "class" / "tty" / Tty).string();
    Device.reset(udev_device_new_from_syspath(FUdev.get(), SysPath.c_str()));
  }
  const TUsbNames Usb = UsbNamesOf(FSysfsRoot, Tty);
  const std::string Vendor = FirstOf(FirstOf(Property(Device.get(), "ID_VENDOR_FROM_DATABASE"),
                                             Property(Device.get(), "ID_VENDOR")),
                                     Usb.Vendor);
  const std::string Model = FirstOf(
      FirstOf(Property(Device.get(), "ID_MODEL_FROM_DATABASE"), Property(Device.get(), "ID_MODEL")),
      Usb.Model);
  if (Vendor.empty() || Model.empty())
    return Vendor + Model;
  return Vendor + " " + Model;
}

std::unique_ptr<TPortEntryList> GetAvailableComPorts() {
  try {
    TSysfsPortSource Source("/sys", "/dev");
    return ListAvailablePorts(Source);
  } catch (...) {
    return nullptr;  // the source could not even be made
  }
}

}  // namespace vantor
