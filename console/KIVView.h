#pragma once

#include "console/DebordementLien.h"
#include "link/RobotLink.h"
#include "link/dialog/PortOwner.h"
#include "link/trame/ChaineEnLigne.h"
#include "world/view/MapOwner.h"

#include <QTimer>
#include <QWidget>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>

class BoiteTrafic;
class EstimateurLien;
struct EditionMonde;
class CMapView;
class NiveauBarre;
class ObservateurMonde;
class PorteAffichage;
class QLineEdit;
class StyleCadreMemorise;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class ReconnexionLien;
class ReseauxDlg;
namespace Ui {
class KIVView;
}

/** How the console starts: a weights file to load instead of asking, the link engine. */
struct OptionsConsole {
    /** Loaded at construction when not empty; otherwise the user is asked. */
    std::string poids;
    /** Makes the link engine; empty gives a link that cannot open. */
    RobotLinkFactory lien;
    /** False: the robot's port is not opened at start-up ("Port série" opens it). */
    bool ouvrirPort = true;
};

/**
 * The control view: the operator's form around the map. It owns the map
 * window, the robot link and the network dialog; it sets everything up on
 * its first activation, keeps the telemetry boxes up to date, answers every
 * sensor frame with a command byte and carries out the form's commands.
 *
 * Its widgets live on the user-interface thread. The frame chain (parser,
 * position, world update, command byte) runs on the link's monitor thread as
 * the engine's reflex and hands each step to the view, which only shows it;
 * the world never calls the view: the view's observer of the world
 * (ObservateurMonde) shows what changed.
 */
class CKIVView : public QWidget, public MapOwner, public RobotLinkOwner, public PortOwner {
    Q_OBJECT

public:
    explicit CKIVView(QWidget* parent = nullptr, OptionsConsole options = {});
    ~CKIVView() override;

    /** The one-time set-up, run while monde().drapeaux.miseEnPlaceAttendue is set. */
    void OnActivateView();
    /** Creates the map window over frame 1001 and the observer that keeps it up to date. */
    void CreateMapView();
    /** The whole map at its smallest beside the controls' column. */
    QSize minimumSizeHint() const override;
    /** Opens the link with the port settings: 0 when open, 1 (and a message) otherwise. */
    int OpenRobotPort() override;
    /** The watch that opens the link again when a device that went away is back. */
    ReconnexionLien& reconnexion() const { return *m_reconnexion; }
    /** Sends one command byte and records it in the transmission box. */
    void SendWheelCommand(int gauche, int droite, int virage);

    Selection selection() const override;
    void ShowRobotPosition() override;
    void ShowDestination() override;
    void ShowWheelSpeeds() override;
    /**
     * The position and wheel boxes say that their values are stale (grey,
     * a tooltip) while the link is lost, until frames return.
     */
    void marquerPerimees(bool perimees);
    bool perimees() const { return m_perimees; }
    /**
     * Paints now what waits for its pause (the battery bar): the observer
     * calls it with each picture, so that both go out in one paint.
     */
    void peindreEnAttente();
    /** Takes the click when a tool asked for the next one (designerPoint). */
    bool prendreClic(int x, int y) override;
    /**
     * The next left click on the map designates a point (cm) for `suite`
     * instead of editing; an empty `suite` cancels the request.
     */
    void designerPoint(std::function<void(int, int)> suite) { m_designation = std::move(suite); }
    bool designationEnCours() const { return static_cast<bool>(m_designation); }

    /**
     * One byte from the robot: shown in the reception box, fed to the
     * sensor-frame parser, and the parser's event carried out (position,
     * bumpers and command reply, battery bar).
     */
    void OnRobotByte(int octet, int port) override;
    /** The same, read from the line at `arrivee`: silences inside a frame are measured. */
    void OnRobotByteAt(int octet, int port, std::int64_t arrivee) override;
    /** A command byte left at `instant`: silences are measured from there too. */
    void OnLinkWrite(std::int64_t instant) override;
    /** The device went away: traced (the link pane and the session log say it). */
    void OnLinkLost(const std::string& raison) override;
    /** The byte stream starts again from a fresh opening: the parser restarts. */
    void OnLinkRestart() override;
    /**
     * The link dropped `octets` bytes it could not hand over in time (the
     * line faster than this thread): its own thread handled and answered
     * them, so they count as handled; the overrun is counted for the link
     * pane and noted in the session log at most once a second.
     */
    void surDebordement(std::uint64_t octets) override;

    // Commands of the form and the menu.
    void OnEtatPort();
    void OnReels();
    void OnVirtuels();
    void OnGo();
    void OnArret();
    void OnSaisie();
    /** "Reprendre": the operator's hold ends and the navigation steers the robot again. */
    void OnReprendre();
    void OnEntrainer();
    /** "Port série": the port dialog, which reopens the link when confirmed. */
    void OnPortSerie();
    /** "Quadrillage": the grid lines follow the menu item's new check state. */
    void OnQuadrillage(bool coche);

    /** Writes the traffic still pending into the reception and transmission boxes. */
    void viderTrafic();

    CMapView* mapView() const { return m_mapView; }
    ObservateurMonde* observateur() const { return m_observateur.get(); }
    ReseauxDlg& reseaux() { return *m_reseaux; }
    RobotLink* lien() const { return m_serialPort.get(); }
    /** Whole sensor frames received since the view was made (the link pane counts them). */
    std::uint64_t tramesRecues() const { return m_tramesRecues; }
    /** Frames cut short by a silence since the view was made, and the bytes they held. */
    std::uint64_t resynchronisations() const { return m_resynchronisations; }
    std::uint64_t octetsEcartes() const { return m_octetsEcartes; }
    /** Received bytes the link dropped before this view could show them (overruns). */
    std::uint64_t octetsPerdus() const { return m_debordement.total(); }
    /**
     * The count of received bytes whose handling is over, reply included.
     * Any thread may read it, even after the view is gone: a peer in lock
     * step (a test's robot) waits on it.
     */
    std::shared_ptr<const std::atomic<std::uint64_t>> compteurOctetsTraites() const
    {
        return m_octetsTraites;
    }

signals:
    /** The map was shown afresh from the world (each repaint, on this thread). */
    void mondeAffiche();
    /** The one-time set-up is done: the map, the link and the navigation are there. */
    void misEnPlace();
    /** A frame's three intervals (s, as the network takes them), before its estimate. */
    void intervallesLus(double t1, double t2, double t3);
    /** A frame's battery byte set the battery bar (a level 0 included). */
    void batterieRecue();
    /** The link was opened again (or could not be). */
    void lienRemplace();

protected:
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    /** The map frame takes the form's height, square: the map scales with the window. */
    void resizeEvent(QResizeEvent* event) override;

    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    /** Writes one command byte to the link and records it in the transmission box. */
    void envoyerCommande(std::uint8_t octet);
    void placerCarte();
    /** The controls' column at its narrowest, with room for its scroll bar when `defilent`. */
    int largeurControles(bool defilent) const;
    void connecterCommandes();
    /** The parser's estimator on this thread: the network dialog's network. */
    protocole::Estimation estimer(double t1, double t2, double t3);
    /** A refusal of the network, told once in a box after the byte's handling. */
    void direRefus();
    /** One received byte, read at `arrivee` (InstantInconnu: counted only). */
    void traiterOctet(int octet, protocole::Instant arrivee);
    /** Notes the bytes lost in the session log, if the last note is a second old. */
    void noterDebordement();
    /** A frame is half read: its status byte, and the reply, are still to come. */
    bool attendReponse() const;
    /** An edit of the world, noted in the session's log (on this view's thread). */
    void noterEdition(const EditionMonde& edition);
    /**
     * "Arrêt" and "Saisie": the robot held (its next replies neutral), the
     * event noted in the log as `evenement`, then the one neutral byte.
     */
    void retenirRobot(const char* evenement);
    /** Ends the operator's hold, if any, noting it in the log. */
    void lacherRobot();
    /**
     * Opens the link with `reglages`: 0 when open; 1 otherwise, with the
     * failure's message unless `silencieux` (the watch for a device's return).
     */
    int ouvrirLien(const PortSettings& reglages, bool silencieux);
    /** Makes the watch for a lost device's return. */
    void preparerReconnexion();

    std::unique_ptr<Ui::KIVView> m_ui;

    // Controls bound to the form.
    QPushButton* m_reelsButton;
    QProgressBar* m_batterie;
    /** Sets the battery bar at each frame and paints it at most 60 times a second. */
    NiveauBarre* m_niveauBatterie;
    QLineEdit* m_wheelLeftBox;
    QLineEdit* m_wheelRightBox;
    /** The style of the boxes that follow the robot: their panel drawn once and kept. */
    StyleCadreMemorise* m_styleCadres = nullptr;
    BoiteTrafic* m_reception;
    BoiteTrafic* m_transmission;
    QLineEdit* m_robotYBox;
    QLineEdit* m_robotXBox;
    QLineEdit* m_destYBox;
    QLineEdit* m_destXBox;

    /**
     * The robot's bytes from the line to the world, on this thread, for a
     * link that runs no reflex; restarted each time the link opens.
     */
    protocole::ChaineTrames m_chaine;
    /**
     * The same chain run by the link's own thread, for this opening: the
     * command byte leaves as soon as the status byte is read. Null when the
     * link runs no reflex.
     */
    std::shared_ptr<protocole::ChaineEnLigne> m_enLigne;
    /**
     * The number, in this opening, of the next byte handed over: the byte
     * whose outcome m_enLigne gives next (bytes the link dropped count).
     */
    std::uint64_t m_numeroOctet = 0;
    /** The link's overruns, and the timer that notes the last of them. */
    DebordementLien m_debordement;
    QTimer m_noteDebordement;
    /** The position estimate, on the link's thread or this one. */
    std::shared_ptr<EstimateurLien> m_estimateur;
    std::uint64_t m_resynchronisations = 0;
    std::uint64_t m_octetsEcartes = 0;
    /** A tool waits for a point clicked on the map. */
    std::function<void(int, int)> m_designation;
    /** The network refused the robot's inputs once already (told once). */
    bool m_estimationRefusee = false;
    /** Frame 1001's rectangle in the form's coordinates (the map is the square at its top left). */
    QRect m_mapRect;
    std::unique_ptr<RobotLink> m_serialPort;
    /** The settings of the last opening that succeeded: a reconnection uses them again. */
    std::optional<PortSettings> m_reglagesOuverts;
    ReconnexionLien* m_reconnexion = nullptr;
    RobotLinkFactory m_fabriqueLien;
    /** The first activation opens the robot's port. */
    bool m_ouvrirPort = true;
    /** The key of this view's observer of the world's edits. */
    int m_cleEditions = 0;
    std::uint64_t m_tramesRecues = 0;
    bool m_perimees = false;
    std::shared_ptr<std::atomic<std::uint64_t>> m_octetsTraites =
        std::make_shared<std::atomic<std::uint64_t>>(0);
    CMapView* m_mapView = nullptr;
    std::unique_ptr<ObservateurMonde> m_observateur;
    /** The display's chores wait while a frame waits for its reply. */
    std::unique_ptr<PorteAffichage> m_porte;
    std::unique_ptr<ReseauxDlg> m_reseaux;
};
