// Reading the tty class of a sysfs tree: which ttys are real serial ports, and what the
// USB device behind one calls itself.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace vantor {

// The serial ports of the tree, ordered by name with numbers compared as numbers
// (ttyACM2 before ttyACM10). A tty counts when a device stands behind it (its "device"
// link resolves: not virtual consoles, not ptys) and it is not a placeholder UART
// (a serial-core "type" attribute of 0, PORT_UNKNOWN: the ttyS1..31 the 8250 driver
// registers for ports that are not there).
std::vector<std::string> ListSerialTtys(const std::filesystem::path& SysfsRoot);

// "<manufacturer> <product>" of the nearest USB device above the tty's device (either one
// alone when the other is missing); empty when there is none.
struct TUsbNames {
  std::string Vendor;
  std::string Model;
};
TUsbNames UsbNamesOf(const std::filesystem::path& SysfsRoot, const std::string& Tty);

// Orders "ttyUSB9" before "ttyUSB10".
bool NaturalLess(const std::string& A, const std::string& B);

}  // namespace vantor
