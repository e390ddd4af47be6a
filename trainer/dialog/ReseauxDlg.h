#pragma once

#include "trainer/ReseauNeurones.h"

#include <QDialog>
#include <QIcon>

#include <string>

class QLineEdit;
class QPushButton;
class BoutonFleches;

/**
 * "Reseaux de Neurones": the window in which the operator sets up the
 * multilayer perceptron, trains it from a training file, tests it on three
 * inputs and saves or loads its weights and its parameters.
 *
 * The object also holds the network that drives the robot: the control
 * view keeps one for its whole life, shows it modally (exec) from its
 * "&Entrainer" button and turns the robot's three measures into a
 * position with Evaluer. Everything it holds lives on from one showing to
 * the next; each showing refreshes the edits from the fields.
 *
 * Every handler reports an error in a message box and leaves the window
 * working. While a training runs (the progress box keeps the window live)
 * the buttons that would start another training or replace the network
 * are disabled, and the window cannot be closed.
 */
class ReseauxDlg : public QDialog {
    Q_OBJECT

public:
    explicit ReseauxDlg(QWidget* parent = nullptr);
    ~ReseauxDlg() override;

    /** Three raw measures to the de-scaled outputs; false without a network. */
    bool Evaluer(double e1, double e2, double e3, Vecteur& resultat);

    /** "&Lire Poids": a weights file chosen by the user replaces the network. */
    void OnLirePoids();

    /**
     * Exchanges the edits with the fields: into the fields when `sauver`,
     * from them otherwise. Reading stops at the first edit that holds no
     * number; the user is told, the focus goes to it and false is returned.
     */
    bool UpdateData(bool sauver = true);

    ReseauNeurones& reseau() { return m_reseau; }
    const ParametresReseau& parametres() const { return m_reseau.parametres; }
    bool entrainementEnCours() const { return m_enCours; }

    /** Enter: closes after the edits went into the fields (stays open on a bad edit). */
    void accept() override;
    /** Escape and the close box: closes without exchange. */
    void reject() override;

signals:
    /** The "About" item of the window menu was chosen. */
    void aPropos();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    /** Builds the controls at their places (ReseauxDlgGabarit.cpp). */
    void creerControles();
    void OnInitDialog();
    void OnDeltaPosSpin(int spin, int delta);
    void OnChangeCouches();
    void OnUpdateBouton();
    void OnParcourir();
    void OnEntrainer();
    void OnEcrirePoids();
    void OnTester();
    void OnEnregistrer();
    void OnLireParametre();

    /** The file dialog: true and the path when the user confirms. */
    bool ChoisirFichier(bool ouvrir, const char* filtre, std::string& chemin);
    /** Runs a handler's work with errors reported, then refreshes the buttons. */
    template <class Fn>
    void gerer(Fn travail);

    QLineEdit* edit(int id) const;
    QPushButton* bouton(int id) const;

    ReseauNeurones m_reseau;
    QIcon m_hIcon;
    bool m_enCours = false;
};
