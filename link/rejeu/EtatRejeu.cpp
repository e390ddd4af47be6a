#include "link/rejeu/EtatRejeu.h"

#include "link/protocol/RobotProtocol.h"
#include "link/recorder/Enregistreur.h"
#include "world/EditionsGrille.h"
#include "world/FichierTerrain.h"
#include "world/Instantane.h"
#include "world/RobotReports.h"

#include <algorithm>
#include <charconv>
#include <string_view>

namespace {

/** The rate of an opening event ("ouvert COM1 9600 bauds 8N1"); 0 when it says none. */
int bauds(std::string_view texte)
{
    const std::size_t fin = texte.find(" bauds");
    if (fin == std::string_view::npos || fin == 0) {
        return 0;
    }
    const std::size_t debut = texte.rfind(' ', fin - 1);
    int valeur = 0;
    const char* premier = texte.data() + (debut == std::string_view::npos ? 0 : debut + 1);
    std::from_chars(premier, texte.data() + fin, valeur);
    return valeur;
}

/** The border of the grid, all 1, around cells [1 .. 20]. */
void poserBordure(GrilleMonde& grille)
{
    constexpr int dernier = geo::GridSize - 1;
    for (int k = 0; k <= dernier; ++k) {
        grille[0][static_cast<std::size_t>(k)] = 1;
        grille[dernier][static_cast<std::size_t>(k)] = 1;
        grille[static_cast<std::size_t>(k)][0] = 1;
        grille[static_cast<std::size_t>(k)][dernier] = 1;
    }
}

} // namespace

EtatRejeu::EtatRejeu()
{
    poserBordure(grille);
    const Terrain initial = terrainInitial();
    for (std::size_t y = 0; y < geo::Cells; ++y) {
        for (std::size_t x = 0; x < geo::Cells; ++x) {
            grille[y + 1][x + 1] = initial.cellules[y][x];
        }
    }
    robot = initial.robot;
    // Frames before any opening (a continued file read alone) are found
    // again after a silence with the threshold of the usual rates.
    analyseur.reglerSeuilSilence(protocole::seuilSilence(0));
}

void EtatRejeu::poserTerrain(const journal::EtatTerrain& t)
{
    for (std::size_t y = 0; y < geo::Cells; ++y) {
        for (std::size_t x = 0; x < geo::Cells; ++x) {
            grille[y + 1][x + 1] = t.cellules[y][x];
        }
    }
    robot = {t.robotX, t.robotY};
    destinationPlacee = t.destinationPlacee;
    destination = t.destinationPlacee ? Point{t.destinationX, t.destinationY} : Point{-25, -25};
    banditVisible = t.banditVisible;
    bandit = {t.banditX, t.banditY};
    quadrillage = t.quadrillage;
    terrainEnregistre = true;
}

void EtatRejeu::appliquer(const journal::Enregistrement& e, const protocole::Estimateur& estimateur)
{
    const auto instant = static_cast<protocole::Instant>(e.tempsUs);
    switch (e.genre) {
    case journal::Genre::Recu:
        for (const std::uint8_t octet : e.charge) {
            recus.ajouter(octet);
            const protocole::Evenement ev = analyseur.recevoir(octet, instant);
            if (ev.ecartes > 0) {
                ++resynchronisations;
            }
            switch (ev.action) {
            case protocole::Action::Position:
                if (estimateur) {
                    const protocole::Estimation estimation =
                        estimateur(ev.intervalles[0], ev.intervalles[1], ev.intervalles[2]);
                    if (estimation.valide) {
                        ++estimations;
                    }
                    // A session of the filter recorded where it put the
                    // robot (kind 10, right after): that is what it showed.
                    if (estimation.valide && !positionsEnregistrees) {
                        // As the console places the robot: within one cell's
                        // radius the estimate is taken as noise.
                        const int x = CoordonneeDeSortie(estimation.sortie1);
                        const int y = CoordonneeDeSortie(estimation.sortie0);
                        const int dx = robot.x - x;
                        const int dy = robot.y - y;
                        if (dx * dx + dy * dy > 625) {
                            robot = {x, y};
                        }
                    }
                }
                break;
            case protocole::Action::Etat:
                bit0 = ev.bit0;
                bit1 = ev.bit1;
                break;
            case protocole::Action::Batterie:
                batterie = ev.batterie;
                ++trames;
                break;
            case protocole::Action::Aucune:
                break;
            }
        }
        break;
    case journal::Genre::Emis:
        analyseur.noterEmission(instant);
        for (const std::uint8_t octet : e.charge) {
            commandes.ajouter(octet);
            commande = octet;
            if (const auto codes = protocole::decoderCommande(octet)) {
                roueGauche = codes->gauche;
                roueDroite = codes->droite;
            }
        }
        break;
    case journal::Genre::Lien: {
        const std::string_view texte = e.texte();
        if (texte.starts_with(journal::EvenementOuvert)) {
            // Frames are counted from each opening, as the console counted them.
            analyseur.demarrer();
            analyseur.reglerSeuilSilence(protocole::seuilSilence(bauds(texte)));
        }
        if (!texte.starts_with(journal::EvenementSuite) &&
            !texte.starts_with(journal::EvenementReprise) &&
            !texte.starts_with(journal::EvenementResynchro) &&
            !texte.starts_with(journal::EvenementDebordement)) {
            evenementLien.assign(texte);
            tempsEvenementLien = e.tempsUs;
        }
        break;
    }
    case journal::Genre::Navigation:
        evenementNavigation.assign(e.texte());
        tempsEvenementNavigation = e.tempsUs;
        break;
    case journal::Genre::Destination:
        if (journal::Destination d;
            journal::decoderDestination(e.charge.data(), e.charge.size(), d)) {
            destinationPlacee = true;
            destination = {d.x, d.y};
            ++editions;
        }
        break;
    case journal::Genre::Carte:
        if (journal::Edition edition;
            journal::decoderEdition(e.charge.data(), e.charge.size(), edition)) {
            switch (edition.genre) {
            case journal::EditionCarte::Peinte:
                peindreObstacle(grille, edition.colonne, edition.ligne);
                break;
            case journal::EditionCarte::Effacee:
                effacerObstacle(grille, edition.colonne, edition.ligne);
                break;
            case journal::EditionCarte::Trouvee:
                marquerObstacle(grille, edition.colonne, edition.ligne);
                break;
            case journal::EditionCarte::Retiree:
                retirerObstacle(grille, edition.colonne, edition.ligne);
                break;
            }
            ++editions;
        }
        break;
    case journal::Genre::Terrain:
        if (journal::EtatTerrain terrain;
            journal::decoderTerrain(e.charge.data(), e.charge.size(), terrain)) {
            poserTerrain(terrain);
            ++editions;
        }
        break;
    case journal::Genre::Position:
        if (journal::PositionFiltree p;
            journal::decoderPosition(e.charge.data(), e.charge.size(), p)) {
            positionsEnregistrees = true;
            robot = {p.x, p.y};
            brut = {p.brutX, p.brutY};
        }
        break;
    case journal::Genre::Calibration:
    case journal::Genre::ListeCalibration:
        break;
    }
}

bool operator==(const EtatRejeu& a, const EtatRejeu& b)
{
    return a.grille == b.grille && a.robot == b.robot && a.brut == b.brut &&
           a.positionsEnregistrees == b.positionsEnregistrees &&
           a.destinationPlacee == b.destinationPlacee && a.destination == b.destination &&
           a.banditVisible == b.banditVisible && a.bandit == b.bandit &&
           a.quadrillage == b.quadrillage && a.terrainEnregistre == b.terrainEnregistre &&
           a.commande == b.commande && a.roueGauche == b.roueGauche &&
           a.roueDroite == b.roueDroite && a.batterie == b.batterie && a.bit0 == b.bit0 &&
           a.bit1 == b.bit1 && a.evenementLien == b.evenementLien &&
           a.tempsEvenementLien == b.tempsEvenementLien &&
           a.evenementNavigation == b.evenementNavigation &&
           a.tempsEvenementNavigation == b.tempsEvenementNavigation && a.trames == b.trames &&
           a.estimations == b.estimations && a.resynchronisations == b.resynchronisations &&
           a.editions == b.editions && a.recus == b.recus && a.commandes == b.commandes &&
           a.analyseur.rxState() == b.analyseur.rxState() &&
           a.analyseur.rxIndex() == b.analyseur.rxIndex() &&
           a.analyseur.seuilSilence() == b.analyseur.seuilSilence();
}

void instantaneRejeu(const EtatRejeu& etat, Instantane& image, Itineraire& itineraire)
{
    image.grille = etat.grille;
    image.robotPos = etat.robot;
    image.brutPos = etat.brut;
    const auto cellule = [](int cm) { return std::clamp(cm / geo::CellSize, 0, geo::Cells - 1); };
    image.robotCell = {cellule(etat.robot.x), cellule(etat.robot.y)};
    image.destPos = etat.destinationPlacee ? etat.destination : Point{-25, -25};
    image.banditPos = etat.bandit;
    image.banditVisible = etat.banditVisible;
    image.quadrillage = etat.quadrillage;
    // The heading was the live navigation's estimate: not in the log.
    image.cap = 0;
    image.roueGauche = etat.roueGauche;
    image.roueDroite = etat.roueDroite;
    image.evasion = false;
    image.longueurChemin = 0;
    if (etat.destinationPlacee) {
        const Point but{cellule(etat.destination.x), cellule(etat.destination.y)};
        planifier(etat.grille, image.robotCell, but, itineraire);
        if (itineraire.trouve) {
            image.chemin = itineraire.chemin;
            image.longueurChemin = itineraire.longueur;
        }
    }
}
