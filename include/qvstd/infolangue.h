// The host's language information: how the running application writes
// dates, times, numbers and sizes (day and month names, AM and PM texts,
// system masks, number and monetary formats, size units). The component's
// masks ask it first and fall back to their own message texts and settings.
//
// Texts are zero-terminated, in the component's current 8-bit character
// set. A null or empty text means "not given". Records and texts handed out
// by a query belong to the object and stay valid while the caller holds its
// reference.
//
// Each description comes with a flag: a non-zero answer says the description
// is not to be used (the application keeps the component's defaults).
#pragma once
#include <cstdint>

// Date description.
struct STInfoLangueDate {
    const char* pszMasqueDate;   // system date mask, in the mask language ("JJ/MM/AAAA")
    const char* pszJours;        // day names separated by ";", Monday first
    const char* pszMois;         // month names separated by ";", January first
};

// Time description.
struct STInfoLangueHeure {
    const char* pszAM;            // text of the hours before noon
    const char* pszPM;            // text of the hours from noon
    const char* pszMasqueHeure;   // system time mask, in the mask language ("HH:MM:SS")
};

// Number format (as the system describes it, before it becomes a numeric mask).
struct STInfoLangueNombre {
    uint32_t nDecimales;          // digits after the decimal separator
    uint32_t bZeroDevant;         // non-zero: "0.5", zero: ".5"
    const char* pszGroupement;    // group sizes from the decimal separator leftwards, "3;0"
    const char* pszSepDecimal;
    const char* pszSepMillier;
    uint32_t nFormatNegatif;      // placement of the negative sign (0 "(1.1)", 1 "-1.1", 2 "- 1.1", 3 "1.1-", 4 "1.1 -")
};

// Monetary format.
struct STInfoLangueMonnaie {
    uint32_t nDecimales;
    uint32_t bZeroDevant;
    const char* pszGroupement;
    const char* pszSepDecimal;
    const char* pszSepMillier;
    uint32_t nFormatNegatif;      // 0 to 15, the usual sixteen placements of sign and symbol
    uint32_t nFormatPositif;      // 0 "$1.1", 1 "1.1$", 2 "$ 1.1", 3 "1.1 $"
    const char* pszSymbole;
};

class IInfoLangue {
public:
    // Reference counting: the object goes when the last reference is released.
    virtual int32_t AddRef() = 0;
    virtual int32_t Release() = 0;

    // Dates and times (null when the host has none).
    virtual const STInfoLangueDate* pstGetDescriptionDate() = 0;
    virtual int bNePasUtiliserDescriptionDate() = 0;
    virtual const STInfoLangueHeure* pstGetDescriptionHeure() = 0;
    virtual int bNePasUtiliserDescriptionHeure() = 0;

    // Numbers and money.
    virtual const STInfoLangueNombre* pstGetFormatNumerique() = 0;
    virtual int bNePasUtiliserFormatNumerique() = 0;
    virtual const STInfoLangueMonnaie* pstGetFormatMonetaire() = 0;
    virtual int bNePasUtiliserFormatMonetaire() = 0;

    // Size units: five names separated by ";" (bytes, kilobytes, megabytes,
    // gigabytes, terabytes).
    virtual const char* pszGetUnitesTaille() = 0;
    virtual int bNePasUtiliserUnitesTaille() = 0;

protected:
    // Only Release destroys the object.
    virtual ~IInfoLangue() = default;
};

#if defined(__i386__)
static_assert(sizeof(STInfoLangueDate) == 12, "date description");
static_assert(sizeof(STInfoLangueHeure) == 12, "time description");
static_assert(sizeof(STInfoLangueNombre) == 24, "number format");
static_assert(sizeof(STInfoLangueMonnaie) == 32, "monetary format");
#endif
