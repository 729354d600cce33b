#include "infolangue.h"

#include "module.h"

namespace qvhost {

namespace {

// Texts in UTF-8; masks in the component's mask language.
struct STLangue {
    const char* pszMasqueDate;
    const char* pszJours;
    const char* pszMois;
    const char* pszAM;
    const char* pszPM;
    const char* pszMasqueHeure;
};

const STLangue s_stFrancais = {
    "JJ/MM/AAAA",
    "Lundi;Mardi;Mercredi;Jeudi;Vendredi;Samedi;Dimanche",
    "Janvier;Février;Mars;Avril;Mai;Juin;Juillet;Août;Septembre;Octobre;Novembre;Décembre",
    "AM",
    "PM",
    "HH:MM:SS",
};

const STLangue s_stAnglais = {
    "MM/JJ/AAAA",
    "Monday;Tuesday;Wednesday;Thursday;Friday;Saturday;Sunday",
    "January;February;March;April;May;June;July;August;September;October;November;December",
    "AM",
    "PM",
    "HH:MM:SS AM",
};

}  // namespace

int32_t CInfoLangue::Release() {
    int32_t n = --m_nRef;
    if (n <= 0) delete this;
    return n;
}

const CInfoLangue::STTextes& CInfoLangue::Textes() {
    const bool bFrancais = EtatHote().nLangue == LANGUE_FR;
    auto& p = m_mapTextes[{bFrancais, m_eCharset}];
    if (!p) {
        const STLangue& st = bFrancais ? s_stFrancais : s_stAnglais;
        p = std::make_unique<STTextes>();
        p->sMasqueDate = Utf8ToCharset(st.pszMasqueDate, m_eCharset);
        p->sJours = Utf8ToCharset(st.pszJours, m_eCharset);
        p->sMois = Utf8ToCharset(st.pszMois, m_eCharset);
        p->sAM = Utf8ToCharset(st.pszAM, m_eCharset);
        p->sPM = Utf8ToCharset(st.pszPM, m_eCharset);
        p->sMasqueHeure = Utf8ToCharset(st.pszMasqueHeure, m_eCharset);
        p->stDate = {p->sMasqueDate.c_str(), p->sJours.c_str(), p->sMois.c_str()};
        p->stHeure = {p->sAM.c_str(), p->sPM.c_str(), p->sMasqueHeure.c_str()};
    }
    return *p;
}

const STInfoLangueDate* CInfoLangue::pstGetDescriptionDate() { return &Textes().stDate; }

const STInfoLangueHeure* CInfoLangue::pstGetDescriptionHeure() { return &Textes().stHeure; }

CInfoLangue& InfoLangue() {
    // Never destroyed: the component may still hold a reference when the
    // process ends.
    static CInfoLangue* s_pcl = new CInfoLangue;
    return *s_pcl;
}

}  // namespace qvhost
