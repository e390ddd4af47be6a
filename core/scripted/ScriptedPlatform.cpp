#include "ScriptedPlatform.h"

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
    m_beeps.clear();
    m_traces.clear();
    m_unanswered = 0;
}

MessageAnswer ScriptedPlatform::messageBox(const std::string& text, const std::string& caption,
                                           MessageButtons buttons, MessageIcon icon)
{
    std::lock_guard lock(m_mutex);
    m_messages.push_back({text, caption, buttons, icon});
    if (m_answers.empty()) {
        ++m_unanswered;
        return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
    }
    const MessageAnswer answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

std::optional<std::string> ScriptedPlatform::chooseFile(FileDialogKind kind,
                                                        const std::string& filter)
{
    std::lock_guard lock(m_mutex);
    m_fileRequests.push_back({kind, filter});
    if (m_files.empty()) {
        ++m_unanswered;
        return std::nullopt;
    }
    std::optional<std::string> path = std::move(m_files.front());
    m_files.pop_front();
    return path;
}

void ScriptedPlatform::sleep(int milliseconds)
{
    double scale;
    {
        std::lock_guard lock(m_mutex);
        scale = m_sleepScale;
    }
    std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(milliseconds * scale));
}

void ScriptedPlatform::beep(int frequency, int milliseconds)
{
    {
        std::lock_guard lock(m_mutex);
        m_beeps.push_back({frequency, milliseconds});
    }
    sleep(milliseconds);
}

void ScriptedPlatform::trace(TraceChannel channel, const std::string& line)
{
    std::lock_guard lock(m_mutex);
    m_traces.push_back({channel, line});
}
