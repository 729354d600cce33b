#include "files/fileio.h"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

bool FIO_bCopyName(char* pszOut, const char* pszName, size_t nSize) {
    if (pszName == nullptr) pszName = "";
    size_t nLength = strlen(pszName);
    if (nLength + 1 > nSize) {
        if (nSize > 0) *pszOut = 0;
        errno = ENAMETOOLONG;
        return false;
    }
    for (size_t i = 0; i <= nLength; ++i) pszOut[i] = pszName[i] == '\\' ? '/' : pszName[i];
    return true;
}

ssize_t FIO_nReadFull(int nFd, void* pData, size_t nSize) {
    size_t nDone = 0;
    while (nDone < nSize) {
        ssize_t n = read(nFd, static_cast<char*>(pData) + nDone, nSize - nDone);
        if (n < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (n == 0) break;
        nDone += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(nDone);
}

bool FIO_bWriteFull(int nFd, const void* pData, size_t nSize) {
    size_t nDone = 0;
    while (nDone < nSize) {
        ssize_t n = write(nFd, static_cast<const char*>(pData) + nDone, nSize - nDone);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) {
            errno = EIO;
            return false;
        }
        nDone += static_cast<size_t>(n);
    }
    return true;
}

std::string FIO_sRepertoireDe(const std::string& sNom) {
    std::string s = sNom;
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    const size_t n = s.rfind('/');
    if (n == std::string::npos) return ".";
    if (n == 0) return "/";
    return s.substr(0, n);
}

std::string FIO_sBaseDe(const std::string& sNom) {
    std::string s = sNom;
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    const size_t n = s.rfind('/');
    return n == std::string::npos ? s : s.substr(n + 1);
}

bool FIO_bNomsRepertoire(const std::string& clDir, std::vector<std::string>* pclNames) {
    DIR* pDir = opendir(clDir.empty() ? "." : clDir.c_str());
    if (pDir == nullptr) return false;
    for (;;) {
        errno = 0;
        struct dirent64* pst = readdir64(pDir);
        if (pst == nullptr) break;
        if (strcmp(pst->d_name, ".") == 0 || strcmp(pst->d_name, "..") == 0) continue;
        pclNames->push_back(pst->d_name);
    }
    int nErrno = errno;
    closedir(pDir);
    if (nErrno != 0) {
        errno = nErrno;
        return false;
    }
    std::sort(pclNames->begin(), pclNames->end());
    return true;
}

void FIO_CloseKeepErrno(int nFd) {
    int nErrno = errno;
    close(nFd);
    errno = nErrno;
}

void FIO_Reset(CXError* pclError) {
    if (pclError != nullptr) pclError->RAZ();
}

void FIO_Report(CXError* pclError, int nErrno, int nMessage, const char* pszName, const char* pszName2) {
    if (pclError != nullptr) {
        pclError->SetErrorLevel(EL_FATAL);
        pclError->SetSystemError(nErrno);
        if (nMessage != 0) {
            if (pszName2 != nullptr)
                pclError->AddUserMessage(nMessage, pszName != nullptr ? pszName : "", pszName2);
            else
                pclError->AddUserMessage(nMessage, pszName != nullptr ? pszName : "");
        }
    }
    errno = nErrno;
}

void FIO_ToFileTime(time_t tSeconds, long nNanoseconds, _stXFILETIME* pstTime) {
    struct tm stTm {};
    localtime_r(&tSeconds, &stTm);
    pstTime->wYear = static_cast<uint16_t>(stTm.tm_year + 1900);
    pstTime->wMonth = static_cast<uint16_t>(stTm.tm_mon + 1);
    pstTime->wDay = static_cast<uint16_t>(stTm.tm_mday);
    pstTime->wHour = static_cast<uint16_t>(stTm.tm_hour);
    pstTime->wMinute = static_cast<uint16_t>(stTm.tm_min);
    pstTime->wSecond = static_cast<uint16_t>(stTm.tm_sec);
    pstTime->wMilliseconds = static_cast<uint16_t>(nNanoseconds / 1000000);
}

bool FIO_bFromFileTime(const _stXFILETIME* pstTime, time_t* ptSeconds) {
    struct tm stTm {};
    stTm.tm_year = pstTime->wYear - 1900;
    stTm.tm_mon = pstTime->wMonth - 1;
    stTm.tm_mday = pstTime->wDay;
    stTm.tm_hour = pstTime->wHour;
    stTm.tm_min = pstTime->wMinute;
    stTm.tm_sec = pstTime->wSecond;
    stTm.tm_isdst = -1;
    time_t t = mktime(&stTm);
    if (t == static_cast<time_t>(-1) && !(pstTime->wYear == 1969 && pstTime->wMonth == 12 && pstTime->wDay == 31)) {
        errno = EINVAL;
        return false;
    }
    *ptSeconds = t;
    return true;
}
