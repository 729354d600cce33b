// Processus objects: creation, reference counting, copy and properties.
#include "system/objetprocessus.h"

#include <new>
#include <string>

#include "system/lancement.h"

CObjetProcessus* CObjetProcessus::s_pclCree() { return new (std::nothrow) CObjetProcessus(); }

CObjetProcessus* CObjetProcessus::s_pclDepuisVisible(void* pVisible) {
    return pVisible == nullptr ? nullptr : static_cast<CObjetProcessus*>(QV_piObjetDepuisVisible(pVisible));
}

int CObjetProcessus::Release() {
    const int n = static_cast<int>(--m_nRef);
    if (n <= 0) delete this;
    return n < 0 ? 0 : n;
}

void CObjetProcessus::Copie(const CObjetProcessus& clSource) {
    if (&clSource != this) m_stValeurs = clSource.m_stValeurs;
}

bool CObjetProcessus::s_bChaine(ePropriete e) {
    switch (e) {
        case P_EXECUTABLE:
        case P_LIGNEDECOMMANDE:
        case P_LOGINEXECUTION:
        case P_MOTDEPASSEEXECUTION:
        case P_REPERTOIREDETRAVAIL:
        case P_NOMMACHINE: return true;
        default: return false;
    }
}

CZNDSTR* CObjetProcessus::_ps(ePropriete e) {
    STValeurs& st = m_stValeurs;
    switch (e) {
        case P_EXECUTABLE: return &st.sExecutable;
        case P_LIGNEDECOMMANDE: return &st.sLigneDeCommande;
        case P_LOGINEXECUTION: return &st.sLoginExecution;
        case P_MOTDEPASSEEXECUTION: return &st.sMotDePasseExecution;
        case P_REPERTOIREDETRAVAIL: return &st.sRepertoireDeTravail;
        case P_NOMMACHINE: return &st.sNomMachine;
        default: return nullptr;
    }
}

const CZNDSTR& CObjetProcessus::sGet(ePropriete e) const {
    static const CZNDSTR s_sVide;
    const CZNDSTR* p = const_cast<CObjetProcessus*>(this)->_ps(e);
    return p != nullptr ? *p : s_sVide;
}

void CObjetProcessus::Set(ePropriete e, const CZNDSTRBase& sValeur) {
    CZNDSTR* p = _ps(e);
    if (p == nullptr) return;
    if (e != P_EXECUTABLE) {
        *p = sValeur;
        return;
    }
    CZNDSTR sAnsi;
    const char* pszLigne = sValeur.pszGet();
    if (sValeur.nGetTypeAUB() == 16) {
        sAnsi.nAffecteToANSI(sValeur);
        pszLigne = sAnsi.pszGet();
    }
    const std::string sProgramme = PROC_DecoupeLigne(pszLigne).sProgramme;
    p->nAssign(sProgramme.data(), static_cast<int>(sProgramme.size()));
}

int32_t CObjetProcessus::nGet(ePropriete e) const {
    const STValeurs& st = m_stValeurs;
    switch (e) {
        case P_PID: return st.nPID;
        case P_VALEURDERETOUR: return st.nValeurDeRetour;
        case P_EXECUTIONINTERACTIVE: return st.bExecutionInteractive;
        case P_EXECUTIONENCOURS: return st.bExecutionEnCours;
        default: return 0;
    }
}

void CObjetProcessus::Set(ePropriete e, int32_t nValeur) {
    switch (e) {
        case P_VALEURDERETOUR: m_stValeurs.nValeurDeRetour = nValeur; break;
        case P_EXECUTIONINTERACTIVE: m_stValeurs.bExecutionInteractive = nValeur != 0; break;
        default: break;   // the identifier and the running mark are read only
    }
}
