// What an executable says of itself: its kind from its header, and the
// version texts of its embedded version block.
//
// A version block is a run of zero-terminated texts, key and value
// alternating, between the marks "VersionInfoMarkStart" and
// "VersionInfoMarkEnd"; each key is "\StringFileInfo\000004E4\" followed by
// the resource name (FileVersion, FileDescription...). A block shorter than
// 35 bytes is not one (a mark named elsewhere in the file, in code or data)
// and the search goes on after it. The component's own file carries a block.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

class CFileVersion {
public:
    // Maps the file read-only and keeps a copy of its first true block.
    bool bLoad(const char* pszChemin);
    // The value that follows the first text equal to pszNom, compared
    // without regard to case.
    bool VerQueryValue(const char* pszNom, std::string& sValeur) const;
    bool bCharge() const { return !m_tabBloc.empty(); }

    // Finds the block in a memory image of a file (for the loader and tests).
    bool bCherche(const char* pDebut, size_t nTaille);

private:
    std::vector<char> m_tabBloc;
};

// The executable's kind: -1 unreadable, -2 not an "MZ" file, 0 DOS, 1 16-bit,
// 2 32-bit, 4 64-bit, 3 unknown.
int EXE_nGetTypeEXE(const char* pszChemin);

// The version text pszNom (a resource name such as "FileVersion") of the
// executable; false when it has no block or no such key.
bool bGetInfoEXE(const char* pszExecutable, const char* pszNom, std::string& sValeur);
