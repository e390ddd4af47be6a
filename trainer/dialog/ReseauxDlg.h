#pragma once

#include "trainer/ErreurEnsemble.h"
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

    /**
     * How "Carte d'erreur..." reads the outputs before comparing them
     * with the set's: the console gives its own rule (cm from 0 to 499,
     * truncated), so that the errors are those of the positions it shows;
     * raw outputs by default.
     */
    void setLectureSortie(LectureSortie lecture) { m_lectureSortie = lecture; }

    /** Enter: closes after the edits went into the fields (stays open on a bad edit). */
    void accept() override;
    /** Escape and the close box: closes without exchange. */
    void reject() override;

signals:
    /** The "About" item of the window menu was chosen. */
    void aPropos();
    /** A command of the window replaced, trained or discarded the network (its version moved). */
    void reseauRemplace();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    /** Builds the controls at their places (ReseauxDlgGabarit.cpp). */
    void creerControles();
    void OnInitDialog();
    /** A step of the arrows beside `edit`; `structure` for the layer counts. */
    void OnDeltaPosSpin(QLineEdit* edit, bool structure, int delta);
    void OnChangeCouches();
    void OnUpdateBouton();
    void OnParcourir();
    void OnEntrainer();
    void OnEcrirePoids();
    void OnTester();
    void OnEnregistrer();
    void OnLireParametre();
    /** "Carte d'erreur...": the network on a whole set, its error map in a window. */
    void OnTesterEnsemble();

    /** The file dialog: true and the path when the user confirms. */
    bool ChoisirFichier(bool ouvrir, const char* filtre, std::string& chemin);
    /** Runs a handler's work with errors reported, then refreshes the buttons. */
    template <class Fn>
    void gerer(Fn travail);

    ReseauNeurones m_reseau;
    QIcon m_hIcon;
    bool m_enCours = false;
    /** The network's version when reseauRemplace was last emitted. */
    std::uint64_t m_versionSignalee = 0;
    LectureSortie m_lectureSortie = nullptr;

    // The controls, bound when creerControles builds them (object names id1000 ...).
    QLineEdit* m_editGain = nullptr;               // 1000
    QLineEdit* m_editNeuroneEntree = nullptr;      // 1001
    QLineEdit* m_editNeuroneSortie = nullptr;      // 1002
    QLineEdit* m_editCoucheCache = nullptr;        // 1003
    QLineEdit* m_editNeuroneCoucheCache = nullptr; // 1004
    QLineEdit* m_editMomentum = nullptr;           // 1009
    QLineEdit* m_editFichier = nullptr;            // 1010, the training file's path
    /** The training file chosen, as the file system names it (m_editFichier shows it). */
    std::string m_cheminFichier;
    QLineEdit* m_editMinOutput = nullptr;          // 1016
    QLineEdit* m_editMaxOutput = nullptr;          // 1017
    QLineEdit* m_editEpsilon = nullptr;            // 1018
    QLineEdit* m_editTolerance = nullptr;          // 1019
    QLineEdit* m_editErreurMax = nullptr;          // 1020
    QLineEdit* m_editIterMax = nullptr;            // 1021
    QLineEdit* m_editDonneesTest1 = nullptr;       // 1022
    QLineEdit* m_editDonneesTest2 = nullptr;       // 1023
    QLineEdit* m_editDonneesTest3 = nullptr;       // 1024
    BoutonFleches* m_flechesEntree = nullptr;      // 1005, for 1001
    BoutonFleches* m_flechesSortie = nullptr;      // 1006, for 1002
    BoutonFleches* m_flechesCouches = nullptr;     // 1007, for 1003
    BoutonFleches* m_flechesNeurones = nullptr;    // 1008, for 1004
    QPushButton* m_boutonParcourir = nullptr;      // 1011
    QPushButton* m_boutonLirePoids = nullptr;      // 1012
    QPushButton* m_boutonEcrirePoids = nullptr;    // 1013
    QPushButton* m_boutonEntrainer = nullptr;      // 1014
    QPushButton* m_boutonTester = nullptr;         // 1015
    QPushButton* m_boutonEnregistrer = nullptr;    // 1025
    QPushButton* m_boutonLireParametre = nullptr;  // 1026
    QPushButton* m_boutonTesterEnsemble = nullptr; // 1027
};
