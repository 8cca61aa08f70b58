// The root of the class tree, objects whose values can be copied from a compatible object,
// and the failure type every layer raises.
#pragma once

#include <exception>
#include <string>
#include <typeinfo>

namespace vantor {

// Readable name of a C++ type, as the program shows it ("ESioCommError", "std::bad_alloc").
std::string ClassNameOf(const std::type_info& Type);

class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = default;
  TObject& operator=(const TObject&) = default;
  virtual ~TObject() = default;

  // The dynamic class name, e.g. "TSioComm".
  std::string ClassName() const { return ClassNameOf(typeid(*this)); }
};

// Base of the program's own failures: a message text and, through TObject, a class name.
class Exception : public std::exception, public TObject {
 public:
  explicit Exception(std::string Message) : FMessage(std::move(Message)) {}
  const std::string& Message() const noexcept { return FMessage; }
  const char* what() const noexcept override { return FMessage.c_str(); }

 private:
  std::string FMessage;
};

// The framework's standard error for a conversion or assignment it cannot make.
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

class TPersistent : public TObject {
 public:
  // Copies Source's values into this object. The base asks Source to AssignTo this
  // object, and that refuses with EConvertError ("Cannot assign a X to a Y").
  virtual void Assign(const TPersistent& Source);

 protected:
  virtual void AssignTo(TPersistent& Dest) const;
};

// Class name of any failure: the dynamic type of the exception object.
std::string ExceptionClassName(const std::exception& E);

}  // namespace vantor
