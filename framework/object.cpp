#include "framework/object.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <string_view>

namespace vantor {

std::string ClassNameOf(const std::type_info& Type) {
  int Status = 0;
  std::unique_ptr<char, decltype(&std::free)> Demangled(
      abi::__cxa_demangle(Type.name(), nullptr, nullptr, &Status), &std::free);
  std::string Name = (Status == 0 && Demangled) ? Demangled.get() : Type.name();
  // The project's own classes go by their plain names, as the user sees them in messages.
  constexpr std::string_view kProject = "vantor::";
  if (Name.compare(0, kProject.size(), kProject) == 0)
    Name.erase(0, kProject.size());
  return Name;
}

std::string ExceptionClassName(const std::exception& E) {
  return ClassNameOf(typeid(E));
}

void TPersistent::Assign(const TPersistent& Source) {
  Source.AssignTo(*this);
}

void TPersistent::AssignTo(TPersistent& Dest) const {
  throw EConvertError("Cannot assign a " + ClassName() + " to a " + Dest.ClassName());
}

}  // namespace vantor
