// The main frame's commands: document, printing, edit, bars, About.
#include "console/AboutDlg.h"
#include "console/Impression.h"
#include "console/KIVDoc.h"
#include "console/MainFrame.h"
#include "console/Menu128.h"
#include "console/VueReception.h"
#include "core/Platform.h"
#include "core/RapportErreur.h"
#include "core/StringTable.h"
#include "trainer/dialog/ReseauxDlg.h"
#include "world/WorldState.h"
#include "world/view/MapView.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPageSetupDialog>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QStatusBar>

namespace {
const char* const ImpressionImpossible =
    "Impossible d'imprimer : l'imprimante n'est pas disponible.";
}

void CMainFrame::connecterCommandes()
{
    auto relier = [this](QAction* commande, auto&& travail) {
        connect(commande, &QAction::triggered, this,
                [travail = std::forward<decltype(travail)>(travail)] { executerProtege(travail); });
    };
    const ActionsCadre& a = m_actions;
    attacherDocument(nullptr);
    relier(a.nouveau, [this] { m_document->OnFileNew(); });
    relier(a.ouvrir, [this] { m_document->OnFileOpen(); });
    relier(a.enregistrer, [this] { m_document->OnFileSave(); });
    relier(a.enregistrerSous, [this] { m_document->OnFileSaveAs(); });
    relier(a.imprimer, [this] { OnFilePrint(); });
    relier(a.imprimerDirect, [this] { OnFilePrintDirect(); });
    relier(a.apercu, [this] { OnFilePrintPreview(); });
    relier(a.configurationImpression, [this] { OnFilePrintSetup(); });
    relier(a.quitter, [this] { close(); });
    for (int id : {cmd::Annuler, cmd::Couper, cmd::Copier, cmd::Coller}) {
        relier(action(id), [this, id] { commandeEdition(id); });
    }
    relier(a.aPropos, [this] { OnAppAbout(); });
    relier(a.portSerie, [this] { m_view->OnPortSerie(); });

    connect(a.barreEtat, &QAction::toggled, statusBar(), &QWidget::setVisible);
    connect(a.quadrillage, &QAction::toggled, this,
            [this](bool coche) { executerProtege([&] { m_view->OnQuadrillage(coche); }); });
    // The trainer window's own "About" item shows the same box.
    connect(&m_view->reseaux(), &ReseauxDlg::aPropos, this, [this] { OnAppAbout(); });
}

void CMainFrame::actualiserTitre()
{
    if (!m_document) {
        return;
    }
    // "KIV-ZUL - essai.kiv", as single-document programs name their window.
    const std::string titre = platform().loadString(ids::AppTitle) + " - " + m_document->GetTitle();
    setWindowTitle(QString::fromStdString(titre));
}

void CMainFrame::apresDocument()
{
    actualiserTitre();
    if (!m_view->mapView()) {
        return; // before the first activation there is no field on show yet
    }
    // The grid lines come with the field; the menu's check mark follows them
    // (and redraws the map when it changes).
    m_actions.quadrillage->setChecked(monde().drapeaux.quadrillage != 0);
    m_view->mapView()->Redraw();
    if (monde().destination.lire().placee) {
        m_view->ShowDestination();
    } else {
        for (const char* nom : {"id1009", "id1012"}) {
            if (auto* boite = m_view->findChild<QLineEdit*>(QString::fromLatin1(nom))) {
                boite->clear();
            }
        }
    }
}

void CMainFrame::OnAppAbout()
{
    // Over the trainer window when it asked, over the frame otherwise.
    QWidget* parent = QApplication::activeModalWidget();
    AboutDlg dialogue(parent ? parent : this);
    m_executeur(dialogue);
}

void CMainFrame::imprimerSur(QPrinter& imprimante)
{
    m_view->viderTrafic();
    if (!imprimerFormulaire(imprimante, *m_view)) {
        platform().messageBox(ImpressionImpossible, platform().loadString(ids::AppTitle),
                              MessageButtons::Ok, MessageIcon::Exclamation);
    }
}

void CMainFrame::OnFilePrint()
{
    QPrintDialog dialogue(&imprimante(), this);
    // A one-page form: no page range, no selection.
    dialogue.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialogue.setOption(QAbstractPrintDialog::PrintSelection, false);
    if (m_executeur(dialogue) == QDialog::Accepted) {
        imprimerSur(imprimante());
    }
}

void CMainFrame::OnFilePrintDirect()
{
    imprimerSur(imprimante());
}

void CMainFrame::OnFilePrintPreview()
{
    QPrintPreviewDialog dialogue(&imprimante(), this);
    dialogue.setWindowTitle(QStringLiteral("Aperçu avant impression"));
    // The page at the window's width, in a window the size of the console.
    dialogue.resize(size().expandedTo(QSize(640, 480)));
    if (auto* apercu = dialogue.findChild<QPrintPreviewWidget*>()) {
        apercu->fitToWidth();
    }
    connect(&dialogue, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* imprimante) {
        m_view->viderTrafic();
        imprimerFormulaire(*imprimante, *m_view);
    });
    m_executeur(dialogue);
}

void CMainFrame::OnFilePrintSetup()
{
    QPageSetupDialog dialogue(&imprimante(), this);
    m_executeur(dialogue);
}

namespace {

/**
 * The text box the Edit commands act on: the frame's focus widget if it is
 * one. The reception view is read-only: it copies, nothing more.
 */
struct BoiteTexte {
    QLineEdit* ligne = nullptr;
    QPlainTextEdit* zone = nullptr;
    VueReception* vue = nullptr;

    explicit BoiteTexte(QWidget* focus)
        : ligne(qobject_cast<QLineEdit*>(focus))
        , zone(qobject_cast<QPlainTextEdit*>(focus))
        , vue(qobject_cast<VueReception*>(focus))
    {}
    bool lectureSeule() const
    {
        return ligne ? ligne->isReadOnly() : zone ? zone->isReadOnly() : true;
    }
    bool selection() const
    {
        return ligne  ? ligne->hasSelectedText()
               : zone ? zone->textCursor().hasSelection()
               : vue  ? vue->aSelection()
                      : false;
    }
    bool annulable() const
    {
        return ligne  ? ligne->isUndoAvailable()
               : zone ? zone->document()->isUndoAvailable()
                      : false;
    }
};

} // namespace

void CMainFrame::majEdition()
{
    const BoiteTexte boite(focusWidget());
    const bool modifiable = !boite.lectureSeule();
    const QClipboard* pressePapiers = QApplication::clipboard();
    m_actions.annuler->setEnabled(modifiable && boite.annulable());
    m_actions.couper->setEnabled(modifiable && boite.selection());
    m_actions.copier->setEnabled(boite.selection());
    m_actions.coller->setEnabled(modifiable && pressePapiers && !pressePapiers->text().isEmpty());
}

void CMainFrame::commandeEdition(int id)
{
    majEdition();
    if (!action(id)->isEnabled()) {
        return;
    }
    const BoiteTexte boite(focusWidget());
    auto faire = [&](auto surLigne, auto surZone) {
        if (boite.ligne) {
            (boite.ligne->*surLigne)();
        } else if (boite.zone) {
            (boite.zone->*surZone)();
        }
    };
    switch (id) {
    case cmd::Annuler:
        faire(&QLineEdit::undo, &QPlainTextEdit::undo);
        break;
    case cmd::Couper:
        faire(&QLineEdit::cut, &QPlainTextEdit::cut);
        break;
    case cmd::Copier:
        faire(&QLineEdit::copy, &QPlainTextEdit::copy);
        if (boite.vue) {
            boite.vue->copier();
        }
        break;
    case cmd::Coller:
        faire(&QLineEdit::paste, &QPlainTextEdit::paste);
        break;
    default:
        break;
    }
}
