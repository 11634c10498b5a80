#pragma once
// Text form of forms, and the converters between it and the binary form. Both agree byte for
// byte with Free Pascal's ObjectBinaryToText and ObjectTextToBinary for integers, strings,
// identifiers, Booleans, sets, lists, collections, nil and binary data:
//
//   object Form1: TForm1
//     Caption = 'Installation'
//     Label3.Caption = 'Sie k'#246'nnen'
//     Picture.Data = {
//       0954426974...}        (32 bytes per line)
//     object Label1: TLabel
//       Font.Style = [fsBold]
//     end
//   end
//
// Strings are quoted; control characters and bytes from 127 up are written as #n. In the text,
// a string holding a #n above 127 becomes a wide string (vaWString) in the binary form, as in
// Free Pascal; the reader turns it back into Windows-1252. Lines end with "\n".
//
// Floating-point values: every number with a point, an exponent or a suffix (1.5, 1e3, 2.5c,
// 1.0d, 0.25s) becomes an extended (vaExtended, the 10-byte extended of the nearest double),
// as Free Pascal writes them; an extended is written as Free Pascal's Str writes one
// (" 1.50000000000000000000E+0000"). The binary single, date and currency values are written
// with their suffix: single and date as that text plus "s" or "d", currency exactly with
// four decimals plus "c" ("12.3400c").
#include <cstddef>
#include <string>

#include "Stream.h"

// True when the bytes begin as a text form that ObjectTextToBinary accepts: an optional UTF-8
// byte-order mark, white space, then "object", "inherited" or "inline" in any case, followed
// by white space.
bool LooksLikeTextForm(const char* data, size_t size);

// Converts a binary form at the input's position to text. Raises EReadError for bad input.
void ObjectBinaryToText(TStream& input, TStream& output);
// Converts a text form at the input's position to binary. Raises EParserError with line and
// column for bad input.
void ObjectTextToBinary(TStream& input, TStream& output);

// A Windows-1252 text quoted as the text form writes strings: printable characters inside
// single quotes (a quote doubled), control characters and bytes from 127 up as #n; '' when
// empty.
std::string FormTextQuoted(const std::string& text);
