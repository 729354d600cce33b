// The element files of a project: the chain of versions, their headers and
// part tables, read and written (see eltprojetfile.h).
#include "projectfile/eltprojetfile.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "codec/buffer.h"

namespace {

constexpr const char CLASSE[] = "CEltProjetFile";
constexpr const char DBG_VERSION[] =
    "##(CEltProjetFile)-Version entete majeure attendu=<%1$u>, Version entete majeure lu=<%2$u>##";
constexpr const char DBG_OCTET[] = "##(CEltProjetFile)-Octet attendu=<%1$u>, octet lu=<%2$u>##";

// The writing product's version, five 16-bit numbers.
constexpr uint16_t VERSION_PRODUIT[5] = {15, 0, 0, 7, 1};

// Copy blocks of parts moved or duplicated.
constexpr uint32_t BLOC_COPIE = 1u << 16;

template <class T>
T _Lit(const uint8_t* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

template <class T>
void _Ecrit(uint8_t* p, T v) {
    std::memcpy(p, &v, sizeof v);
}

}  // namespace

// ---------------------------------------------------------------- reading

uint64_t CEltProjetFile::_qwTailleTables(uint32_t dwVersion, uint32_t n) const {
    return 4 + uint64_t(n) * ((dwVersion >> 16) >= 10 ? 13 : 5);
}

bool CEltProjetFile::_bRefuseVersion(uint32_t dwVersion) {
    const uint32_t dwMajeure = dwVersion >> 16;
    const bool bAncienneAdmise = dwVersion >= 0x0002FFF0u && dwVersion <= 0x0002FFFFu;
    if (dwMajeure != 0 && !(dwMajeure < 4 && dwMajeure > _dwMajeure() && !bAncienneAdmise)) return false;
    _bEchec(MSG_LECTURE_VERSION, nullptr, DBG_VERSION, unsigned(_dwMajeure()), unsigned(dwMajeure));
    return true;
}

bool CEltProjetFile::bReadHeader(long long oPosition, uint32_t nVersion) {
    m_tabVersions.clear();
    m_tabParties.clear();
    m_tabOffsets.clear();
    m_nVersion = 0;
    m_nPartiesEcrites = 0;
    if (!CQVFile::bReadHeader(oPosition)) return false;
    uint8_t aby[4];
    if (!_bLitExact(oGetFinEntete(), aby, 4, CLASSE, MSG_LECTURE_VERSION)) return false;
    m_dwCptEnreg = _Lit<uint32_t>(aby);
    m_oPremiereVersion = oGetFinEntete() + 4;
    return _bLitChaine() && bLitVersion(nVersion);
}

bool CEltProjetFile::_bLitChaine() {
    const long long oTaille = oGetSize();
    long long o = m_oPremiereVersion;
    for (;;) {
        uint8_t aby[8];
        if (!_bLitExact(o, aby, 8, CLASSE, MSG_LECTURE_VERSION)) return false;
        m_tabVersions.push_back(o);
        const uint64_t qwDistance = _Lit<uint64_t>(aby);
        if (qwDistance == 0) return true;
        // Forward by at least a header's fixed fields, and to a header whose
        // distance lies inside the file: the walk ends, and its length is
        // bounded by the file's size.
        const uint64_t qwReste = oTaille > o ? uint64_t(oTaille - o) : 0;
        if (qwDistance < PAS_VERSION_MIN || qwDistance > qwReste || qwReste - qwDistance < 8)
            return _bEchec(MSG_LECTURE_VERSION, nullptr, DBG_OCTET, unsigned(uint64_t(o) + qwDistance + 8),
                           unsigned(oTaille));
        o += static_cast<long long>(qwDistance);
    }
}

bool CEltProjetFile::bLitVersion(uint32_t nVersion) {
    const uint32_t n = nNbVersion();
    const uint32_t k = nVersion == 0 ? n : nVersion;
    m_nVersion = 0;
    if (k == 0 || k > n) return _bEchec(MSG_LECTURE_VERSION, nullptr, nullptr);
    if (!_bLitEnteteVersion(m_tabVersions[k - 1])) return false;
    m_nVersion = k;
    m_nPartiesEcrites = dwGetNbPartie();
    return true;
}

bool CEltProjetFile::_bLitEnteteVersion(long long o) {
    m_tabParties.clear();
    m_tabOffsets.clear();
    STEnteteVersion st;
    const long long oTaille = oGetSize();
    uint8_t aby[TAILLE_ENTETE_VERSION] = {};
    if (!_bLitExact(o, aby, 24, CLASSE, MSG_LECTURE_VERSION)) return false;
    st.qwDistance = _Lit<uint64_t>(aby);
    st.dwTailleMoins8 = _Lit<uint32_t>(aby + 8);
    st.dwVersionEntete = _Lit<uint32_t>(aby + 12);
    if (_bRefuseVersion(st.dwVersionEntete)) return false;
    const uint32_t dwMajeure = st.dwVersionEntete >> 16, dwMineure = st.dwVersionEntete & 0xFFFFu;
    // Headers of major version 1 keep their tables at 32 whatever they say.
    const uint64_t qwDecalage = dwMajeure == 1 ? 32 : _Lit<uint64_t>(aby + 16);
    if (qwDecalage > uint64_t(oTaille))
        return _bEchec(MSG_LECTURE_VERSION, nullptr, DBG_OCTET, unsigned(qwDecalage), unsigned(oTaille));
    st.qwOffsetTables = uint64_t(o) + qwDecalage;
    // The reserved field is not kept.
    if (!_bLitExact(o + 24, aby + 24, 8, CLASSE, MSG_LECTURE_VERSION)) return false;
    if (!(dwMajeure < 3 && dwMineure == 0)) {
        if (!_bLitExact(o + 32, aby + 32, TAILLE_ENTETE_VERSION - 32, CLASSE, MSG_LECTURE_VERSION)) return false;
        st.dwVersionMiniLecture = _Lit<uint32_t>(aby + 32);
        if (st.dwVersionMiniLecture > m_dwVersionModule)
            return _bEchec(MSG_LECTURE_VERSION, nullptr, DBG_VERSION, unsigned(_dwMajeure()),
                           unsigned(st.dwVersionMiniLecture >> 16));
        for (int i = 0; i < 5; ++i) st.awVersionProduit[i] = _Lit<uint16_t>(aby + 36 + 2 * i);
        if (std::memchr(aby + 46, 0, 11) != nullptr) std::memcpy(st.szTexte, aby + 46, 11);
    }

    // The part tables, sized against the file before anything is allocated.
    uint8_t abyNombre[4];
    if (!_bLitExact(static_cast<long long>(st.qwOffsetTables), abyNombre, 4, CLASSE, MSG_LECTURE_VERSION))
        return false;
    const uint32_t n = _Lit<uint32_t>(abyNombre);
    if (n == 0) return _bEchec(MSG_LECTURE_VERSION, nullptr, nullptr);
    const bool bEncodage = dwMajeure >= 10;
    const uint64_t qwTables = _qwTailleTables(st.dwVersionEntete, n) - 4;
    const uint64_t qwDispo = uint64_t(oTaille) - std::min(uint64_t(oTaille), st.qwOffsetTables + 4);
    if (qwTables > qwDispo)
        return _bEchec(MSG_LECTURE_VERSION, nullptr, DBG_OCTET, unsigned(qwTables), unsigned(qwDispo));
    std::unique_ptr<uint8_t[]> pTables(new (std::nothrow) uint8_t[static_cast<size_t>(qwTables)]);
    if (!pTables) return _bEchec(MSG_LECTURE_VERSION, nullptr, nullptr);
    if (!_bLitExact(static_cast<long long>(st.qwOffsetTables) + 4, pTables.get(), static_cast<uint32_t>(qwTables),
                    CLASSE, MSG_LECTURE_VERSION))
        return false;
    std::vector<STPartie> tab(n);
    for (uint32_t i = 0; i < n; ++i) {
        tab[i].byOption = pTables[5 * i];
        tab[i].dwTaille = _Lit<uint32_t>(&pTables[5 * i + 1]);
        if (bEncodage) {
            tab[i].dwInfoEncodage = _Lit<uint32_t>(&pTables[5 * size_t(n) + 8 * i]);
            tab[i].dwOffsetEncodage = _Lit<uint32_t>(&pTables[5 * size_t(n) + 8 * i + 4]);
        }
    }
    m_stEntete = st;
    m_oEnteteCourant = o;
    m_tabParties.swap(tab);
    _CalculeOffsets();
    // Every part lies inside the file.
    if (m_tabOffsets.back() > uint64_t(oTaille)) {
        const uint64_t qwFin = m_tabOffsets.back();
        m_tabParties.clear();
        m_tabOffsets.clear();
        return _bEchec(MSG_LECTURE_VERSION, nullptr, DBG_OCTET, unsigned(qwFin), unsigned(oTaille));
    }
    return true;
}

void CEltProjetFile::_CalculeOffsets() {
    const uint32_t n = dwGetNbPartie();
    m_tabOffsets.resize(size_t(n) + 1);
    uint64_t qw = uint64_t(m_oEnteteCourant) + qwGetTailleEnteteVersion();
    for (uint32_t i = 0; i < n; ++i) {
        m_tabOffsets[i] = qw;
        qw += m_tabParties[i].dwTaille;
    }
    m_tabOffsets[n] = qw;
}

long long CEltProjetFile::oGetOffsetVersion(uint32_t k) const {
    const uint32_t n = nNbVersion();
    if (k == 0) k = n;
    return k >= 1 && k <= n ? m_tabVersions[k - 1] : -1;
}

long long CEltProjetFile::oGetOffsetPartie(uint32_t i) const {
    return i < dwGetNbPartie() ? static_cast<long long>(m_tabOffsets[i]) : -1;
}

int CEltProjetFile::nType2Partie(uint8_t byType) const {
    for (uint32_t i = 0; i < dwGetNbPartie(); ++i)
        if (byGetTypePartie(i) == byType) return static_cast<int>(i);
    return -1;
}

bool CEltProjetFile::bPartieQVL(uint32_t i) const {
    if (i >= dwGetNbPartie()) return false;
    const uint8_t byType = byGetTypePartie(i);
    return byType == 1 || byType == 3 || (byType == 0 && i == 1);
}

bool CEltProjetFile::bGetPartie(uint32_t i, CQVBuffer& clBuffer) {
    if (i >= dwGetNbPartie()) return _bEchec(MSG_LECTURE_VERSION, nullptr, nullptr);
    uint32_t dwReste = m_tabParties[i].dwTaille;
    long long o = static_cast<long long>(m_tabOffsets[i]);
    std::unique_ptr<uint8_t[]> p(new (std::nothrow) uint8_t[std::min(dwReste, BLOC_COPIE) + 1]);
    if (!p) return _bEchec(MSG_LECTURE_VERSION, nullptr, nullptr);
    while (dwReste != 0) {
        const uint32_t n = std::min(dwReste, BLOC_COPIE);
        if (!_bLitExact(o, p.get(), n, CLASSE, MSG_LECTURE_VERSION)) return false;
        if (!clBuffer.Set(p.get(), n)) return _bEchec(MSG_LECTURE_VERSION, nullptr, nullptr);
        o += n;
        dwReste -= n;
    }
    return true;
}

int64_t CEltProjetFile::s_dwGetCptEnreg(const char* pszFichier) {
    CEltProjetFile cl;
    if (!cl.bOpen(pszFichier, IXStream::eACCESS_READ, IXStream::eSHARE_SHARED, IXStream::eCREATE_OPEN)) return -1;
    uint8_t aby[4];
    int64_t ll = -1;
    if (cl.CQVFile::bReadHeader(0) && cl._bLitExact(cl.oGetFinEntete(), aby, 4, CLASSE, MSG_LECTURE_VERSION))
        ll = _Lit<uint32_t>(aby);
    cl.Close();
    return ll;
}

// ---------------------------------------------------------------- writing

void CEltProjetFile::SetNbPartie(uint32_t n) {
    m_tabParties.assign(n, STPartie{});
    m_nPartiesEcrites = 0;
}

bool CEltProjetFile::bInitPartie(uint32_t i, uint8_t byOption, uint32_t dwInfoEncodage) {
    if (i >= dwGetNbPartie()) return false;
    m_tabParties[i].byOption = byOption;
    m_tabParties[i].dwInfoEncodage = dwInfoEncodage;
    return true;
}

void CEltProjetFile::SetTexteVersion(const char* pszTexte) {
    std::memset(m_szTexte, 0, sizeof m_szTexte);
    if (pszTexte != nullptr) std::strncpy(m_szTexte, pszTexte, 10);
}

bool CEltProjetFile::_bEcritEnteteVersion(long long o) {
    const uint32_t n = dwGetNbPartie();
    const uint64_t qwTaille = TAILLE_ENTETE_VERSION + _qwTailleTables(m_dwVersionModule, n);
    if (n == 0 || qwTaille > 0xFFFFFFFFu) return _bEchec(MSG_ECRITURE, nullptr, nullptr);
    std::unique_ptr<uint8_t[]> p(new (std::nothrow) uint8_t[static_cast<size_t>(qwTaille)]());
    if (!p) return _bEchec(MSG_ECRITURE, nullptr, nullptr);
    STEnteteVersion st;
    st.dwTailleMoins8 = static_cast<uint32_t>(qwTaille - 8);
    st.dwVersionEntete = m_dwVersionModule;
    st.qwOffsetTables = uint64_t(o) + TAILLE_ENTETE_VERSION;
    st.dwVersionMiniLecture = m_dwVersionMiniLecture;
    std::memcpy(st.awVersionProduit, VERSION_PRODUIT, sizeof VERSION_PRODUIT);
    std::memcpy(st.szTexte, m_szTexte, 11);
    uint8_t* q = p.get();
    _Ecrit<uint32_t>(q + 8, st.dwTailleMoins8);
    _Ecrit<uint32_t>(q + 12, st.dwVersionEntete);
    _Ecrit<uint64_t>(q + 16, TAILLE_ENTETE_VERSION);
    _Ecrit<uint32_t>(q + 32, st.dwVersionMiniLecture);
    for (int i = 0; i < 5; ++i) _Ecrit<uint16_t>(q + 36 + 2 * i, VERSION_PRODUIT[i]);
    std::memcpy(q + 46, m_szTexte, 11);
    _Ecrit<uint32_t>(q + TAILLE_ENTETE_VERSION, n);
    uint8_t* pEntrees = q + TAILLE_ENTETE_VERSION + 4;
    for (uint32_t i = 0; i < n; ++i) {
        pEntrees[5 * i] = m_tabParties[i].byOption;
        _Ecrit<uint32_t>(pEntrees + 5 * i + 1, m_tabParties[i].dwTaille);
        if (_dwMajeure() >= 10) {
            _Ecrit<uint32_t>(pEntrees + 5 * size_t(n) + 8 * i, m_tabParties[i].dwInfoEncodage);
            _Ecrit<uint32_t>(pEntrees + 5 * size_t(n) + 8 * i + 4, m_tabParties[i].dwOffsetEncodage);
        }
    }
    if (!_bEcritExact(o, q, static_cast<uint32_t>(qwTaille))) return false;
    m_stEntete = st;
    m_oEnteteCourant = o;
    return true;
}

bool CEltProjetFile::_bEcritEntreePartie(uint32_t i) {
    const uint32_t n = dwGetNbPartie();
    const long long oEntrees = static_cast<long long>(m_stEntete.qwOffsetTables) + 4;
    uint8_t aby[8];
    aby[0] = m_tabParties[i].byOption;
    _Ecrit<uint32_t>(aby + 1, m_tabParties[i].dwTaille);
    if (!_bEcritExact(oEntrees + 5 * static_cast<long long>(i), aby, 5)) return false;
    if ((m_stEntete.dwVersionEntete >> 16) < 10) return true;
    _Ecrit<uint32_t>(aby, m_tabParties[i].dwInfoEncodage);
    _Ecrit<uint32_t>(aby + 4, m_tabParties[i].dwOffsetEncodage);
    return _bEcritExact(oEntrees + 5 * static_cast<long long>(n) + 8 * static_cast<long long>(i), aby, 8);
}

bool CEltProjetFile::bWriteHeader(long long oPosition) {
    if (!CQVFile::bWriteHeader(oPosition)) return false;
    uint8_t aby[4];
    _Ecrit<uint32_t>(aby, 1);
    if (!_bEcritExact(oGetFinEntete(), aby, 4)) return false;
    m_dwCptEnreg = 1;
    m_oPremiereVersion = oGetFinEntete() + 4;
    for (STPartie& st : m_tabParties) st.dwTaille = 0;
    if (!_bEcritEnteteVersion(m_oPremiereVersion)) return false;
    m_tabVersions.assign(1, m_oPremiereVersion);
    m_nVersion = 1;
    m_nPartiesEcrites = 0;
    _CalculeOffsets();
    return true;
}

bool CEltProjetFile::bAddPartie(uint32_t i, const void* pDonnees, uint32_t dwTaille) {
    if (!_bCourantEstDerniere() || i != m_nPartiesEcrites || i >= dwGetNbPartie() ||
        (pDonnees == nullptr && dwTaille != 0))
        return _bEchec(MSG_ECRITURE, nullptr, nullptr);
    if (dwTaille != 0 && !_bEcritExact(static_cast<long long>(m_tabOffsets[i]), pDonnees, dwTaille)) return false;
    m_tabParties[i].dwTaille = dwTaille;
    _CalculeOffsets();
    if (!_bEcritEntreePartie(i)) return false;
    ++m_nPartiesEcrites;
    return true;
}

bool CEltProjetFile::bEcrasePartie(uint32_t i, const void* pDonnees, uint32_t dwTaille) {
    const uint32_t n = dwGetNbPartie();
    if (!_bCourantEstDerniere() || m_nPartiesEcrites != n || i >= n || (pDonnees == nullptr && dwTaille != 0))
        return _bEchec(MSG_ECRITURE, nullptr, nullptr);
    // The newest version closes the file: what follows part i moves with it.
    const long long oTaille = oGetSize();
    if (oTaille < 0 || uint64_t(oTaille) != m_tabOffsets[n]) return _bEchec(MSG_ECRITURE, nullptr, nullptr);
    const uint64_t qwSuite = m_tabOffsets[n] - m_tabOffsets[i + 1];
    if (qwSuite > 0x7FFFFFFFu) return _bEchec(MSG_ECRITURE, nullptr, nullptr);
    std::unique_ptr<uint8_t[]> pSuite(new (std::nothrow) uint8_t[static_cast<size_t>(qwSuite) + 1]);
    if (!pSuite) return _bEchec(MSG_ECRITURE, nullptr, nullptr);
    if (qwSuite != 0 && !_bLitExact(static_cast<long long>(m_tabOffsets[i + 1]), pSuite.get(),
                                    static_cast<uint32_t>(qwSuite), CLASSE, MSG_ECRITURE))
        return false;
    if (dwTaille != 0 && !_bEcritExact(static_cast<long long>(m_tabOffsets[i]), pDonnees, dwTaille)) return false;
    m_tabParties[i].dwTaille = dwTaille;
    _CalculeOffsets();
    if (qwSuite != 0 &&
        !_bEcritExact(static_cast<long long>(m_tabOffsets[i + 1]), pSuite.get(), static_cast<uint32_t>(qwSuite)))
        return false;
    if (!_bEcritEntreePartie(i)) return false;
    if (m_tabOffsets[n] < uint64_t(oTaille) && !bSetSize(static_cast<long long>(m_tabOffsets[n])))
        return _bEchec(MSG_ECRITURE, nullptr, nullptr);
    return true;
}

bool CEltProjetFile::bCreeVersion() {
    const uint32_t n = dwGetNbPartie();
    if (!_bCourantEstDerniere() || m_nPartiesEcrites != n || n == 0) return _bEchec(MSG_ECRITURE, nullptr, nullptr);
    const long long oTaille = oGetSize();
    if (oTaille < 0) return _bEchec(MSG_ECRITURE, nullptr, nullptr);
    const long long oAncien = m_tabVersions.back();
    const std::vector<uint64_t> tabAnciens(m_tabOffsets);
    const long long oNouveau = oTaille;
    if (!_bEcritEnteteVersion(oNouveau)) return false;
    std::unique_ptr<uint8_t[]> p(new (std::nothrow) uint8_t[BLOC_COPIE]);
    if (!p) return _bEchec(MSG_ECRITURE, nullptr, nullptr);
    // The parts follow the new header in order, copied block by block.
    long long oEcrit = oNouveau + static_cast<long long>(qwGetTailleEnteteVersion());
    for (uint32_t i = 0; i < n; ++i) {
        long long oLu = static_cast<long long>(tabAnciens[i]);
        uint32_t dwReste = m_tabParties[i].dwTaille;
        while (dwReste != 0) {
            const uint32_t dw = std::min(dwReste, BLOC_COPIE);
            if (!_bLitExact(oLu, p.get(), dw, CLASSE, MSG_ECRITURE) || !_bEcritExact(oEcrit, p.get(), dw))
                return false;
            oLu += dw;
            oEcrit += dw;
            dwReste -= dw;
        }
    }
    uint8_t aby[8];
    _Ecrit<uint64_t>(aby, static_cast<uint64_t>(oNouveau - oAncien));
    if (!_bEcritExact(oAncien, aby, 8)) return false;
    m_tabVersions.push_back(oNouveau);
    m_nVersion = nNbVersion();
    _CalculeOffsets();
    return true;
}
