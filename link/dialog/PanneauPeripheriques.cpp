#include "link/dialog/PanneauPeripheriques.h"

#include "core/qt/UnitesDialogue.h"
#include "link/ComDevices.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>

namespace {

QString nomCom(int port)
{
    return QStringLiteral("COM%1").arg(port);
}

} // namespace

PanneauPeripheriques::PanneauPeripheriques(const UnitesDialogue& du, QWidget* parent)
    : QGroupBox(QStringLiteral("Périphériques des ports"), parent)
    , m_source([] { return peripheriquesDetectes(); })
{
    setObjectName(QStringLiteral("groupePeripheriques"));
    for (int i = 0; i < 4; ++i) {
        m_lignes[i] = new QLabel(this);
        m_lignes[i]->setObjectName(QStringLiteral("peripherique") + nomCom(i + 1));
        m_lignes[i]->setGeometry(du.rect(7, 10 + 10 * i, 154, 9));
    }
    m_detectes = new QComboBox(this);
    m_detectes->setObjectName(QStringLiteral("peripheriquesDetectes"));
    m_detectes->setGeometry(du.rect(7, 52, 108, 12));
    // The list opens wide enough for the long descriptions of USB adapters.
    m_detectes->view()->setMinimumWidth(du.x(220));
    m_actualiser = new QPushButton(QStringLiteral("Actualiser"), this);
    m_actualiser->setObjectName(QStringLiteral("actualiser"));
    m_actualiser->setGeometry(du.rect(118, 52, 43, 12));
    m_actualiser->setAutoDefault(false);
    m_attribuer = new QPushButton(this);
    m_attribuer->setObjectName(QStringLiteral("attribuer"));
    m_attribuer->setGeometry(du.rect(7, 67, 75, 12));
    m_attribuer->setAutoDefault(false);
    m_retirer = new QPushButton(QStringLiteral("Retirer l'attribution"), this);
    m_retirer->setObjectName(QStringLiteral("retirer"));
    m_retirer->setGeometry(du.rect(86, 67, 75, 12));
    m_retirer->setAutoDefault(false);
    m_note = new QLabel(QStringLiteral("Attribution enregistrée par OK."), this);
    m_note->setObjectName(QStringLiteral("noteAttribution"));
    m_note->setGeometry(du.rect(7, 81, 154, 9));

    connect(m_actualiser, &QPushButton::clicked, this, &PanneauPeripheriques::actualiser);
    connect(m_attribuer, &QPushButton::clicked, this, &PanneauPeripheriques::OnAttribuer);
    connect(m_retirer, &QPushButton::clicked, this, &PanneauPeripheriques::OnRetirer);
}

void PanneauPeripheriques::setSource(SourcePeripheriques source)
{
    m_source = std::move(source);
}

void PanneauPeripheriques::recommencer()
{
    m_changements = {};
    actualiser();
}

void PanneauPeripheriques::actualiser()
{
    m_peripheriques = m_source ? m_source() : QList<PeripheriqueSerie>{};
    m_detectes->clear();
    for (const PeripheriqueSerie& p : m_peripheriques) {
        m_detectes->addItem(p.libelle(), p.reference());
        m_detectes->setItemData(m_detectes->count() - 1, p.details(), Qt::ToolTipRole);
    }
    if (m_peripheriques.isEmpty()) {
        m_detectes->addItem(QStringLiteral("Aucun port série détecté"));
    }
    m_detectes->setEnabled(!m_peripheriques.isEmpty());
    afficher();
}

void PanneauPeripheriques::choisirPort(int port)
{
    if (port < comdevices::PremierPort || port > comdevices::DernierPort) {
        return;
    }
    m_port = port;
    afficher();
}

QString PanneauPeripheriques::attribution(int port) const
{
    if (port < comdevices::PremierPort || port > comdevices::DernierPort) {
        return {};
    }
    const auto& changement = m_changements[port - 1];
    return changement ? *changement : comdevices::assignedDevice(port);
}

bool PanneauPeripheriques::modifie() const
{
    for (int port = comdevices::PremierPort; port <= comdevices::DernierPort; ++port) {
        const auto& changement = m_changements[port - 1];
        if (changement && *changement != comdevices::assignedDevice(port)) {
            return true;
        }
    }
    return false;
}

void PanneauPeripheriques::enregistrer()
{
    for (int port = comdevices::PremierPort; port <= comdevices::DernierPort; ++port) {
        if (const auto& changement = m_changements[port - 1]) {
            comdevices::assignDevice(port, *changement);
        }
    }
    m_changements = {};
    afficher();
}

void PanneauPeripheriques::OnAttribuer()
{
    const QString reference = m_detectes->currentData().toString();
    if (reference.isEmpty()) {
        return;
    }
    m_changements[m_port - 1] = reference;
    afficher();
}

void PanneauPeripheriques::OnRetirer()
{
    m_changements[m_port - 1] = QString();
    afficher();
}

void PanneauPeripheriques::afficher()
{
    for (int port = comdevices::PremierPort; port <= comdevices::DernierPort; ++port) {
        afficherLigne(port);
    }
    m_attribuer->setText(QStringLiteral("Attribuer à ") + nomCom(m_port));
    m_attribuer->setEnabled(!m_peripheriques.isEmpty());
    m_retirer->setEnabled(!attribution(m_port).isEmpty());
    m_note->setVisible(modifie());

    // The list shows the device the chosen port is assigned to, when it is there.
    const QString reel = peripheriqueReel(attribution(m_port));
    for (int i = 0; i < m_peripheriques.size(); ++i) {
        const PeripheriqueSerie& p = m_peripheriques[i];
        if (p.reference() == attribution(m_port) ||
            (!reel.isEmpty() && peripheriqueReel(p.chemin) == reel)) {
            m_detectes->setCurrentIndex(i);
            break;
        }
    }
}

void PanneauPeripheriques::afficherLigne(int port)
{
    QLabel* ligne = m_lignes[port - 1];
    const QString environnement = comdevices::environmentDevice(port);
    const QString attribue = attribution(port);
    QString peripherique;
    QString origine;
    QString details;
    if (!environnement.isEmpty()) {
        peripherique = environnement;
        origine = QStringLiteral(" (KIV_COM%1)").arg(port);
        details = QStringLiteral("Imposé par la variable d'environnement KIV_COM%1.").arg(port);
        if (!attribue.isEmpty()) {
            details +=
                QStringLiteral("\nAttribution sans effet tant qu'elle est définie : ") + attribue;
        }
    } else if (!attribue.isEmpty()) {
        // A stable path says everything by its name; its folder is the tooltip's.
        const QString parId = DossierSerieParId + QLatin1Char('/');
        peripherique = attribue.startsWith(parId) ? attribue.mid(parId.size()) : attribue;
        origine = QStringLiteral(" (attribué)");
        const QString reel = peripheriqueReel(attribue);
        details = QStringLiteral("Attribué : ") + attribue + QLatin1Char('\n') +
                  (reel.isEmpty() ? QStringLiteral("Périphérique absent (débranché ?)")
                                  : QStringLiteral("Périphérique actuel : ") + reel);
    } else {
        peripherique = comdevices::defaultDevice(port);
        details = QStringLiteral("Port série de la machine, sans attribution.");
    }
    const QString debut = nomCom(port) + QStringLiteral(" : ");
    QFont police = font();
    police.setBold(port == m_port);
    ligne->setFont(police);
    const QFontMetrics mesures(police);
    const int place = ligne->width() - mesures.horizontalAdvance(debut + origine);
    ligne->setText(debut + mesures.elidedText(peripherique, Qt::ElideMiddle, place) + origine);
    ligne->setToolTip(details);
}
