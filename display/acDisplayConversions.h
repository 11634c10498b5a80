#pragma once
// Identifier conversions of the framework's cursor type "TCursor" and colour type "TColor"
// that know the extra cursors and colours. Each looks in its own table first (identifiers
// compared without regard to letter case, first match; a value gives the first entry that
// has it), then asks the conversion that was installed for the type before these were, and
// answers false when neither knows the value or identifier. The extra names therefore win
// over the framework's where both know a value (clDefault).
#include <cstdint>
#include <string>

bool ExtCursorToIdent(int32_t cursor, std::string& ident);
bool ExtIdentToCursor(const std::string& ident, int32_t& cursor);
bool ExtColorToIdent(int32_t color, std::string& ident);
bool ExtIdentToColor(const std::string& ident, int32_t& color);

// Installs the four conversions for "TCursor" and "TColor", keeping the pair installed before
// as their fallback. Run it after the framework has installed its own pair: a framework that
// installs its pair only when none is present (as ours does) is otherwise left out of the
// fallback. Installing again keeps the first fallback, so a conversion never falls back on
// itself.
void InstallDisplayConversions();
