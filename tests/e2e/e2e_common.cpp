#include "e2e_common.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <memory>
#include <sstream>

#include <gtest/gtest.h>

#include "common/temp_dir.h"

namespace e2e {

namespace {

class CEnvironnement : public ::testing::Environment {
public:
    void TearDown() override { Session().Arrete(); }
};
const auto* s_pEnv = ::testing::AddGlobalTestEnvironment(new CEnvironnement);

std::string LitFichier(const std::string& sChemin) {
    std::ifstream f(sChemin, std::ios::binary);
    std::ostringstream o;
    o << f.rdbuf();
    return o.str();
}

}  // namespace

qvhost::CSession& Session() {
    static qvhost::CSession s_clSession;
    if (!s_clSession.Module().bDemarre()) {
        std::string sErreur;
        if (!s_clSession.bDemarre(QV_MODULE_PATH, qvhost::LANGUE_FR, sErreur))
            ADD_FAILURE() << "start-up failed: " << sErreur;
    }
    return s_clSession;
}

json Appel(const std::string& sNom, const std::vector<json>& tabArgs, int nSurcharge) {
    return Session().Appel(sNom, tabArgs, false, nSurcharge);
}

STSortie LanceHote(const std::vector<std::string>& tabArgs, const std::string& sEntree) {
    STSortie st;
    CRepTemporaire clRep("qvhost_e2e");
    if (!clRep.bOk()) return st;
    std::string sIn = clRep.sChemin("in"), sOut = clRep.sChemin("out"), sErr = clRep.sChemin("err");
    {
        std::ofstream f(sIn, std::ios::binary);
        f << sEntree;
    }
    std::vector<std::string> tabTout = {QV_HOST_PATH};
    tabTout.insert(tabTout.end(), tabArgs.begin(), tabArgs.end());
    std::vector<char*> tabArgv;
    for (auto& s : tabTout) tabArgv.push_back(s.data());
    tabArgv.push_back(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
        int fdIn = open(sIn.c_str(), O_RDONLY);
        int fdOut = open(sOut.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int fdErr = open(sErr.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (fdIn < 0 || fdOut < 0 || fdErr < 0) _exit(126);
        dup2(fdIn, 0);
        dup2(fdOut, 1);
        dup2(fdErr, 2);
        execv(tabArgv[0], tabArgv.data());
        _exit(127);
    }
    if (pid > 0) {
        int nEtat = 0;
        while (waitpid(pid, &nEtat, 0) < 0 && errno == EINTR) {
        }
        st.nStatut = WIFEXITED(nEtat) ? WEXITSTATUS(nEtat) : 128 + WTERMSIG(nEtat);
        st.sOut = LitFichier(sOut);
        st.sErr = LitFichier(sErr);
    }
    return st;
}

}  // namespace e2e
