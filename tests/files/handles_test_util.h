// The fixture of the tests that call the file functions in process: a
// fresh temporary directory, the table of open files started afresh, a
// library object without a host, and file-function strings (ANSI or
// Unicode) that live as long as the test.
#pragma once
#include <string>
#include <vector>

#include "component/compo.h"
#include "core/zndstr.h"
#include "files/fh_table.h"
#include "files_test_util.h"
#include "qvstd/manipaub.h"

namespace filestest {

class HandlesTest : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        _FIC_FinModule();
        ASSERT_TRUE(_FIC_bInitModule());
    }
    void TearDown() override {
        _FIC_FinModule();
        TempDirTest::TearDown();
    }
    ~HandlesTest() override {
        for (auto* p : m_tabManips) delete p;
    }
    const STManipAUB* Nom(const std::string& s) {
        m_tabTextes.emplace_back();
        m_tabTextes.back().nAssign(s.data(), int(s.size()));
        m_tabManips.push_back(new STManipAUB{m_tabTextes.back().pGetMemoire(), 0});
        return m_tabManips.back();
    }
    const STManipAUB* NomW(const std::wstring& s) {
        m_tabTextes.emplace_back();
        m_tabTextes.back().nAssignUNICODE(s.data(), int(s.size()));
        m_tabManips.push_back(new STManipAUB{m_tabTextes.back().pGetMemoire(), STManipAUB::TYPE_UNICODE});
        return m_tabManips.back();
    }
    int Erreur() { return m_clLib.pclGetError()->nGetUserError(); }

    CComposanteStandard m_clLib;
    std::vector<CZNDSTR> m_tabTextes{};
    std::vector<STManipAUB*> m_tabManips;
};

}  // namespace filestest
