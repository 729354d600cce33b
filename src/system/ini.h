// What the INI-file entry points share with INILit and INIEcrit beyond the
// library object's methods.
#pragma once

class CZNLibrary;

// Raises user error 80294 for a refused write to the file, named as given
// or, without a name, as the per-user file.
void INIErreurEcriture(CZNLibrary& clLib, const char* pszFichier);
