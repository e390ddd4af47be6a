#include "console/ArretSignaux.h"

#include "core/Platform.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

namespace {

/** The pipe's ends: the handler writes, the event loop reads. */
int g_ecriture = -1;
int g_lecture = -1;

extern "C" void surSignal(int numero)
{
    const auto octet = static_cast<unsigned char>(numero);
    // Only async-signal-safe calls here; a full pipe simply loses the byte.
    [[maybe_unused]] const ssize_t n = ::write(g_ecriture, &octet, 1);
}

} // namespace

void arreterSurSignaux()
{
    if (g_ecriture >= 0) {
        return;
    }
    int paire[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, paire) != 0) {
        platform().trace(TraceChannel::App, "signals: no pipe, they end the program at once");
        return;
    }
    g_ecriture = paire[0];
    g_lecture = paire[1];
    auto* veilleur = new QSocketNotifier(g_lecture, QSocketNotifier::Read, qApp);
    QObject::connect(veilleur, &QSocketNotifier::activated, qApp, [] {
        unsigned char numero = 0;
        while (::read(g_lecture, &numero, 1) == 1) {
            platform().trace(TraceChannel::App,
                             "signal " + std::to_string(numero) + ": the console closes");
        }
        // exit(), not quit(): quit() first asks the windows to close, and
        // the frame would ask about a modified field that nobody is there to
        // answer. The windows go as the program ends, port and log closed.
        QCoreApplication::exit(0);
    });
    struct sigaction action {};
    action.sa_handler = surSignal;
    sigemptyset(&action.sa_mask);
    // The first one asks for an orderly end; the next one is the default's.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (int numero : {SIGTERM, SIGINT, SIGHUP}) {
        ::sigaction(numero, &action, nullptr);
    }
}
