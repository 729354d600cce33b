// The text rules of profile files, on a file's content held in memory:
// finding a value or a list of names, and editing a section or a key.
#pragma once
#include <string>
#include <string_view>

namespace profile_text {

// Looks up a value (section and key), the key names of a section (null
// key) or the section names (null section) in sTexte, into pszBuffer of
// nSize bytes (nSize > 0); names are each followed by CR LF and only whole
// names are given. Sections and keys are compared without regard to case.
// When nothing is found (and no key line matched), the default is copied.
// Returns the length of the buffer's text.
int nLookup(std::string_view sTexte, const char* pszSection, const char* pszKey, const char* pszDefault,
            char* pszBuffer, int nSize);

// Builds in sNouveau the content after writing pszValue to the key of the
// section (exact case); a null key deletes the section, a null value the
// key. False when the content does not change (sNouveau is then unset).
bool bEdit(std::string_view sTexte, const char* pszSection, const char* pszKey, const char* pszValue,
           std::string& sNouveau);

}  // namespace profile_text
