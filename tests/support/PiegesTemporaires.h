#pragma once

// Links planted where a writer will put its temporary file, as a hostile
// local user would: the writer's temporary names are made predictable for
// the test, and each of the first ones holds a link to a victim file.

#include "core/EcritureSure.h"
#include "support/RepertoireTemporaire.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace kiv_test {

class PiegesTemporaires {
public:
    /** Plants links to `victime` (its bytes kept) at the first temporary names of `cible`. */
    PiegesTemporaires(const std::string& cible, std::string victime)
        : m_victime(std::move(victime))
        , m_octets(lireOctets(m_victime))
    {
        s_suivant = 0;
        ecriture_sure::definirAlea(&suivant);
        for (std::uint64_t k = 1; k <= Nombre; ++k) {
            std::filesystem::create_symlink(m_victime, ecriture_sure::nomTemporaire(cible, k));
        }
    }
    ~PiegesTemporaires() { ecriture_sure::definirAlea(nullptr); }
    PiegesTemporaires(const PiegesTemporaires&) = delete;
    PiegesTemporaires& operator=(const PiegesTemporaires&) = delete;

    /** The victim holds its bytes still. */
    bool victimeIntacte() const { return lireOctets(m_victime) == m_octets; }
    /** Names the writer tried: more than the links means it went past them all. */
    static std::uint64_t essais() { return s_suivant; }

    static constexpr std::uint64_t Nombre = 3;

private:
    static std::uint64_t suivant() { return ++s_suivant; }

    static inline std::uint64_t s_suivant = 0;
    std::string m_victime;
    std::string m_octets;
};

} // namespace kiv_test
