#pragma once

#include "../FichiersTemporaires.h"
#include "core/scripted/ScriptedPlatform.h"
#include "trainer/dialog/ProgDlg.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTimer>

#include <filesystem>
#include <functional>
#include <string>

namespace kiv_test {

inline ScriptedPlatform& scripted()
{
    return static_cast<ScriptedPlatform&>(platform());
}

inline std::string donnee(const std::string& nom)
{
    return std::string(KIV_DATA_DIR) + "/" + nom;
}

/** A temporary directory that is also the working directory (training writes "test.ext"). */
class RepertoireCourant {
public:
    RepertoireCourant()
        : m_precedent(std::filesystem::current_path())
    {
        std::filesystem::current_path(std::filesystem::path(m_dir / "."));
    }
    ~RepertoireCourant() { std::filesystem::current_path(m_precedent); }

    std::string operator/(const std::string& nom) const { return m_dir / nom; }

private:
    RepertoireTemporaire m_dir;
    std::filesystem::path m_precedent;
};

/**
 * The scripted services, except that progress boxes are the real dialog:
 * for the tests that press its buttons while the work runs. Installed for
 * its lifetime; the answers and files queued on it are its own.
 */
class PlateformeAvecBoites : public ScriptedPlatform {
public:
    PlateformeAvecBoites()
        : m_precedente(setPlatform(this))
    {}
    ~PlateformeAvecBoites() override { setPlatform(m_precedente); }

    std::unique_ptr<ProgressBox> createProgressBox(int captionId) override
    {
        auto boite = std::make_unique<ProgDlg>(captionId);
        derniere = boite.get();
        return boite;
    }

    QPointer<ProgDlg> derniere;

private:
    Platform* m_precedente;
};

/** Runs `action` from the event loop the next time events are processed. */
inline void auProchainPassage(std::function<void()> action, int delaiMs = 0)
{
    QTimer::singleShot(delaiMs, qApp, std::move(action));
}

} // namespace kiv_test
