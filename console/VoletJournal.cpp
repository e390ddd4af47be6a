#include "console/VoletJournal.h"

#include "console/MainFrame.h"
#include "core/Platform.h"
#include "link/recorder/Enregistreur.h"

#include <QPalette>
#include <QStatusBar>

#include <string>

VoletJournal::VoletJournal(std::shared_ptr<journal::Enregistreur> journal, QWidget* parent)
    : VoletTexte(parent)
    , m_journal(std::move(journal))
{
    setObjectName(QStringLiteral("voletJournal"));
    setGabarits({QString::fromUtf8(TexteJournalArrete)});
    if (!m_journal) {
        return;
    }
    // Called on the thread that met the failure, maybe inside a byte's
    // hand-over: only posted from there. The destructor removes the handler
    // before this pane goes, so it never posts to a destroyed pane.
    m_journal->surArret([this](const std::string& fichier, const std::string& raison) {
        QMetaObject::invokeMethod(
            this, [this, fichier, raison] { arrete(fichier, raison); }, Qt::QueuedConnection);
    });
}

VoletJournal::~VoletJournal()
{
    if (m_journal) {
        m_journal->surArret({});
    }
}

void VoletJournal::arrete(const std::string& fichier, const std::string& raison)
{
    if (m_arrete) {
        return;
    }
    m_arrete = true;
    setText(QString::fromUtf8(TexteJournalArrete));
    setToolTip(QString::fromStdString("Fichier : " + fichier + "\nCause : " + raison));
    QPalette couleurs = palette();
    couleurs.setColor(QPalette::WindowText, QColor(Qt::red));
    setPalette(couleurs);
    platform().trace(TraceChannel::App, "session log stopped: " + fichier + ": " + raison);
    platform().messageBox("L'enregistrement de la session est arrêté ; la console continue "
                          "sans journal.\n\nFichier : " +
                              fichier + "\nCause : " + raison,
                          "Journal de session", MessageButtons::Ok, MessageIcon::Exclamation);
}

void ajouterVoletJournal(CMainFrame& frame, std::shared_ptr<journal::Enregistreur> journal)
{
    if (QStatusBar* barre = frame.statusBar()) {
        barre->addPermanentWidget(new VoletJournal(std::move(journal), barre));
    }
}
