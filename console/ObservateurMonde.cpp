#include "console/ObservateurMonde.h"

#include "console/KIVView.h"
#include "console/PorteAffichage.h"
#include "world/WorldChange.h"
#include "world/view/MapView.h"

#include <QCoreApplication>
#include <QEvent>

namespace {

/** The shortest time between two pictures: 60 a second. */
constexpr qint64 IntervalleMinMs = 16;

QEvent::Type evenementChangement()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

} // namespace

ObservateurMonde::ObservateurMonde(CKIVView& vue, CMapView& carte, PorteAffichage* porte)
    : m_vue(vue)
    , m_carte(carte)
    , m_porte(porte)
{
    m_differe.setSingleShot(true);
    connect(&m_differe, &QTimer::timeout, this, &ObservateurMonde::demanderRafraichissement);
    m_abonnement = abonnerAffichage([this] {
        // Any thread, no world lock held: one event however many changes.
        if (!m_annonce.exchange(true, std::memory_order_acq_rel)) {
            QCoreApplication::postEvent(this, new QEvent(evenementChangement()));
        }
    });
}

ObservateurMonde::~ObservateurMonde()
{
    // Once this returns no listener call is under way; a posted event dies
    // with this object.
    desabonnerAffichage(m_abonnement);
}

bool ObservateurMonde::event(QEvent* e)
{
    if (e->type() != evenementChangement()) {
        return QObject::event(e);
    }
    // Changes from here on announce themselves again.
    m_annonce.store(false, std::memory_order_release);
    if (m_differe.isActive()) {
        return true; // a picture is already due
    }
    const qint64 ecoule = m_depuis.isValid() ? m_depuis.elapsed() : IntervalleMinMs;
    if (ecoule >= IntervalleMinMs) {
        demanderRafraichissement();
    } else {
        m_differe.start(static_cast<int>(IntervalleMinMs - ecoule));
    }
    return true;
}

void ObservateurMonde::demanderRafraichissement()
{
    if (m_porte) {
        m_porte->executer(this, [this] { rafraichir(); });
    } else {
        rafraichir();
    }
}

void ObservateurMonde::rafraichir()
{
    m_differe.stop();
    m_depuis.start();
    // A picture taken since (a mouse edit redraws at once) has shown the change.
    if (m_carte.monde().version != versionAffichage()) {
        ++m_rafraichissements;
        // A new map comes with the position boxes and the panes; otherwise
        // the panes look again all the same (the run's state may have changed).
        if (!m_carte.rafraichir()) {
            emit m_vue.mondeAffiche();
        }
    }
    m_vue.peindreEnAttente();
    const Instantane& monde = m_carte.monde();
    if (monde.roueGauche != m_roueGauche || monde.roueDroite != m_roueDroite) {
        m_roueGauche = monde.roueGauche;
        m_roueDroite = monde.roueDroite;
        m_vue.ShowWheelSpeeds();
    }
}
