#pragma once

#include "core/ProgressBox.h"

#include <QDialog>
#include <QPointer>

class CourbeErreur;
class QLabel;
class QProgressBar;
class QPushButton;

/**
 * The progress box of long work on the user-interface thread: status text,
 * bar with its percentage, a plot of the training error, and "&Cancel",
 * which only raises a flag the work polls. Every call that moves the bar,
 * and every poll, first processes the pending events, so the application
 * keeps painting and answering while the work runs. When the work is over
 * the caller swaps Cancel for "&Ok", and Ok closes the box.
 *
 * While the box is open its owner (a top-level window) is disabled, unless
 * it already was, or was blocked by a modal dialog, in which case it is
 * left alone. The box itself is a top-level window kept above the active
 * modal dialog, so that it stays usable while that dialog runs.
 */
class ProgDlg : public QDialog, public ProgressBox {
    Q_OBJECT

public:
    /** Titled with string `captionId` (103 when 0); `proprietaire` is the default owner. */
    explicit ProgDlg(int captionId = 0, QWidget* proprietaire = nullptr);
    ~ProgDlg() override;

    /** Opens the box with the owner given at construction. */
    bool Create() override;
    /** Opens the box; the owner is the top-level window of `proprietaire` (none when null). */
    bool Create(QWidget* proprietaire);

    void SetStatus(const std::string& text) override;
    void SetRange(int lower, int upper) override;
    void SetStep(int step) override;
    int SetPos(int position) override;
    int OffsetPos(int delta) override;
    int StepIt() override;
    bool CheckCancel() override;
    void ShowOkButton() override;
    /** Adds the pass to the error plot. */
    void pass(int s, double error) override;

    /** The OK command: closes the box once Ok is shown; ignored while the work runs. */
    void accept() override;
    /** The Cancel command (button, Escape, close box): raises the flag, the box stays. */
    void reject() override;

    /** True between Create and the closing of the box. */
    bool fenetreOuverte() const { return m_fenetre; }
    int captionId() const { return m_captionId; }
    int position() const { return m_position; }
    QWidget* proprietaire() const { return m_owner; }
    bool proprietaireDesactive() const { return m_ownerDisabled; }
    CourbeErreur* courbe() const { return m_courbe; }

private:
    void OnInitDialog();
    void DestroyWindow();
    void PumpMessages();
    void UpdatePercent(int pos);
    void ReEnableOwner();
    /** The bar at `position`, kept within the range as the bar keeps it. */
    void placerBarre(int position);
    void placerFenetre();

    QProgressBar* m_progress;
    QLabel* m_status;
    QLabel* m_percent;
    QPushButton* m_cancelButton;
    QPushButton* m_okButton;
    CourbeErreur* m_courbe;

    int m_captionId;
    int m_lower = 0;
    int m_upper = 100;
    int m_step = 1;
    bool m_cancelled = false;
    bool m_ownerDisabled = false;

    QPointer<QWidget> m_ownerParDefaut;
    QPointer<QWidget> m_owner;
    bool m_fenetre = false;
    int m_position = 0;
};
