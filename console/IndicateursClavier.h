#pragma once

#include <QObject>
#include <functional>
#include <optional>

class QLabel;
class QStatusBar;

/** State of the three lock keys; nothing when the window system does not tell. */
struct EtatVerrous {
    std::optional<bool> majuscules;
    std::optional<bool> numerique;
    std::optional<bool> defilement;
};

/** Reads the lock keys' state. */
using LecteurVerrous = std::function<EtatVerrous()>;

/**
 * The lock keys as the window system reports them: on X11 the keyboard's
 * indicator lights (through Xlib, loaded at run time); elsewhere unknown,
 * since Qt itself only reports the modifier keys held down.
 */
EtatVerrous lireVerrousSysteme();

/**
 * The status bar's lock indicators "MAJ", "NUM" and "DEF": each shows its
 * text while its key is on and stays blank (keeping its width) while it is
 * off or unknown. They are refreshed on every key press or release in the
 * application and whenever the application becomes active, the only moments
 * the state can have changed as far as this program can see.
 */
class IndicateursClavier : public QObject {
    Q_OBJECT

public:
    /** Adds the three panes to `barre`, right of the message pane. */
    IndicateursClavier(QStatusBar* barre, LecteurVerrous lecteur);

    void setLecteur(LecteurVerrous lecteur);
    /** Reads the lock keys now and updates the panes. */
    void actualiser();

    QLabel* majuscules() const { return m_maj; }
    QLabel* numerique() const { return m_num; }
    QLabel* defilement() const { return m_def; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* m_maj;
    QLabel* m_num;
    QLabel* m_def;
    LecteurVerrous m_lecteur;
};

/** A sunken status-bar pane wide enough for `gabarit`, named `nom`. */
QLabel* creerVolet(QStatusBar* barre, const QString& nom, const QString& gabarit);
