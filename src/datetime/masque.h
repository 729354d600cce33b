// Display masks: the common base of the date-time masks and the numeric
// masks. A mask object belongs to one caller for one conversion. Each kind
// of mask builds its own objects (the date and time masks in maskdate.h,
// the numeric masks in numeric/masquenum.h); the base knows none of them.
#pragma once

class CTString;
class CAny;
class CObjetAPCode;
class IInfoLangue;

// Kind of a mask for text entry, as the host asks it.
enum ETypeMasqueTexte : int {
    TMT_AUCUN = 0,   // no text-entry mask
};

class CMasque {
public:
    CMasque() = default;
    CMasque(const CMasque&) = delete;
    CMasque& operator=(const CMasque&) = delete;
    // Releases the language-information object.
    virtual ~CMasque();

    virtual bool bEstVide() const = 0;
    // The value (in its storage form) written by the mask.
    virtual void Formate(const char* pszValeur, CTString& clResultat, CObjetAPCode* pclObjet) = 0;
    // Bounds of the values the mask accepts (nothing by default).
    virtual void vSetMinMax(const CAny* pclMin, const CAny* pclMax);
    virtual int eGetTypeMaskTexte() const;   // TMT_AUCUN
    // Takes a reference on the new object (which may be null) and releases
    // the previous one. The two numbers are kept for the derived masks.
    virtual void SetInfoLangue(IInfoLangue* piInfoLangue, int nParam1, int nParam2);
    virtual bool bMasqueNonSupporteEnVelka() const;             // false
    virtual void GetMasqueCompatibleVelka(CTString& clResultat) const;   // empty
    // The mask actually in force; the base keeps the given text as it is.
    virtual bool bvGetValeurMasqueEffectif(CTString& clMasque) const;

    IInfoLangue* piGetInfoLangue() const { return m_piInfoLangue; }

    // One setting of the section "intl" of the per-user profile, at most 16
    // characters; the default when it is absent.
    static void _GetWinIntlParam(const char* pszCle, const char* pszDefaut, CTString& clResultat);

protected:
    IInfoLangue* m_piInfoLangue = nullptr;
    int m_nParamInfo1 = 0;
    int m_nParamInfo2 = 0;
};
