#pragma once

#include "link/dialog/PeripheriquesSerie.h"

#include <QGroupBox>

#include <array>
#include <optional>

class QComboBox;
class QLabel;
class QPushButton;
class UnitesDialogue;

/**
 * The port dialog's panel of devices: which device each of COM1 .. COM4
 * stands for (the KIV_COMn variable, the operator's assignment or the
 * machine's /dev/ttyS<n-1>), the serial devices found on the machine, and
 * the buttons that assign one of them to the port chosen in the dialog or
 * remove its assignment.
 *
 * Assignments made here are only shown until `enregistrer`, which the
 * dialog's OK calls: Cancel leaves the settings store as it was.
 */
class PanneauPeripheriques : public QGroupBox {
public:
    PanneauPeripheriques(const UnitesDialogue& du, QWidget* parent);

    /** Where the devices come from; the machine's by default. */
    void setSource(SourcePeripheriques source);

    /** Forgets the changes not saved and looks for the devices again. */
    void recommencer();
    /** Looks for the devices again (the "Actualiser" button). */
    void actualiser();
    /** The port (1 .. 4) the buttons act on. */
    void choisirPort(int port);

    /** Writes the changed assignments to the settings store. */
    void enregistrer();
    /** True when an assignment was changed and not yet saved. */
    bool modifie() const;

    /** The assignment of `port` as it stands in the panel: the change, else the stored one. */
    QString attribution(int port) const;

private:
    void OnAttribuer();
    void OnRetirer();
    void afficher();
    void afficherLigne(int port);

    std::array<QLabel*, 4> m_lignes{};
    QComboBox* m_detectes;
    QPushButton* m_actualiser;
    QPushButton* m_attribuer;
    QPushButton* m_retirer;
    QLabel* m_note;

    SourcePeripheriques m_source;
    QList<PeripheriqueSerie> m_peripheriques;
    /** Changes not saved yet, per port; an empty text removes the assignment. */
    std::array<std::optional<QString>, 4> m_changements{};
    int m_port = 2;
};
