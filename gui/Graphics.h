#pragma once
// Colours, cursors and font character sets of the windowing framework, with the identifier
// tables that forms use for them ("clWhite", "crHandPoint", "ANSI_CHARSET").
//
// A TColor is 0x00BBGGRR for a plain colour; with the top bit set its low byte is a system
// colour index (clWindowText = 0x80000008); clNone and clDefault are special values.
#include <cstdint>
#include <string>

#include "core/IdentConversion.h"

using TColor = int32_t;
using TCursor = int32_t;
using TFontCharset = int32_t;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clBtnFace = static_cast<TColor>(0x8000000F);
inline constexpr TColor clWindow = static_cast<TColor>(0x80000005);
inline constexpr TColor clWindowText = static_cast<TColor>(0x80000008);
inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;

inline constexpr TCursor crDefault = 0;
inline constexpr TCursor crNone = -1;
inline constexpr TCursor crArrow = -2;
inline constexpr TCursor crCross = -3;
inline constexpr TCursor crIBeam = -4;
inline constexpr TCursor crSizeNESW = -6;
inline constexpr TCursor crSizeNS = -7;
inline constexpr TCursor crSizeNWSE = -8;
inline constexpr TCursor crSizeWE = -9;
inline constexpr TCursor crUpArrow = -10;
inline constexpr TCursor crHourGlass = -11;
inline constexpr TCursor crDrag = -12;
inline constexpr TCursor crNoDrop = -13;
inline constexpr TCursor crHSplit = -14;
inline constexpr TCursor crVSplit = -15;
inline constexpr TCursor crMultiDrag = -16;
inline constexpr TCursor crSQLWait = -17;
inline constexpr TCursor crNo = -18;
inline constexpr TCursor crAppStart = -19;
inline constexpr TCursor crHelp = -20;
inline constexpr TCursor crHandPoint = -21;
inline constexpr TCursor crSizeAll = -22;

// (<wingdi.h> has them as macros of the same values.)
#ifndef ANSI_CHARSET
inline constexpr TFontCharset ANSI_CHARSET = 0;
inline constexpr TFontCharset DEFAULT_CHARSET = 1;
inline constexpr TFontCharset SYMBOL_CHARSET = 2;
#endif

// The framework's own identifier tables.
const TIdentMap& ColorIdentMap();
const TIdentMap& CursorIdentMap();
const TIdentMap& CharsetIdentMap();

// The framework's own conversions (what display extras fall back to).
bool ColorToIdent(int32_t color, std::string& ident);
bool IdentToColor(const std::string& ident, int32_t& color);
bool CursorToIdent(int32_t cursor, std::string& ident);
bool IdentToCursor(const std::string& ident, int32_t& cursor);

// Installs the conversions of "TColor", "TCursor" and "TFontCharset" (idempotent; a later
// installation by display extras replaces the first two).
void RegisterGraphicsIdents();

// The 0xRRGGBB value a colour is drawn with: plain colours as they are, system colours from
// a fixed light theme, clNone / clDefault as the given fallback.
uint32_t ColorToRGB(TColor color, uint32_t fallback = 0x000000);

// The CSS cursor name standing for a framework cursor ("pointer" for crHandPoint); empty for
// crDefault and unknown values.
std::string CursorCssName(TCursor cursor);
