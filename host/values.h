// Language values as the host pushes them to entry points and reads them
// back from the result service: argument kinds, their conversion from
// JSON or command-line text, currency and date-time texts, results.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "charset.h"

class IObjetAPCode;

namespace qvhost {

using json = nlohmann::json;

// The largest value the host hands over or takes back: a result, a text read
// from a pointer without a length, an address argument's buffer.
constexpr size_t k_nOctetsMax = 64u << 20;
// The deepest nesting of arrays and objects a request may have (the request
// object itself is level 1).
constexpr size_t k_nProfondeurMax = 64;

// A value given by a person or a test before anything reads it: nested no
// deeper than k_nProfondeurMax, every text and key valid UTF-8. Never
// recurses, so a hostile depth cannot exhaust the stack.
bool bJsonSain(const json& jValeur, std::string& sErreur, size_t nNiveauDepart = 1);

enum class eKind { INT, I8, REAL, BOOL, TEXT, FILE, UNI, BIN, CUR, DUR, DATETIME, ANY, VAR, PROC, ARRAY, OBJ, ADDR };

const char* pszKindName(eKind eK);
bool bKindFromName(const std::string& sNom, eKind& eK);

// A signature row's argument list, parsed.
struct STSignatureArgs {
    std::vector<eKind> tabKinds;      // declared arguments
    std::vector<bool> tabOptionnel;   // may be omitted (from the end)
    bool bQueue = false;              // a variable tail may follow
    eKind eQueue = eKind::ANY;
    int nRequis = 0;                  // arguments that must be passed
};
bool bParseSignatureArgs(const char* pszArgs, STSignatureArgs& stSig, std::string& sErreur);

// The string argument record of file functions: the memory pointer of a
// dynamic string, then its 16-bit type code (16: Unicode).
struct STArgManip {
    void* pMemoire;
    uint16_t nType;
};

// Currency: a signed 80-bit count of millionths, five 16-bit words, least
// significant first.
struct STMonnaie {
    uint16_t w[5];
};
bool bParseMonnaie(const std::string& sTexte, STMonnaie& stM);
std::string FormatMonnaie(const STMonnaie& stM);

// Date-time value: date word (day, month, year high 16 bits) and the
// milliseconds of the day.
struct STDateHeure {
    uint32_t dwDate;
    uint32_t nMillisecondes;
};
// "AAAAMMJJ", "AAAAMMJJHHMMSS" or "AAAAMMJJHHMMSSLLL"; "" is the empty value.
bool bParseDateHeure(const std::string& sTexte, STDateHeure& stDH);

bool bParseEntier32(const std::string& sTexte, int32_t& n);
bool bParseEntier64(const std::string& sTexte, int64_t& n);
bool bParseReel(const std::string& sTexte, double& r);
bool bParseBooleen(const std::string& sTexte, bool& b);

// One pushed argument and the storage its pointer designates. Owns the
// dynamic string it made.
class CArg {
public:
    CArg() = default;
    CArg(const CArg&) = delete;
    CArg& operator=(const CArg&) = delete;
    ~CArg();

    eKind m_eKind = eKind::ANY;
    bool m_bNull = false;
    json m_jSource;          // the value as given
    int32_t m_n4 = 0;
    int64_t m_n8 = 0;
    double m_r = 0;
    STMonnaie m_stMonnaie{};
    STDateHeure m_stDateHeure{};
    void* m_pMemoire = nullptr;   // one-word dynamic string object
    STArgManip m_stManip{};
    std::string m_sNom;           // variable, procedure, or the variable behind an address
    json m_jRetour;               // procedure: the value each call returns
    int64_t m_nTailleAdresse = -1;   // address: the size asked for the buffer, -1 when not given
    std::string m_sTampon;        // address: the buffer whose address m_n4 holds during the call
    std::shared_ptr<IObjetAPCode> m_pObjet;   // obj: the page object the argument stands for, or none

    // What the entry point receives for this argument.
    void* pPointeur();
    // A variable given where a value is read: it stands for its current value.
    bool bValeurDeVariable() const { return m_eKind == eKind::VAR || (m_eKind == eKind::ANY && !m_sNom.empty()); }
};

// Converts one given value to a kind. bLigneCommande: every value is a
// text typed by a person, so numbers parse from text with full weight.
// nScore tells how naturally the value fits (3 natural, 2 parsed, 1
// accepted); false with sErreur when it does not fit at all.
// bInvite: values typed at the prompt, which converts as the language does
// (a number given for a text, a real for an integer) where nothing fits
// better.
bool bConvertit(const json& jValeur, eKind eK, bool bLigneCommande, eCharset eCs, CArg& clArg, int& nScore,
                std::string& sErreur, bool bInvite = false);

// A captured result.
struct STResultat {
    bool bRecu = false;
    int nType = 0;
    int32_t n4 = 0;
    int64_t n8 = 0;
    double r = 0;
    STMonnaie stMonnaie{};
    std::string sOctets;   // bytes as handed over (texts in the component's character set)
    std::string sUtf8;     // texts (0x10, 0x13, 0x17) converted to UTF-8 when captured; a variant's text form
    json jVariant;         // a variant (0x1F) in its JSON form
    size_t nTropGrand = 0; // bytes of a result above k_nOctetsMax, left where it was (0: none)
};
json ResultatVersJson(const STResultat& stR);
// The same, with a text result (0x10, 0x13, 0x17) as {"bin": BASE64} of the
// bytes the component handed over when bOctets is true, so that every byte
// value comes back whole whatever the character set can show.
json ResultatVersJson(const STResultat& stR, bool bOctets);
// The plain text form a person reads: texts as they are, booleans "true" or
// "false", binary values never as raw bytes but as TexteBinaire says.
std::string ResultatVersTexte(const STResultat& stR);
std::string JsonVersTexte(const json& jValeur);
// "binary, N bytes, Base64: ..."
std::string TexteBinaire(const std::string& sOctets);
// A command-line word given to an argument of kind any: a number when it
// reads as one, the text inside when written in the language's quotes
// ("3.14" passes the text 3.14), else the word as a text.
json MotVersValeur(const std::string& sMot);
std::string FormatReel(double r);
// A value as it may appear in a message: never throws, at most a few hundred
// characters.
std::string ApercuJson(const json& j);

}  // namespace qvhost
