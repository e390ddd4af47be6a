// The main frame's construction: menu, toolbar, status bar, the view.
#include "console/MainFrame.h"

#include "console/Icones.h"
#include "console/KIVDoc.h"
#include "console/KIVView.h"
#include "console/Menu128.h"
#include "console/PretraductionClavier.h"
#include "console/VoletsConsole.h"
#include "core/Platform.h"
#include "core/StringTable.h"
#include "trainer/dialog/ReseauxDlg.h"

#include <QAction>
#include <QCloseEvent>
#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QPrinter>
#include <QSessionManager>
#include <QStatusBar>
#include <QToolBar>
#include <QWindow>
#include <utility>

namespace {

/** The frame's outer size, decorations included. */
constexpr QSize TailleCadre(790, 580);

/** Each command's slot in ActionsCadre. */
constexpr std::pair<int, QAction * ActionsCadre::*> Emplacements[] = {
    {cmd::FichierNouveau, &ActionsCadre::nouveau},
    {cmd::FichierOuvrir, &ActionsCadre::ouvrir},
    {cmd::FichierEnregistrer, &ActionsCadre::enregistrer},
    {cmd::FichierEnregistrerSous, &ActionsCadre::enregistrerSous},
    {cmd::Imprimer, &ActionsCadre::imprimer},
    {cmd::ImprimerDirect, &ActionsCadre::imprimerDirect},
    {cmd::ApercuImpression, &ActionsCadre::apercu},
    {cmd::ConfigurationImpression, &ActionsCadre::configurationImpression},
    {cmd::Quitter, &ActionsCadre::quitter},
    {cmd::Annuler, &ActionsCadre::annuler},
    {cmd::Couper, &ActionsCadre::couper},
    {cmd::Copier, &ActionsCadre::copier},
    {cmd::Coller, &ActionsCadre::coller},
    {cmd::BarreOutils, &ActionsCadre::barreOutils},
    {cmd::BarreEtat, &ActionsCadre::barreEtat},
    {cmd::Quadrillage, &ActionsCadre::quadrillage},
    {cmd::PortSerie, &ActionsCadre::portSerie},
    {cmd::APropos, &ActionsCadre::aPropos},
};

QString qs(const char* texte)
{
    return QString::fromUtf8(texte);
}

/** What the status bar says while the pointer is on a command. */
const char* invite(int id)
{
    switch (id) {
    case cmd::FichierNouveau:
        return "Crée un nouveau document";
    case cmd::FichierOuvrir:
        return "Ouvre un document existant";
    case cmd::FichierEnregistrer:
        return "Enregistre le document";
    case cmd::FichierEnregistrerSous:
        return "Enregistre le document sous un nouveau nom";
    case cmd::Imprimer:
        return "Imprime le formulaire de la console";
    case cmd::ApercuImpression:
        return "Affiche le formulaire tel qu'il sera imprimé";
    case cmd::ConfigurationImpression:
        return "Choisit l'imprimante et la mise en page";
    case cmd::Quitter:
        return "Quitte l'application";
    case cmd::Annuler:
        return "Annule la dernière modification";
    case cmd::Couper:
        return "Coupe la sélection et la place dans le Presse-papiers";
    case cmd::Copier:
        return "Copie la sélection dans le Presse-papiers";
    case cmd::Coller:
        return "Insère le contenu du Presse-papiers";
    case cmd::BarreOutils:
        return "Affiche ou masque la barre d'outils";
    case cmd::BarreEtat:
        return "Affiche ou masque la barre d'état";
    case cmd::Quadrillage:
        return "Affiche ou masque le quadrillage de la carte";
    case cmd::PortSerie:
        return "Règle le port série de la liaison avec le robot";
    case cmd::APropos:
        return "Affiche le nom, la version et l'auteur du programme";
    default:
        return "";
    }
}

} // namespace

CMainFrame::CMainFrame(OptionsConsole options, QWidget* parent)
    : QMainWindow(parent)
    , m_view(new CKIVView(nullptr, std::move(options)))
    , m_executeur([](QDialog& dialogue) { return dialogue.exec(); })
{
    setObjectName(QStringLiteral("CMainFrame"));
    setWindowTitle(QString::fromStdString(platform().loadString(ids::AppTitle)));
    // The form fills the frame; the frame is never smaller than the whole
    // map at its smallest beside the controls, whose column scrolls when
    // the frame is too short for them.
    setCentralWidget(m_view);

    creerBarreOutils();
    creerBarreEtat();
    creerMenus();
    connecterCommandes();
    new PretraductionClavier(this);
    // A replay names its log in the title; the title comes back after it.
    connect(m_view, &CKIVView::lienRemplace, this, &CMainFrame::actualiserTitre);

    // The frame, title bar included, sits at the screen's top-left corner.
    placerCadre();

    // The desktop session ends: the field is saved or dropped as the
    // operator says, or the logout is cancelled.
    connect(
        qApp, &QGuiApplication::commitDataRequest, this,
        [this](QSessionManager& session) {
            if (!session.allowsInteraction()) {
                return;
            }
            m_fermetureAccordee = accepterFermeture();
            if (!m_fermetureAccordee) {
                session.cancel();
            }
            session.release();
        },
        Qt::DirectConnection);
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::creerBarreOutils()
{
    m_barreOutils = new QToolBar(QStringLiteral("Barre d'outils"), this);
    m_barreOutils->setObjectName(QStringLiteral("id59392"));
    m_barreOutils->setIconSize(TailleIconeBarre);
    // Movable, floatable and dockable on every side of the frame.
    m_barreOutils->setMovable(true);
    m_barreOutils->setFloatable(true);
    m_barreOutils->setAllowedAreas(Qt::AllToolBarAreas);
    addToolBar(Qt::TopToolBarArea, m_barreOutils);

    // The mission bar shares the toolbar's row, to its right: fixed, so
    // that the operator always finds the run, the network and the link there.
    m_barreMission = new QToolBar(QStringLiteral("Mission"), this);
    m_barreMission->setObjectName(QStringLiteral("barreMission"));
    m_barreMission->setMovable(false);
    m_barreMission->setFloatable(false);
    m_barreMission->setAllowedAreas(Qt::TopToolBarArea);
    m_barreMission->toggleViewAction()->setVisible(false);
    addToolBar(Qt::TopToolBarArea, m_barreMission);

    m_actions.barreOutils = m_barreOutils->toggleViewAction();
    m_actions.barreOutils->setObjectName(QStringLiteral("id%1").arg(cmd::BarreOutils));
    m_actions.barreOutils->setText(qs("&Barre d'outils"));
}

void CMainFrame::creerBarreEtat()
{
    QStatusBar* barre = statusBar();
    barre->setObjectName(QStringLiteral("id59393"));
    // The message pane: the idle text, covered by command prompts while the
    // pointer is on a menu item or a toolbar button.
    m_voletMessage =
        new QLabel(QString::fromStdString(platform().loadString(ids::IdleStatus)), barre);
    m_voletMessage->setObjectName(QStringLiteral("voletMessage"));
    // It takes the room the other panes leave: they keep their widths first.
    m_voletMessage->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    barre->addWidget(m_voletMessage, 1);
    m_indicateurs = new IndicateursClavier(barre, lireVerrousSysteme);
    const QString blancs = QString::fromStdString(platform().loadString(ids::TrainerMenuItem));
    QLabel* volet101 = creerVolet(barre, QStringLiteral("id101"), blancs);
    volet101->setText(blancs);
    m_volets = installerVoletsConsole(*m_barreMission, *m_view);
}

void CMainFrame::creerMenus()
{
    for (const MenuDeroulant& deroulant : menu128()) {
        QMenu* menu = menuBar()->addMenu(qs(deroulant.titre));
        for (const ElementMenu& element : deroulant.elements) {
            if (element.commande == 0) {
                menu->addSeparator();
                continue;
            }
            QAction** lieu = emplacement(element.commande);
            QAction* commande = lieu ? *lieu : nullptr;
            if (!commande) {
                commande = new QAction(this);
                commande->setObjectName(QStringLiteral("id%1").arg(element.commande));
                if (lieu) {
                    *lieu = commande;
                }
            }
            // The text after the tab is shown as the item's shortcut. The keys
            // are deliberately not bound (no setShortcut): the frame reports
            // every key-down instead of translating it, so they never run
            // their command.
            commande->setText(qs(element.texte));
            commande->setStatusTip(qs(invite(element.commande)));
            menu->addAction(commande);
        }
        if (deroulant.elements.front().commande == cmd::Annuler) {
            connect(menu, &QMenu::aboutToShow, this, &CMainFrame::majEdition);
        }
    }

    // Checked while the grid lines are drawn; off at start like the map.
    m_actions.quadrillage->setCheckable(true);
    m_actions.quadrillage->setChecked(false);
    m_actions.barreEtat->setCheckable(true);
    m_actions.barreEtat->setChecked(true);

    QAction* port = m_actions.portSerie;
    port->setToolTip(qs("Port série"));

    // Printing without the dialog has no menu item, only its command.
    m_actions.imprimerDirect = new QAction(qs("Imprimer directement"), this);
    m_actions.imprimerDirect->setObjectName(QStringLiteral("id%1").arg(cmd::ImprimerDirect));
    addAction(m_actions.imprimerDirect);

    // The toolbar's buttons share the menu's actions.
    m_actions.imprimer->setIcon(iconeImprimer());
    m_actions.imprimer->setToolTip(qs("Imprimer"));
    m_actions.quadrillage->setIcon(iconeQuadrillage());
    m_actions.quadrillage->setToolTip(qs("Quadrillage"));
    port->setIcon(iconePortSerie());
    m_actions.aPropos->setIcon(iconeAPropos());
    m_actions.aPropos->setToolTip(qs("À propos"));
    m_barreOutils->addAction(m_actions.imprimer);
    m_barreOutils->addAction(m_actions.quadrillage);
    m_barreOutils->addAction(port);
    m_barreOutils->addSeparator();
    m_barreOutils->addAction(m_actions.aPropos);
}

QAction** CMainFrame::emplacement(int id)
{
    for (const auto& [commande, membre] : Emplacements) {
        if (commande == id) {
            return &(m_actions.*membre);
        }
    }
    return nullptr;
}

QAction* CMainFrame::action(int id) const
{
    for (const auto& [commande, membre] : Emplacements) {
        if (commande == id) {
            return m_actions.*membre;
        }
    }
    return nullptr;
}

QMenu* CMainFrame::menuDe(int id) const
{
    const QAction* commande = action(id);
    if (!commande) {
        return nullptr;
    }
    for (QAction* titre : menuBar()->actions()) {
        if (titre->menu() && titre->menu()->actions().contains(commande)) {
            return titre->menu();
        }
    }
    return nullptr;
}

void CMainFrame::placerCadre()
{
    const QWindow* fenetre = windowHandle();
    m_bordsPlaces = fenetre ? fenetre->frameMargins() : QMargins();
    m_taillePlacee = TailleCadre.shrunkBy(m_bordsPlaces);
    resize(m_taillePlacee);
    // A window's position is that of its frame, decorations included.
    move(0, 0);
}

bool CMainFrame::event(QEvent* event)
{
    const bool traite = QMainWindow::event(event);
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::WindowActivate:
        // The decorations have changed (the window manager framed the
        // window): placed again, unless the operator resized the frame.
        if (isVisible() && windowHandle() && windowHandle()->frameMargins() != m_bordsPlaces &&
            size() == m_taillePlacee) {
            placerCadre();
        }
        break;
    default:
        break;
    }
    return traite;
}

void CMainFrame::attacherDocument(CKIVDoc* document)
{
    m_document = document;
    for (QAction* commande :
         {m_actions.nouveau, m_actions.ouvrir, m_actions.enregistrer, m_actions.enregistrerSous}) {
        commande->setEnabled(document != nullptr);
    }
    if (document) {
        document->setApresChangement([this] { apresDocument(); });
        apresDocument();
    }
}

void CMainFrame::setExecuteurDialogue(ExecuteurDialogue executeur)
{
    m_executeur = std::move(executeur);
}

QPrinter& CMainFrame::imprimante()
{
    if (!m_imprimante) {
        m_imprimante = std::make_unique<QPrinter>(QPrinter::HighResolution);
        m_imprimante->setDocName(windowTitle());
    }
    return *m_imprimante;
}

void CMainFrame::keyPressEvent(QKeyEvent* event)
{
    // A key the frame receives itself, not one a child left unhandled.
    QWidget* cible = focusWidget();
    if ((cible == nullptr || cible == this) && messagesClavierActifs() && !toucheSysteme(*event)) {
        signalerToucheEnfoncee();
    }
    QMainWindow::keyPressEvent(event);
}

bool CMainFrame::accepterFermeture()
{
    if (m_view->reseaux().entrainementEnCours()) {
        // The trainer window beside the console is in the middle of a run:
        // closing would pull its network from under it.
        platform().messageBox("Un entraînement du réseau est en cours : annulez-le (« Cancel ») "
                              "avant de quitter.",
                              platform().loadString(ids::AppTitle), MessageButtons::Ok,
                              MessageIcon::Exclamation);
        return false;
    }
    return m_fermetureAccordee || m_document == nullptr || m_document->SaveModified();
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (!accepterFermeture()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}
