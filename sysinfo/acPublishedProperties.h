#pragma once
// A listing of an object's published properties, one "Name = value" line each, in
// declaration order (inherited properties first), with values written as in the text form
// of forms: numbers in decimal, Booleans as True / False, enumerations by identifier, sets
// as [a, b], texts quoted, sub-objects as "Name.Sub = value", component references and
// event handlers by name (nil when none). Stored or not, every property is listed.
#include <ostream>
#include <string>

#include "core/FormText.h"  // FormTextQuoted

class TObject;

void WritePublishedProperties(TObject& object, std::ostream& out);
