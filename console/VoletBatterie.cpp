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

} // namespace

VoletBatterie::VoletBatterie(QProgressBar* barre, int seuilPourcent, QWidget* parent)
    : QLabel(parent)
    , m_alerte(seuilPourcent)
{
    setObjectName(QStringLiteral("voletBatterie"));
    QPalette rouge = palette();
    rouge.setColor(QPalette::WindowText, Qt::red);
    setPalette(rouge);
    if (!barre) {
        return;
    }
    // Beside the bar, on its row of the battery box.
    m_volts = new QLabel(enVolts(barre->value()), barre->parentWidget());
    m_volts->setObjectName(QStringLiteral("batterieVolts"));
    m_volts->setMinimumWidth(m_volts->fontMetrics().horizontalAdvance(QStringLiteral("8.88 V")));
    m_volts->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    if (auto* grille = qobject_cast<QGridLayout*>(barre->parentWidget()->layout())) {
        grille->addWidget(m_volts, 0, grille->columnCount());
    }
    connect(barre, &QProgressBar::valueChanged, this, &VoletBatterie::niveau);
}

void VoletBatterie::niveau(int valeur)
{
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
