// The robot's side of the control view: opening the link, the sensor-frame
// parser, the command byte.
#include "console/ConsoleState.h"
#include "console/KIVView.h"
#include "console/protocol/RobotProtocol.h"
#include "core/Erreur.h"
#include "core/Platform.h"
#include "core/StringTable.h"
#include "trainer/dialog/ReseauxDlg.h"
#include "world/Navigation.h"
#include "world/WorldChange.h"
#include "world/WorldState.h"
#include "world/view/MapView.h"

#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <cmath>

int CKIVView::OpenRobotPort()
{
    // The settings file of the link comes with its engine; until then the
    // defaults of its reader: COM1 at 1200 baud.
    const PortSettings reglages;
    if (m_serialPort && m_serialPort->threadAlive()) {
        // The old engine (and its port) goes before the new one is made.
        m_serialPort->SuspendMonitor();
        m_serialPort.reset();
        m_serialPort = m_fabriqueLien();
    }
    if (!m_serialPort) {
        m_serialPort = m_fabriqueLien();
    }
    if (m_serialPort->Configure(this, reglages.port, reglages.baud, 'N', 8, 1, LinkRxChar | LinkCts,
                                512)) {
        g_portOpen = 1;
        g_rxIndex = 0;
        m_rxState = 2;
        m_serialPort->StartMonitor();
        return 0;
    }
    g_portOpen = 0;
    platform().messageBox("Le port sélectionné ne peut-être utilisé.", "Attention",
                          MessageButtons::Ok, MessageIcon::Exclamation);
    return 1;
}

void CKIVView::ajouter(QPlainTextEdit* boite, const QString& texte)
{
    QScrollBar* barre = boite->verticalScrollBar();
    const bool enBas = barre->value() == barre->maximum();
    QTextCursor curseur(boite->document());
    curseur.movePosition(QTextCursor::End);
    // The transmission box is one long wrapped line; a paragraph is laid out
    // whole on every change, so a long one is cut into paragraphs of bounded
    // length to keep each append constant time (the wrapping looks the same).
    if (curseur.block().length() > 480 && !texte.startsWith(QLatin1Char('\n'))) {
        curseur.insertBlock();
    }
    curseur.insertText(texte);
    if (enBas) {
        barre->setValue(barre->maximum());
    }
}

void CKIVView::SendWheelCommand(int gauche, int droite, int virage)
{
    const std::uint8_t octet = protocole::octetCommande(gauche, droite, virage);
    const char message[2] = {static_cast<char>(octet), '\0'};
    if (m_serialPort) {
        m_serialPort->QueueWrite(message);
    }
    ajouter(m_transmission,
            QString::asprintf(" %i", static_cast<int>(static_cast<std::int8_t>(octet))));
}

void CKIVView::OnRobotByte(int octet, int)
{
    octet &= 0xFF;
    // Every received byte on a line of its own, as the character it is.
    ajouter(m_reception, QStringLiteral("\n") + QChar(static_cast<char16_t>(octet)));

    switch (m_rxState) {
    case 2:
        if (g_rxIndex % 2 == 0) {
            m_lowByte = static_cast<std::uint8_t>(octet);
        } else {
            g_rxStamps[(g_rxIndex - 1) / 2] =
                static_cast<std::int16_t>(static_cast<std::uint16_t>(octet * 256 + m_lowByte));
        }
        ++g_rxIndex;
        if (g_rxIndex == 8) {
            m_rxState = 3;
            g_rxIndex = 0;
            majPosition();
        }
        break;
    case 3: {
        const int bit0 = (octet & 0x01) ? 1 : 0;
        const int bit1 = (octet & 0x02) ? 1 : 0;
        if (bit0 || bit1) {
            HandleBumpers(bit0, bit1);
        }
        g_rxIndex = 0;
        {
            VerrouMonde verrou(g_wheelLock);
            SendWheelCommand(g_wheelLeft, g_wheelRight, g_turnCode);
            g_turnPending = 0;
            g_turnCode = 0;
        }
        notifyWorldChange(); // a turn request waits for this
        m_rxState = 4;
        break;
    }
    case 4:
        m_batterie->setValue(std::min(octet, m_batterie->maximum()));
        m_rxState = 2;
        break;
    default:
        m_rxState = 2;
        g_rxIndex = 0;
        break;
    }
}

void CKIVView::majPosition()
{
    protocole::calculerIntervalles(g_rxStamps, g_intervals);
    Vecteur sortie;
    bool estime = false;
    try {
        estime = m_reseaux->Evaluer(g_intervals[0], g_intervals[1], g_intervals[2], sortie);
    } catch (const Erreur& e) {
        // A network that does not take these three inputs: no estimate. The
        // operator is told once, not at every frame.
        if (!m_estimationRefusee) {
            m_estimationRefusee = true;
            platform().messageBox(e.what(), platform().loadString(ids::AppTitle),
                                  MessageButtons::Ok, MessageIcon::Stop);
        }
        platform().trace(TraceChannel::App, std::string("position estimate: ") + e.what());
    }
    if (estime && sortie.taille() >= 2) {
        bool change = false;
        {
            VerrouMonde verrou(g_robotLock);
            auto borner = [](double v) { return !(v >= 0.0) ? 0.0 : (v > 499.0 ? 499.0 : v); };
            const int x = static_cast<int>(borner(sortie[1]));
            const int y = static_cast<int>(borner(sortie[0]));
            const double dx = g_robotX - x;
            const double dy = g_robotY - y;
            if (dx * dx + dy * dy > 625.0) {
                PlaceRobotLocked(x, y);
                change = true;
                if (m_mapView) {
                    m_mapView->Redraw();
                }
            }
        }
        if (change) {
            notifyWorldChange();
        }
    }
    ShowRobotPosition();
}
