#include "ligne_libedit.h"

#include <histedit.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>

namespace qvhost {

namespace {

constexpr int k_nHistoriqueMax = 1000;

// libedit asks for the prompt text through a function; one editor at a time.
std::string g_sInvite;
char* TexteInvite(EditLine*) { return g_sInvite.data(); }

// The terminal's character set while libedit reads (so that accented letters
// edit as one character), the process's own the rest of the time: the
// component's text functions must not see a changed locale.
class CLocaleTerminal {
public:
    CLocaleTerminal() {
        const char* psz = std::setlocale(LC_CTYPE, nullptr);
        m_sAncienne = psz ? psz : "C";
        std::setlocale(LC_CTYPE, "");
    }
    ~CLocaleTerminal() { std::setlocale(LC_CTYPE, m_sAncienne.c_str()); }

private:
    std::string m_sAncienne;
};

class CSaisieEditee : public CSaisie {
public:
    explicit CSaisieEditee(const std::string& sHistorique) : m_sHistorique(sHistorique) {
        CLocaleTerminal clLocale;
        m_pHist = history_init();
        HistEvent ev;
        if (m_pHist) {
            history(m_pHist, &ev, H_SETSIZE, k_nHistoriqueMax);
            history(m_pHist, &ev, H_SETUNIQUE, 1);
            if (!m_sHistorique.empty()) history(m_pHist, &ev, H_LOAD, m_sHistorique.c_str());
        }
        m_pEl = el_init("qvhost", stdin, stdout, stderr);
        if (m_pEl) {
            el_set(m_pEl, EL_EDITOR, "emacs");
            el_set(m_pEl, EL_SIGNAL, 1);   // the terminal is restored around Ctrl-C and Ctrl-Z
            el_set(m_pEl, EL_PROMPT, TexteInvite);
            if (m_pHist) el_set(m_pEl, EL_HIST, history, m_pHist);
            el_source(m_pEl, nullptr);     // the user's own key bindings (~/.editrc), when there are
        }
    }
    ~CSaisieEditee() override {
        if (m_pEl) el_end(m_pEl);
        if (m_pHist) history_end(m_pHist);
    }
    CSaisieEditee(const CSaisieEditee&) = delete;
    CSaisieEditee& operator=(const CSaisieEditee&) = delete;

    eLecture Lit(const std::string& sInvite, std::string& sLigne) override {
        if (!m_pEl) return CreeSaisieSimple()->Lit(sInvite, sLigne);
        g_sInvite = sInvite;
        CLocaleTerminal clLocale;
        int nLus = 0;
        const char* psz = el_gets(m_pEl, &nLus);
        if (CInterruption::bRecue()) {
            // The cut line is dropped; the next read starts afresh.
            el_reset(m_pEl);
            std::fputc('\n', stdout);
            return eLecture::ANNULEE;
        }
        if (!psz || nLus <= 0) return eLecture::FIN;
        sLigne.assign(psz, static_cast<size_t>(nLus));
        while (!sLigne.empty() && (sLigne.back() == '\n' || sLigne.back() == '\r')) sLigne.pop_back();
        return eLecture::LIGNE;
    }

    void Retient(const std::string& sLigne) override {
        if (!m_pHist || sLigne.find_first_not_of(" \t") == std::string::npos) return;
        HistEvent ev;
        history(m_pHist, &ev, H_ENTER, sLigne.c_str());
        // Written at once, so that a session that ends badly keeps its lines.
        if (!m_sHistorique.empty()) history(m_pHist, &ev, H_SAVE, m_sHistorique.c_str());
    }

private:
    std::string m_sHistorique;
    History* m_pHist = nullptr;
    EditLine* m_pEl = nullptr;
};

}  // namespace

std::unique_ptr<CSaisie> CreeSaisieEditee(const std::string& sHistorique) {
    return std::make_unique<CSaisieEditee>(sHistorique);
}

}  // namespace qvhost
