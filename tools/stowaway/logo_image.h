// The logo given to `stowaway build`: a PNG, JPEG or BMP file, decoded by the platform and
// written as the BMP that the window's image control shows.
#pragma once

#include <string>

// A 24-bit BMP of the image (transparent parts laid on white, the window's colour). Throws
// InputError naming the file when it cannot be read or is no PNG, JPEG or BMP image.
std::string LogoBitmap(const std::string& path);
