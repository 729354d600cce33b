// Low-level helpers shared by the file layer: names copied into bounded
// buffers, reads and writes that survive signals and short transfers, and
// reporting into an optional error object.
#pragma once
#include <sys/types.h>

#include <cstddef>
#include <ctime>
#include <string>
#include <vector>

#include "files/xstream.h"

// Copies a name into a buffer of nSize bytes with backslashes turned into
// slashes. False (errno ENAMETOOLONG) when it does not fit.
bool FIO_bCopyName(char* pszOut, const char* pszName, size_t nSize);

// The directory of a name (trailing slashes aside; "." when it has none, "/"
// for the root) and its last component.
std::string FIO_sRepertoireDe(const std::string& sNom);
std::string FIO_sBaseDe(const std::string& sNom);
// The names of a directory ("" is the current one), sorted, "." and ".."
// left out. False with errno set when it cannot be read.
bool FIO_bNomsRepertoire(const std::string& sRepertoire, std::vector<std::string>* pTab);

// Reads until nSize bytes or the end of the file; -1 on error.
ssize_t FIO_nReadFull(int nFd, void* pData, size_t nSize);
// Writes every byte; false on error (errno set).
bool FIO_bWriteFull(int nFd, const void* pData, size_t nSize);
// close() that keeps errno of the caller.
void FIO_CloseKeepErrno(int nFd);

// Static operations report through an optional error object.
void FIO_Reset(CXError* pclError);
// Level 3, the system error and, for a non-zero number, the numbered
// message with the name (and the second name, when given) as parameters.
void FIO_Report(CXError* pclError, int nErrno, int nMessage, const char* pszName, const char* pszName2 = nullptr);

// Local time of a seconds count, and back.
void FIO_ToFileTime(time_t tSeconds, long nNanoseconds, _stXFILETIME* pstTime);
bool FIO_bFromFileTime(const _stXFILETIME* pstTime, time_t* ptSeconds);
