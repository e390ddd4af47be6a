#include "trainer/TexteWindows.h"

#include "core/LigneBornee.h"

#include <locale>

namespace {

/** Code points of the bytes 0x80 .. 0x9F; 0 where the byte is unassigned. */
constexpr char32_t kPlage80[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

bool continuation(unsigned char octet)
{
    return (octet & 0xC0) == 0x80;
}

/** Length of the sequence a lead byte starts, 0 when it starts none. */
int longueurSequence(unsigned char octet)
{
    if (octet >= 0xC2 && octet <= 0xDF) {
        return 2;
    }
    if (octet >= 0xE0 && octet <= 0xEF) {
        return 3;
    }
    if (octet >= 0xF0 && octet <= 0xF4) {
        return 4;
    }
    return 0;
}

} // namespace

unsigned char versWindows1252(char32_t point)
{
    if (point < 0x80 || (point >= 0xA0 && point <= 0xFF)) {
        return static_cast<unsigned char>(point);
    }
    for (int k = 0; k < 32; ++k) {
        if (kPlage80[k] != 0 && kPlage80[k] == point) {
            return static_cast<unsigned char>(0x80 + k);
        }
    }
    return '?';
}

char32_t depuisWindows1252(unsigned char octet)
{
    return octet >= 0x80 && octet < 0xA0 ? kPlage80[octet - 0x80] : octet;
}

TamponWindows::TamponWindows(std::streambuf* destination)
    : m_destination(destination)
{}

bool TamponWindows::ecrireOctet(unsigned char octet)
{
    return m_destination->sputc(static_cast<char>(octet)) != traits_type::eof();
}

bool TamponWindows::ecrireBrut()
{
    bool ok = true;
    for (int k = 0; k < m_longueur; ++k) {
        ok = ecrireOctet(m_sequence[k]) && ok;
    }
    m_longueur = 0;
    m_attendus = 0;
    return ok;
}

bool TamponWindows::traiter(unsigned char octet)
{
    bool ok = true;
    if (m_attendus != 0) {
        if (continuation(octet)) {
            m_sequence[m_longueur++] = octet;
            if (m_longueur < m_attendus) {
                return true;
            }
            char32_t point = m_sequence[0] & (0xFF >> (m_attendus + 1));
            for (int k = 1; k < m_longueur; ++k) {
                point = (point << 6) | (m_sequence[k] & 0x3F);
            }
            constexpr char32_t kMinimum[5] = {0, 0, 0x80, 0x800, 0x10000};
            const bool valide = point >= kMinimum[m_attendus] && point <= 0x10FFFF &&
                                (point < 0xD800 || point > 0xDFFF);
            if (!valide) {
                return ecrireBrut();
            }
            m_longueur = 0;
            m_attendus = 0;
            return ecrireOctet(versWindows1252(point));
        }
        // A broken sequence is kept as it was; the new byte starts afresh.
        ok = ecrireBrut();
    }
    if (octet == '\n') {
        return ecrireOctet('\r') && ecrireOctet('\n') && ok;
    }
    const int longueur = longueurSequence(octet);
    if (longueur == 0) {
        return ecrireOctet(octet) && ok;
    }
    m_sequence[0] = octet;
    m_longueur = 1;
    m_attendus = longueur;
    return ok;
}

bool TamponWindows::vider()
{
    return ecrireBrut();
}

TamponWindows::int_type TamponWindows::overflow(int_type c)
{
    if (traits_type::eq_int_type(c, traits_type::eof())) {
        return traits_type::not_eof(c);
    }
    return traiter(static_cast<unsigned char>(traits_type::to_char_type(c))) ? c
                                                                             : traits_type::eof();
}

std::streamsize TamponWindows::xsputn(const char* s, std::streamsize n)
{
    for (std::streamsize k = 0; k < n; ++k) {
        if (!traiter(static_cast<unsigned char>(s[k]))) {
            return k;
        }
    }
    return n;
}

int TamponWindows::sync()
{
    return m_destination->pubsync();
}

FichierTexteSortie::FichierTexteSortie(const std::string& chemin)
    : std::ostream(nullptr)
    , m_ecriture(chemin)
    , m_fichier(m_ecriture)
    , m_tampon(&m_fichier)
{
    imbue(std::locale::classic());
    if (m_ecriture.ouverte()) {
        rdbuf(&m_tampon);
    } else {
        setstate(std::ios::badbit);
    }
}

FichierTexteSortie::~FichierTexteSortie() = default;

bool FichierTexteSortie::fermer()
{
    if (!m_ecriture.ouverte()) {
        return false;
    }
    flush();
    bool ok = !fail();
    ok = m_tampon.vider() && ok;
    ok = m_fichier.vider() && ok;
    ok = ok && m_ecriture.valider();
    if (!ok) {
        m_ecriture.abandonner();
        setstate(std::ios::badbit);
    }
    return ok;
}

std::string FichierTexteSortie::raison() const
{
    if (m_ecriture.raison().empty() && fail()) {
        return "écriture interrompue";
    }
    return m_ecriture.raison();
}

FichierTexteEntree::FichierTexteEntree(const std::string& chemin)
    : FichierLecture(chemin)
{
    imbue(std::locale::classic());
    // An editor's UTF-8 byte-order mark is no part of the text.
    char debut[3] = {};
    if (is_open() && (!read(debut, sizeof debut) || debut[0] != '\xEF' || debut[1] != '\xBB' ||
                      debut[2] != '\xBF')) {
        clear(rdstate() & std::ios::badbit);
        seekg(0);
    }
}

bool lireLigne(std::istream& is, std::string& ligne)
{
    if (lireLigneBornee(is, ligne, LongueurLigneTexteMax, AuDela::Couper) == LigneLue::Ligne) {
        return true;
    }
    ligne.clear();
    return false;
}
