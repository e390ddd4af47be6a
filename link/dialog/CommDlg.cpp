#include "link/dialog/CommDlg.h"

#include "core/Platform.h"
#include "core/qt/UnitesDialogue.h"
#include "link/dialog/PanneauPeripheriques.h"
#include "link/dialog/PortOwner.h"
#include "link/settings/EcritureScom.h"
#include "link/settings/LectureScom.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>

#include <array>

namespace {

/** The rates offered, in the order of buttons 1000 .. 1007. */
constexpr std::array<int, 8> Debits{110, 300, 1200, 2400, 4800, 9600, 19200, 38400};
constexpr int PremierBouton = 1000;
constexpr int BoutonParDefaut = 1005; // 9600
constexpr int IdComboPort = 1008;

QString id(int n)
{
    return QStringLiteral("id%1").arg(n);
}

} // namespace

CommDlg::CommDlg(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Paramètre de communication"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    // Closing the dialog never ends the program, even when it is the last window.
    setAttribute(Qt::WA_QuitOnClose, false);
    setFont(UnitesDialogue::policeDialogue());
    creerControles();
}

CommDlg::~CommDlg() = default;

void CommDlg::creerControles()
{
    const UnitesDialogue du(font());

    // The template's controls, in 182 x 61 units.
    auto* groupeDebit = new QGroupBox(QStringLiteral("Vitesse de transmission"), this);
    groupeDebit->setObjectName(QStringLiteral("groupeVitesse"));
    groupeDebit->setGeometry(du.rect(7, 4, 112, 53));
    m_debits = new QButtonGroup(this);
    for (int i = 0; i < static_cast<int>(Debits.size()); ++i) {
        auto* bouton = new QRadioButton(QString::number(Debits[i]), groupeDebit);
        bouton->setObjectName(id(PremierBouton + i));
        // Two columns of four, the slowest rates first.
        bouton->setGeometry(du.rect(7 + 50 * (i / 4), 11 + 10 * (i % 4), 44, 10));
        m_debits->addButton(bouton, PremierBouton + i);
    }

    auto* groupePort = new QGroupBox(QStringLiteral("Port"), this);
    groupePort->setObjectName(QStringLiteral("groupePort"));
    groupePort->setGeometry(du.rect(125, 4, 50, 26));
    m_comboPort = new QComboBox(groupePort);
    m_comboPort->setObjectName(id(IdComboPort));
    m_comboPort->addItems({QStringLiteral("COM1"), QStringLiteral("COM2"), QStringLiteral("COM3"),
                           QStringLiteral("COM4")});
    m_comboPort->setGeometry(du.rect(6, 10, 38, 12));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(id(1));
    ok->setGeometry(du.rect(125, 33, 50, 12));
    ok->setDefault(true);
    auto* annuler = new QPushButton(QStringLiteral("Cancel"), this);
    annuler->setObjectName(id(2));
    annuler->setGeometry(du.rect(125, 46, 50, 12));
    annuler->setAutoDefault(false);

    // Below them, the devices behind the COM ports.
    m_peripheriques = new PanneauPeripheriques(du, this);
    m_peripheriques->setGeometry(du.rect(7, 62, 168, 93));

    setFixedSize(du.x(182), du.y(160));

    connect(ok, &QPushButton::clicked, this, &CommDlg::accept);
    connect(annuler, &QPushButton::clicked, this, &CommDlg::reject);
    connect(m_comboPort, &QComboBox::currentIndexChanged, this, &CommDlg::OnSelchangeCombo);
}

void CommDlg::setSourcePeripheriques(SourcePeripheriques source)
{
    m_peripheriques->setSource(std::move(source));
}

int CommDlg::debitBouton(int id)
{
    const int i = id - PremierBouton;
    return i >= 0 && i < static_cast<int>(Debits.size()) ? Debits[i] : 0;
}

int CommDlg::boutonDebit(int baud)
{
    for (int i = 0; i < static_cast<int>(Debits.size()); ++i) {
        if (Debits[i] == baud) {
            return PremierBouton + i;
        }
    }
    return BoutonParDefaut;
}

int CommDlg::debitCoche() const
{
    return debitBouton(m_debits->checkedId());
}

void CommDlg::showEvent(QShowEvent* event)
{
    // Each run starts from the file; a window shown again by the window
    // system (after being minimised) keeps what the operator chose.
    if (!event->spontaneous()) {
        OnInitDialog();
    }
    QDialog::showEvent(event);
}

void CommDlg::OnInitDialog()
{
    const ReglagesCommDlg lus = lireReglagesCommDlg(m_fichier);
    m_portIndex = lus.indexPort;
    m_baud = lus.baud;
    if (m_portIndex < 0 || m_portIndex >= m_comboPort->count()) {
        // A port the list does not hold: the list shows the one a missing file gives.
        m_portIndex = ReglagesCommDlg{}.indexPort;
    }
    m_debits->button(boutonDebit(m_baud))->setChecked(true);
    m_peripheriques->recommencer();
    {
        const QSignalBlocker silence(m_comboPort);
        m_comboPort->setCurrentIndex(m_portIndex);
    }
    m_peripheriques->choisirPort(m_portIndex + 1);
}

void CommDlg::OnSelchangeCombo()
{
    m_baud = debitCoche();
    m_portIndex = m_comboPort->currentIndex();
    m_debits->button(boutonDebit(m_baud))->setChecked(true);
    m_peripheriques->choisirPort(m_portIndex + 1);
}

void CommDlg::accept()
{
    m_portIndex = m_comboPort->currentIndex();
    m_baud = debitCoche();
    std::string raison;
    if (!ecrireScom({m_portIndex + 1, m_baud}, m_fichier, &raison)) {
        // The choice did not reach the file: reopening would use the old
        // settings behind the operator's back. The dialog stays for another try.
        platform().messageBox(
            "Impossible d'écrire le fichier SCOM.INI.\n\n« " + m_fichier + " » : " + raison,
            "Écriture des paramètres", MessageButtons::Ok, MessageIcon::Exclamation);
        return;
    }
    m_peripheriques->enregistrer();
    if (m_ownerView != nullptr && m_ownerView->OpenRobotPort() != 0) {
        return; // the owner has said why; another port can be tried
    }
    QDialog::accept();
}
