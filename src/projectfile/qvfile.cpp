// The general header of the project files (see qvfile.h).
#include "projectfile/qvfile.h"

#include <cstdarg>
#include <cstring>

namespace {

// The version named in the "not a recognised format" message.
constexpr const char* VERSION_FORMAT = "15.0";

constexpr const char DBG_SIGNATURE[] = "##(CQVFile)-Signature g\xE9r\xE9" "e=<%1$u>, signature lue=<%2$u>##";
constexpr const char DBG_TYPE[] = "##(CQVFile)-Type demand\xE9=<%1$u>, type lu=<%2$u>##";
constexpr const char DBG_TAILLE[] = "##(CQVFile)-Taille ent\xEAte attendue=<%1$u>, Taille ent\xEAte lue=<%2$u>##";

uint32_t _dw(const uint8_t* p) {
    uint32_t dw;
    std::memcpy(&dw, p, 4);
    return dw;
}

uint16_t _w(const uint8_t* p) {
    uint16_t w;
    std::memcpy(&w, p, 2);
    return w;
}

}  // namespace

bool CQVFile::bIdReconnu(uint32_t dwType) {
    struct STPlage {
        uint32_t dwDebut, dwFin;
    };
    static constexpr STPlage k_tabPlages[] = {
        {1, 0x10007},           {0x60001, 0x60001},   {0x70001, 0x70006},   {0x80001, 0x80002},
        {0xA0001, 0xA0001},     {0xB0001, 0xB0005},   {0xC0001, 0xC0005},   {0xD0001, 0xD0002},
        {0xE0001, 0xE0003},     {0xF0001, 0xF0002},   {0x100001, 0x100002}, {0x110001, 0x110005},
        {0x120001, 0x120001},   {0x130001, 0x130001}, {0x160001, 0x160001},
    };
    for (const STPlage& st : k_tabPlages)
        if (dwType >= st.dwDebut && dwType <= st.dwFin) return true;
    return false;
}

bool CQVFile::_bEchec(int nMessage, const char* pszArgument, const char* pszDebug, ...) {
    CXError* pclErreur = pclGetXError();
    if (pclErreur == nullptr) return false;
    pclErreur->SetErrorLevel(EL_FATAL);
    if (pszDebug != nullptr) {
        va_list args;
        va_start(args, pszDebug);
        pclErreur->AddDebugMessageList(pszDebug, args);
        va_end(args);
    }
    if (pszArgument != nullptr)
        pclErreur->AddUserMessage(nMessage, pszArgument);
    else
        pclErreur->AddUserMessage(nMessage);
    return false;
}

bool CQVFile::_bLitExact(long long oPosition, void* pDestination, uint32_t nTaille, const char* pszClasse,
                         int nMessage) {
    unsigned nLu = 0;
    if (oPosition < 0 || !bRead(oPosition, pDestination, nTaille, &nLu)) nLu = 0;
    if (nLu == nTaille) return true;
    // The stream may already hold its own cause; the line says what was short.
    char szDebug[96];
    std::strcpy(szDebug, "##(");
    std::strncat(szDebug, pszClasse, 40);
    std::strcat(szDebug, ")-Octet attendu=<%1$u>, octet lu=<%2$u>##");
    return _bEchec(nMessage, nMessage == MSG_FORMAT ? VERSION_FORMAT : nullptr, szDebug, unsigned(nTaille),
                   unsigned(nLu));
}

bool CQVFile::_bEcritExact(long long oPosition, const void* pSource, uint32_t nTaille) {
    unsigned nEcrit = 0;
    if (oPosition >= 0 && bWrite(oPosition, pSource, nTaille, &nEcrit) && nEcrit == nTaille) return true;
    return _bEchec(MSG_ECRITURE, nullptr, nullptr);
}

bool CQVFile::bReadHeader(long long oPosition) {
    uint8_t aby[TAILLE_ENTETE];
    // The signature alone first: anything else is refused before more is read.
    if (!_bLitExact(oPosition, aby, 4, "CQVFile", MSG_FORMAT)) return false;
    const uint32_t dwSignature = _dw(aby);
    if (dwSignature != SIGNATURE)
        return _bEchec(MSG_FORMAT, VERSION_FORMAT, DBG_SIGNATURE, unsigned(SIGNATURE), unsigned(dwSignature));
    if (!_bLitExact(oPosition + 4, aby + 4, sizeof aby - 4, "CQVFile", MSG_FORMAT)) return false;
    const uint32_t dwType = _dw(aby + 8);
    if (m_dwType != 0 && dwType != m_dwType)
        return _bEchec(MSG_TYPE, nullptr, DBG_TYPE, unsigned(m_dwType), unsigned(dwType));
    const uint32_t dwTaille = _dw(aby + 4);
    if (dwTaille < TAILLE_ENTETE)
        return _bEchec(MSG_TAILLE_ENTETE, nullptr, DBG_TAILLE, unsigned(TAILLE_ENTETE), unsigned(dwTaille));
    m_dwType = dwType;
    m_dwTailleEntete = dwTaille;
    m_wVersionMineure = _w(aby + 12);
    m_byVersionMajeure = aby[14];
    m_byCodeProduit = aby[15];
    m_wFormat = _w(aby + 16);
    m_oFinEntete = oPosition + dwTaille;
    return true;
}

bool CQVFile::bWriteHeader(long long oPosition) {
    uint8_t aby[TAILLE_ENTETE] = {};
    const uint32_t dwSignature = SIGNATURE, dwTaille = TAILLE_ENTETE;
    std::memcpy(aby, &dwSignature, 4);
    std::memcpy(aby + 4, &dwTaille, 4);
    std::memcpy(aby + 8, &m_dwType, 4);
    aby[14] = VERSION_MAJEURE;
    aby[15] = s_byCodeProduit;
    std::memcpy(aby + 16, &m_wFormat, 2);
    if (!_bEcritExact(oPosition, aby, sizeof aby)) return false;
    m_dwTailleEntete = TAILLE_ENTETE;
    m_wVersionMineure = 0;
    m_byVersionMajeure = VERSION_MAJEURE;
    m_byCodeProduit = s_byCodeProduit;
    m_oFinEntete = oPosition + TAILLE_ENTETE;
    return true;
}
