#include "console/VoletReseau.h"

#include "trainer/ReseauNeurones.h"

#include <QFileInfo>

VoletReseau::VoletReseau(const ReseauNeurones& reseau, QWidget* parent)
    : VoletTexte(parent)
    , m_reseau(reseau)
{
    setObjectName(QStringLiteral("voletReseau"));
    setGabarits({QStringLiteral("Réseau : beacons.wgh"), QStringLiteral("Réseau : entraîné")});
    actualiser();
}

void VoletReseau::actualiser()
{
    if (m_reseau.perceptron() == nullptr) {
        setText(QString::fromUtf8(AucunReseau));
        setToolTip(QString());
        return;
    }
    const QString chemin = QString::fromStdString(m_reseau.fichierPoids());
    if (chemin.isEmpty()) {
        setText(QString::fromUtf8("Réseau : entraîné"));
        setToolTip(QString::fromUtf8("Réseau entraîné dans la fenêtre d'apprentissage"));
        return;
    }
    setText(QString::fromUtf8("Réseau : ") + QFileInfo(chemin).fileName());
    setToolTip(QFileInfo(chemin).absoluteFilePath());
}
