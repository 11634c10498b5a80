#include "acColorIdents.h"

const std::array<TIdentMapEntry, ColorIdentCount> ColorIdents = {{
    {static_cast<int32_t>(0x8000001A), "clHotLight"},  // system colour 26, the hot-tracked item
    {0x00EEFFFF, "clContextHelp"},
    {0x00003090, "clBrown"},
    {0x00003030, "clOliveGreen"},
    {0x00003000, "clDarkGreen"},
    {0x00603000, "clDarkTeal"},
    {0x00903030, "clIndigo"},
    {0x00303030, "clNight"},
    {0x000068FF, "clOrange"},
    {0x00906060, "clBlueGray"},
    {0x000098FF, "clLightOrange"},
    {0x00609830, "clSeaGreen"},
    {0x00FF6830, "clLightBlue"},
    {0x00909090, "clMetal"},
    {0x0000C8FF, "clGold"},
    {0x00603090, "clPlum"},
    {0x00D098FF, "clRose"},
    {0x00A0C8FF, "clTan"},
    {0x0090FFFF, "clLightYellow"},
    {0x00D0FFD0, "clLightGreen"},
    {0x00FFFFC0, "clLightTurquoise"},
    {0x00FFC890, "clPaleBlue"},
    {0x00E6AA8C, "clSoftBlue"},
    {0x00FF98C0, "clLavender"},
    {0x20000000, "clDefault"},  // the framework's default colour
}};
