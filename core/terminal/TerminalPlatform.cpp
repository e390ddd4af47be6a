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

/** Columns of a UTF-8 text: one per character. */
int colonnes(const std::string& texte)
{
    return static_cast<int>(std::count_if(texte.begin(), texte.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

/** The first `n` characters of a UTF-8 text. */
std::string tronquer(const std::string& texte, int n)
{
    int vus = 0;
    for (std::size_t i = 0; i < texte.size(); ++i) {
        if ((static_cast<unsigned char>(texte[i]) & 0xC0) != 0x80 && vus++ == n) {
            return texte.substr(0, i);
        }
    }
    return texte;
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

std::string statusOnOneLine(const std::string& text)
{
    std::string resultat;
    std::size_t debut = 0;
    while (debut <= text.size()) {
        std::size_t fin = text.find('\n', debut);
        if (fin == std::string::npos) {
            fin = text.size();
        }
        std::string ligne = text.substr(debut, fin - debut);
        std::replace(ligne.begin(), ligne.end(), '\t', ' ');
        std::erase(ligne, '\r');
        if (!ligne.empty()) {
            if (!resultat.empty()) {
                resultat += ' ';
            }
            resultat += ligne;
        }
        debut = fin + 1;
    }
    return resultat;
}

std::string progressLine(int lower, int upper, int position, const std::string& status, int cells)
{
    const long long etendue = static_cast<long long>(upper) - lower;
    const long long avance = static_cast<long long>(position) - lower;
    long long pleines = 0;
    if (etendue > 0 && avance > 0) {
        pleines = std::min<long long>(cells, avance * cells / etendue);
    }
    std::string ligne = "[";
    ligne.append(static_cast<std::size_t>(pleines), '=');
    ligne.append(static_cast<std::size_t>(cells - pleines), ' ');
    ligne += "] ";
    const std::string pourcent = progressPercentText(lower, upper, position);
    ligne.append(pourcent.size() < 4 ? 4 - pourcent.size() : 0, ' ');
    ligne += pourcent;
    if (!status.empty()) {
        ligne += ' ';
        ligne += status;
    }
    return ligne;
}

/** A progress box drawn on the platform's output. */
class TerminalPlatform::Box : public ProgressBox {
public:
    Box(TerminalPlatform& platform, std::string title)
        : m_platform(platform)
        , m_title(std::move(title))
    {}

    ~Box() override
    {
        std::lock_guard lock(m_platform.m_mutex);
        m_platform.finishOpenLine();
    }

    bool Create() override
    {
        m_position = m_lower;
        m_shown = true;
        m_drawn.clear();
        {
            std::lock_guard lock(m_platform.m_mutex);
            m_platform.finishOpenLine();
            *m_platform.m_out << m_title << " (Ctrl+C pour annuler)\n" << std::flush;
        }
        draw(false);
        return true;
    }

    void SetStatus(const std::string& text) override
    {
        m_status = statusOnOneLine(text);
        m_fullStatus = text;
        draw(true);
    }

    void SetRange(int lower, int upper) override
    {
        m_lower = lower;
        m_upper = upper;
        draw(false);
    }

    void SetStep(int step) override { m_step = step; }

    int SetPos(int position) override { return move(position); }
    int OffsetPos(int delta) override { return move(m_position + delta); }
    int StepIt() override { return move(m_position + m_step); }

    bool CheckCancel() override { return takeInterrupt(); }

    void ShowOkButton() override
    {
        std::lock_guard lock(m_platform.m_mutex);
        m_platform.finishOpenLine();
        if (!m_fullStatus.empty()) {
            *m_platform.m_out << m_fullStatus;
            if (m_fullStatus.back() != '\n') {
                *m_platform.m_out << '\n';
            }
            *m_platform.m_out << std::flush;
        }
        m_drawn.clear();
    }

private:
    int move(int position)
    {
        const int avant = m_position;
        m_position = position;
        draw(false);
        return avant;
    }

    /**
     * On a terminal the line is redrawn in place whenever what it shows
     * changes; elsewhere a line is written per status change.
     */
    void draw(bool statusChanged)
    {
        if (!m_shown) {
            return;
        }
        std::lock_guard lock(m_platform.m_mutex);
        std::ostream& out = *m_platform.m_out;
        std::string ligne = progressLine(m_lower, m_upper, m_position, m_status);
        if (!m_platform.m_terminal) {
            if (statusChanged) {
                out << ligne << '\n' << std::flush;
            }
            return;
        }
        ligne = tronquer(ligne, std::max(1, m_platform.lineWidth() - 1));
        if (m_platform.m_lineOpen && ligne == m_drawn) {
            return;
        }
        const int largeur = colonnes(ligne);
        const int effacer = m_platform.m_lineOpen ? m_platform.m_lineColumns - largeur : 0;
        out << '\r' << ligne;
        if (effacer > 0) {
            out << std::string(static_cast<std::size_t>(effacer), ' ') << '\r' << ligne;
        }
        out << std::flush;
        m_platform.m_lineOpen = true;
        m_platform.m_lineColumns = largeur;
        m_drawn = std::move(ligne);
    }

    TerminalPlatform& m_platform;
    std::string m_title;
    int m_lower = 0;
    int m_upper = 100;
    int m_step = 1;
    int m_position = 0;
    std::string m_status;
    std::string m_fullStatus;
    bool m_shown = false;
    std::string m_drawn;
};

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

std::unique_ptr<ProgressBox> TerminalPlatform::createProgressBox(int captionId)
{
    std::string titre = loadString(captionId == 0 ? ids::ProgressTitle : captionId);
    return std::make_unique<Box>(*this, std::move(titre));
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
