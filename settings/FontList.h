#pragma once
// The names of the font list: the installed font families as the screen's
// device context reports them, repeats dropped, sorted as lstrcmp compares.
// Names are GBK byte strings, whatever the system's code page: the settings
// file holds them so. A family whose name GBK cannot write is left out.
#include <string>
#include <vector>

// Every face name EnumFontFamiliesExW reports for the screen with
// DEFAULT_CHARSET, in report order: a family comes once per character set.
std::vector<std::string> EnumerateFontFaceNames();

// Walks the names from the last to the first and drops each one that equals,
// byte for byte, the name visited just before it: the runs that one family
// leaves in the enumeration collapse to one name.
std::vector<std::string> DropRepeatedNames(std::vector<std::string> names);

// Ascending as lstrcmpW compares the names (as lstrcmpA under code page
// 936), by insertion: each name goes into the
// sorted part at the place found by halving it, after any equal names.
std::vector<std::string> SortNamesByLstrcmp(std::vector<std::string> names);

// The font list's names: enumeration, repeats dropped, sorted. Possibly empty.
std::vector<std::string> EnumerateFontNames();
