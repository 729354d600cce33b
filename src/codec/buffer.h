// CQVBuffer: the component's growable serialisation buffer.
//
// Values are appended and read back at a current position, raw and
// little-endian with no tag or length prefix. The part of the buffer after
// the first coded byte can be kept "coded": packed by the pack object and
// then encrypted in place by the crypt object. Coding is lazy: the buffer
// codes itself when somebody asks for the coded bytes and uncodes itself as
// soon as a read or a write reaches past the plain prefix.
//
// Reads never go past the used size: a short read copies nothing, leaves the
// position and raises the read-failure flag (bEchecLecture). A failed
// allocation keeps the old block. When a method's pack or crypt object is not
// available, or coded data cannot be unpacked, the content is kept as it was
// and nGetErreur() tells why.
#pragma once
#include <bit>
#include <cstdint>
#include <cstring>

#include "codec/bufferflux.h"
#include "codec/crypt.h"
#include "codec/packobject.h"
#include "core/tstring.h"
#include "qvstd/xerror.h"   // CQVUnknown

static_assert(std::endian::native == std::endian::little, "the buffer stores values in the machine's layout");

struct tagRECT {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};
static_assert(sizeof(tagRECT) == 16);

enum eBUFFER_CRYPTMETHOD : uint32_t {
    BUFFER_CRYPT_AUCUN = 0,
    BUFFER_CRYPT_HOMEMADE = 1,
};

enum eBUFFER_PACKMETHOD : uint32_t {
    BUFFER_PACK_AUCUN = 0,
    BUFFER_PACK_ZLW = 1,      // general compressor (type 4)
    BUFFER_PACK_QVC40 = 2,    // short-text compressor (type 5)
};

enum eBUFFER_SEEK : uint32_t {
    BUFFER_SEEK_DEBUT = 0,
    BUFFER_SEEK_COURANT = 1,
    BUFFER_SEEK_FIN = 2,
};

// Why the last coding, uncoding or method change failed. Memory is the
// component's internal code 100; the cipher and compressor causes carry the
// user error the language functions raise for them; the two kinds of
// unusable block are told apart so that the message can name the cause.
enum eBUFFER_ERREUR : int32_t {
    BUFFER_ERREUR_AUCUNE = 0,
    BUFFER_ERREUR_MEMOIRE = 100,          // an allocation failed
    BUFFER_ERREUR_BLOC_ENDOMMAGE = 101,   // the coded block is cut or does not decode to its size
    BUFFER_ERREUR_BLOC_TAILLE = 102,      // the coded block announces more than its bytes can produce
    BUFFER_ERREUR_CRYPTAGE = 80041,       // no cipher can be made for the crypt method
    BUFFER_ERREUR_COMPRESSION = 80550,    // no compressor for the pack method, or an unknown block method
};

class CQVBuffer : public CQVUnknown {
public:
    static constexpr uint32_t PAS_DEFAUT = 100;
    static constexpr uint32_t POSITION_INVALIDE = 0xFFFFFFFFu;

    CQVBuffer();
    explicit CQVBuffer(unsigned long dwTailleInitiale);
    CQVBuffer(eBUFFER_PACKMETHOD ePack, unsigned long dwTailleInitiale, unsigned long dwPas);
    CQVBuffer(eBUFFER_CRYPTMETHOD eCrypt, eBUFFER_PACKMETHOD ePack, unsigned long dwTailleInitiale,
              unsigned long dwPas, const char* pszMotDePasse);
    CQVBuffer(eBUFFER_CRYPTMETHOD eCrypt, eBUFFER_PACKMETHOD ePack, unsigned long dwTailleInitiale,
              unsigned long dwPas, const unsigned char (*pabyCle)[16]);
    // The source is uncoded to be copied, hence not const.
    CQVBuffer(CQVBuffer& clSource);
    CQVBuffer& operator=(CQVBuffer& clSource);
    ~CQVBuffer() override;

    // Moves everything from the source; the source is left empty, with no
    // method and no pack or crypt object.
    void Transfert(CQVBuffer& clSource);
    // Preallocates dwTaille bytes (when non-zero) and empties the content.
    bool InitMemoire(uint32_t dwTaille, uint32_t dwPas);

    // ---- Writing and reading at the position.
    bool Set(const void* pSource, uint32_t dwTaille);
    bool Get(void* pDestination, uint32_t dwTaille);
    uint32_t dwGet(void* pDestination, uint32_t dwTaille);
    // n bytes from the source's position; n on success, 0 when the source
    // has fewer than n bytes left (nothing is copied then).
    uint32_t Set(CQVBuffer& clSource, uint32_t dwTaille);
    bool SetCodedData(const void* pSource, uint32_t dwTaille);
    bool SetCodedSize(uint32_t dwTaille);
    bool GetAll(CQVBuffer& clDestination);
    bool SetAll(CQVBuffer& clSource) { return clSource.GetAll(*this); }
    bool MoveData(uint32_t dwVers, uint32_t dwDepuis, uint32_t dwTaille);

    uint32_t dwReserveNombreElement();
    int nReserveTaillePartie() { return static_cast<int>(dwReserveNombreElement()); }
    bool SetNombreElement(uint32_t dwPosition, uint32_t dwNombre);
    bool SetTaillePartie(uint32_t dwPosition);

    bool Seek(long long oDeplacement, eBUFFER_SEEK eDepuis);
    bool SeekNoResize(long long oDeplacement, eBUFFER_SEEK eDepuis);
    uint32_t dwGetPos() const { return m_dwPosition; }
    bool bEndOfBuffer() const { return m_dwPosition == m_dwTaille; }
    bool bEndOfBuffer(uint32_t dwTaille) const {
        return static_cast<uint64_t>(m_dwPosition) + dwTaille > m_dwTaille;
    }

    // ---- Values.
    void SetXCHAR(char c) { Set(&c, 1); }
    char czGetXCHAR() {
        char c = 0;
        Get(&c, 1);
        return c;
    }
    // A null text writes an empty string (one NUL).
    bool SetString(const char* pszTexte);
    // The NUL-terminated text at the position (a pointer into the buffer);
    // null, with the position unchanged, when no NUL ends it inside the used size.
    const char* pszGetString();
    const char* pszGetStringANSI() { return pszGetString(); }
    bool bGetString(CTString& clTexte);

    CQVBuffer& operator<<(char v) { return _Ecrit(v); }
    CQVBuffer& operator<<(signed char v) { return _Ecrit(v); }
    CQVBuffer& operator<<(unsigned char v) { return _Ecrit(v); }
    CQVBuffer& operator<<(short v) { return _Ecrit(v); }
    CQVBuffer& operator<<(unsigned short v) { return _Ecrit(v); }
    CQVBuffer& operator<<(int v) { return _Ecrit(v); }
    CQVBuffer& operator<<(unsigned int v) { return _Ecrit(v); }
    // long is stored on 32 bits whatever the machine's width.
    CQVBuffer& operator<<(long v) { return _Ecrit(static_cast<int32_t>(v)); }
    CQVBuffer& operator<<(unsigned long v) { return _Ecrit(static_cast<uint32_t>(v)); }
    CQVBuffer& operator<<(long long v) { return _Ecrit(v); }
    CQVBuffer& operator<<(unsigned long long v) { return _Ecrit(v); }
    CQVBuffer& operator<<(float v) { return _Ecrit(v); }
    CQVBuffer& operator<<(double v) { return _Ecrit(v); }
    CQVBuffer& operator<<(const tagRECT& v) {
        return *this << v.left << v.top << v.right << v.bottom;
    }
    CQVBuffer& operator<<(const CTString& clTexte) {
        SetString(clTexte.pszGet());
        return *this;
    }
    CQVBuffer& operator<<(const char* pszTexte) {
        SetString(pszTexte);
        return *this;
    }

    // A short read leaves the value as it was.
    CQVBuffer& operator>>(char& v) { return _Lit(v); }
    CQVBuffer& operator>>(signed char& v) { return _Lit(v); }
    CQVBuffer& operator>>(unsigned char& v) { return _Lit(v); }
    CQVBuffer& operator>>(short& v) { return _Lit(v); }
    CQVBuffer& operator>>(unsigned short& v) { return _Lit(v); }
    CQVBuffer& operator>>(int& v) { return _Lit(v); }
    CQVBuffer& operator>>(unsigned int& v) { return _Lit(v); }
    CQVBuffer& operator>>(long& v) {
        int32_t n;
        if (_bLit(n)) v = n;
        return *this;
    }
    CQVBuffer& operator>>(unsigned long& v) {
        uint32_t n;
        if (_bLit(n)) v = n;
        return *this;
    }
    CQVBuffer& operator>>(long long& v) { return _Lit(v); }
    CQVBuffer& operator>>(unsigned long long& v) { return _Lit(v); }
    CQVBuffer& operator>>(float& v) { return _Lit(v); }
    CQVBuffer& operator>>(double& v) { return _Lit(v); }
    // All four fields or none.
    CQVBuffer& operator>>(tagRECT& v);
    CQVBuffer& operator>>(CTString& clTexte) {
        bGetString(clTexte);
        return *this;
    }

    // ---- Sizes and raw access.
    bool SetSize(uint32_t dwTaille) { return _bSetSize(dwTaille, true); }
    uint32_t dwGetSizeDirect() const { return m_dwTaille; }
    uint32_t dwGetCodedSize();
    uint32_t dwGetUncodedSize();
    uint8_t* pbyGetCodedBuffer();
    uint8_t* pbyGetUncodedBuffer();
    uint8_t* pbyGetCurrentBuffer() { return m_pbyDonnees != nullptr ? m_pbyDonnees + m_dwPosition : nullptr; }
    bool bDecode();
    // Codes the buffer and keeps the coded bytes as plain content, with no
    // method left. When coding fails nothing changes.
    bool ForceCode();
    uint32_t dwSizeof() const;

    // The data block goes to the caller (who frees it with free), trimmed to
    // the used size; the buffer is left empty.
    bool GetOwnershipMemory(void** ppMemoire, uint32_t* pdwTaille);
    void GiveOwnershipMemory(void* pMemoire, uint32_t dwTaille);

    // ---- Methods and keys. A Set... change uncodes first and is refused when
    // that fails; a Change... only relabels the content.
    bool SetPackMethod(eBUFFER_PACKMETHOD ePack);
    bool ChangePackMethod(eBUFFER_PACKMETHOD ePack, bool bDejaPacke);
    bool SetCryptMethod(eBUFFER_CRYPTMETHOD eCrypt);
    bool ChangeCryptMethod(eBUFFER_CRYPTMETHOD eCrypt, bool bDejaCrypte);
    bool SetPassword(const char* pszMotDePasse);
    bool ChangePassword(const char* pszMotDePasse);
    bool SetCryptKey(const unsigned char (*pabyCle)[16]);
    bool ChangeCryptKey(const unsigned char (*pabyCle)[16]);
    const unsigned char* pGetCryptKey() const { return m_abyCle; }
    bool ChangeFirstCodedByte(uint32_t dwPremier);
    uint32_t dwGetFirstCodedByte() const { return m_dwPremierOctetCode; }
    eBUFFER_CRYPTMETHOD eGetCryptMethod() const { return m_eCryptMethod; }
    eBUFFER_PACKMETHOD eGetPackMethod() const { return m_ePackMethod; }
    int eGetCompresseurType() const { return g_eGetCompresseurType(m_ePackMethod); }
    bool bEstCode() const { return m_bCode != 0; }
    bool bEstPacke() const { return m_bPacke != 0; }
    bool bEstCrypte() const { return m_bCrypte != 0; }

    // ---- Files: any stream with bWrite/bRead (see CBufferFlux).
    template <class TStream>
    bool bToFile(TStream* pclFichier, unsigned int* pdwEcrit) {
        CBufferFlux<TStream> clFlux(pclFichier);
        return _bToFile(clFlux, false, 0, pdwEcrit);
    }
    template <class TStream>
    bool bToFile(TStream* pclFichier, long long oPosition, unsigned int* pdwEcrit) {
        CBufferFlux<TStream> clFlux(pclFichier);
        return _bToFile(clFlux, true, oPosition, pdwEcrit);
    }
    template <class TStream>
    bool bSetAllFromFile(TStream* pclFichier, uint32_t dwTaille, unsigned int* pdwLu) {
        CBufferFlux<TStream> clFlux(pclFichier);
        return _bSetAllFromFile(clFlux, false, 0, dwTaille, pdwLu);
    }
    template <class TStream>
    bool bSetAllFromFile(TStream* pclFichier, long long oPosition, uint32_t dwTaille, unsigned int* pdwLu) {
        CBufferFlux<TStream> clFlux(pclFichier);
        return _bSetAllFromFile(clFlux, true, oPosition, dwTaille, pdwLu);
    }
    template <class TStream>
    bool bSetFromFile(TStream* pclFichier, uint32_t dwTaille, unsigned int* pdwLu) {
        CBufferFlux<TStream> clFlux(pclFichier);
        return _bSetFromFile(clFlux, false, 0, dwTaille, pdwLu);
    }
    template <class TStream>
    bool bSetFromFile(TStream* pclFichier, long long oPosition, uint32_t dwTaille, unsigned int* pdwLu) {
        CBufferFlux<TStream> clFlux(pclFichier);
        return _bSetFromFile(clFlux, true, oPosition, dwTaille, pdwLu);
    }

    // ---- Nesting: a 32-bit count then the bytes. This buffer is the source.
    bool SerialiseBuffer(CQVBuffer& clDestination);
    bool DeserialiseBuffer(CQVBuffer& clDestination);

    void Clear();
    void ClearAll();

    // ---- Failures.
    eBUFFER_ERREUR nGetErreur() const { return m_eErreur; }
    void EffaceErreur() { m_eErreur = BUFFER_ERREUR_AUCUNE; }
    // Raised by any read that came up short; stays until cleared.
    bool bEchecLecture() const { return m_bEchecLecture; }
    void EffaceEchecLecture() { m_bEchecLecture = false; }

protected:
    // Allocation slots: a subclass may keep its data elsewhere.
    virtual void __vAllocBuffer(uint32_t dwTaille);
    virtual bool __vReallocBuffer(uint32_t dwTaille);
    virtual void __vFreeBuffer();
    virtual bool __vAllocZBuffer();
    virtual void __vFreeZBuffer();
    virtual bool __vAllocPackObject();
    virtual void __vFreePackObject();
    virtual bool __vAllocCryptObject();
    virtual void __vFreeCryptObject();

    bool __CodeBuffer();
    bool __UncodeBuffer();

    eBUFFER_CRYPTMETHOD m_eCryptMethod = BUFFER_CRYPT_AUCUN;
    eBUFFER_PACKMETHOD m_ePackMethod = BUFFER_PACK_AUCUN;
    int32_t m_bCrypte = 0;
    int32_t m_bPacke = 0;
    int32_t m_bCode = 0;
    uint32_t m_dwTailleAllouee = 0;
    uint32_t m_dwTaille = 0;
    uint32_t m_dwPremierOctetCode = 0;
    uint32_t m_dwPas = PAS_DEFAUT;
    uint8_t* m_pbyDonnees = nullptr;
    uint32_t m_dwPosition = 0;   // kept as an offset so that reallocation cannot leave it dangling
    uint8_t* m_pbyZBuffer = nullptr;
    IPackObject* m_pclPack = nullptr;
    CCrypt* m_pclCrypt = nullptr;
    unsigned char m_abyCle[16] = {};
    uint32_t m_dwTailleZBuffer = 0;
    eBUFFER_ERREUR m_eErreur = BUFFER_ERREUR_AUCUNE;
    bool m_bEchecLecture = false;

private:
    friend class CQVBufferEcriture;
    friend class CQVBufferLecture;

    void _Init(eBUFFER_CRYPTMETHOD eCrypt, eBUFFER_PACKMETHOD ePack, unsigned long dwTaille, unsigned long dwPas,
               const char* pszMotDePasse, const unsigned char (*pabyCle)[16]);
    bool _bInitCrypt(const char* pszMotDePasse, const unsigned char (*pabyCle)[16]);
    void _ChangePackMethodSansDecoder(eBUFFER_PACKMETHOD ePack);
    bool _bSetSize(uint32_t dwTaille, bool bMetAZero);
    // A block to write in: after a failed allocation left none, an empty
    // one (content and position back to nothing). False when that fails too.
    bool _bBlocPresent();
    // Grows the block to hold at least dwTaille bytes (more than it holds);
    // the content and the used size stay.
    bool _bAgrandit(uint32_t dwTaille);
    // Makes dwTaille bytes at the position plain and allocated, the used
    // size unchanged (a run of writes fills them).
    bool _bPrepareEcriture(uint32_t dwTaille);
    void _SetTailleUtilisee(uint32_t dwTaille);
    void _PointePackObject();
    bool _bDecodeJusqua(uint64_t qwFin) {
        return m_bCode == 0 || qwFin <= m_dwPremierOctetCode || __UncodeBuffer();
    }
    bool _bSetBrut(const void* pSource, uint32_t dwTaille);
    bool _bPack();
    bool _bUnpack();
    void _Erreur(eBUFFER_ERREUR e) { m_eErreur = e; }
    bool _bToFile(IBufferFlux& clFlux, bool bPosition, long long oPosition, unsigned int* pdwEcrit);
    bool _bSetAllFromFile(IBufferFlux& clFlux, bool bPosition, long long oPosition, uint32_t dwTaille,
                          unsigned int* pdwLu);
    bool _bSetFromFile(IBufferFlux& clFlux, bool bPosition, long long oPosition, uint32_t dwTaille,
                       unsigned int* pdwLu);

    // Values of a fixed size take a short way while nothing is coded and the
    // bytes fit in the block (for a read: in the content).
    template <class T>
    CQVBuffer& _Ecrit(T v) {
        uint64_t qwFin = static_cast<uint64_t>(m_dwPosition) + sizeof v;
        if (m_bCode == 0 && m_ePackMethod == BUFFER_PACK_AUCUN && qwFin <= m_dwTailleAllouee) {
            std::memcpy(m_pbyDonnees + m_dwPosition, &v, sizeof v);
            m_dwPosition = static_cast<uint32_t>(qwFin);
            if (m_dwPosition > m_dwTaille) m_dwTaille = m_dwPosition;
        } else {
            Set(&v, sizeof v);
        }
        return *this;
    }
    template <class T>
    bool _bLit(T& v) {
        uint64_t qwFin = static_cast<uint64_t>(m_dwPosition) + sizeof v;
        if (m_bCode == 0 && qwFin <= m_dwTaille) {
            std::memcpy(&v, m_pbyDonnees + m_dwPosition, sizeof v);
            m_dwPosition = static_cast<uint32_t>(qwFin);
            return true;
        }
        return Get(&v, sizeof v);
    }
    template <class T>
    CQVBuffer& _Lit(T& v) {
        _bLit(v);
        return *this;
    }
};

// Writes the source's used size (32 bits) then its bytes into the destination.
bool g_SerialiseBuffer(CQVBuffer& clSource, CQVBuffer& clDestination);
// Empties the destination, reads a 32-bit count from the source and copies
// that many bytes. Fails, with the source's position restored, when the
// source holds fewer bytes than the count announces.
bool g_DeserialiseBuffer(CQVBuffer& clSource, CQVBuffer& clDestination);
