// The memory-zone language functions (Mem*): named, process-wide lists of
// (key, value) records that a program fills, browses, searches and sorts.
//
// Zone names are case-insensitive and cut to 20 characters; an absent or
// empty name is the default zone "QVMEMDEF". A function that names another
// zone that does not exist raises 80261 (MemAjoute and MemCree create it).
// A text or buffer over 65521 bytes, or a record whose key and value with
// 7 bytes more pass 65535, raises 80263; a value of a type that cannot be
// stored raises 80246. Values come back by their stored type (see
// mz_valeur.h); a failed read gives the empty string. Functions of result
// variant fill their last parameter.
#pragma once
#include <cstdint>

#include "runtime/znlibrary.h"
#include "qvstd/any.h"

namespace memzone {

// --- Zones ---------------------------------------------------------------------
// Deletes a zone of that name, then creates it empty.
bool MemCree(CZNLibrary& lib, const char* pszZone);
bool MemExiste(CZNLibrary& lib, const char* pszZone);
// Deletes the zone ("*": every zone).
bool MemSupprimeTout(CZNLibrary& lib, const char* pszZone);
bool MemSupprimeTout(CZNLibrary& lib);

// --- Adding, replacing and deleting records -------------------------------------------
// The one-argument form uses the value as its own key; the zone is created
// when missing.
bool MemAjoute(CZNLibrary& lib, const char* pszZone, const CAny& clCle, const CAny& clValeur);
bool MemAjoute(CZNLibrary& lib, const CAny& clCle, const CAny& clValeur);
bool MemAjoute(CZNLibrary& lib, const CAny& clValeur);
// Replaces record n; false with the flags of a read out of range when n is
// not a record number.
bool MemModifie(CZNLibrary& lib, const char* pszZone, const CAny& clCle, const CAny& clValeur, int32_t n);
// Deletes record n; n = -1, or no n, deletes the zone ("*": every zone).
bool MemSupprime(CZNLibrary& lib, const char* pszZone, int32_t n);
bool MemSupprime(CZNLibrary& lib, const char* pszZone);

// --- Sorting --------------------------------------------------------------------
// Direction 1 ascending (the default), 0 descending. After a sort no record
// is current and the zone is out of the list.
bool MemTri(CZNLibrary& lib, const char* pszZone, int32_t nSens);
bool MemTri(CZNLibrary& lib, int32_t nSens);
bool MemTri(CZNLibrary& lib, const char* pszZone);
bool MemTrie(CZNLibrary& lib, const char* pszZone);
bool MemTrie(CZNLibrary& lib, const char* pszZone, int32_t nSens);

// --- Reading and moving (the value of the record reached) ------------------------
// Record n; the current record does not change.
void MemRecupere(CZNLibrary& lib, const char* pszZone, int32_t n, CAny& clResultat);
void MemRecupere(CZNLibrary& lib, int32_t n, CAny& clResultat);
// Record n becomes current.
void MemPositionne(CZNLibrary& lib, const char* pszZone, int32_t n, CAny& clResultat);
void MemPositionne(CZNLibrary& lib, int32_t n, CAny& clResultat);
void MemPremier(CZNLibrary& lib, const char* pszZone, CAny& clResultat);
void MemPremier(CZNLibrary& lib, CAny& clResultat);
void MemDernier(CZNLibrary& lib, const char* pszZone, CAny& clResultat);
void MemDernier(CZNLibrary& lib, CAny& clResultat);
// Move only after a successful first, last, search, move or positioning.
void MemSuivant(CZNLibrary& lib, const char* pszZone, CAny& clResultat);
void MemSuivant(CZNLibrary& lib, CAny& clResultat);
void MemPrecedent(CZNLibrary& lib, const char* pszZone, CAny& clResultat);
void MemPrecedent(CZNLibrary& lib, CAny& clResultat);
// The key of the current record.
void MemValCle(CZNLibrary& lib, const char* pszZone, CAny& clResultat);
void MemValCle(CZNLibrary& lib, CAny& clResultat);

// --- Searching --------------------------------------------------------------------
// Mode 1 (mSurValTri, the default): by key, the value of the first record
// of that key, which becomes current. Mode 0 (mSurValRetour): by value, the
// number of the first record whose value starts with it, -1 when none.
void MemRecherche(CZNLibrary& lib, const char* pszZone, const CAny& clCherche, int32_t nMode, CAny& clResultat);
void MemRecherche(CZNLibrary& lib, const char* pszZone, const CAny& clCherche, CAny& clResultat);
void MemRecherche(CZNLibrary& lib, const CAny& clCherche, CAny& clResultat);

// --- State ------------------------------------------------------------------------
// Records of the zone, -1 for an unknown zone.
int32_t MemOccurrence(CZNLibrary& lib, const char* pszZone);
int32_t MemOccurrence(CZNLibrary& lib);
// The last search or move found a record (false for an unknown zone).
bool MemTrouve(CZNLibrary& lib, const char* pszZone);
bool MemTrouve(CZNLibrary& lib);
// The last operation left the list (true for an unknown zone).
bool MemEnDehors(CZNLibrary& lib, const char* pszZone);
bool MemEnDehors(CZNLibrary& lib);
// The current record, -1 for an unknown zone.
int32_t MemEnCours(CZNLibrary& lib, const char* pszZone);
int32_t MemEnCours(CZNLibrary& lib);

}  // namespace memzone
