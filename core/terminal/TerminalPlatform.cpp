#include "TerminalPlatform.h"

#include "core/ProgressBox.h"
#include "core/StringTable.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <iostream>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

// Set by SIGINT, taken by CheckCancel. A lock-free atomic is safe to touch
// from a signal handler.
std::atomic<int> g_interruption{0};
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void surInterruption(int signal)
{
    const int errnoAvant = errno;
    if (g_interruption.exchange(1) != 0) {
        // The previous Ctrl+C is still pending: nothing is listening, so the
        // user gets what Ctrl+C normally does. The signal is blocked while
        // this handler runs and ends the program as soon as it returns.
        struct sigaction defaut {};
        defaut.sa_handler = SIG_DFL;
        sigemptyset(&defaut.sa_mask);
        sigaction(signal, &defaut, nullptr);
        raise(signal);
    }
    errno = errnoAvant;
}

void installerDefaut()
{
    struct sigaction defaut {};
    defaut.sa_handler = SIG_DFL;
    sigemptyset(&defaut.sa_mask);
    sigaction(SIGINT, &defaut, nullptr);
}

bool traceDemandee()
{
    const char* valeur = std::getenv("KIV_TRACE");
    return valeur && *valeur && std::string_view(valeur) != "0";
}

const char* nomCanal(TraceChannel channel)
{
    switch (channel) {
    case TraceChannel::World:
        return "kiv.world";
    case TraceChannel::Serial:
        return "kiv.serial";
    case TraceChannel::Trainer:
        return "kiv.trainer";
    case TraceChannel::Protocol:
        return "kiv.protocol";
    case TraceChannel::Navigation:
        return "kiv.nav";
    case TraceChannel::App:
        break;
    }
    return "kiv.app";
}

bool estOui(std::string reponse)
{
    const auto blanc = [](unsigned char c) { return std::isspace(c) != 0; };
    while (!reponse.empty() && blanc(static_cast<unsigned char>(reponse.back()))) {
        reponse.pop_back();
    }
    const auto debut = std::find_if_not(reponse.begin(), reponse.end(), blanc);
    reponse.erase(reponse.begin(), debut);
    for (char& c : reponse) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return reponse == "o" || reponse == "oui" || reponse == "y" || reponse == "yes";
}

/** A line from `fd`; nothing at end of input or on a read error. */
std::optional<std::string> lireLigne(int fd)
{
    std::string ligne;
    for (;;) {
        char c;
        const ssize_t lu = ::read(fd, &c, 1);
        if (lu < 0 && errno == EINTR) {
            continue;
        }
        if (lu <= 0) {
            if (ligne.empty()) {
                return std::nullopt;
            }
            return ligne;
        }
        if (c == '\n') {
            return ligne;
        }
        ligne += c;
    }
}

} // namespace

TerminalPlatform::TerminalPlatform()
    : m_out(&std::cerr)
    , m_terminal(::isatty(STDERR_FILENO) == 1)
    , m_askTerminal(true)
    , m_traceEnabled(traceDemandee())
{
    installInterruptHandler();
}

TerminalPlatform::TerminalPlatform(std::istream& in, std::ostream& out, bool terminal)
    : m_in(&in)
    , m_out(&out)
    , m_terminal(terminal)
    , m_traceEnabled(traceDemandee())
{
    installInterruptHandler();
}

TerminalPlatform::~TerminalPlatform()
{
    {
        std::lock_guard lock(m_mutex);
        finishOpenLine();
    }
    sigaction(SIGINT, &m_previousAction, nullptr);
    g_interruption.store(0);
}

void TerminalPlatform::installInterruptHandler()
{
    g_interruption.store(0);
    struct sigaction action {};
    action.sa_handler = surInterruption;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, &m_previousAction);
}

bool TerminalPlatform::takeInterrupt()
{
    return g_interruption.exchange(0) != 0;
}

bool TerminalPlatform::traceEnabled(TraceChannel) const
{
    std::lock_guard lock(m_mutex);
    return m_traceEnabled;
}

void TerminalPlatform::setTraceEnabled(bool enabled)
{
    std::lock_guard lock(m_mutex);
    m_traceEnabled = enabled;
}

void TerminalPlatform::setWidth(int columns)
{
    std::lock_guard lock(m_mutex);
    m_width = columns;
}

void TerminalPlatform::finishOpenLine()
{
    if (m_lineOpen) {
        *m_out << '\n' << std::flush;
        m_lineOpen = false;
        m_lineColumns = 0;
    }
}

int TerminalPlatform::lineWidth() const
{
    if (m_width > 0) {
        return m_width;
    }
    winsize taille{};
    if (m_askTerminal && ::ioctl(STDERR_FILENO, TIOCGWINSZ, &taille) == 0 && taille.ws_col > 0) {
        return taille.ws_col;
    }
    return 80;
}

std::optional<std::string> TerminalPlatform::readAnswer(const std::string& prompt)
{
    if (m_in) {
        m_answerEchoed = false;
        std::string ligne;
        if (!std::getline(*m_in, ligne) && ligne.empty()) {
            return std::nullopt;
        }
        return ligne;
    }
    // The terminal answers even when the standard streams are redirected;
    // the question goes there too when the error stream does not.
    const int tty = ::open("/dev/tty", O_RDWR | O_CLOEXEC | O_NOCTTY);
    if (tty >= 0 && !m_terminal) {
        [[maybe_unused]] const ssize_t ecrit = ::write(tty, prompt.data(), prompt.size());
    }
    const int fd = tty >= 0 ? tty : STDIN_FILENO;
    std::optional<std::string> ligne = lireLigne(fd);
    m_answerEchoed = m_terminal && ::isatty(fd) == 1;
    if (tty >= 0) {
        ::close(tty);
    }
    return ligne;
}

MessageAnswer TerminalPlatform::messageBox(const std::string& text, const std::string& caption,
                                           MessageButtons buttons, MessageIcon /*icon*/)
{
    std::string message = caption.empty() ? text : caption + ": " + text;
    if (buttons == MessageButtons::Ok) {
        std::lock_guard lock(m_mutex);
        finishOpenLine();
        *m_out << message << '\n' << std::flush;
        return MessageAnswer::Ok;
    }

    const std::string prompt = message + " [o/N] ";
    {
        std::lock_guard lock(m_mutex);
        finishOpenLine();
        *m_out << prompt << std::flush;
    }
    // While the question waits, nothing polls the Ctrl+C flag: leaving it
    // raised makes another Ctrl+C end the program at once.
    g_interruption.store(1);
    const std::optional<std::string> reponse = readAnswer(prompt);
    g_interruption.store(0);

    if (!reponse) {
        // Nobody can answer: the default stands, and as the question will
        // never be answered, the next Ctrl+C ends the program.
        installerDefaut();
        std::lock_guard lock(m_mutex);
        if (buttons == MessageButtons::YesNoCancel) {
            *m_out << "\n(pas de réponse : annulé)\n" << std::flush;
            return MessageAnswer::Cancel;
        }
        *m_out << "\n(pas de réponse : non)\n" << std::flush;
        return MessageAnswer::No;
    }
    if (!m_answerEchoed) {
        // Typed elsewhere, or not typed at all: the output shows the answer taken.
        std::lock_guard lock(m_mutex);
        *m_out << *reponse << '\n' << std::flush;
    }
    return estOui(*reponse) ? MessageAnswer::Yes : MessageAnswer::No;
}

std::optional<std::string> TerminalPlatform::chooseFile(FileDialogKind /*kind*/,
                                                        const std::string& /*filter*/)
{
    std::lock_guard lock(m_mutex);
    finishOpenLine();
    *m_out << "Pas de choix de fichier dans un terminal : donnez le chemin en argument.\n"
           << std::flush;
    return std::nullopt;
}

void TerminalPlatform::beep(int /*frequency*/, int milliseconds)
{
    // A terminal has one tone: the bell. Elsewhere a bell would only be a
    // stray byte in a log.
    if (m_terminal) {
        std::lock_guard lock(m_mutex);
        *m_out << '\a' << std::flush;
    }
    sleep(std::max(0, milliseconds));
}

void TerminalPlatform::trace(TraceChannel channel, const std::string& line)
{
    std::lock_guard lock(m_mutex);
    if (!m_traceEnabled) {
        return;
    }
    finishOpenLine();
    *m_out << nomCanal(channel) << ": " << line << '\n' << std::flush;
}
