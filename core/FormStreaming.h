#pragma once
// Reading and writing whole forms, binary ("TPF0") or text, in one call.
//
//   auto form = ReadForm(stream);            // root created by class name (registered)
//   ReadForm(stream, *this);                 // a form reading its own resource
//   WriteForm(out, *form); WriteFormText(out, *form);
#include <memory>

#include "Component.h"
#include "Stream.h"

void ReadForm(TStream& stream, TComponent& root);
std::unique_ptr<TComponent> ReadForm(TStream& stream);
void WriteForm(TStream& stream, TComponent& root);

void ReadFormText(TStream& stream, TComponent& root);
std::unique_ptr<TComponent> ReadFormText(TStream& stream);
void WriteFormText(TStream& stream, TComponent& root);

// True when the stream at its position starts with the binary signature; the position is
// left unchanged.
bool IsBinaryForm(TStream& stream);
