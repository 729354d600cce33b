// What the file and directory management functions share below the language
// functions: names as the file system takes them, results as the language
// reads them, wildcard expansion in-process, walks of directory trees that
// never leave them through a link, and whole-file copies and reads that keep
// the locks this process holds through its handles.
//
// No name ever reaches a shell: every operation is a system call on the
// name as it stands, whatever characters it holds.
#pragma once
#include <sys/stat.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "runtime/znlibrary.h"
#include "core/zndstr.h"
#include "qvstd/manipaub.h"

namespace files {

// --- Names ------------------------------------------------------------------------
// The name of a file-function string: UTF-8 for a Unicode name, the bytes of
// an ANSI one, backslashes turned into slashes; "" when absent.
std::string FIC_sNom(const STManipAUB* pstNom);
// Its characters as they stand (UTF-8 for a Unicode text, else its bytes).
std::string FIC_sTexte(const STManipAUB* pstNom);
// A name for the language: ANSI when it is plain ASCII or not UTF-8, else the
// Unicode text that its UTF-8 spells.
CZNDSTR FIC_sVersLangue(const std::string& sNom);
bool FIC_bJoker(const std::string& sNom);
// The directory part (without its end slash; "." when none, "/" for the
// root) and the last component.
std::string FIC_sRepertoireDe(const std::string& sNom);
std::string FIC_sBaseDe(const std::string& sNom);
std::string FIC_sJoint(const std::string& sRepertoire, const std::string& sNom);
// An absolute name (the current directory before a relative one).
std::string FIC_sComplet(const std::string& sNom);

// --- Expansion and walks -------------------------------------------------------------
// The entries of the pattern's directory whose names match its last
// component with the stream layer's matcher, sorted, as full names. A name
// beginning with "." matches only a pattern that begins with "." itself.
// bFichiers / bRepertoires choose the kinds kept (links are taken for what
// they are, never followed into a directory). False when the directory
// cannot be read (errno set).
bool FIC_bDeveloppe(const std::string& sMotif, bool bFichiers, bool bRepertoires, std::vector<std::string>& tab);
// One entry found by a walk.
struct STEntree {
    std::string sRepertoire;   // the directory holding it, without its end slash
    std::string sNom;          // the entry name
    struct stat64 st;          // lstat of the entry
};
// Walks sRepertoire (recursively when bRecursif) in name order and calls
// fn for every entry whose name matches sMotif ("" matches all; dot files
// included) and whose
// kind is chosen; a false answer stops the walk (the result is then true).
// Directories are entered once each, links never followed; a directory that
// cannot be read is passed over. False when sRepertoire cannot be read.
bool FIC_bParcours(const std::string& sRepertoire, const std::string& sMotif, bool bRecursif, bool bFichiers,
                   bool bRepertoires, const std::function<bool(const STEntree&)>& fn);

// --- Whole files ------------------------------------------------------------------
// Copies one file; a file that this process holds open through a handle is
// read through that handle's descriptor. Fills the error object on failure.
bool FIC_bCopie(const std::string& sSource, const std::string& sDestination, CXError* pclErreur);
// Reads a whole file (through the handle's descriptor when open, as above).
// False with errno set.
bool FIC_bCharge(const std::string& sNom, std::string& sContenu);
// Compares two files by content: 0 same, 1 different, -1/-2 the first or
// second cannot be opened.
int FIC_nCompare(const std::string& sNom1, const std::string& sNom2);
// Copies a directory tree into sDestination (created when missing): files,
// directories, and links as links; nothing outside the tree is ever read.
// False on the first failure (errno set, sEchec the name that failed).
bool FIC_bCopieArbre(const std::string& sSource, const std::string& sDestination, std::string& sEchec);
// Moves a file or a tree: a rename, or across file systems a copy that is
// checked before the source goes. False (errno set) leaves the source whole.
bool FIC_bDeplace(const std::string& sSource, const std::string& sDestination);

// --- Copies and moves by name -----------------------------------------------------
bool FIC_bEstRepertoire(const std::string& sNom);
// One file copied (or moved) to a destination that may name the directory
// to put it in (an end slash, or an existing directory); the destination's
// directory is created when missing. 0, or the errno of the failure.
int FIC_nUnFichier(const std::string& sSource, std::string sDestination, bool bDeplace);
// A pattern, a directory or a file copied (or moved) into a directory
// (created when missing), each file checked; directories only when
// bRecursif. 0, or the errno of the first failure and the names involved.
int FIC_nCopieVers(const std::string& sSource, const std::string& sDestination, bool bRecursif, bool bDeplace,
                   std::string& sEchecDe, std::string& sEchecVers);

// --- Errors -------------------------------------------------------------------------
// After lib.RaiseError: level 2, and the system's reason when nErrno is not 0.
void FIC_Raison(CZNLibrary& lib, int nErrno);
// The user error nCode (without parameters), then FIC_Raison.
void FIC_Echec(CZNLibrary& lib, int nCode, int nErrno);

}  // namespace files
