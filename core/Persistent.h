#pragma once
// TPersistent: an object that can be assigned from another one and streamed in a form.
#include "BaseObject.h"

class TFiler;

class TPersistent : public TObject {
  STOWAWAY_CLASS(TPersistent, TObject)

  // Copies the source into this object. The default asks the source (AssignTo); when neither
  // side knows the other, raises EConvertError "Cannot assign a TSource to a TThis.".
  virtual void Assign(TPersistent* source);
  // Declares properties that are not published (raw bytes, computed values) to a filer.
  virtual void DefineProperties(TFiler& filer);

 protected:
  // Copies this object into dest. The default raises the assignment error.
  virtual void AssignTo(TPersistent* dest);
  [[noreturn]] void AssignError(const TPersistent* source) const;
};
