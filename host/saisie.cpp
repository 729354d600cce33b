#include "saisie.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace qvhost {

namespace {

volatile std::sig_atomic_t g_bInterruption = 0;

extern "C" void SurInterruption(int) { g_bInterruption = 1; }

class CSaisieSimple : public CSaisie {
public:
    eLecture Lit(const std::string& sInvite, std::string& sLigne) override {
        sLigne.clear();
        std::fputs(sInvite.c_str(), stdout);
        std::fflush(stdout);
        for (;;) {
            char c;
            ssize_t n = read(STDIN_FILENO, &c, 1);
            if (n == 1) {
                if (c == '\n') return eLecture::LIGNE;
                sLigne += c;
                continue;
            }
            if (n < 0 && errno == EINTR) {
                if (CInterruption::bRecue()) {
                    // The terminal dropped what was typed; the next prompt starts a fresh line.
                    std::fputc('\n', stdout);
                    return eLecture::ANNULEE;
                }
                continue;
            }
            // End of input: a last line without its newline still counts.
            return sLigne.empty() ? eLecture::FIN : eLecture::LIGNE;
        }
    }
};

}  // namespace

CInterruption::CInterruption() {
    g_bInterruption = 0;
    struct sigaction st {};
    st.sa_handler = SurInterruption;
    sigemptyset(&st.sa_mask);
    st.sa_flags = 0;   // no SA_RESTART: the read under way returns EINTR
    sigaction(SIGINT, &st, &m_stAncienne);
}

CInterruption::~CInterruption() { sigaction(SIGINT, &m_stAncienne, nullptr); }

bool CInterruption::bRecue() {
    bool b = g_bInterruption != 0;
    g_bInterruption = 0;
    return b;
}

std::unique_ptr<CSaisie> CreeSaisieSimple() { return std::make_unique<CSaisieSimple>(); }

std::string FichierHistorique() {
    const char* pszHome = std::getenv("HOME");
    if (!pszHome || !*pszHome) return {};
    std::string s = pszHome;
    if (s.back() != '/') s += '/';
    return s + ".qvhost_history";
}

}  // namespace qvhost
