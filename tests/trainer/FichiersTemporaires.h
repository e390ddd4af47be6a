#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <locale>
#include <string>
#include <unistd.h>

namespace kiv_test {

/** A fresh directory under the test's temporary directory, removed with its files. */
class RepertoireTemporaire {
public:
    RepertoireTemporaire()
    {
        const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
        std::string nom = "kiv_trainer_" + std::to_string(::getpid());
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

/** Every "\n" of a text written with LF line ends turned into "\r\n". */
inline std::string enCRLF(const std::string& texte)
{
    std::string r;
    for (char c : texte) {
        if (c == '\n') {
            r += '\r';
        }
        r += c;
    }
    return r;
}

/** A numeric punctuation with ',' as decimal point and '.' grouping every three digits. */
class VirguleDecimale : public std::numpunct<char> {
protected:
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

/** Installs a global C++ locale that writes 0,5 and 1.000; restores the previous one. */
class LocaleVirgule {
public:
    LocaleVirgule()
        : m_precedente(
              std::locale::global(std::locale(std::locale::classic(), new VirguleDecimale)))
    {}
    ~LocaleVirgule() { std::locale::global(m_precedente); }
    LocaleVirgule(const LocaleVirgule&) = delete;
    LocaleVirgule& operator=(const LocaleVirgule&) = delete;

private:
    std::locale m_precedente;
};

} // namespace kiv_test
