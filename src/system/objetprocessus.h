// The language's Processus objects: a program to launch and what is known
// of it (command line, identifier, return value, login, working directory,
// machine). The launch functions do not read them; the object keeps what
// the program sets, as owned copies.
#pragma once
#include <cstdint>

#include "core/zndstr.h"
#include "qvstd/objet.h"

class CObjetProcessus final : public IObjetComposante {
public:
    // Properties, in the order of the class's property rows.
    enum ePropriete {
        P_EXECUTABLE,
        P_LIGNEDECOMMANDE,
        P_PID,
        P_VALEURDERETOUR,
        P_LOGINEXECUTION,
        P_MOTDEPASSEEXECUTION,
        P_EXECUTIONINTERACTIVE,
        P_REPERTOIREDETRAVAIL,
        P_EXECUTIONENCOURS,
        P_NOMMACHINE,
        P_NOMBRE
    };

    // A new object, with one reference; null when memory is short.
    static CObjetProcessus* s_pclCree();
    // The object of a language-visible address (null gives null).
    static CObjetProcessus* s_pclDepuisVisible(void* pVisible);
    void* pGetVisible() { return &m_stValeurs; }

    int AddRef() override { return ++m_nRef; }
    int Release() override;

    // Copies the other's state (its strings shared, copy on write).
    void Copie(const CObjetProcessus& clSource);

    // String properties (P_EXECUTABLE, P_LIGNEDECOMMANDE, P_LOGINEXECUTION,
    // P_MOTDEPASSEEXECUTION, P_REPERTOIREDETRAVAIL, P_NOMMACHINE).
    const CZNDSTR& sGet(ePropriete e) const;
    // Setting the executable keeps the program of a command line: a leading
    // double-quoted path is taken whole, else up to the first space.
    void Set(ePropriete e, const CZNDSTRBase& sValeur);
    // Integer and boolean properties; the read-only ones (P_PID,
    // P_EXECUTIONENCOURS) keep their value.
    int32_t nGet(ePropriete e) const;
    void Set(ePropriete e, int32_t nValeur);
    static bool s_bChaine(ePropriete e);

private:
    CObjetProcessus() = default;
    ~CObjetProcessus() = default;

    // What the language sees, two words into the object.
    struct STValeurs {
        CZNDSTR sExecutable;
        CZNDSTR sLigneDeCommande;
        int32_t nPID = 0;
        int32_t nValeurDeRetour = 0;
        CZNDSTR sLoginExecution;
        CZNDSTR sMotDePasseExecution;
        int32_t bExecutionInteractive = 0;
        CZNDSTR sRepertoireDeTravail;
        int32_t bExecutionEnCours = 0;
        CZNDSTR sNomMachine;
    };

    intptr_t m_nRef = 1;
    STValeurs m_stValeurs;

    CZNDSTR* _ps(ePropriete e);
};
