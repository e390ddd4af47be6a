#include "TerminalPlatform.h"

#include "core/ProgressBox.h"
#include "core/StringTable.h"

#include <algorithm>
#include <iostream>

namespace {

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

    /** The status line already shows the pass and its error; there is no plot to feed. */
    void pass(int, double) override {}

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

std::unique_ptr<ProgressBox> TerminalPlatform::createProgressBox(int captionId)
{
    std::string titre = loadString(captionId == 0 ? ids::ProgressTitle : captionId);
    return std::make_unique<Box>(*this, std::move(titre));
}
