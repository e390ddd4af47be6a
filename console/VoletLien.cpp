#include "console/VoletLien.h"

#include "console/ConsoleState.h"
#include "console/KIVView.h"
#include "console/ReconnexionLien.h"
#include "core/Platform.h"
#include "world/PositionFiltree.h"

#include <QApplication>
#include <QPalette>

#include <chrono>

VoletLien::VoletLien(CKIVView* view, std::int64_t delaiPerteMs, Horloge horloge, QWidget* parent)
    : VoletTexte(parent)
    , m_view(view)
    , m_sante(delaiPerteMs)
    , m_horloge(std::move(horloge))
{
    setObjectName(QStringLiteral("voletLien"));
    // The states' texts with what may follow them (frames cut short, a
    // reconnection): the pane keeps its width as they come and go.
    setGabarits({QStringLiteral("Lien : réception, 10.0 trames/s, 2 resynchronisations"),
                 QStringLiteral("Lien : ouvert, en attente de données, reconnecté"),
                 QStringLiteral("Lien : perdu, périphérique déconnecté")});
    if (!m_horloge) {
        m_horloge = [] {
            using namespace std::chrono;
            return static_cast<std::int64_t>(
                duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
        };
    }
    setText(QString::fromStdString(m_sante.texte()));
    connect(&m_minuterie, &QTimer::timeout, this, &VoletLien::actualiser);
    m_minuterie.start(250);
}

void VoletLien::montrerBulle()
{
    QString bulle = m_bulle;
    if (m_refusVus > 0) {
        if (!bulle.isEmpty()) {
            bulle += QLatin1Char('\n');
        }
        bulle +=
            QStringLiteral("Estimations de position refusées par le filtre : %1").arg(m_refusVus);
    }
    setToolTip(bulle);
}

void VoletLien::actualiser()
{
    RobotLink* lien = m_view ? m_view->lien() : nullptr;
    RegardLien regard;
    regard.ouvert = g_portOpen == 1 && lien && lien->threadAlive();
    const std::string raison = lien && !regard.ouvert ? lien->lossReason() : std::string();
    regard.deconnecte = g_portOpen == 1 && !raison.empty();
    if (m_view) {
        regard.trames = m_view->tramesRecues();
        regard.resynchronisations = m_view->resynchronisations();
        regard.debordes = m_view->octetsPerdus();
        regard.reconnexions = static_cast<std::uint64_t>(m_view->reconnexion().reconnexions());
    }
    const EtatSante avant = m_sante.etat();
    const auto changement = m_sante.observer(m_horloge(), regard);
    setText(QString::fromStdString(m_sante.texte()));
    const long refus = monde().suivi.actif != 0 ? monde().suivi.refus.load() : 0;
    if (refus != m_refusVus && !changement) {
        m_refusVus = refus;
        montrerBulle();
    }
    if (const std::int64_t maintenant = m_horloge();
        refus > m_refusJournalises && lien && maintenant - m_instantRefusJournalises >= 1000) {
        // In the log at most once a second, with the count so far.
        lien->noteLinkEvent("filtre : " + std::to_string(refus) + " estimation(s) refusée(s)");
        m_refusJournalises = refus;
        m_instantRefusJournalises = maintenant;
    }
    if (!changement) {
        return;
    }
    m_bulle = QString::fromStdString(raison);
    if (*changement == EtatSante::Deconnecte && m_view && m_view->reconnexion().enAttente()) {
        m_bulle += QStringLiteral("\nReconnexion automatique dès que le périphérique revient.");
    }
    m_refusVus = refus;
    montrerBulle();
    const bool perdu = *changement == EtatSante::Perdu || *changement == EtatSante::Deconnecte;
    // In a toolbar a label draws with ButtonText: both roles turn red.
    QPalette couleurs = palette();
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText}) {
        couleurs.setColor(role, perdu ? QColor(Qt::red) : QApplication::palette().color(role));
    }
    setPalette(couleurs);
    if (*changement == EtatSante::Perdu) {
        const std::string texte =
            "perdu : aucune trame depuis " + std::to_string(m_sante.delaiPerteMs()) + " ms";
        platform().trace(TraceChannel::App, "link " + texte);
        if (lien) {
            lien->noteLinkEvent(texte);
        }
    } else if (avant == EtatSante::Perdu && *changement == EtatSante::Reception && lien) {
        lien->noteLinkEvent("rétabli");
    }
    if (m_apres) {
        m_apres();
    }
}
