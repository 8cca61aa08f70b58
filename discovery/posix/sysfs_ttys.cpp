#include "discovery/posix/sysfs_ttys.h"

#include <algorithm>
#include <fstream>
#include <optional>
#include <system_error>

namespace vantor {

namespace fs = std::filesystem;

namespace {

std::optional<std::string> ReadAttribute(const fs::path& File) {
  std::ifstream In(File);
  if (!In)
    return std::nullopt;
  std::string Text;
  std::getline(In, Text);
  while (!Text.empty() && (Text.back() == ' ' || Text.back() == '\r' || Text.back() == '\t')) {
    Text.pop_back();
  }
  return Text;
}

bool IsSerialTty(const fs::path& TtyDir) {
  std::error_code Error;
  if (!fs::is_directory(TtyDir / "device", Error))
    return false;
  const auto Type = ReadAttribute(TtyDir / "type");
  return !(Type && *Type == "0");
}

bool IsWithin(const fs::path& Root, const fs::path& Dir) {
  return std::mismatch(Root.begin(), Root.end(), Dir.begin(), Dir.end()).first == Root.end();
}

bool IsDigit(char C) {
  return C >= '0' && C <= '9';
}

}  // namespace

bool NaturalLess(const std::string& A, const std::string& B) {
  std::size_t I = 0, J = 0;
  while (I < A.size() && J < B.size()) {
    if (IsDigit(A[I]) && IsDigit(B[J])) {
      const std::size_t StartA = I, StartB = J;
      while (I < A.size() && IsDigit(A[I]))
        ++I;
      while (J < B.size() && IsDigit(B[J]))
        ++J;
      std::string_view NumA(A.data() + StartA, I - StartA), NumB(B.data() + StartB, J - StartB);
      while (NumA.size() > 1 && NumA.front() == '0')
        NumA.remove_prefix(1);
      while (NumB.size() > 1 && NumB.front() == '0')
        NumB.remove_prefix(1);
      if (NumA.size() != NumB.size())
        return NumA.size() < NumB.size();
      if (NumA != NumB)
        return NumA < NumB;
      continue;
    }
    if (A[I] != B[J])
      return A[I] < B[J];
    ++I;
    ++J;
  }
  if ((A.size() - I) != (B.size() - J))
    return A.size() - I < B.size() - J;
  return A < B;  // equal up to leading zeros: any fixed order
}

std::vector<std::string> ListSerialTtys(const fs::path& SysfsRoot) {
  std::vector<std::string> Names;
  std::error_code Error;
  for (fs::directory_iterator It(SysfsRoot / "class" / "tty", Error), End; !Error && It != End;
       It.increment(Error)) {
    if (IsSerialTty(It->path()))
      Names.push_back(It->path().filename().string());
  }
  std::sort(Names.begin(), Names.end(), NaturalLess);
  return Names;
}

TUsbNames UsbNamesOf(const fs::path& SysfsRoot, const std::string& Tty) {
  std::error_code Error;
  const fs::path Root = fs::canonical(SysfsRoot, Error);
  if (Error)
    return {};
  fs::path Dir = fs::canonical(SysfsRoot / "class" / "tty" / Tty / "device", Error);
  if (Error)
    return {};
  // Walk up from the interface (ACM) or the port (USB serial) to the USB device itself,
  // never leaving the tree.
  for (; Dir != Root && Dir.has_relative_path(); Dir = Dir.parent_path()) {
    if (!IsWithin(Root, Dir))
      break;
    if (!fs::exists(Dir / "idVendor", Error))
      continue;
    return {ReadAttribute(Dir / "manufacturer").value_or(""),
            ReadAttribute(Dir / "product").value_or("")};
  }
  return {};
}

}  // namespace vantor
