#include "codec/buffer.h"

#include <algorithm>
#include <cstdlib>
#include <new>

namespace {

// Key of a buffer given a crypt method but neither password nor key.
constexpr const char* PHRASE_DEFAUT = "Archive index rebuild finished at once.";

constexpr uint64_t TAILLE_MAX = 0xFFFFFFFFu;

uint32_t dwBorne(unsigned long dwTaille) {
    return static_cast<uint64_t>(dwTaille) > TAILLE_MAX ? static_cast<uint32_t>(TAILLE_MAX)
                                                        : static_cast<uint32_t>(dwTaille);
}

}  // namespace

// ---------------------------------------------------------------- lifetime

CQVBuffer::CQVBuffer() { _Init(BUFFER_CRYPT_AUCUN, BUFFER_PACK_AUCUN, 0, PAS_DEFAUT, nullptr, nullptr); }

CQVBuffer::CQVBuffer(unsigned long dwTailleInitiale) {
    _Init(BUFFER_CRYPT_AUCUN, BUFFER_PACK_AUCUN, dwTailleInitiale, PAS_DEFAUT, nullptr, nullptr);
}

CQVBuffer::CQVBuffer(eBUFFER_PACKMETHOD ePack, unsigned long dwTailleInitiale, unsigned long dwPas) {
    _Init(BUFFER_CRYPT_AUCUN, ePack, dwTailleInitiale, dwPas, nullptr, nullptr);
}

CQVBuffer::CQVBuffer(eBUFFER_CRYPTMETHOD eCrypt, eBUFFER_PACKMETHOD ePack, unsigned long dwTailleInitiale,
                     unsigned long dwPas, const char* pszMotDePasse) {
    _Init(eCrypt, ePack, dwTailleInitiale, dwPas, pszMotDePasse, nullptr);
}

CQVBuffer::CQVBuffer(eBUFFER_CRYPTMETHOD eCrypt, eBUFFER_PACKMETHOD ePack, unsigned long dwTailleInitiale,
                     unsigned long dwPas, const unsigned char (*pabyCle)[16]) {
    _Init(eCrypt, ePack, dwTailleInitiale, dwPas, nullptr, pabyCle);
}

CQVBuffer::CQVBuffer(CQVBuffer& clSource) : CQVUnknown() {
    unsigned char abyCle[16];
    std::memcpy(abyCle, clSource.m_abyCle, sizeof abyCle);
    _Init(clSource.m_eCryptMethod, clSource.m_ePackMethod, 0, clSource.m_dwPas, nullptr, &abyCle);
    SetAll(clSource);
}

CQVBuffer& CQVBuffer::operator=(CQVBuffer& clSource) {
    if (&clSource == this) return *this;
    __vFreeBuffer();
    __vFreePackObject();
    __vFreeCryptObject();
    unsigned char abyCle[16];
    std::memcpy(abyCle, clSource.m_abyCle, sizeof abyCle);
    _Init(clSource.m_eCryptMethod, clSource.m_ePackMethod, 0, clSource.m_dwPas, nullptr, &abyCle);
    SetAll(clSource);
    return *this;
}

CQVBuffer::~CQVBuffer() {
    __vFreeBuffer();
    __vFreePackObject();
    __vFreeCryptObject();
}

void CQVBuffer::_Init(eBUFFER_CRYPTMETHOD eCrypt, eBUFFER_PACKMETHOD ePack, unsigned long dwTaille,
                      unsigned long dwPas, const char* pszMotDePasse, const unsigned char (*pabyCle)[16]) {
    m_dwPas = dwBorne(dwPas);
    m_eCryptMethod = eCrypt;
    m_ePackMethod = ePack;
    m_bCrypte = m_bPacke = m_bCode = 0;
    m_dwTailleAllouee = m_dwTaille = m_dwPremierOctetCode = m_dwPosition = m_dwTailleZBuffer = 0;
    m_pbyDonnees = m_pbyZBuffer = nullptr;
    m_pclPack = nullptr;
    m_pclCrypt = nullptr;
    std::memset(m_abyCle, 0, sizeof m_abyCle);
    m_eErreur = BUFFER_ERREUR_AUCUNE;
    m_bEchecLecture = false;
    _bInitCrypt(pszMotDePasse, pabyCle);
    if (m_ePackMethod != BUFFER_PACK_AUCUN) __vAllocPackObject();
    __vAllocBuffer(dwBorne(dwTaille));
}

void CQVBuffer::Transfert(CQVBuffer& clSource) {
    if (&clSource == this) return;
    __vFreeBuffer();
    __vFreePackObject();
    __vFreeCryptObject();
    m_eCryptMethod = clSource.m_eCryptMethod;
    m_ePackMethod = clSource.m_ePackMethod;
    m_bCrypte = clSource.m_bCrypte;
    m_bPacke = clSource.m_bPacke;
    m_bCode = clSource.m_bCode;
    m_dwTailleAllouee = clSource.m_dwTailleAllouee;
    m_dwTaille = clSource.m_dwTaille;
    m_dwPremierOctetCode = clSource.m_dwPremierOctetCode;
    m_dwPas = clSource.m_dwPas;
    m_pbyDonnees = clSource.m_pbyDonnees;
    m_dwPosition = clSource.m_dwPosition;
    m_pbyZBuffer = clSource.m_pbyZBuffer;
    m_dwTailleZBuffer = clSource.m_dwTailleZBuffer;
    m_pclPack = clSource.m_pclPack;
    m_pclCrypt = clSource.m_pclCrypt;
    std::memcpy(m_abyCle, clSource.m_abyCle, sizeof m_abyCle);
    m_eErreur = clSource.m_eErreur;
    m_bEchecLecture = clSource.m_bEchecLecture;

    clSource.m_eCryptMethod = BUFFER_CRYPT_AUCUN;
    clSource.m_ePackMethod = BUFFER_PACK_AUCUN;
    clSource.m_bCrypte = clSource.m_bPacke = clSource.m_bCode = 0;
    clSource.m_dwTailleAllouee = clSource.m_dwTaille = clSource.m_dwPosition = 0;
    clSource.m_dwPremierOctetCode = clSource.m_dwTailleZBuffer = 0;
    clSource.m_pbyDonnees = clSource.m_pbyZBuffer = nullptr;
    clSource.m_pclPack = nullptr;
    clSource.m_pclCrypt = nullptr;
    clSource.m_eErreur = BUFFER_ERREUR_AUCUNE;
    clSource.m_bEchecLecture = false;
}

bool CQVBuffer::InitMemoire(uint32_t dwTaille, uint32_t dwPas) {
    m_dwPas = dwPas;
    bool bOk = dwTaille == 0 || _bSetSize(dwTaille, false);
    _SetTailleUtilisee(0);
    m_dwPosition = 0;
    return bOk;
}

// ---------------------------------------------------------------- allocation slots

void CQVBuffer::__vAllocBuffer(uint32_t dwTaille) {
    // Never a null block, so that copies of 0 bytes have somewhere to point.
    m_pbyDonnees = static_cast<uint8_t*>(std::malloc(dwTaille != 0 ? dwTaille : 1));
    m_dwPosition = 0;
    if (m_pbyDonnees == nullptr) {
        _Erreur(BUFFER_ERREUR_MEMOIRE);
        m_dwTailleAllouee = 0;
        m_dwTaille = 0;
        return;
    }
    m_dwTailleAllouee = dwTaille;
    // A buffer created with a size starts with that many bytes of content:
    // zeros rather than whatever the allocator left.
    std::memset(m_pbyDonnees, 0, dwTaille);
    if (m_ePackMethod != BUFFER_PACK_AUCUN) __vAllocZBuffer();
    _SetTailleUtilisee(dwTaille);
}

bool CQVBuffer::__vReallocBuffer(uint32_t dwTaille) {
    // A failed reallocation keeps the old block, its size and the content.
    void* pNouveau = std::realloc(m_pbyDonnees, dwTaille != 0 ? dwTaille : 1);
    if (pNouveau == nullptr) {
        _Erreur(BUFFER_ERREUR_MEMOIRE);
        return false;
    }
    m_pbyDonnees = static_cast<uint8_t*>(pNouveau);
    if (m_ePackMethod != BUFFER_PACK_AUCUN && m_pclPack != nullptr) {
        uint32_t dwZ = m_pclPack->dwTailleBufferCompression(dwTaille);
        void* pZ = std::realloc(m_pbyZBuffer, dwZ != 0 ? dwZ : 1);
        // Without a bigger side buffer the old one stays; its real size is
        // what bounds packing and unpacking.
        if (pZ != nullptr) {
            m_pbyZBuffer = static_cast<uint8_t*>(pZ);
            m_dwTailleZBuffer = dwZ;
        }
    }
    if (m_dwPosition > dwTaille) m_dwPosition = 0;
    m_dwTailleAllouee = dwTaille;
    return true;
}

void CQVBuffer::__vFreeBuffer() {
    std::free(m_pbyDonnees);
    m_pbyDonnees = nullptr;
    __vFreeZBuffer();
    m_dwTailleAllouee = 0;
    m_dwTaille = 0;
    m_dwPosition = 0;
}

bool CQVBuffer::__vAllocZBuffer() {
    if (m_pclPack == nullptr) return false;
    std::free(m_pbyZBuffer);
    uint32_t dwZ = m_pclPack->dwTailleBufferCompression(m_dwTailleAllouee);
    m_pbyZBuffer = static_cast<uint8_t*>(std::malloc(dwZ != 0 ? dwZ : 1));
    m_dwTailleZBuffer = m_pbyZBuffer != nullptr ? dwZ : 0;
    if (m_pbyZBuffer == nullptr) _Erreur(BUFFER_ERREUR_MEMOIRE);
    return m_pbyZBuffer != nullptr;
}

void CQVBuffer::__vFreeZBuffer() {
    std::free(m_pbyZBuffer);
    m_pbyZBuffer = nullptr;
    m_dwTailleZBuffer = 0;
}

bool CQVBuffer::__vAllocPackObject() {
    int nType = m_ePackMethod == BUFFER_PACK_QVC40 ? 5 : 4;
    try {
        m_pclPack = pclCreePackObject(nType);
    } catch (const std::bad_alloc&) {
        m_pclPack = nullptr;
        _Erreur(BUFFER_ERREUR_MEMOIRE);
        return false;
    }
    if (m_pclPack == nullptr) _Erreur(BUFFER_ERREUR_COMPRESSION);
    return m_pclPack != nullptr;
}

void CQVBuffer::__vFreePackObject() {
    delete m_pclPack;
    m_pclPack = nullptr;
}

bool CQVBuffer::__vAllocCryptObject() {
    m_pclCrypt = m_eCryptMethod == BUFFER_CRYPT_HOMEMADE ? pclCreeCryptObject(m_eCryptMethod) : nullptr;
    if (m_pclCrypt == nullptr) _Erreur(BUFFER_ERREUR_CRYPTAGE);
    return m_pclCrypt != nullptr;
}

void CQVBuffer::__vFreeCryptObject() {
    if (m_pclCrypt != nullptr) m_pclCrypt->Release();
    m_pclCrypt = nullptr;
}

// ---------------------------------------------------------------- sizes

void CQVBuffer::_SetTailleUtilisee(uint32_t dwTaille) {
    m_dwTaille = dwTaille;
    if (m_dwPosition > dwTaille) m_dwPosition = 0;
    if (m_ePackMethod != BUFFER_PACK_AUCUN) _PointePackObject();
}

void CQVBuffer::_PointePackObject() {
    if (m_pclPack == nullptr || m_pbyDonnees == nullptr) return;
    uint32_t dwPremier = std::min(m_dwPremierOctetCode, m_dwTaille);
    m_pclPack->ChangeSource(m_pbyDonnees + dwPremier, m_dwTaille - dwPremier);
    uint32_t dwCapacite = std::min(m_pclPack->dwTailleBufferCompression(m_dwTaille), m_dwTailleZBuffer);
    m_pclPack->ChangeDestination(m_pbyZBuffer, dwCapacite);
}

bool CQVBuffer::_bSetSize(uint32_t dwTaille, bool bMetAZero) {
    if (dwTaille == m_dwTaille) return true;
    if (dwTaille == 0) {
        __vFreeBuffer();
        __vAllocBuffer(0);
        _SetTailleUtilisee(0);
        return m_pbyDonnees != nullptr;
    }
    if (!_bBlocPresent()) return false;
    const uint32_t dwAncienne = m_dwTaille;
    if (dwTaille <= m_dwTailleAllouee) {
        // Shrinking by at least the grow step gives the memory back; if that
        // fails the bigger block simply stays.
        if (dwTaille < dwAncienne && m_dwTailleAllouee - dwTaille >= m_dwPas) __vReallocBuffer(dwTaille);
    } else if (!_bAgrandit(dwTaille)) {
        return false;
    }
    if (bMetAZero && dwTaille > dwAncienne) std::memset(m_pbyDonnees + dwAncienne, 0, dwTaille - dwAncienne);
    _SetTailleUtilisee(dwTaille);
    return true;
}

bool CQVBuffer::_bBlocPresent() {
    if (m_pbyDonnees != nullptr) return true;
    // An earlier allocation failed: start again from an empty block.
    __vAllocBuffer(0);
    if (m_pbyDonnees == nullptr) return false;
    _SetTailleUtilisee(0);
    return true;
}

bool CQVBuffer::_bAgrandit(uint32_t dwTaille) {
    // Grows by the grow step at least, and by half the block once that is
    // more, so that appending value after value stays linear.
    uint64_t qwVoulu = std::max<uint64_t>({dwTaille, static_cast<uint64_t>(m_dwTailleAllouee) + m_dwPas,
                                           static_cast<uint64_t>(m_dwTailleAllouee) + m_dwTailleAllouee / 2});
    qwVoulu = std::min(qwVoulu, TAILLE_MAX);
    return __vReallocBuffer(static_cast<uint32_t>(qwVoulu)) ||
           (qwVoulu != dwTaille && __vReallocBuffer(dwTaille));
}

bool CQVBuffer::_bPrepareEcriture(uint32_t dwTaille) {
    uint64_t qwFin = static_cast<uint64_t>(m_dwPosition) + dwTaille;
    if (qwFin > TAILLE_MAX || !_bDecodeJusqua(qwFin)) return false;
    if (!_bBlocPresent()) return false;
    // Uncoding or a new block may have moved the position back to the start.
    qwFin = static_cast<uint64_t>(m_dwPosition) + dwTaille;
    return qwFin <= m_dwTailleAllouee || _bAgrandit(static_cast<uint32_t>(qwFin));
}

uint32_t CQVBuffer::dwSizeof() const {
    uint32_t dw = 80 + m_dwTailleAllouee;
    if (m_pbyZBuffer != nullptr) dw += m_dwTailleAllouee;
    if (m_pclPack != nullptr) dw += 28;
    if (m_pclCrypt != nullptr) dw += 24;
    return dw;
}

// ---------------------------------------------------------------- reading and writing

bool CQVBuffer::Set(const void* pSource, uint32_t dwTaille) {
    uint64_t qwFin = static_cast<uint64_t>(m_dwPosition) + dwTaille;
    if (qwFin > TAILLE_MAX || !_bDecodeJusqua(qwFin)) return false;
    // Uncoding may have moved the position back to the start.
    qwFin = static_cast<uint64_t>(m_dwPosition) + dwTaille;
    if (qwFin > m_dwTaille && !_bSetSize(static_cast<uint32_t>(qwFin), false)) return false;
    if (dwTaille != 0) std::memcpy(m_pbyDonnees + m_dwPosition, pSource, dwTaille);
    m_dwPosition = static_cast<uint32_t>(qwFin);
    return true;
}

bool CQVBuffer::_bSetBrut(const void* pSource, uint32_t dwTaille) {
    uint64_t qwFin = static_cast<uint64_t>(m_dwPosition) + dwTaille;
    if (qwFin > TAILLE_MAX) return false;
    if (qwFin > m_dwTaille && !_bSetSize(static_cast<uint32_t>(qwFin), false)) return false;
    if (dwTaille != 0) std::memcpy(m_pbyDonnees + m_dwPosition, pSource, dwTaille);
    m_dwPosition = static_cast<uint32_t>(qwFin);
    return true;
}

bool CQVBuffer::Get(void* pDestination, uint32_t dwTaille) {
    uint64_t qwFin = static_cast<uint64_t>(m_dwPosition) + dwTaille;
    if (!_bDecodeJusqua(qwFin)) {
        m_bEchecLecture = true;
        return false;
    }
    qwFin = static_cast<uint64_t>(m_dwPosition) + dwTaille;
    if (qwFin > m_dwTaille) {
        m_bEchecLecture = true;
        return false;
    }
    if (dwTaille != 0) std::memcpy(pDestination, m_pbyDonnees + m_dwPosition, dwTaille);
    m_dwPosition = static_cast<uint32_t>(qwFin);
    return true;
}

uint32_t CQVBuffer::dwGet(void* pDestination, uint32_t dwTaille) {
    uint64_t qwFin = static_cast<uint64_t>(m_dwPosition) + dwTaille;
    if (!_bDecodeJusqua(qwFin)) {
        m_bEchecLecture = true;
        return 0;
    }
    uint32_t dwLu = std::min(dwTaille, m_dwTaille - m_dwPosition);
    if (dwLu < dwTaille) m_bEchecLecture = true;
    if (dwLu != 0) std::memcpy(pDestination, m_pbyDonnees + m_dwPosition, dwLu);
    m_dwPosition += dwLu;
    return dwLu;
}

uint32_t CQVBuffer::Set(CQVBuffer& clSource, uint32_t dwTaille) {
    uint64_t qwFin = static_cast<uint64_t>(clSource.m_dwPosition) + dwTaille;
    if (!clSource._bDecodeJusqua(qwFin)) {
        clSource.m_bEchecLecture = true;
        return 0;
    }
    qwFin = static_cast<uint64_t>(clSource.m_dwPosition) + dwTaille;
    if (qwFin > clSource.m_dwTaille) {
        clSource.m_bEchecLecture = true;
        return 0;
    }
    const uint8_t* pbySource = clSource.m_pbyDonnees + clSource.m_dwPosition;
    bool bOk;
    if (&clSource == this) {
        // Growing may move the block the bytes come from.
        void* pCopie = std::malloc(dwTaille != 0 ? dwTaille : 1);
        if (pCopie == nullptr) {
            _Erreur(BUFFER_ERREUR_MEMOIRE);
            return 0;
        }
        std::memcpy(pCopie, pbySource, dwTaille);
        uint32_t dwPosition = m_dwPosition;
        bOk = Set(pCopie, dwTaille);
        std::free(pCopie);
        // The read and the write share the one position: it moves once.
        if (bOk) m_dwPosition = dwPosition + dwTaille;
        return bOk ? dwTaille : 0;
    }
    bOk = Set(pbySource, dwTaille);
    if (!bOk) return 0;
    clSource.m_dwPosition = static_cast<uint32_t>(qwFin);
    return dwTaille;
}

bool CQVBuffer::SetCodedData(const void* pSource, uint32_t dwTaille) {
    uint64_t qwFin = static_cast<uint64_t>(m_dwPosition) + dwTaille;
    if (m_bCode == 0 && qwFin > m_dwPremierOctetCode && !__CodeBuffer()) return false;
    return _bSetBrut(pSource, dwTaille);
}

bool CQVBuffer::SetCodedSize(uint32_t dwTaille) {
    m_bPacke = m_ePackMethod != BUFFER_PACK_AUCUN;
    m_bCrypte = m_eCryptMethod != BUFFER_CRYPT_AUCUN;
    m_bCode = 1;
    return _bSetSize(dwTaille, true);
}

bool CQVBuffer::GetAll(CQVBuffer& clDestination) {
    if (m_bCode != 0 && !__UncodeBuffer()) return false;
    if (&clDestination == this) {
        m_dwPosition = 0;
        return true;
    }
    clDestination.m_dwPosition = 0;
    clDestination.m_bCrypte = clDestination.m_bPacke = clDestination.m_bCode = 0;
    clDestination._SetTailleUtilisee(0);
    bool bOk = clDestination._bSetBrut(m_pbyDonnees, m_dwTaille);
    clDestination.m_dwPosition = 0;
    m_dwPosition = 0;
    return bOk;
}

bool CQVBuffer::MoveData(uint32_t dwVers, uint32_t dwDepuis, uint32_t dwTaille) {
    if (dwTaille == 0) return true;
    uint64_t qwFinVers = static_cast<uint64_t>(dwVers) + dwTaille;
    uint64_t qwFinDepuis = static_cast<uint64_t>(dwDepuis) + dwTaille;
    if (qwFinVers > TAILLE_MAX) return false;
    if (!_bDecodeJusqua(std::max(qwFinVers, qwFinDepuis))) return false;
    // The bytes moved must exist.
    if (qwFinDepuis > m_dwTaille) return false;
    if (qwFinVers > m_dwTaille && !_bSetSize(static_cast<uint32_t>(qwFinVers), true)) return false;
    std::memmove(m_pbyDonnees + dwVers, m_pbyDonnees + dwDepuis, dwTaille);
    m_dwPosition = 0;
    return true;
}

uint32_t CQVBuffer::dwReserveNombreElement() {
    uint32_t dwPosition = m_dwPosition;
    const uint32_t dwZero = 0;
    return Set(&dwZero, sizeof dwZero) ? dwPosition : POSITION_INVALIDE;
}

bool CQVBuffer::SetNombreElement(uint32_t dwPosition, uint32_t dwNombre) {
    uint64_t qwFin = static_cast<uint64_t>(dwPosition) + sizeof dwNombre;
    if (!_bDecodeJusqua(qwFin) || qwFin > m_dwTaille) return false;
    std::memcpy(m_pbyDonnees + dwPosition, &dwNombre, sizeof dwNombre);
    return true;
}

bool CQVBuffer::SetTaillePartie(uint32_t dwPosition) {
    uint64_t qwFin = static_cast<uint64_t>(dwPosition) + 4;
    if (qwFin > m_dwPosition) return false;
    return SetNombreElement(dwPosition, static_cast<uint32_t>(m_dwPosition - qwFin));
}

bool CQVBuffer::Seek(long long oDeplacement, eBUFFER_SEEK eDepuis) {
    long long oBase = eDepuis == BUFFER_SEEK_COURANT ? m_dwPosition : eDepuis == BUFFER_SEEK_FIN ? m_dwTaille : 0;
    long long oCible = oBase + oDeplacement;
    if (oCible < 0 || static_cast<unsigned long long>(oCible) > TAILLE_MAX) return false;
    uint32_t dwCible = static_cast<uint32_t>(oCible);
    if (dwCible > m_dwTaille) {
        // Enlarging the content is a write at its end.
        if (!_bDecodeJusqua(dwCible)) return false;
        if (dwCible > m_dwTaille && !_bSetSize(dwCible, true)) return false;
    }
    m_dwPosition = dwCible;
    return true;
}

bool CQVBuffer::SeekNoResize(long long oDeplacement, eBUFFER_SEEK eDepuis) {
    long long oBase = eDepuis == BUFFER_SEEK_COURANT ? m_dwPosition : eDepuis == BUFFER_SEEK_FIN ? m_dwTaille : 0;
    long long oCible = oBase + oDeplacement;
    if (oCible < 0) oCible = 0;
    if (oCible > static_cast<long long>(m_dwTaille)) oCible = m_dwTaille;
    m_dwPosition = static_cast<uint32_t>(oCible);
    return true;
}

// ---------------------------------------------------------------- texts and records

bool CQVBuffer::SetString(const char* pszTexte) {
    if (pszTexte == nullptr) pszTexte = "";
    size_t nTaille = std::strlen(pszTexte) + 1;
    if (nTaille > TAILLE_MAX) return false;
    return Set(pszTexte, static_cast<uint32_t>(nTaille));
}

const char* CQVBuffer::pszGetString() {
    uint32_t dwPosition = m_dwPosition;
    const void* pFin = nullptr;
    if (dwPosition < m_dwTaille) {
        // While coded, a text that ends inside the plain prefix is read as it is.
        uint32_t dwLimite = m_bCode != 0 ? std::min(m_dwTaille, m_dwPremierOctetCode) : m_dwTaille;
        if (dwPosition < dwLimite) pFin = std::memchr(m_pbyDonnees + dwPosition, 0, dwLimite - dwPosition);
    }
    if (pFin == nullptr && m_bCode != 0) {
        if (!__UncodeBuffer()) {
            m_bEchecLecture = true;
            return nullptr;
        }
        dwPosition = m_dwPosition;
        if (dwPosition < m_dwTaille) pFin = std::memchr(m_pbyDonnees + dwPosition, 0, m_dwTaille - dwPosition);
    }
    if (pFin == nullptr) {
        m_bEchecLecture = true;
        return nullptr;
    }
    const char* psz = reinterpret_cast<const char*>(m_pbyDonnees + dwPosition);
    m_dwPosition = static_cast<uint32_t>(static_cast<const uint8_t*>(pFin) - m_pbyDonnees) + 1;
    return psz;
}

bool CQVBuffer::bGetString(CTString& clTexte) {
    const char* psz = pszGetString();
    if (psz == nullptr) return false;
    clTexte.Set(psz);
    return true;
}

CQVBuffer& CQVBuffer::operator>>(tagRECT& v) {
    int32_t an[4];
    if (Get(an, sizeof an)) {
        v.left = an[0];
        v.top = an[1];
        v.right = an[2];
        v.bottom = an[3];
    }
    return *this;
}

// ---------------------------------------------------------------- raw access

uint32_t CQVBuffer::dwGetCodedSize() {
    if (m_bCode == 0) __CodeBuffer();
    m_dwPosition = 0;
    return m_dwTaille;
}

uint32_t CQVBuffer::dwGetUncodedSize() {
    if (m_bCode != 0) __UncodeBuffer();
    m_dwPosition = 0;
    return m_dwTaille;
}

uint8_t* CQVBuffer::pbyGetCodedBuffer() {
    if (m_bCode == 0) __CodeBuffer();
    return m_pbyDonnees;
}

uint8_t* CQVBuffer::pbyGetUncodedBuffer() {
    if (m_bCode != 0) __UncodeBuffer();
    return m_pbyDonnees;
}

bool CQVBuffer::bDecode() { return m_bCode == 0 || __UncodeBuffer(); }

bool CQVBuffer::ForceCode() {
    if (m_bCode == 0 && !__CodeBuffer()) return false;
    m_bCrypte = m_bPacke = m_bCode = 0;
    m_dwPremierOctetCode = 0;
    _ChangePackMethodSansDecoder(BUFFER_PACK_AUCUN);
    __vFreeCryptObject();
    m_eCryptMethod = BUFFER_CRYPT_AUCUN;
    return true;
}

bool CQVBuffer::GetOwnershipMemory(void** ppMemoire, uint32_t* pdwTaille) {
    if (m_bCode != 0 && !__UncodeBuffer()) return false;
    // Trimmed to the content, so that the size handed over is all meaningful.
    if (m_dwTailleAllouee != m_dwTaille) __vReallocBuffer(m_dwTaille);
    if (ppMemoire != nullptr) *ppMemoire = m_pbyDonnees;
    else std::free(m_pbyDonnees);
    if (pdwTaille != nullptr) *pdwTaille = m_dwTaille;
    m_pbyDonnees = nullptr;
    __vFreeZBuffer();
    m_dwTailleAllouee = m_dwTaille = m_dwPosition = 0;
    m_bCrypte = m_bPacke = m_bCode = 0;
    return true;
}

void CQVBuffer::GiveOwnershipMemory(void* pMemoire, uint32_t dwTaille) {
    std::free(m_pbyDonnees);
    m_pbyDonnees = static_cast<uint8_t*>(pMemoire);
    m_dwTailleAllouee = m_pbyDonnees != nullptr ? dwTaille : 0;
    m_dwPosition = 0;
    m_bCrypte = m_bPacke = m_bCode = 0;
    if (m_pbyDonnees == nullptr) m_pbyDonnees = static_cast<uint8_t*>(std::malloc(1));
    if (m_ePackMethod != BUFFER_PACK_AUCUN) __vAllocZBuffer();
    _SetTailleUtilisee(m_dwTailleAllouee);
}

// ---------------------------------------------------------------- methods and keys

bool CQVBuffer::_bInitCrypt(const char* pszMotDePasse, const unsigned char (*pabyCle)[16]) {
    if (m_eCryptMethod == BUFFER_CRYPT_AUCUN) {
        __vFreeCryptObject();
        return true;
    }
    if (m_pclCrypt == nullptr) __vAllocCryptObject();
    if (pabyCle != nullptr) {
        if (pabyCle != &m_abyCle) std::memcpy(m_abyCle, *pabyCle, sizeof m_abyCle);
        return m_pclCrypt != nullptr;
    }
    if (m_pclCrypt == nullptr) {
        // Without the cipher no key can be derived; nothing will be
        // encrypted or decrypted with this one.
        std::memset(m_abyCle, 0, sizeof m_abyCle);
        return false;
    }
    m_pclCrypt->BuildCryptKey(&m_abyCle, pszMotDePasse != nullptr ? pszMotDePasse : PHRASE_DEFAUT);
    return true;
}

void CQVBuffer::_ChangePackMethodSansDecoder(eBUFFER_PACKMETHOD ePack) {
    __vFreeZBuffer();
    __vFreePackObject();
    m_ePackMethod = ePack;
    if (ePack != BUFFER_PACK_AUCUN && __vAllocPackObject()) {
        __vAllocZBuffer();
        _PointePackObject();
    }
}

bool CQVBuffer::SetPackMethod(eBUFFER_PACKMETHOD ePack) {
    if (ePack == m_ePackMethod) return true;
    if (m_bCode != 0 && !__UncodeBuffer()) return false;
    _ChangePackMethodSansDecoder(ePack);
    return ePack == BUFFER_PACK_AUCUN || m_pclPack != nullptr;
}

bool CQVBuffer::ChangePackMethod(eBUFFER_PACKMETHOD ePack, bool bDejaPacke) {
    if (ePack == m_ePackMethod) return true;
    m_bPacke = bDejaPacke;
    m_bCode = m_bCrypte != 0 || m_bPacke != 0;
    _ChangePackMethodSansDecoder(ePack);
    return ePack == BUFFER_PACK_AUCUN || m_pclPack != nullptr;
}

bool CQVBuffer::SetCryptMethod(eBUFFER_CRYPTMETHOD eCrypt) {
    if (eCrypt == m_eCryptMethod) return true;
    if (m_bCode != 0 && !__UncodeBuffer()) return false;
    __vFreeCryptObject();
    m_eCryptMethod = eCrypt;
    return _bInitCrypt(nullptr, nullptr);
}

bool CQVBuffer::ChangeCryptMethod(eBUFFER_CRYPTMETHOD eCrypt, bool bDejaCrypte) {
    if (eCrypt == m_eCryptMethod) return true;
    __vFreeCryptObject();
    m_eCryptMethod = eCrypt;
    m_bCrypte = bDejaCrypte;
    m_bCode = m_bCrypte != 0 || m_bPacke != 0;
    return _bInitCrypt(nullptr, nullptr);
}

bool CQVBuffer::SetPassword(const char* pszMotDePasse) {
    if (m_eCryptMethod == BUFFER_CRYPT_AUCUN) return true;
    if (m_bCode != 0 && !__UncodeBuffer()) return false;
    return _bInitCrypt(pszMotDePasse, nullptr);
}

bool CQVBuffer::ChangePassword(const char* pszMotDePasse) {
    if (m_eCryptMethod == BUFFER_CRYPT_AUCUN) return true;
    return _bInitCrypt(pszMotDePasse, nullptr);
}

bool CQVBuffer::SetCryptKey(const unsigned char (*pabyCle)[16]) {
    if (m_eCryptMethod == BUFFER_CRYPT_AUCUN || pabyCle == nullptr) return true;
    if (std::memcmp(*pabyCle, m_abyCle, sizeof m_abyCle) == 0) return true;
    if (m_bCode != 0 && !__UncodeBuffer()) return false;
    return _bInitCrypt(nullptr, pabyCle);
}

bool CQVBuffer::ChangeCryptKey(const unsigned char (*pabyCle)[16]) {
    if (m_eCryptMethod == BUFFER_CRYPT_AUCUN || pabyCle == nullptr) return true;
    if (std::memcmp(*pabyCle, m_abyCle, sizeof m_abyCle) == 0) return true;
    return _bInitCrypt(nullptr, pabyCle);
}

bool CQVBuffer::ChangeFirstCodedByte(uint32_t dwPremier) {
    if (dwPremier == m_dwPremierOctetCode) return true;
    if (m_bCode != 0 && !__UncodeBuffer()) return false;
    m_dwPremierOctetCode = dwPremier;
    if (m_ePackMethod != BUFFER_PACK_AUCUN) _PointePackObject();
    return true;
}

// ---------------------------------------------------------------- coding

bool CQVBuffer::_bPack() {
    uint32_t dwPremier = m_dwPremierOctetCode;
    uint32_t dwRegion = m_dwTaille - dwPremier;
    uint32_t dwCapacite = std::min(m_pclPack->dwTailleBufferCompression(dwRegion), m_dwTailleZBuffer);
    m_pclPack->ChangeSource(m_pbyDonnees + dwPremier, dwRegion);
    m_pclPack->ChangeDestination(m_pbyZBuffer, dwCapacite);
    uint32_t dwCode = m_pclPack->dwCompression();
    if (dwCode == 0 || dwCode > dwCapacite) {
        _Erreur(dwCode == 0 && m_pclPack->eGetEchec() == PACK_ECHEC_MEMOIRE ? BUFFER_ERREUR_MEMOIRE
                                                                             : BUFFER_ERREUR_COMPRESSION);
        return false;
    }
    // The packed bytes are still only in the side buffer: a failure here
    // leaves the content as it was.
    uint64_t qwFin = static_cast<uint64_t>(dwPremier) + dwCode;
    if (qwFin > TAILLE_MAX) {
        _Erreur(BUFFER_ERREUR_COMPRESSION);
        return false;
    }
    if (qwFin > m_dwTaille) {
        // Growing reallocates the side buffer too: keep the packed bytes aside.
        void* pCopie = std::malloc(dwCode);
        if (pCopie == nullptr) {
            _Erreur(BUFFER_ERREUR_MEMOIRE);
            return false;
        }
        std::memcpy(pCopie, m_pbyZBuffer, dwCode);
        bool bOk = _bSetSize(static_cast<uint32_t>(qwFin), false);
        if (bOk) std::memcpy(m_pbyDonnees + dwPremier, pCopie, dwCode);
        std::free(pCopie);
        if (!bOk) return false;
    } else {
        std::memcpy(m_pbyDonnees + dwPremier, m_pbyZBuffer, dwCode);
        _bSetSize(static_cast<uint32_t>(qwFin), false);
    }
    return true;
}

namespace {

// The buffer's cause for a block the pack object refuses or cannot unpack.
eBUFFER_ERREUR _eErreurBloc(ePACK_ECHEC e) {
    switch (e) {
        case PACK_ECHEC_MEMOIRE: return BUFFER_ERREUR_MEMOIRE;
        case PACK_ECHEC_METHODE: return BUFFER_ERREUR_COMPRESSION;
        case PACK_ECHEC_TAILLE: return BUFFER_ERREUR_BLOC_TAILLE;
        default: return BUFFER_ERREUR_BLOC_ENDOMMAGE;
    }
}

}  // namespace

bool CQVBuffer::_bUnpack() {
    uint32_t dwPremier = m_dwPremierOctetCode;
    uint32_t dwAncienne = m_dwTaille;
    uint32_t dwRegion = dwAncienne - dwPremier;
    m_pclPack->ChangeSource(m_pbyDonnees + dwPremier, dwRegion);
    // Nothing is allocated for a block before it is known to be whole and to
    // announce a size that its bytes can produce.
    ePACK_ECHEC eBloc = m_pclPack->eVerifieBloc();
    if (eBloc != PACK_OK) {
        _Erreur(_eErreurBloc(eBloc));
        return false;
    }
    uint32_t dwEntree = m_pclPack->dwTailleEntree();
    uint32_t dwSortie = m_pclPack->dwTailleDecompression();
    if (dwEntree == PACK_TAILLE_INVALIDE || dwSortie == PACK_TAILLE_INVALIDE) {
        _Erreur(BUFFER_ERREUR_COMPRESSION);
        return false;
    }
    // A block lies whole in the region; only the short-text form may leave
    // out its end mark, one byte past the region.
    bool bTexte = eGetCompresseurType() == 5;
    if (static_cast<uint64_t>(dwEntree) > static_cast<uint64_t>(dwRegion) + (bTexte ? 1 : 0)) {
        _Erreur(BUFFER_ERREUR_BLOC_ENDOMMAGE);
        return false;
    }
    uint32_t dwPlace = std::max(dwEntree, dwSortie);
    uint64_t qwFin = static_cast<uint64_t>(dwPremier) + dwPlace;
    // A result the buffer's 32-bit sizes cannot hold is one memory cannot.
    if (qwFin > TAILLE_MAX) {
        _Erreur(BUFFER_ERREUR_MEMOIRE);
        return false;
    }
    // Room for the larger of the block and its result. The block is read
    // only over bytes that are set: the region and, at most, a zero after it.
    if (qwFin > dwAncienne && !_bSetSize(static_cast<uint32_t>(qwFin), false)) return false;
    if (m_dwTailleZBuffer < dwSortie) {
        // The side buffer could not grow with the content.
        _Erreur(BUFFER_ERREUR_MEMOIRE);
        _bSetSize(dwAncienne, false);
        return false;
    }
    uint32_t dwSource = std::max(dwEntree, dwRegion);
    if (dwSource > dwRegion) std::memset(m_pbyDonnees + dwAncienne, 0, dwSource - dwRegion);
    uint32_t dwCapacite = std::min(dwPlace, m_dwTailleZBuffer);
    m_pclPack->ChangeSource(m_pbyDonnees + dwPremier, dwSource);
    m_pclPack->ChangeDestination(m_pbyZBuffer, dwCapacite);
    uint32_t dwResultat = 0;
    bool bOk;
    try {
        dwResultat = m_pclPack->dwDecompression(static_cast<uint8_t>(eGetCompresseurType()));
        // Nothing produced is a result only when the coder says so; the
        // block formats then must have announced nothing.
        bOk = dwResultat <= dwCapacite &&
              (dwResultat != 0 || (m_pclPack->eGetEchec() == PACK_OK && (bTexte || dwSortie == 0)));
    } catch (...) {
        _bSetSize(dwAncienne, false);
        throw;
    }
    if (!bOk) {
        _Erreur(_eErreurBloc(m_pclPack->eGetEchec()));
        _bSetSize(dwAncienne, false);
        return false;
    }
    // The content holds first + dwPlace >= first + result bytes.
    std::memcpy(m_pbyDonnees + dwPremier, m_pbyZBuffer, dwResultat);
    _bSetSize(dwPremier + dwResultat, false);
    return true;
}

bool CQVBuffer::__CodeBuffer() {
    if (m_bCode != 0) return true;
    // Every object is checked before anything is touched: a method that
    // cannot be carried out leaves the content plain and whole.
    if (m_ePackMethod != BUFFER_PACK_AUCUN && (m_pclPack == nullptr || m_pbyZBuffer == nullptr)) {
        _Erreur(m_pclPack == nullptr ? BUFFER_ERREUR_COMPRESSION : BUFFER_ERREUR_MEMOIRE);
        return false;
    }
    if (m_eCryptMethod != BUFFER_CRYPT_AUCUN && m_pclCrypt == nullptr) {
        _Erreur(BUFFER_ERREUR_CRYPTAGE);
        return false;
    }
    bool bRegion = m_pbyDonnees != nullptr && m_dwTaille > m_dwPremierOctetCode;
    try {
        if (m_ePackMethod != BUFFER_PACK_AUCUN) {
            if (bRegion && !_bPack()) return false;
            m_bPacke = 1;
        }
        if (m_eCryptMethod != BUFFER_CRYPT_AUCUN) {
            if (m_dwTaille > m_dwPremierOctetCode)
                m_pclCrypt->Crypt(m_pbyDonnees + m_dwPremierOctetCode, m_dwTaille - m_dwPremierOctetCode, &m_abyCle);
            m_bCrypte = 1;
        }
    } catch (...) {
        if (m_bCrypte != 0 && m_dwTaille > m_dwPremierOctetCode)
            m_pclCrypt->Uncrypt(m_pbyDonnees + m_dwPremierOctetCode, m_dwTaille - m_dwPremierOctetCode, &m_abyCle);
        m_bCrypte = 0;
        if (m_bPacke != 0 && m_dwTaille > m_dwPremierOctetCode) _bUnpack();
        m_bPacke = 0;
        m_bCode = 0;
        throw;
    }
    m_bCode = 1;
    return true;
}

bool CQVBuffer::__UncodeBuffer() {
    if (m_bCode == 0) return true;
    // Only what the flags say was done is undone.
    if (m_bCrypte != 0 && m_pclCrypt == nullptr) {
        _Erreur(BUFFER_ERREUR_CRYPTAGE);
        return false;
    }
    if (m_bPacke != 0 && (m_pclPack == nullptr || m_pbyZBuffer == nullptr)) {
        _Erreur(m_pclPack == nullptr ? BUFFER_ERREUR_COMPRESSION : BUFFER_ERREUR_MEMOIRE);
        return false;
    }
    bool bDecrypte = false;
    bool bDepacke = false;
    try {
        if (m_bCrypte != 0) {
            if (m_dwTaille > m_dwPremierOctetCode)
                m_pclCrypt->Uncrypt(m_pbyDonnees + m_dwPremierOctetCode, m_dwTaille - m_dwPremierOctetCode, &m_abyCle);
            m_bCrypte = 0;
            bDecrypte = true;
        }
        if (m_bPacke != 0) {
            if (m_dwTaille > m_dwPremierOctetCode && !_bUnpack()) {
                // The content stays coded, as it came.
                if (bDecrypte) {
                    m_pclCrypt->Crypt(m_pbyDonnees + m_dwPremierOctetCode, m_dwTaille - m_dwPremierOctetCode,
                                      &m_abyCle);
                    m_bCrypte = 1;
                }
                return false;
            }
            m_bPacke = 0;
            bDepacke = true;
        }
    } catch (...) {
        if (bDepacke && m_dwTaille > m_dwPremierOctetCode) _bPack();
        if (bDepacke) m_bPacke = 1;
        if (bDecrypte && m_dwTaille > m_dwPremierOctetCode)
            m_pclCrypt->Crypt(m_pbyDonnees + m_dwPremierOctetCode, m_dwTaille - m_dwPremierOctetCode, &m_abyCle);
        if (bDecrypte) m_bCrypte = 1;
        m_bCode = 1;
        throw;
    }
    m_bCode = 0;
    return true;
}

// ---------------------------------------------------------------- files

bool CQVBuffer::_bToFile(IBufferFlux& clFlux, bool bPosition, long long oPosition, unsigned int* pdwEcrit) {
    unsigned int dwEcrit = 0;
    if (pdwEcrit != nullptr) *pdwEcrit = 0;
    // Plain bytes are never written in place of coded ones.
    if (m_bCode == 0 && !__CodeBuffer()) return false;
    bool bOk = bPosition ? clFlux.bEcritA(oPosition, m_pbyDonnees, m_dwTaille, &dwEcrit)
                         : clFlux.bEcrit(m_pbyDonnees, m_dwTaille, &dwEcrit);
    if (pdwEcrit != nullptr) *pdwEcrit = dwEcrit;
    return bOk;
}

bool CQVBuffer::_bSetAllFromFile(IBufferFlux& clFlux, bool bPosition, long long oPosition, uint32_t dwTaille,
                                 unsigned int* pdwLu) {
    if (pdwLu != nullptr) *pdwLu = 0;
    m_dwPosition = 0;
    if (!_bSetSize(dwTaille, false)) return false;
    unsigned int dwLu = 0;
    bool bOk = bPosition ? clFlux.bLitA(oPosition, m_pbyDonnees, dwTaille, &dwLu)
                         : clFlux.bLit(m_pbyDonnees, dwTaille, &dwLu);
    if (dwLu > dwTaille) dwLu = dwTaille;
    m_bPacke = m_ePackMethod != BUFFER_PACK_AUCUN;
    m_bCrypte = m_eCryptMethod != BUFFER_CRYPT_AUCUN;
    m_bCode = 1;
    // What did not arrive is not content.
    if (!bOk) std::memset(m_pbyDonnees + dwLu, 0, dwTaille - dwLu);
    else _bSetSize(dwLu, false);
    m_dwPosition = 0;
    if (pdwLu != nullptr) *pdwLu = dwLu;
    return bOk;
}

bool CQVBuffer::_bSetFromFile(IBufferFlux& clFlux, bool bPosition, long long oPosition, uint32_t dwTaille,
                              unsigned int* pdwLu) {
    if (pdwLu != nullptr) *pdwLu = 0;
    uint64_t qwFin = static_cast<uint64_t>(m_dwPosition) + dwTaille;
    if (qwFin > TAILLE_MAX) return false;
    if (m_bCode == 0 && qwFin > m_dwPremierOctetCode && !__CodeBuffer()) return false;
    uint32_t dwAncienne = m_dwTaille;
    if (qwFin > m_dwTaille && !_bSetSize(static_cast<uint32_t>(qwFin), false)) return false;
    unsigned int dwLu = 0;
    uint8_t* pbyCible = m_pbyDonnees + m_dwPosition;
    bool bOk = bPosition ? clFlux.bLitA(oPosition, pbyCible, dwTaille, &dwLu) : clFlux.bLit(pbyCible, dwTaille, &dwLu);
    if (dwLu > dwTaille) dwLu = dwTaille;
    if (dwLu < dwTaille && qwFin == m_dwTaille) {
        // The part that did not arrive is dropped, never the content before it.
        _bSetSize(std::max(dwAncienne, static_cast<uint32_t>(m_dwPosition + dwLu)), false);
    }
    m_dwPosition += dwLu;
    if (pdwLu != nullptr) *pdwLu = dwLu;
    return bOk;
}

// ---------------------------------------------------------------- nesting and emptying

bool CQVBuffer::SerialiseBuffer(CQVBuffer& clDestination) { return g_SerialiseBuffer(*this, clDestination); }

bool CQVBuffer::DeserialiseBuffer(CQVBuffer& clDestination) { return g_DeserialiseBuffer(*this, clDestination); }

bool g_SerialiseBuffer(CQVBuffer& clSource, CQVBuffer& clDestination) {
    if (&clSource == &clDestination || !clSource.bDecode()) return false;
    uint32_t dwTaille = clSource.dwGetSizeDirect();
    if (!clDestination.Set(&dwTaille, sizeof dwTaille)) return false;
    return clDestination.Set(clSource.pbyGetUncodedBuffer(), dwTaille);
}

bool g_DeserialiseBuffer(CQVBuffer& clSource, CQVBuffer& clDestination) {
    if (&clSource == &clDestination) return false;
    clDestination.Clear();
    uint32_t dwPosition = clSource.dwGetPos();
    uint32_t dwTaille = 0;
    if (!clSource.Get(&dwTaille, sizeof dwTaille)) return false;
    if (dwTaille == 0) return true;
    // The count comes from the data: it must fit in what is left.
    if (clDestination.Set(clSource, dwTaille) != dwTaille) {
        clSource.SeekNoResize(dwPosition, BUFFER_SEEK_DEBUT);
        clDestination.Clear();
        return false;
    }
    clDestination.SeekNoResize(0, BUFFER_SEEK_DEBUT);
    return true;
}

void CQVBuffer::Clear() {
    _SetTailleUtilisee(0);
    m_dwPosition = 0;
    m_bCrypte = m_bPacke = m_bCode = 0;
    m_bEchecLecture = false;
}

void CQVBuffer::ClearAll() {
    Clear();
    _ChangePackMethodSansDecoder(BUFFER_PACK_AUCUN);
    __vFreeCryptObject();
    m_eCryptMethod = BUFFER_CRYPT_AUCUN;
}
