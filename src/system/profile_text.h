// The text rules of profile files, on a file's content held in memory:
// finding a value or a list of names, checking what may be written, and
// editing a section or a key.
//
// Reading and writing find the same lines: a section is the first header
// that begins with "[name]", a key the first line of that section whose
// text before "=", blanks trimmed, is the key; both compare without regard
// to case (ASCII), so that a write changes the line a read finds.
#pragma once
#include <string>
#include <string_view>

namespace profile_text {

// Looks up a value (section and key), the key names of a section (null
// key) or the section names (null section) in sTexte, into pszBuffer of
// nSize bytes (nSize > 0); names are each followed by CR LF and only whole
// names are given. A NUL inside the file ends the value or name it is in.
// When nothing is found (and no key line matched), the default is copied.
// Returns the length of the buffer's text.
int nLookup(std::string_view sTexte, const char* pszSection, const char* pszKey, const char* pszDefault,
            char* pszBuffer, int nSize);

// The same without a size: the whole value or the whole list.
std::string Lookup(std::string_view sTexte, const char* pszSection, const char* pszKey, const char* pszDefault);

// True when writing these arguments (null for an absent one) gives back,
// on reading, exactly the section, key and value written: no line end
// anywhere; no "]" in a section; a key neither beginning with a blank,
// ":" or "[", nor ending with a blank, nor holding "="; a value without
// leading blanks, and only with a section and a key.
bool bWritable(const char* pszSection, const char* pszKey, const char* pszValue);

// Builds in sNouveau the content after writing pszValue to the key of the
// section; a null key deletes the section, a null value the key. False
// when the content does not change (sNouveau is then unset).
bool bEdit(std::string_view sTexte, const char* pszSection, const char* pszKey, const char* pszValue,
           std::string& sNouveau);

}  // namespace profile_text
