// Profile files: INI text files made of "[section]" headers and
// "key = value" lines, read and written through the classic profile calls.
// The per-user forms work on "/.TVR.conf" in the user's home directory.
//
// Names:
//   - a relative file name (one that does not begin with "/" or "./") is
//     taken in the home directory, for reading and writing alike; a null or
//     empty name is the per-user file;
//   - a null or empty section or key is an absent one.
// Reading:
//   - sections and keys are found without regard to case (ASCII), a key
//     only on a line whose whole key (blanks trimmed) is that key;
//   - a null section lists the section names, a null key lists the key
//     names of the section, each name followed by CR LF;
//   - a missing file, section or key gives the default.
// Writing:
//   - the line changed is the one a reading finds (same rules, same case
//     folding);
//   - a null key deletes the section, a null value deletes the key;
//   - anything a reading could not give back exactly is refused (false,
//     file unchanged): see profile_text::bWritable;
//   - the file is replaced as a whole (temporary file in the same directory,
//     flushed, renamed over the old one) under an exclusive lock, so that a
//     crash never leaves half a file and concurrent writers keep each
//     other's keys; the file keeps its permissions; temporary files that a
//     killed writer left beside the file are removed once they are stale.
// Paths longer than PROFILE_MAX_PATH characters are refused, never cut.
#pragma once
#include <string>

constexpr int PROFILE_MAX_PATH = 260;

// Copies the value (or the list) into pszBuffer, cut to nSize - 1
// characters, and returns the length written.
int GetPrivateProfileString(const char* pszSection, const char* pszKey, const char* pszDefault, char* pszBuffer,
                            int nSize, const char* pszFile);
// The same without a size limit: the whole value or the whole list.
std::string GetPrivateProfileText(const char* pszSection, const char* pszKey, const char* pszDefault,
                                  const char* pszFile);
// The value read as a decimal integer (strtol), the default when absent.
int GetPrivateProfileInt(const char* pszSection, const char* pszKey, int nDefault, const char* pszFile);
// False when the file cannot be opened, created or replaced, or when the
// arguments could not be read back exactly.
bool WritePrivateProfileString(const char* pszSection, const char* pszKey, const char* pszValue,
                               const char* pszFile);

// The same on the per-user file.
int GetProfileString(const char* pszSection, const char* pszKey, const char* pszDefault, char* pszBuffer, int nSize);
int GetProfileInt(const char* pszSection, const char* pszKey, int nDefault);
bool WriteProfileString(const char* pszSection, const char* pszKey, const char* pszValue);

// Full name of the per-user file into pszOut (nSize bytes): the home
// directory ($HOME, else the password entry of the current user) followed
// by "/.TVR.conf". False when there is no home directory or the name does
// not fit (in nSize bytes or in PROFILE_MAX_PATH characters).
bool bGetTVRCONFPath(char* pszOut, int nSize);
