#pragma once

#include "core/scripted/ScriptedPlatform.h"
#include "link/RobotLink.h"
#include "link/SerialPort.h"
#include "support/PseudoTerminal.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <pty.h>
#include <string>
#include <termios.h>
#include <unistd.h>
#include <utility>
#include <vector>

/** An owner that records every notification, in order, with checks on the thread and nesting. */
class Journal : public RobotLinkOwner {
public:
    struct Entree {
        unsigned message;
        int octet;
        int port;
    };

    void OnRobotByte(int octet, int port) override { noter({WM_SERIAL_RXCHAR, octet, port}); }
    void OnRobotByteAt(int octet, int port, std::int64_t arrivee) override
    {
        instants.push_back(arrivee);
        OnRobotByte(octet, port);
    }
    void OnLinkEvent(unsigned message, int port) override { noter({message, 0, port}); }
    void OnLinkAnswered(const std::string& octets, std::int64_t /*instant*/) override
    {
        for (const char c : octets) {
            noter({Repondu, static_cast<unsigned char>(c), 0});
        }
    }

    void surDebordement(std::uint64_t octets) override
    {
        debordes += octets;
        noter({Deborde, static_cast<int>(octets), 0});
    }

    /** The entry of each byte the engine's reflex wrote (OnLinkAnswered). */
    static constexpr unsigned Repondu = 0xFFFF;
    /** The entry of bytes the engine dropped (surDebordement; `octet` holds how many). */
    static constexpr unsigned Deborde = 0xFFFE;
    /** The bytes the engine dropped so far. */
    std::uint64_t debordes = 0;

    /** The bytes received so far. */
    std::string octets() const
    {
        std::string s;
        for (const Entree& e : entrees) {
            if (e.message == WM_SERIAL_RXCHAR) {
                s += static_cast<char>(e.octet);
            }
        }
        return s;
    }

    std::vector<Entree> entrees;
    /** Each byte's time, as the engine dated it. */
    std::vector<std::int64_t> instants;
    /** Called inside the hand-over, after the entry is recorded. */
    std::function<void(const Entree&)> pendant;
    int profondeurMax = 0;
    bool horsDuFil = false;

private:
    void noter(const Entree& e)
    {
        horsDuFil = horsDuFil || QThread::currentThread() != QCoreApplication::instance()->thread();
        ++m_profondeur;
        profondeurMax = std::max(profondeurMax, m_profondeur);
        entrees.push_back(e);
        if (pendant) {
            pendant(e);
        }
        --m_profondeur;
    }
    int m_profondeur = 0;
};

/** A pseudo-terminal as COM1, an engine, an owner and the scripted platform. */
class LienTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        plateforme().clear();
        qputenv("KIV_COM1", QByteArray::fromStdString(pty.nom()));
        lien = std::make_unique<SerialPort>();
    }
    void TearDown() override
    {
        lien.reset();
        // Deferred deletions (an engine destroyed inside a hand-over).
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        qunsetenv("KIV_COM1");
    }

    static ScriptedPlatform& plateforme() { return dynamic_cast<ScriptedPlatform&>(platform()); }

    bool configurer(unsigned masque = LinkRxChar | LinkCts, int taille = 512, char parite = 'N',
                    int baud = 9600)
    {
        return lien->Configure(&journal, 1, baud, parite, 8, 1, masque, taille);
    }
    void ouvrir(unsigned masque = LinkRxChar | LinkCts, int taille = 512)
    {
        ASSERT_TRUE(configurer(masque, taille));
        ASSERT_TRUE(lien->StartMonitor());
    }

    /** Waits until `n` bytes have reached the owner. */
    bool recevoir(std::size_t n)
    {
        return attendre([&] { return journal.octets().size() >= n; });
    }
    /** Waits until the robot has read `n` bytes. */
    bool lireRobot(std::size_t n)
    {
        return attendre([&] { return pty.recu.size() >= n; });
    }

    bool tracee(const std::string& ligne) const
    {
        for (const auto& t : plateforme().traces()) {
            if (t.channel == TraceChannel::Serial && t.line == ligne) {
                return true;
            }
        }
        return false;
    }

    Pty pty;
    Journal journal;
    std::unique_ptr<SerialPort> lien;
};
