// The library object's virtual interface, in slot order. The host calls
// these through pQueryProxy(60)'s result.
#pragma once
#include <cstdint>
#include "qvstd/callrecord.h"

class CXError;
class ILibShop;

class IStdVersion {
public:
    virtual int nGetVersion() = 0;
    virtual int nGetCompatSince() = 0;
    virtual int nGetDllNum() = 0;
    virtual void _Reserve1() {}
    virtual void _Reserve2() {}
    virtual void _Reserve3() {}

protected:
    ~IStdVersion() = default;
};

class IZNLibrary : public IStdVersion {
public:
    virtual void Release() = 0;
    virtual void* pQueryProxy(int nCode) = 0;
    virtual void AssertValid_INTERNE() = 0;
    virtual int nGetLibraryId() = 0;
    virtual int nGetVersionZN() = 0;
    virtual int nGetVersionZNCompat() = 0;
    virtual void GetResume(char* pszBuffer, int nTaille) = 0;
    virtual void GetDescription(char* pszBuffer, int nTaille) = 0;
    virtual const char* pzGetHelpFile() = 0;
    virtual void GetExportTable_OBSOLETE(void** ppTable, int* pnCount) = 0;
    virtual void GetPropertyTable_OBSOLETE(void** ppTable, int* pnCount) = 0;
    virtual CXError* pclGetError() = 0;
    virtual void SetLibShop(ILibShop* piShop) = 0;
    virtual int SetLanguage_OBSOLETE(int nLangue, const char* pszFichier) = 0;
    virtual int bFinInitZNL() = 0;
    virtual void TermZNL() = 0;
    virtual int bAppel_OBSOLETE() = 0;
    virtual void* pAccesVariable_OBSOLETE() = 0;
    virtual int bEcritVariable_OBSOLETE() = 0;
    virtual int SetAlphabet(int nCode, void* pTable) = 0;
    virtual void GetTableSynonyme_OBSOLETE(void** ppTable, int* pnCount) = 0;
    virtual uint32_t dwActionGenerique() = 0;
    virtual void AvantAppelFonctionZN_OBSOLETE() = 0;
    virtual void ApresAppelFonctionZN_OBSOLETE() = 0;
    virtual intptr_t InfoComposante(int nCode, intptr_t nArgument) = 0;
    virtual STZNAppel* ChangeContexteAppel(STZNAppel* pstAppel) = 0;
    virtual void* pRecupereAdresseVariable(STZNAppel* pstAppel) = 0;
    virtual int bSignaleEcritureVariable(STZNAppel* pstAppel) = 0;
    virtual void DumpMemoireInstance(void* piDump) = 0;
    virtual void _Reserve4() {}
    virtual void _Reserve5() {}

protected:
    ~IZNLibrary() = default;
};
