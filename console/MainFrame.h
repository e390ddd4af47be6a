#pragma once

#include "console/IndicateursClavier.h"
#include "console/KIVView.h"

#include <QMainWindow>
#include <functional>
#include <memory>

class CKIVDoc;
class QAction;
class QDialog;
class QLabel;
class QPrinter;
class QToolBar;

/**
 * The main window "KIV-ZUL": the menu bar, the toolbar, the status bar and
 * the control view in the middle. It carries out the shell's commands
 * (document, printing, edit, bars, About) and hands the view's own to it.
 *
 * Every command is a QAction named "id<command>"; the toolbar is "id59392"
 * and the status bar "id59393".
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
    QToolBar* barreOutils() const { return m_barreOutils; }
    /** The message pane, "Prêt" while nothing else is shown. */
    QLabel* voletMessage() const { return m_voletMessage; }
    IndicateursClavier* indicateurs() const { return m_indicateurs; }

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

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void creerMenus();
    void creerBarreOutils();
    void creerBarreEtat();
    void connecterCommandes();
    void commandeEdition(int id);
    void imprimerSur(QPrinter& imprimante);

    CKIVView* m_view;
    CKIVDoc* m_document = nullptr;
    QToolBar* m_barreOutils = nullptr;
    QLabel* m_voletMessage = nullptr;
    IndicateursClavier* m_indicateurs = nullptr;
    std::unique_ptr<QPrinter> m_imprimante;
    ExecuteurDialogue m_executeur;
};
