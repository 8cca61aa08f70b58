#include "framework/object.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>

std::string ClassNameOf(const std::type_info& Type) {
  int Status = 0;
  std::unique_ptr<char, decltype(&std::free)> Demangled(
      abi::__cxa_demangle(Type.name(), nullptr, nullptr, &Status), &std::free);
  return (Status == 0 && Demangled) ? std::string(Demangled.get()) : std::string(Type.name());
}

std::string ExceptionClassName(const std::exception& E) {
  return ClassNameOf(typeid(E));
}
