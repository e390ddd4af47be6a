#include "console/TraceCarte.h"

#include "console/KIVView.h"
#include "console/MainFrame.h"
#include "console/Menu128.h"
#include "world/WorldState.h"
#include "world/view/MapView.h"

#include <QAction>
#include <QMenu>
#include <QPainter>
#include <QTimer>

TraceCarte::TraceCarte(CKIVView* view, QObject* parent)
    : QObject(parent)
    , m_view(view)
{
    attacher();
}

TraceCarte::~TraceCarte()
{
    if (m_carte) {
        m_carte->poserSurcouche(this, nullptr);
    }
}

void TraceCarte::attacher()
{
    m_carte = m_view ? m_view->mapView() : nullptr;
    if (m_carte) {
        // Every new picture of the world notes the robot's position, shown or not.
        connect(m_view, &CKIVView::mondeAffiche, this, [this] {
            if (m_carte) {
                const Point p = m_carte->monde().robotPos;
                m_trace.ajouter({p.x, p.y});
            }
        });
        poserSurcouche();
    } else if (m_view) {
        // The view makes its map once it is first shown.
        QTimer::singleShot(100, this, &TraceCarte::attacher);
    }
}

void TraceCarte::poserSurcouche()
{
    // Drawn over the map only while shown: a map without overlays paints
    // again only what changed.
    if (m_affichee) {
        m_carte->poserSurcouche(
            this, [this](QPainter& p, const Instantane& monde) { dessiner(p, monde); });
    } else {
        m_carte->poserSurcouche(this, nullptr);
    }
}

void TraceCarte::afficher(bool oui)
{
    m_affichee = oui;
    if (m_carte) {
        poserSurcouche();
        m_carte->Redraw();
    }
}

void TraceCarte::dessiner(QPainter& p, const Instantane& monde)
{
    m_trace.ajouter({monde.robotPos.x, monde.robotPos.y});
    if (!m_affichee || m_trace.taille() < 2) {
        return;
    }
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 140, 60));
    for (std::size_t k = 0; k + 1 < m_trace.taille(); ++k) {
        const TraceRobot::Position pos = m_trace[k];
        p.drawEllipse(QPointF(pos.x + 0.5, pos.y + 0.5), 2.0, 2.0);
    }
    p.restore();
}

QAction* ajouterMenuTrace(CMainFrame& frame)
{
    QAction* quadrillage = frame.action(cmd::Quadrillage);
    if (!quadrillage || !frame.view()) {
        return nullptr;
    }
    QMenu* affichage = frame.menuDe(cmd::Quadrillage);
    if (!affichage) {
        return nullptr;
    }
    auto* trace = new TraceCarte(frame.view(), &frame);
    auto* action = new QAction(QStringLiteral("Trace du robot"), &frame);
    action->setObjectName(QStringLiteral("traceRobot"));
    action->setCheckable(true);
    action->setChecked(false);
    action->setStatusTip(
        QStringLiteral("Affiche ou masque les dernières positions du robot sur la carte"));
    const QList<QAction*> elements = affichage->actions();
    const qsizetype k = elements.indexOf(quadrillage);
    if (k + 1 < elements.size()) {
        affichage->insertAction(elements.at(k + 1), action);
    } else {
        affichage->addAction(action);
    }
    QObject::connect(action, &QAction::toggled, trace, &TraceCarte::afficher);
    return action;
}
