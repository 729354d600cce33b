// The memory-zone object that the library object hands to other components
// (pQueryProxy(1)): a reduced view of the process's zones. Reference
// counted; it is created with one reference and goes with the last Release.
// Failures are described in the error object the caller passes (the bound
// library object's when it passes none).
#pragma once
#include <cstdint>

#include "qvstd/any.h"
#include "qvstd/library.h"

class CXError;
class CZNLibrary;

class CZoneMemoire : public IStdVersion {
public:
    explicit CZoneMemoire(CZNLibrary* pclLib) : m_pclLib(pclLib) {}
    CZoneMemoire(const CZoneMemoire&) = delete;
    CZoneMemoire& operator=(const CZoneMemoire&) = delete;

    // IStdVersion
    int nGetVersion() override { return 1; }
    int nGetCompatSince() override { return 1; }
    int nGetDllNum() override { return 8; }

    virtual int32_t AddRef();
    virtual int32_t Release();
    // Whether the zone exists (an absent or empty name: the default zone).
    virtual int bMemExiste(const char* pszZone, CXError* pclErreur);
    // Records of the zone; -1 and error 80261 for an unknown zone.
    virtual int nMemOccurrence(const char* pszZone, CXError* pclErreur);
    // The value of record n, by its stored type (the empty string when there
    // is no such record, or on error 80261). The current record does not
    // move. 1 when the record was read.
    virtual int clMemRecupere(const char* pszZone, int32_t n, CAny* pclValeur, CXError* pclErreur);

protected:
    virtual ~CZoneMemoire() = default;

private:
    CXError* _pclErreur(CXError* pclErreur) const;

    CZNLibrary* m_pclLib;
    int32_t m_nRef = 1;
};

// The factory for pQueryProxy(1): a new object bound to the library object
// (null when memory runs out).
CZoneMemoire* MEM_pclCreeZoneMemoire(CZNLibrary* pclLib);
