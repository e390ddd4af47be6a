#pragma once

#include "console/IndicateursClavier.h"
#include "console/KIVView.h"
#include "console/VoletsConsole.h"

#include <QMainWindow>
#include <QMargins>
#include <QSize>
#include <functional>
#include <memory>

class CKIVDoc;
class QAction;
class QMenu;
class QEvent;
class QDialog;
class QLabel;
class QPrinter;
class QToolBar;

/** The frame's commands, bound once as the frame builds its menus and bars. */
struct ActionsCadre {
    QAction* nouveau = nullptr;
    QAction* ouvrir = nullptr;
    QAction* enregistrer = nullptr;
    QAction* enregistrerSous = nullptr;
    QAction* imprimer = nullptr;
    QAction* imprimerDirect = nullptr;
    QAction* apercu = nullptr;
    QAction* configurationImpression = nullptr;
    QAction* quitter = nullptr;
    QAction* annuler = nullptr;
    QAction* couper = nullptr;
    QAction* copier = nullptr;
    QAction* coller = nullptr;
    QAction* barreOutils = nullptr;
    QAction* barreEtat = nullptr;
    QAction* quadrillage = nullptr;
    QAction* portSerie = nullptr;
    QAction* aPropos = nullptr;
};

/**
 * The main window "KIV-ZUL": the menu bar, the toolbar, the status bar and
 * the control view in the middle. It carries out the shell's commands
 * (document, printing, edit, bars, About) and hands the view's own to it.
 *
 * Every command is a QAction named "id<command>"; the toolbar is "id59392"
 * and the status bar "id59393". The frame, decorations included, covers
 * (0, 0) to (790, 580) when it first appears.
 */
class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    explicit CMainFrame(OptionsConsole options = {}, QWidget* parent = nullptr);
    ~CMainFrame() override;

    CKIVView* view() const { return m_view; }

    /** The document whose file commands the File menu runs; none until attached. */
    void attacherDocument(CKIVDoc* document);
    CKIVDoc* document() const { return m_document; }

    /** The action of command `id`, or null. */
    QAction* action(int id) const;
    /** The menu of the menu bar that holds command `id` (to add entries beside it), or null. */
    QMenu* menuDe(int id) const;
    const ActionsCadre& actions() const { return m_actions; }
    QToolBar* barreOutils() const { return m_barreOutils; }
    /**
     * The mission bar, in the toolbar's row: the run's state, the network
     * and the link, where they read whole without taking room from the map.
     */
    QToolBar* barreMission() const { return m_barreMission; }
    /** The message pane, "Prêt" while nothing else is shown. */
    QLabel* voletMessage() const { return m_voletMessage; }
    IndicateursClavier* indicateurs() const { return m_indicateurs; }
    /** The run-state, route and network panes. */
    const VoletsConsole& volets() const { return m_volets; }

    /** The printer shared by print set-up, print and preview; made on first use. */
    QPrinter& imprimante();

    /**
     * Runs the frame's modal dialogs (About, print, preview, page set-up) and
     * returns their result. Defaults to QDialog::exec; tests put their own.
     */
    using ExecuteurDialogue = std::function<int(QDialog&)>;
    void setExecuteurDialogue(ExecuteurDialogue executeur);

    // Commands.
    void OnAppAbout();
    void OnFilePrint();
    void OnFilePrintDirect();
    void OnFilePrintPreview();
    void OnFilePrintSetup();
    /** Enables the Edit commands for the text box that has the focus (as the menu opens). */
    void majEdition();

    /**
     * Whether the console may close now (window close, "Quitter", the
     * desktop session ending): a modified field is not dropped without
     * the document's question.
     */
    bool accepterFermeture();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    /** The slot of command `id` in m_actions, or null for a command without one. */
    QAction** emplacement(int id);
    /**
     * Gives the frame its outer rectangle with the decorations known so far.
     * A window manager makes them known only once the frame is shown, so
     * this runs again when they change, as long as nobody resized the frame.
     */
    void placerCadre();
    void creerMenus();
    void creerBarreOutils();
    void creerBarreEtat();
    void connecterCommandes();
    void commandeEdition(int id);
    /** After the document changed: title, grid-lines check mark, map and boxes. */
    void apresDocument();
    /** "KIV-ZUL - essai.kiv", and the log a replay plays after it. */
    void actualiserTitre();
    void imprimerSur(QPrinter& imprimante);

    CKIVView* m_view;
    ActionsCadre m_actions;
    /** The decorations and the client size of the last placement. */
    QMargins m_bordsPlaces;
    QSize m_taillePlacee;
    CKIVDoc* m_document = nullptr;
    QToolBar* m_barreOutils = nullptr;
    QToolBar* m_barreMission = nullptr;
    QLabel* m_voletMessage = nullptr;
    IndicateursClavier* m_indicateurs = nullptr;
    VoletsConsole m_volets;
    std::unique_ptr<QPrinter> m_imprimante;
    ExecuteurDialogue m_executeur;
    /** The desktop session's end was agreed to: the windows close without asking again. */
    bool m_fermetureAccordee = false;
};
