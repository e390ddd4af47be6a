#include "console/FenetreRejeu.h"

#include "console/AlerteBatterie.h"
#include "console/CarteRejeu.h"
#include "console/JournalSession.h"
#include "core/CatalogueReglages.h"

#include <QComboBox>
#include <QDateTime>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QShortcut>
#include <QSlider>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>
#include <cmath>
#include <filesystem>

namespace {

/** Sets a label's text only when it changed (a new text lays the window out again). */
void poser(QLabel* etiquette, const QString& texte)
{
    if (etiquette->text() != texte) {
        etiquette->setText(texte);
    }
}

QString cm(int valeur)
{
    return QString::asprintf("%i cm", valeur);
}

/** An event's text and its time: "ouvert COM1 9600 bauds 8N1 (0:00:00.0)"; "—" without one. */
QString evenement(const std::string& texte, std::uint64_t temps)
{
    if (texte.empty()) {
        return QStringLiteral("—");
    }
    return QString::fromStdString(texte) + QStringLiteral(" (") + FenetreRejeu::texteTemps(temps) +
           QLatin1Char(')');
}

QString heureMurale(std::int64_t debutUnixUs, std::uint64_t temps)
{
    const qint64 ms = (debutUnixUs + static_cast<std::int64_t>(temps)) / 1000;
    return QDateTime::fromMSecsSinceEpoch(ms).toLocalTime().toString(
        QStringLiteral("dd/MM/yyyy HH:mm:ss"));
}

} // namespace

FenetreRejeu::FenetreRejeu(const OptionsRejeu& options, QWidget* parent, bool minuterie)
    : QWidget(parent, Qt::Window)
    , m_modele(options)
    , m_fichier(options.fichier)
    , m_avecMinuterie(minuterie)
{
    setObjectName(QStringLiteral("fenetreRejeu"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Rejeu : ") +
                   QString::fromStdString(std::filesystem::path(m_fichier).filename().string()));
    m_minuterie.setSingleShot(true);
    connect(&m_minuterie, &QTimer::timeout, this, &FenetreRejeu::tour);
    m_image.destPos = {-25, -25};
    construire();
    // The speed it was opened at, among the usual ones or on its own.
    const double vitesse = m_modele.vitesse();
    int index = -1;
    const auto& vitesses = vitessesRejeu();
    for (std::size_t k = 0; k < vitesses.size(); ++k) {
        m_vitesse->addItem(QString::fromUtf8(vitesses[k].texte), vitesses[k].facteur);
        if (vitesses[k].facteur == vitesse) {
            index = static_cast<int>(k);
        }
    }
    if (index < 0) {
        m_vitesse->addItem(QString::asprintf("%g ×", vitesse), vitesse);
        index = m_vitesse->count() - 1;
    }
    m_vitesse->setCurrentIndex(index);
    connect(m_vitesse, &QComboBox::activated, this, &FenetreRejeu::choisirVitesse);
}

FenetreRejeu::~FenetreRejeu() = default;

void FenetreRejeu::construire()
{
    auto* principal = new QVBoxLayout(this);

    auto* haut = new QHBoxLayout;
    m_carte = new CarteRejeu(this);
    haut->addWidget(m_carte, 1);
    auto* releves = new QGroupBox(QStringLiteral("Enregistré"), this);
    auto* formulaire = new QFormLayout(releves);
    const auto etiquette = [releves](const char* nom) {
        auto* l = new QLabel(releves);
        l->setObjectName(QString::fromLatin1(nom));
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
        return l;
    };
    m_robot = etiquette("robotRejeu");
    m_destination = etiquette("destinationRejeu");
    m_roues = etiquette("rouesRejeu");
    m_batterie = new QProgressBar(releves);
    m_batterie->setObjectName(QStringLiteral("batterieRejeu"));
    m_batterie->setRange(0, AlerteBatterie::Plein);
    m_batterie->setValue(0);
    m_batterie->setFormat(QStringLiteral("—"));
    m_parechocs = etiquette("parechocsRejeu");
    m_trames = etiquette("tramesRejeu");
    m_lien = etiquette("lienRejeu");
    m_marche = etiquette("marcheRejeu");
    m_recus = etiquette("recusRejeu");
    m_commandes = etiquette("commandesRejeu");
    for (QLabel* texte : {m_lien, m_marche, m_recus, m_commandes}) {
        texte->setWordWrap(true);
    }
    formulaire->addRow(QStringLiteral("Robot :"), m_robot);
    formulaire->addRow(QStringLiteral("Destination :"), m_destination);
    formulaire->addRow(QStringLiteral("Vitesse des roues :"), m_roues);
    formulaire->addRow(QStringLiteral("Batterie :"), m_batterie);
    formulaire->addRow(QStringLiteral("Pare-chocs :"), m_parechocs);
    formulaire->addRow(QStringLiteral("Trames :"), m_trames);
    formulaire->addRow(QStringLiteral("Lien :"), m_lien);
    formulaire->addRow(QStringLiteral("Marche :"), m_marche);
    formulaire->addRow(QStringLiteral("Réception :"), m_recus);
    formulaire->addRow(QStringLiteral("Transmission :"), m_commandes);
    releves->setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('0')) * 44);
    haut->addWidget(releves, 0, Qt::AlignTop);
    principal->addLayout(haut, 1);

    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("noteRejeu"));
    m_note->setWordWrap(true);
    m_note->hide();
    principal->addWidget(m_note);

    auto* commandes = new QHBoxLayout;
    m_lecture = new QPushButton(this);
    m_lecture->setObjectName(QStringLiteral("lectureRejeu"));
    connect(m_lecture, &QPushButton::clicked, this, &FenetreRejeu::basculer);
    commandes->addWidget(m_lecture);
    m_chronologie = new QSlider(Qt::Horizontal, this);
    m_chronologie->setObjectName(QStringLiteral("chronologieRejeu"));
    m_chronologie->setEnabled(false);
    // Every move of the operator's (a drag, a click beside the handle, a key) seeks.
    connect(m_chronologie, &QSlider::actionTriggered, this,
            [this](int) { chercherCurseur(m_chronologie->sliderPosition()); });
    commandes->addWidget(m_chronologie, 1);
    m_temps = new QLabel(this);
    m_temps->setObjectName(QStringLiteral("tempsRejeu"));
    m_temps->setMinimumWidth(
        fontMetrics().horizontalAdvance(QStringLiteral("00:00:00.0 / 00:00:00.0")));
    commandes->addWidget(m_temps);
    commandes->addWidget(new QLabel(QStringLiteral("Vitesse :"), this));
    m_vitesse = new QComboBox(this);
    m_vitesse->setObjectName(QStringLiteral("vitesseRejeu"));
    commandes->addWidget(m_vitesse);
    principal->addLayout(commandes);

    auto* bas = new QHBoxLayout;
    m_heure = new QLabel(this);
    m_heure->setObjectName(QStringLiteral("heureRejeu"));
    bas->addWidget(m_heure, 1);
    m_etat = new QLabel(this);
    m_etat->setObjectName(QStringLiteral("etatRejeu"));
    bas->addWidget(m_etat);
    principal->addLayout(bas);

    auto* espace = new QShortcut(QKeySequence(Qt::Key_Space), this);
    connect(espace, &QShortcut::activated, this, &FenetreRejeu::basculer);
    resize(900, 620);
}

bool FenetreRejeu::ouvrir()
{
    if (!m_modele.ouvrir()) {
        return false;
    }
    m_modele.lire();
    afficher();
    relancer();
    return true;
}

void FenetreRejeu::relancer()
{
    if (m_avecMinuterie) {
        m_minuterie.start(0);
    }
}

void FenetreRejeu::programmer(const ModeleRejeu::Tour& tour)
{
    if (!m_avecMinuterie) {
        return;
    }
    if (tour.encore) {
        // The rest at the next turn, after what else waits in the event loop.
        m_minuterie.start(0);
    } else if (m_modele.enLecture()) {
        // The next record, and the clock shown ten times a second meanwhile.
        const std::int64_t ms = tour.attenteUs < 0 ? 100 : (tour.attenteUs + 999) / 1000;
        m_minuterie.start(static_cast<int>(std::clamp<std::int64_t>(ms, 0, 100)));
    } else {
        m_minuterie.stop();
    }
}

void FenetreRejeu::tour()
{
    const ModeleRejeu::Tour fait = m_modele.avancer();
    afficher();
    programmer(fait);
}

void FenetreRejeu::basculer()
{
    if (m_modele.enLecture()) {
        m_modele.suspendre();
    } else {
        m_modele.lire();
    }
    afficher();
    relancer();
}

void FenetreRejeu::chercherCurseur(int valeur)
{
    if (!m_modele.lu()) {
        return;
    }
    m_modele.chercher(depuisCurseur(valeur));
    afficher();
    relancer();
}

void FenetreRejeu::choisirVitesse(int index)
{
    const double vitesse = m_vitesse->itemData(index).toDouble();
    m_modele.reglerVitesse(vitesse);
    if (index < static_cast<int>(vitessesRejeu().size())) {
        // The next replay opens at this speed.
        QSettings().setValue(QString::fromLatin1(reglages::VitesseRejeu.nom), index);
    }
    relancer();
}

int FenetreRejeu::versCurseur(std::uint64_t temps) const
{
    const std::uint64_t debut = m_modele.tempsDebut();
    return temps <= debut ? 0 : static_cast<int>((temps - debut) / m_pasCurseur);
}

std::uint64_t FenetreRejeu::depuisCurseur(int valeur) const
{
    return m_modele.tempsDebut() + static_cast<std::uint64_t>(std::max(valeur, 0)) * m_pasCurseur;
}

QString FenetreRejeu::texteTemps(std::uint64_t us)
{
    const std::uint64_t dixiemes = us / 100000;
    const std::uint64_t secondes = dixiemes / 10;
    return QString::asprintf("%llu:%02llu:%02llu.%llu",
                             static_cast<unsigned long long>(secondes / 3600),
                             static_cast<unsigned long long>(secondes / 60 % 60),
                             static_cast<unsigned long long>(secondes % 60),
                             static_cast<unsigned long long>(dixiemes % 10));
}

void FenetreRejeu::afficher()
{
    if (m_modele.changements() == m_vu) {
        return;
    }
    m_vu = m_modele.changements();
    const ModeleRejeu& m = m_modele;
    const EtatRejeu& e = m.etat();
    const bool fini = m.termine();

    // The controls.
    if (m.lu() && !m_chronologie->isEnabled()) {
        // One step of the timeline a millisecond, or coarser for a session
        // longer than the slider's range.
        const std::uint64_t duree = m.tempsFin() - m.tempsDebut();
        m_pasCurseur = std::max<std::uint64_t>(1000, (duree + INT_MAX - 1) / INT_MAX);
        m_chronologie->setRange(0, versCurseur(m.tempsFin()));
        m_chronologie->setSingleStep(
            static_cast<int>(std::max<std::uint64_t>(1, 1'000'000 / m_pasCurseur)));
        m_chronologie->setPageStep(std::max(1, m_chronologie->maximum() / 20));
        m_chronologie->setEnabled(true);
    }
    if (m.lu() && !m_chronologie->isSliderDown()) {
        const QSignalBlocker bloque(m_chronologie);
        m_chronologie->setValue(versCurseur(m.position()));
    }
    const bool joue = m.enLecture();
    m_lecture->setText(joue ? QStringLiteral("Pause")
                            : (fini ? QStringLiteral("Rejouer") : QStringLiteral("Lecture")));
    m_lecture->setIcon(style()->standardIcon(joue ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
    poser(m_temps, m.lu()
                       ? texteTemps(m.position()) + QStringLiteral(" / ") + texteTemps(m.tempsFin())
                       : texteTemps(m.tempsFin()) + QStringLiteral(" lues"));
    poser(m_heure, QStringLiteral("Session du ") + heureMurale(m.debutSessionUnixUs(), 0) +
                       QStringLiteral(", heure enregistrée : ") +
                       heureMurale(m.debutSessionUnixUs(), m.position()).right(8));
    QString etat;
    if (!m.lu()) {
        etat = QStringLiteral("Lecture du journal…");
    } else if (m.rechercheEnCours()) {
        etat = QStringLiteral("Recherche…");
    } else if (fini) {
        etat = QStringLiteral("Rejeu terminé");
    } else {
        etat = joue ? QStringLiteral("En lecture") : QStringLiteral("En pause");
    }
    poser(m_etat, etat);

    // What the log says of itself.
    QStringList notes;
    if (m.lu() && !e.terrainEnregistre) {
        notes << (m.versionJournal() < 3
                      ? QStringLiteral("Le terrain du début de la session n'est pas dans ce "
                                       "journal (version %1) : le rejeu part d'un terrain vide.")
                            .arg(m.versionJournal())
                      : QStringLiteral("Le terrain du début de la session n'est pas dans ce "
                                       "journal : le rejeu part d'un terrain vide."));
    }
    if (e.trames > 0 && e.estimations == 0) {
        notes << QStringLiteral("Le réseau de la console ne place le robot d'aucune de ces "
                                "trames : il reste où le terrain l'a mis.");
    }
    if (m.lu() && !m.raisonFin().empty()) {
        const QString raison = QString::fromStdString(m.raisonFin());
        notes << (m.finJournal() == journal::Lecture::Corrompu
                      ? QStringLiteral("Journal endommagé après %1 : %2 ; le rejeu s'arrête là.")
                            .arg(texteTemps(m.tempsFin()), raison)
                      : QStringLiteral("Fin du journal après %1 : %2.")
                            .arg(texteTemps(m.tempsFin()), raison));
    }
    poser(m_note, notes.join(QLatin1Char('\n')));
    m_note->setVisible(!notes.isEmpty());

    // The recorded telemetry.
    poser(m_robot, QStringLiteral("x ") + cm(e.robot.x) + QStringLiteral(", y ") + cm(e.robot.y));
    poser(m_destination, e.destinationPlacee ? QStringLiteral("x ") + cm(e.destination.x) +
                                                   QStringLiteral(", y ") + cm(e.destination.y)
                                             : QStringLiteral("—"));
    poser(m_roues, e.commande < 0
                       ? QStringLiteral("—")
                       : QString::asprintf("gauche %i, droite %i", e.roueGauche, e.roueDroite));
    if (e.batterie < 0) {
        m_batterie->setValue(0);
        m_batterie->setFormat(QStringLiteral("—"));
    } else {
        m_batterie->setValue(std::min(e.batterie, m_batterie->maximum()));
        m_batterie->setFormat(QString::asprintf("%.2f V", AlerteBatterie::volts(e.batterie)));
    }
    poser(m_parechocs, e.bit0 && e.bit1 ? QStringLiteral("contact des deux côtés")
                       : e.bit0         ? QStringLiteral("contact à droite")
                       : e.bit1         ? QStringLiteral("contact à gauche")
                                        : QStringLiteral("aucun contact"));
    poser(m_trames, QString::asprintf(e.trames > 1 ? "%llu reçues, " : "%llu reçue, ",
                                      static_cast<unsigned long long>(e.trames)) +
                        QString::asprintf(e.resynchronisations > 1 ? "%llu coupées par un silence"
                                                                   : "%llu coupée par un silence",
                                          static_cast<unsigned long long>(e.resynchronisations)));
    poser(m_lien, evenement(e.evenementLien, e.tempsEvenementLien));
    poser(m_marche, evenement(e.evenementNavigation, e.tempsEvenementNavigation));
    QString recus;
    for (std::size_t k = 0; k < e.recus.taille(); ++k) {
        recus += QString::asprintf(k == 0 ? "%02X" : " %02X", e.recus[k]);
    }
    poser(m_recus, recus.isEmpty() ? QStringLiteral("—") : recus);
    QString emis;
    for (std::size_t k = 0; k < e.commandes.taille(); ++k) {
        emis += QString::asprintf(k == 0 ? "%i" : " %i",
                                  static_cast<int>(static_cast<std::int8_t>(e.commandes[k])));
    }
    poser(m_commandes, emis.isEmpty() ? QStringLiteral("—") : emis);

    instantaneRejeu(e, m_image, m_itineraire);
    m_carte->montrer(m_image);
    emit affiche();
}
