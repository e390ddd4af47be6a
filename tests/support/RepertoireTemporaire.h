#pragma once

// A fresh folder for one test and the raw bytes of the files in it.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace kiv_test {

/** A fresh folder under the tests' temporary folder, named after the test, removed with its files.
 */
class RepertoireTemporaire {
public:
    RepertoireTemporaire()
    {
        const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
        std::string nom = "kiv_" + std::to_string(::getpid());
        if (test != nullptr) {
            nom += std::string("_") + test->test_suite_name() + "_" + test->name();
        }
        m_chemin = std::filesystem::path(testing::TempDir()) / nom;
        std::filesystem::remove_all(m_chemin);
        std::filesystem::create_directories(m_chemin);
    }
    ~RepertoireTemporaire()
    {
        std::error_code ignore;
        std::filesystem::remove_all(m_chemin, ignore);
    }
    RepertoireTemporaire(const RepertoireTemporaire&) = delete;
    RepertoireTemporaire& operator=(const RepertoireTemporaire&) = delete;

    std::string operator/(const std::string& nom) const { return (m_chemin / nom).string(); }
    const std::filesystem::path& chemin() const { return m_chemin; }

    /** Names of the entries of the folder, sorted. */
    std::vector<std::string> entrees() const
    {
        std::vector<std::string> noms;
        for (const auto& e : std::filesystem::directory_iterator(m_chemin)) {
            noms.push_back(e.path().filename().string());
        }
        std::sort(noms.begin(), noms.end());
        return noms;
    }

private:
    std::filesystem::path m_chemin;
};

/** The bytes of a file exactly as stored; empty when it cannot be read. */
inline std::string lireOctets(const std::string& chemin)
{
    std::ifstream f(chemin, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

inline void ecrireOctets(const std::string& chemin, const std::string& octets)
{
    std::ofstream f(chemin, std::ios::binary | std::ios::trunc);
    f << octets;
}

} // namespace kiv_test
