// The language's currency type: an exact fixed-point number, a signed 80-bit
// two's-complement count of millionths of the unit held in five 16-bit
// words, least significant first (1 is stored as 1 000 000). Arithmetic
// never raises: an operation that does not fit returns null or false and
// leaves its first operand unspecified; callers turn that into their own
// numbered error.
//
// The most negative 80-bit number is the invalid value and is never the
// result of an operation: results are kept within +/- (2^79 - 1).
#pragma once
#include <cstddef>
#include <cstdint>

struct CMoney {
    uint16_t m_aw[5];
};
static_assert(sizeof(CMoney) == 10, "currency value");

// The invalid value (every bit zero but the top one), the zero value that
// failed functions return, and 1 000 000 as an unscaled integer.
extern const CMoney gstInvalide;
extern const CMoney gclMoneyNULL;
extern const CMoney gstMillion;

// Room for any currency written as decimal, hexadecimal or octal text.
constexpr size_t MONETAIRE_TAILLE_TEXTE = 40;

// Arithmetic: the first operand receives the result.
CMoney* pstAddMonetaire(CMoney* a, const CMoney* b);
CMoney* pstSubMonetaire(CMoney* a, const CMoney* b);
CMoney* pstMulMonetaire(CMoney* a, const CMoney* b);   // a x b / 1 000 000
CMoney* pstDivMonetaire(CMoney* a, const CMoney* b);   // a x 1 000 000 / b, toward zero; null when b is 0
void NegMonetaire(CMoney* a);
CMoney* pstAbsMonetaire(CMoney* a);
CMoney* pstEntMonetaire(CMoney* a);                     // integer part, toward minus infinity
CMoney* pstDecMonetaire(CMoney* a);                     // the decimals of the magnitude
CMoney* pstArrMonetaire(CMoney* a, int nDecimales);     // halves away from zero; 0 to 5, else unchanged
bool bIncrementeMonetaire(CMoney* a);                   // plus one unit
bool bDecrementeMonetaire(CMoney* a);                   // minus one unit
bool bMul10Monetaire(CMoney* a);                        // times 10, unscaled
bool bMulMonetaireWord(CMoney* a, uint16_t wFacteur, uint16_t wChiffre);   // a x factor + digit, unscaled

// Conversions. Integers count units; back to integers, toward zero.
CMoney* pstLongVersMonetaire(CMoney* a, int32_t n);
CMoney* pstTresLongVersMonetaire(CMoney* a, int64_t ll);
CMoney* pstTresLongSansSigneVersMonetaire(CMoney* a, uint64_t ull);
int32_t lMonetaireVersLong(const CMoney* a);           // saturates
bool bMonetaireVersLong(const CMoney* a, int32_t* pn);
int64_t lMonetaireVersTresLong(const CMoney* a);       // saturates
bool bMonetaireVersTresLong(const CMoney* a, int64_t* pll);
bool bMonetaireVersTresLongSansSigne(const CMoney* a, uint64_t* pull);
// Reals go through their text with six decimals; a real that is not
// finite or does not fit fails.
CMoney* pstDoubleVersMonetaire(CMoney* a, double r);
double dMonetaireVersDouble(const CMoney* a);
// Blanks, a sign, digits, "." and up to six decimals (more are ignored);
// reading stops at any other character. Null without a digit or when the
// value does not fit.
CMoney* pstChaineVersMonetaire(CMoney* a, const char* pszTexte);
CMoney* pstChaineVersMonetaire(CMoney* a, const wchar_t* pszTexte);
// "-", the integer digits, "." and the decimals without trailing zeros
// (1.5, 2, -0.5). The buffer holds MONETAIRE_TAILLE_TEXTE bytes.
char* pszMonetaireVersChaineC(char* pszTampon, const CMoney* a);
// The 80 bits in hexadecimal (upper case) and octal, without leading zeros.
char* pszMonetaireVersChaineHexa(char* pszTampon, const CMoney* a);
char* pszMonetaireVersChaineOctale(char* pszTampon, const CMoney* a);
// Up to 20 hexadecimal digits, taken as the 80 bits.
CMoney* pstChaineHexaVersMonetaire(CMoney* a, const char* pszTexte);

// -1, 0 or 1; a null a compares greater, a null b smaller.
int nCmpMonetaire(const CMoney* a, const CMoney* b);
int nCmpMonetaireEtLong(const CMoney* a, int32_t n);
bool bEstInvalideMonetaire(const CMoney* a);

// A currency value that starts invalid and becomes invalid again when a
// conversion or a subtraction fails.
class CMonetaireConvertible : public CMoney {
public:
    CMonetaireConvertible() : CMoney(gstInvalide) {}
    explicit CMonetaireConvertible(const CMoney& cl) : CMoney(cl) {}

    bool bEstInvalide() const { return bEstInvalideMonetaire(this); }
    // False (and the buffer empty) when invalid.
    bool bVersChaine(char* pszTampon) const;
    bool bDepuisChaine(const char* pszTexte);
    // The value in another currency: from rate to rate, as the rate table
    // gives them (units per euro x 1 000 000).
    CMonetaireConvertible Converti(uint32_t dwTauxDe, uint32_t dwTauxVers) const;
    void Soustrait(const CMoney& clAutre);

private:
    void _Invalide() { *static_cast<CMoney*>(this) = gstInvalide; }
};

// Amounts through the euro, with rates as the table gives them. False on
// a zero rate or when the result does not fit.
bool bVersEuro_MONETAIRE(const CMoney* pclMontant, CMoney* pclResultat, uint32_t dwTaux);
bool bVersDevise_MONETAIRE(const CMoney* pclMontant, CMoney* pclResultat, uint32_t dwTaux);
bool bChangeDevise_MONETAIRE(const CMoney* pclMontant, CMoney* pclResultat, uint32_t dwTauxDe, uint32_t dwTauxVers);
