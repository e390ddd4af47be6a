#include "console/AboutDlg.h"

#include "console/Icones.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

AboutDlg::AboutDlg(QWidget* parent)
    : QDialog(parent)
    , m_icone(new QLabel(this))
    , m_ok(new QPushButton(QStringLiteral("OK"), this))
{
    setObjectName(QStringLiteral("id100"));
    setWindowTitle(QStringLiteral("À propos de KIV-ZUL..."));
    setModal(true);

    m_icone->setObjectName(QStringLiteral("icone"));
    m_icone->setPixmap(iconeApplication().pixmap(32, 32));
    m_icone->setAlignment(Qt::AlignTop);

    auto* texte = new QVBoxLayout;
    // The project's version, as --version and the package give it.
    for (const char* ligne : {"KIV-ZUL version " KIV_VERSION, "Copyright (C) 2026",
                              "Réalisé par l'équipe de robotique mobile"}) {
        auto* label = new QLabel(QString::fromUtf8(ligne), this);
        label->setObjectName(QStringLiteral("ligne%1").arg(m_lignes.size() + 1));
        texte->addWidget(label);
        m_lignes.append(label);
    }

    m_ok->setObjectName(QStringLiteral("idOK"));
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* haut = new QHBoxLayout;
    haut->addWidget(m_icone);
    haut->addSpacing(12);
    haut->addLayout(texte, 1);
    haut->addSpacing(12);
    haut->addWidget(m_ok, 0, Qt::AlignTop);

    auto* tout = new QVBoxLayout(this);
    tout->addLayout(haut);
    tout->setSizeConstraint(QLayout::SetFixedSize);
}

QStringList AboutDlg::lignes() const
{
    QStringList textes;
    for (const QLabel* label : m_lignes) {
        textes.append(label->text());
    }
    return textes;
}
