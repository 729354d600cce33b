// The file functions of the language: files read and written through
// integer handles (2 and up, indexes of the process-wide table of open
// files that shared-memory zones share).
//
// A failure raises its user error (level 2) and gives -1, false, 0 or an
// empty text. Names and written values come as the host passes
// file-function strings (ANSI or Unicode); memory addresses as the host's
// 4-byte integers.
#pragma once
#include <cstdint>

#include "runtime/znlibrary.h"
#include "core/zndstr.h"
#include "qvstd/any.h"
#include "qvstd/manipaub.h"

namespace files {

// --- Opening and closing ---------------------------------------------------------
// Without a mode: read and write.
int32_t fOuvre(CZNLibrary& lib, const STManipAUB* pstNom, int32_t nMode);
int32_t fOuvre(CZNLibrary& lib, const STManipAUB* pstNom);
// fOuvre with read-write and creation added to the mode.
int32_t fCree(CZNLibrary& lib, const STManipAUB* pstNom);
int32_t fCree(CZNLibrary& lib, const STManipAUB* pstNom, int32_t nMode);
// 0, or -1 for a handle that is not open.
int32_t fFerme(CZNLibrary& lib, int32_t nHandle);

// --- Lines --------------------------------------------------------------------
// Posts the line without its end; the character of code 4 at the end of the
// file. Unicode for a file opened with foUnicode.
void fLitLigne(CZNLibrary& lib, int32_t nHandle);
// Captured groups go into the variables passed from the third argument.
bool fLitLigne(CZNLibrary& lib, int32_t nHandle, const STManipAUB* pstFormat);
// The text, then CR LF (in 16-bit units in a Unicode file).
bool fEcritLigne(CZNLibrary& lib, int32_t nHandle, const STManipAUB* pstTexte);
// The bytes at the address, then CR LF.
bool fEcritLigne(CZNLibrary& lib, int32_t nHandle, void* pAdresse, int32_t nLongueur);
// The first bytes of the string (never beyond it), then CR LF.
bool fEcritLigne(CZNLibrary& lib, int32_t nHandle, const STManipAUB* pstTexte, int32_t nLongueur);

// --- Blocks -------------------------------------------------------------------
// At most nNombre bytes, as a string of the bytes read.
CZNDSTR fLit(CZNLibrary& lib, int32_t nHandle, int32_t nNombre);
// The bytes read into memory at the address.
int32_t fLit(CZNLibrary& lib, int32_t nHandle, int32_t nNombre, void* pAdresse);
// A string or a buffer, whole or its first nLongueur bytes (characters for
// a Unicode text); the bytes written, -1 on failure.
int32_t fEcrit(CZNLibrary& lib, int32_t nHandle, const STManipAUB* pstValeur);
int32_t fEcrit(CZNLibrary& lib, int32_t nHandle, const STManipAUB* pstValeur, int32_t nLongueur);
int32_t fEcrit(CZNLibrary& lib, int32_t nHandle, void* pAdresse, int32_t nLongueur);

// --- Position, locks, size ------------------------------------------------------
// Origin 0 start, 1 current, 2 end; the new position, -1 on failure.
int64_t fPositionne(CZNLibrary& lib, int32_t nHandle, int64_t oDeplacement, int32_t nOrigine);
// Disk files only. Without a length (or -1): from the start to the end of
// the file and beyond. Non-blocking; exclusive on a handle open for writing.
bool fBloque(CZNLibrary& lib, int32_t nHandle);
bool fBloque(CZNLibrary& lib, int32_t nHandle, int32_t nDebut);
bool fBloque(CZNLibrary& lib, int32_t nHandle, int32_t nDebut, int32_t nLongueur);
bool fDebloque(CZNLibrary& lib, int32_t nHandle);
bool fDebloque(CZNLibrary& lib, int32_t nHandle, int32_t nDebut);
bool fDebloque(CZNLibrary& lib, int32_t nHandle, int32_t nDebut, int32_t nLongueur);
// Disk files only; the position stays where it was when still inside.
bool fChangeTaille(CZNLibrary& lib, int32_t nHandle, int64_t oTaille);

// --- Copies, moves, names by name ------------------------------------------------
// Names are file-function strings (ANSI, or Unicode reaching the file
// system as UTF-8); backslashes are separators. Wildcards "*" and "?" in a
// source are expanded here, never by a shell; a name beginning with "."
// matches only a pattern beginning with ".".
// One file onto a file or into a directory (its directory made when
// missing); a pattern or directory (with frRecursif 1: with
// subdirectories) into a directory. 80065 names the copy that failed.
bool fCopieFichier(CZNLibrary& lib, const STManipAUB* pstSource, const STManipAUB* pstDestination);
bool fCopieFichier(CZNLibrary& lib, const STManipAUB* pstSource, const STManipAUB* pstDestination, int32_t nOptions);
// As fCopieFichier, the source going once it is in place.
bool fDeplaceFichier(CZNLibrary& lib, const STManipAUB* pstSource, const STManipAUB* pstDestination);
bool fDeplaceFichier(CZNLibrary& lib, const STManipAUB* pstSource, const STManipAUB* pstDestination,
                     int32_t nOptions);
// Fails when the new name exists.
bool fRenomme(CZNLibrary& lib, const STManipAUB* pstAncien, const STManipAUB* pstNouveau);
// One file, or every file matching a pattern (stopping at the first
// failure): 1, or 0.
int32_t fSupprime(CZNLibrary& lib, const STManipAUB* pstNom);
int32_t fSupprime(CZNLibrary& lib, const STManipAUB* pstNom, int32_t nOptions);
// A file's size (80067 when the name is not a file), or an open handle's.
int64_t fTaille(CZNLibrary& lib, const STManipAUB* pstNom);
int64_t fTaille(CZNLibrary& lib, int32_t nHandle);
bool fFichierExiste(CZNLibrary& lib, const STManipAUB* pstNom);
bool fRepertoireExiste(CZNLibrary& lib, const STManipAUB* pstNom);
// The full name of the file open on a handle (80406 for a zone).
CZNDSTR fNomFichier(CZNLibrary& lib, int32_t nHandle);
// fLienSymbolique (0): a symbolic link; fLienPhysique (1): a hard link.
bool fCreeLien(CZNLibrary& lib, const STManipAUB* pstExistant, const STManipAUB* pstLien, int32_t nGenre);

// --- Directories ----------------------------------------------------------------
// Every missing level (mode 0777 less the umask).
bool fRepCree(CZNLibrary& lib, const STManipAUB* pstChemin);
bool fRepCree_55(CZNLibrary& lib, const STManipAUB* pstChemin);
// Options 1, 2, 4, 8, 256 only (80404 otherwise); the name is cut at a "*".
// Without frRecursif (1) only an empty directory goes.
bool fRepSupprime(CZNLibrary& lib, const STManipAUB* pstRepertoire);
bool fRepSupprime(CZNLibrary& lib, const STManipAUB* pstRepertoire, int32_t nOptions);
// A pattern, or a directory (80062 otherwise): its files, and with
// frRecursif its subdirectories, into the destination. Links are copied as
// links, never followed out of the tree. 80064 on failure.
bool fRepCopie(CZNLibrary& lib, const STManipAUB* pstSource, const STManipAUB* pstDestination);
bool fRepCopie(CZNLibrary& lib, const STManipAUB* pstSource, const STManipAUB* pstDestination, int32_t nOptions);
// Renamed, or copied across file systems and removed only once the copy is
// whole. Without frRecursif a source with entries is refused (80068).
bool fRepDeplace(CZNLibrary& lib, const STManipAUB* pstSource, const STManipAUB* pstDestination);
bool fRepDeplace(CZNLibrary& lib, const STManipAUB* pstSource, const STManipAUB* pstDestination, int32_t nOptions);
// 1 when the directory can be read and holds an entry, else 0.
int32_t fRepDroit(CZNLibrary& lib, const STManipAUB* pstRepertoire);
// The sizes of the files of the tree (frNonRecursif 2: of the directory).
int64_t fRepTaille(CZNLibrary& lib, const STManipAUB* pstRepertoire);
int64_t fRepTaille(CZNLibrary& lib, const STManipAUB* pstRepertoire, int32_t nOptions);
// The full name of the parent directory; relative to the current directory
// with fCheminRelatif (1).
CZNDSTR fRepParent(CZNLibrary& lib, const STManipAUB* pstChemin);
CZNDSTR fRepParent(CZNLibrary& lib, const STManipAUB* pstChemin, int32_t nRelatif);
// The current directory, after changing it when a name is given.
CZNDSTR fRepEnCours(CZNLibrary& lib);
CZNDSTR fRepEnCours(CZNLibrary& lib, const STManipAUB* pstNouveau);
CZNDSTR fRepEnCours(CZNLibrary& lib, const STManipAUB* pstNouveau, const CAny& clAutre);

// --- Temporary files ----------------------------------------------------------------
CZNDSTR fRepertoireTemp(CZNLibrary& lib);
// A new empty file: the prefix and six unique characters, in the directory
// (default: the temporary directory).
CZNDSTR fFichierTemp(CZNLibrary& lib);
CZNDSTR fFichierTemp(CZNLibrary& lib, const STManipAUB* pstPrefixe);
CZNDSTR fFichierTemp(CZNLibrary& lib, const STManipAUB* pstPrefixe, const STManipAUB* pstRepertoire);
// That file opened with the mode (default read and write) and foCreation.
int32_t fOuvreFichierTemp(CZNLibrary& lib);
int32_t fOuvreFichierTemp(CZNLibrary& lib, int32_t nMode);
int32_t fOuvreFichierTemp(CZNLibrary& lib, int32_t nMode, const STManipAUB* pstPrefixe);
int32_t fOuvreFichierTemp(CZNLibrary& lib, int32_t nMode, const STManipAUB* pstPrefixe,
                          const STManipAUB* pstRepertoire);

// --- Dates, times and attributes -------------------------------------------------------
// The local modification (0, the default), creation (1) or access (2) time
// as YYYYMMDD, HHMMSS or YYYYMMDDHHMMSS; with a new value (year 1980 or
// later) that time is set first, the other fields staying as they are.
CZNDSTR fDate(CZNLibrary& lib, const STManipAUB* pstNom);
CZNDSTR fDate(CZNLibrary& lib, const STManipAUB* pstNom, const STManipAUB* pstValeur);
CZNDSTR fDate(CZNLibrary& lib, const STManipAUB* pstNom, const STManipAUB* pstValeur, int32_t nQuel);
CZNDSTR fHeure(CZNLibrary& lib, const STManipAUB* pstNom);
CZNDSTR fHeure(CZNLibrary& lib, const STManipAUB* pstNom, const STManipAUB* pstValeur);
CZNDSTR fHeure(CZNLibrary& lib, const STManipAUB* pstNom, const STManipAUB* pstValeur, int32_t nQuel);
CZNDSTR fDateHeure(CZNLibrary& lib, const STManipAUB* pstNom);
CZNDSTR fDateHeure(CZNLibrary& lib, const STManipAUB* pstNom, const STManipAUB* pstValeur);
CZNDSTR fDateHeure(CZNLibrary& lib, const STManipAUB* pstNom, const STManipAUB* pstValeur, int32_t nQuel);
// The letters "D", "H", "R"; with new letters, "R" makes the file read only
// (no write bit) and its absence gives the owner back the write bit. "ERR"
// on failure.
CZNDSTR fAttribut(CZNLibrary& lib, const STManipAUB* pstNom);
CZNDSTR fAttribut(CZNLibrary& lib, const STManipAUB* pstNom, const STManipAUB* pstNouveaux);
// The same for a directory (80062 for anything else).
CZNDSTR fRepAttribut(CZNLibrary& lib, const STManipAUB* pstNom);
CZNDSTR fRepAttribut(CZNLibrary& lib, const STManipAUB* pstNom, const STManipAUB* pstNouveaux);
// No write bit; with a flag, made so (or given the owner's write bit).
bool fAttributLectureSeule(CZNLibrary& lib, const STManipAUB* pstNom);
bool fAttributLectureSeule(CZNLibrary& lib, const STManipAUB* pstNom, bool bLectureSeule);

// --- Whole texts, comparison, paths --------------------------------------------------
// The whole file as one string (a file this process holds open is read
// through its handle, so that its locks stay).
CZNDSTR fChargeTexte(CZNLibrary& lib, const STManipAUB* pstNom);
// Replaces the file by the text: written beside it and renamed over it, so
// that a failure leaves the old file whole.
bool fSauveTexte(CZNLibrary& lib, const STManipAUB* pstNom, const STManipAUB* pstTexte);
// 0 same bytes, 1 different, -1 / -2 the first / second cannot be read.
int32_t fCompare(CZNLibrary& lib, const STManipAUB* pstNom1, const STManipAUB* pstNom2);
// Directory (2), file name (4) and extension (8) of a path, in that order.
CZNDSTR fExtraitChemin(CZNLibrary& lib, const STManipAUB* pstChemin, int32_t nParties);
// Every slash and backslash replaced by the separator of a kind (0, 2
// slash; 1 backslash) or by a given text; with bUNC a leading double
// separator stays.
CZNDSTR fSeparateur(CZNLibrary& lib, const STManipAUB* pstChemin);
CZNDSTR fSeparateur(CZNLibrary& lib, const STManipAUB* pstChemin, int32_t nGenre);
CZNDSTR fSeparateur(CZNLibrary& lib, const STManipAUB* pstChemin, const STManipAUB* pstSeparateur);
CZNDSTR fSeparateur(CZNLibrary& lib, const STManipAUB* pstChemin, const STManipAUB* pstSeparateur, bool bUNC);

// --- Listings ------------------------------------------------------------------------
// The files (fListeRepertoire: the directories) matching the pattern, in the
// tree unless frNonRecursif (2): their full names separated by CR LF, with
// frInformationComplete (16) each followed by TAB size TAB
// YYYYMMDDHHMMSS TAB attribute letters. frSansFichierCache (256) and
// frSansRepertoireCache (512) leave out the dot files and what lies in dot
// directories.
CZNDSTR fListeFichier(CZNLibrary& lib, const STManipAUB* pstMotif);
CZNDSTR fListeFichier(CZNLibrary& lib, const STManipAUB* pstMotif, int32_t nOptions);
// The procedure is called with (directory, name, flFichier 0 /
// flChangeRepertoire 1 / flPremierFichier 2, the value) for each; a result
// of false or 0 stops. frInterruptible (4) stops at a user interruption.
// The number of entries found.
int32_t fListeFichier(CZNLibrary& lib, const STManipAUB* pstMotif, const char* pszProcedure);
int32_t fListeFichier(CZNLibrary& lib, const STManipAUB* pstMotif, const char* pszProcedure, const CAny& clValeur);
int32_t fListeFichier(CZNLibrary& lib, const STManipAUB* pstMotif, const char* pszProcedure, const CAny& clValeur,
                      int32_t nOptions);
CZNDSTR fListeRepertoire(CZNLibrary& lib, const STManipAUB* pstMotif);
CZNDSTR fListeRepertoire(CZNLibrary& lib, const STManipAUB* pstMotif, int32_t nOptions);
int32_t fListeRepertoire(CZNLibrary& lib, const STManipAUB* pstMotif, const char* pszProcedure);
int32_t fListeRepertoire(CZNLibrary& lib, const STManipAUB* pstMotif, const char* pszProcedure,
                         const CAny& clValeur);
int32_t fListeRepertoire(CZNLibrary& lib, const STManipAUB* pstMotif, const char* pszProcedure, const CAny& clValeur,
                         int32_t nOptions);
// A pattern starts a search and gives its first entry name; an empty
// pattern the next (80054 without a search); "" at the end. Type frFichier
// (39), frRepertoire (55, files and directories), plus 4096, or 4096 alone
// (80053 otherwise).
CZNDSTR fRep(CZNLibrary& lib, const STManipAUB* pstMotif);
CZNDSTR fRep(CZNLibrary& lib, const STManipAUB* pstMotif, int32_t nType);

// --- Shared memory zones ------------------------------------------------------------
// A zone shared between processes as a file handle: the name's first
// character and the existing file that the rest names make its key (81508
// when they do not, or when the zone cannot be opened or made). Read and
// write with foEcriture (2) in the mode (default read and write), read only
// otherwise; foUnicode (4096) gives a new zone the byte-order mark. The
// scope and the text have no effect here.
int32_t fMemOuvre(CZNLibrary& lib, const STManipAUB* pstNom, int32_t nTaille);
int32_t fMemOuvre(CZNLibrary& lib, const STManipAUB* pstNom, int32_t nTaille, int32_t nPortee);
int32_t fMemOuvre(CZNLibrary& lib, const STManipAUB* pstNom, int32_t nTaille, int32_t nPortee, int32_t nMode);
int32_t fMemOuvre(CZNLibrary& lib, const STManipAUB* pstNom, int32_t nTaille, int32_t nPortee, int32_t nMode,
                  const STManipAUB* pstTexte);
bool fMemExiste(CZNLibrary& lib, const STManipAUB* pstNom);
bool fMemExiste(CZNLibrary& lib, const STManipAUB* pstNom, int32_t nPortee);
// Not available here: 81511, and true.
bool fMemAttend(CZNLibrary& lib, int32_t nHandle);
bool fMemAttend(CZNLibrary& lib, int32_t nHandle, int32_t nDelai);

}  // namespace files
