#include "trainer/dialog/BoutonFleches.h"

#include <QKeyEvent>
#include <QToolButton>

BoutonFleches::BoutonFleches(QWidget* parent)
    : QWidget(parent)
    , m_haut(new QToolButton(this))
    , m_bas(new QToolButton(this))
{
    setFocusPolicy(Qt::ClickFocus);
    for (QToolButton* b : {m_haut, m_bas}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setIconSize(QSize(6, 6));
    }
    m_haut->setArrowType(Qt::UpArrow);
    m_bas->setArrowType(Qt::DownArrow);
    connect(m_haut, &QToolButton::clicked, this, [this] { emit deltaPos(-1); });
    connect(m_bas, &QToolButton::clicked, this, [this] { emit deltaPos(1); });
}

void BoutonFleches::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int moitie = height() / 2;
    m_haut->setGeometry(0, 0, width(), moitie);
    m_bas->setGeometry(0, moitie, width(), height() - moitie);
}

void BoutonFleches::keyPressEvent(QKeyEvent* event)
{
    if (!isEnabled()) {
        return;
    }
    switch (event->key()) {
    case Qt::Key_Up:
        emit deltaPos(-1);
        break;
    case Qt::Key_Down:
        emit deltaPos(1);
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}
