// Picture files (PNG, JPEG, BMP) decoded with the platform's image library: gdk-pixbuf on
// Linux, the Windows Imaging Component on Windows. Paths are the host's.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ImageFileInfo {
  std::string format;  // "png", "jpeg", "bmp", another name, or empty when unknown
  int width = 0, height = 0;
};

// The file's format and size, read from its header only; format empty when the file is no
// picture the library knows.
ImageFileInfo ReadImageFileInfo(const std::string& path);

struct DecodedImage {
  int width = 0, height = 0;
  std::vector<uint8_t> rgba;  // rows from the top, 4 bytes a pixel, alpha not premultiplied
};

// The whole picture. Throws std::runtime_error saying why when it cannot be decoded.
DecodedImage DecodeImageFile(const std::string& path);
