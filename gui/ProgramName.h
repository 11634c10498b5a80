#pragma once
// The running program's file name without its folder and extension ("installer" for
// /opt/x/installer, "setup" for C:\x\setup.exe): what names the program where it has no title.
#include <string>

std::string ProgramName();
