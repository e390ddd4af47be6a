#pragma once

#include "link/dialog/PeripheriquesSerie.h"
#include "link/settings/PortSettings.h"

#include <QDialog>

#include <string>

class PanneauPeripheriques;
class PortOwner;
class QButtonGroup;
class QComboBox;

/**
 * "Paramètre de communication": the operator picks the robot's COM port and
 * baud rate. The dialog starts from the settings file, and its OK writes
 * the file anew and has the owner open the link again at once; it stays
 * open when the link cannot be opened, so that another port can be tried.
 * Cancel changes nothing.
 *
 * Controls carry their identifiers as object names: OK "id1", Cancel "id2",
 * the rates 110 .. 38400 "id1000" .. "id1007", the port list "id1008".
 * Below them, the panel of devices shows which device each COMn stands for
 * and lets the operator assign one (PanneauPeripheriques).
 *
 * One object per run: the caller makes it without a parent, gives it the
 * owner and runs it modally (exec).
 */
class CommDlg : public QDialog {
    Q_OBJECT

public:
    explicit CommDlg(QWidget* parent = nullptr);
    ~CommDlg() override;

    /** The window whose OpenRobotPort the OK calls; none: the file is only written. */
    void setProprietaire(PortOwner* proprietaire) { m_ownerView = proprietaire; }
    /** The settings file; "scom.ini" in the working directory by default. */
    void setFichier(std::string chemin) { m_fichier = std::move(chemin); }
    /** Where the panel of devices finds the devices it offers. */
    void setSourcePeripheriques(SourcePeripheriques source);

    /** The port index (0 .. 3) and the baud rate last taken from the controls or the file. */
    int indexPort() const { return m_portIndex; }
    int baud() const { return m_baud; }

    /** The rate of button `id` (1000 .. 1007); 0 for any other id. */
    static int debitBouton(int id);
    /** The button of `baud`: 1000 .. 1007, 1005 (9600) for a rate not offered. */
    static int boutonDebit(int baud);

    /**
     * OK: writes the file, saves the assignments, reopens the link, closes
     * when it is open. (Cancel, Escape and the close box are QDialog's
     * reject: file, link and assignments stay untouched.)
     */
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void creerControles();
    void OnInitDialog();
    void OnSelchangeCombo();
    /** The rate of the checked button; 0 when none is. */
    int debitCoche() const;

    PortOwner* m_ownerView = nullptr;
    int m_portIndex = 1;
    int m_baud = 0;
    QComboBox* m_comboPort = nullptr;
    QButtonGroup* m_debits = nullptr;
    PanneauPeripheriques* m_peripheriques = nullptr;
    std::string m_fichier = FichierScom;
};
