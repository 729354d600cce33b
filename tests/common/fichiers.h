// Whole files for tests: read one into a string, write one from a string
// (with the mode given), and whether a path exists (links not followed).
#pragma once
#include <sys/stat.h>

#include <fstream>
#include <sstream>
#include <string>

inline std::string TEST_LitFichier(const std::string& sChemin) {
    std::ifstream f(sChemin, std::ios::binary);
    std::ostringstream o;
    o << f.rdbuf();
    return o.str();
}

inline void TEST_EcritFichier(const std::string& sChemin, const std::string& sTexte, mode_t nMode = 0644) {
    {
        std::ofstream f(sChemin, std::ios::binary | std::ios::trunc);
        f << sTexte;
    }
    chmod(sChemin.c_str(), nMode);
}

inline bool TEST_bExiste(const std::string& sChemin) {
    struct stat st;
    return lstat(sChemin.c_str(), &st) == 0;
}
