// The date and time language functions, by topic. Each row of
// src/component/tables/functions.txt in the datetime area names one of them;
// the entry points that call them are generated.
//
// Dates are "AAAAMMJJ" texts, times "HHMMSSCC" (hundredths), day numbers
// count from 1 January 1800 (day 1). Texts are never null: an empty text
// stands for an argument not given. A failure raises its user error
// through the library object and gives -1 or an empty text; the procedure
// forms leave the clock as it was.
#pragma once
#include <cstdint>

#include "core/zndstr.h"
#include "datetime/datetime.h"
#include "datetime/duree.h"
#include "runtime/znlibrary.h"

namespace datetime {

// -- The clock (fn_horloge.cpp) --
// Today's date and the time now in the local zone; with a value, the
// clock is set to it (the other fields kept).
CZNDSTR DateSys(CZNLibrary& lib);
void DateSys(CZNLibrary& lib, const char* pszDate);
CZNDSTR HeureSys(CZNLibrary& lib);
void HeureSys(CZNLibrary& lib, const char* pszHeure);

// -- Day numbers, days of the week and week numbers (fn_dates.cpp) --
// The date of a day number, or one part of it ("A"/"Y" the year, "J"/"D"
// the day, "M" the month; anything else the whole date).
CZNDSTR EntierVersDate(CZNLibrary& lib, int32_t nJour);
CZNDSTR EntierVersDate(CZNLibrary& lib, int32_t nJour, const char* pszPartie);
// 1 Monday ... 7 Sunday.
int32_t EntierVersJour(CZNLibrary& lib, int32_t nJour);
int32_t DateVersJour(CZNLibrary& lib, const char* pszDate);
// The day number, or with a non-zero second argument the day of the year.
int32_t DateVersEntier(CZNLibrary& lib, const char* pszDate);
int32_t DateVersEntier(CZNLibrary& lib, const char* pszDate, int32_t bDansAnnee);
bool DateValide(CZNLibrary& lib, const char* pszDate);
// Week 1 holds the year's first Thursday; the days before it are week 0.
int32_t NumeroDeSemaine(CZNLibrary& lib, const char* pszDate);
int32_t EntierVersNumeroDeSemaine(CZNLibrary& lib, int32_t nJour);

// -- Differences, Age and Easter (fn_dates.cpp) --
// Second minus first, in days or hundredths; a date-time difference as
// "+JJJJJJJHHMMSSCC".
int32_t DateDifference(CZNLibrary& lib, const char* pszDate1, const char* pszDate2);
int32_t HeureDifference(CZNLibrary& lib, const char* pszHeure1, const char* pszHeure2);
CZNDSTR DateHeureDifference(CZNLibrary& lib, const char* pszDateHeure1, const char* pszDateHeure2);
// "AAAAMMJJ" years, months and days from the birth date to the reference
// date (today when not given); never raises.
CZNDSTR Age(CZNLibrary& lib, const char* pszNaissance);
CZNDSTR Age(CZNLibrary& lib, const char* pszNaissance, const char* pszReference);
// Easter Sunday of a Gregorian year (1583 to 9999); never raises.
CZNDSTR Paques(CZNLibrary& lib, const char* pszAnnee);
CZNDSTR Paques(CZNLibrary& lib, int32_t nAnnee);

// -- Times of day (fn_heures.cpp) --
CZNDSTR EntierVersHeure(CZNLibrary& lib, int32_t nCentiemes);
int32_t HeureVersEntier(CZNLibrary& lib, const char* pszHeure);
// Answers its boolean as an integer (1 or 0), as its row declares.
int32_t HeureValide(CZNLibrary& lib, const char* pszHeure);
// "HH:MM:SS:CC", or the time through "HH", "MM", "SS", "CC" and "AP".
CZNDSTR HeureVersChaine(CZNLibrary& lib, const char* pszHeure);
CZNDSTR HeureVersChaine(CZNLibrary& lib, const char* pszHeure, const char* pszMasque);

// -- Dates written and read for a person, names (fn_chaines.cpp) --
// "JJ/MM/AAAA", or the date through a display mask.
CZNDSTR DateVersChaine(CZNLibrary& lib, const char* pszDate);
CZNDSTR DateVersChaine(CZNLibrary& lib, const char* pszDate, const char* pszMasque);
// A date typed as "JJ/MM/AAAA", or read through a display mask.
CZNDSTR ChaineVersDate(CZNLibrary& lib, const char* pszTexte);
CZNDSTR ChaineVersDate(CZNLibrary& lib, const char* pszTexte, const char* pszMasque);
// Names from the host's language information, else from the message
// texts of the interface language.
CZNDSTR EntierVersJourEnLettre(CZNLibrary& lib, int32_t nJour);
CZNDSTR EntierVersMoisEnLettre(CZNLibrary& lib, int32_t nJour);
CZNDSTR DateVersJourEnLettre(CZNLibrary& lib, const char* pszDate);
CZNDSTR DateVersMoisEnLettre(CZNLibrary& lib, const char* pszDate);

// -- Durations, UTC and local time (fn_durees.cpp) --
// Form 1 is the hundredths text, any other the milliseconds text; a mask
// uses the day letter of the interface language. A text that does not
// read gives a zero duration.
CDuree ChaineVersDuree(CZNLibrary& lib, const char* pszTexte, int32_t nForme);
CDuree ChaineVersDuree(CZNLibrary& lib, const char* pszTexte, const char* pszMasque);
CZNDSTR DureeVersChaine(CZNLibrary& lib, const CDuree& clDuree, int32_t nForme);
CZNDSTR DureeVersChaine(CZNLibrary& lib, const CDuree& clDuree, const char* pszMasque);
// The 17-character date-time in the other zone (the C library's, TZ).
CZNDSTR DateHeureUTCVersLocale(CZNLibrary& lib, const CDateTime& clDate);
CZNDSTR DateHeureLocaleVersUTC(CZNLibrary& lib, const CDateTime& clDate);

}  // namespace datetime
