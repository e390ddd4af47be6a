#include "console/VoletBatterie.h"

#include "core/Platform.h"

#include <QGridLayout>
#include <QPalette>
#include <QProgressBar>

namespace {

QString enVolts(int niveau)
{
    return QString::asprintf("%.2f V", AlerteBatterie::volts(niveau));
}

/** The volts label before any report: no level is known, not 0 V. */
const QString Inconnu = QStringLiteral("—");

} // namespace

VoletBatterie::VoletBatterie(QProgressBar* barre, int seuilPourcent, QWidget* parent)
    : VoletTexte(parent)
    , m_alerte(seuilPourcent)
{
    setObjectName(QStringLiteral("voletBatterie"));
    setGabarits({QStringLiteral("Batterie faible : 8.88 V")});
    QPalette rouge = palette();
    rouge.setColor(QPalette::WindowText, Qt::red);
    setPalette(rouge);
    m_barre = barre;
    if (!barre) {
        return;
    }
    // Beside the bar, on its row of the battery box.
    m_volts = new QLabel(Inconnu, barre->parentWidget());
    m_volts->setObjectName(QStringLiteral("batterieVolts"));
    m_volts->setMinimumWidth(m_volts->fontMetrics().horizontalAdvance(QStringLiteral("8.88 V")));
    m_volts->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    if (auto* grille = qobject_cast<QGridLayout*>(barre->parentWidget()->layout())) {
        grille->addWidget(m_volts, 0, grille->columnCount());
    }
    connect(barre, &QProgressBar::valueChanged, this, &VoletBatterie::niveau);
}

void VoletBatterie::signale()
{
    if (!m_signale) {
        m_signale = true;
        if (m_barre) {
            niveau(m_barre->value());
        }
    }
}

void VoletBatterie::niveau(int valeur)
{
    if (!m_signale) {
        return;
    }
    if (m_volts) {
        m_volts->setText(enVolts(valeur));
    }
    if (m_alerte.observer(valeur)) {
        platform().beep(880, 300);
        platform().trace(TraceChannel::App, "battery low: " + enVolts(valeur).toStdString());
    }
    if (m_alerte.basse()) {
        setText(QStringLiteral("Batterie faible : ") + enVolts(valeur));
    } else {
        clear();
    }
}
