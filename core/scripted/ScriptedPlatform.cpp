#include "ScriptedPlatform.h"

#include "core/ProgressBox.h"

#include <chrono>
#include <thread>

void ScriptedPlatform::queueAnswer(MessageAnswer answer)
{
    std::lock_guard lock(m_mutex);
    m_answers.push_back(answer);
}

void ScriptedPlatform::queueFile(std::optional<std::string> path)
{
    std::lock_guard lock(m_mutex);
    m_files.push_back(std::move(path));
}

void ScriptedPlatform::setSleepScale(double scale)
{
    std::lock_guard lock(m_mutex);
    m_sleepScale = scale;
}

std::vector<ScriptedPlatform::ShownMessage> ScriptedPlatform::messages() const
{
    std::lock_guard lock(m_mutex);
    return m_messages;
}

std::vector<ScriptedPlatform::FileRequest> ScriptedPlatform::fileRequests() const
{
    std::lock_guard lock(m_mutex);
    return m_fileRequests;
}

std::vector<ScriptedPlatform::Beep> ScriptedPlatform::beeps() const
{
    std::lock_guard lock(m_mutex);
    return m_beeps;
}

std::vector<double> ScriptedPlatform::sleeps() const
{
    std::lock_guard lock(m_mutex);
    return m_sleeps;
}

std::vector<ScriptedPlatform::Trace> ScriptedPlatform::traces() const
{
    std::lock_guard lock(m_mutex);
    return m_traces;
}

int ScriptedPlatform::unanswered() const
{
    std::lock_guard lock(m_mutex);
    return m_unanswered;
}

void ScriptedPlatform::clear()
{
    std::lock_guard lock(m_mutex);
    m_answers.clear();
    m_files.clear();
    m_messages.clear();
    m_fileRequests.clear();
    m_items.clear();
    m_itemRequests.clear();
    m_dossiersOuverts.clear();
    m_beeps.clear();
    m_traces.clear();
    m_sleeps.clear();
    m_cancelPolls.clear();
    m_polls = 0;
    m_unanswered = 0;
    m_pendantBoite = nullptr;
    // Progress records stay: boxes still alive keep writing into them.
}

void ScriptedPlatform::setWhileBoxOpen(std::function<void(const ShownMessage&)> pendant)
{
    std::lock_guard lock(m_mutex);
    m_pendantBoite = std::move(pendant);
}

MessageAnswer ScriptedPlatform::messageBox(const std::string& text, const std::string& caption,
                                           MessageButtons buttons, MessageIcon icon)
{
    std::function<void(const ShownMessage&)> pendant;
    {
        std::lock_guard lock(m_mutex);
        m_messages.push_back({text, caption, buttons, icon});
        pendant = m_pendantBoite;
    }
    if (pendant) {
        pendant(ShownMessage{text, caption, buttons, icon});
    }
    std::lock_guard lock(m_mutex);
    if (m_answers.empty()) {
        ++m_unanswered;
        switch (buttons) {
        case MessageButtons::YesNo:
            return MessageAnswer::No;
        case MessageButtons::YesNoCancel:
            return MessageAnswer::Cancel;
        case MessageButtons::Ok:
            break;
        }
        return MessageAnswer::Ok;
    }
    const MessageAnswer answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

std::optional<std::string> ScriptedPlatform::chooseFile(FileDialogKind kind,
                                                        const std::string& filter)
{
    std::lock_guard lock(m_mutex);
    m_fileRequests.push_back({kind, filter, {}});
    if (m_files.empty()) {
        ++m_unanswered;
        return std::nullopt;
    }
    std::optional<std::string> path = std::move(m_files.front());
    m_files.pop_front();
    return path;
}

std::optional<std::string> ScriptedPlatform::chooseFileIn(FileDialogKind kind,
                                                          const std::string& filter,
                                                          const std::string& dossier)
{
    std::lock_guard lock(m_mutex);
    m_fileRequests.push_back({kind, filter, dossier});
    if (m_files.empty()) {
        ++m_unanswered;
        return std::nullopt;
    }
    std::optional<std::string> path = std::move(m_files.front());
    m_files.pop_front();
    return path;
}

void ScriptedPlatform::queueItem(std::optional<int> index)
{
    std::lock_guard lock(m_mutex);
    m_items.push_back(index);
}

std::optional<int> ScriptedPlatform::chooseItem(const std::string& caption,
                                                const std::string& label,
                                                const std::vector<std::string>& choix, int courant)
{
    std::lock_guard lock(m_mutex);
    m_itemRequests.push_back({caption, label, choix, courant});
    if (m_items.empty()) {
        return courant;
    }
    const std::optional<int> index = m_items.front();
    m_items.pop_front();
    return index;
}

std::vector<ScriptedPlatform::ItemRequest> ScriptedPlatform::itemRequests() const
{
    std::lock_guard lock(m_mutex);
    return m_itemRequests;
}

bool ScriptedPlatform::openFolder(const std::string& dossier)
{
    std::lock_guard lock(m_mutex);
    m_dossiersOuverts.push_back(dossier);
    return true;
}

std::vector<std::string> ScriptedPlatform::openedFolders() const
{
    std::lock_guard lock(m_mutex);
    return m_dossiersOuverts;
}

void ScriptedPlatform::sleep(int milliseconds)
{
    double duree;
    {
        std::lock_guard lock(m_mutex);
        duree = milliseconds * m_sleepScale;
        m_sleeps.push_back(duree);
    }
    std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(duree));
}

void ScriptedPlatform::beep(int frequency, int milliseconds)
{
    {
        std::lock_guard lock(m_mutex);
        m_beeps.push_back({frequency, milliseconds});
    }
    sleep(milliseconds);
}

std::thread ScriptedPlatform::startThread(std::function<void()> body, ThreadPriority priority)
{
    {
        std::lock_guard lock(m_mutex);
        m_priorities.push_back(priority);
    }
    return std::thread(std::move(body));
}

std::vector<ThreadPriority> ScriptedPlatform::threadPriorities() const
{
    std::lock_guard lock(m_mutex);
    return m_priorities;
}

void ScriptedPlatform::trace(TraceChannel channel, const std::string& line)
{
    std::lock_guard lock(m_mutex);
    m_traces.push_back({channel, line});
}

/** A progress box that records every call in its platform's ProgressRecord. */
class ScriptedPlatform::Box : public ProgressBox {
    template <class Fn>
    auto modifier(Fn fn)
    {
        std::lock_guard lock(m_platform.m_mutex);
        return fn(m_platform.m_progress[m_index]);
    }
    template <class Fn>
    int deplacer(Fn nouvelle)
    {
        return modifier([&](ProgressRecord& r) {
            const int avant = r.position;
            r.position = nouvelle(avant);
            r.percent = progressPercentText(r.lower, r.upper, r.position);
            return avant;
        });
    }

public:
    Box(ScriptedPlatform& platform, std::size_t index)
        : m_platform(platform)
        , m_index(index)
    {}

    bool Create() override
    {
        return modifier([](ProgressRecord& r) {
            ++r.creations;
            r.okShown = false;
            r.position = r.lower;
            return true;
        });
    }
    void SetStatus(const std::string& text) override
    {
        modifier([&](ProgressRecord& r) {
            r.statuses.push_back(text);
            return 0;
        });
    }
    void SetRange(int lower, int upper) override
    {
        modifier([&](ProgressRecord& r) {
            r.lower = lower;
            r.upper = upper;
            return 0;
        });
    }
    void SetStep(int step) override
    {
        modifier([&](ProgressRecord& r) {
            r.step = step;
            return 0;
        });
    }
    int SetPos(int position) override
    {
        return deplacer([&](int) { return position; });
    }
    int OffsetPos(int delta) override
    {
        return deplacer([&](int p) { return p + delta; });
    }
    int StepIt() override
    {
        return modifier([&](ProgressRecord& r) {
            ++r.stepIts;
            const int avant = r.position;
            r.position += r.step;
            r.percent = progressPercentText(r.lower, r.upper, r.position);
            return avant;
        });
    }
    bool CheckCancel() override
    {
        std::lock_guard lock(m_platform.m_mutex);
        ++m_platform.m_progress[m_index].polls;
        const int poll = m_platform.m_polls++;
        for (int p : m_platform.m_cancelPolls) {
            if (p == poll) {
                return true;
            }
        }
        return false;
    }
    void ShowOkButton() override
    {
        modifier([](ProgressRecord& r) {
            r.okShown = true;
            return 0;
        });
    }
    void pass(int s, double error) override
    {
        modifier([&](ProgressRecord& r) {
            r.passes.emplace_back(s, error);
            return 0;
        });
    }

private:
    ScriptedPlatform& m_platform;
    std::size_t m_index;
};

std::unique_ptr<ProgressBox> ScriptedPlatform::createProgressBox(int captionId)
{
    std::lock_guard lock(m_mutex);
    m_progress.push_back(ProgressRecord{});
    m_progress.back().captionId = captionId;
    return std::make_unique<Box>(*this, m_progress.size() - 1);
}

void ScriptedPlatform::pressCancelAtPoll(int poll)
{
    std::lock_guard lock(m_mutex);
    m_cancelPolls.push_back(poll);
}

std::vector<ScriptedPlatform::ProgressRecord> ScriptedPlatform::progressBoxes() const
{
    std::lock_guard lock(m_mutex);
    return m_progress;
}
