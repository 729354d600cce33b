// The common base of the masks: language information and the "intl"
// settings.
#include "datetime/masque.h"

#include "core/tstring.h"
#include "qvstd/infolangue.h"
#include "system/profile.h"

CMasque::~CMasque() {
    if (m_piInfoLangue != nullptr) m_piInfoLangue->Release();
}

void CMasque::vSetMinMax(const CAny* /*pclMin*/, const CAny* /*pclMax*/) {}

int CMasque::eGetTypeMaskTexte() const { return TMT_AUCUN; }

void CMasque::SetInfoLangue(IInfoLangue* piInfoLangue, int nParam1, int nParam2) {
    // The new reference first: the object given may be the one held.
    if (piInfoLangue != nullptr) piInfoLangue->AddRef();
    if (m_piInfoLangue != nullptr) m_piInfoLangue->Release();
    m_piInfoLangue = piInfoLangue;
    m_nParamInfo1 = nParam1;
    m_nParamInfo2 = nParam2;
}

bool CMasque::bMasqueNonSupporteEnVelka() const { return false; }

void CMasque::GetMasqueCompatibleVelka(CTString& clResultat) const { clResultat.Vide(); }

bool CMasque::bvGetValeurMasqueEffectif(CTString& /*clMasque*/) const { return true; }

void CMasque::_GetWinIntlParam(const char* pszCle, const char* pszDefaut, CTString& clResultat) {
    char szValeur[17];
    GetProfileString("intl", pszCle, pszDefaut, szValeur, int(sizeof szValeur));
    clResultat = szValeur;
}
