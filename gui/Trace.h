#pragma once
// Diagnostic hooks for tests and measurements, off unless the environment asks for them:
// STOWAWAY_TRACE=file appends one line per framework event ("<ms since start> <event> ..."),
// STOWAWAY_SCREENSHOT=file.png saves the window once its browser pane has loaded a page. What
// the toolkit's backend does is traced by a decorating backend (DiagnosticBackend.h).
#include <string>

bool GuiTraceEnabled();
void GuiTrace(const std::string& line);
// The screenshot path, or empty.
std::string GuiScreenshotPath();
