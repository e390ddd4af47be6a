#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace kiv_test {

/** A fresh folder for one test, removed with its files. */
class DossierScom {
public:
    DossierScom()
    {
        const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
        std::string nom = "kiv_link_" + std::to_string(::getpid());
        if (test != nullptr) {
            nom += std::string("_") + test->test_suite_name() + "_" + test->name();
        }
        m_chemin = std::filesystem::path(testing::TempDir()) / nom;
        std::filesystem::remove_all(m_chemin);
        std::filesystem::create_directories(m_chemin);
    }
    ~DossierScom()
    {
        std::error_code ignore;
        std::filesystem::remove_all(m_chemin, ignore);
    }
    DossierScom(const DossierScom&) = delete;
    DossierScom& operator=(const DossierScom&) = delete;

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

/** The settings file as the dialog writes it, for `port` and `baud`. */
inline std::string scomAttendu(const std::string& port, const std::string& baud)
{
    return ";scom.ini\r\n;fichier de configuration des ports s\xE9ries\r\n\r\n[OPTIONS]\r\n"
           "Last Port = " +
           port + "\r\n\r\n[Port#1]\r\nBaud Rate = " + baud + "\r\n";
}

} // namespace kiv_test
