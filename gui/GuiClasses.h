#pragma once
// Makes the framework's control classes known to the form reader and installs its identifier
// conversions (colours, cursors, font character sets). Idempotent.
void RegisterGuiClasses();
