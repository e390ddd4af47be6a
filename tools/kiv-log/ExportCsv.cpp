#include "ExportCsv.h"

#include "core/EcritureSure.h"
#include "world/RobotReports.h"

#include <charconv>
#include <cstdio>
#include <optional>
#include <string_view>

const char* const EnteteCsv = "temps_s,t1,t2,t3,t4,intervalle1_s,intervalle2_s,intervalle3_s,"
                              "x_cm,y_cm,bit0,bit1,batterie,commande";

namespace {

/** The frame being read, filled as its bytes arrive. */
struct Ligne {
    double temps = 0.0;
    std::int16_t horodatages[4] = {};
    float intervalles[3] = {};
    protocole::Estimation estimation;
    int bit0 = 0;
    int bit1 = 0;
    bool etatLu = false;
    std::optional<int> commande;
};

void ecrireLigne(std::ostream& sortie, const Ligne& l, int batterie)
{
    char texte[256];
    int n = std::snprintf(
        texte, sizeof texte, "%.6f,%d,%d,%d,%d,%.7g,%.7g,%.7g,", l.temps, l.horodatages[0],
        l.horodatages[1], l.horodatages[2], l.horodatages[3], static_cast<double>(l.intervalles[0]),
        static_cast<double>(l.intervalles[1]), static_cast<double>(l.intervalles[2]));
    sortie.write(texte, n);
    if (l.estimation.valide) {
        n = std::snprintf(texte, sizeof texte, "%d,%d", CoordonneeDeSortie(l.estimation.sortie1),
                          CoordonneeDeSortie(l.estimation.sortie0));
        sortie.write(texte, n);
    } else {
        sortie << ',';
    }
    n = std::snprintf(texte, sizeof texte, ",%d,%d,%d,", l.bit0, l.bit1, batterie);
    sortie.write(texte, n);
    if (l.commande) {
        sortie << *l.commande;
    }
    sortie << '\n';
}

/** The rate of an opening event ("ouvert COM1 9600 bauds 8N1"); 0 when it says none. */
int bauds(std::string_view texte)
{
    const std::size_t fin = texte.find(" bauds");
    if (fin == std::string_view::npos) {
        return 0;
    }
    const std::size_t debut = texte.rfind(' ', fin - 1);
    int valeur = 0;
    const char* premier = texte.data() + (debut == std::string_view::npos ? 0 : debut + 1);
    std::from_chars(premier, texte.data() + fin, valeur);
    return valeur;
}

} // namespace

BilanExport exporterCsv(std::istream& entree, std::ostream& sortie,
                        const protocole::Estimateur& estimateur, const std::string& chemin)
{
    BilanExport bilan;
    journal::LecteurSession lecteur(entree, chemin);
    if (!lecteur.lireEntete()) {
        bilan.fin = journal::Lecture::Corrompu;
        bilan.erreur = lecteur.erreur();
        return bilan;
    }
    bilan.lisible = true;
    sortie << EnteteCsv << '\n';

    // The console's chain, on the log's bytes, without the world.
    protocole::ChaineTrames chaine({estimateur, false, {}});
    const protocole::AnalyseurTrame& analyseur = chaine.analyseur();
    Ligne ligne;
    journal::Enregistrement e;
    journal::Lecture r;
    while ((r = lecteur.suivant(e)) == journal::Lecture::Enregistrement) {
        const double temps = static_cast<double>(e.tempsUs) / 1e6;
        switch (e.genre) {
        case journal::Genre::Lien:
            if (e.texte().starts_with(journal::EvenementOuvert)) {
                // Frames are found again after a silence as the console
                // found them, with the threshold of the port's rate.
                chaine.demarrer(protocole::seuilSilence(bauds(e.texte())));
                ligne = {};
            }
            break;
        case journal::Genre::Emis:
            chaine.noterEmission(static_cast<protocole::Instant>(e.tempsUs));
            // The reply to the status byte: the first byte sent after it.
            if (ligne.etatLu && !ligne.commande && !e.charge.empty()) {
                ligne.commande = e.charge.front();
            }
            break;
        case journal::Genre::Navigation:
        case journal::Genre::Destination:
        case journal::Genre::Carte:
        case journal::Genre::Calibration:
        case journal::Genre::Terrain:
        case journal::Genre::ListeCalibration:
        case journal::Genre::Position:
            break;
        case journal::Genre::Recu:
            for (const std::uint8_t octet : e.charge) {
                if (analyseur.rxState() == 2 && analyseur.rxIndex() == 0) {
                    ligne = {};
                    ligne.temps = temps;
                }
                const protocole::Etape etape =
                    chaine.recevoir(octet, static_cast<protocole::Instant>(e.tempsUs));
                const protocole::Evenement& ev = etape.evenement;
                if (ev.ecartes > 0) {
                    // The bytes so far were no whole frame: a new one starts here.
                    ligne = {};
                    ligne.temps = temps;
                }
                switch (ev.action) {
                case protocole::Action::Position:
                    for (int k = 0; k < 4; ++k) {
                        ligne.horodatages[k] = ev.horodatages[k];
                    }
                    for (int k = 0; k < 3; ++k) {
                        ligne.intervalles[k] = ev.intervalles[k];
                    }
                    ligne.estimation = etape.estimation;
                    break;
                case protocole::Action::Etat:
                    ligne.bit0 = ev.bit0;
                    ligne.bit1 = ev.bit1;
                    ligne.etatLu = true;
                    break;
                case protocole::Action::Batterie:
                    ecrireLigne(sortie, ligne, ev.batterie);
                    ++bilan.trames;
                    ligne = {};
                    break;
                case protocole::Action::Aucune:
                    break;
                }
            }
            break;
        }
    }
    bilan.fin = r;
    bilan.erreur = lecteur.erreur();
    return bilan;
}

BilanExport exporterCsvFichier(std::istream& entree, const std::string& fichier,
                               const protocole::Estimateur& estimateur, const std::string& chemin)
{
    FluxSur sortie(fichier);
    BilanExport bilan = exporterCsv(entree, sortie, estimateur, chemin);
    if (bilan.lisible && bilan.fin != journal::Lecture::Corrompu && !sortie.valider()) {
        bilan.raisonEcriture = sortie.raison().empty() ? "écriture interrompue" : sortie.raison();
    }
    return bilan;
}
