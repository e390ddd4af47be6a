#pragma once

#include "console/SanteLien.h"

#include "console/VoletTexte.h"
#include <QTimer>

#include <cstdint>
#include <functional>
#include <string>

class CKIVView;

/**
 * The status bar's link pane: closed / open, waiting for data / receiving
 * with frames per second / lost (no frame for the loss delay, or the device
 * gone, its reason as tooltip), in red while lost; frames cut short by a
 * silence are counted after the state while recent. It looks at the view's
 * link and counters four times a second; a loss and a recovery are traced
 * and noted in the session's log (a device gone is noted by the link
 * itself, at once). A replay plays in a window of its own and leaves it
 * alone. Never a message box.
 */
class VoletLien : public VoletTexte {
public:
    /** A steady clock in milliseconds. */
    using Horloge = std::function<std::int64_t()>;

    /** `horloge` empty: the system's steady clock. */
    VoletLien(CKIVView* view, std::int64_t delaiPerteMs, Horloge horloge = {},
              QWidget* parent = nullptr);

    /** Looks at the link now (the timer calls it). */
    void actualiser();
    /** Called after each change of the link's state (the run pane looks again). */
    void setApresChangement(std::function<void()> rappel) { m_apres = std::move(rappel); }
    const SanteLien& sante() const { return m_sante; }

private:
    /** The tooltip: the link state's, and the filter's refusals when there are some. */
    void montrerBulle();

    CKIVView* m_view;
    SanteLien m_sante;
    Horloge m_horloge;
    std::function<void()> m_apres;
    QTimer m_minuterie;
    /** The tooltip the link's state gives, before the filter's refusals. */
    QString m_bulle;
    /** The filter's refusals told in the tooltip, and the last count the log got. */
    long m_refusVus = 0;
    long m_refusJournalises = 0;
    std::int64_t m_instantRefusJournalises = -1000000;
};
