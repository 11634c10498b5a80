#include "Graphics.h"

const TIdentMap& ColorIdentMap() {
  static const TIdentMap map = {
      {clBlack, "clBlack"},
      {clMaroon, "clMaroon"},
      {clGreen, "clGreen"},
      {clOlive, "clOlive"},
      {clNavy, "clNavy"},
      {clPurple, "clPurple"},
      {clTeal, "clTeal"},
      {clGray, "clGray"},
      {clSilver, "clSilver"},
      {clRed, "clRed"},
      {clLime, "clLime"},
      {clYellow, "clYellow"},
      {clBlue, "clBlue"},
      {clFuchsia, "clFuchsia"},
      {clAqua, "clAqua"},
      {clWhite, "clWhite"},
      {static_cast<TColor>(0x80000000), "clScrollBar"},
      {static_cast<TColor>(0x80000001), "clBackground"},
      {static_cast<TColor>(0x80000002), "clActiveCaption"},
      {static_cast<TColor>(0x80000003), "clInactiveCaption"},
      {static_cast<TColor>(0x80000004), "clMenu"},
      {clWindow, "clWindow"},
      {static_cast<TColor>(0x80000006), "clWindowFrame"},
      {static_cast<TColor>(0x80000007), "clMenuText"},
      {clWindowText, "clWindowText"},
      {static_cast<TColor>(0x80000009), "clCaptionText"},
      {static_cast<TColor>(0x8000000A), "clActiveBorder"},
      {static_cast<TColor>(0x8000000B), "clInactiveBorder"},
      {static_cast<TColor>(0x8000000C), "clAppWorkSpace"},
      {static_cast<TColor>(0x8000000D), "clHighlight"},
      {static_cast<TColor>(0x8000000E), "clHighlightText"},
      {clBtnFace, "clBtnFace"},
      {static_cast<TColor>(0x80000010), "clBtnShadow"},
      {static_cast<TColor>(0x80000011), "clGrayText"},
      {static_cast<TColor>(0x80000012), "clBtnText"},
      {static_cast<TColor>(0x80000013), "clInactiveCaptionText"},
      {static_cast<TColor>(0x80000014), "clBtnHighlight"},
      {static_cast<TColor>(0x80000015), "cl3DDkShadow"},
      {static_cast<TColor>(0x80000016), "cl3DLight"},
      {static_cast<TColor>(0x80000017), "clInfoText"},
      {static_cast<TColor>(0x80000018), "clInfoBk"},
      {clNone, "clNone"},
      {clDefault, "clDefault"},
  };
  return map;
}

const TIdentMap& CursorIdentMap() {
  static const TIdentMap map = {
      {crDefault, "crDefault"},     {crNone, "crNone"},           {crArrow, "crArrow"},
      {crCross, "crCross"},         {crIBeam, "crIBeam"},         {crSizeNESW, "crSizeNESW"},
      {crSizeNS, "crSizeNS"},       {crSizeNWSE, "crSizeNWSE"},   {crSizeWE, "crSizeWE"},
      {crUpArrow, "crUpArrow"},     {crHourGlass, "crHourGlass"}, {crDrag, "crDrag"},
      {crNoDrop, "crNoDrop"},       {crHSplit, "crHSplit"},       {crVSplit, "crVSplit"},
      {crMultiDrag, "crMultiDrag"}, {crSQLWait, "crSQLWait"},     {crNo, "crNo"},
      {crAppStart, "crAppStart"},   {crHelp, "crHelp"},           {crHandPoint, "crHandPoint"},
      {crSizeAll, "crSizeAll"},
  };
  return map;
}

const TIdentMap& CharsetIdentMap() {
  static const TIdentMap map = {
      {ANSI_CHARSET, "ANSI_CHARSET"},
      {DEFAULT_CHARSET, "DEFAULT_CHARSET"},
      {SYMBOL_CHARSET, "SYMBOL_CHARSET"},
      {77, "MAC_CHARSET"},
      {128, "SHIFTJIS_CHARSET"},
      {129, "HANGEUL_CHARSET"},
      {130, "JOHAB_CHARSET"},
      {134, "GB2312_CHARSET"},
      {136, "CHINESEBIG5_CHARSET"},
      {161, "GREEK_CHARSET"},
      {162, "TURKISH_CHARSET"},
      {163, "VIETNAMESE_CHARSET"},
      {177, "HEBREW_CHARSET"},
      {178, "ARABIC_CHARSET"},
      {186, "BALTIC_CHARSET"},
      {204, "RUSSIAN_CHARSET"},
      {222, "THAI_CHARSET"},
      {238, "EASTEUROPE_CHARSET"},
      {255, "OEM_CHARSET"},
  };
  return map;
}

bool ColorToIdent(int32_t color, std::string& ident) { return IntToIdent(color, ident, ColorIdentMap()); }
bool IdentToColor(const std::string& ident, int32_t& color) { return IdentToInt(ident, color, ColorIdentMap()); }
bool CursorToIdent(int32_t cursor, std::string& ident) { return IntToIdent(cursor, ident, CursorIdentMap()); }
bool IdentToCursor(const std::string& ident, int32_t& cursor) { return IdentToInt(ident, cursor, CursorIdentMap()); }

void RegisterGraphicsIdents() {
  // Display extras may have installed conversions of their own that fall back to these;
  // keep theirs.
  if (!FindIdentToInt("TColor")) RegisterIntegerConsts("TColor", IdentToColor, ColorToIdent);
  if (!FindIdentToInt("TCursor")) RegisterIntegerConsts("TCursor", IdentToCursor, CursorToIdent);
  RegisterIntegerConsts(
      "TFontCharset", [](const std::string& s, int32_t& v) { return IdentToInt(s, v, CharsetIdentMap()); },
      [](int32_t v, std::string& s) { return IntToIdent(v, s, CharsetIdentMap()); });
}

uint32_t ColorToRGB(TColor color, uint32_t fallback) {
  if (color == clNone || color == clDefault) return fallback;
  const uint32_t c = static_cast<uint32_t>(color);
  uint32_t bgr;
  if (c & 0x80000000u) {
    // A light theme like the classic desktop's.
    static const uint32_t system[] = {
        0xC8C8C8, 0x000000, 0xD1B499, 0xDBCDBF, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000, 0x000000,
        0x000000, 0xB4B4B4, 0xFCF7F4, 0xABABAB, 0xFF9933, 0xFFFFFF, 0xF0F0F0, 0xA0A0A0, 0x6D6D6D,
        0x000000, 0x000000, 0xFFFFFF, 0x696969, 0xE3E3E3, 0x000000, 0xE1FFFF,
    };
    const uint32_t index = c & 0xFF;
    bgr = index < sizeof system / sizeof system[0] ? system[index] : 0x000000;
  } else {
    bgr = c & 0xFFFFFF;
  }
  return ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
}

std::string CursorCssName(TCursor cursor) {
  switch (cursor) {
    case crNone:
      return "none";
    case crArrow:
      return "default";
    case crCross:
      return "crosshair";
    case crIBeam:
      return "text";
    case crSizeNESW:
      return "nesw-resize";
    case crSizeNS:
      return "ns-resize";
    case crSizeNWSE:
      return "nwse-resize";
    case crSizeWE:
      return "ew-resize";
    case crUpArrow:
      return "default";
    case crHourGlass:
      return "wait";
    case crDrag:
      return "copy";
    case crNoDrop:
      return "no-drop";
    case crHSplit:
      return "col-resize";
    case crVSplit:
      return "row-resize";
    case crMultiDrag:
      return "copy";
    case crSQLWait:
      return "progress";
    case crNo:
      return "not-allowed";
    case crAppStart:
      return "progress";
    case crHelp:
      return "help";
    case crHandPoint:
      return "pointer";
    case crSizeAll:
      return "move";
    default:
      return "";
  }
}
