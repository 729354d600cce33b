// Language values and their stored form in a memory zone.
//
// Texts and buffers are stored as 'B' with their bytes and a terminating
// zero (an empty text is the single zero, which the key order recognises);
// booleans and integers that fit as 'L'; reals, currency and integers
// beyond 32 bits as 'D'; dates and times as their texts; any other type as
// the text the host's conversion makes of it. Back in the language, 'D' and
// 'F' are reals, 'E' a 16-bit integer, 'L' an integer, and anything else a
// string of the stored bytes (without the terminating zero).
#pragma once
#include <cstdint>

#include "memzone/memzone.h"
#include "qvstd/any.h"

// The user errors of the conversion.
constexpr int MEM_ERR_ZONE_INCONNUE = 80261;
constexpr int MEM_ERR_TROP_LONG = 80263;
constexpr int MEM_ERR_TYPE = 80246;   // a value of this type cannot be stored

class CMemValeur {
public:
    CMemValeur() = default;
    CMemValeur(const CMemValeur&) = delete;
    CMemValeur& operator=(const CMemValeur&) = delete;
    ~CMemValeur();

    // 0, or the user error to raise: MEM_ERR_TROP_LONG (then nGetLongueur()
    // is the text's length) or MEM_ERR_TYPE.
    int nDepuisAny(const CAny& clValeur);
    const STMemDonnee& stGet() const { return m_st; }
    uint32_t nGetLongueur() const { return m_nLongueur; }

private:
    bool _bTexte(const void* p, uint32_t nLongueur);
    // A zero-terminated text (null reads as empty): 0 or the error.
    int _nTexteC(const char* psz);
    void _Entier(int64_t n);
    void _Reel(double r);

    STMemDonnee m_st{MEMT_BINAIRE, "", 1};
    uint8_t m_abyNombre[8] = {};
    uint8_t* m_pTexte = nullptr;
    uint32_t m_nLongueur = 0;
};

// The stored bytes as a language value; the empty string when memory runs
// out. False then.
bool MEM_bVersAny(uint8_t cType, const uint8_t* pOctets, uint32_t nLongueur, CAny* pclResultat);
// The empty string, the value of a failed read.
void MEM_AnyVide(CAny* pclResultat);
