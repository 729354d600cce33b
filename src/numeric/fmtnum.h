// Digit-string helpers that other components call by name: a number
// written as text re-formatted to a width, decimals and significant digits
// (FmtNum), and the small in-place edits it is made of. Every function
// works in the caller's zero-terminated buffer.
#pragma once

// A buffer of this size holds any result of FmtNum (results longer than
// FMTNUM_LONGUEUR_MAX characters are written "*E*").
#define FMTNUM_TAILLE_TAMPON 64
#define FMTNUM_LONGUEUR_MAX 50

extern "C" {

// The number in pszTexte ("-12.345", "1.5e-3"), rewritten in place:
// rounded to nSignificatifs significant digits (0 or less: all) and to
// nDecimales decimals (-1: all of them, trailing zeros removed; missing
// ones are written "0"), halves away from zero. bDeveloppe writes the
// exponent out as digits, else it is kept. nLargeur other than -1 pads
// with blanks on the left (nAlignement 0) or on the right (1); a longer
// result is "*E*", as is a text that is not a number. bSupprimeZeros
// removes trailing decimal zeros and a bare point. The buffer holds
// FMTNUM_TAILLE_TAMPON bytes. Returns pszTexte.
char* FmtNum(char* pszTexte, int nLargeur, int nDecimales, int nSignificatifs, int nAlignement, int bDeveloppe,
             int bSupprimeZeros);
// Adds one to the digits from pszFin back to pszDebut, "." skipped,
// carrying leftwards; when the carry passes pszDebut a "1" is inserted
// there (the text after it moves right: one free byte is needed). 1 when
// a digit was inserted, else 0.
int FmtInc(char* pszDebut, char* pszFin);
// Inserts cCar at nPosition (at the end when at or past it; at the start
// when negative); one free byte is needed. Returns pszTexte.
char* FmtInsCar(char* pszTexte, int nPosition, char cCar);
// Removes the character at nPosition, when there is one. Returns pszTexte.
char* FmtSupCar(char* pszTexte, int nPosition);
// Removes leading and trailing blanks and tabs in place. Returns pszTexte.
char* SansEspaceAutour(char* pszTexte);

}  // extern "C"
