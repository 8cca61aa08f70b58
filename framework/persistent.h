// Objects whose values can be copied from another object of a compatible class.
#pragma once

#include "framework/object.h"

namespace vantor {

class TPersistent : public TObject {
 public:
  // Copies Source's values into this object. The base asks Source to AssignTo this
  // object, and that refuses with EConvertError ("Cannot assign a X to a Y").
  virtual void Assign(const TPersistent& Source);

 protected:
  virtual void AssignTo(TPersistent& Dest) const;
};

}  // namespace vantor
