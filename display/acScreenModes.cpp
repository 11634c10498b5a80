#include "acScreenModes.h"

const TTypeNames TacScreenColorModeNames("TacScreenColorMode", {"sm4bit", "sm8bit", "sm16bit", "sm24bit", "sm32bit"});

const TTypeNames TacScreenResolutionNames("TacScreenResolution",
                                          {"sr640x480", "sr800x600", "sr1024x768", "sr1152x864", "sr1280x960",
                                           "sr1280x1024", "sr1600x1200", "sr1920x1080", "sr1920x1200", "sr480x640",
                                           "sr600x800", "sr768x1024", "sr864x1152", "sr960x1280", "sr1024x1280",
                                           "sr1200x1600", "sr1080x1920", "sr1200x1920"});
