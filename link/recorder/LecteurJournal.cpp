#include "link/recorder/LecteurJournal.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace journal {

namespace {

/** Reads up to `n` bytes; the count actually read. */
std::size_t lireOctets(std::istream& entree, std::uint8_t* destination, std::size_t n)
{
    entree.read(reinterpret_cast<char*>(destination), static_cast<std::streamsize>(n));
    return static_cast<std::size_t>(entree.gcount());
}

} // namespace

LecteurJournal::LecteurJournal(std::istream& entree)
    : m_entree(entree)
{}

bool LecteurJournal::lireEntete()
{
    std::array<std::uint8_t, TailleEntete> entete{};
    if (lireOctets(m_entree, entete.data(), entete.size()) != entete.size()) {
        arret(Lecture::Corrompu, "journal trop court pour son en-tête");
        return false;
    }
    if (std::memcmp(entete.data(), Magie, sizeof Magie) != 0) {
        arret(Lecture::Corrompu, "ce fichier n'est pas un journal du robot");
        return false;
    }
    const auto version = prendre<std::uint16_t>(entete.data() + 6);
    if (version != Version && version != VersionSansPosition && version != VersionSansTerrain &&
        version != VersionSansCarte) {
        arret(Lecture::Corrompu, "version de journal inconnue : " + std::to_string(version));
        return false;
    }
    m_version = version;
    m_debut = prendre<std::int64_t>(entete.data() + 8);
    m_entete = true;
    return true;
}

Lecture LecteurJournal::arret(Lecture raison, std::string texte)
{
    m_arrete = true;
    m_raison = raison;
    m_erreur = std::move(texte);
    return raison;
}

Lecture LecteurJournal::suivant(Enregistrement& e)
{
    if (m_arrete) {
        return m_raison;
    }
    if (!m_entete) {
        return arret(Lecture::Corrompu, "en-tête non lu");
    }
    std::array<std::uint8_t, TailleEnteteEnregistrement> entete{};
    const std::size_t lu = lireOctets(m_entree, entete.data(), entete.size());
    if (lu == 0) {
        return arret(Lecture::Fin, {});
    }
    if (lu < entete.size()) {
        return arret(Lecture::Tronque, "dernier enregistrement incomplet");
    }
    const auto temps = prendre<std::uint64_t>(entete.data());
    const std::uint8_t genre = entete[8];
    const auto n = prendre<std::uint16_t>(entete.data() + 9);
    if (!genreConnu(genre, m_version)) {
        return arret(Lecture::Corrompu,
                     "enregistrement de genre inconnu : " + std::to_string(genre));
    }
    if (temps < m_dernierTemps) {
        return arret(Lecture::Corrompu, "le temps d'un enregistrement recule");
    }
    // No session lasts a year: such a time is damage, and a replay would
    // wait for it for ever.
    if (temps > DureeSessionMaxUs) {
        return arret(Lecture::Corrompu, "temps d'enregistrement invraisemblable : " +
                                            std::to_string(temps / 1000000) + " s");
    }
    // The payload grows chunk by chunk with what the input really holds.
    constexpr std::size_t Morceau = 4096;
    e.charge.clear();
    while (e.charge.size() < n) {
        const std::size_t debut = e.charge.size();
        const std::size_t voulu = std::min<std::size_t>(Morceau, n - debut);
        e.charge.resize(debut + voulu);
        const std::size_t recu = lireOctets(m_entree, e.charge.data() + debut, voulu);
        if (recu < voulu) {
            e.charge.resize(debut + recu);
            return arret(Lecture::Tronque, "dernier enregistrement incomplet");
        }
    }
    // A map record the replay could not apply is damage, as an unknown kind is.
    if (genre == static_cast<std::uint8_t>(Genre::Destination)) {
        Destination d;
        if (!decoderDestination(e.charge.data(), e.charge.size(), d)) {
            return arret(Lecture::Corrompu,
                         "destination invalide (" + std::to_string(e.charge.size()) + " octets)");
        }
    } else if (genre == static_cast<std::uint8_t>(Genre::Calibration)) {
        PointCalibre p;
        if (!decoderCalibration(e.charge.data(), e.charge.size(), p)) {
            return arret(Lecture::Corrompu, "point de calibration invalide (" +
                                                std::to_string(e.charge.size()) + " octets)");
        }
    } else if (genre == static_cast<std::uint8_t>(Genre::Carte)) {
        Edition edition;
        if (!decoderEdition(e.charge.data(), e.charge.size(), edition)) {
            return arret(Lecture::Corrompu, "modification de carte invalide (" +
                                                std::to_string(e.charge.size()) + " octets)");
        }
    } else if (genre == static_cast<std::uint8_t>(Genre::ListeCalibration)) {
        EditionListe edition;
        if (!decoderListeCalibration(e.charge.data(), e.charge.size(), edition)) {
            return arret(Lecture::Corrompu, "modification de la liste de calibration invalide (" +
                                                std::to_string(e.charge.size()) + " octets)");
        }
    }
    if (genre == static_cast<std::uint8_t>(Genre::Position)) {
        PositionFiltree p;
        if (!decoderPosition(e.charge.data(), e.charge.size(), p)) {
            return arret(Lecture::Corrompu,
                         "position invalide (" + std::to_string(e.charge.size()) + " octets)");
        }
    }
    if (genre == static_cast<std::uint8_t>(Genre::Terrain)) {
        EtatTerrain terrain;
        if (!decoderTerrain(e.charge.data(), e.charge.size(), terrain)) {
            return arret(Lecture::Corrompu,
                         "terrain invalide (" + std::to_string(e.charge.size()) + " octets)");
        }
    }
    e.tempsUs = temps;
    e.genre = static_cast<Genre>(genre);
    m_dernierTemps = temps;
    ++m_nombre;
    return Lecture::Enregistrement;
}

} // namespace journal
