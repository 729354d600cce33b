// The descriptor tables handed to the host by InfoComposante.
#pragma once
#include <cstdint>

#include "platform/export.h"
#include "qvstd/callrecord.h"
#include "qvstd/descriptor.h"

class IZNLibrary;

constexpr int NB_FONCTIONS = 423;
constexpr int NB_CONSTANTES = 497;
constexpr int NB_VARIABLES = 53;
constexpr int NB_CLASSES = 1;
constexpr int NB_TYPEREFS = 2;

extern const STFonction gstTabFonction[NB_FONCTIONS];
extern const STConstante gstTabConstante[NB_CONSTANTES];
extern const STVariable gstTabVariable[NB_VARIABLES];
extern const STClasse* const gpstTabClasse[NB_CLASSES + 1];
extern const char* const gstTabTypeRef[NB_TYPEREFS + 1];
extern const STPropriete gstTabProprieteClasseCObjetProcessus[10];
extern const STSyntaxe gstTabSyntaxeConstructeurClasseCObjetProcessus[1];

// Summary, description and help file, first and second language.
extern const char* const gpszResume[2];
extern const char* const gpszDescription[2];
extern const char* const gpszFichierAide[2];

// Name lookups by row index, in the current interface language.
const char* pszGetNomFonction(int nIndex);
const char* pszGetNomConstante(int nIndex);
void CopieTexteLangue(const char* const* ppszTextes, char* pszBuffer, int nTaille);

// Old archive functions: hand the call over to the archive component under
// their function number, with the forward level set on the error object.
int COMPO_nForward(STZNAppel* pstAppel, IZNLibrary* pclLib, int nFonction);
extern const int gnNbForward;
