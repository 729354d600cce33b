// The host's value conversions, exported to the component by name
// ("nConversionDepassement", "nConversionDepassementEx", "FinConversion"),
// and the reading and filling of the component's variants. The rules are
// written down in host/README.md.
#pragma once
#include <string>

#include "qvstd/any.h"
#include "values.h"

namespace qvhost {

// Character set of the 8-bit texts the conversions read and write.
void SetCharsetConversion(eCharset eCs);
eCharset GetCharsetConversion();

// Answers of the conversions.
enum eConversion {
    CONV_OK = 0,
    CONV_APPROCHE = 1,       // done, with a loss (fraction dropped, character replaced)
    CONV_MEMOIRE = 100,      // out of memory
    CONV_DEPASSEMENT = 101,  // the value does not fit the destination type
    CONV_TEXTE = 102,        // the text does not read as the destination type
    CONV_TYPE = 105,         // this host does not convert between these types
};

int nConvertit(const void* pSource, int nTypeSource, void* pDestination, int nTypeDestination);
void LibereConversion(void* pBuffer, int nType);

// A value area of a type, in the JSON form of the answers (null for a type
// without a value or that this host cannot read).
json ValeurVersJson(const void* pValeur, int nType);
// The variant's value; null for an empty variant.
json AnyVersJson(const CAny* pclAny);
// Fills a variant made by the component from a JSON value given for an
// argument of kind "any" (null gives the empty variant with its null mark).
bool bJsonVersAny(const json& jValeur, CAny* pclAny, std::string& sErreur);
// Fills a variant from an argument as the host pushed it.
bool bArgVersAny(CArg& clArg, CAny* pclAny, std::string& sErreur);

}  // namespace qvhost

extern "C" {
int nConversionDepassement(const void* pSource, int nTypeSource, void* pDestination, int nTypeDestination);
int nConversionDepassementEx(const void* pSource, int nTypeSource, void* pDestination, int nTypeDestination,
                             int nOption);
void FinConversion(void* pBuffer, int nType);
}
